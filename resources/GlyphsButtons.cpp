#include "resources/GlyphDrawings.h"

#include <QPainter>
#include <QPainterPath>

// Glyphs of the main window's large flat buttons ("退 出", "在线升级"), on a
// square of 32 units.
namespace resources::drawings {

// An open door with a red arrow leading out of it.
void drawExit(QPainter &p)
{
    const QColor wood(201, 138, 75), woodDark(138, 84, 36), woodEdge(94, 56, 21);
    // The doorway, dark behind the open leaf.
    p.setPen(outline(woodEdge));
    p.setBrush(vertical(2, 30, QColor(74, 86, 102), QColor(38, 46, 58)));
    p.drawRect(QRectF(4.5, 2.5, 16, 27));
    // The leaf, swung towards the viewer.
    p.setBrush(vertical(2, 31, wood, woodDark));
    p.drawPolygon(QPolygonF({{4.5, 2.5}, {12.5, 5.5}, {12.5, 31.5}, {4.5, 29.5}}));
    p.setPen(outline(QColor(138, 101, 16), 0.8));
    p.setBrush(QColor(255, 210, 90));
    p.drawEllipse(QPointF(10.6, 17.5), 1.3, 1.3);
    // The arrow out.
    QPainterPath arrow;
    arrow.moveTo(13.5, 13);
    arrow.lineTo(21.5, 13);
    arrow.lineTo(21.5, 8);
    arrow.lineTo(30.5, 16.5);
    arrow.lineTo(21.5, 25);
    arrow.lineTo(21.5, 20);
    arrow.lineTo(13.5, 20);
    arrow.closeSubpath();
    p.setPen(outline(kRedEdge));
    p.setBrush(vertical(8, 25, kRedLight, kRed));
    p.drawPath(arrow);
}

// A globe with a green badge carrying an upward arrow: a newer version online.
void drawUpgrade(QPainter &p)
{
    QRadialGradient sea(QPointF(10, 9), 15);
    sea.setColorAt(0, QColor(140, 198, 245));
    sea.setColorAt(1, QColor(33, 102, 184));
    p.setPen(outline(kBlueEdge));
    p.setBrush(sea);
    p.drawEllipse(QPointF(14, 14), 12, 12);
    p.setPen(outline(QColor(255, 255, 255, 215), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(14, 14), 5, 11.5);
    p.drawLine(QPointF(2.5, 14), QPointF(25.5, 14));
    p.drawLine(QPointF(4, 8.5), QPointF(24, 8.5));
    p.drawLine(QPointF(4, 19.5), QPointF(24, 19.5));

    p.setPen(outline(kGreenEdge));
    p.setBrush(vertical(15, 31, kGreenLight, kGreen));
    p.drawEllipse(QPointF(23.5, 23.5), 8, 8);
    p.setPen(outline(Qt::white, 0.6));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF(
        {{23.5, 17.5}, {28.5, 22.5}, {25.5, 22.5}, {25.5, 28.5}, {21.5, 28.5}, {21.5, 22.5}, {18.5, 22.5}}));
}

} // namespace resources::drawings
