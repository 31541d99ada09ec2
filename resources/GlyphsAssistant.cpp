#include "resources/GlyphDrawings.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

// The business assistant's glyphs, shown at 48 x 48 above the captions of its
// eight buttons; drawn on a square of 48 units.
namespace resources::drawings {

namespace {

const QColor kGold(245, 165, 36);
const QColor kGoldLight(255, 226, 138);
const QColor kPaper(255, 255, 255);
const QColor kPaperShade(220, 232, 245);

QPolygonF star(QPointF centre, qreal outer, qreal inner)
{
    QPolygonF points;
    for (int i = 0; i < 10; ++i) {
        const qreal r = i % 2 ? inner : outer;
        const qreal a = M_PI / 2 + i * M_PI / 5;
        points << QPointF(centre.x() + r * std::cos(a), centre.y() - r * std::sin(a));
    }
    return points;
}

// A browser window: title bar with three buttons and an empty white page
// below it, from y = 14 down.
void drawBrowser(QPainter &p)
{
    p.setPen(outline(kBlueEdge));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(2.5, 5.5, 40, 32), 2, 2);
    p.setBrush(vertical(6, 13, kBlueLight, kBlueDark));
    QPainterPath bar;
    bar.moveTo(2.5, 13.5);
    bar.lineTo(2.5, 7.5);
    bar.arcTo(QRectF(2.5, 5.5, 4, 4), 180, -90);
    bar.lineTo(40.5, 5.5);
    bar.arcTo(QRectF(38.5, 5.5, 4, 4), 90, -90);
    bar.lineTo(42.5, 13.5);
    bar.closeSubpath();
    p.drawPath(bar);
    p.setPen(Qt::NoPen);
    const QColor dots[] = {QColor(255, 123, 102), kGoldLight, QColor(150, 220, 150)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(dots[i]);
        p.drawEllipse(QPointF(7 + i * 4.5, 9.5), 1.5, 1.5);
    }
}

} // namespace

// A made bed under three hotel stars.
void drawHotel(QPainter &p)
{
    p.setPen(outline(QColor(168, 101, 12), 0.8));
    p.setBrush(vertical(3, 13, kGoldLight, kGold));
    for (qreal x : {14.0, 24.0, 34.0})
        p.drawPolygon(star(QPointF(x, 9), 5, 2.2));

    const QColor wood(201, 138, 75), woodDark(138, 84, 36), woodEdge(94, 56, 21);
    p.setPen(outline(woodEdge));
    p.setBrush(vertical(18, 42, wood, woodDark));
    p.drawRoundedRect(QRectF(3.5, 18.5, 7, 24), 2, 2); // head board
    p.drawRect(QRectF(40.5, 31.5, 4, 11));             // foot post
    p.drawRect(QRectF(10.5, 32.5, 30, 5));             // frame
    p.setPen(outline(QColor(150, 165, 185)));
    p.setBrush(vertical(27, 32, kPaper, kPaperShade));
    p.drawRoundedRect(QRectF(10.5, 27.5, 34, 5), 1.5, 1.5); // mattress
    p.drawRoundedRect(QRectF(12.5, 21.5, 10, 6), 3, 3);     // pillow
    p.setPen(outline(kBlueEdge));
    p.setBrush(vertical(23, 34, kBlueLight, kBlueDark));
    QPainterPath blanket;
    blanket.moveTo(21.5, 24.5);
    blanket.lineTo(43, 24.5);
    blanket.quadTo(45, 24.5, 45, 27);
    blanket.lineTo(45, 33.5);
    blanket.lineTo(21.5, 33.5);
    blanket.closeSubpath();
    p.drawPath(blanket);
    p.setPen(outline(QColor(255, 255, 255, 150), 1.2));
    p.drawLine(QPointF(23, 26.5), QPointF(43.5, 26.5));
}

// Two speech bubbles, one Chinese and one Latin: translation.
void drawTranslation(QPainter &p)
{
    auto bubble = [&](QRectF box, QPolygonF tail, const QColor &light, const QColor &dark, const QColor &edge,
                      const QString &text, const QString &family) {
        QPainterPath path;
        path.addRoundedRect(box, 5, 5);
        QPainterPath tailPath;
        tailPath.addPolygon(tail);
        tailPath.closeSubpath();
        path = path.united(tailPath);
        p.setPen(outline(edge));
        p.setBrush(vertical(box.top(), box.bottom(), light, dark));
        p.drawPath(path);
        QFont font(family);
        font.setPixelSize(15);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, text);
    };
    bubble(QRectF(2.5, 3.5, 27, 21), QPolygonF({{8, 23}, {7, 31.5}, {16, 23}}), kBlueLight, kBlueDark,
           kBlueEdge, QStringLiteral("文"), QStringLiteral("WenQuanYi Micro Hei"));
    bubble(QRectF(18.5, 18.5, 27, 21), QPolygonF({{32, 38}, {40, 45.5}, {39, 38}}), kOrangeLight, kOrange,
           kOrangeEdge, QStringLiteral("A"), QStringLiteral("DejaVu Sans"));
}

