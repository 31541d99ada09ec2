#include "upgrade/suSelfUpdater.h"

#include "upgrade/helper/suInstallList.h"
#include "upgrade/suMessageFormat.h"
#include "upgrade/suSelfUpdaterNotices.h"

#include "../platform/net/HttpsTestServer.h"
#include "../platform/net/RawHttpServer.h"
#include "SelfUpdaterFixture.h"
#include "support/QStringPrint.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <atomic>

TEST(SuSelfUpdaterDefaults, RestartParamsAndTheRestartEvent)
{
    TsuSelfUpdater updater;
    EXPECT_EQ(updater.ShowMessages(), 75);
    EXPECT_EQ(updater.VersionDate(), QDate::currentDate().toString(QStringLiteral("MM/dd/yyyy")));
    EXPECT_FALSE(updater.RestartParamsStored());
    updater.SetRestartParams(QString());
    EXPECT_EQ(updater.RestartParams(), QStringLiteral(" ")) << "an empty text is kept as one space";
    EXPECT_TRUE(updater.RestartParamsStored());

    int restarts = 0;
    updater.SetRestartParams(QStringLiteral("/afterupgrade"));
    updater.OnAfterRestart = [&](QObject *) { ++restarts; };
    updater.Loaded({QStringLiteral("Dorvak"), QStringLiteral("/afterupgrade")});
    updater.Loaded({QStringLiteral("Dorvak"), QStringLiteral("/AfterUpgrade")});
    updater.Loaded({QStringLiteral("Dorvak")});
    EXPECT_EQ(restarts, 1) << "only the exact restart argument";
}

TEST_F(SuSelfUpdater, ReportsEachOutcomeOfTheInformationFile)
{
    serve(QStringLiteral("dorvak.dat"), "db");
    info = QStringLiteral("#version=1.0\n#url=%1\n").arg(url(QStringLiteral("dorvak.dat")));
    ASSERT_TRUE(checkUntil(QStringLiteral("no update")));
    EXPECT_EQ(log, QStringList({"no update"})) << "mNoUpdateAvailable is off by default";

    updater->SetShowMessages(suShowAll);
    updater->SetVersionControl(byDate);
    updater->SetVersionDate(QStringLiteral("01/07/2004"));
    info = QStringLiteral("#date=01/07/2004\n#url=%1\n").arg(url(QStringLiteral("dorvak.dat")));
    log.clear();
    ASSERT_TRUE(checkUntil(QStringLiteral("no update")));
    EXPECT_EQ(log, QStringList({"no update", "box:" + suMessage(24)})) << "equal dates are not newer";

    info = QStringLiteral("#date=01/08/2004\n#message={快\n好}\n#url=%1\n")
               .arg(url(QStringLiteral("dorvak.dat")));
    windows->upgradeAnswer = false;
    log.clear();
    ASSERT_TRUE(checkUntil(QStringLiteral("later")));
    EXPECT_EQ(log, QStringList({"begin:快\n好:0:1", "question:快\n好", "later"}));

    updater->SetInfoFileURL(server.url(QStringLiteral("/download/missing.inf")));
    log.clear();
    ASSERT_TRUE(checkUntil(QStringLiteral("no info file")));
    EXPECT_EQ(log, QStringList({"no info file", "box:" + suMessage(25)}));

    // No server at all: the placeholder gets the host in quotes.
    updater->SetInfoFileURL(QStringLiteral("http://127.0.0.1:1/dorvak.inf"));
    log.clear();
    ASSERT_TRUE(checkUntil(QStringLiteral("windows closed")));
    EXPECT_EQ(log,
              QStringList({"unreachable:http://127.0.0.1:1/dorvak.inf|127.0.0.1",
                           "box:" + suFormatMessage(suMessage(26), {QStringLiteral("'http://127.0.0.1'")}),
                           "windows closed"}));
}

