#include "MainFormFixture.h"

#include "app/uContentPanels.h"
#include "app/uUpdateHook.h"
#include "platform/db/DbConnection.h"
#include "platform/db/DbField.h"
#include "platform/db/DbQuery.h"
#include "platform/os/ExecutablePath.h"
#include "platform/os/InstallLocation.h"
#include "support/FileBytes.h"
#include "support/ScopedEnv.h"
#include "upgrade/LocalHttpServer.h"
#include "upgrade/helper/suUpgradeFolder.h"
#include "upgrade/suMessageFormat.h"
#include "upgrade/suSelfUpdater.h"
#include "upgrade/suSelfUpdaterNotices.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QWidget>

#include <atomic>
#include <unistd.h>

namespace {

using testfiles::writeFile;

// Serves `info` as it is at each request at `path` of the server, counting the
// requests, and starts the server.
void serveInfoFile(HttpServer &server, const char *path, const QString &info, std::atomic<int> &requests)
{
    server.server.Get(path, [&info, &requests](const httplib::Request &, httplib::Response &res) {
        ++requests;
        res.set_content(info.toStdString(), "text/plain");
    });
    server.start();
}

// Records the message boxes in `messages`; every box answers yes, except the
// lost-file box.
void answerYesExceptToLostFiles(QStringList &messages)
{
    platform::setMessageHandler(
        [&messages](const QString &caption, const QString &text, platform::MessageButtons) {
            messages << caption + u'|' + text;
            return int(caption.startsWith(suMessage(21)) ? platform::mrNo : platform::mrYes);
        });
}

class UpdateHookTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        suSetLanguage(wlChineseSimplified);
        writeDatabase({testdb::companyInsert(QStringLiteral("甲"), QStringLiteral("北京市"), 0),
                       testdb::companyInsert(QStringLiteral("乙"), QStringLiteral("上海市"), 1)});
        createDataModule();
        serveInfoFile(server, "/download/dorvak.inf", info, requests);
        hook = std::make_unique<TUpdateHook>(&window, dm->ADOContAccess,
                                             QList<platform::db::DbQuery *>{dm->ADOQryDVPack},
                                             server.url(QString()));
        hook->SoftUpdate->Proxy().AccessType = atDirect;
        // The hook's own behaviour; signed information files are the updater's tests.
        hook->SoftUpdate->SetUpgradeKeys({});
        hook->SoftUpdate->SetAcceptUnsigned(true);
        answerYesExceptToLostFiles(messages);
    }
    void TearDown() override
    {
        hook.reset();
        AppFixture::TearDown();
    }

    QWidget window;
    HttpServer server;
    QString info;
    std::atomic<int> requests{0};
    std::unique_ptr<TUpdateHook> hook;
};

const QString kQuestion = QStringLiteral("提示|升级新版本时，可能会中断当前正在使用的数据！是否继续(Y/N)?");

} // namespace

TEST(ReadIniValue, ABareNameIsLookedUpBesideTheProgramNeverInTheCurrentFolder)
{
    TempDir current;
    const QString name = QStringLiteral("hook-test-%1.ini").arg(QCoreApplication::applicationPid());
    const QString beside = platform::executableFolder() + name;
    writeFile(beside, "[SYS]\nUPDATESET=7\n");
    writeFile(current.file(name), "[SYS]\nUPDATESET=9\n");
    const QString before = QDir::currentPath();
    QDir::setCurrent(current.path());
    EXPECT_EQ(ReadIniValue(QStringLiteral("SYS"), QStringLiteral("UPDATESET"), QStringLiteral("Error"), name),
              QStringLiteral("7"));
    EXPECT_EQ(ReadIniValue(QStringLiteral("sys"), QStringLiteral("updateset"), QStringLiteral("Error"),
                           current.file(name)),
              QStringLiteral("9"))
        << "a path is used as it is";
    QDir::setCurrent(before);
    QFile::remove(beside);
}

