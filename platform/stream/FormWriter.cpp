#include "platform/stream/FormWriter.h"

#include "platform/stream/ExtendedFloat.h"
#include "platform/stream/FormSignature.h"
#include "platform/stream/StreamError.h"

#include <QIODevice>
#include <bit>
#include <limits>

namespace platform::stream {

void FormWriter::WriteSignature()
{
    Put(QByteArray(FormSignature, FormSignatureSize));
}

void FormWriter::WriteComponent(const FormComponent &component)
{
    if (component.flags != 0) {
        PutByte(std::uint8_t(0xF0 | (component.flags & 0x0F)));
        if (component.flags & FormComponent::ChildPosition) {
            if (!component.position.IsInteger())
                throw StreamError(QStringLiteral("组件的位置必须是整数"));
            WriteValue(component.position);
        }
    }
    // A class name of 240 bytes or more would read back as a prefix byte.
    if (component.className.isEmpty() || component.className.size() >= 0xF0)
        throw StreamError(QStringLiteral("组件类名无效：%1").arg(QString::fromLatin1(component.className)));
    PutShortString(component.className, QStringLiteral("类名"));
    PutShortString(component.name, QStringLiteral("组件名"));
    WriteProperties(component.properties);
    for (const FormComponent &child : component.children)
        WriteComponent(child);
    PutByte(0);
}

void FormWriter::WriteProperties(const PropertyList &properties)
{
    for (const FormProperty &p : properties) {
        // An empty name would read back as the end of the list.
        if (p.name.isEmpty())
            throw StreamError(QStringLiteral("属性名不能为空"));
        PutShortString(p.name, QStringLiteral("属性名"));
        WriteValue(p.value);
    }
    PutByte(0);
}

void FormWriter::WriteValue(const FormValue &value)
{
    const ValueType type = value.Type();
    PutByte(std::uint8_t(type));
    switch (type) {
    case ValueType::Null:
    case ValueType::False:
    case ValueType::True:
    case ValueType::Nil:
        break;
    case ValueType::List:
        for (const FormValue &item : value.ListItems()) {
            // A Null item's type byte is the list's end marker: a reader would stop there.
            if (item.Type() == ValueType::Null)
                throw StreamError(QStringLiteral("列表中不能有空值（Null），否则无法读回"));
            WriteValue(item);
        }
        PutByte(0);
        break;
    case ValueType::Int8:
        PutInteger(value.ToInteger(), 1);
        break;
    case ValueType::Int16:
        PutInteger(value.ToInteger(), 2);
        break;
    case ValueType::Int32:
        PutInteger(value.ToInteger(), 4);
        break;
    case ValueType::Int64:
    case ValueType::Currency:
        PutInteger(value.ToInteger(), 8);
        break;
    case ValueType::Extended:
        Put(value.Bytes().size() == ExtendedSize ? value.Bytes() : ToExtended(value.ToFloat()));
        break;
    case ValueType::Single:
        Put(value.Bytes());
        break;
    case ValueType::Double:
    case ValueType::Date:
        PutInteger(qint64(std::bit_cast<std::uint64_t>(value.ToFloat())), 8);
        break;
    case ValueType::String:
        PutShortString(value.Bytes(), QStringLiteral("文本"));
        break;
    case ValueType::Ident:
        PutShortString(value.Bytes(), QStringLiteral("标识符"));
        break;
    case ValueType::LString:
    case ValueType::Binary:
        PutLength(value.Bytes().size());
        Put(value.Bytes());
        break;
    case ValueType::WString: {
        const QString text = value.ToText();
        PutLength(text.size());
        QByteArray units;
        units.reserve(text.size() * 2);
        for (QChar c : text) {
            units.append(char(c.unicode() & 0xFF));
            units.append(char(c.unicode() >> 8));
        }
        Put(units);
        break;
    }
    case ValueType::Utf8String:
        PutLength(value.Bytes().size());
        Put(value.Bytes());
        break;
    case ValueType::Set:
        for (const QByteArray &member : value.Members()) {
            if (member.isEmpty())
                throw StreamError(QStringLiteral("集合成员名不能为空"));
            PutShortString(member, QStringLiteral("集合成员名"));
        }
        PutByte(0);
        break;
    case ValueType::Collection:
        for (const CollectionItem &item : value.CollectionItems()) {
            if (item.order) {
                if (!item.order->IsInteger() || item.order->Type() == ValueType::Int64)
                    throw StreamError(QStringLiteral("集合项的序号必须是 32 位以内的整数"));
                WriteValue(*item.order);
            }
            PutByte(std::uint8_t(ValueType::List));
            WriteProperties(item.properties);
        }
        PutByte(0);
        break;
    }
}

void FormWriter::Put(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    if (m_device.write(bytes) != bytes.size())
        throw StreamError(QStringLiteral("无法写入组件流：%1").arg(m_device.errorString()));
}

void FormWriter::PutByte(std::uint8_t byte)
{
    Put(QByteArray(1, char(byte)));
}

void FormWriter::PutInteger(qint64 value, int size)
{
    QByteArray bytes(size, '\0');
    const auto bits = static_cast<std::uint64_t>(value);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((bits >> (8 * i)) & 0xFF);
    Put(bytes);
}

void FormWriter::PutShortString(const QByteArray &text, const QString &what)
{
    if (text.size() > 255)
        throw StreamError(QStringLiteral("%1 过长（超过 255 字节），无法写入组件流").arg(what));
    PutByte(std::uint8_t(text.size()));
    Put(text);
}

void FormWriter::PutLength(qint64 length)
{
    if (length > std::numeric_limits<qint32>::max())
        throw StreamError(QStringLiteral("值过长，无法写入组件流"));
    PutInteger(length, 4);
}

} // namespace platform::stream
