#include "query/ToolTitleStrip.h"

#include "platform/ui/WindowDrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

TEST(ToolTitleStrip, DrawsTheTitleStripWithTheCloseButtonAtTheRight)
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.resize(300, 100);
    auto *strip = new ToolTitleStrip(QStringLiteral("企业信息"), &window);
    strip->setGeometry(0, 0, 300, ToolTitleStrip::kHeight);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_EQ(strip->height(), 22);
    QToolButton *close = strip->closeButton();
    EXPECT_EQ(close->text(), QStringLiteral("×"));
    EXPECT_EQ(close->size(), QSize(15, 15));
    EXPECT_EQ(close->focusPolicy(), Qt::NoFocus);
    EXPECT_GT(close->x(), 270);
    EXPECT_LE(close->geometry().right(), 299);
    EXPECT_LE(close->geometry().bottom(), 20);

    // The title is white on the strip; the line under it closes the strip.
    const QImage image = strip->grab().toImage();
    bool white = false;
    for (int x = 6; x < 60 && !white; ++x)
        for (int y = 2; y < 19 && !white; ++y)
            white = image.pixelColor(x, y) == QColor(Qt::white);
    EXPECT_TRUE(white);
    EXPECT_EQ(image.pixelColor(150, 21), QColor(128, 128, 128));

    // A press on the strip is reported to the window; one on "×" is not.
    QSignalSpy pressed(strip, &ToolTitleStrip::pressed);
    QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(100, 10));
    QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(100, 10));
    QSignalSpy clicked(close, &QToolButton::clicked);
    QTest::mouseClick(close, Qt::LeftButton);
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(pressed.first().first().value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(pressed.first().at(1).toPointF(), QPointF(strip->mapToGlobal(QPoint(100, 10))));
    EXPECT_EQ(clicked.count(), 1);

    EXPECT_FALSE(ToolTitleStrip::moveWindow(nullptr, Qt::LeftButton, QPointF()));
}

namespace {

void sendMouse(QWidget *target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
               const QPointF &global)
{
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

// Without a window manager taking the move, the window follows the pointer
// for whichever button was pressed, and stops on that button's release.
TEST(ToolTitleStrip, DragFollowsThePressedButtonUntilItIsReleased)
{
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        QWidget window(nullptr, Qt::FramelessWindowHint);
        window.setGeometry(100, 100, 300, 100);
        auto *strip = new ToolTitleStrip(QStringLiteral("快速查询"), &window);
        strip->setGeometry(0, 0, 300, ToolTitleStrip::kHeight);
        QObject::connect(strip, &ToolTitleStrip::pressed, &window, [&window](Qt::MouseButton b, QPointF at) {
            ToolTitleStrip::moveWindow(&window, b, at);
        });
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const QPoint start = window.pos();
        const QPointF grip = strip->mapToGlobal(QPointF(120, 10));

        sendMouse(strip, QEvent::MouseButtonPress, button, button, grip);
        EXPECT_TRUE(platform::windowDragRunning()) << button;
        sendMouse(strip, QEvent::MouseMove, Qt::NoButton, button, grip + QPointF(40, 25));
        EXPECT_EQ(window.pos(), start + QPoint(40, 25)) << button;
        sendMouse(strip, QEvent::MouseMove, Qt::NoButton, button, grip + QPointF(-10, 5));
        EXPECT_EQ(window.pos(), start + QPoint(-10, 5)) << button;
        // Another button's release does not end the drag.
        const Qt::MouseButton other = button == Qt::LeftButton ? Qt::RightButton : Qt::LeftButton;
        sendMouse(strip, QEvent::MouseButtonRelease, other, button, grip + QPointF(-10, 5));
        EXPECT_TRUE(platform::windowDragRunning()) << button;
        sendMouse(strip, QEvent::MouseButtonRelease, button, Qt::NoButton, grip + QPointF(-10, 5));
        EXPECT_FALSE(platform::windowDragRunning()) << button;
        // The window stays put once the button is up.
        sendMouse(strip, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, grip + QPointF(90, 90));
        EXPECT_EQ(window.pos(), start + QPoint(-10, 5)) << button;
    }
}

// A click or a double-click on the strip moves nothing: the window waits
// until the pointer has gone the drag distance with the button held, then
// takes the whole distance dragged.
TEST(ToolTitleStrip, NothingMovesBeforeTheDragDistance)
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setGeometry(100, 100, 300, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint start = window.pos();
    const QPointF grip = window.mapToGlobal(QPointF(120, 10));
    const int near = QApplication::startDragDistance() - 1;

    ASSERT_TRUE(ToolTitleStrip::moveWindow(&window, Qt::LeftButton, grip));
    sendMouse(&window, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, grip + QPointF(near, 0));
    EXPECT_EQ(window.pos(), start);
    sendMouse(&window, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, grip + QPointF(near, 0));
    EXPECT_FALSE(platform::windowDragRunning());
    EXPECT_EQ(window.pos(), start);

    ASSERT_TRUE(ToolTitleStrip::moveWindow(&window, Qt::LeftButton, grip));
    sendMouse(&window, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, grip + QPointF(0, near + 1));
    EXPECT_EQ(window.pos(), start + QPoint(0, near + 1));
    sendMouse(&window, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, grip + QPointF(70, 40));
    sendMouse(&window, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, grip + QPointF(70, 40));
    EXPECT_EQ(window.pos(), start + QPoint(70, 40));
}

// A release that went elsewhere ends the drag at the next move without the button.
TEST(ToolTitleStrip, LostReleaseEndsTheDrag)
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setGeometry(50, 60, 200, 80);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPointF grip = window.mapToGlobal(QPointF(20, 10));
    ASSERT_TRUE(ToolTitleStrip::moveWindow(&window, Qt::RightButton, grip));
    sendMouse(&window, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, grip + QPointF(30, 30));
    EXPECT_FALSE(platform::windowDragRunning());
    EXPECT_EQ(window.pos(), QPoint(50, 60));
}

TEST(ToolTitleStrip, ToolWindowsOpenCentredOnTheirOwnerAndOnScreen)
{
    QWidget owner;
    owner.setGeometry(200, 150, 600, 400);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    QWidget tool(&owner, Qt::Tool | Qt::FramelessWindowHint);
    tool.resize(300, 100);
    ToolTitleStrip::placeOverOwner(&tool);
    EXPECT_EQ(tool.frameGeometry().center(), owner.frameGeometry().center());

    // An owner dragged mostly off the screen: the tool window stays wholly on it.
    const QRect screen = owner.screen()->availableGeometry();
    owner.move(screen.right() - 100, screen.bottom() - 50);
    ToolTitleStrip::placeOverOwner(&tool);
    EXPECT_TRUE(screen.contains(tool.frameGeometry()))
        << tool.frameGeometry().x() << "," << tool.frameGeometry().y();
    tool.move(screen.left() - 80, screen.top() - 40);
    ToolTitleStrip::keepOnScreen(&tool);
    EXPECT_EQ(tool.frameGeometry().topLeft(), screen.topLeft());
}
