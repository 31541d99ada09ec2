#pragma once

// A headless Wayland desktop for the end-to-end tests: sway from Debian with
// its headless backend and the pixman renderer, a virtual pointer, screenshots
// with grim. sway refuses to run as root ("Unable to drop root"), and CI runs
// as root: there the session runs as an unprivileged user made for it
// (velmora-wayland, made once with useradd), which owns the test's home; the
// program under test runs as that user too, as it would on a desktop.

#include "support/TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRect>
#include <QTest>

#include <memory>
#include <unistd.h>

struct WaylandWindow
{
    QString title;
    qint64 pid = 0;
    QRect rect;
    bool focused = false;
};

class WaylandSession
{
public:
    static constexpr const char *kUser = "velmora-wayland";
    static constexpr QSize kScreen{1024, 768};

    // Starts sway on a home folder of the session's own; ok() tells whether it came up.
    WaylandSession()
    {
        m_runtime = m_home.file(QStringLiteral("runtime"));
        QDir().mkpath(m_runtime);
        QFile::setPermissions(m_runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile config(m_home.file(QStringLiteral("sway.conf")));
        config.open(QIODevice::WriteOnly);
        config.write(QStringLiteral("output HEADLESS-1 mode %1x%2\n"
                                    "output HEADLESS-1 background #406080 solid_color\n"
                                    // Windows float as on a stacking desktop, at the size they ask for.
                                    "for_window [app_id=\".*\"] floating enable\n"
                                    "focus_on_window_activation focus\n"
                                    "xwayland disable\n")
                         .arg(kScreen.width())
                         .arg(kScreen.height())
                         .toUtf8());
        config.close();
        if (geteuid() == 0 && !dropToUser())
            return;
        QProcessEnvironment env = baseEnvironment();
        env.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
        env.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
        env.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
        m_sway.setProcessEnvironment(env);
        m_sway.setProcessChannelMode(QProcess::MergedChannels);
        m_sway.setStandardOutputFile(m_home.file(QStringLiteral("sway.log")));
        startAsUser(m_sway, QStringLiteral("sway"), {QStringLiteral("-c"), config.fileName()});
        m_ok =
            m_sway.waitForStarted() && QTest::qWaitFor(
                                           [this] {
                                               return !ipcSocket().isEmpty() &&
                                                      QFile::exists(m_runtime + QStringLiteral("/wayland-1"));
                                           },
                                           20000);
    }
    ~WaylandSession()
    {
        if (m_pointer.state() != QProcess::NotRunning) {
            m_pointer.closeWriteChannel();
            m_pointer.waitForFinished(5000);
        }
        m_sway.terminate();
        m_sway.waitForFinished(10000);
    }

    bool ok() const { return m_ok; }
    QString home() const { return m_home.path(); }
    QString file(const QString &name) const { return m_home.file(name); }
    QString log() const
    {
        QFile f(m_home.file(QStringLiteral("sway.log")));
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

    // What a program of the session sees: its home, runtime folder and display.
    QProcessEnvironment baseEnvironment() const
    {
        // The test's own environment (a sanitizer's options among it), less its display.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS", "SWAYSOCK"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.file(QStringLiteral("config")));
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-1"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        return env;
    }

    // Starts a program of the session as its user.
    void startAsUser(QProcess &process, const QString &program, const QStringList &args)
    {
        process.setWorkingDirectory(m_home.path());
        if (m_uid < 0) {
            process.start(program, args);
            return;
        }
        process.start(QStringLiteral("setpriv"),
                      QStringList{QStringLiteral("--reuid=%1").arg(m_uid),
                                  QStringLiteral("--regid=%1").arg(m_gid), QStringLiteral("--clear-groups"),
                                  QStringLiteral("--"), program} +
                          args);
    }
    // Makes a file or folder of the test the session user's.
    void hand(const QString &path)
    {
        if (m_uid < 0)
            return;
        QProcess::execute(QStringLiteral("chown"),
                          {QStringLiteral("-R"), QStringLiteral("%1:%2").arg(m_uid).arg(m_gid), path});
    }

    QString swaymsg(const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = baseEnvironment();
        env.insert(QStringLiteral("SWAYSOCK"), ipcSocket());
        p.setProcessEnvironment(env);
        startAsUser(p, QStringLiteral("swaymsg"), args);
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    // The windows sway shows, with their titles, processes and places.
    QList<WaylandWindow> windows()
    {
        QList<WaylandWindow> found;
        const QJsonObject tree =
            QJsonDocument::fromJson(
                swaymsg({QStringLiteral("-t"), QStringLiteral("get_tree"), QStringLiteral("-r")}).toUtf8())
                .object();
        collect(tree, found);
        return found;
    }
    WaylandWindow waitForWindow(const QString &title, qint64 pid)
    {
        WaylandWindow window;
        (void)QTest::qWaitFor(
            [&] {
                for (const WaylandWindow &w : windows())
                    if (w.title == title && (pid == 0 || w.pid == pid)) {
                        window = w;
                        return true;
                    }
                return false;
            },
            30000);
        return window;
    }

    // The virtual pointer: "at X Y", "move DX DY", "press", "release".
    bool pointer(const QString &command)
    {
        if (m_pointer.state() == QProcess::NotRunning) {
            m_pointer.setProcessEnvironment(baseEnvironment());
            startAsUser(m_pointer, QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral(E2E_SOURCE_DIR "/wayland_pointer.py")});
            if (!m_pointer.waitForStarted() || !answered())
                return false;
        }
        m_pointer.write(command.toUtf8() + '\n');
        return answered();
    }
    bool pointerAt(const QPoint &p)
    {
        return pointer(QStringLiteral("at %1 %2 %3 %4")
                           .arg(p.x())
                           .arg(p.y())
                           .arg(kScreen.width())
                           .arg(kScreen.height()));
    }

    QImage screenshot()
    {
        const QString file = m_home.file(QStringLiteral("screen.png"));
        QFile::remove(file);
        QProcess grim;
        grim.setProcessEnvironment(baseEnvironment());
        startAsUser(grim, QStringLiteral("grim"), {file});
        grim.waitForFinished(10000);
        return QImage(file).convertToFormat(QImage::Format_RGB32);
    }

private:
    bool dropToUser()
    {
        const QString user = QString::fromLatin1(kUser);
        QProcess known;
        known.start(QStringLiteral("id"), {QStringLiteral("-u"), user});
        known.waitForFinished(5000);
        if (known.exitCode() != 0)
            QProcess::execute(QStringLiteral("useradd"),
                              {QStringLiteral("--system"), QStringLiteral("--no-create-home"),
                               QStringLiteral("--home-dir"), QStringLiteral("/nonexistent"),
                               QStringLiteral("--shell"), QStringLiteral("/usr/sbin/nologin"), user});
        auto idOf = [&](const char *flag) {
            QProcess id;
            id.start(QStringLiteral("id"), {QLatin1String(flag), user});
            id.waitForFinished(5000);
            bool ok = false;
            const int value = QString::fromLatin1(id.readAllStandardOutput()).trimmed().toInt(&ok);
            return ok ? value : -1;
        };
        m_uid = idOf("-u");
        m_gid = idOf("-g");
        if (m_uid < 0 || m_gid < 0)
            return false;
        // The temporary folder's parent is root's; the user needs to pass through it.
        QFile::setPermissions(m_home.path(),
                              QFile::permissions(m_home.path()) | QFile::ExeOther | QFile::ExeGroup);
        hand(m_home.path());
        return true;
    }

    QString ipcSocket() const
    {
        QDirIterator it(m_runtime, {QStringLiteral("sway-ipc.*.sock")}, QDir::System);
        return it.hasNext() ? it.next() : QString();
    }

    bool answered()
    {
        while (!m_pointer.canReadLine())
            if (!m_pointer.waitForReadyRead(10000))
                return false;
        return m_pointer.readLine().trimmed() == "ok";
    }

    static void collect(const QJsonObject &node, QList<WaylandWindow> &found)
    {
        const QString type = node.value(QStringLiteral("type")).toString();
        if ((type == QLatin1String("con") || type == QLatin1String("floating_con")) &&
            node.contains(QStringLiteral("pid"))) {
            const QJsonObject r = node.value(QStringLiteral("rect")).toObject();
            found.append(
                {node.value(QStringLiteral("name")).toString(),
                 qint64(node.value(QStringLiteral("pid")).toDouble()),
                 QRect(r.value(QStringLiteral("x")).toInt(), r.value(QStringLiteral("y")).toInt(),
                       r.value(QStringLiteral("width")).toInt(), r.value(QStringLiteral("height")).toInt()),
                 node.value(QStringLiteral("focused")).toBool()});
        }
        for (const char *key : {"nodes", "floating_nodes"})
            for (const QJsonValue &child : node.value(QLatin1String(key)).toArray())
                collect(child.toObject(), found);
    }

    TempDir m_home;
    QString m_runtime;
    int m_uid = -1;
    int m_gid = -1;
    bool m_ok = false;
    QProcess m_sway;
    QProcess m_pointer;
};
