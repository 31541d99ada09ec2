// The online upgrade of the real program, as a user goes through it: a
// local vendor server offers a newer release signed with the release tool,
// the user agrees twice, the wizard downloads it, and after OK on its final
// page the program closes, its helper installs the three files and starts
// it again.

#include "EndToEndFixture.h"
#include "NginxServer.h"
#include "support/FileBytes.h"
#include "upgrade/LocalHttpServer.h"
#include "upgrade/helper/suUpgradeFolder.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDirIterator>

#include <condition_variable>
#include <mutex>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString sha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// The arguments a running process was started with; empty once it is gone.
QStringList commandLineOf(qint64 pid)
{
    const QByteArray raw = testfiles::readFile(QStringLiteral("/proc/%1/cmdline").arg(pid));
    QStringList arguments;
    for (const QByteArray &part : raw.split('\0'))
        arguments << QString::fromLocal8Bit(part);
    if (!arguments.isEmpty() && arguments.last().isEmpty())
        arguments.removeLast();
    return arguments;
}

// Whether a process still runs (a zombie has ended).
bool running(qint64 pid)
{
    const QByteArray stat = testfiles::readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype afterName = stat.lastIndexOf(')');
    return afterName > 0 && stat.size() > afterName + 2 && stat.at(afterName + 2) != 'Z';
}

// The share of the area's pixels in a strong blue, the colour of a
// progress bar's filled part.
double blueShare(const QImage &image, const QRect &area)
{
    int blue = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            blue += qBlue(image.pixel(x, y)) > qRed(image.pixel(x, y)) + 60;
    return double(blue) / (area.width() * area.height());
}

// A gate the server's transfer of the program stops at, halfway, until the
// test has looked at the wizard.
class HalfwayGate
{
public:
    // Called on the server's thread: marks the halfway point and waits
    // (bounded, so that a failed test cannot hang the server).
    void holdHere()
    {
        std::unique_lock lock(m_mutex);
        m_reached = true;
        m_changed.wait_for(lock, std::chrono::seconds(60), [this] { return m_open; });
    }
    bool reached()
    {
        std::lock_guard lock(m_mutex);
        return m_reached;
    }
    void open()
    {
        {
            std::lock_guard lock(m_mutex);
            m_open = true;
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_reached = false;
    bool m_open = false;
};

// The fields of /proc/<pid>/stat after the name: state first, then the parent.
QStringList statusOf(qint64 pid)
{
    const QByteArray stat = testfiles::readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype afterName = stat.lastIndexOf(')');
    if (afterName < 0)
        return {};
    return QString::fromLatin1(stat.mid(afterName + 2)).split(QLatin1Char(' '));
}

QString nameOf(qint64 pid)
{
    return QString::fromLocal8Bit(testfiles::readFile(QStringLiteral("/proc/%1/comm").arg(pid))).trimmed();
}

// Every file below a folder, with its size and permissions.
QString listing(const QString &folder)
{
    QString text;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        text += QStringLiteral("  %1 %2 bytes, mode %3\n")
                    .arg(entry.filePath())
                    .arg(entry.size())
                    .arg(QString::number(int(entry.permissions()), 16));
    }
    return text.isEmpty() ? QStringLiteral("  (empty)\n") : text;
}

class UpgradeEndToEndTest : public EndToEndFixture
{
protected:
    void SetUp() override
    {
        EndToEndFixture::SetUp();
        // The helper and the program it starts outlive the program that
        // started them; as their reaper the test learns how they ended.
        ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    }

