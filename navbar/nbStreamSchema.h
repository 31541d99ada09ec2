#pragma once

// How the bar's objects map to the stored form: one table of properties per class, used
// both to write an object's stored properties and to apply the properties read back.
// Each kind of property (integer, colour, enumeration, set, text, nested object, font,
// pen, picture, reference, event) knows how it is written, when it is left out and what
// a value read for it must look like.

#include "navbar/nbTypes.h"
#include "platform/stream/FormValue.h"
#include "platform/stream/StreamError.h"
#include "platform/ui/Font.h"
#include "platform/ui/FormOwner.h"
#include "platform/ui/Pen.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <functional>
#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace nbstream {

using platform::stream::FormValue;
using platform::stream::PropertyList;
using platform::stream::StreamError;
using platform::stream::ValueType;

// What reading needs beyond the values: the form that owns the bar, through which
// references and events are found by name.
struct ReadContext
{
    const platform::FormOwner *owner = nullptr;
};

// One stored property of class T.
template <typename T> struct Property
{
    QByteArray name;
    // Appends what the property stores for `object`, its names after `prefix`.
    std::function<void(const T &object, const QByteArray &prefix, PropertyList &out)> write;
    // Applies `value`; `rest` is the part of the stored name after this property's own
    // ("" for the property itself, "Color" for "Font.Color"); `path` is the whole name.
    std::function<void(T &object, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                       const ReadContext &context)>
        read;
    // Gives the property the value its absence in a stream stands for (its stored
    // default); empty for properties that keep their value when absent.
    std::function<void(T &object)> reset;
};

template <typename T> using Schema = std::vector<Property<T>>;

// ---- Errors ----------------------------------------------------------------------------

[[noreturn]] void UnknownProperty(const QByteArray &path);
[[noreturn]] void InvalidValue(const QByteArray &path);

// ---- Walking an object's table ---------------------------------------------------------

template <typename T>
void WriteObject(const T &object, const Schema<T> &schema, const QByteArray &prefix, PropertyList &out)
{
    for (const Property<T> &p : schema)
        p.write(object, prefix, out);
}

// Applies one stored property (`rest` is the name below this object, `path` the whole).
template <typename T>
void ReadProperty(T &object, const Schema<T> &schema, const QByteArray &rest, const FormValue &value,
                  const QByteArray &path, const ReadContext &context)
{
    const qsizetype dot = rest.indexOf('.');
    const QByteArray head = dot < 0 ? rest : rest.left(dot);
    const QByteArray tail = dot < 0 ? QByteArray() : rest.mid(dot + 1);
    for (const Property<T> &p : schema)
        if (head.compare(p.name, Qt::CaseInsensitive) == 0) {
            p.read(object, tail, value, path, context);
            return;
        }
    UnknownProperty(path);
}

template <typename T>
void ReadProperties(T &object, const Schema<T> &schema, const PropertyList &properties,
                    const ReadContext &context)
{
    for (const platform::stream::FormProperty &p : properties)
        ReadProperty(object, schema, p.name, p.value, p.name, context);
}

// Gives every property that has a stored default that default, nested objects included.
template <typename T> void ResetObject(T &object, const Schema<T> &schema)
{
    for (const Property<T> &p : schema)
        if (p.reset)
            p.reset(object);
}

// ---- Value conversions -----------------------------------------------------------------

// An integer in lo..hi, or InvalidValue.
qint64 IntegerIn(const FormValue &value, qint64 lo, qint64 hi, const QByteArray &path);
FormValue ColorValue(TColor color);
TColor ColorFrom(const FormValue &value, const QByteArray &path);
bool BooleanFrom(const FormValue &value, const QByteArray &path);
QString TextFrom(const FormValue &value, const QByteArray &path);
// The ordinal of an enumeration member named in an Ident value.
int EnumFrom(const FormValue &value, std::span<const char *const> names, const QByteArray &path);
FormValue SetValue(std::uint32_t bits, std::span<const char *const> names);
std::uint32_t SetFrom(const FormValue &value, std::span<const char *const> names, const QByteArray &path);
QByteArray PictureData(const QImage &image);
QImage PictureFrom(const FormValue &value, const QByteArray &path);

// Leaf properties take no name below their own.
inline void LeafOnly(const QByteArray &rest, const QByteArray &path)
{
    if (!rest.isEmpty())
        UnknownProperty(path);
}

inline void Put(PropertyList &out, const QByteArray &name, FormValue value)
{
    out.push_back({name, std::move(value)});
}

