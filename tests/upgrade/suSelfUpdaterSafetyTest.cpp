// What a hostile server or a man in the middle tries against a signed
// upgrade, each against a local server: nothing unproven is installed, and
// each attempt ends with its notice.

#include "platform/crypto/Ed25519.h"
#include "upgrade/suMessageFormat.h"
#include "upgrade/suSelfUpdaterNotices.h"

#include "../platform/net/RawHttpServer.h"
#include "SelfUpdaterFixture.h"

#include <QDateTime>
#include <QFileInfo>

#include <atomic>

namespace crypto = platform::crypto;

namespace {

QString noticeBox(TsuUpdaterNotice which, const QString &argument = {})
{
    return "box:" + (argument.isEmpty() ? suUpdaterNotice(which)
                                        : suFormatMessage(suUpdaterNotice(which), {argument}));
}

class SuUpgradeSafety : public SuSelfUpdater
{
protected:
    SuUpgradeSafety()
    {
        updater->SetAcceptUnsigned(false);
        updater->SetUpgradeKeys({crypto::publicKeyOfPem(demoKey)});
        updater->SetShowMessages(suShowAll & ~suShow(mAskUpgrade));
        writeFile(program, "#!/bin/sh\nexit 0\n");
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeFile(dir.file(QStringLiteral("dorvak.dat")), "old database");
        writeFile(dir.file(QStringLiteral("softup.dll")), "[SYS]\nUPDATESET=1\n");
        server.server.Get("/download/dorvak.inf.sig",
                          [this](const httplib::Request &, httplib::Response &res) {
                              res.set_content(signature.toStdString(), "application/octet-stream");
                          });
    }

    // Publishes a signed information file listing the files (name, bytes
    // the signature vouches for).
    void publish(const std::vector<std::pair<QString, QByteArray>> &files, const QString &version = "2")
    {
        QString text =
            QStringLiteral("#version=%1\n#expires=%2\n")
                .arg(version, QDateTime::currentDateTimeUtc().date().addDays(9).toString(Qt::ISODate));
        for (size_t i = 0; i < files.size(); ++i) {
            const QString suffix = i == 0 ? QString() : QString::number(i + 1);
            text += QStringLiteral("#url%1=%2\n#sha256%1=%3\n#size%1=%4\n")
                        .arg(suffix, url(files[i].first), sha256(files[i].second))
                        .arg(files[i].second.size());
        }
        setSigned(text.toUtf8());
    }
    void setSigned(const QByteArray &bytes)
    {
        info = QString::fromUtf8(bytes);
        signature = crypto::sign(demoKey, bytes);
    }

    const QByteArray demoKey = readFile(QStringLiteral(VELMORA_DEMO_UPGRADE_KEY));
    const QByteArray newDatabase = "new database " + QByteArray(3000, 'n');
    const QByteArray newVersion = "[SYS]\nUPDATESET=2\n";
    QByteArray signature;
};

} // namespace

// The stale partial of an abandoned upgrade (an attacker's bytes for the
// program, left beside it) is never installed by a later genuine release
// that does not list the program, and is gone after it.
TEST_F(SuUpgradeSafety, AStalePartialIsNeverInstalled)
{
    writeFile(dir.file(QStringLiteral("Dorvak.exe.uTMP")), "#!/bin/sh\necho attacker\n");
    ASSERT_TRUE(suPrepareDownloadFolder(dir.path()));
    writeFile(suPartialDownloadPath(dir.path(), sha256("#!/bin/sh\necho attacker\n")),
              "#!/bin/sh\necho attacker\n");
    serve(QStringLiteral("dorvak.dat"), newDatabase);
    publish({{QStringLiteral("dorvak.dat"), newDatabase}});
    ASSERT_TRUE(checkUntil(QStringLiteral("close")));
    ASSERT_TRUE(installed());
    EXPECT_EQ(readFile(program), "#!/bin/sh\nexit 0\n");
    EXPECT_EQ(readFile(dir.file(QStringLiteral("dorvak.dat"))), newDatabase);
    EXPECT_TRUE(temporaryFiles().isEmpty());
    EXPECT_EQ(programFolder().keys(), QStringList({"Dorvak", "dorvak.dat", "softup.dll"}));
}