// A shopping cart with two parcels in it.
void drawPurchase(QPainter &p)
{
    p.setPen(outline(kOrangeEdge));
    p.setBrush(vertical(8, 20, kOrangeLight, kOrange));
    p.drawRect(QRectF(15.5, 8.5, 12, 11));
    p.setPen(outline(QColor(200, 160, 90), 1));
    p.drawLine(QPointF(21.5, 8.5), QPointF(21.5, 19.5));
    p.setPen(outline(kBlueEdge));
    p.setBrush(vertical(11, 20, kBlueLight, kBlueDark));
    p.drawRect(QRectF(27.5, 11.5, 11, 8));

    const QPolygonF basket({{10.5, 15.5}, {44.5, 15.5}, {40.5, 31.5}, {14.5, 31.5}});
    p.setPen(outline(kGreyEdge, 1.6));
    p.setBrush(QColor(232, 238, 245, 215));
    p.drawPolygon(basket);
    p.setPen(outline(kGreyLight, 1));
    for (qreal x : {19.0, 27.5, 36.0})
        p.drawLine(QPointF(x, 16.5), QPointF(x - 0.5 * (x - 27.5) / 8.5, 30.5));
    p.drawLine(QPointF(12.5, 23.5), QPointF(42.5, 23.5));
    p.setPen(outline(kGreyEdge, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{2.5, 8.5}, {8.5, 8.5}, {14.5, 31.5}, {16.5, 37.5}, {41.5, 37.5}}));
    p.setPen(outline(QColor(30, 36, 45)));
    p.setBrush(vertical(38, 45, kGreyLight, kGrey));
    p.drawEllipse(QPointF(19.5, 41.5), 3.5, 3.5);
    p.drawEllipse(QPointF(37.5, 41.5), 3.5, 3.5);
}

// A shaded cube with a mesh on its faces and handles on its corners: a 3-D model.
void drawModeling(QPainter &p)
{
    const QPointF top(24, 4.5), left(5.5, 14.5), right(42.5, 14.5), middle(24, 24.5);
    const QPointF bottom(24, 44.5), leftDown(5.5, 34.5), rightDown(42.5, 34.5);
    p.setPen(outline(kBlueEdge));
    p.setBrush(QColor(169, 211, 245));
    p.drawPolygon(QPolygonF({top, right, middle, left}));
    p.setBrush(kBlueLight);
    p.drawPolygon(QPolygonF({left, middle, bottom, leftDown}));
    p.setBrush(kBlueDark);
    p.drawPolygon(QPolygonF({middle, right, rightDown, bottom}));

    // The mesh: each face cut in thirds along both of its directions.
    p.setPen(outline(QColor(255, 255, 255, 140), 0.8));
    auto mesh = [&](QPointF origin, QPointF u, QPointF v) {
        for (int i = 1; i < 3; ++i) {
            p.drawLine(origin + u * i / 3.0, origin + u * i / 3.0 + v);
            p.drawLine(origin + v * i / 3.0, origin + v * i / 3.0 + u);
        }
    };
    mesh(left, top - left, middle - left);
    mesh(left, middle - left, leftDown - left);
    mesh(middle, right - middle, bottom - middle);

    p.setPen(outline(kOrangeEdge, 0.8));
    p.setBrush(kGold);
    for (QPointF corner : {top, left, right, middle, bottom, leftDown, rightDown})
        p.drawRect(QRectF(corner.x() - 2, corner.y() - 2, 4, 4));
}

// A monitor playing a film, with a note for the sound.
void drawMultimedia(QPainter &p)
{
    p.setPen(outline(kGreyEdge));
    p.setBrush(vertical(34, 42, kGreyLight, kGrey));
    p.drawRect(QRectF(20.5, 34.5, 7, 4));
    p.drawRoundedRect(QRectF(13.5, 38.5, 21, 4), 1.5, 1.5);
    p.setBrush(vertical(7, 35, kGreyLight, kGrey));
    p.drawRoundedRect(QRectF(3.5, 7.5, 41, 28), 2.5, 2.5);
    p.setPen(outline(QColor(30, 36, 45)));
    p.setBrush(vertical(10, 32, QColor(99, 181, 234), kBlueDark));
    p.drawRect(QRectF(6.5, 10.5, 35, 21));
    p.setPen(outline(QColor(255, 255, 255, 90), 1));
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawEllipse(QPointF(24, 21), 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({{21, 16}, {21, 26}, {29.5, 21}}));

    p.setPen(outline(kOrangeEdge, 0.8));
    p.setBrush(vertical(2, 18, kOrangeLight, kOrange));
    QPainterPath note;
    note.moveTo(42, 3);
    note.lineTo(47, 5);
    note.lineTo(47, 7.5);
    note.lineTo(43.5, 6.2);
    note.lineTo(43.5, 15);
    note.cubicTo(43.5, 18.5, 36.5, 19, 36.5, 16);
    note.cubicTo(36.5, 13.5, 40, 12.5, 42, 13.4);
    note.closeSubpath();
    p.drawPath(note);
}

