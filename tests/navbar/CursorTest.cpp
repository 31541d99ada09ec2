#include "BarFixture.h"

#include "platform/ui/Cursors.h"

using namespace platform;

TEST_F(ShownBar, TheBarsCursorShowsAndAButtonsOwnCursorOverIt)
{
    TnbHeader *header = bar.AddHeader();
    TnbButton *plain = header->AddButton();
    TnbButton *hand = header->AddButton();
    hand->SetCursor(crHandPoint);
    bar.SetActiveHeader(header);
    bar.PaintImage();
    QTest::mouseMove(&bar, QPoint(3, 3));
    EXPECT_EQ(bar.cursor().shape(), Qt::ArrowCursor) << "crDefault: the window's own";

    QTest::mouseMove(&bar, Centre(hand->ButtonRect));
    EXPECT_EQ(bar.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(&bar, Centre(plain->ButtonRect));
    EXPECT_EQ(bar.cursor().shape(), Qt::ArrowCursor) << "a button without a cursor of its own";

    bar.SetCursor(crCross);
    EXPECT_EQ(bar.cursor().shape(), Qt::CrossCursor);
    QTest::mouseMove(&bar, Centre(hand->ButtonRect));
    EXPECT_EQ(bar.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(&bar, Centre(plain->ButtonRect));
    EXPECT_EQ(bar.cursor().shape(), Qt::CrossCursor) << "the bar's own over a plain button";
    QTest::mouseMove(&bar, Centre(hand->ButtonRect));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&bar, &leave);
    EXPECT_EQ(bar.cursor().shape(), Qt::CrossCursor) << "leaving drops the button's cursor";
}
