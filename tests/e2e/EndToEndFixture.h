#pragma once

// The real program under a virtual X server of the test's own, in a home
// folder of the test's own, driven with xdotool.

#include "XwdImage.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// The share of the area's pixels that differ from its first one.
inline double unevenShare(const QImage &image, const QRect &area)
{
    const QRgb ground = image.pixel(area.topLeft());
    int other = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            other += image.pixel(x, y) != ground;
    return double(other) / (area.width() * area.height());
}

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
        // A bare X server resets itself whenever its last client goes, and
        // refuses connections while it does. A desktop's server never does
        // that while the desktop runs; here a program started just after
        // the last one ended (the upgrade's restart) would meet the reset
        // and fail to open the display.
        m_server.start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp"), QStringLiteral("-noreset")});
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

class EndToEndFixture : public ::testing::Test
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

    // A folder holding a copy of the program (the test program that trusts
    // the demo key, or another build of it), its version file and a demo
    // database.
    QString install(const QString &name, const QString &password = {},
                    const QString &programBuild = QStringLiteral(DORVAK_PATH))
    {
        const QString folder = home.file(name);
        EXPECT_TRUE(QDir().mkpath(folder));
        EXPECT_TRUE(QFile::copy(programBuild, folder + QStringLiteral("/Dorvak")));
        const QString versionFile =
            QFileInfo(QStringLiteral(VENDOR_DORVAK_PATH)).absolutePath() + QStringLiteral("/softup.dll");
        EXPECT_TRUE(QFile::copy(versionFile, folder + QStringLiteral("/softup.dll")));
        QStringList args{QStringLiteral("--out"), folder + QStringLiteral("/dorvak.dat"),
                         QStringLiteral("--companies"), QStringLiteral("300")};
        if (!password.isEmpty())
            args << QStringLiteral("--password") << password;
        EXPECT_EQ(QProcess::execute(QStringLiteral(MAKE_DEMO_DB_PATH), args), 0);
        return folder + QStringLiteral("/Dorvak");
    }

    // Starts the program; with outputFile, what it and the programs it
    // starts write to their standard output and error goes there.
    std::unique_ptr<QProcess> start(const QString &program,
                                    const QProcessEnvironment &extra = QProcessEnvironment(),
                                    const QString &outputFile = QString())
    {
        auto process = std::make_unique<QProcess>();
        if (!outputFile.isEmpty()) {
            process->setProcessChannelMode(QProcess::MergedChannels);
            process->setStandardOutputFile(outputFile);
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(extra);
        env.insert(QStringLiteral("DISPLAY"), display.name());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.file(QStringLiteral("runtime")));
        // The window state the program keeps stays in the test's home.
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.file(QStringLiteral("config")));
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

    // The visible windows whose title matches the pattern, of one process
    // (pid) or of any (pid 0). Titles are compared as the window's UTF-8
    // name: xdotool's own name search reads the legacy name property, which
    // holds a Chinese title correctly only where the program's locale is
    // installed.
    QList<WindowInfo> windows(const QString &titlePattern, qint64 pid)
    {
        QList<WindowInfo> found;
        QStringList search{QStringLiteral("search"), QStringLiteral("--all"),
                           QStringLiteral("--onlyvisible")};
        if (pid != 0)
            search << QStringLiteral("--pid") << QString::number(pid);
        search << QStringLiteral("--name") << QStringLiteral(".*");
        const QRegularExpression title(titlePattern);
        for (const QString &id : xdotool(search).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (!title.match(xdotool({QStringLiteral("getwindowname"), id})).hasMatch())
                continue;
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

    // Waits until the program has passed its splash and shows its main window.
    bool waitForMainWindowAfterSplash(qint64 pid)
    {
        return QTest::qWaitFor(
            [&] {
                return windows(QStringLiteral("^Kestrune-->Velmora$"), pid).isEmpty() &&
                       !windows(QStringLiteral("^Velmora$"), pid).isEmpty();
            },
            30000);
    }

    // Starts openbox on the test's display and waits until it manages the screen.
    bool startWindowManager(QProcess &manager)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display.name());
        manager.setProcessEnvironment(env);
        manager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        if (!manager.waitForStarted())
            return false;
        return QTest::qWaitFor(
            [&] {
                return windowProperty(QStringLiteral("-root"), "_NET_SUPPORTING_WM_CHECK")
                    .contains("window id");
            },
            30000);
    }

    // The whole screen, pop-up lists and all.
    QImage captureScreen()
    {
        QProcess p;
        p.start(QStringLiteral("xwd"), {QStringLiteral("-silent"), QStringLiteral("-display"), display.name(),
                                        QStringLiteral("-root")});
        p.waitForFinished(10000);
        return readXwd(p.readAllStandardOutput());
    }

    // The screen as it shows, the inside of windows of another depth too,
    // which xwd's picture of the root window leaves black.
    QImage captureComposedScreen()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display.name());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("import"),
                {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")});
        p.waitForFinished(10000);
        return QImage::fromData(p.readAllStandardOutput(), "PNG").convertToFormat(QImage::Format_RGB32);
    }

    QImage capture(const WindowInfo &window)
    {
        QProcess p;
        p.start(QStringLiteral("xwd"), {QStringLiteral("-silent"), QStringLiteral("-display"), display.name(),
                                        QStringLiteral("-id"), window.id});
        p.waitForFinished(10000);
        return readXwd(p.readAllStandardOutput());
    }

    // What xprop says of one property of a window (an id, or "-root"); xprop
    // reads a megabyte of it, where all the icons fit.
    QString windowProperty(const QString &window, const char *name)
    {
        QProcess xprop;
        QStringList args{QStringLiteral("-display"), display.name(), QStringLiteral("-len"),
                         QStringLiteral("1048576")};
        if (window == QStringLiteral("-root"))
            args << window;
        else
            args << QStringLiteral("-id") << window;
        xprop.start(QStringLiteral("xprop"), args << QLatin1String(name));
        xprop.waitForFinished(10000);
        return QString::fromLatin1(xprop.readAllStandardOutput()).trimmed();
    }
    // Clicks at a point of a window (window coordinates) with a mouse button.
    void clickAt(const WindowInfo &window, const QPoint &at, int button = 1)
    {
        const QPoint p = window.geometry.topLeft() + at;
        xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y()),
                 QStringLiteral("click"), QString::number(button)});
    }

    void pressReturnIn(const WindowInfo &window)
    {
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window.id});
        xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    }

    VirtualDisplay display;
    TempDir home;
};
