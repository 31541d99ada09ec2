#include "platform/stream/FormReader.h"

#include "platform/stream/ExtendedFloat.h"
#include "platform/stream/FormSignature.h"
#include "platform/stream/FormWriter.h"
#include "platform/stream/StreamError.h"

#include <QIODevice>
#include <bit>
#include <cstring>
#include <limits>

namespace platform::stream {

namespace {
// Bytes read at a time from a device whose size is not known in advance.
constexpr qint64 ChunkSize = 64 * 1024;
} // namespace

// Counts one level of nesting for as long as it lives.
class FormReader::Nesting
{
public:
    explicit Nesting(FormReader &reader) : m_reader(reader)
    {
        if (++m_reader.m_depth > MaxDepth)
            m_reader.Fail(QStringLiteral("组件流在第 %1 字节处嵌套过深").arg(m_reader.m_offset));
    }
    ~Nesting() { --m_reader.m_depth; }
    Nesting(const Nesting &) = delete;
    Nesting &operator=(const Nesting &) = delete;

private:
    FormReader &m_reader;
};

FormReader::FormReader(QIODevice &device) : m_device(device) {}

void FormReader::ReadSignature()
{
    const qint64 at = m_offset;
    QByteArray head(FormSignatureSize, '\0');
    const qint64 got = m_device.read(head.data(), FormSignatureSize);
    if (got > 0)
        m_offset += got;
    if (got != FormSignatureSize || std::memcmp(head.constData(), FormSignature, FormSignatureSize) != 0)
        Fail(QStringLiteral("数据不是组件流：第 %1 字节处没有组件流的签名").arg(at));
}

FormComponent FormReader::ReadComponent()
{
    Nesting level(*this);
    FormComponent component;
    if ((PeekByte() & 0xF0) == 0xF0) {
        component.flags = ReadByte() & 0x0F;
        if (component.flags & FormComponent::ChildPosition) {
            const qint64 at = m_offset;
            component.position = ReadValue();
            if (!component.position.IsInteger())
                Fail(QStringLiteral("组件流第 %1 字节处的组件位置不是整数").arg(at));
        }
    }
    const qint64 at = m_offset;
    component.className = ReadShortString();
    if (component.className.isEmpty())
        Fail(QStringLiteral("组件流第 %1 字节处缺少组件类名").arg(at));
    component.name = ReadShortString();
    component.properties = ReadProperties();
    while (PeekByte() != 0)
        component.children.push_back(ReadComponent());
    ReadByte();
    return component;
}

PropertyList FormReader::ReadProperties()
{
    PropertyList properties;
    while (PeekByte() != 0) {
        FormProperty p;
        p.name = ReadShortString();
        p.value = ReadValue();
        properties.push_back(std::move(p));
    }
    ReadByte();
    return properties;
}

FormValue FormReader::ReadValue()
{
    return ReadValueOfType(ReadValueType());
}

ValueType FormReader::ReadValueType()
{
    const qint64 at = m_offset;
    const std::uint8_t byte = ReadByte();
    if (byte > LastValueType)
        Fail(QStringLiteral("组件流第 %1 字节处的值类型 %2 无效").arg(at).arg(QString::number(byte)));
    return ValueType(byte);
}

FormValue FormReader::ReadValueOfType(ValueType type)
{
    switch (type) {
    case ValueType::Null:
        return FormValue();
    case ValueType::False:
        return FormValue::Boolean(false);
    case ValueType::True:
        return FormValue::Boolean(true);
    case ValueType::Nil:
        return FormValue::Nil();
    case ValueType::List: {
        Nesting level(*this);
        std::vector<FormValue> items;
        while (PeekByte() != 0)
            items.push_back(ReadValue());
        ReadByte();
        return FormValue::List(std::move(items));
    }
    case ValueType::Int8:
        return FormValue::Integer(ReadInteger(1), type);
    case ValueType::Int16:
        return FormValue::Integer(ReadInteger(2), type);
    case ValueType::Int32:
        return FormValue::Integer(ReadInteger(4), type);
    case ValueType::Int64:
        return FormValue::Integer(ReadInteger(8), type);
    case ValueType::Currency:
        return FormValue::Currency(ReadInteger(8));
    case ValueType::Extended:
        return FormValue::ExtendedBytes(ReadBytes(ExtendedSize));
    case ValueType::Single:
        return FormValue::SingleBits(quint32(ReadInteger(4)));
    case ValueType::Double:
    case ValueType::Date:
        return FormValue::Float(std::bit_cast<double>(std::uint64_t(ReadInteger(8))), type);
    case ValueType::String:
        return FormValue::SingleByteText(ReadShortString(), type);
    case ValueType::LString:
        return FormValue::SingleByteText(ReadBytes(ReadLength()), type);
    case ValueType::Ident:
        return FormValue::Ident(ReadShortString());
    case ValueType::Binary:
        return FormValue::Binary(ReadBytes(ReadLength()));
    case ValueType::WString: {
        const qint64 at = m_offset;
        const qint64 units = ReadLength();
        if (units > std::numeric_limits<qint32>::max() / 2)
            Fail(QStringLiteral("组件流第 %1 字节处的长度超出了流的末尾").arg(at));
        const QByteArray bytes = ReadBytes(units * 2);
        QString text(units, Qt::Uninitialized);
        for (qint64 i = 0; i < units; ++i)
            text[i] = QChar(char16_t(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8)));
        return FormValue::Text(text, type);
    }
    case ValueType::Utf8String:
        return FormValue::Utf8Bytes(ReadBytes(ReadLength()));
    case ValueType::Set: {
        QList<QByteArray> members;
        for (QByteArray member = ReadShortString(); !member.isEmpty(); member = ReadShortString())
            members.append(member);
        return FormValue::Set(members);
    }
    case ValueType::Collection: {
        Nesting level(*this);
        std::vector<CollectionItem> items;
        while (PeekByte() != 0) {
            CollectionItem item;
            const std::uint8_t next = PeekByte();
            if (next == std::uint8_t(ValueType::Int8) || next == std::uint8_t(ValueType::Int16) ||
                next == std::uint8_t(ValueType::Int32))
                item.order = ReadValue();
            const qint64 at = m_offset;
            if (ReadByte() != std::uint8_t(ValueType::List))
                Fail(QStringLiteral("组件流第 %1 字节处的集合项格式错误").arg(at));
            item.properties = ReadProperties();
            items.push_back(std::move(item));
        }
        ReadByte();
        return FormValue::Collection(std::move(items));
    }
    }
    Fail(QStringLiteral("组件流第 %1 字节处的值类型无效").arg(m_offset));
}