    // What can be seen of an upgrade that did not come back: the program's
    // folder, the temporary folder, the processes that ran from the test's
    // folders (those that ended are collected with their exit status) and
    // the windows on the display.
    QString upgradeReport(const QString &folder, const QString &temp)
    {
        QString text = QStringLiteral("program folder:\n") + listing(folder);
        text += QStringLiteral("temporary folder:\n") + listing(temp);
        const QString prefix = QFileInfo(home.path()).canonicalFilePath() + QLatin1Char('/');
        const QStringList entries =
            QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        text += QStringLiteral("processes:\n");
        for (const QString &entry : entries) {
            bool numeric = false;
            const qint64 pid = entry.toLongLong(&numeric);
            if (!numeric)
                continue;
            const QStringList status = statusOf(pid);
            const bool ours = status.size() > 1 && status.at(1).toLongLong() == ::getpid();
            const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
            if (!exe.startsWith(prefix) && !(ours && status.at(0) == QLatin1String("Z")))
                continue;
            text += QStringLiteral("  %1 %2 state %3 parent %4 %5\n")
                        .arg(pid)
                        .arg(nameOf(pid), status.value(0), status.value(1), commandLineOf(pid).join(u' '));
            int how = 0;
            if (ours && status.at(0) == QLatin1String("Z") && ::waitpid(pid_t(pid), &how, WNOHANG) == pid) {
                text += WIFSIGNALED(how) ? QStringLiteral("    ended by signal %1\n").arg(WTERMSIG(how))
                                         : QStringLiteral("    exited with %1\n").arg(WEXITSTATUS(how));
            }
        }
        text += QStringLiteral("output of the program, the helper and the restarted program:\n") +
                QString::fromLocal8Bit(testfiles::readFile(home.file(QStringLiteral("output.log"))));
        text += QStringLiteral("windows:\n");
        for (const WindowInfo &w : windows(QStringLiteral("."), 0))
            text +=
                QStringLiteral("  %1 \"%2\"\n").arg(w.id, xdotool({QStringLiteral("getwindowname"), w.id}));
        return text;
    }

    void TearDown() override
    {
        gate.open();
        endProgramsInHome();
    }

    // The programs the test started, directly or through the upgrade (the
    // restarted program and the helper run from the test's own folders).
    void endProgramsInHome()
    {
        const QString prefix = QFileInfo(home.path()).canonicalFilePath() + QLatin1Char('/');
        const QStringList entries =
            QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &entry : entries) {
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

    // The upgrade's windows share one caption; they differ in size.
    WindowInfo waitForUpgradeWindow(int width, qint64 pid)
    {
        WindowInfo found;
        const bool shown = QTest::qWaitFor(
            [&] {
                for (const WindowInfo &w : windows(QStringLiteral("^软件升级精灵$"), pid)) {
                    if (w.geometry.width() == width) {
                        found = w;
                        return true;
                    }
                }
                return false;
            },
            30000);
        return shown ? found : WindowInfo{};
    }

    // Starts the program against the vendor at base.
    std::unique_ptr<QProcess> startAgainst(const QString &program, const QString &base, const QString &temp)
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("VELMORA_VENDOR_URL"), base);
        env.insert(QStringLiteral("TMPDIR"), temp);
        env.insert(QStringLiteral("LANG"), QStringLiteral("zh_CN.UTF-8"));
        env.insert(QStringLiteral("LC_ALL"), QString());
        env.insert(QStringLiteral("LC_MESSAGES"), QString());
        return start(program, env, home.file(QStringLiteral("output.log")));
    }

    // "在线升级", yes to both questions: the wizard (empty when it did not open).
    WindowInfo agreeToUpgrade(qint64 pid)
    {
        const WindowInfo main = waitForWindow(QStringLiteral("^Velmora$"), pid);
        EXPECT_FALSE(main.id.isEmpty()) << "no main window";
        if (main.id.isEmpty())
            return {};
        clickAt(main, QPoint(8 + 120 + 440 + 80, 21 + 72 + 384 + 32));
        const WindowInfo question = waitForWindow(QStringLiteral("^提示$"), pid);
        EXPECT_FALSE(question.id.isEmpty()) << "no question before the check";
        pressReturnIn(question);
        const WindowInfo announce = waitForUpgradeWindow(318, pid);
        EXPECT_FALSE(announce.id.isEmpty()) << "no question window";
        if (announce.id.isEmpty())
            return {};
        clickAt(announce, QPoint(78 + 37, announce.geometry.height() - 45 + 13 + 11));
        const WindowInfo wizard = waitForUpgradeWindow(463, pid);
        EXPECT_FALSE(wizard.id.isEmpty()) << "no wizard";
        return wizard;
    }

