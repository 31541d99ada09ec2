#pragma once

#include "platform/stream/FormValue.h"

class QIODevice;

namespace platform::stream {

// Writes the binary component stream to a device: the signature, components with their
// properties and owned components, and values. A device that refuses bytes, or a name
// that does not fit a short string, raises StreamError.
class FormWriter
{
public:
    explicit FormWriter(QIODevice &device) : m_device(device) {}

    // "TPF0".
    void WriteSignature();
    // The prefix (when flags are set), class name, name, properties, end marker, the
    // owned components and their end marker.
    void WriteComponent(const FormComponent &component);
    void WriteProperties(const PropertyList &properties);
    void WriteValue(const FormValue &value);

private:
    void Put(const QByteArray &bytes);
    void PutByte(std::uint8_t byte);
    void PutInteger(qint64 value, int size);
    void PutShortString(const QByteArray &text, const QString &what);
    void PutLength(qint64 length);

    QIODevice &m_device;
};

} // namespace platform::stream