TEST_F(SuSelfUpdater, DownloadsTheReleaseAndTheHelperInstallsItAndRestarts)
{
    const QByteArray database = QByteArray("new database ") + QByteArray(9000, 'd');
    const QByteArray version = "[SYS]\nUPDATESET=2\n";
    const QByteArray newProgram =
        "#!/bin/sh\nprintf '%s|' \"$@\" > '" + dir.file(QStringLiteral("restarted.txt")).toUtf8() + "'\n";
    writeFile(program, "#!/bin/sh\nexit 0\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeFile(dir.file(QStringLiteral("dorvak.dat")), "old database");
    serve(QStringLiteral("dorvak.dat"), database);
    serve(QStringLiteral("softup.dll"), version);
    serve(QStringLiteral("Dorvak.exe"), newProgram);
    info = QStringLiteral("#version=2\n#url=%1\n#url2=%2\n#url3=%3\n#sha2563=%4\n#message={更快}\n")
               .arg(url(QStringLiteral("dorvak.dat")), url(QStringLiteral("softup.dll")),
                    url(QStringLiteral("Dorvak.exe")), sha256(newProgram));

    ASSERT_TRUE(checkUntil(QStringLiteral("close")));
    EXPECT_EQ(log, QStringList({"begin:更快:0:3", "question:更快", "start:dorvak.dat:9013",
                                "done:" + downloadOf(database), "start:softup.dll:18",
                                "done:" + downloadOf(version),
                                "start:Dorvak.exe:" + QString::number(newProgram.size()),
                                "done:" + downloadOf(newProgram), "end", "close"}));
    // The helper is told exactly what to install; the program is named, not guessed.
    const std::optional<TsuInstallList> list = suReadInstallList(
        readFile(QFileInfo(updater->HelperPath()).absolutePath() + u'/' + kInstallListName));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->Version, QStringLiteral("2"));
    ASSERT_EQ(list->Files.size(), 3);
    EXPECT_EQ(list->Files.at(0).Name, QStringLiteral("dorvak.dat"));
    EXPECT_EQ(list->Files.at(0).SHA256, sha256(database));
    EXPECT_EQ(list->Files.at(0).Size, database.size());
    EXPECT_EQ(list->Files.at(2).Name, QStringLiteral("Dorvak"));
    EXPECT_EQ(list->Files.at(2).Role, TsuInstallRole::Program);
    EXPECT_EQ(lastTotal, 67 + 100 / 3) << "round(2 x 100 / 3) + 100 div 3";
    // The helper sits alone in a folder only this user can enter.
    const QFileInfo helper(updater->HelperPath());
    EXPECT_EQ(helper.fileName(), QStringLiteral("Updater.exe"));
    EXPECT_TRUE(helper.absolutePath().startsWith(tmp.path() + u'/' + TsuSelfUpdater::HelperFolderPrefix()));
    EXPECT_EQ(QFileInfo(helper.absolutePath()).permissions(), QFile::ReadOwner | QFile::WriteOwner |
                                                                  QFile::ExeOwner | QFile::ReadUser |
                                                                  QFile::WriteUser | QFile::ExeUser);

    // The helper installs everything and starts the new program with the
    // restart argument.
    const QString restarted = dir.file(QStringLiteral("restarted.txt"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(restarted).size() > 0; }, 15000));
    EXPECT_EQ(readFile(restarted), "/afterupgrade|");
    EXPECT_EQ(readFile(dir.file(QStringLiteral("dorvak.dat"))), database);
    EXPECT_EQ(readFile(dir.file(QStringLiteral("softup.dll"))), version);
    EXPECT_EQ(readFile(program), newProgram) << "installed under the running program's name";
    EXPECT_TRUE(QFileInfo(program).isExecutable());
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("Dorvak.exe"))));
    EXPECT_TRUE(temporaryFiles().isEmpty());
    EXPECT_TRUE(downloads().isEmpty());
    EXPECT_EQ(suReadVersionRecord(dir.path()), QStringLiteral("2")) << "recorded with the release";
    EXPECT_EQ(QFileInfo(dir.file(QStringLiteral("dorvak.dat"))).lastModified().toUTC(),
              QDateTime(QDate(1994, 11, 6), QTime(8, 49, 36), Qt::UTC))
        << "the server's date stays on the file";

    // The next start removes the helper.
    TsuSelfUpdater next;
    EXPECT_FALSE(QFileInfo::exists(helper.absolutePath()));
}

TEST_F(SuSelfUpdater, ALostFileIsSkippedOnYesAndEndsTheUpgradeOnNo)
{
    serve(QStringLiteral("a.dat"), "A");
    serve(QStringLiteral("c.dat"), "C");
    info = QStringLiteral("#version=2\n#url=%1\n#url2=%2\n#url3=%3\n")
               .arg(url(QStringLiteral("a.dat")), url(QStringLiteral("b.dat")), url(QStringLiteral("c.dat")));
    windows->lostAnswer = true;
    ASSERT_TRUE(checkUntil(QStringLiteral("close")));
    EXPECT_TRUE(log.contains("lost:b.dat:404"));
    EXPECT_TRUE(
        log.contains("lost box:Error #404|" + suFormatMessage(suMessage(28), {QStringLiteral("b.dat")})));
    // The helper installs what arrived.
    ASSERT_TRUE(installed());
    EXPECT_EQ(readFile(dir.file(QStringLiteral("a.dat"))), "A");
    EXPECT_EQ(readFile(dir.file(QStringLiteral("c.dat"))), "C");
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("b.dat"))));

    windows->lostAnswer = false;
    log.clear();
    const auto before = programFolder();
    ASSERT_TRUE(checkUntil(QStringLiteral("aborted")));
    EXPECT_FALSE(log.contains("close"));
    EXPECT_FALSE(log.contains("start:c.dat:1"));
    EXPECT_TRUE(updater->Aborted());
    EXPECT_TRUE(temporaryFiles().isEmpty()) << "nothing waits beside the program to be installed later";
    EXPECT_EQ(programFolder(), before);
}