    // Runs the program against the vendor at base, agrees to the upgrade
    // and lets the wizard download and finish; returns once the helper has
    // started the program again (its window, empty when it did not).
    WindowInfo upgradeToRestart(const QString &program, const QString &base, const QString &temp,
                                const QString &shotName)
    {
        auto process = startAgainst(program, base, temp);
        const WindowInfo wizard = agreeToUpgrade(process->processId());
        if (wizard.id.isEmpty())
            return {};
        return finishAndRestart(*process, wizard, shotName);
    }

    // Waits for the wizard's final page, presses OK and waits for the
    // program the helper starts again.
    WindowInfo finishAndRestart(QProcess &process, const WindowInfo &wizard, const QString &shotName)
    {
        QImage finalPage;
        const bool finished = QTest::qWaitFor(
            [&] {
                finalPage = capture(wizard);
                return !finalPage.isNull() && unevenShare(finalPage, QRect(136, 162, 319, 67)) == 0;
            },
            60000);
        EXPECT_TRUE(finished) << "no final page";
        keep(finalPage, shotName);
        clickAt(wizard, QPoint(296 + 37, 248 + 12));
        EXPECT_TRUE(process.waitForFinished(30000)) << "the program did not close for the upgrade";
        WindowInfo restarted;
        const bool back = QTest::qWaitFor(
            [&] {
                const QList<WindowInfo> found = windows(QStringLiteral("^Velmora$"), 0);
                if (!found.isEmpty())
                    restarted = found.first();
                return !found.isEmpty();
            },
            90000);
        return back ? restarted : WindowInfo{};
    }

    // Release 1 as the installed program holds it, and release 2 (thirty
    // companies more) published with it as the previous release, so that it
    // carries a delta from it; served by nginx.
    void publishReleaseWithDelta(const QString &folder, bool tamperDelta)
    {
        const QString first = home.file(QStringLiteral("release-1"));
        const QString second = home.file(QStringLiteral("release-2"));
        ASSERT_TRUE(QDir().mkpath(first));
        ASSERT_TRUE(QDir().mkpath(second));
        ASSERT_TRUE(
            QFile::copy(folder + QStringLiteral("dorvak.dat"), first + QStringLiteral("/dorvak.dat")));
        ASSERT_TRUE(
            QFile::copy(folder + QStringLiteral("softup.dll"), first + QStringLiteral("/softup.dll")));
        ASSERT_EQ(QProcess::execute(QStringLiteral(MAKE_DEMO_DB_PATH),
                                    {QStringLiteral("--out"), second + QStringLiteral("/dorvak.dat"),
                                     QStringLiteral("--companies"), QStringLiteral("330")}),
                  0);
        newVersionFile = "[SYS]\r\nUPDATESET=2\r\n";
        QFile version(second + QStringLiteral("/softup.dll"));
        ASSERT_TRUE(version.open(QIODevice::WriteOnly));
        version.write(newVersionFile);
        version.close();
        ASSERT_TRUE(
            nginx.start(home.file(QStringLiteral("nginx")), QStringLiteral("vendor/download"), second));
        const QString expires = QDateTime::currentDateTimeUtc().date().addDays(30).toString(Qt::ISODate);
        const auto sign = [&](const QString &releaseFolder, const QString &number, const QStringList &more) {
            return QProcess::execute(
                QStringLiteral(RELEASE_TOOL_PATH),
                QStringList{QStringLiteral("sign"), QStringLiteral("--folder"), releaseFolder,
                            QStringLiteral("--version"), number, QStringLiteral("--message"),
                            QStringLiteral("新增企业数据三十条。"), QStringLiteral("--base-url"),
                            nginx.url(QStringLiteral("/vendor/download")), QStringLiteral("--expires"),
                            expires, QStringLiteral("--key"), QStringLiteral(DEMO_UPGRADE_KEY)} +
                    more);
        };
        ASSERT_EQ(sign(first, QStringLiteral("1"), {}), 0);
        ASSERT_EQ(sign(second, QStringLiteral("2"), {QStringLiteral("--previous"), first}), 0);
        newDatabase = testfiles::readFile(second + QStringLiteral("/dorvak.dat"));
        deltaFile = second + QStringLiteral("/dorvak.dat.from-1.vdelta");
        ASSERT_TRUE(QFileInfo::exists(deltaFile));
        if (tamperDelta) {
            QFile delta(deltaFile);
            ASSERT_TRUE(delta.open(QIODevice::ReadWrite));
            QByteArray bytes = delta.readAll();
            bytes[bytes.size() - 10] = char(bytes.at(bytes.size() - 10) ^ 0x5a);
            delta.seek(0);
            delta.write(bytes);
        }
    }

