#pragma once

#include <QByteArray>

// The page encryption of the directory's database files, as the engine
// (SQLCipher 3) writes them, for code that works on the file's pages
// without the engine: an upgrade that patches pages of the installed
// database.
//
// The file's first 16 bytes are the salt. A page is encrypted from its
// start (the first page after the salt) up to its reserve, the last
// reserveSize bytes: AES-256-CBC without padding under the key derived from
// the pass phrase and the salt (PBKDF2-HMAC-SHA1, kdfIterations rounds),
// with the reserve's first 16 bytes as the IV; after the IV, the reserve
// holds an HMAC-SHA1 of the encrypted bytes, the IV and the page number
// (1-based, 4 bytes little-endian) under a second key (PBKDF2 of the first
// with the salt xor 0x3a, two rounds). The engine fills the rest of the
// reserve with random bytes, so the same page content is written as other
// bytes each time; given the same reserve it is the same bytes.
namespace platform::crypto {

inline constexpr int kDatabaseSaltSize = 16;

struct DatabasePageLayout
{
    int pageSize = 65536;
    int reserveSize = 48;
    int kdfIterations = 64000;
};

class DatabasePageCipher
{
public:
    // salt: the file's first 16 bytes.
    DatabasePageCipher(const QByteArray &passPhrase, const QByteArray &salt,
                       const DatabasePageLayout &layout);

    const DatabasePageLayout &layout() const { return m_layout; }
    const QByteArray &salt() const { return m_salt; }
    // Where the encrypted part of page `index` (0-based) starts: after the
    // salt on the first page.
    static int regionOffset(qint64 index) { return index == 0 ? kDatabaseSaltSize : 0; }
    // The plain bytes of page `index`.
    int plainSize(qint64 index) const
    {
        return m_layout.pageSize - regionOffset(index) - m_layout.reserveSize;
    }

    // Decrypts the page (pageSize bytes) into plain (plainSize bytes). False
    // when its authentication code does not match (another key, page or
    // layout, or damaged bytes); plain is filled either way. Code that
    // checks what it makes of the page by other means can leave the check
    // out (authenticate false): it costs as much again as the decryption.
    bool decrypt(qint64 index, const char *page, char *plain, bool authenticate = true) const;
    // Encrypts plain (plainSize bytes) into page (pageSize bytes) with the
    // given reserve (reserveSize bytes, the IV first): the salt of the first
    // page, the encrypted bytes, and the reserve with a fresh
    // authentication code after its IV. With authenticate false the reserve
    // is taken as it is, code and all: a reserve copied from the page the
    // engine wrote already holds the code of the bytes that are the same.
    void encrypt(qint64 index, const char *plain, const char *reserve, char *page,
                 bool authenticate = true) const;

private:
    QByteArray authenticationCode(qint64 index, const char *encrypted, int size) const;

    DatabasePageLayout m_layout;
    QByteArray m_salt;
    QByteArray m_key;
    QByteArray m_macKey;
};

} // namespace platform::crypto