TEST_F(UpdateHookTest, TheVersionFileGivesTheInstalledVersion)
{
    const auto versionOf = [this](const QByteArray &contents) {
        const QString path = dir.file(QStringLiteral("softup.dll"));
        writeFile(path, contents);
        hook->ReadInstalledVersion(path);
        return hook->SoftUpdate->VersionNumber();
    };
    EXPECT_EQ(versionOf("[SYS]\r\nUPDATESET=2.0.1\r\n"), QStringLiteral("2.0.1"));
    EXPECT_EQ(versionOf("[SYS]\nUPDATESET=\n"), QString());
    EXPECT_EQ(versionOf("[SYSTEM]\nUPDATESET=3\n"), QStringLiteral("Error"));
    hook->ReadInstalledVersion(dir.file(QStringLiteral("absent.dll")));
    EXPECT_EQ(hook->SoftUpdate->VersionNumber(), QStringLiteral("Error"));
    hook->ReadInstalledVersion(dir.path());
    EXPECT_EQ(hook->SoftUpdate->VersionNumber(), QStringLiteral("1")) << "a file that cannot be read";
}

// The version an upgrade recorded stands over a version file that says less
// (a release without one, or an older one put back by hand), so no release
// below it is offered again.
TEST_F(UpdateHookTest, TheRecordedVersionOfTheLastUpgradeStands)
{
    hook->ProgramFolder = dir.path() + u'/';
    const QString versionFile = dir.file(QStringLiteral("softup.dll"));
    writeFile(versionFile, "[SYS]\r\nUPDATESET=2.0\r\n");
    ASSERT_TRUE(suPrepareDownloadFolder(hook->ProgramFolder));
    writeFile(suVersionRecordPath(hook->ProgramFolder), "[SYS]\r\nUPDATESET=2.10\r\n");
    hook->ReadInstalledVersion(versionFile);
    EXPECT_EQ(hook->SoftUpdate->VersionNumber(), QStringLiteral("2.10"));

    writeFile(versionFile, "[SYS]\r\nUPDATESET=3\r\n");
    hook->ReadInstalledVersion(versionFile);
    EXPECT_EQ(hook->SoftUpdate->VersionNumber(), QStringLiteral("3")) << "a newer version file wins";
    QFile::remove(versionFile);
    hook->ReadInstalledVersion(versionFile);
    EXPECT_EQ(hook->SoftUpdate->VersionNumber(), QStringLiteral("2.10")) << "a lost version file";
}

// A build without a vendor key says that its online upgrade is off, from
// the upgrade's own message table, and leaves the data in use alone.
TEST_F(UpdateHookTest, ABuildWithoutAKeyOnlySaysOnlineUpgradeIsOff)
{
    hook->SoftUpdate->SetAcceptUnsigned(false);
    info = QStringLiteral("#version=9\n#url=%1\n").arg(server.url(QStringLiteral("/download/dorvak.dat")));
    hook->SpeedButton11Click();
    EXPECT_EQ(messages,
              QStringList({suMessage(0) + u'|' + suUpdaterNotice(TsuUpdaterNotice::UpgradeDisabled)}));
    EXPECT_TRUE(suUpdaterNotice(TsuUpdaterNotice::UpgradeDisabled)
                    .startsWith(QStringLiteral("此版本的程序没有厂商的升级密钥")));
    EXPECT_TRUE(dm->ADOContAccess->connected());
    EXPECT_FALSE(hook->SoftUpdate->IsBusy());
    EXPECT_EQ(requests, 0);
    EXPECT_TRUE(window.windowTitle().isEmpty());
}

// A test program trusts nothing it was not given: upgrades are off in it
// as in a build without a key.
TEST(UpdateHookTrust, AProgramThatSetsNoTrustHasUpgradesOff)
{
    EXPECT_TRUE(suProgramUpgradeTrust().Keys.isEmpty());
    EXPECT_FALSE(suProgramUpgradeTrust().AcceptUnsigned);
    TsuSelfUpdater updater;
    EXPECT_FALSE(updater.UpgradeEnabled());
}

