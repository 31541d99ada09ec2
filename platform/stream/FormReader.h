#pragma once

#include "platform/stream/FormValue.h"

class QIODevice;

namespace platform::stream {

// Reads the binary component stream from a device. Anything that is not a well-formed
// stream raises StreamError with the offset of the fault: a wrong signature, an unknown
// type byte, an end before the data does, a length that reaches past the end, nesting
// deeper than MaxDepth. A length field never causes an allocation beyond the bytes that
// are actually there.
class FormReader
{
public:
    // Lists, collections and components nested deeper than this are refused, so that a
    // crafted stream cannot exhaust the stack.
    static constexpr int MaxDepth = 128;

    explicit FormReader(QIODevice &device);

    void ReadSignature();
    FormComponent ReadComponent();
    PropertyList ReadProperties();
    FormValue ReadValue();

    // Bytes read since the reader was made.
    qint64 Offset() const { return m_offset; }

private:
    class Nesting;

    ValueType ReadValueType();
    FormValue ReadValueOfType(ValueType type);
    std::uint8_t ReadByte();
    std::uint8_t PeekByte();
    QByteArray ReadBytes(qint64 count);
    qint64 ReadInteger(int size);
    qint64 ReadLength();
    QByteArray ReadShortString();
    [[noreturn]] void Fail(const QString &message) const;
    [[noreturn]] void Truncated() const;

    QIODevice &m_device;
    qint64 m_offset = 0;
    int m_depth = 0;
};

// The root component of a whole stream: the signature, then one component.
FormComponent ReadFormStream(QIODevice &device);
// Writes the signature and `root`.
void WriteFormStream(QIODevice &device, const FormComponent &root);

} // namespace platform::stream
