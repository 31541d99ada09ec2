#include "query/ToolTitleStrip.h"

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
    EXPECT_EQ(clicked.count(), 1);

    EXPECT_FALSE(ToolTitleStrip::moveWindow(nullptr));
}