std::uint8_t FormReader::ReadByte()
{
    char c;
    if (m_device.read(&c, 1) != 1)
        Truncated();
    ++m_offset;
    return static_cast<std::uint8_t>(c);
}

std::uint8_t FormReader::PeekByte()
{
    char c;
    if (m_device.peek(&c, 1) != 1)
        Truncated();
    return static_cast<std::uint8_t>(c);
}

QByteArray FormReader::ReadBytes(qint64 count)
{
    const qint64 at = m_offset;
    // A device of known size tells at once whether the bytes are there; any other is
    // read in chunks, so memory grows only with the bytes that really arrive.
    if (!m_device.isSequential() && count > m_device.bytesAvailable())
        Fail(
            QStringLiteral("组件流第 %1 字节处的长度 %2 超出了流的末尾").arg(at).arg(QString::number(count)));
    QByteArray bytes;
    while (bytes.size() < count) {
        const qint64 want = std::min(ChunkSize, count - bytes.size());
        const QByteArray chunk = m_device.read(want);
        if (chunk.isEmpty())
            Fail(QStringLiteral("组件流第 %1 字节处的长度 %2 超出了流的末尾")
                     .arg(at)
                     .arg(QString::number(count)));
        bytes += chunk;
        m_offset += chunk.size();
    }
    return bytes;
}

qint64 FormReader::ReadInteger(int size)
{
    const QByteArray bytes = ReadBytes(size);
    std::uint64_t bits = 0;
    for (int i = size - 1; i >= 0; --i)
        bits = (bits << 8) | static_cast<unsigned char>(bytes[i]);
    // Sign-extend from the stored width.
    const int unused = 64 - 8 * size;
    return static_cast<qint64>(bits << unused) >> unused;
}

qint64 FormReader::ReadLength()
{
    const qint64 at = m_offset;
    const qint64 length = ReadInteger(4);
    if (length < 0)
        Fail(QStringLiteral("组件流第 %1 字节处的长度 %2 无效").arg(at).arg(QString::number(length)));
    return length;
}

QByteArray FormReader::ReadShortString()
{
    return ReadBytes(ReadByte());
}

void FormReader::Fail(const QString &message) const
{
    throw StreamError(message);
}

void FormReader::Truncated() const
{
    Fail(QStringLiteral("组件流在第 %1 字节处意外结束").arg(m_offset));
}

FormComponent ReadFormStream(QIODevice &device)
{
    FormReader reader(device);
    reader.ReadSignature();
    return reader.ReadComponent();
}

void WriteFormStream(QIODevice &device, const FormComponent &root)
{
    FormWriter writer(device);
    writer.WriteSignature();
    writer.WriteComponent(root);
}

} // namespace platform::stream
