// Signed information files against a local vendor server: what is refused
// leaves every file as it was, and what is signed upgrades.

#include "platform/crypto/Ed25519.h"
#include "upgrade/suMessageFormat.h"
#include "upgrade/suSelfUpdaterNotices.h"

#include "../platform/net/HttpsTestServer.h"
#include "SelfUpdaterFixture.h"

#include <QDateTime>
#include <QFileInfo>

#include <atomic>

namespace crypto = platform::crypto;

namespace {

QByteArray demoPrivateKey()
{
    return readFile(QStringLiteral(VELMORA_DEMO_UPGRADE_KEY));
}

QString inDays(int days)
{
    return QDateTime::currentDateTimeUtc().date().addDays(days).toString(Qt::ISODate);
}

class SuSignedUpgrade : public SuSelfUpdater
{
protected:
    SuSignedUpgrade()
    {
        updater->SetUpgradeKeys({crypto::publicKeyOfPem(demoPrivateKey())});
        writeFile(program, "#!/bin/sh\nexit 0\n");
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const auto &[name, bytes] : originals)
            writeFile(dir.file(name), bytes);
        serve(QStringLiteral("dorvak.dat"), newDatabase);
        serve(QStringLiteral("softup.dll"), newVersion);
        server.server.Get("/download/dorvak.inf.sig",
                          [this](const httplib::Request &, httplib::Response &res) {
                              if (signature.isNull()) {
                                  res.status = 404;
                                  return;
                              }
                              res.set_content(signature.toStdString(), "application/octet-stream");
                          });
        server.server.set_logger([this](const httplib::Request &req, const httplib::Response &) {
            if (!req.path.ends_with(".inf") && !req.path.ends_with(".sig"))
                ++fileRequests;
        });
    }

    // The release of two files, valid until the given day.
    QByteArray release(const QString &expires, const QString &version = QStringLiteral("2")) const
    {
        QString text = QStringLiteral("#version=%1\r\n").arg(version);
        if (!expires.isEmpty())
            text += QStringLiteral("#expires=%1\r\n").arg(expires);
        text += QStringLiteral("#url=%1\r\n#sha256=%2\r\n#size=%3\r\n#url2=%4\r\n#sha2562=%5\r\n"
                               "#size2=%6\r\n#message={更快}\r\n")
                    .arg(url(QStringLiteral("dorvak.dat")), sha256(newDatabase))
                    .arg(newDatabase.size())
                    .arg(url(QStringLiteral("softup.dll")), sha256(newVersion))
                    .arg(newVersion.size());
        return text.toUtf8();
    }
    void publish(const QByteArray &bytes, const QByteArray &privateKey = demoPrivateKey())
    {
        info = QString::fromUtf8(bytes);
        signature = crypto::sign(privateKey, bytes);
        ASSERT_EQ(signature.size(), crypto::kSignatureSize);
    }

    void expectNothingChanged()
    {
        for (const auto &[name, bytes] : originals)
            EXPECT_EQ(readFile(dir.file(name)), bytes) << name.toStdString();
        EXPECT_EQ(readFile(program), "#!/bin/sh\nexit 0\n");
        EXPECT_TRUE(temporaryFiles().isEmpty());
        EXPECT_TRUE(downloads().isEmpty());
        EXPECT_EQ(fileRequests, 0) << "nothing was downloaded";
        EXPECT_FALSE(log.contains("end"));
    }

    const std::vector<std::pair<QString, QByteArray>> originals = {
        {QStringLiteral("dorvak.dat"), "old database"},
        {QStringLiteral("softup.dll"), "[SYS]\nUPDATESET=1\n"}};
    const QByteArray newDatabase = "new database " + QByteArray(5000, 'n');
    const QByteArray newVersion = "[SYS]\nUPDATESET=2\n";
    QByteArray signature;
    std::atomic<int> fileRequests{0};
};

QString refusal(TsuUpdaterNotice which, const QString &argument = {})
{
    return argument.isEmpty() ? suUpdaterNotice(which) : suFormatMessage(suUpdaterNotice(which), {argument});
}

} // namespace