    // The new release and the vendor's server offering it; the server goes
    // first, after the gate has let a held transfer go.
    QByteArray newDatabase;
    QByteArray newVersionFile;
    QByteArray newProgram;
    QString info;
    QByteArray signature;
    HalfwayGate gate;
    HttpServer server;
    NginxServer nginx;
    QString deltaFile;
};

} // namespace

TEST_F(UpgradeEndToEndTest, DownloadsTheNewReleaseAndRestartsWithIt)
{
    const QString program = install(QStringLiteral("app"));
    const QString folder = QFileInfo(program).absolutePath() + QLatin1Char('/');
    const QString temp = home.file(QStringLiteral("tmp"));
    ASSERT_TRUE(QDir().mkpath(temp));

    // The new release: another database, a version file saying 2, and the
    // program with bytes of its own appended.
    const QString newDatabasePath = home.file(QStringLiteral("dorvak-2.dat"));
    ASSERT_EQ(QProcess::execute(QStringLiteral(MAKE_DEMO_DB_PATH),
                                {QStringLiteral("--out"), newDatabasePath, QStringLiteral("--companies"),
                                 QStringLiteral("120")}),
              0);
    newDatabase = testfiles::readFile(newDatabasePath);
    newVersionFile = "[SYS]\r\nUPDATESET=2\r\n";
    newProgram = testfiles::readFile(program) + QByteArray("\nrelease 2 of the program\n");
    ASSERT_FALSE(newDatabase.isEmpty());
    ASSERT_NE(newDatabase, testfiles::readFile(folder + QStringLiteral("dorvak.dat")));

    server.bind();
    const QString base = server.url(QStringLiteral("/vendor"));
    // Published as the vendor does: the files in a folder, signed by the
    // release tool with the demo key that the test program trusts.
    const QString release = home.file(QStringLiteral("release"));
    ASSERT_TRUE(QDir().mkpath(release));
    for (const auto &[name, bytes] :
         {std::pair{"dorvak.dat", &newDatabase}, std::pair{"softup.dll", &newVersionFile},
          std::pair{"Dorvak.exe", &newProgram}}) {
        QFile file(release + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(*bytes), bytes->size());
    }
    const QString expires = QDateTime::currentDateTimeUtc().date().addDays(30).toString(Qt::ISODate);
    ASSERT_EQ(
        QProcess::execute(QStringLiteral(RELEASE_TOOL_PATH),
                          {QStringLiteral("sign"), QStringLiteral("--folder"), release,
                           QStringLiteral("--version"), QStringLiteral("2"), QStringLiteral("--message"),
                           QStringLiteral("新增企业数据一百二十条。"), QStringLiteral("--base-url"),
                           base + QStringLiteral("/download"), QStringLiteral("--expires"), expires,
                           QStringLiteral("--key"), QStringLiteral(DEMO_UPGRADE_KEY)}),
        0);
    info = QString::fromUtf8(testfiles::readFile(release + QStringLiteral("/dorvak.inf")));
    signature = testfiles::readFile(release + QStringLiteral("/dorvak.inf.sig"));
    ASSERT_TRUE(info.contains(QStringLiteral("#sha2563=") + sha256(newProgram)));
    server.server.Get("/vendor/download/dorvak.inf",
                      [this](const httplib::Request &, httplib::Response &res) {
                          res.set_content(info.toStdString(), "text/plain");
                      });
    server.server.Get(
        "/vendor/download/dorvak.inf.sig", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(signature.constData(), size_t(signature.size()), "application/octet-stream");
        });
    const auto serve = [this](const char *path, const QByteArray &bytes) {
        server.server.Get(path, [&bytes](const httplib::Request &, httplib::Response &res) {
            res.set_content(bytes.constData(), size_t(bytes.size()), "application/octet-stream");
        });
    };
    serve("/vendor/download/dorvak.dat", newDatabase);
    serve("/vendor/download/softup.dll", newVersionFile);
    // The program comes in pieces and stops halfway until the test has seen the wizard.
    server.server.Get(
        "/vendor/download/Dorvak.exe", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content_provider(size_t(newProgram.size()), "application/octet-stream",
                                     [this](size_t offset, size_t length, httplib::DataSink &sink) {
                                         const size_t half = size_t(newProgram.size()) / 2;
                                         if (offset >= half)
                                             gate.holdHere();
                                         size_t piece = std::min<size_t>(length, 256 * 1024);
                                         if (offset < half)
                                             piece = std::min(piece, half - offset);
                                         return sink.write(newProgram.constData() + offset, piece);
                                     });
        });
    server.start();

    QProcessEnvironment env;
    env.insert(QStringLiteral("VELMORA_VENDOR_URL"), base);
    env.insert(QStringLiteral("TMPDIR"), temp);
    // A Simplified Chinese desktop.
    env.insert(QStringLiteral("LANG"), QStringLiteral("zh_CN.UTF-8"));
    env.insert(QStringLiteral("LC_ALL"), QString());
    env.insert(QStringLiteral("LC_MESSAGES"), QString());
    // The program's output goes to a file rather than to a pipe of this
    // test, which would close once the program ends: the helper and the
    // restarted program write there too.
    auto process = start(program, env, home.file(QStringLiteral("output.log")));
    const qint64 pid = process->processId();

    // "在线升级" on the about page, and yes to the question about the data in use.
    const WindowInfo main = waitForWindow(QStringLiteral("^Velmora$"), pid);
    ASSERT_FALSE(main.id.isEmpty()) << "no main window";
    clickAt(main, QPoint(8 + 120 + 440 + 80, 21 + 72 + 384 + 32));
    const WindowInfo question = waitForWindow(QStringLiteral("^提示$"), pid);
    ASSERT_FALSE(question.id.isEmpty()) << "no question before the check";
    pressReturnIn(question);

    // The question window announces version 2 with the file's message; yes.
    const WindowInfo announce = waitForUpgradeWindow(318, pid);
    ASSERT_FALSE(announce.id.isEmpty()) << "no question window";
    const QImage announceShot = capture(announce);
    keep(announceShot, QStringLiteral("question-window"));
    EXPECT_GT(unevenShare(announceShot, QRect(77, 5, 230, announce.geometry.height() - 55)), 0.02)
        << "the announcement's text";
    clickAt(announce, QPoint(78 + 37, announce.geometry.height() - 45 + 13 + 11));

    // The wizard, halfway through the third file.
    const WindowInfo wizard = waitForUpgradeWindow(463, pid);
    ASSERT_FALSE(wizard.id.isEmpty()) << "no wizard";
    EXPECT_EQ(wizard.geometry.size(), QSize(463, 281));
    EXPECT_TRUE(windowProperty(wizard.id, "_NET_WM_ICON").contains(QStringLiteral("Icon (256 x 256)")))
        << "the program's icon";
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.reached(); }, 60000)) << "the program was never asked for";
    const QRect allFiles(136, 162, 319, 67);
    const QRect currentBar(142, 130, 307, 22);
    QImage downloading;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            // The current file's bar is about half full.
            downloading = capture(wizard);
            return !downloading.isNull() && blueShare(downloading, currentBar) > 0.3;
        },
        10000));
    keep(downloading, QStringLiteral("wizard-downloading"));
    EXPECT_LT(blueShare(downloading, currentBar), 0.7) << "not yet full";
    EXPECT_GT(unevenShare(downloading, allFiles), 0.05) << "the all-files group";
    // The downloads wait in the program folder's private download folder,
    // never beside the program.
    EXPECT_TRUE(QFileInfo::exists(suDownloadPath(folder, sha256(newDatabase))));
    EXPECT_TRUE(QFileInfo::exists(suDownloadPath(folder, sha256(newVersionFile))));
    EXPECT_TRUE(QFileInfo::exists(suPartialDownloadPath(folder, sha256(newProgram))));
    EXPECT_EQ(QFileInfo(suPartialDownloadPath(folder, sha256(newProgram))).permissions(),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.uTMP")}, QDir::Files | QDir::Hidden), QStringList());
    gate.open();

    // The final page: both groups gone, OK restarts the program.
    QImage finalPage;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            finalPage = capture(wizard);
            return !finalPage.isNull() && unevenShare(finalPage, allFiles) == 0;
        },
        30000))
        << "no final page";
    keep(finalPage, QStringLiteral("wizard-final-page"));
    EXPECT_GT(unevenShare(finalPage, QRect(136, 44, 319, 60)), 0.02) << "the note on the final page";
    clickAt(wizard, QPoint(296 + 37, 248 + 12));

    ASSERT_TRUE(process->waitForFinished(30000)) << "the program did not close for the upgrade";
    EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);

    // The helper starts the new program with "/afterupgrade".
    WindowInfo restarted;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QList<WindowInfo> found = windows(QStringLiteral("^Velmora$"), 0);
            if (found.isEmpty())
                return false;
            restarted = found.first();
            return true;
        },
        90000))
        << "the program was not started again\n"
        << upgradeReport(folder, temp).toStdString();
    const qint64 newPid = xdotool({QStringLiteral("getwindowpid"), restarted.id}).toLongLong();
    ASSERT_GT(newPid, 0);
    EXPECT_EQ(commandLineOf(newPid),
              QStringList({QFileInfo(program).canonicalFilePath(), QStringLiteral("/afterupgrade")}));

    // The three files are the new ones, nothing half-done is left, and the
    // helper's folder went when the program started again.
    EXPECT_TRUE(testfiles::readFile(folder + QStringLiteral("dorvak.dat")) == newDatabase) << "the database";
    EXPECT_EQ(testfiles::readFile(folder + QStringLiteral("softup.dll")), newVersionFile);
    EXPECT_TRUE(testfiles::readFile(program) == newProgram) << "the program";
    EXPECT_TRUE(QFileInfo(program).isExecutable());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList({"Dorvak", "dorvak.dat", "dorvak.edits", "softup.dll"}))
        << "the program, its database, the user's profile edits kept beside it, the version file";
    EXPECT_EQ(
        QDir(suDownloadFolder(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList());
    EXPECT_EQ(suReadVersionRecord(folder), QStringLiteral("2")) << "the signed version, recorded";
    EXPECT_EQ(QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());

    // The new version file is read at start: the same offer is no longer newer.
    clickAt(restarted, QPoint(8 + 120 + 440 + 80, 21 + 72 + 384 + 32));
    const WindowInfo again = waitForWindow(QStringLiteral("^提示$"), newPid);
    ASSERT_FALSE(again.id.isEmpty());
    pressReturnIn(again);
    const WindowInfo latest = waitForWindow(QStringLiteral("^软件升级精灵$"), newPid);
    ASSERT_FALSE(latest.id.isEmpty()) << "no message that this is the latest version";
    EXPECT_FALSE(waitForWindow(QStringLiteral("^不需要更新，当前版本是最新的！$"), newPid).id.isEmpty())
        << "the main window's caption";
    pressReturnIn(latest);

    // "×" ends it.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return windows(QStringLiteral("^软件升级精灵$"), newPid).isEmpty(); }, 10000));
    clickAt(restarted, QPoint(788, 10));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !running(newPid); }, 15000));
}

