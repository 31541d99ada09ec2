#include "platform/ui/WindowState.h"

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <QFile>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using platform::WindowState;

namespace {

class WindowStateTest : public ::testing::Test
{
protected:
    TempDir dir;
    ScopedEnv config{"XDG_CONFIG_HOME", dir.file(QStringLiteral("config")).toLocal8Bit()};
};

} // namespace

// The size, the maximised state and (where the platform honours it) the
// place come back at the next start, from the user's configuration folder.
TEST_F(WindowStateTest, SizeStateAndPlaceComeBack)
{
    EXPECT_TRUE(WindowState::fileName().startsWith(dir.file(QStringLiteral("config"))));
    {
        QWidget window;
        window.setMinimumSize(400, 300);
        window.setGeometry(40, 30, 700, 500);
        WindowState::save(&window, QStringLiteral("Main"));
    }
    ASSERT_TRUE(QFile::exists(WindowState::fileName()));
    QWidget again;
    again.setMinimumSize(400, 300);
    ASSERT_TRUE(WindowState::restore(&again, QStringLiteral("Main")));
    EXPECT_EQ(again.geometry(), QRect(40, 30, 700, 500));
    EXPECT_FALSE(again.windowState() & Qt::WindowMaximized);

    QWidget other;
    EXPECT_FALSE(WindowState::restore(&other, QStringLiteral("Other"))) << "nothing kept under another key";
}

// A maximised window keeps the size it had before and comes back maximised;
// a size kept larger than the screen, or smaller than the least, is brought
// within them.
TEST_F(WindowStateTest, MaximisedAndOutOfBoundsSizes)
{
    {
        QWidget window;
        window.setMinimumSize(400, 300);
        window.setGeometry(100, 100, 600, 450);
        window.showMaximized();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(window.isMaximized());
        WindowState::save(&window, QStringLiteral("Main"));
    }
    QWidget again;
    again.setMinimumSize(400, 300);
    ASSERT_TRUE(WindowState::restore(&again, QStringLiteral("Main")));
    EXPECT_TRUE(again.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(again.size(), QSize(600, 450)) << "the size to restore to";

    QSettings settings(WindowState::fileName(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("Main/size"), QSize(9000, 100));
    settings.setValue(QStringLiteral("Main/maximized"), false);
    settings.sync();
    QWidget bounded;
    bounded.setMinimumSize(400, 300);
    ASSERT_TRUE(WindowState::restore(&bounded, QStringLiteral("Main")));
    const QSize screen = bounded.screen()->availableGeometry().size();
    EXPECT_EQ(bounded.size(), QSize(screen.width(), 300));
}
