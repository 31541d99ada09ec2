#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QPen>

class QPainter;

// The drawings behind resources::glyph(). Each one paints into its own design
// square (designSize() units wide) that the caller has already scaled to the
// requested pixel size.
namespace resources::drawings {

// One palette for every glyph, the side bar images and the pictures.
inline const QColor kInk(52, 73, 94);
inline const QColor kBlue(41, 128, 185);
inline const QColor kBlueLight(75, 157, 232);
inline const QColor kBlueDark(22, 79, 152);
inline const QColor kBlueEdge(21, 74, 138);
inline const QColor kOrangeLight(255, 192, 90);
inline const QColor kOrange(225, 125, 20);
inline const QColor kOrangeEdge(168, 82, 12);
inline const QColor kRedLight(255, 123, 102);
inline const QColor kRed(194, 45, 26);
inline const QColor kRedEdge(138, 29, 15);
inline const QColor kGreenLight(98, 201, 111);
inline const QColor kGreen(39, 138, 60);
inline const QColor kGreenEdge(31, 110, 49);
inline const QColor kGreyLight(138, 151, 168);
inline const QColor kGrey(74, 86, 102);
inline const QColor kGreyEdge(51, 61, 74);

// A top-to-bottom gradient between two y positions of the design square.
inline QLinearGradient vertical(qreal top, qreal bottom, const QColor &upper, const QColor &lower)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, upper);
    g.setColorAt(1, lower);
    return g;
}

// The outline pen of the glyphs: round joins so corners stay clean when scaled.
inline QPen outline(const QColor &colour, qreal width = 1)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Glyphs of the large flat buttons, on a square of 32 units.
void drawExit(QPainter &p);
void drawUpgrade(QPainter &p);

// The business assistant's glyphs, on a square of 48 units.
void drawHotel(QPainter &p);
void drawTranslation(QPainter &p);
void drawPurchase(QPainter &p);
void drawModeling(QPainter &p);
void drawMultimedia(QPainter &p);
void drawSample(QPainter &p);
void drawSiteBuild(QPainter &p);
void drawSitePromote(QPainter &p);

} // namespace resources::drawings