// ---- Kinds of property -----------------------------------------------------------------
// Getters and setters are anything std::invoke takes: member function pointers or
// lambdas. A stored default leaves the property out while it holds that value.

template <typename T, typename Get, typename SetFn>
Property<T> Integer(const char *name, Get get, SetFn set, std::optional<qint64> storedDefault = {},
                    bool resetWhenAbsent = true)
{
    using V = std::decay_t<std::invoke_result_t<Get, const T &>>;
    Property<T> p;
    p.name = name;
    p.write = [=](const T &o, const QByteArray &prefix, PropertyList &out) {
        const qint64 v = qint64(std::invoke(get, o));
        if (!storedDefault || v != *storedDefault)
            Put(out, prefix + name, FormValue::Integer(v));
    };
    p.read = [=](T &o, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                 const ReadContext &) {
        LeafOnly(rest, path);
        std::invoke(set, o,
                    V(IntegerIn(value, std::numeric_limits<V>::min(), std::numeric_limits<V>::max(), path)));
    };
    if (storedDefault && resetWhenAbsent)
        p.reset = [=](T &o) { std::invoke(set, o, V(*storedDefault)); };
    return p;
}

// Pixel quantities a stream may set (positions, sizes, margins, gaps, bevels) lie within
// the coordinates of a 16-bit display system. The layout and the painting add a few dozen
// of them at most, so no stored value, however made, overflows their sums; a stream
// holding more is refused.
inline constexpr qint64 MaxExtent = 32767;

template <typename T> Property<T> Extent(Property<T> p)
{
    p.read = [read = p.read](T &o, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                             const ReadContext &context) {
        if (rest.isEmpty())
            IntegerIn(value, -MaxExtent, MaxExtent, path);
        read(o, rest, value, path, context);
    };
    return p;
}

template <typename T, typename Get, typename SetFn>
Property<T> Boolean(const char *name, Get get, SetFn set, std::optional<bool> storedDefault = {})
{
    Property<T> p;
    p.name = name;
    p.write = [=](const T &o, const QByteArray &prefix, PropertyList &out) {
        const bool v = std::invoke(get, o);
        if (!storedDefault || v != *storedDefault)
            Put(out, prefix + name, FormValue::Boolean(v));
    };
    p.read = [=](T &o, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                 const ReadContext &) {
        LeafOnly(rest, path);
        std::invoke(set, o, BooleanFrom(value, path));
    };
    if (storedDefault)
        p.reset = [=](T &o) { std::invoke(set, o, *storedDefault); };
    return p;
}

template <typename T, typename Get, typename SetFn>
Property<T> Color(const char *name, Get get, SetFn set, std::optional<TColor> storedDefault = {})
{
    Property<T> p;
    p.name = name;
    p.write = [=](const T &o, const QByteArray &prefix, PropertyList &out) {
        const TColor v = std::invoke(get, o);
        if (!storedDefault || v != *storedDefault)
            Put(out, prefix + name, ColorValue(v));
    };
    p.read = [=](T &o, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                 const ReadContext &) {
        LeafOnly(rest, path);
        std::invoke(set, o, ColorFrom(value, path));
    };
    if (storedDefault)
        p.reset = [=](T &o) { std::invoke(set, o, *storedDefault); };
    return p;
}

template <typename T, typename Get, typename SetFn>
Property<T> Enum(const char *name, Get get, SetFn set, std::span<const char *const> names,
                 std::optional<int> storedDefault = {})
{
    using V = std::decay_t<std::invoke_result_t<Get, const T &>>;
    Property<T> p;
    p.name = name;
    p.write = [=](const T &o, const QByteArray &prefix, PropertyList &out) {
        const int v = int(std::invoke(get, o));
        if ((!storedDefault || v != *storedDefault) && v >= 0 && v < int(names.size()))
            Put(out, prefix + name, FormValue::Ident(names[std::size_t(v)]));
    };
    p.read = [=](T &o, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                 const ReadContext &) {
        LeafOnly(rest, path);
        std::invoke(set, o, V(EnumFrom(value, names, path)));
    };
    if (storedDefault)
        p.reset = [=](T &o) { std::invoke(set, o, V(*storedDefault)); };
    return p;
}