TEST_F(SuSignedUpgrade, EachRefusalShowsItsNoticeAndChangesNothing)
{
    const std::optional<crypto::KeyPair> otherVendor = crypto::generateKeyPair();
    ASSERT_TRUE(otherVendor);
    const QByteArray valid = release(inDays(30));
    QByteArray oneByteChanged = valid;
    oneByteChanged.replace("#version=2", "#version=3");
    QByteArray withoutChecksum = valid;
    withoutChecksum.replace("#sha2562=", "#note=");

    const struct
    {
        const char *what;
        std::function<void()> serve;
        QString expected;
    } cases[] = {
        {"no signature", [&] { info = QString::fromUtf8(valid), signature = QByteArray(); },
         refusal(TsuUpdaterNotice::SignatureMissing)},
        {"an empty signature", [&] { info = QString::fromUtf8(valid), signature = QByteArray(""); },
         refusal(TsuUpdaterNotice::SignatureMissing)},
        {"one byte changed after signing",
         [&] {
             publish(valid);
             info = QString::fromUtf8(oneByteChanged);
         },
         refusal(TsuUpdaterNotice::SignatureInvalid)},
        {"another vendor's key", [&] { publish(valid, otherVendor->privatePem); },
         refusal(TsuUpdaterNotice::SignatureInvalid)},
        {"a signature cut short",
         [&] {
             publish(valid);
             signature.chop(1);
         },
         refusal(TsuUpdaterNotice::SignatureInvalid)},
        {"an expiry that has passed", [&] { publish(release(inDays(-1))); },
         refusal(TsuUpdaterNotice::InfoExpired, inDays(-1))},
        {"no expiry", [&] { publish(release({})); }, refusal(TsuUpdaterNotice::ExpiryMissing)},
        {"a file without its checksum", [&] { publish(withoutChecksum); },
         refusal(TsuUpdaterNotice::ChecksumMissing, QStringLiteral("softup.dll"))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        c.serve();
        log.clear();
        ASSERT_TRUE(checkUntil(QStringLiteral("aborted")));
        EXPECT_TRUE(log.contains("box:" + c.expected)) << log.join(u'\n').toStdString();
        EXPECT_FALSE(log.join(u',').contains("question:")) << "the user is not asked";
        expectNothingChanged();
    }
}

// A file signed by the second of two keys passes (a vendor changing keys),
// is downloaded and installed; an old signed release is no update.
TEST_F(SuSignedUpgrade, ASignedReleaseUpgradesWithEitherKey)
{
    const std::optional<crypto::KeyPair> newKey = crypto::generateKeyPair();
    ASSERT_TRUE(newKey);
    updater->SetUpgradeKeys({newKey->publicKey, crypto::publicKeyOfPem(demoPrivateKey())});
    publish(release(inDays(0)));
    ASSERT_TRUE(checkUntil(QStringLiteral("close")));
    EXPECT_TRUE(log.contains("question:更快"));
    ASSERT_TRUE(installed());
    EXPECT_EQ(readFile(dir.file(QStringLiteral("dorvak.dat"))), newDatabase);
    EXPECT_EQ(readFile(dir.file(QStringLiteral("softup.dll"))), newVersion);

    updater->SetVersionNumber(QStringLiteral("2"));
    publish(release(inDays(30), QStringLiteral("1.9")), newKey->privatePem);
    log.clear();
    ASSERT_TRUE(checkUntil(QStringLiteral("no update")));
    EXPECT_EQ(log, QStringList({"no update"})) << "a valid signature does not roll a user back";
}

// A link planted at a temporary name is removed, never written through,
// whether the download announces its length or not.
TEST_F(SuSignedUpgrade, APlantedLinkIsReplacedNotWrittenThrough)
{
    server.server.Get("/download/unsized.dll", [this](const httplib::Request &, httplib::Response &res) {
        res.set_chunked_content_provider("application/octet-stream", [this](size_t, httplib::DataSink &sink) {
            sink.write(newVersion.constData(), size_t(newVersion.size()));
            sink.done();
            return true;
        });
    });
    const QString victim = tmp.file(QStringLiteral("victim"));
    writeFile(victim, "the user's own file");
    ASSERT_TRUE(suPrepareDownloadFolder(dir.path()));
    for (const QByteArray &bytes : {newDatabase, newVersion})
        ASSERT_TRUE(QFile::link(victim, suPartialDownloadPath(dir.path(), sha256(bytes))));
    QByteArray text = release(inDays(1));
    text.replace(url(QStringLiteral("softup.dll")).toUtf8(), url(QStringLiteral("unsized.dll")).toUtf8());
    publish(text);

    ASSERT_TRUE(checkUntil(QStringLiteral("close")));
    EXPECT_EQ(readFile(victim), "the user's own file");
    ASSERT_TRUE(installed());
    EXPECT_EQ(readFile(dir.file(QStringLiteral("dorvak.dat"))), newDatabase);
    EXPECT_EQ(readFile(dir.file(QStringLiteral("unsized.dll"))), newVersion);
    EXPECT_EQ(readFile(victim), "the user's own file");
}

// A temporary file that cannot be created once its body arrives stops the
// upgrade with the notice, with a length announced or without.
TEST_F(SuSignedUpgrade, ATemporaryFileThatCannotBeCreatedStopsTheUpgrade)
{
    const QString blocked = suPartialDownloadPath(dir.path(), sha256(newVersion));
    bool sized = true;
    server.server.Get("/download/blocked.dll", [&](const httplib::Request &, httplib::Response &res) {
        // Taken after the updater looked at the name, before the body.
        QDir().mkdir(blocked);
        if (sized) {
            res.set_content(newVersion.toStdString(), "application/octet-stream");
            return;
        }
        res.set_chunked_content_provider("application/octet-stream", [this](size_t, httplib::DataSink &sink) {
            sink.write(newVersion.constData(), size_t(newVersion.size()));
            sink.done();
            return true;
        });
    });
    QByteArray text = release(inDays(1));
    text.replace(url(QStringLiteral("softup.dll")).toUtf8(), url(QStringLiteral("blocked.dll")).toUtf8());
    publish(text);
    for (const bool withLength : {true, false}) {
        SCOPED_TRACE(withLength ? "with a length" : "without a length");
        sized = withLength;
        log.clear();
        ASSERT_TRUE(checkUntil(QStringLiteral("aborted"))) << log.join(u'\n').toStdString();
        EXPECT_TRUE(log.contains(
            "box:" + refusal(TsuUpdaterNotice::TempFileFailed, sha256(newVersion) + QStringLiteral(".part"))))
            << log.join(u'\n').toStdString();
        EXPECT_FALSE(log.contains("end"));
        EXPECT_FALSE(log.contains("close"));
        ASSERT_TRUE(QDir().rmdir(blocked));
    }
}

TEST_F(SuSignedUpgrade, UpgradesOverHttpsWithTheAuthorityItIsGiven)
{
    TestCertificates certificates;
    ASSERT_TRUE(certificates.ok());
    HttpsServer https(certificates);
    https.server.Get("/download/dorvak.dat", [this](const httplib::Request &, httplib::Response &res) {
        res.set_content(newDatabase.toStdString(), "application/octet-stream");
    });
    QByteArray text;
    QByteArray secureSignature;
    https.server.Get("/download/dorvak.inf", [&](const httplib::Request &, httplib::Response &res) {
        res.set_content(text.toStdString(), "text/plain");
    });
    https.server.Get("/download/dorvak.inf.sig", [&](const httplib::Request &, httplib::Response &res) {
        res.set_content(secureSignature.toStdString(), "application/octet-stream");
    });
    https.start();
    text = QStringLiteral("#version=2\n#expires=%1\n#url=%2\n#sha256=%3\n#size=%4\n")
               .arg(inDays(1), https.url(QStringLiteral("/download/dorvak.dat")), sha256(newDatabase))
               .arg(newDatabase.size())
               .toUtf8();
    secureSignature = crypto::sign(demoPrivateKey(), text);
    updater->SetInfoFileURL(https.url(QStringLiteral("/download/dorvak.inf")));
    updater->SetShowMessages(suShowAll & ~suShow(mAskUpgrade));

    // Without the test's authority the server is not trusted.
    updater->CheckUpdate();
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.contains("windows closed") && !updater->IsBusy(); }, 15000));
    EXPECT_TRUE(log.join(u',').startsWith("unreachable:")) << log.join(u'\n').toStdString();

    updater->SetCertificateAuthorities(certificates.authority());
    log.clear();
    updater->CheckUpdate();
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.contains("close"); }, 15000))
        << log.join(u'\n').toStdString();
    ASSERT_TRUE(installed());
    EXPECT_EQ(readFile(dir.file(QStringLiteral("dorvak.dat"))), newDatabase);
}
