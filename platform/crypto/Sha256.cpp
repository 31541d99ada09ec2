#include "platform/crypto/Sha256.h"

#include <QFile>

#include <openssl/evp.h>

#include <vector>

namespace platform::crypto {

namespace {

// Fetched once: a lookup by name at every use takes the library's locks,
// which costs more than hashing a page when several threads hash at once.
const EVP_MD *sha256Digest()
{
    static EVP_MD *digest = EVP_MD_fetch(nullptr, "SHA256", nullptr);
    return digest;
}

} // namespace

struct Sha256::Context
{
    EVP_MD_CTX *context = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(context); }
};

Sha256::Sha256() : m_context(std::make_unique<Context>())
{
    EVP_DigestInit_ex(m_context->context, sha256Digest(), nullptr);
}

Sha256::~Sha256() = default;

void Sha256::add(const char *data, qint64 size)
{
    if (size > 0)
        EVP_DigestUpdate(m_context->context, data, size_t(size));
}

QByteArray Sha256::result()
{
    QByteArray digest(kSha256Size, Qt::Uninitialized);
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_context->context, reinterpret_cast<unsigned char *>(digest.data()), &length);
    EVP_DigestInit_ex(m_context->context, sha256Digest(), nullptr);
    return digest;
}

QByteArray sha256(const char *data, qint64 size)
{
    QByteArray digest(kSha256Size, Qt::Uninitialized);
    unsigned int length = 0;
    EVP_Digest(data, size_t(std::max<qint64>(size, 0)), reinterpret_cast<unsigned char *>(digest.data()),
               &length, EVP_sha256(), nullptr);
    return digest;
}

QString sha256OfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return sha256OfDevice(file);
}

QString sha256OfDevice(QIODevice &file)
{
    Sha256 hash;
    std::vector<char> buffer(1 << 20);
    while (true) {
        const qint64 count = file.read(buffer.data(), qint64(buffer.size()));
        if (count < 0)
            return {};
        if (count == 0)
            break;
        hash.add(buffer.data(), count);
    }
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace platform::crypto
