// The real program as a screen reader meets it: over AT-SPI, on a session
// bus and an accessibility bus of the test's own, under Xvfb.

#include "EndToEndFixture.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A D-Bus session bus of the test's own; its address once it listens.
class SessionBus
{
public:
    SessionBus()
    {
        m_daemon.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        QByteArray out;
        while (!out.contains('\n') && m_daemon.waitForReadyRead(10000))
            out += m_daemon.readAllStandardOutput();
        m_address = QString::fromUtf8(out).trimmed();
    }
    ~SessionBus()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished(5000);
    }
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

class AccessibilityEndToEndTest : public EndToEndFixture
{
protected:
    void TearDown() override
    {
        launcher.terminate();
        if (!launcher.waitForFinished(5000))
            launcher.kill();
    }

    QProcessEnvironment busEnvironment() const
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
        env.insert(QStringLiteral("DISPLAY"), display.name());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.file(QStringLiteral("runtime")));
        env.insert(QStringLiteral("HOME"), home.path());
        return env;
    }

    SessionBus bus;
    QProcess launcher;
};

} // namespace

// Every side-bar button is found by its name and pressing it through its
// action shows its panel, as Orca would do it.
TEST_F(AccessibilityEndToEndTest, SideBarButtonsArePressedThroughAtSpi)
{
    ASSERT_FALSE(bus.address().isEmpty()) << "no session bus";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(busEnvironment());

    // The accessibility bus, which the program and the reader both ask the
    // session bus for.
    launcher.setProcessEnvironment(env);
    launcher.start(QStringLiteral("/usr/libexec/at-spi-bus-launcher"),
                   {QStringLiteral("--launch-immediately")});
    ASSERT_TRUE(launcher.waitForStarted()) << "at-spi-bus-launcher is missing";

    const QString installed = install(QStringLiteral("app"));
    QProcessEnvironment programEnv = busEnvironment();
    programEnv.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    programEnv.insert(QStringLiteral("QT_ACCESSIBILITY"), QStringLiteral("1"));
    auto process = start(installed, programEnv);
    ASSERT_TRUE(waitForMainWindowAfterSplash(process->processId()));

    QProcess reader;
    reader.setProcessEnvironment(env);
    reader.setProcessChannelMode(QProcess::MergedChannels);
    reader.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(E2E_SOURCE_DIR "/atspi_side_bar.py"), QStringLiteral("Velmora")});
    ASSERT_TRUE(reader.waitForStarted());
    ASSERT_TRUE(reader.waitForFinished(120000));
    const QString said = QString::fromUtf8(reader.readAll());
    EXPECT_EQ(reader.exitCode(), 0) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("side-bar buttons pressed through AT-SPI: 7 of 7")))
        << said.toStdString();

    process->terminate();
    process->waitForFinished(10000);
}
