// Painting of the two grids and the display-items page of the compound-query
// window (its marks and header sorting are built but the page is not shown).

#include "query/StringGrid.h"
#include "query/uFindCheckSet.h"
#include "query/uFindCheckSetModel.h"

#include "platform/os/Gb2312.h"

#include <QPainter>

using namespace findquery;

namespace {

QString upperAscii(const QString &text)
{
    QString upper = text;
    for (QChar &c : upper)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return upper;
}

} // namespace

void TFmFindCheckSet::DrawCellText(QPainter &canvas, const QString &text, Qt::Alignment alignment,
                                   const QRect &rect)
{
    canvas.fillRect(rect, canvas.brush());
    QRect r = rect;
    r.setTop(r.top() + (rect.height() - canvas.fontMetrics().height()) / 2);
    if (alignment & Qt::AlignRight)
        r.setRight(r.right() - 1);
    else if (alignment & Qt::AlignLeft)
        r.setLeft(r.left() + 1);
    canvas.drawText(r, int(alignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop | Qt::TextSingleLine, text);
}

void TFmFindCheckSet::Sgrd_FindDrawCell(QPainter &canvas, int col, int row, const QRect &rect, unsigned)
{
    if (col == ccCompare || col == ccConnector || row == 0)
        DrawCellText(canvas, Sgrd_Find->Cells(col, row), Qt::AlignHCenter, rect);
    if (col == ccNumber && row >= 1 && row == Sgrd_Find->Row()) {
        canvas.fillRect(rect, QColor(255, 0, 0));
        canvas.drawText(QRect(rect.left() + 2, rect.top() + 2, rect.width(), rect.height()),
                        Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Sgrd_Find->Cells(col, row));
    }
}

void TFmFindCheckSet::Sgrd_CheckDrawCell(QPainter &canvas, int col, int row, const QRect &rect, unsigned)
{
    if (col == dcMark1 || col == dcMark2 || row == 0)
        DrawCellText(canvas, Sgrd_Check->Cells(col, row), Qt::AlignHCenter, rect);
}

void TFmFindCheckSet::Sgrd_CheckClick()
{
    const int col = Sgrd_Check->Col();
    const int row = Sgrd_Check->Row();
    if (row < 1 || (col != dcMark1 && col != dcMark2))
        return;
    const bool marked = Sgrd_Check->Cells(col, row).trimmed() == checkMark();
    Sgrd_Check->SetCells(col, row, marked ? QString() : checkMark());
}

void TFmFindCheckSet::SpeedButton5Click()
{
    for (int r = 1; r < Sgrd_Check->RowCount(); ++r) {
        if (!Sgrd_Check->Cells(dcLabel1, r).isEmpty())
            Sgrd_Check->SetCells(dcMark1, r, checkMark());
        if (!Sgrd_Check->Cells(dcLabel2, r).isEmpty())
            Sgrd_Check->SetCells(dcMark2, r, checkMark());
    }
}

void TFmFindCheckSet::SpeedButton6Click()
{
    for (int r = 1; r < Sgrd_Check->RowCount(); ++r) {
        Sgrd_Check->SetCells(dcMark1, r, QString());
        Sgrd_Check->SetCells(dcMark2, r, QString());
    }
}

void TFmFindCheckSet::Sgrd_CheckMouseDown(Qt::MouseButton button, int col, int row)
{
    if (button == Qt::LeftButton && row == 0)
        PressHeaderCell(col);
}

void TFmFindCheckSet::Sgrd_CheckMouseUp(Qt::MouseButton, int col, int row)
{
    if (row != 0)
        return;
    Sgrd_Check->SetPressedHeader(-1);
    Sgrd_Check->viewport()->update();
    try {
        HeaderColumnClick(col);
    } catch (...) {
        // A failed sort or marking leaves the items as they are.
    }
}

void TFmFindCheckSet::PressHeaderCell(int col)
{
    Sgrd_Check->SetPressedHeader(col);
}

void TFmFindCheckSet::HeaderColumnClick(int col)
{
    FHeaderToggle = !FHeaderToggle;
    switch (col) {
    case dcMark1:
    case dcMark2:
        for (int r = 1; r < Sgrd_Check->RowCount(); ++r) {
            if (!FHeaderToggle)
                Sgrd_Check->SetCells(col, r, QString());
            else if (!Sgrd_Check->Cells(col + 1, r).isEmpty())
                Sgrd_Check->SetCells(col, r, checkMark());
        }
        break;
    case dcLabel1:
    case dcLabel2:
        SortDisplayRows(col, FHeaderToggle);
        break;
    default:
        break;
    }
}

void TFmFindCheckSet::SortDisplayRows(int col, bool descending)
{
    const int last = Sgrd_Check->RowCount() - 1;
    for (int i = 1; i <= last; ++i) {
        for (int j = last; j >= i + 1; --j) {
            const QString cell = Sgrd_Check->Cells(col, j);
            if (cell.isEmpty())
                continue;
            const int order =
                platform::compareGb2312(upperAscii(cell), upperAscii(Sgrd_Check->Cells(col, j - 1)));
            if ((descending && order > 0) || (!descending && order < 0))
                Sgrd_Check->SwapRows(j, j - 1);
        }
    }
}