// A printed sample: a page with a picture and text, another page behind it.
void drawSample(QPainter &p)
{
    p.setPen(outline(QColor(150, 165, 185)));
    p.setBrush(kPaperShade);
    p.drawRect(QRectF(14.5, 3.5, 27, 35));
    QPainterPath page;
    page.moveTo(6.5, 9.5);
    page.lineTo(27.5, 9.5);
    page.lineTo(34.5, 16.5);
    page.lineTo(34.5, 44.5);
    page.lineTo(6.5, 44.5);
    page.closeSubpath();
    p.setPen(outline(kBlueEdge));
    p.setBrush(vertical(9, 45, kPaper, QColor(238, 244, 251)));
    p.drawPath(page);
    p.setBrush(kPaperShade);
    p.drawPolygon(QPolygonF({{27.5, 9.5}, {27.5, 16.5}, {34.5, 16.5}}));

    // The picture: sky, sun and a green hill.
    const QRectF picture(10.5, 19.5, 20, 13);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(picture.top(), picture.bottom(), QColor(169, 211, 245), QColor(220, 238, 252)));
    p.drawRect(picture);
    p.setBrush(kGold);
    p.drawEllipse(QPointF(25.5, 23.5), 2.2, 2.2);
    p.setBrush(vertical(26, 33, kGreenLight, kGreen));
    QPainterPath hill;
    hill.moveTo(10.5, 32.5);
    hill.lineTo(10.5, 29);
    hill.quadTo(16, 23.5, 22, 28.5);
    hill.quadTo(26, 26.5, 30.5, 29.5);
    hill.lineTo(30.5, 32.5);
    hill.closeSubpath();
    p.drawPath(hill);
    p.setPen(outline(kBlueEdge, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(picture);

    p.setPen(outline(QColor(143, 176, 212), 1.4));
    p.drawLine(QPointF(10.5, 13.5), QPointF(22.5, 13.5));
    p.drawLine(QPointF(10.5, 36.5), QPointF(30.5, 36.5));
    p.drawLine(QPointF(10.5, 40.5), QPointF(25.5, 40.5));
}

// A web page being laid out, with a gear for the building work.
void drawSiteBuild(QPainter &p)
{
    drawBrowser(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(169, 211, 245));
    p.drawRect(QRectF(6, 17, 33, 5));
    p.setBrush(kPaperShade);
    p.drawRect(QRectF(6, 24, 9, 10));
    p.setPen(outline(QColor(143, 176, 212), 1.4));
    for (qreal y : {25.5, 29.0, 32.5})
        p.drawLine(QPointF(18, y), QPointF(28, y));

    // The gear: twelve points round the rim, alternating tooth and gap.
    const QPointF c(36.5, 36.5);
    QPainterPath gear;
    for (int i = 0; i < 32; ++i) {
        const qreal a = i * 2 * M_PI / 32;
        const qreal r = (i / 2) % 2 ? 7.6 : 10;
        const QPointF point(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            gear.moveTo(point);
        else
            gear.lineTo(point);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, 3.2, 3.2);
    p.setPen(outline(kOrangeEdge));
    p.setBrush(vertical(26, 47, kOrangeLight, kOrange));
    p.drawPath(gear.subtracted(hole));
}

// A web page with a rising chart and an arrow shooting upwards: promotion.
void drawSitePromote(QPainter &p)
{
    drawBrowser(p);
    p.setPen(outline(kGreenEdge));
    p.setBrush(vertical(18, 34, kGreenLight, kGreen));
    p.drawRect(QRectF(7.5, 28.5, 6, 6));
    p.drawRect(QRectF(16.5, 24.5, 6, 10));
    p.drawRect(QRectF(25.5, 19.5, 6, 15));

    // The rising line is a stroke turned into an area so that it shares one outline with the head.
    p.setPen(outline(kRedEdge));
    QPainterPathStroker stroker;
    stroker.setWidth(3.4);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath shaft;
    shaft.moveTo(5, 32);
    shaft.lineTo(17, 21);
    shaft.lineTo(23, 26);
    shaft.lineTo(38, 11);
    QPainterPath head;
    head.addPolygon(QPolygonF({{32, 8}, {45.5, 3}, {41, 16.5}}));
    head.closeSubpath();
    p.setBrush(vertical(3, 32, kRedLight, kRed));
    p.drawPath(stroker.createStroke(shaft).united(head));
}

} // namespace resources::drawings
