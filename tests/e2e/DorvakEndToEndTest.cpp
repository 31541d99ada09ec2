// Starts the real program beside a demo database under a virtual X server
// and checks what a user sees.

#include "XwdImage.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct WindowInfo
{
    QString id;
    QRect geometry;
};

// A virtual X server for the test, on a display number it picks itself.
class VirtualDisplay
{
public:
    VirtualDisplay()
    {
        m_server.start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp")});
        QByteArray out;
        while (!out.contains('\n') && m_server.waitForReadyRead(10000))
            out += m_server.readAllStandardOutput();
        const QString number = QString::fromLatin1(out).trimmed();
        if (!number.isEmpty())
            m_display = QLatin1Char(':') + number;
    }
    ~VirtualDisplay()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }
    QString name() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};

class DorvakEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";
        ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("runtime")));
        ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("elsewhere")));
        QFile::setPermissions(home.file(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A folder holding a copy of the program and a demo database.
    QString install(const QString &name, const QString &password = {})
    {
        const QString folder = home.file(name);
        EXPECT_TRUE(QDir().mkpath(folder));
        EXPECT_TRUE(QFile::copy(QStringLiteral(DORVAK_PATH), folder + QStringLiteral("/Dorvak")));
        QStringList args{QStringLiteral("--out"), folder + QStringLiteral("/dorvak.dat"),
                         QStringLiteral("--companies"), QStringLiteral("300")};
        if (!password.isEmpty())
            args << QStringLiteral("--password") << password;
        EXPECT_EQ(QProcess::execute(QStringLiteral(MAKE_DEMO_DB_PATH), args), 0);
        return folder + QStringLiteral("/Dorvak");
    }

    std::unique_ptr<QProcess> start(const QString &program)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display.name());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.file(QStringLiteral("runtime")));
        process->setProcessEnvironment(env);
        process->setWorkingDirectory(home.file(QStringLiteral("elsewhere")));
        process->start(program, {});
        EXPECT_TRUE(process->waitForStarted());
        return process;
    }

    QString xdotool(const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display.name());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("xdotool"), args);
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

    // The visible windows of a process whose title matches the pattern.
    QList<WindowInfo> windows(const QString &titlePattern, qint64 pid)
    {
        QList<WindowInfo> found;
        const QString ids =
            xdotool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--name"), titlePattern});
        for (const QString &id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString shell =
                xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id});
            auto value = [&](const char *key) {
                const auto m =
                    QRegularExpression(QLatin1String(key) + QStringLiteral("=(-?\\d+)")).match(shell);
                return m.hasMatch() ? m.captured(1).toInt() : -1;
            };
            found.append({id, QRect(value("X"), value("Y"), value("WIDTH"), value("HEIGHT"))});
        }
        return found;
    }

    WindowInfo waitForWindow(const QString &titlePattern, qint64 pid)
    {
        QList<WindowInfo> found;
        if (!QTest::qWaitFor([&] { return !(found = windows(titlePattern, pid)).isEmpty(); }, 30000))
            return {};
        return found.isEmpty() ? WindowInfo{} : found.first();
    }

    QImage capture(const WindowInfo &window)
    {
        QProcess p;
        p.start(QStringLiteral("xwd"), {QStringLiteral("-silent"), QStringLiteral("-display"), display.name(),
                                        QStringLiteral("-id"), window.id});
        p.waitForFinished(10000);
        return readXwd(p.readAllStandardOutput());
    }

    void pressReturnIn(const WindowInfo &window)
    {
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window.id});
        xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    }

    VirtualDisplay display;
    TempDir home;
};

// Share of pixel rows in the area that hold dark (text) pixels.
double textRowShare(const QImage &image, const QRect &area)
{
    int rowsWithText = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 110) {
                ++rowsWithText;
                break;
            }
        }
    }
    return double(rowsWithText) / area.height();
}

} // namespace

TEST_F(DorvakEndToEndTest, ShowsTheCompanyListAndRefusesASecondCopy)
{
    const QString program = install(QStringLiteral("app"));
    auto first = start(program);
    const WindowInfo main = waitForWindow(QStringLiteral("^Velmora$"), first->processId());
    ASSERT_FALSE(main.id.isEmpty()) << "no main window";
    EXPECT_EQ(main.geometry.size(), QSize(800, 600));

    // The grid (right of the tree) is filled with rows of text.
    QImage shot;
    const bool painted = QTest::qWaitFor(
        [&] {
            shot = capture(main);
            return !shot.isNull() && textRowShare(shot, QRect(300, 120, 480, 400)) > 0.4;
        },
        10000);
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(painted);
    EXPECT_GT(textRowShare(shot, QRect(300, 120, 480, 400)), 0.4);

    // A second copy shows its notice and ends; the first keeps running.
    auto second = start(program);
    const WindowInfo notice = waitForWindow(QStringLiteral("^提示$"), second->processId());
    ASSERT_FALSE(notice.id.isEmpty()) << "no notice from the second copy";
    EXPECT_LT(notice.geometry.width(), 800);
    EXPECT_TRUE(windows(QStringLiteral("^Velmora$"), second->processId()).isEmpty());
    pressReturnIn(notice);
    ASSERT_TRUE(second->waitForFinished(15000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_FALSE(windows(QStringLiteral("^Velmora$"), first->processId()).isEmpty());

    first->terminate();
    first->waitForFinished(10000);
}

TEST_F(DorvakEndToEndTest, DatabaseWithAnotherPasswordIsRefusedWithoutAMainWindow)
{
    const QString program = install(QStringLiteral("bad"), QStringLiteral("not the password"));
    auto process = start(program);
    const WindowInfo box = waitForWindow(QStringLiteral("^Velmora$"), process->processId());
    ASSERT_FALSE(box.id.isEmpty()) << "no message";
    EXPECT_LT(box.geometry.width(), 800) << "the message box, not the main window";
    EXPECT_LT(box.geometry.height(), 300);
    pressReturnIn(box);
    ASSERT_TRUE(process->waitForFinished(15000));
    EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process->exitCode(), 0);
}
