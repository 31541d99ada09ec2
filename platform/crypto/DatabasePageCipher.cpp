#include "platform/crypto/DatabasePageCipher.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>

#include <cstring>
#include <memory>

namespace platform::crypto {

namespace {

constexpr int kKeySize = 32;
constexpr int kIvSize = 16;
constexpr int kMacSize = 20; // HMAC-SHA1
constexpr unsigned char kMacSaltMask = 0x3a;
constexpr int kMacKeyIterations = 2;

struct CipherFree
{
    void operator()(EVP_CIPHER_CTX *context) const { EVP_CIPHER_CTX_free(context); }
};
using Cipher = std::unique_ptr<EVP_CIPHER_CTX, CipherFree>;

QByteArray derive(const QByteArray &secret, const QByteArray &salt, int iterations)
{
    QByteArray key(kKeySize, Qt::Uninitialized);
    PKCS5_PBKDF2_HMAC_SHA1(secret.constData(), int(secret.size()),
                           reinterpret_cast<const unsigned char *>(salt.constData()), int(salt.size()),
                           iterations, kKeySize, reinterpret_cast<unsigned char *>(key.data()));
    return key;
}

// Fetched once, and a context kept by each thread: looking the cipher up
// by name at every page takes the library's locks, which costs more than
// the page when several threads work at once.
const EVP_CIPHER *aes256Cbc()
{
    static EVP_CIPHER *cipher = EVP_CIPHER_fetch(nullptr, "AES-256-CBC", nullptr);
    return cipher;
}

EVP_CIPHER_CTX *threadContext()
{
    thread_local const Cipher context(EVP_CIPHER_CTX_new());
    return context.get();
}

// AES-256-CBC of whole blocks, without padding.
void crypt(bool encrypt, const QByteArray &key, const char *iv, const char *in, int size, char *out)
{
    EVP_CIPHER_CTX *context = threadContext();
    const auto *k = reinterpret_cast<const unsigned char *>(key.constData());
    const auto *v = reinterpret_cast<const unsigned char *>(iv);
    EVP_CipherInit_ex(context, aes256Cbc(), nullptr, k, v, encrypt ? 1 : 0);
    EVP_CIPHER_CTX_set_padding(context, 0);
    int written = 0, last = 0;
    auto *o = reinterpret_cast<unsigned char *>(out);
    EVP_CipherUpdate(context, o, &written, reinterpret_cast<const unsigned char *>(in), size);
    EVP_CipherFinal_ex(context, o + written, &last);
}

} // namespace

DatabasePageCipher::DatabasePageCipher(const QByteArray &passPhrase, const QByteArray &salt,
                                       const DatabasePageLayout &layout)
    : m_layout(layout), m_salt(salt.left(kDatabaseSaltSize))
{
    m_key = derive(passPhrase, m_salt, layout.kdfIterations);
    QByteArray macSalt = m_salt;
    for (char &c : macSalt)
        c = char(static_cast<unsigned char>(c) ^ kMacSaltMask);
    m_macKey = derive(m_key, macSalt, kMacKeyIterations);
}

QByteArray DatabasePageCipher::authenticationCode(qint64 index, const char *encrypted, int size) const
{
    EVP_MAC *mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    EVP_MAC_CTX *context = mac ? EVP_MAC_CTX_new(mac) : nullptr;
    QByteArray code(kMacSize, '\0');
    if (context) {
        char digest[] = "SHA1";
        const OSSL_PARAM parameters[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                                         OSSL_PARAM_construct_end()};
        const quint32 number = quint32(index + 1);
        const unsigned char page[4] = {
            static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
            static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)};
        size_t length = 0;
        EVP_MAC_init(context, reinterpret_cast<const unsigned char *>(m_macKey.constData()),
                     size_t(m_macKey.size()), parameters);
        // The encrypted bytes and the IV after them.
        EVP_MAC_update(context, reinterpret_cast<const unsigned char *>(encrypted), size_t(size) + kIvSize);
        EVP_MAC_update(context, page, sizeof page);
        EVP_MAC_final(context, reinterpret_cast<unsigned char *>(code.data()), &length, size_t(code.size()));
    }
    EVP_MAC_CTX_free(context);
    EVP_MAC_free(mac);
    return code;
}

bool DatabasePageCipher::decrypt(qint64 index, const char *page, char *plain, bool authenticate) const
{
    const int offset = regionOffset(index);
    const int size = plainSize(index);
    const char *encrypted = page + offset;
    const char *reserve = page + m_layout.pageSize - m_layout.reserveSize;
    crypt(false, m_key, reserve, encrypted, size, plain);
    if (!authenticate)
        return true;
    // The IV follows the encrypted bytes directly, so they are checked together.
    return authenticationCode(index, encrypted, size) == QByteArray::fromRawData(reserve + kIvSize, kMacSize);
}

void DatabasePageCipher::encrypt(qint64 index, const char *plain, const char *reserve, char *page,
                                 bool authenticate) const
{
    const int offset = regionOffset(index);
    const int size = plainSize(index);
    if (offset > 0)
        std::memcpy(page, m_salt.constData(), size_t(offset));
    char *out = page + m_layout.pageSize - m_layout.reserveSize;
    std::memcpy(out, reserve, size_t(m_layout.reserveSize));
    crypt(true, m_key, out, plain, size, page + offset);
    if (!authenticate)
        return;
    const QByteArray code = authenticationCode(index, page + offset, size);
    std::memcpy(out + kIvSize, code.constData(), kMacSize);
}

} // namespace platform::crypto
