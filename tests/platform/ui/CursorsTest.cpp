#include "platform/ui/Cursors.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace platform;

TEST(Cursors, FrameworkCursorsShowAsTheirQtShapes)
{
    EXPECT_EQ(CursorShapeOf(crHandPoint), Qt::PointingHandCursor);
    EXPECT_EQ(CursorShapeOf(crCross), Qt::CrossCursor);
    EXPECT_EQ(CursorShapeOf(crIBeam), Qt::IBeamCursor);
    EXPECT_EQ(CursorShapeOf(crSizeWE), Qt::SizeHorCursor);
    EXPECT_EQ(CursorShapeOf(crHourGlass), Qt::WaitCursor);
    EXPECT_EQ(CursorShapeOf(crNone), Qt::BlankCursor);
    EXPECT_EQ(CursorShapeOf(crSize), Qt::SizeAllCursor);
    EXPECT_EQ(CursorShapeOf(crDefault), Qt::ArrowCursor);
    EXPECT_EQ(CursorShapeOf(12345), Qt::ArrowCursor) << "an unknown cursor is the arrow";

    QWidget parent;
    QWidget *child = new QWidget(&parent);
    parent.setCursor(Qt::CrossCursor);
    ShowCursor(child, crHandPoint);
    EXPECT_EQ(child->cursor().shape(), Qt::PointingHandCursor);
    ShowCursor(child, crDefault);
    EXPECT_FALSE(child->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(child->cursor().shape(), Qt::CrossCursor) << "the default shows the parent's cursor";
}