TEST_F(SuSelfUpdater, AShortBodyCancelsTheUpgrade)
{
    RawHttpServer shortBody("HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\n" +
                            QByteArray(40, 's'));
    info = QStringLiteral("#version=2\n#url=http://127.0.0.1:%1/big.dat\n").arg(shortBody.port());
    ASSERT_TRUE(checkUntil(QStringLiteral("windows closed")));
    EXPECT_EQ(log, QStringList({"begin::0:1", "question:", "start:big.dat:100", "connection lost",
                                "box:" + suMessage(30), "windows closed"}));
    EXPECT_TRUE(temporaryFiles().isEmpty());
}

namespace {

// Serves a file only to "reader:secret", and counts the requests that
// carried credentials at all.
void serveLocked(httplib::Server &server, std::atomic<int> &withCredentials)
{
    server.Get("/download/locked.dat",
               [&withCredentials](const httplib::Request &req, httplib::Response &res) {
                   if (req.has_header("Authorization"))
                       ++withCredentials;
                   if (req.get_header_value("Authorization") == "Basic cmVhZGVyOnNlY3JldA==") {
                       res.set_content("unlocked", "application/octet-stream");
                       return;
                   }
                   res.status = 401;
                   res.set_header("WWW-Authenticate", "Basic realm=\"Velmora\"");
               });
}

} // namespace

TEST_F(SuSelfUpdater, AProtectedFileAsksForAPasswordOverHttpsAndRetries)
{
    TestCertificates certificates;
    ASSERT_TRUE(certificates.ok());
    HttpsServer https(certificates);
    std::atomic<int> withCredentials{0};
    serveLocked(https.server, withCredentials);
    https.start();
    updater->SetCertificateAuthorities(certificates.authority());
    info = QStringLiteral("#version=2\n#url=%1\n").arg(https.url(QStringLiteral("/download/locked.dat")));
    updater->SetHTTPUsername(QStringLiteral("known"));
    ASSERT_TRUE(checkUntil(QStringLiteral("close")));
    EXPECT_TRUE(log.contains("password:locked.dat|known")) << "the user name is offered, never the password";
    EXPECT_EQ(updater->HTTPUsername(), QStringLiteral("reader"));
    ASSERT_TRUE(installed());
    EXPECT_EQ(readFile(dir.file(QStringLiteral("locked.dat"))), "unlocked");

    updater->SetHTTPUsername({});
    updater->SetHTTPPassword({});
    windows->passwordAnswer = false;
    log.clear();
    ASSERT_TRUE(checkUntil(QStringLiteral("aborted")));
    EXPECT_FALSE(log.contains("close"));
    EXPECT_TRUE(temporaryFiles().isEmpty());
}

// Over plain http anyone on the way could read them: no password window,
// no credentials sent, whether the information file or a file asks.
TEST_F(SuSelfUpdater, OverHttpNoCredentialsAreAskedForOrSent)
{
    std::atomic<int> withCredentials{0};
    serveLocked(server.server, withCredentials);
    updater->SetHTTPUsername(QStringLiteral("reader"));
    updater->SetHTTPPassword(QStringLiteral("secret"));
    const QString refused = "box:" + suUpdaterNotice(TsuUpdaterNotice::CredentialsRefused);

    info = QStringLiteral("#version=2\n#url=%1\n").arg(url(QStringLiteral("locked.dat")));
    ASSERT_TRUE(checkUntil(QStringLiteral("aborted")));
    EXPECT_TRUE(log.contains(refused)) << log.join(u'\n').toStdString();

    log.clear();
    updater->SetInfoFileURL(url(QStringLiteral("locked.dat")));
    ASSERT_TRUE(checkUntil(QStringLiteral("aborted")));
    EXPECT_TRUE(log.contains(refused)) << log.join(u'\n').toStdString();

    EXPECT_FALSE(log.join(u',').contains("password:")) << "no password window";
    EXPECT_EQ(withCredentials, 0);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("locked.dat"))));
}

