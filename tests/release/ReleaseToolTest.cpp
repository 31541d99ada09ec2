#include "tools/release/ReleaseTool.h"

#include "platform/crypto/Ed25519.h"
#include "upgrade/suInfoSignature.h"
#include "upgrade/suSelfUpdaterInfo.h"

#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

using testfiles::sha256;
using testfiles::writeFile;

QDate today()
{
    return QDateTime::currentDateTimeUtc().date();
}

class ReleaseToolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(folder));
        writeFile(folder + QStringLiteral("/Dorvak.exe"), "program 2.1");
        writeFile(folder + QStringLiteral("/softup.dll"), "[SYS]\r\nUPDATESET=2.1\r\n");
        writeFile(folder + QStringLiteral("/dorvak.dat"), "database 2.1");
        writeFile(folder + QStringLiteral("/notes.txt"), "notes");
        ASSERT_EQ(release::generateKeys(key, &publicKey), QString());
        spec.folder = folder;
        spec.version = QStringLiteral("2.1");
        spec.message = QStringLiteral("新增企业数据三万余条。");
        spec.baseUrl = QStringLiteral("http://www.kestrune.example/download/");
        spec.expires = today().addDays(60);
        spec.privateKeyFile = key;
    }

    TempDir dir;
    const QString folder = dir.file(QStringLiteral("release"));
    const QString key = dir.file(QStringLiteral("vendor.key"));
    QString publicKey;
    release::ReleaseSpec spec;
};

} // namespace

TEST_F(ReleaseToolTest, KeygenWritesAPrivateKeyOnlyTheUserCanReadAndNeverOverwrites)
{
    EXPECT_EQ(QFile(key).permissions(),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    EXPECT_EQ(platform::crypto::publicKeyFromText(publicKey),
              platform::crypto::publicKeyOfPem(testfiles::readFile(key)));
    EXPECT_EQ(platform::crypto::publicKeyOfPem(testfiles::readFile(key + QStringLiteral(".pub"))),
              platform::crypto::publicKeyOfPem(testfiles::readFile(key)));
    QString fromFile;
    EXPECT_EQ(release::publicKeyOfFile(key + QStringLiteral(".pub"), &fromFile), QString());
    EXPECT_EQ(fromFile, publicKey);

    const QByteArray before = testfiles::readFile(key);
    QString again;
    EXPECT_NE(release::generateKeys(key, &again), QString());
    EXPECT_EQ(testfiles::readFile(key), before);
}

// What the tool writes is what the updater accepts, and the openssl tool
// verifies its signature with the public key file keygen wrote.
TEST_F(ReleaseToolTest, SignWritesTheFilesInTheSettingsOrderWithTheirChecksums)
{
    ASSERT_EQ(release::signRelease(spec), QString());
    const QByteArray info = testfiles::readFile(folder + QStringLiteral("/dorvak.inf"));
    const QByteArray signature = testfiles::readFile(folder + QStringLiteral("/dorvak.inf.sig"));
    const QString base = QStringLiteral("http://www.kestrune.example/download/");
    EXPECT_EQ(
        QString::fromUtf8(info),
        QStringLiteral("#version=2.1\n#expires=%1\n"
                       "#url=%2dorvak.dat\n#sha256=%3\n#size=12\n#url2=%2softup.dll\n#sha2562=%4\n#size2=22\n"
                       "#url3=%2Dorvak.exe\n#sha2563=%5\n#size3=11\n#url4=%2notes.txt\n#sha2564=%6\n"
                       "#size4=5\n#message={新增企业数据三万余条。}\n")
            .arg(spec.expires.toString(Qt::ISODate), base, sha256("database 2.1"),
                 sha256("[SYS]\r\nUPDATESET=2.1\r\n"), sha256("program 2.1"), sha256("notes")));

    const QList<QByteArray> keys = {platform::crypto::publicKeyFromText(publicKey)};
    EXPECT_FALSE(suCheckSignedInfo(info, signature, keys, today()).has_value());
    const QList<TsuInfoFileEntry> files = suInfoFiles(QString::fromUtf8(info));
    ASSERT_EQ(files.size(), 4);
    EXPECT_EQ(files.at(2).URL, base + QStringLiteral("Dorvak.exe"));
    EXPECT_EQ(files.at(2).Size, 11);
    EXPECT_EQ(suInfoMessage(QString::fromUtf8(info)), spec.message);

    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("pkeyutl"), QStringLiteral("-verify"), QStringLiteral("-pubin"),
                   QStringLiteral("-inkey"), key + QStringLiteral(".pub"), QStringLiteral("-rawin"),
                   QStringLiteral("-in"), folder + QStringLiteral("/dorvak.inf"), QStringLiteral("-sigfile"),
                   folder + QStringLiteral("/dorvak.inf.sig")});
    ASSERT_TRUE(openssl.waitForFinished(30000));
    EXPECT_EQ(openssl.exitCode(), 0) << openssl.readAllStandardError().toStdString();

    // Signing again (a corrected message) replaces both files.
    spec.message = QStringLiteral("更正");
    ASSERT_EQ(release::signRelease(spec), QString());
    EXPECT_TRUE(testfiles::readFile(folder + QStringLiteral("/dorvak.inf")).endsWith("#message={更正}\n"));
    EXPECT_FALSE(suCheckSignedInfo(testfiles::readFile(folder + QStringLiteral("/dorvak.inf")),
                                   testfiles::readFile(folder + QStringLiteral("/dorvak.inf.sig")), keys,
                                   today())
                     .has_value());
}