// A set of TnbSet<E>.
template <typename T, typename Get, typename SetFn>
Property<T> Set(const char *name, Get get, SetFn set, std::span<const char *const> names)
{
    using V = std::decay_t<std::invoke_result_t<Get, const T &>>;
    Property<T> p;
    p.name = name;
    p.write = [=](const T &o, const QByteArray &prefix, PropertyList &out) {
        Put(out, prefix + name, SetValue(std::invoke(get, o).Bits(), names));
    };
    p.read = [=](T &o, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                 const ReadContext &) {
        LeafOnly(rest, path);
        std::invoke(set, o, V::FromBits(SetFrom(value, names, path)));
    };
    return p;
}

// Text; an empty text is not written, so its absence reads as empty (unless the
// property keeps its value when absent, as a read-only one does).
template <typename T, typename Get, typename SetFn>
Property<T> Text(const char *name, Get get, SetFn set, bool resetWhenAbsent = true)
{
    Property<T> p;
    p.name = name;
    p.write = [=](const T &o, const QByteArray &prefix, PropertyList &out) {
        const QString v = std::invoke(get, o);
        if (!v.isEmpty())
            Put(out, prefix + name, FormValue::Text(v));
    };
    p.read = [=](T &o, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                 const ReadContext &) {
        LeafOnly(rest, path);
        std::invoke(set, o, TextFrom(value, path));
    };
    if (resetWhenAbsent)
        p.reset = [=](T &o) { std::invoke(set, o, QString()); };
    return p;
}

// A nested persistent object, written with dotted names.
template <typename T, typename Sub, typename Get>
Property<T> Object(const char *name, Get get, const Schema<Sub> &schema)
{
    Property<T> p;
    p.name = name;
    const Schema<Sub> *table = &schema;
    p.write = [=](const T &o, const QByteArray &prefix, PropertyList &out) {
        WriteObject<Sub>(*std::invoke(get, o), *table, prefix + name + '.', out);
    };
    p.read = [=](T &o, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                 const ReadContext &context) {
        if (rest.isEmpty())
            InvalidValue(path);
        ReadProperty<Sub>(*std::invoke(get, const_cast<const T &>(o)), *table, rest, value, path, context);
    };
    p.reset = [=](T &o) { ResetObject<Sub>(*std::invoke(get, const_cast<const T &>(o)), *table); };
    return p;
}

// An owned collection (the bar's headers, a header's buttons), written as a collection
// value whose items carry the item table's properties. Reading replaces every item.
// The item table is asked for when the property is used, not while the table that
// holds it is being built.
template <typename T, typename Item, typename Get>
Property<T> Collection(const char *name, Get get, const Schema<Item> &(*itemSchema)())
{
    Property<T> p;
    p.name = name;
    p.write = [=](const T &o, const QByteArray &prefix, PropertyList &out) {
        const auto *collection = std::invoke(get, o);
        std::vector<platform::stream::CollectionItem> items;
        for (int i = 0; i < collection->Count(); ++i) {
            platform::stream::CollectionItem item;
            WriteObject<Item>(*collection->Items(i), itemSchema(), QByteArray(), item.properties);
            items.push_back(std::move(item));
        }
        Put(out, prefix + name, FormValue::Collection(std::move(items)));
    };
    p.read = [=](T &o, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                 const ReadContext &context) {
        LeafOnly(rest, path);
        if (value.Type() != ValueType::Collection)
            InvalidValue(path);
        auto *collection = std::invoke(get, const_cast<const T &>(o));
        collection->Clear();
        for (const platform::stream::CollectionItem &stored : value.CollectionItems()) {
            Item *item = collection->Add();
            ResetObject<Item>(*item, itemSchema());
            ReadProperties<Item>(*item, itemSchema(), stored.properties, context);
        }
    };
    return p;
}

// The font and pen tables work on values; these read the value, change the one
// sub-property and set it back through the owner's setter.
void WriteFont(const platform::Font &font, const QByteArray &prefix, PropertyList &out);
void ReadFont(platform::Font &font, const QByteArray &rest, const FormValue &value, const QByteArray &path);
void WritePen(const platform::Pen &pen, const QByteArray &prefix, PropertyList &out);
void ReadPen(platform::Pen &pen, const QByteArray &rest, const FormValue &value, const QByteArray &path);

template <typename T, typename Get, typename SetFn>
Property<T> FontValue(const char *name, Get get, SetFn set)
{
    Property<T> p;
    p.name = name;
    p.write = [=](const T &o, const QByteArray &prefix, PropertyList &out) {
        WriteFont(std::invoke(get, o), prefix + name + '.', out);
    };
    p.read = [=](T &o, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                 const ReadContext &) {
        auto font = std::invoke(get, const_cast<const T &>(o));
        ReadFont(font, rest, value, path);
        std::invoke(set, o, font);
    };
    return p;
}

