// The upgrade's messages as a user meets them on a desktop (Xvfb with
// openbox): each stands above the window it belongs to and takes the
// keyboard, a failed upgrade leaves nothing half open, and the program a
// user installs trusts no key but its vendor's.

#include "EndToEndFixture.h"
#include "support/FileBytes.h"
#include "upgrade/LocalHttpServer.h"

#include <QCryptographicHash>
#include <QDateTime>

#include <atomic>

namespace {

class UpgradeMessagesEndToEndTest : public EndToEndFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(EndToEndFixture::SetUp());
        ASSERT_TRUE(startWindowManager(manager)) << "openbox is missing or did not come up";
        server.server.set_logger([this](const httplib::Request &, const httplib::Response &) { ++requests; });
        server.bind();
    }
    void TearDown() override
    {
        if (program)
            program->kill();
        manager.kill();
        manager.waitForFinished(5000);
    }

    void startProgram(const QString &path)
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("VELMORA_VENDOR_URL"), server.url(QStringLiteral("/vendor")));
        env.insert(QStringLiteral("TMPDIR"), home.file(QStringLiteral("elsewhere")));
        env.insert(QStringLiteral("LANG"), QStringLiteral("zh_CN.UTF-8"));
        env.insert(QStringLiteral("LC_ALL"), QString());
        env.insert(QStringLiteral("LC_MESSAGES"), QString());
        // Into a file: a pipe nobody reads would fill and stop the program.
        program = start(path, env, home.file(QStringLiteral("output.log")));
        pid = program->processId();
    }

    // "在线升级" on the about page of the main window.
    void pressUpgradeButton(const WindowInfo &main)
    {
        clickAt(main, QPoint(8 + 120 + 440 + 80, 21 + 72 + 384 + 32));
    }

    // An upgrade window or box of the given caption that is none of the
    // windows given.
    WindowInfo waitForOther(const QString &caption, const QStringList &notThese)
    {
        WindowInfo found;
        (void)QTest::qWaitFor(
            [&] {
                for (const WindowInfo &w : windows(caption, pid)) {
                    if (!notThese.contains(w.id)) {
                        found = w;
                        return true;
                    }
                }
                return false;
            },
            30000);
        return found;
    }

    // The window a window is transient for, as a decimal id; empty for none.
    QString transientFor(const WindowInfo &window)
    {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("window id # (0x[0-9a-f]+)"))
                                              .match(windowProperty(window.id, "WM_TRANSIENT_FOR"));
        return m.hasMatch() ? QString::number(m.captured(1).toULongLong(nullptr, 16)) : QString();
    }

    QString focused() { return xdotool({QStringLiteral("getwindowfocus")}); }

    // Whether the window manager stacks the window above every other one.
    bool onTop(const WindowInfo &window)
    {
        return QTest::qWaitFor(
            [&] {
                const QString stacking = windowProperty(QStringLiteral("-root"), "_NET_CLIENT_LIST_STACKING");
                const qsizetype last = stacking.lastIndexOf(QStringLiteral("0x"));
                return last >= 0 && QString::number(stacking.mid(last).toULongLong(nullptr, 16)) == window.id;
            },
            5000);
    }

    // The screen once the window is painted on it (its area holds more
    // than one colour).
    QImage screenshotWith(const WindowInfo &window)
    {
        QImage shot;
        (void)QTest::qWaitFor(
            [&] {
                shot = screenshot();
                const QImage area = shot.copy(window.geometry);
                if (area.isNull())
                    return false;
                for (int y = 0; y < area.height(); y += 3)
                    for (int x = 0; x < area.width(); x += 3)
                        if (area.pixel(x, y) != area.pixel(0, 0))
                            return true;
                return false;
            },
            10000);
        return shot;
    }

    // The screen as the X server shows it (a dialog's own pixels included,
    // which xwd reads as black here).
    QImage screenshot()
    {
        QProcess import;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display.name());
        import.setProcessEnvironment(env);
        import.start(QStringLiteral("import"), {QStringLiteral("-silent"), QStringLiteral("-window"),
                                                QStringLiteral("root"), QStringLiteral("png:-")});
        import.waitForFinished(20000);
        return QImage::fromData(import.readAllStandardOutput(), "PNG");
    }

    static void keep(const QImage &shot, const QString &name)
    {
        const QString folder = qEnvironmentVariable("VELMORA_E2E_SCREENSHOTS");
        if (!folder.isEmpty() && QDir().mkpath(folder))
            shot.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }

    QProcess manager;
    HttpServer server;
    std::atomic<int> requests{0};
    std::unique_ptr<QProcess> program;
    qint64 pid = 0;
};

} // namespace

// The program as `cmake --install`, the package and run-demo.sh give it,
// built without a vendor key: "在线升级" only says that online upgrade is
// off, above the main window, and asks the vendor's server nothing.
TEST_F(UpgradeMessagesEndToEndTest, TheProgramAUserInstallsHasOnlineUpgradeOff)
{
    server.start();
    startProgram(install(QStringLiteral("vendor"), {}, QStringLiteral(VENDOR_DORVAK_PATH)));
    const WindowInfo main = waitForWindow(QStringLiteral("^Velmora$"), pid);
    ASSERT_FALSE(main.id.isEmpty());
    ASSERT_TRUE(waitForMainWindowAfterSplash(pid));
    pressUpgradeButton(main);
    const WindowInfo box = waitForWindow(QStringLiteral("^软件升级精灵$"), pid);
    ASSERT_FALSE(box.id.isEmpty()) << "no message";
    EXPECT_TRUE(windows(QStringLiteral("^提示$"), pid).isEmpty()) << "nothing is asked about the data in use";
    EXPECT_EQ(transientFor(box), main.id);
    EXPECT_TRUE(QTest::qWaitFor([&] { return focused() == box.id; }, 5000)) << "the box takes the keyboard";
    EXPECT_TRUE(onTop(box));
    keep(screenshotWith(box), QStringLiteral("upgrade-off-without-a-key"));
    EXPECT_EQ(requests, 0);
    pressReturnIn(box);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return windows(QStringLiteral("^软件升级精灵$"), pid).isEmpty(); }, 10000));
}