TEST_F(UpdateHookTest, AnsweringNoChangesNothing)
{
    platform::setMessageHandler(
        [this](const QString &caption, const QString &text, platform::MessageButtons) {
            messages << caption + u'|' + text;
            return int(platform::mrNo);
        });
    hook->SpeedButton11Click();
    EXPECT_EQ(messages, QStringList({kQuestion}));
    EXPECT_TRUE(dm->ADOContAccess->connected());
    EXPECT_FALSE(hook->SoftUpdate->IsBusy());
    EXPECT_EQ(requests, 0);
}

// Where the program's files belong to the system, the button only points to
// the system's software updates: no question, nothing closed, nothing fetched.
TEST_F(UpdateHookTest, APackageInstallOrAFolderTheUserCannotWriteIsUpgradedByTheSystem)
{
    const QString package = dir.file(QStringLiteral("package/"));
    ASSERT_TRUE(QDir().mkpath(package));
    writeFile(package + QLatin1String(platform::kPackageMarkerName), "");
    const QString readOnly = dir.file(QStringLiteral("read-only/"));
    ASSERT_TRUE(QDir().mkpath(readOnly));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
    QStringList folders{package};
    // The superuser writes any folder; there only the package's mark tells.
    if (::access(QFile::encodeName(readOnly).constData(), W_OK) != 0)
        folders << readOnly;
    info = QStringLiteral("#version=9\n#url=%1\n").arg(server.url(QStringLiteral("/download/dorvak.dat")));
    for (const QString &folder : folders) {
        messages.clear();
        hook->ProgramFolder = folder;
        hook->SpeedButton11Click();
        EXPECT_EQ(messages,
                  QStringList({QStringLiteral("提示|Velmora由系统的软件包安装，请通过系统的软件更新升级。"
                                              "\r\n在线升级不会更改任何文件。")}))
            << folder.toStdString();
        EXPECT_TRUE(dm->ADOContAccess->connected());
        EXPECT_FALSE(hook->SoftUpdate->IsBusy());
    }
    EXPECT_EQ(requests, 0);
    EXPECT_TRUE(window.windowTitle().isEmpty());
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(UpdateHookTest, YesChecksWithTheDatabaseClosedAroundItAndKeepsTheList)
{
    platform::db::DbQuery *companies = dm->ADOQryDVPack;
    // The list read ahead at start-up is whole first: the row to go back to must be there.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dm->ADOContAccess->loading(); }, 10000));
    companies->setSqlText(QStringLiteral("select * from Dorvak"));
    companies->open();
    companies->fieldByName(QStringLiteral("cCorpCName"))->setDisplayLabel(QStringLiteral("公司"));
    companies->setCurrentRow(1);
    bool disconnected = false;
    // The receiver ends the connection with this test body; the query outlives it.
    QObject receiver;
    QObject::connect(companies, &platform::db::DbQuery::dataReset, &receiver,
                     [&] { disconnected |= !companies->active(); });
    info = QStringLiteral("#version=1\n#url=%1\n").arg(server.url(QStringLiteral("/download/dorvak.dat")));

    hook->SpeedButton11Click();
    EXPECT_TRUE(disconnected) << "the database was closed around the start of the check";
    EXPECT_TRUE(dm->ADOContAccess->connected());
    EXPECT_TRUE(companies->active());
    EXPECT_EQ(companies->recordCount(), 2);
    EXPECT_EQ(companies->currentRow(), 1);
    EXPECT_EQ(companies->fieldByName(QStringLiteral("cCorpCName"))->displayLabel(), QStringLiteral("公司"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.windowTitle() == QStringLiteral("不需要更新，当前版本是最新的！"); }, 10000));
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(messages, QStringList({kQuestion, suMessage(0) + u'|' + suMessage(24)}))
        << "the component shows its own message as well";
}

