// A profile the user wrote outlives an online upgrade of the real program:
// typed into the detail strip's memo, it is in the new database that a
// signed release from the vendor's (local) server brought, at the company
// the user wrote it for though the new table was built anew; the vendor's
// own new profiles are in as well, and the user is told once. The same
// holds when the new database comes as a delta from the release the user
// has: the pages the user's edit changed do not come out right and are
// fetched from the full file.

#include "EndToEndFixture.h"
#include "NginxServer.h"
#include "platform/db/CipherSettings.h"
#include "support/FileBytes.h"
#include "support/QStringPrint.h"
#include "support/TestDatabase.h"

#include <QDateTime>

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

class ProfileEditsEndToEndTest : public EndToEndFixture, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        EndToEndFixture::SetUp();
        // The program the upgrade's helper starts again is the test's to end.
        ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    }
    void TearDown() override
    {
        // The programs started from the test's folders, directly or by the upgrade.
        const QString prefix = QFileInfo(home.path()).canonicalFilePath() + QLatin1Char('/');
        for (const QString &entry :
             QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            bool numeric = false;
            const qint64 pid = entry.toLongLong(&numeric);
            if (numeric &&
                QFileInfo(QStringLiteral("/proc/%1/exe").arg(entry)).symLinkTarget().startsWith(prefix))
                ::kill(pid_t(pid), SIGKILL);
        }
    }

    // Writes a screenshot to $VELMORA_E2E_SCREENSHOTS, when that is set, to look at.
    static void keep(const QImage &shot, const QString &name)
    {
        const QString folder = qEnvironmentVariable("VELMORA_E2E_SCREENSHOTS");
        if (!folder.isEmpty() && QDir().mkpath(folder))
            shot.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }

    QString query(const QString &database, const QString &sql)
    {
        return testdb::scalar(database, testdb::kPassword, platform::db::kBuilderPageSize, sql);
    }

    // The windows of a process titled "Velmora" that are not the main window:
    // the program's own message boxes.
    QList<WindowInfo> messageBoxes(qint64 pid)
    {
        QList<WindowInfo> boxes;
        for (const WindowInfo &w : windows(QStringLiteral("^Velmora$"), pid))
            if (w.geometry.size() != QSize(800, 600))
                boxes << w;
        return boxes;
    }

    // An upgrade window of the given width once it is drawn; where it is
    // then, the window manager having placed it.
    WindowInfo upgradeWindow(int width, qint64 pid)
    {
        const auto find = [&] {
            for (const WindowInfo &w : windows(QStringLiteral("^软件升级精灵$"), pid))
                if (w.geometry.width() == width)
                    return w;
            return WindowInfo{};
        };
        WindowInfo found;
        const bool shown = QTest::qWaitFor(
            [&] {
                found = find();
                if (found.id.isEmpty())
                    return false;
                const QImage shot = capture(found);
                return !shot.isNull() && unevenShare(shot, QRect(QPoint(0, 0), shot.size())) > 0.02;
            },
            30000);
        return shown ? find() : WindowInfo{};
    }

    // Signs the release in folder as version number, with the releases
    // before it when there are any.
    int sign(const QString &folder, const QString &number, const QStringList &more = {})
    {
        const QString expires = QDateTime::currentDateTimeUtc().date().addDays(30).toString(Qt::ISODate);
        return QProcess::execute(QStringLiteral(RELEASE_TOOL_PATH),
                                 QStringList{QStringLiteral("sign"), QStringLiteral("--folder"), folder,
                                             QStringLiteral("--version"), number, QStringLiteral("--message"),
                                             QStringLiteral("企业数据更新。"), QStringLiteral("--base-url"),
                                             nginx.url(QStringLiteral("/vendor/download")),
                                             QStringLiteral("--expires"), expires, QStringLiteral("--key"),
                                             QStringLiteral(DEMO_UPGRADE_KEY)} +
                                     more);
    }

    NginxServer nginx;
};

} // namespace

// false: the full database is downloaded; true: a delta from the release
// the user has.
INSTANTIATE_TEST_SUITE_P(FullOrDelta, ProfileEditsEndToEndTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return info.param ? "AsADelta" : "AsTheFullFile";
                         });

