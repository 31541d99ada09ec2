#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QIODevice;

// SHA-256 over OpenSSL, which uses the processor's SHA instructions where
// it has them: a file of several gigabytes is hashed in seconds rather than
// minutes.
namespace platform::crypto {

inline constexpr qsizetype kSha256Size = 32;

// A hash fed piece by piece.
class Sha256
{
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256 &) = delete;
    Sha256 &operator=(const Sha256 &) = delete;

    void add(const char *data, qint64 size);
    void add(const QByteArray &data) { add(data.constData(), data.size()); }
    // The 32 bytes of the digest; the hash starts afresh afterwards.
    QByteArray result();

private:
    struct Context;
    std::unique_ptr<Context> m_context;
};

// The 32 bytes of the SHA-256 of some bytes.
QByteArray sha256(const char *data, qint64 size);
inline QByteArray sha256(const QByteArray &data)
{
    return sha256(data.constData(), data.size());
}

// The SHA-256 of a file's bytes in lower-case hexadecimal; empty when the
// file cannot be read to its end.
QString sha256OfFile(const QString &path);
// The same for what is left to read of an open device.
QString sha256OfDevice(QIODevice &device);

} // namespace platform::crypto
