#include "resources/Glyphs.h"

#include "resources/GlyphDrawings.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace resources {

namespace {

using namespace drawings;

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

// The lookup panels' "查找": a magnifier with a grey rim and an orange handle,
// as on the about picture.
void drawLookup(QPainter &p)
{
    p.setPen(outline(QColor(138, 74, 10), 3.6));
    p.drawLine(QPointF(10, 10), QPointF(13.8, 13.8));
    p.setPen(outline(kOrange, 2.2));
    p.drawLine(QPointF(10, 10), QPointF(13.8, 13.8));
    p.setPen(outline(kGrey, 1.8));
    p.setBrush(QColor(230, 243, 255));
    p.drawEllipse(QPointF(6.5, 6.5), 4.6, 4.6);
    p.setPen(outline(Qt::white, 1.1));
    p.drawArc(QRectF(3.8, 3.8, 5.4, 5.4), 100 * 16, 70 * 16);
}

// The side of the design square each glyph is drawn on.
qreal designSize(Glyph which)
{
    switch (which) {
    case Glyph::FolderOpen:
    case Glyph::FolderClosed:
    case Glyph::TreeShow:
    case Glyph::TreeHide:
    case Glyph::DetailShow:
    case Glyph::DetailHide:
    case Glyph::Query:
    case Glyph::Refresh:
    case Glyph::Search:
    case Glyph::Web:
    case Glyph::Credible:
    case Glyph::FullScreen:
    case Glyph::Export:
    case Glyph::AddRow:
    case Glyph::DeleteRow:
    case Glyph::ClearRows:
    case Glyph::CheckAll:
    case Glyph::UncheckAll:
    case Glyph::Accept:
    case Glyph::Reject:
    case Glyph::Lookup:
        return 16;
    case Glyph::Exit:
    case Glyph::Upgrade:
        return 32;
    case Glyph::Hotel:
    case Glyph::Translation:
    case Glyph::Purchase:
    case Glyph::Modeling:
    case Glyph::Multimedia:
    case Glyph::Sample:
    case Glyph::SiteBuild:
    case Glyph::SitePromote:
        return 48;
    }
    return 16;
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

// A sheet with a green arrow leaving it to the right.
void drawExport(QPainter &p)
{
    drawSheet(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(39, 174, 96));
    p.drawPolygon(QPolygonF({{6.5, 8}, {11, 8}, {11, 5.5}, {15.5, 10}, {11, 14.5}, {11, 12}, {6.5, 12}}));
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
    p.scale(size / designSize(which), size / designSize(which));
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
    case Glyph::Export:
        drawExport(p);
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
    case Glyph::Exit:
        drawExit(p);
        break;
    case Glyph::Upgrade:
        drawUpgrade(p);
        break;
    case Glyph::Lookup:
        drawLookup(p);
        break;
    case Glyph::Hotel:
        drawHotel(p);
        break;
    case Glyph::Translation:
        drawTranslation(p);
        break;
    case Glyph::Purchase:
        drawPurchase(p);
        break;
    case Glyph::Modeling:
        drawModeling(p);
        break;
    case Glyph::Multimedia:
        drawMultimedia(p);
        break;
    case Glyph::Sample:
        drawSample(p);
        break;
    case Glyph::SiteBuild:
        drawSiteBuild(p);
        break;
    case Glyph::SitePromote:
        drawSitePromote(p);
        break;
    }
    return pixmap;
}

} // namespace resources
