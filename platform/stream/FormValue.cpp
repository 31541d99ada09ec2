#include "platform/stream/FormValue.h"

#include "platform/os/Gb2312.h"
#include "platform/stream/ExtendedFloat.h"

#include <bit>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace platform::stream {

namespace {

bool IsAscii(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

template <typename T> bool Fits(qint64 v)
{
    return v >= std::numeric_limits<T>::min() && v <= std::numeric_limits<T>::max();
}

} // namespace

FormValue::FormValue(const FormValue &) = default;
FormValue::FormValue(FormValue &&) noexcept = default;
FormValue &FormValue::operator=(const FormValue &) = default;
FormValue &FormValue::operator=(FormValue &&) noexcept = default;
FormValue::~FormValue() = default;

FormValue FormValue::Integer(qint64 value)
{
    if (Fits<qint8>(value))
        return Integer(value, ValueType::Int8);
    if (Fits<qint16>(value))
        return Integer(value, ValueType::Int16);
    if (Fits<qint32>(value))
        return Integer(value, ValueType::Int32);
    return Integer(value, ValueType::Int64);
}

FormValue FormValue::Integer(qint64 value, ValueType kind)
{
    const bool fits = (kind == ValueType::Int8 && Fits<qint8>(value)) ||
                      (kind == ValueType::Int16 && Fits<qint16>(value)) ||
                      (kind == ValueType::Int32 && Fits<qint32>(value)) || kind == ValueType::Int64;
    if (!fits)
        throw std::invalid_argument("integer does not fit the value kind");
    FormValue v;
    v.m_type = kind;
    v.m_integer = value;
    return v;
}

FormValue FormValue::Boolean(bool value)
{
    FormValue v;
    v.m_type = value ? ValueType::True : ValueType::False;
    return v;
}

FormValue FormValue::Text(const QString &value)
{
    if (!IsAscii(value))
        return Text(value, ValueType::WString);
    return Text(value, value.size() <= 255 ? ValueType::String : ValueType::LString);
}

FormValue FormValue::Text(const QString &value, ValueType kind)
{
    switch (kind) {
    case ValueType::String:
    case ValueType::LString:
        return SingleByteText(toGb2312(value), kind);
    case ValueType::WString: {
        FormValue v;
        v.m_type = kind;
        v.m_text = value;
        return v;
    }
    case ValueType::Utf8String:
        return Utf8Bytes(value.toUtf8());
    default:
        throw std::invalid_argument("not a text value kind");
    }
}

FormValue FormValue::SingleByteText(const QByteArray &bytes, ValueType kind)
{
    if ((kind != ValueType::String && kind != ValueType::LString) ||
        (kind == ValueType::String && bytes.size() > 255))
        throw std::invalid_argument("not single-byte text of that kind");
    FormValue v;
    v.m_type = kind;
    v.m_bytes = bytes;
    v.m_text = fromGb2312(bytes);
    return v;
}

FormValue FormValue::Ident(const QByteArray &name)
{
    FormValue v;
    v.m_type = ValueType::Ident;
    v.m_bytes = name;
    return v;
}

FormValue FormValue::Float(double value, ValueType kind)
{
    FormValue v;
    switch (kind) {
    case ValueType::Extended:
        v.m_bytes = ToExtended(value);
        v.m_real = value;
        break;
    case ValueType::Single:
        return SingleBits(std::bit_cast<quint32>(ToSingle(value)));
    case ValueType::Double:
    case ValueType::Date:
        v.m_real = value;
        break;
    default:
        throw std::invalid_argument("not a float value kind");
    }
    v.m_type = kind;
    return v;
}

FormValue FormValue::ExtendedBytes(const QByteArray &tenBytes)
{
    if (tenBytes.size() != ExtendedSize)
        throw std::invalid_argument("an extended value has ten bytes");
    FormValue v;
    v.m_type = ValueType::Extended;
    v.m_bytes = tenBytes;
    v.m_real = FromExtended(tenBytes.constData());
    return v;
}

FormValue FormValue::SingleBits(quint32 bits)
{
    FormValue v;
    v.m_type = ValueType::Single;
    v.m_bytes.resize(4);
    for (int i = 0; i < 4; ++i)
        v.m_bytes[i] = char((bits >> (8 * i)) & 0xFF);
    v.m_real = double(std::bit_cast<float>(bits));
    return v;
}

FormValue FormValue::Utf8Bytes(const QByteArray &bytes)
{
    FormValue v;
    v.m_type = ValueType::Utf8String;
    v.m_bytes = bytes;
    v.m_text = QString::fromUtf8(bytes);
    return v;
}

FormValue FormValue::Currency(qint64 scaled)
{
    FormValue v;
    v.m_type = ValueType::Currency;
    v.m_integer = scaled;
    return v;
}

FormValue FormValue::Binary(const QByteArray &data)
{
    FormValue v;
    v.m_type = ValueType::Binary;
    v.m_bytes = data;
    return v;
}

FormValue FormValue::Set(const QList<QByteArray> &members)
{
    FormValue v;
    v.m_type = ValueType::Set;
    v.m_members = members;
    return v;
}

FormValue FormValue::Nil()
{
    FormValue v;
    v.m_type = ValueType::Nil;
    return v;
}

FormValue FormValue::List(std::vector<FormValue> items)
{
    FormValue v;
    v.m_type = ValueType::List;
    v.m_list = std::move(items);
    return v;
}

FormValue FormValue::Collection(std::vector<CollectionItem> items)
{
    FormValue v;
    v.m_type = ValueType::Collection;
    v.m_items = std::move(items);
    return v;
}

bool FormValue::IsInteger() const
{
    return m_type == ValueType::Int8 || m_type == ValueType::Int16 || m_type == ValueType::Int32 ||
           m_type == ValueType::Int64;
}

bool FormValue::IsText() const
{
    return m_type == ValueType::String || m_type == ValueType::LString || m_type == ValueType::WString ||
           m_type == ValueType::Utf8String;
}

bool FormValue::IsFloat() const
{
    return m_type == ValueType::Extended || m_type == ValueType::Single || m_type == ValueType::Double ||
           m_type == ValueType::Date;
}

const std::vector<FormValue> &FormValue::ListItems() const
{
    return m_list;
}

const std::vector<CollectionItem> &FormValue::CollectionItems() const
{
    return m_items;
}

bool operator==(const FormValue &a, const FormValue &b)
{
    if (a.m_type != b.m_type)
        return false;
    switch (a.m_type) {
    case ValueType::Null:
    case ValueType::False:
    case ValueType::True:
    case ValueType::Nil:
        return true;
    case ValueType::List:
        return a.m_list == b.m_list;
    case ValueType::Int8:
    case ValueType::Int16:
    case ValueType::Int32:
    case ValueType::Int64:
    case ValueType::Currency:
        return a.m_integer == b.m_integer;
    case ValueType::Extended:
    case ValueType::Single:
    case ValueType::String:
    case ValueType::LString:
    case ValueType::Utf8String:
    case ValueType::Ident:
    case ValueType::Binary:
        return a.m_bytes == b.m_bytes;
    case ValueType::Double:
    case ValueType::Date:
        return SameBits(a.m_real, b.m_real);
    case ValueType::WString:
        return a.m_text == b.m_text;
    case ValueType::Set:
        return a.m_members == b.m_members;
    case ValueType::Collection:
        return a.m_items == b.m_items;
    }
    return false;
}

const FormValue *FormComponent::Find(const QByteArray &name) const
{
    for (const FormProperty &p : properties)
        if (p.name == name)
            return &p.value;
    return nullptr;
}

} // namespace platform::stream