TEST_F(SuSelfUpdater, FilesOfTheSameSizeAreSkippedButNeverTheProgram)
{
    writeFile(dir.file(QStringLiteral("dorvak.dat")), "same");
    writeFile(dir.file(QStringLiteral("dorvak.dat.uTMP")), "stale part of an abandoned upgrade");
    writeFile(program, "prog");
    serve(QStringLiteral("dorvak.dat"), "SAME");
    serve(QStringLiteral("Dorvak"), "PROG");
    info = QStringLiteral("#version=2\n#url=%1\n#url2=%2\n")
               .arg(url(QStringLiteral("dorvak.dat")), url(QStringLiteral("Dorvak")));
    updater->SetMiscFilesUpgrade(mfuOnlyIfSizeDifferent);
    ASSERT_TRUE(checkUntil(QStringLiteral("close")));
    EXPECT_FALSE(log.contains("done:" + downloadOf("SAME")));
    EXPECT_TRUE(log.contains("done:" + downloadOf("PROG")));
    ASSERT_TRUE(installed());
    EXPECT_EQ(readFile(program), "PROG");
    EXPECT_EQ(readFile(dir.file(QStringLiteral("dorvak.dat"))), "same") << "no stale copy was installed";
}

TEST_F(SuSelfUpdater, AChecksumMismatchStopsAndInstallsNothing)
{
    serve(QStringLiteral("a.dat"), "A");
    serve(QStringLiteral("b.dat"), "tampered");
    info =
        QStringLiteral("#version=2\n#url=%1\n#sha256=%2\n#url2=%3\n#sha2562=%4\n")
            .arg(url(QStringLiteral("a.dat")), sha256("A"), url(QStringLiteral("b.dat")), sha256("original"));
    ASSERT_TRUE(checkUntil(QStringLiteral("aborted")));
    EXPECT_TRUE(log.contains("box:" + suFormatMessage(suUpdaterNotice(TsuUpdaterNotice::ChecksumMismatch),
                                                      {QStringLiteral("b.dat")})));
    EXPECT_FALSE(log.contains("end"));
    EXPECT_TRUE(temporaryFiles().isEmpty());
    EXPECT_FALSE(downloads().contains(sha256("tampered"))) << "the bad file does not stay";
    EXPECT_TRUE(updater->HelperPath().isEmpty());
}

TEST_F(SuSelfUpdater, ATemporaryFileThatCannotBeWrittenStopsWithAMessage)
{
    serve(QStringLiteral("a.dat"), "A");
    info = QStringLiteral("#version=2\n#url=%1\n#sha256=%2\n").arg(url(QStringLiteral("a.dat")), sha256("A"));
    // A folder where the download would go.
    ASSERT_TRUE(QDir().mkpath(suPartialDownloadPath(dir.path(), sha256("A"))));
    ASSERT_TRUE(checkUntil(QStringLiteral("aborted")));
    const QString notice = suFormatMessage(suUpdaterNotice(TsuUpdaterNotice::TempFileFailed),
                                           {sha256("A") + QStringLiteral(".part")});
    EXPECT_EQ(log.mid(log.size() - 3), QStringList({"box:" + notice, "windows closed", "aborted"}));
    EXPECT_FALSE(log.contains("end"));
}

TEST_F(SuSelfUpdater, TheAutomaticCheckWaitsUntilOnlineAndRepeatsOnlyForAnUnreachableHost)
{
    int tests = 0;
    bool online = false;
    updater->SetConnectionTest([&] {
        ++tests;
        return online;
    });
    updater->SetShowMessages(suShowAll);
    updater->SetInfoFileURL(QStringLiteral("http://127.0.0.1:1/dorvak.inf"));
    updater->SetAutoCheckInterval(20);
    updater->SetAutoCheck(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tests >= 2; }, 10000));
    EXPECT_TRUE(log.isEmpty()) << "offline: nothing is checked";
    online = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.count("windows closed") >= 2; }, 15000))
        << "an unreachable host is tried again";
    EXPECT_FALSE(log.join(u',').contains("box:")) << "an automatic check shows no message for it";

    // A check that reaches the server is the last one.
    server.start();
    info = QStringLiteral("#version=1\n");
    updater->SetInfoFileURL(server.url(QStringLiteral("/download/dorvak.inf")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.contains("no update"); }, 15000));
    const int testsThen = tests;
    EXPECT_FALSE(QTest::qWaitFor([&] { return tests > testsThen; }, 300)) << "the timer is not armed again";
    EXPECT_FALSE(log.contains("box:" + suMessage(24))) << "no message for an automatic check";
}
