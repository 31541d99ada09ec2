#include "resources/Glyphs.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace resources {

namespace {

const QColor kInk(52, 73, 94);
const QColor kBlue(41, 128, 185);
const QColor kFolder(232, 178, 62);
const QColor kFolderDark(196, 138, 30);

void drawFolder(QPainter &p, bool open)
{
    p.setPen(QPen(kFolderDark, 0.8));
    p.setBrush(kFolderDark.lighter(115));
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(14.5, 5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(kFolder);
    if (open) {
        QPolygonF front({{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}});
        p.drawPolygon(front);
    } else {
        p.drawRect(QRectF(1.5, 6.5, 13, 7));
    }
}

void drawPanels(QPainter &p, bool leftPane, bool shown)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setBrush(shown ? kBlue : QColor(189, 195, 199));
    p.setPen(Qt::NoPen);
    if (leftPane)
        p.drawRect(QRectF(2, 3, 4, 10));
    else
        p.drawRect(QRectF(2, 3, 12, 4));
    // An arrow saying which way the pane goes.
    p.setPen(QPen(kInk, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    if (leftPane) {
        const qreal dir = shown ? -1 : 1;
        p.drawPolyline(QPolygonF({{10 - dir, 5.5}, {10 + dir, 8}, {10 - dir, 10.5}}));
    } else {
        const qreal dir = shown ? -1 : 1;
        p.drawPolyline(QPolygonF({{5.5, 10.5 - dir}, {8, 10.5 + dir}, {10.5, 10.5 - dir}}));
    }
}

void drawQuery(QPainter &p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({{1.5, 2.5}, {14.5, 2.5}, {9.5, 8.5}, {9.5, 13.5}, {6.5, 12}, {6.5, 8.5}}));
}

void drawRefresh(QPainter &p)
{
    p.setPen(QPen(QColor(39, 174, 96), 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 2.5, 11, 11), 40 * 16, 280 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(39, 174, 96));
    p.drawPolygon(QPolygonF({{10, 1}, {15, 4}, {10, 7.5}}));
}

void drawSearch(QPainter &p)
{
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(QColor(214, 234, 248));
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    p.setPen(QPen(kInk, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
}

void drawWeb(QPainter &p)
{
    p.setPen(QPen(kBlue, 1.1));
    p.setBrush(QColor(214, 234, 248));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(5, 1.5, 6, 13));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    p.drawLine(QPointF(2.8, 4.8), QPointF(13.2, 4.8));
    p.drawLine(QPointF(2.8, 11.2), QPointF(13.2, 11.2));
}

void drawCredible(QPainter &p)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal r = i % 2 ? 3 : 7;
        const qreal a = M_PI / 2 + i * M_PI / 5;
        star << QPointF(8 + r * std::cos(a), 8.5 - r * std::sin(a));
    }
    p.setPen(QPen(QColor(192, 57, 43), 0.9));
    p.setBrush(QColor(231, 76, 60));
    p.drawPolygon(star);
}

void drawFullScreen(QPainter &p)
{
    p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{2, 6}, {2, 2}, {6, 2}}));
    p.drawPolyline(QPolygonF({{10, 2}, {14, 2}, {14, 6}}));
    p.drawPolyline(QPolygonF({{14, 10}, {14, 14}, {10, 14}}));
    p.drawPolyline(QPolygonF({{6, 14}, {2, 14}, {2, 10}}));
}

void drawSheet(QPainter &p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 10, 12));
    p.setPen(QPen(QColor(189, 195, 199), 1));
    for (qreal y : {4.5, 7.5, 10.5})
        p.drawLine(QPointF(3.5, y), QPointF(9.5, y));
}

// A round badge in the lower right with a white sign on it.
void drawBadge(QPainter &p, const QColor &colour, bool plus)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(7.5, 7.5, 8, 8));
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 11.5), QPointF(13.5, 11.5));
    if (plus)
        p.drawLine(QPointF(11.5, 9.5), QPointF(11.5, 13.5));
}

void drawClear(QPainter &p)
{
    drawSheet(p);
    p.setPen(QPen(QColor(192, 57, 43), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8.5, 8.5), QPointF(14.5, 14.5));
    p.drawLine(QPointF(14.5, 8.5), QPointF(8.5, 14.5));
}

void drawBoxes(QPainter &p, bool ticked)
{
    for (qreal y : {1.5, 8.5}) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, y, 6, 6));
        if (ticked) {
            p.setPen(QPen(QColor(39, 174, 96), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF({{2.8, y + 3}, {4.3, y + 4.6}, {6.6, y + 1.2}}));
        }
        p.setPen(QPen(QColor(127, 140, 141), 1.2));
        p.drawLine(QPointF(9.5, y + 3), QPointF(15, y + 3));
    }
}

void drawAccept(QPainter &p)
{
    p.setPen(QPen(QColor(39, 174, 96), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{2.5, 8.5}, {6.5, 12.5}, {13.5, 3.5}}));
}

void drawReject(QPainter &p)
{
    p.setPen(QPen(QColor(192, 57, 43), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

} // namespace

QPixmap glyph(Glyph which, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    switch (which) {
    case Glyph::FolderOpen:
        drawFolder(p, true);
        break;
    case Glyph::FolderClosed:
        drawFolder(p, false);
        break;
    case Glyph::TreeShow:
        drawPanels(p, true, false);
        break;
    case Glyph::TreeHide:
        drawPanels(p, true, true);
        break;
    case Glyph::DetailShow:
        drawPanels(p, false, false);
        break;
    case Glyph::DetailHide:
        drawPanels(p, false, true);
        break;
    case Glyph::Query:
        drawQuery(p);
        break;
    case Glyph::Refresh:
        drawRefresh(p);
        break;
    case Glyph::Search:
        drawSearch(p);
        break;
    case Glyph::Web:
        drawWeb(p);
        break;
    case Glyph::Credible:
        drawCredible(p);
        break;
    case Glyph::FullScreen:
        drawFullScreen(p);
        break;
    case Glyph::AddRow:
        drawSheet(p);
        drawBadge(p, QColor(39, 174, 96), true);
        break;
    case Glyph::DeleteRow:
        drawSheet(p);
        drawBadge(p, QColor(192, 57, 43), false);
        break;
    case Glyph::ClearRows:
        drawClear(p);
        break;
    case Glyph::CheckAll:
        drawBoxes(p, true);
        break;
    case Glyph::UncheckAll:
        drawBoxes(p, false);
        break;
    case Glyph::Accept:
        drawAccept(p);
        break;
    case Glyph::Reject:
        drawReject(p);
        break;
    default:
        // Interim drawing until the finished glyphs land.
        drawCredible(p);
        break;
    }
    return pixmap;
}

} // namespace resources
