#include "platform/ui/Cursors.h"

#include <QCursor>
#include <QWidget>

namespace platform {

Qt::CursorShape CursorShapeOf(Cursor cursor)
{
    switch (cursor) {
    case crNone:
        return Qt::BlankCursor;
    case crCross:
        return Qt::CrossCursor;
    case crIBeam:
        return Qt::IBeamCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
        return Qt::SizeHorCursor;
    case crUpArrow:
        return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait:
        return Qt::WaitCursor;
    case crDrag:
        return Qt::DragMoveCursor;
    case crMultiDrag:
        return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo:
        return Qt::ForbiddenCursor;
    case crHSplit:
        return Qt::SplitHCursor;
    case crVSplit:
        return Qt::SplitVCursor;
    case crAppStart:
        return Qt::BusyCursor;
    case crHelp:
        return Qt::WhatsThisCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

void ShowCursor(QWidget *widget, Cursor cursor)
{
    if (!widget)
        return;
    if (cursor == crDefault) {
        widget->unsetCursor();
        return;
    }
    const Qt::CursorShape shape = CursorShapeOf(cursor);
    // Setting the same shape again would still reach the window system.
    if (!widget->testAttribute(Qt::WA_SetCursor) || widget->cursor().shape() != shape)
        widget->setCursor(shape);
}

} // namespace platform