// A user of release 1 upgrades to release 2, which carries a delta from 1:
// nginx sends the small delta and nothing of the database, and the
// database the helper installs is release 2's byte for byte.
TEST_F(UpgradeEndToEndTest, TheDatabaseComesAsADeltaFromThePreviousRelease)
{
    const QString program = install(QStringLiteral("app"));
    const QString folder = QFileInfo(program).absolutePath() + QLatin1Char('/');
    const QString temp = home.file(QStringLiteral("tmp"));
    ASSERT_TRUE(QDir().mkpath(temp));
    publishReleaseWithDelta(folder, false);
    ASSERT_FALSE(HasFatalFailure());

    const WindowInfo restarted = upgradeToRestart(program, nginx.url(QStringLiteral("/vendor")), temp,
                                                  QStringLiteral("delta-final-page"));
    ASSERT_FALSE(restarted.id.isEmpty()) << "the program was not started again\n"
                                         << upgradeReport(folder, temp).toStdString();
    EXPECT_TRUE(testfiles::readFile(folder + QStringLiteral("dorvak.dat")) == newDatabase) << "the database";
    EXPECT_EQ(testfiles::readFile(folder + QStringLiteral("softup.dll")), newVersionFile);
    const qint64 deltaBytes =
        nginx.bytesSent(QStringLiteral("/vendor/download/dorvak.dat.from-1.vdelta"), 200);
    EXPECT_EQ(deltaBytes, QFileInfo(deltaFile).size());
    EXPECT_EQ(nginx.bytesSent(QStringLiteral("/vendor/download/dorvak.dat")), 0)
        << "nothing of the full file";
    EXPECT_LT(deltaBytes * 20, newDatabase.size()) << "far less than the database";
    EXPECT_EQ(
        QDir(suDownloadFolder(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList());
}

// The same upgrade with a delta that was altered on the server: it fails
// its signed hash, and the full database is downloaded instead, without a
// message in between.
TEST_F(UpgradeEndToEndTest, ADeltaThatFailsItsHashGivesWayToTheFullDatabase)
{
    const QString program = install(QStringLiteral("app"));
    const QString folder = QFileInfo(program).absolutePath() + QLatin1Char('/');
    const QString temp = home.file(QStringLiteral("tmp"));
    ASSERT_TRUE(QDir().mkpath(temp));
    publishReleaseWithDelta(folder, true);
    ASSERT_FALSE(HasFatalFailure());

    const WindowInfo restarted = upgradeToRestart(program, nginx.url(QStringLiteral("/vendor")), temp,
                                                  QStringLiteral("delta-fallback-final-page"));
    ASSERT_FALSE(restarted.id.isEmpty()) << "the program was not started again\n"
                                         << upgradeReport(folder, temp).toStdString();
    EXPECT_TRUE(testfiles::readFile(folder + QStringLiteral("dorvak.dat")) == newDatabase) << "the database";
    EXPECT_EQ(nginx.bytesSent(QStringLiteral("/vendor/download/dorvak.dat.from-1.vdelta"), 200),
              QFileInfo(deltaFile).size());
    EXPECT_EQ(nginx.bytesSent(QStringLiteral("/vendor/download/dorvak.dat"), 200), newDatabase.size());
}

// The program is killed halfway through the database (as when the machine
// goes off): the next "在线升级" of the same release continues it. The
// wizard says so and shows what is still to come, nginx sends only the
// missing bytes (a 206 to the Range and If-Range of the first answer), and
// the database installed is the release's.
TEST_F(UpgradeEndToEndTest, AStoppedDownloadIsContinuedByTheNextUpgrade)
{
    const QString program = install(QStringLiteral("app"));
    const QString folder = QFileInfo(program).absolutePath() + QLatin1Char('/');
    const QString temp = home.file(QStringLiteral("tmp"));
    ASSERT_TRUE(QDir().mkpath(temp));
    const QString release = home.file(QStringLiteral("release"));
    ASSERT_TRUE(QDir().mkpath(release));
    ASSERT_EQ(QProcess::execute(QStringLiteral(MAKE_DEMO_DB_PATH),
                                {QStringLiteral("--out"), release + QStringLiteral("/dorvak.dat"),
                                 QStringLiteral("--companies"), QStringLiteral("330")}),
              0);
    newDatabase = testfiles::readFile(release + QStringLiteral("/dorvak.dat"));
    // Slow enough to be stopped halfway and looked at.
    ASSERT_TRUE(nginx.start(home.file(QStringLiteral("nginx")), QStringLiteral("vendor/download"), release,
                            QStringLiteral("limit_rate 1m;")));
    const QString expires = QDateTime::currentDateTimeUtc().date().addDays(30).toString(Qt::ISODate);
    ASSERT_EQ(
        QProcess::execute(QStringLiteral(RELEASE_TOOL_PATH),
                          {QStringLiteral("sign"), QStringLiteral("--folder"), release,
                           QStringLiteral("--version"), QStringLiteral("2"), QStringLiteral("--message"),
                           QStringLiteral("新增企业数据三十条。"), QStringLiteral("--base-url"),
                           nginx.url(QStringLiteral("/vendor/download")), QStringLiteral("--expires"),
                           expires, QStringLiteral("--key"), QStringLiteral(DEMO_UPGRADE_KEY)}),
        0);
    const QString part = suPartialDownloadPath(folder, sha256(newDatabase));
    const QString base = nginx.url(QStringLiteral("/vendor"));

    {
        auto process = startAgainst(program, base, temp);
        ASSERT_FALSE(agreeToUpgrade(process->processId()).id.isEmpty());
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(part).size() > newDatabase.size() / 4; }, 30000));
        process->kill();
        ASSERT_TRUE(process->waitForFinished(10000));
    }
    const qint64 kept = QFileInfo(part).size();
    ASSERT_GT(kept, 0);
    ASSERT_LT(kept, newDatabase.size());
    EXPECT_TRUE(testfiles::readFile(part) == newDatabase.left(kept)) << "what arrived is kept";

    auto process = startAgainst(program, base, temp);
    const WindowInfo wizard = agreeToUpgrade(process->processId());
    ASSERT_FALSE(wizard.id.isEmpty());
    const QImage resuming = capture(wizard);
    keep(resuming, QStringLiteral("wizard-resuming"));
    EXPECT_GT(unevenShare(resuming, QRect(136, 10, 200, 24)), 0.02) << "the title";
    const WindowInfo restarted = finishAndRestart(*process, wizard, QStringLiteral("resumed-final-page"));
    ASSERT_FALSE(restarted.id.isEmpty()) << "the program was not started again\n"
                                         << upgradeReport(folder, temp).toStdString();
    EXPECT_TRUE(testfiles::readFile(folder + QStringLiteral("dorvak.dat")) == newDatabase) << "the database";
    EXPECT_EQ(nginx.bytesSent(QStringLiteral("/vendor/download/dorvak.dat"), 206), newDatabase.size() - kept)
        << "only the missing bytes";
    QStringList statuses;
    for (const QStringList &request : nginx.requests()) {
        if (request.at(1) == QStringLiteral("/vendor/download/dorvak.dat"))
            statuses << request.at(2);
    }
    EXPECT_EQ(statuses, QStringList({"200", "206"}));
}
