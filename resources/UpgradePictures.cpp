#include "resources/UpgradePictures.h"

#include <QPainter>
#include <QPainterPath>

namespace resources {

namespace {

// The sixteen colours.
const QColor Black(0, 0, 0), Maroon(128, 0, 0), Green(0, 128, 0), Olive(128, 128, 0), Navy(0, 0, 128),
    Purple(128, 0, 128), Teal(0, 128, 128), Silver(192, 192, 192), Gray(128, 128, 128), Red(255, 0, 0),
    Lime(0, 255, 0), Yellow(255, 255, 0), Blue(0, 0, 255), Fuchsia(255, 0, 255), Aqua(0, 255, 255),
    White(255, 255, 255);

// Drawing helpers that work in whole pixels: a rectangle (x, y, w, h) covers
// exactly w x h pixels.
class PixelPainter
{
public:
    explicit PixelPainter(QImage &image) : m_p(&image) { m_p.setRenderHint(QPainter::Antialiasing, false); }

    void fill(int x, int y, int w, int h, const QColor &c) { m_p.fillRect(x, y, w, h, c); }
    void pixel(int x, int y, const QColor &c) { m_p.fillRect(x, y, 1, 1, c); }
    void hline(int x1, int x2, int y, const QColor &c) { fill(x1, y, x2 - x1 + 1, 1, c); }
    void vline(int x, int y1, int y2, const QColor &c) { fill(x, y1, 1, y2 - y1 + 1, c); }
    void line(int x1, int y1, int x2, int y2, const QColor &c, int width = 1)
    {
        m_p.setPen(QPen(c, width, Qt::SolidLine, Qt::SquareCap));
        m_p.drawLine(x1, y1, x2, y2);
    }
    // A raised (or sunken) box with a black outline, as the old chassis
    // drawings had them.
    void box(int x, int y, int w, int h, const QColor &face, bool raised = true)
    {
        fill(x, y, w, h, Black);
        fill(x + 1, y + 1, w - 2, h - 2, face);
        hline(x + 1, x + w - 2, y + 1, raised ? White : Gray);
        vline(x + 1, y + 1, y + h - 2, raised ? White : Gray);
        hline(x + 1, x + w - 2, y + h - 2, raised ? Gray : White);
        vline(x + w - 2, y + 1, y + h - 2, raised ? Gray : White);
    }
    void ellipse(int cx, int cy, int rx, int ry, const QColor &fillColor, const QColor &outline)
    {
        m_p.setPen(outline);
        m_p.setBrush(fillColor);
        m_p.drawEllipse(QPoint(cx, cy), rx, ry);
        m_p.setBrush(Qt::NoBrush);
    }
    void polygon(const QPolygon &points, const QColor &fillColor, const QColor &outline)
    {
        m_p.setPen(outline);
        m_p.setBrush(fillColor);
        m_p.drawPolygon(points);
        m_p.setBrush(Qt::NoBrush);
    }
    void path(const QPainterPath &path, const QColor &c, int width)
    {
        m_p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        m_p.drawPath(path);
    }
    QPainter &painter() { return m_p; }

private:
    QPainter m_p;
};

// A globe: ocean, continents, the grid of meridians and parallels, a
// highlight and an outline; clipped to its disc.
void drawGlobe(PixelPainter &pp, int cx, int cy, int r)
{
    QPainter &p = pp.painter();
    pp.ellipse(cx, cy, r, r, Blue, Blue);
    p.save();
    QPainterPath disc;
    disc.addEllipse(QPoint(cx, cy), r, r);
    p.setClipPath(disc);
    // Shadow on the lower right.
    pp.ellipse(cx + r / 3, cy + r / 3, r, r, Navy, Navy);
    pp.ellipse(cx - r / 8, cy - r / 8, r - r / 8, r - r / 8, Blue, Blue);
    // Continents, scaled from a unit drawing.
    auto at = [&](double x, double y) { return QPoint(cx + int(x * r), cy + int(y * r)); };
    pp.polygon(QPolygon{at(-0.75, -0.55), at(-0.35, -0.8), at(0.0, -0.7), at(-0.1, -0.45), at(-0.3, -0.35),
                        at(-0.25, -0.1), at(-0.45, 0.05), at(-0.7, -0.15)},
               Green, Green);
    pp.polygon(QPolygon{at(-0.4, 0.15), at(-0.15, 0.2), at(-0.1, 0.45), at(-0.25, 0.85), at(-0.4, 0.55)},
               Green, Green);
    pp.polygon(QPolygon{at(0.1, -0.6), at(0.55, -0.7), at(0.9, -0.35), at(0.7, -0.05), at(0.45, 0.0),
                        at(0.55, 0.35), at(0.35, 0.65), at(0.2, 0.25), at(0.05, 0.05), at(0.15, -0.25)},
               Green, Green);
    pp.polygon(QPolygon{at(-0.7, -0.5), at(-0.45, -0.7), at(-0.2, -0.62), at(-0.35, -0.45), at(-0.55, -0.3)},
               Lime, Lime);
    pp.polygon(QPolygon{at(0.2, -0.55), at(0.5, -0.6), at(0.7, -0.4), at(0.4, -0.3), at(0.25, -0.2)}, Lime,
               Lime);
    // Grid, where there is room for it.
    if (r < 12) {
        p.restore();
        p.setPen(Black);
        p.drawEllipse(QPoint(cx, cy), r, r);
        pp.pixel(cx - r / 2, cy - r / 2, White);
        return;
    }
    p.setPen(Aqua);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPoint(cx, cy), r / 2, r);
    p.drawLine(cx, cy - r, cx, cy + r);
    p.drawLine(cx - r, cy, cx + r, cy);
    p.drawLine(cx - r, cy - r / 2, cx + r, cy - r / 2);
    p.drawLine(cx - r, cy + r / 2, cx + r, cy + r / 2);
    // Highlight.
    pp.ellipse(cx - r / 2, cy - r / 2, r / 6, r / 8, White, White);
    p.restore();
    p.setPen(Black);
    p.drawEllipse(QPoint(cx, cy), r, r);
}

// A compact disc seen from above.
void drawDisc(PixelPainter &pp, int cx, int cy, int r, const QColor &hole)
{
    QPainter &p = pp.painter();
    pp.ellipse(cx, cy, r, r, Silver, Black);
    p.save();
    QPainterPath disc;
    disc.addEllipse(QPoint(cx, cy), r - 1, r - 1);
    p.setClipPath(disc);
    // The rainbow sheen: two wedges of colour across the disc.
    p.setPen(Qt::NoPen);
    p.setBrush(Aqua);
    p.drawPie(QRect(cx - r, cy - r, 2 * r, 2 * r), 30 * 16, 35 * 16);
    p.drawPie(QRect(cx - r, cy - r, 2 * r, 2 * r), 210 * 16, 35 * 16);
    p.setBrush(Fuchsia);
    p.drawPie(QRect(cx - r, cy - r, 2 * r, 2 * r), 65 * 16, 12 * 16);
    p.drawPie(QRect(cx - r, cy - r, 2 * r, 2 * r), 245 * 16, 12 * 16);
    p.setBrush(White);
    p.drawPie(QRect(cx - r, cy - r, 2 * r, 2 * r), 10 * 16, 20 * 16);
    p.drawPie(QRect(cx - r, cy - r, 2 * r, 2 * r), 190 * 16, 20 * 16);
    p.restore();
    const int hub = std::max(3, r / 3);
    pp.ellipse(cx, cy, hub, hub, White, Gray);
    pp.ellipse(cx, cy, std::max(1, r / 8), std::max(1, r / 8), hole, Gray);
}

// A 3.5-inch diskette, w x w, with its shutter at the top and a label below.
void drawDiskette(PixelPainter &pp, int x, int y, int w, const QColor &body, const QColor &background)
{
    pp.fill(x, y, w, w, Black);
    pp.fill(x + 1, y + 1, w - 2, w - 2, body);
    // Cut corner.
    pp.fill(x + w - 2, y, 2, 1, background);
    pp.pixel(x + w - 1, y + 1, background);
    pp.pixel(x + w - 2, y + 1, Black);
    // Shutter with its window.
    const int sw = w / 2, sx = x + w / 4;
    pp.fill(sx, y + 1, sw, w / 3, Silver);
    pp.vline(sx + sw - 1, y + 1, y + w / 3, Gray);
    pp.fill(sx + sw / 2, y + 2, std::max(2, sw / 4), w / 3 - 2, body);
    // Label.
    pp.fill(x + 3, y + w / 2, w - 6, w / 2 - 2, White);
    for (int ly = y + w / 2 + 2; ly < y + w - 3; ly += 2)
        pp.hline(x + 5, x + w - 6, ly, Silver);
}

QImage wizardPicture()
{
    QImage image(118, 218, QImage::Format_RGB32);
    image.fill(Teal);
    PixelPainter pp(image);
    QPainter &p = pp.painter();

    // A floor of dark dots under the computer.
    for (int y = 151; y < 218; y += 2)
        for (int x = (y / 2) % 4; x < 118; x += 4)
            pp.pixel(x, y, Navy);

    // The globe and the cable from it down to the back of the computer.
    drawGlobe(pp, 66, 38, 28);
    QPainterPath cable;
    cable.moveTo(66, 67);
    cable.cubicTo(66, 84, 106, 80, 104, 104);
    cable.cubicTo(103, 118, 96, 124, 94, 128);
    pp.path(cable, Black, 4);
    pp.path(cable, Gray, 2);
    pp.box(61, 64, 10, 6, Silver); // the globe's plug
    pp.fill(63, 70, 6, 2, Black);

    // Compact discs leaning on the left.
    drawDisc(pp, 19, 84, 15, Teal);
    drawDisc(pp, 31, 100, 13, Teal);

    // Monitor.
    pp.box(20, 104, 76, 58, Silver);
    pp.box(26, 109, 64, 45, Silver, false);
    pp.fill(28, 111, 60, 41, Navy);
    // On the screen: a download arrow into a tray and a progress bar.
    pp.polygon(QPolygon{QPoint(53, 115), QPoint(63, 115), QPoint(63, 125), QPoint(69, 125), QPoint(58, 135),
                        QPoint(47, 125), QPoint(53, 125)},
               Yellow, Olive);
    pp.hline(44, 72, 138, Aqua);
    pp.fill(34, 143, 48, 5, Black);
    pp.fill(35, 144, 30, 3, Lime);
    pp.fill(65, 144, 16, 3, Gray);
    // Buttons and lamp under the screen.
    pp.pixel(84, 158, Lime);
    pp.fill(76, 157, 5, 2, Gray);
    // Stand.
    pp.polygon(QPolygon{QPoint(46, 161), QPoint(70, 161), QPoint(74, 166), QPoint(42, 166)}, Silver, Black);
    pp.hline(44, 72, 165, Gray);

    // System unit under the monitor.
    pp.box(12, 166, 94, 24, Silver);
    pp.box(64, 170, 36, 7, Silver, false); // 5.25-inch drive
    pp.hline(68, 96, 173, Black);
    pp.box(64, 179, 36, 7, Silver, false); // 3.5-inch drive
    pp.fill(72, 182, 18, 1, Black);
    pp.fill(93, 181, 3, 2, Gray);
    pp.fill(18, 171, 14, 2, Gray); // badge
    pp.fill(18, 180, 4, 3, Lime);  // power lamp
    pp.fill(24, 180, 4, 3, Red);   // disk lamp
    pp.fill(44, 180, 10, 5, Gray); // power switch
    pp.fill(45, 181, 8, 3, Silver);

    // Keyboard.
    pp.polygon(QPolygon{QPoint(16, 194), QPoint(102, 194), QPoint(108, 206), QPoint(10, 206)}, Silver, Black);
    for (int row = 0; row < 3; ++row) {
        const int y = 196 + row * 3;
        for (int x = 18 - row * 2; x < 99 + row * 2; x += 4)
            pp.fill(x, y, 3, 2, row == 2 && x > 40 && x < 76 ? Silver : Gray);
    }
    pp.fill(42, 203, 34, 2, White); // space bar
    // The keyboard's cable into the case.
    p.setPen(Black);
    p.drawLine(59, 190, 59, 193);

    // Diskettes in front.
    drawDiskette(pp, 4, 196, 20, Black, Teal);
    drawDiskette(pp, 92, 198, 20, Navy, Teal);
    drawDiskette(pp, 80, 206, 16, Maroon, Teal);
    drawDisc(pp, 20, 212, 9, Teal);
    return image;
}

// A small computer: a monitor with a blue screen on a flat case.
void drawSmallComputer(PixelPainter &pp, int x, int y)
{
    pp.box(x, y, 22, 17, Silver);
    pp.fill(x + 3, y + 3, 16, 10, Black);
    pp.fill(x + 4, y + 4, 14, 8, Blue);
    pp.hline(x + 6, x + 14, y + 6, Aqua);
    pp.hline(x + 6, x + 11, y + 8, Aqua);
    pp.fill(x + 8, y + 17, 6, 2, Gray);
    pp.box(x - 2, y + 19, 26, 6, Silver);
    pp.pixel(x + 19, y + 21, Lime);
    pp.hline(x + 2, x + 10, y + 21, Gray);
}

QImage questionIcon()
{
    QImage image(63, 58, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    PixelPainter pp(image);

    drawSmallComputer(pp, 4, 3);
    drawSmallComputer(pp, 37, 30);

    // Envelope between them.
    const int ex = 17, ey = 17, ew = 28, eh = 19;
    pp.fill(ex, ey, ew, eh, Black);
    pp.fill(ex + 1, ey + 1, ew - 2, eh - 2, White);
    pp.hline(ex + 1, ex + ew - 2, ey + eh - 2, Silver);
    pp.line(ex + 1, ey + 1, ex + ew / 2, ey + eh / 2 + 1, Gray);
    pp.line(ex + ew - 2, ey + 1, ex + ew / 2, ey + eh / 2 + 1, Gray);
    pp.line(ex + 1, ey + eh - 2, ex + 9, ey + eh / 2, Silver);
    pp.line(ex + ew - 2, ey + eh - 2, ex + ew - 10, ey + eh / 2, Silver);

    // The cable runs across the envelope from one case to the other monitor.
    QPainterPath cable;
    cable.moveTo(26, 25);
    cable.cubicTo(36, 22, 42, 34, 26, 38);
    cable.cubicTo(18, 40, 24, 50, 36, 49);
    pp.path(cable, Black, 4);
    pp.path(cable, Lime, 2);
    pp.fill(24, 23, 3, 4, Gray); // plugs
    pp.fill(35, 47, 3, 4, Gray);
    return image;
}

QImage keyIcon()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    PixelPainter pp(image);

    // Page with a folded corner.
    pp.polygon(QPolygon{QPoint(8, 1), QPoint(23, 1), QPoint(28, 6), QPoint(28, 27), QPoint(8, 27)}, White,
               Black);
    pp.polygon(QPolygon{QPoint(23, 1), QPoint(23, 6), QPoint(28, 6)}, Silver, Black);
    for (int y = 4; y < 9; y += 2)
        pp.hline(10, 20, y, Gray);
    // Globe on the page.
    drawGlobe(pp, 18, 13, 6);

    // Key: bow at the lower left, blade to the right.
    pp.fill(10, 21, 20, 4, Black);
    pp.fill(11, 22, 18, 2, Yellow);
    pp.hline(11, 28, 23, Olive);
    pp.fill(22, 25, 2, 3, Black); // teeth
    pp.fill(26, 25, 2, 4, Black);
    pp.pixel(22, 25, Olive);
    pp.fill(26, 25, 1, 3, Olive);
    pp.ellipse(7, 23, 6, 6, Yellow, Black);
    // The hole in the bow lets the background through.
    pp.painter().setCompositionMode(QPainter::CompositionMode_Source);
    pp.ellipse(7, 23, 2, 2, Qt::transparent, Black);
    pp.painter().setCompositionMode(QPainter::CompositionMode_SourceOver);
    pp.pixel(4, 20, White);
    pp.pixel(5, 19, White);
    pp.hline(4, 10, 28, Olive);
    return image;
}

} // namespace

QImage upgradePicture(UpgradePicture which)
{
    switch (which) {
    case UpgradePicture::Wizard:
        return wizardPicture();
    case UpgradePicture::Question:
        return questionIcon();
    case UpgradePicture::Key:
        return keyIcon();
    }
    return {};
}

} // namespace resources