TEST_F(ReleaseToolTest, SignRefusesWhatTheProgramWouldMisreadAndWritesNothing)
{
    const struct
    {
        const char *what;
        std::function<void(release::ReleaseSpec &)> change;
    } cases[] = {
        {"a version file of another version", [](auto &s) { s.version = QStringLiteral("2.2"); }},
        {"a version that is no number", [](auto &s) { s.version = QStringLiteral("2.1 beta"); }},
        {"a version past 64 bits", [](auto &s) { s.version = QStringLiteral("18446744073709551616"); }},
        {"a version of five parts", [](auto &s) { s.version = QStringLiteral("2.1.0.0.1"); }},
        {"an expiry more than 366 days ahead", [](auto &s) { s.expires = today().addDays(367); }},
        {"a brace in the message", [](auto &s) { s.message = QStringLiteral("见 {附录}"); }},
        {"a key pattern in the message", [](auto &s) { s.message = QStringLiteral("#url5=http://x"); }},
        {"an expiry in the past", [](auto &s) { s.expires = today().addDays(-1); }},
        {"no expiry", [](auto &s) { s.expires = QDate(); }},
        {"a base address without a scheme",
         [](auto &s) { s.baseUrl = QStringLiteral("www.kestrune.example"); }},
        {"a public key to sign with", [&](auto &s) { s.privateKeyFile = key + QStringLiteral(".pub"); }},
        {"no key file", [&](auto &s) { s.privateKeyFile = dir.file(QStringLiteral("missing.key")); }},
    };
    for (const auto &c : cases) {
        release::ReleaseSpec changed = spec;
        c.change(changed);
        EXPECT_NE(release::signRelease(changed), QString()) << c.what;
        EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/dorvak.inf"))) << c.what;
        EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/dorvak.inf.sig"))) << c.what;
    }

    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("extra")));
    EXPECT_NE(release::signRelease(spec), QString()) << "a folder inside";
    ASSERT_TRUE(QDir(folder).rmdir(QStringLiteral("extra")));
    writeFile(folder + QStringLiteral("/read me.txt"), "x");
    EXPECT_NE(release::signRelease(spec), QString()) << "a name with a space";
}

TEST_F(ReleaseToolTest, ALongExpiryNeedsToBeAllowedExplicitly)
{
    spec.expires = today().addDays(366);
    EXPECT_EQ(release::signRelease(spec), QString()) << "a year ahead is fine";
    spec.expires = QDate(2099, 12, 31);
    EXPECT_TRUE(release::signRelease(spec).contains(QStringLiteral("--allow-long-expiry")));
    spec.allowLongExpiry = true;
    EXPECT_EQ(release::signRelease(spec), QString());
    EXPECT_TRUE(
        testfiles::readFile(folder + QStringLiteral("/dorvak.inf")).contains("#expires=2099-12-31\n"));
}

// A key protected by a pass phrase (as openssl writes it) signs with the
// pass phrase, and is refused without it or with a wrong one.
TEST_F(ReleaseToolTest, SignsWithAKeyProtectedByAPassPhrase)
{
    const QString protectedKey = dir.file(QStringLiteral("protected.key"));
    ASSERT_EQ(
        QProcess::execute(QStringLiteral("openssl"),
                          {QStringLiteral("genpkey"), QStringLiteral("-algorithm"), QStringLiteral("ed25519"),
                           QStringLiteral("-aes-256-cbc"), QStringLiteral("-pass"),
                           QStringLiteral("pass:lang geheim"), QStringLiteral("-out"), protectedKey}),
        0);
    ASSERT_TRUE(release::keyNeedsPassPhrase(protectedKey));
    EXPECT_FALSE(release::keyNeedsPassPhrase(key));
    spec.privateKeyFile = protectedKey;
    EXPECT_NE(release::signRelease(spec), QString()) << "no pass phrase";
    spec.passPhrase = "wrong";
    EXPECT_TRUE(release::signRelease(spec).contains(QStringLiteral("pass phrase")));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/dorvak.inf")));
    spec.passPhrase = "lang geheim";
    ASSERT_EQ(release::signRelease(spec), QString());
    const QByteArray publicKey =
        platform::crypto::publicKeyOfPem(testfiles::readFile(protectedKey), "lang geheim");
    ASSERT_EQ(publicKey.size(), platform::crypto::kPublicKeySize);
    EXPECT_FALSE(suCheckSignedInfo(testfiles::readFile(folder + QStringLiteral("/dorvak.inf")),
                                   testfiles::readFile(folder + QStringLiteral("/dorvak.inf.sig")),
                                   {publicKey}, today())
                     .has_value());
}

TEST_F(ReleaseToolTest, WarnsOfAKeyFileOthersCanRead)
{
    EXPECT_EQ(release::keyFileWarning(key), QString()) << "keygen makes it 0600";
    QFile::setPermissions(key, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_TRUE(release::keyFileWarning(key).contains(QStringLiteral("chmod 600")));
}
