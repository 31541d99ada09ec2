#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform::stream {

// The type byte in front of every stored value.
enum class ValueType : std::uint8_t {
    Null = 0, // also ends property lists, lists and collections
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5, // 80-bit x87 float
    String = 6,   // up to 255 bytes of single-byte text
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LString = 12, // single-byte text with a 4-byte length
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16, // the value times 10000 as a 64-bit integer
    Date = 17,     // days since 30 December 1899
    WString = 18,  // UTF-16
    Int64 = 19,
    Utf8String = 20,
    Double = 21,
};
inline constexpr std::uint8_t LastValueType = 21;

class FormValue;
struct FormProperty;
struct CollectionItem;

// One stored value: its type and its data. Values keep the exact kind they were read
// with, so that writing a value that was read gives the same bytes again.
class FormValue
{
public:
    // A Null value.
    FormValue() = default;

    // The smallest of Int8, Int16 and Int32 that holds `value`; Int64 beyond 32 bits.
    static FormValue Integer(qint64 value);
    // An integer of the given kind (Int8 to Int64); the value must fit it.
    static FormValue Integer(qint64 value, ValueType kind);
    static FormValue Boolean(bool value);
    // Text as a writer stores it: String (or LString past 255 bytes) when every
    // character is ASCII, WString otherwise, so that any text survives.
    static FormValue Text(const QString &value);
    // Text of the given kind; String and LString hold the text in the GB2312 code page.
    static FormValue Text(const QString &value, ValueType kind);
    // Single-byte text (String or LString) exactly as stored.
    static FormValue SingleByteText(const QByteArray &bytes, ValueType kind);
    static FormValue Ident(const QByteArray &name);
    // A float of the given kind: Extended, Single, Double or Date.
    static FormValue Float(double value, ValueType kind = ValueType::Extended);
    // An Extended value exactly as stored (ten bytes).
    static FormValue ExtendedBytes(const QByteArray &tenBytes);
    // A Single exactly as stored: the bits of the 32-bit float (a signalling NaN stays
    // one, which a trip through a double would quieten).
    static FormValue SingleBits(quint32 bits);
    // A UTF8String exactly as stored: bytes that are not valid UTF-8 are kept as they
    // are and only the decoded text shows replacement characters.
    static FormValue Utf8Bytes(const QByteArray &bytes);
    // A Currency value: the amount times 10000.
    static FormValue Currency(qint64 scaled);
    static FormValue Binary(const QByteArray &data);
    static FormValue Set(const QList<QByteArray> &members);
    static FormValue Nil();
    static FormValue List(std::vector<FormValue> items);
    static FormValue Collection(std::vector<CollectionItem> items);

    FormValue(const FormValue &);
    FormValue(FormValue &&) noexcept;
    FormValue &operator=(const FormValue &);
    FormValue &operator=(FormValue &&) noexcept;
    ~FormValue();

    ValueType Type() const { return m_type; }
    bool IsInteger() const;
    bool IsText() const;
    bool IsFloat() const;
    bool IsBoolean() const { return m_type == ValueType::False || m_type == ValueType::True; }

    // Int8 to Int64; Currency gives the scaled amount.
    qint64 ToInteger() const { return m_integer; }
    // Extended, Single, Double and Date.
    double ToFloat() const { return m_real; }
    // Any of the four string kinds, decoded.
    QString ToText() const { return m_text; }
    bool ToBoolean() const { return m_type == ValueType::True; }
    // Ident: the identifier; Binary: the data; String/LString/UTF8String: the stored
    // bytes; Extended: the ten stored bytes; Single: the four bytes of the float.
    const QByteArray &Bytes() const { return m_bytes; }
    const QList<QByteArray> &Members() const { return m_members; }
    const std::vector<FormValue> &ListItems() const;
    const std::vector<CollectionItem> &CollectionItems() const;

    friend bool operator==(const FormValue &a, const FormValue &b);

private:
    ValueType m_type = ValueType::Null;
    qint64 m_integer = 0;
    double m_real = 0;
    QString m_text;
    QByteArray m_bytes;
    QList<QByteArray> m_members;
    std::vector<FormValue> m_list;
    std::vector<CollectionItem> m_items;
};

// A property: its name (a dotted path for nested objects) and its value.
struct FormProperty
{
    QByteArray name;
    FormValue value;
    friend bool operator==(const FormProperty &, const FormProperty &) = default;
};

using PropertyList = std::vector<FormProperty>;

// One item of a collection: an optional order value, then its properties.
struct CollectionItem
{
    std::optional<FormValue> order;
    PropertyList properties;
    friend bool operator==(const CollectionItem &, const CollectionItem &) = default;
};

// A stored component: the optional prefix, class and component name, properties and
// the components it owns.
struct FormComponent
{
    enum Flag : std::uint8_t { Inherited = 1, ChildPosition = 2, Inline = 4 };

    std::uint8_t flags = 0;
    // With ChildPosition: the position, an integer.
    FormValue position;
    QByteArray className;
    QByteArray name;
    PropertyList properties;
    std::vector<FormComponent> children;

    // The value of the property `name` (compared exactly), or none.
    const FormValue *Find(const QByteArray &name) const;

    friend bool operator==(const FormComponent &, const FormComponent &) = default;
};

} // namespace platform::stream
