#include "platform/crypto/DatabasePageCipher.h"

#include "support/FileBytes.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace crypto = platform::crypto;

namespace {

// A database file the engine wrote: a table with enough rows to fill pages.
QByteArray engineFile(const QString &path, int pageSize)
{
    testdb::create(
        path, QString::fromLatin1(testdb::kPassword), pageSize,
        {QStringLiteral("CREATE TABLE t(a INTEGER, b TEXT)"),
         QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 3000) "
                        "INSERT INTO t SELECT x, hex(randomblob(40)) FROM c")});
    return testfiles::readFile(path);
}

crypto::DatabasePageLayout layoutOf(int pageSize)
{
    crypto::DatabasePageLayout layout;
    layout.pageSize = pageSize;
    return layout;
}

} // namespace

// Every page the engine wrote decrypts and authenticates, with the first
// page's header saying the page size and the 48 reserved bytes; encrypted
// again with its own reserve, each page is the same bytes the engine wrote.
TEST(DatabasePageCipher, ReadsAndRewritesTheEnginesPagesByteForByte)
{
    for (const int pageSize : {1024, 4096, 65536}) {
        SCOPED_TRACE(pageSize);
        TempDir dir;
        const QByteArray file = engineFile(dir.file(QStringLiteral("t.dat")), pageSize);
        ASSERT_EQ(file.size() % pageSize, 0);
        ASSERT_GT(file.size() / pageSize, 3);
        const crypto::DatabasePageCipher cipher(testdb::kPassword, file.left(16), layoutOf(pageSize));
        for (qint64 index = 0; index < file.size() / pageSize; ++index) {
            const char *page = file.constData() + index * pageSize;
            QByteArray plain(cipher.plainSize(index), '\0');
            ASSERT_TRUE(cipher.decrypt(index, page, plain.data())) << "page " << index;
            if (index == 0) {
                // The header after the salt: page size (65536 is written as 1), reserve, fractions.
                const int written = (quint8(plain[0]) << 8) | quint8(plain[1]);
                EXPECT_EQ(written == 1 ? 65536 : written, pageSize);
                EXPECT_EQ(quint8(plain[4]), 48);
                EXPECT_EQ(plain.mid(5, 3), QByteArray("\x40\x20\x20", 3));
            }
            QByteArray again(pageSize, '\0');
            cipher.encrypt(index, plain.constData(), page + pageSize - 48, again.data());
            ASSERT_EQ(again, QByteArray(page, pageSize)) << "page " << index;
        }
    }
}

// A wrong pass phrase, a page read as another page, or a flipped bit fails
// the authentication code: patching a page never goes on unnoticed from
// bytes that are not the page's.
TEST(DatabasePageCipher, RefusesAnotherKeyPageOrDamagedBytes)
{
    TempDir dir;
    const QByteArray file = engineFile(dir.file(QStringLiteral("t.dat")), 4096);
    const crypto::DatabasePageCipher cipher(testdb::kPassword, file.left(16), layoutOf(4096));
    const crypto::DatabasePageCipher other("another pass phrase", file.left(16), layoutOf(4096));
    QByteArray plain(cipher.plainSize(2), '\0');
    const char *page = file.constData() + 2 * 4096;
    EXPECT_TRUE(cipher.decrypt(2, page, plain.data()));
    EXPECT_FALSE(other.decrypt(2, page, plain.data()));
    EXPECT_FALSE(cipher.decrypt(3, page, plain.data()));
    QByteArray damaged(page, 4096);
    damaged[100] = char(damaged[100] ^ 1);
    EXPECT_FALSE(cipher.decrypt(2, damaged.constData(), plain.data()));
}