template <typename T, typename Get, typename SetFn> Property<T> PenValue(const char *name, Get get, SetFn set)
{
    Property<T> p;
    p.name = name;
    p.write = [=](const T &o, const QByteArray &prefix, PropertyList &out) {
        WritePen(std::invoke(get, o), prefix + name + '.', out);
    };
    p.read = [=](T &o, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                 const ReadContext &) {
        auto pen = std::invoke(get, const_cast<const T &>(o));
        ReadPen(pen, rest, value, path);
        std::invoke(set, o, pen);
    };
    // Pen properties are left out at their defaults, so an absent pen is the default pen.
    p.reset = [=](T &o) { std::invoke(set, o, platform::Pen()); };
    return p;
}

// A picture, stored as "<name>.Data": a 4-byte size followed by a bitmap file. An
// empty picture is not written.
template <typename T, typename Get, typename SetFn> Property<T> Picture(const char *name, Get get, SetFn set)
{
    Property<T> p;
    p.name = name;
    p.write = [=](const T &o, const QByteArray &prefix, PropertyList &out) {
        const QImage &image = std::invoke(get, o);
        if (!image.isNull())
            Put(out, prefix + name + ".Data", FormValue::Binary(PictureData(image)));
    };
    p.read = [=](T &o, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                 const ReadContext &) {
        if (rest.compare("Data", Qt::CaseInsensitive) != 0)
            UnknownProperty(path);
        std::invoke(set, o, PictureFrom(value, path));
    };
    return p;
}

// A reference to a component of the owning form (an image list, a menu, an action),
// written as the component's object name while one is set. A name the form does not
// know reads as no reference, as the framework leaves unresolved references empty.
template <typename T, typename Target, typename Get, typename SetFn>
Property<T> Reference(const char *name, Get get, SetFn set)
{
    Property<T> p;
    p.name = name;
    p.write = [=](const T &o, const QByteArray &prefix, PropertyList &out) {
        const QObject *target = std::invoke(get, o);
        if (target && !target->objectName().isEmpty())
            Put(out, prefix + name, FormValue::Ident(target->objectName().toLatin1()));
    };
    p.read = [=](T &o, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                 const ReadContext &context) {
        LeafOnly(rest, path);
        if (value.Type() == ValueType::Nil) {
            std::invoke(set, o, static_cast<Target *>(nullptr));
            return;
        }
        if (value.Type() != ValueType::Ident)
            InvalidValue(path);
        QObject *found = context.owner ? context.owner->FindComponent(value.Bytes()) : nullptr;
        std::invoke(set, o, qobject_cast<Target *>(found));
    };
    return p;
}

// An event, written as the name of the form method its handler was made from; a handler
// made otherwise cannot be stored and is left out. Reading binds the form's method of
// that name, and a name the form does not have is an error.
void MissingMethod(const QByteArray &name, const QByteArray &path);

template <typename T, typename Event, typename Get, typename SetFn>
Property<T> EventProperty(const char *name, Get get, SetFn set)
{
    Property<T> p;
    p.name = name;
    p.write = [=](const T &o, const QByteArray &prefix, PropertyList &out) {
        const Event &handler = std::invoke(get, o);
        if (!handler)
            return;
        const QByteArray method = platform::FormOwner::MethodName(handler);
        if (!method.isEmpty())
            Put(out, prefix + name, FormValue::Ident(method));
    };
    p.read = [=](T &o, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                 const ReadContext &context) {
        LeafOnly(rest, path);
        if (value.Type() == ValueType::Nil) {
            std::invoke(set, o, Event());
            return;
        }
        if (value.Type() != ValueType::Ident)
            InvalidValue(path);
        Event handler = context.owner ? context.owner->Method<Event>(value.Bytes()) : Event();
        if (!handler)
            MissingMethod(value.Bytes(), path);
        std::invoke(set, o, handler);
    };
    return p;
}

// An event held in a public member of the object.
template <typename T, typename Event> Property<T> EventMember(const char *name, Event T::*member)
{
    return EventProperty<T, Event>(
        name, [member](const T &o) -> const Event & { return o.*member; },
        [member](T &o, const Event &e) { o.*member = e; });
}

} // namespace nbstream