// A download that does not match its signed checksum: the box says so
// above the wizard and has the keyboard; once it is closed the wizard is
// gone, nothing is installed, and the main window's name is what its title
// strip shows.
TEST_F(UpgradeMessagesEndToEndTest, AChecksumFailureIsShownAboveTheWizardAndEndsIt)
{
    const QString path = install(QStringLiteral("app"));
    const QString folder = QFileInfo(path).absolutePath() + QLatin1Char('/');
    const QByteArray oldDatabase = testfiles::readFile(folder + QStringLiteral("dorvak.dat"));

    // A release signed as the vendor signs it, whose database is altered on the way.
    const QString release = home.file(QStringLiteral("release"));
    ASSERT_TRUE(QDir().mkpath(release));
    const QByteArray database = "the vendor's database " + QByteArray(200000, 'd');
    const QByteArray versionFile = "[SYS]\r\nUPDATESET=2\r\n";
    for (const auto &[name, bytes] :
         {std::pair{"dorvak.dat", &database}, std::pair{"softup.dll", &versionFile}}) {
        QFile file(release + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(*bytes), bytes->size());
    }
    ASSERT_EQ(
        QProcess::execute(QStringLiteral(RELEASE_TOOL_PATH),
                          {QStringLiteral("sign"), QStringLiteral("--folder"), release,
                           QStringLiteral("--version"), QStringLiteral("2"), QStringLiteral("--message"),
                           QStringLiteral("新版本。"), QStringLiteral("--base-url"),
                           server.url(QStringLiteral("/vendor/download")), QStringLiteral("--expires"),
                           QDateTime::currentDateTimeUtc().date().addDays(9).toString(Qt::ISODate),
                           QStringLiteral("--key"), QStringLiteral(DEMO_UPGRADE_KEY)}),
        0);
    QByteArray altered = database;
    altered[100] = 'X';
    const QByteArray info = testfiles::readFile(release + QStringLiteral("/dorvak.inf"));
    const QByteArray signature = testfiles::readFile(release + QStringLiteral("/dorvak.inf.sig"));
    const auto serve = [this](const char *route, const QByteArray &bytes) {
        server.server.Get(route, [bytes](const httplib::Request &, httplib::Response &res) {
            res.set_content(bytes.constData(), size_t(bytes.size()), "application/octet-stream");
        });
    };
    serve("/vendor/download/dorvak.inf", info);
    serve("/vendor/download/dorvak.inf.sig", signature);
    serve("/vendor/download/dorvak.dat", altered);
    serve("/vendor/download/softup.dll", versionFile);
    server.start();

    startProgram(path);
    const WindowInfo main = waitForWindow(QStringLiteral("^Velmora$"), pid);
    ASSERT_FALSE(main.id.isEmpty());
    ASSERT_TRUE(waitForMainWindowAfterSplash(pid));
    pressUpgradeButton(main);
    const WindowInfo question = waitForWindow(QStringLiteral("^提示$"), pid);
    ASSERT_FALSE(question.id.isEmpty());
    EXPECT_EQ(transientFor(question), main.id);
    pressReturnIn(question);
    const WindowInfo announce = waitForWindow(QStringLiteral("^软件升级精灵$"), pid);
    ASSERT_FALSE(announce.id.isEmpty()) << "no question window";
    EXPECT_EQ(transientFor(announce), main.id) << "the question window stands above the main window";
    pressReturnIn(announce);

    // The wizard, and the box above it.
    const WindowInfo wizard = waitForOther(QStringLiteral("^软件升级精灵$"), {announce.id});
    ASSERT_FALSE(wizard.id.isEmpty()) << "no wizard";
    const WindowInfo box = waitForOther(QStringLiteral("^软件升级精灵$"), {announce.id, wizard.id});
    ASSERT_FALSE(box.id.isEmpty()) << "no message about the damaged file";
    EXPECT_EQ(transientFor(box), wizard.id) << "the box belongs to the wizard";
    EXPECT_TRUE(QTest::qWaitFor([&] { return focused() == box.id; }, 5000)) << "the box takes the keyboard";
    EXPECT_TRUE(onTop(box)) << "nothing covers the box";
    keep(screenshotWith(box), QStringLiteral("checksum-failure-above-the-wizard"));

    // Return answers it; the wizard goes with it.
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return windows(QStringLiteral("^软件升级精灵$"), pid).isEmpty(); }, 10000))
        << "the wizard is not left standing";
    const WindowInfo failed = waitForWindow(QStringLiteral("^数据库正在更新，在线升级失败！$"), pid);
    EXPECT_EQ(failed.id, main.id) << "the main window's name";
    keep(screenshotWith(main), QStringLiteral("main-window-after-a-failed-upgrade"));
    EXPECT_EQ(testfiles::readFile(folder + QStringLiteral("dorvak.dat")), oldDatabase) << "nothing installed";
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList({"Dorvak", "dorvak.dat", "dorvak.edits", "softup.dll"}))
        << "the program, its database, the user's profile edits kept beside it, the version file";
}