TEST_P(ProfileEditsEndToEndTest, AProfileTheUserWroteOutlivesAnUpgrade)
{
    const bool asDelta = GetParam();
    QProcess manager;
    ASSERT_TRUE(startWindowManager(manager));
    const QString program = install(QStringLiteral("app"));
    const QString folder = QFileInfo(program).absolutePath() + QLatin1Char('/');
    const QString database = folder + QStringLiteral("dorvak.dat");
    // The first company of the list, whose profile the user rewrites.
    const QString name =
        query(database, QStringLiteral("select cCorpCName from Dorvak order by rowid limit 1"));
    const QString address =
        query(database, QStringLiteral("select cCAdd from Dorvak order by rowid limit 1"));
    const QString company = QStringLiteral("cCorpCName = '%1' and cCAdd = '%2'").arg(name, address);
    ASSERT_FALSE(name.isEmpty());
    // The release the user has, as the vendor published it.
    const QString firstRelease = home.file(QStringLiteral("release-1"));
    ASSERT_TRUE(QDir().mkpath(firstRelease));
    for (const QString &file : {QStringLiteral("dorvak.dat"), QStringLiteral("softup.dll")})
        ASSERT_TRUE(QFile::copy(folder + file, firstRelease + QLatin1Char('/') + file));

    // The user rewrites it in the detail strip; "×" ends the program and saves it.
    // Typed as keys: xdotool cannot type Chinese characters reliably.
    const QString written = QStringLiteral("e2e: written by the user");
    {
        auto process = start(program);
        ASSERT_TRUE(waitForMainWindowAfterSplash(process->processId()));
        const WindowInfo main = waitForWindow(QStringLiteral("^Velmora$"), process->processId());
        clickAt(main, QPoint(68, 150)); // "Velmora": the company list
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return unevenShare(capture(main), QRect(240, 240, 420, 230)) > 0.05; }, 10000));
        clickAt(main, QPoint(167, 105)); // the detail strip
        const QImage before = capture(main);
        ASSERT_TRUE(QTest::qWaitFor([&] { return capture(main) != before; }, 5000)) << "no detail strip";
        clickAt(main, QPoint(450, 285)); // into the profile
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a")});
        xdotool({QStringLiteral("type"), written});
        keep(captureScreen(), QStringLiteral("profile-written"));
        clickAt(main, QPoint(788, 10)); // "×"
        ASSERT_TRUE(process->waitForFinished(15000));
    }
    ASSERT_EQ(query(database, QStringLiteral("select cCorpMemo from Dorvak where ") + company), written)
        << "the profile was not saved";

    // The vendor's next release: the table built anew (no row keeps its row
    // id) with a profile of another company rewritten.
    const QString release = home.file(QStringLiteral("release"));
    ASSERT_TRUE(QDir().mkpath(release));
    const QString newDatabasePath = release + QStringLiteral("/dorvak.dat");
    ASSERT_EQ(QProcess::execute(QStringLiteral(MAKE_DEMO_DB_PATH),
                                {QStringLiteral("--out"), newDatabasePath, QStringLiteral("--companies"),
                                 QStringLiteral("300")}),
              0);
    const QString vendorText = QStringLiteral("厂商新版的简介");
    testdb::run(newDatabasePath, testdb::kPassword, platform::db::kBuilderPageSize,
                {QStringLiteral("update Dorvak set rowid = rowid + 100000"),
                 QStringLiteral("update Dorvak set cCorpMemo = '%1' where rowid = 100002").arg(vendorText)});
    const QString other =
        query(newDatabasePath, QStringLiteral("select cCorpCName || '|' || cCAdd from Dorvak "
                                              "where rowid = 100002"));
    ASSERT_NE(query(newDatabasePath, QStringLiteral("select cCorpMemo from Dorvak where ") + company),
              written);
    const QByteArray newVersionFile = "[SYS]\r\nUPDATESET=2\r\n";
    const QByteArray newProgram = testfiles::readFile(program);
    for (const auto &[fileName, bytes] :
         {std::pair{"softup.dll", &newVersionFile}, std::pair{"Dorvak.exe", &newProgram}}) {
        QFile file(release + QLatin1Char('/') + QLatin1String(fileName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(*bytes), bytes->size());
    }
    ASSERT_TRUE(nginx.start(home.file(QStringLiteral("nginx")), QStringLiteral("vendor/download"), release));
    if (asDelta) {
        ASSERT_EQ(sign(firstRelease, QStringLiteral("1")), 0);
        ASSERT_EQ(sign(release, QStringLiteral("2"), {QStringLiteral("--previous"), firstRelease}), 0);
        ASSERT_TRUE(QFileInfo::exists(release + QStringLiteral("/dorvak.dat.from-1.vdelta")));
    } else {
        ASSERT_EQ(sign(release, QStringLiteral("2")), 0);
    }
    const qint64 newDatabaseSize = QFileInfo(newDatabasePath).size();
    const QString base = nginx.url(QStringLiteral("/vendor"));

    // The upgrade, as a user goes through it: "在线升级", yes, yes, OK.
    QProcessEnvironment env;
    env.insert(QStringLiteral("VELMORA_VENDOR_URL"), base);
    env.insert(QStringLiteral("LANG"), QStringLiteral("zh_CN.UTF-8"));
    auto upgrading = start(program, env, home.file(QStringLiteral("output.log")));
    const qint64 pid = upgrading->processId();
    ASSERT_TRUE(waitForMainWindowAfterSplash(pid));
    const WindowInfo main = waitForWindow(QStringLiteral("^Velmora$"), pid);
    EXPECT_TRUE(messageBoxes(pid).isEmpty()) << "nothing to tell before the upgrade";
    clickAt(main, QPoint(8 + 120 + 440 + 80, 21 + 72 + 384 + 32));
    const WindowInfo question = waitForWindow(QStringLiteral("^提示$"), pid);
    ASSERT_FALSE(question.id.isEmpty()) << "no question before the check";
    pressReturnIn(question);
    const WindowInfo announce = upgradeWindow(318, pid);
    ASSERT_FALSE(announce.id.isEmpty()) << "no question window";
    pressReturnIn(announce); // "是", the default button
    const WindowInfo wizard = upgradeWindow(463, pid);
    ASSERT_FALSE(wizard.id.isEmpty()) << "no wizard";
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QImage page = capture(wizard);
            return !page.isNull() && unevenShare(page, QRect(136, 162, 319, 67)) == 0;
        },
        60000))
        << "no final page";
    pressReturnIn(wizard); // "完成", the default button of the final page
    ASSERT_TRUE(upgrading->waitForFinished(30000)) << "the program did not close for the upgrade";

    // Started again by the upgrade, with the new database, which it takes
    // the user's edits into before it shows a window.
    qint64 restarted = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const WindowInfo &w : windows(QStringLiteral("^Velmora$"), 0))
                restarted = xdotool({QStringLiteral("getwindowpid"), w.id}).toLongLong();
            return restarted != 0 && restarted != pid;
        },
        90000))
        << "the program was not started again\n"
        << testfiles::readFile(home.file(QStringLiteral("output.log"))).toStdString();
    // The vendor's rowids stand in the full file; a delta's file holds the
    // same rows in the same order on the rowids of the release before.
    EXPECT_EQ(query(database, QStringLiteral("select count(*) from Dorvak where rowid > 100000")),
              asDelta ? QStringLiteral("0") : QStringLiteral("300"));
    EXPECT_EQ(query(database, QStringLiteral("select count(*) from Dorvak")), QStringLiteral("300"));
    if (asDelta) {
        // The delta, and of the full file only the pages the user's edit
        // changed, by range.
        EXPECT_GT(nginx.bytesSent(QStringLiteral("/vendor/download/dorvak.dat.from-1.vdelta"), 200), 0);
        EXPECT_EQ(nginx.bytesSent(QStringLiteral("/vendor/download/dorvak.dat"), 200), 0)
            << "the full file was downloaded";
        const qint64 pages = nginx.bytesSent(QStringLiteral("/vendor/download/dorvak.dat"), 206);
        EXPECT_GT(pages, 0) << "the pages the user's edit changed";
        EXPECT_LT(pages * 4, newDatabaseSize);
    } else {
        EXPECT_EQ(nginx.bytesSent(QStringLiteral("/vendor/download/dorvak.dat"), 200), newDatabaseSize);
    }

    // The profile is the user's, at the same company in the rebuilt table,
    // and the vendor's new profile of another company is in too.
    EXPECT_EQ(query(database, QStringLiteral("select cCorpMemo from Dorvak where ") + company), written);
    EXPECT_EQ(query(database, QStringLiteral("select rowid from Dorvak where ") + company),
              query(database, QStringLiteral("select min(rowid) from Dorvak")))
        << "first in the list, as in the vendor's table";
    EXPECT_EQ(
        query(database, QStringLiteral("select cCorpMemo from Dorvak where cCorpCName || '|' || cCAdd = '%1'")
                            .arg(other)),
        vendorText);

    // The user is told.
    WindowInfo told;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QList<WindowInfo> boxes = messageBoxes(restarted);
            if (!boxes.isEmpty())
                told = boxes.first();
            return !boxes.isEmpty();
        },
        30000))
        << "no message about the edit carried over";
    QImage message;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            message = capture(told);
            return !message.isNull() && unevenShare(message, QRect(QPoint(0, 0), message.size())) > 0.02;
        },
        10000))
        << "the message's text";
    keep(message, QStringLiteral("edits-carried-message"));

    // OK; the program shows the profile where the user wrote it.
    pressReturnIn(told);
    ASSERT_TRUE(QTest::qWaitFor([&] { return messageBoxes(restarted).isEmpty(); }, 10000));
    const WindowInfo again = waitForWindow(QStringLiteral("^Velmora$"), restarted);
    clickAt(again, QPoint(68, 150));
    ASSERT_TRUE(QTest::qWaitFor([&] { return unevenShare(capture(again), QRect(240, 240, 420, 230)) > 0.05; },
                                10000));
    clickAt(again, QPoint(167, 105));
    const QImage list = capture(again);
    ASSERT_TRUE(QTest::qWaitFor([&] { return capture(again) != list; }, 5000));
    keep(captureScreen(), QStringLiteral("profile-after-upgrade"));
    clickAt(again, QPoint(788, 10));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return ::kill(pid_t(restarted), 0) != 0 ||
                   windows(QStringLiteral("^Velmora$"), restarted).isEmpty();
        },
        15000));

    manager.terminate();
    manager.waitForFinished(5000);

    // Told once: the next start has nothing to tell.
    EXPECT_EQ(testdb::scalar(folder + QStringLiteral("dorvak.edits"), testdb::kPassword, 4096,
                             QStringLiteral("select count(*) from KeptState where name = 'notice'")),
              QStringLiteral("0"));
}