// A file of a signed release that the server withholds stops the upgrade:
// no lost-file question, nothing installed, no version recorded.
TEST_F(SuUpgradeSafety, AMissingFileStopsASignedUpgradeWhole)
{
    serve(QStringLiteral("dorvak.dat"), newDatabase);
    publish({{QStringLiteral("dorvak.dat"), newDatabase}, {QStringLiteral("softup.dll"), newVersion}});
    windows->lostAnswer = true;
    const auto before = programFolder();
    ASSERT_TRUE(checkUntil(QStringLiteral("aborted")));
    EXPECT_TRUE(log.contains(noticeBox(TsuUpdaterNotice::FileMissing, QStringLiteral("softup.dll"))))
        << log.join(u'\n').toStdString();
    EXPECT_FALSE(log.join(u',').contains("lost box:"));
    EXPECT_FALSE(log.contains("close"));
    EXPECT_TRUE(updater->HelperPath().isEmpty());
    EXPECT_EQ(programFolder(), before);
    EXPECT_EQ(suReadVersionRecord(dir.path()), QString());
}

// Sizes are bounded before anything is believed: an information file past
// its cap, a signature longer than 64 bytes, a body longer than its signed
// size (announced or not) are cut off with their notice.
TEST_F(SuUpgradeSafety, OversizedInformationSignaturesAndBodiesAreCutOff)
{
    std::atomic<qint64> sent{0};
    server.server.Get("/download/endless.dat", [&sent](const httplib::Request &, httplib::Response &res) {
        res.set_chunked_content_provider(
            "application/octet-stream", [&sent](size_t, httplib::DataSink &sink) {
                const std::string piece(8192, 'x');
                sent += qint64(piece.size());
                return sent < 64 * 1024 * 1024 && sink.write(piece.data(), piece.size());
            });
    });
    serve(QStringLiteral("big.dat"), QByteArray(50000, 'b'));

    const struct
    {
        const char *what;
        std::function<void()> set;
        QString expected;
    } cases[] = {
        {"an information file past 64 KiB",
         [&] {
             publish({{QStringLiteral("big.dat"), "small"}});
             info += QString(70 * 1024, u'#');
         },
         noticeBox(TsuUpdaterNotice::InfoTooLarge)},
        {"a signature of 65 bytes",
         [&] {
             publish({{QStringLiteral("big.dat"), "small"}});
             signature += 'x';
         },
         noticeBox(TsuUpdaterNotice::SignatureInvalid)},
        {"a body announced longer than signed",
         [&] {
             publish({{QStringLiteral("big.dat"), "small"}});
         },
         noticeBox(TsuUpdaterNotice::SizeMismatch, QStringLiteral("big.dat"))},
        {"a body without a length, longer than signed",
         [&] {
             publish({{QStringLiteral("endless.dat"), QByteArray(1000, 'x')}});
         },
         noticeBox(TsuUpdaterNotice::SizeMismatch, QStringLiteral("endless.dat"))},
    };
    const auto before = programFolder();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        c.set();
        log.clear();
        ASSERT_TRUE(checkUntil(QStringLiteral("aborted")));
        EXPECT_TRUE(log.contains(c.expected)) << log.join(u'\n').toStdString();
        EXPECT_FALSE(log.contains("close"));
        EXPECT_EQ(programFolder(), before);
        for (const QString &name : downloads())
            EXPECT_LE(QFileInfo(suDownloadFolder(dir.path()) + name).size(), 1000) << name.toStdString();
    }
    EXPECT_LT(sent, 64 * 1024 * 1024) << "the endless body was left";
}