TEST_F(UpdateHookTest, AnAbortedUpgradeSaysSoInTheCaption)
{
    info = QStringLiteral("#version=2\n#url=%1\n").arg(server.url(QStringLiteral("/download/missing.dat")));
    // Straight to the download, past the question window.
    hook->SoftUpdate->SetShowMessages(suShowAll & ~suShow(mAskUpgrade));
    hook->SpeedButton11Click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.windowTitle() == QStringLiteral("数据库正在更新，在线升级失败！"); }, 10000));
    EXPECT_EQ(messages.last(), suMessage(21) + QStringLiteral(" #404|") +
                                   suFormatMessage(suMessage(28), {QStringLiteral("missing.dat")}));
}

namespace {

// The real main window with its upgrade component pointed at a local
// vendor server through VELMORA_VENDOR_URL.
class MainFormUpdateTest : public MainFormFixture
{
protected:
    void SetUp() override
    {
        serveInfoFile(server, "/vendor/download/dorvak.inf", info, requests);
        vendor =
            std::make_unique<ScopedEnv>("VELMORA_VENDOR_URL", server.url(QStringLiteral("/vendor")).toUtf8());
        suSetLanguage(wlChineseSimplified);
        MainFormFixture::SetUp();
        form->SoftUpdate->Proxy().AccessType = atDirect;
        form->SoftUpdate->SetUpgradeKeys({});
        form->SoftUpdate->SetAcceptUnsigned(true);
        answerYesExceptToLostFiles(messages);
    }
    void TearDown() override
    {
        MainFormFixture::TearDown();
        vendor.reset();
    }

    HttpServer server;
    std::unique_ptr<ScopedEnv> vendor;
    QString info;
    std::atomic<int> requests{0};
};

} // namespace

TEST_F(MainFormUpdateTest, TheUpgradeButtonChecksTheVendorServerAndTheEventsSetTheCaption)
{
    // The addresses come from the same base address as the links.
    EXPECT_EQ(form->SoftUpdate->InfoFileURL(), server.url(QStringLiteral("/vendor/download/dorvak.inf")));
    EXPECT_EQ(form->SoftUpdate->InfoFile().Files.last(),
              server.url(QStringLiteral("/vendor/download/Dorvak.exe")));
    // The creation read the version file; there is none beside the test.
    ASSERT_FALSE(QFile::exists(platform::executableFolder() + QStringLiteral("softup.dll")));
    EXPECT_EQ(form->SoftUpdate->VersionNumber(), QStringLiteral("Error"));

    form->SoftUpdate->SetVersionNumber(QStringLiteral("1"));
    info = QStringLiteral("#version=1\n#url=%1\n")
               .arg(server.url(QStringLiteral("/vendor/download/dorvak.dat")));
    QTest::mouseClick(form->Pal_2_0->SpeedButton11, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return form->windowTitle() == QStringLiteral("不需要更新，当前版本是最新的！"); }, 10000));
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(messages, QStringList({kQuestion, suMessage(0) + u'|' + suMessage(24)}));
    EXPECT_TRUE(DMForm->ADOContAccess->connected());
    EXPECT_EQ(DMForm->ADOQryDVPack->recordCount(), 3) << "the company list is back";

    // A lost file, not skipped, aborts the upgrade.
    info = QStringLiteral("#version=1.1\n#url=%1\n")
               .arg(server.url(QStringLiteral("/vendor/download/missing.dat")));
    form->SoftUpdate->SetVersionNumber(QStringLiteral("1"));
    form->SoftUpdate->SetShowMessages(suShowAll & ~suShow(mAskUpgrade));
    QTest::mouseClick(form->Pal_2_0->SpeedButton11, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return form->windowTitle() == QStringLiteral("数据库正在更新，在线升级失败！"); }, 10000));
    EXPECT_EQ(requests, 2);
    // The title strip says what the window's name (the task bar) says.
    EXPECT_EQ(form->Label4->text(), form->windowTitle());
    EXPECT_GE(form->Label4->width(), form->Label4->sizeHint().width()) << "whole";
}