// A server that stops sending ends the upgrade after the idle time, with
// the lost-connection message, before its headers or in its body.
TEST_F(SuUpgradeSafety, AStalledTransferEndsAsALostConnection)
{
    EXPECT_EQ(updater->Timeouts().ReceiveTimeout, TsuSelfUpdater::kIdleTimeoutMs);
    updater->Timeouts().ReceiveTimeout = 300;
    RawHttpServer silent(QByteArray(), true);
    RawHttpServer stalls("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + QByteArray(10, 's'), true);
    for (const RawHttpServer *stalling : {&silent, &stalls}) {
        const QString address = QStringLiteral("http://127.0.0.1:%1/stalls.dat").arg(stalling->port());
        setSigned(QStringLiteral("#version=2\n#expires=%1\n#url=%2\n#sha256=%3\n#size=1000\n")
                      .arg(QDateTime::currentDateTimeUtc().date().toString(Qt::ISODate), address,
                           sha256(QByteArray(1000, 's')))
                      .toUtf8());
        log.clear();
        ASSERT_TRUE(checkUntil(QStringLiteral("windows closed")));
        EXPECT_TRUE(log.contains("connection lost")) << log.join(u'\n').toStdString();
        EXPECT_TRUE(log.contains("box:" + suMessage(30)));
        EXPECT_FALSE(log.contains("close"));
    }
}

// The signature of an address with a query or fragment is fetched with
// ".sig" on its path, where a server looks for it.
TEST_F(SuUpgradeSafety, TheSignatureAddressKeepsTheQuery)
{
    updater->SetInfoFileURL(QStringLiteral("http://h/download/dorvak.inf?channel=stable#top"));
    EXPECT_EQ(updater->SignatureURL(), QStringLiteral("http://h/download/dorvak.inf.sig?channel=stable#top"));
    updater->SetInfoFileURL(QStringLiteral("http://h:8080/dorvak.inf"));
    EXPECT_EQ(updater->SignatureURL(), QStringLiteral("http://h:8080/dorvak.inf.sig"));

    serve(QStringLiteral("dorvak.dat"), newDatabase);
    publish({{QStringLiteral("dorvak.dat"), newDatabase}});
    updater->SetInfoFileURL(server.url(QStringLiteral("/download/dorvak.inf?channel=stable")));
    ASSERT_TRUE(checkUntil(QStringLiteral("close"))) << log.join(u'\n').toStdString();
    ASSERT_TRUE(installed());
}

// A signed version that does not read is refused with its notice; a
// release below the installed version is no update however it is signed.
TEST_F(SuUpgradeSafety, AnUnreadableVersionIsRefused)
{
    serve(QStringLiteral("dorvak.dat"), newDatabase);
    publish({{QStringLiteral("dorvak.dat"), newDatabase}}, QStringLiteral("2.1b"));
    ASSERT_TRUE(checkUntil(QStringLiteral("aborted")));
    EXPECT_TRUE(log.contains(noticeBox(TsuUpdaterNotice::VersionUnreadable, QStringLiteral("2.1b"))));

    updater->SetVersionNumber(QStringLiteral("202612091730"));
    publish({{QStringLiteral("dorvak.dat"), newDatabase}}, QStringLiteral("9.1"));
    log.clear();
    ASSERT_TRUE(checkUntil(QStringLiteral("no update")));
    EXPECT_FALSE(log.contains("close"));
}

// A build that trusts no key and does not accept unsigned files says that
// online upgrade is off, and asks the server nothing.
TEST_F(SuUpgradeSafety, WithoutAKeyOnlineUpgradeIsOff)
{
    std::atomic<int> requests{0};
    server.server.set_logger([&](const httplib::Request &, const httplib::Response &) { ++requests; });
    updater->SetUpgradeKeys({});
    ASSERT_FALSE(updater->UpgradeEnabled());
    server.start();
    updater->CheckUpdate();
    EXPECT_EQ(log, QStringList({noticeBox(TsuUpdaterNotice::UpgradeDisabled)}));
    EXPECT_FALSE(updater->IsBusy());
    EXPECT_EQ(requests, 0);
}

// The files a release lists by names that would land outside the program
// folder, or twice, are refused before anything is downloaded.
TEST_F(SuUpgradeSafety, ListedNamesThatCannotBeInstalledAreRefused)
{
    serve(QStringLiteral(".velmora-upgrade"), "x");
    publish({{QStringLiteral(".velmora-upgrade"), "x"}});
    ASSERT_TRUE(checkUntil(QStringLiteral("aborted")));
    EXPECT_TRUE(log.contains(noticeBox(TsuUpdaterNotice::BadFileList, QStringLiteral(".velmora-upgrade"))));
    EXPECT_TRUE(downloads().isEmpty());
}
