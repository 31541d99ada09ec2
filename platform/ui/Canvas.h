#pragma once

#include "platform/ui/Colors.h"
#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Pen.h"

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

namespace platform {

class ImageList;

// Edge kinds and flags of DrawEdge, with the values the drawing code passes.
inline constexpr unsigned BDR_RAISEDOUTER = 0x1;
inline constexpr unsigned BDR_SUNKENOUTER = 0x2;
inline constexpr unsigned BDR_RAISEDINNER = 0x4;
inline constexpr unsigned BDR_SUNKENINNER = 0x8;
inline constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
inline constexpr unsigned BF_LEFT = 0x1;
inline constexpr unsigned BF_TOP = 0x2;
inline constexpr unsigned BF_RIGHT = 0x4;
inline constexpr unsigned BF_BOTTOM = 0x8;
inline constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr unsigned BF_MIDDLE = 0x800;
inline constexpr unsigned BF_SOFT = 0x1000;
inline constexpr unsigned BF_ADJUST = 0x2000;
inline constexpr unsigned BF_FLAT = 0x4000;
inline constexpr unsigned BF_MONO = 0x8000;

// DrawText formats.
inline constexpr unsigned DT_TOP = 0x0;
inline constexpr unsigned DT_LEFT = 0x0;
inline constexpr unsigned DT_CENTER = 0x1;
inline constexpr unsigned DT_RIGHT = 0x2;
inline constexpr unsigned DT_VCENTER = 0x4;
inline constexpr unsigned DT_BOTTOM = 0x8;
inline constexpr unsigned DT_WORDBREAK = 0x10;
inline constexpr unsigned DT_SINGLELINE = 0x20;
inline constexpr unsigned DT_EXPANDTABS = 0x40;
inline constexpr unsigned DT_NOCLIP = 0x100;
inline constexpr unsigned DT_CALCRECT = 0x400;
inline constexpr unsigned DT_NOPREFIX = 0x800;
inline constexpr unsigned DT_END_ELLIPSIS = 0x8000;
inline constexpr unsigned DT_RTLREADING = 0x20000;

// DrawFrameControl types and states.
inline constexpr unsigned DFC_BUTTON = 4;
inline constexpr unsigned DFCS_BUTTONCHECK = 0x0;
inline constexpr unsigned DFCS_BUTTONRADIO = 0x4;
inline constexpr unsigned DFCS_BUTTON3STATE = 0x8;
inline constexpr unsigned DFCS_BUTTONPUSH = 0x10;
inline constexpr unsigned DFCS_INACTIVE = 0x100;
inline constexpr unsigned DFCS_PUSHED = 0x200;
inline constexpr unsigned DFCS_CHECKED = 0x400;
inline constexpr unsigned DFCS_FLAT = 0x4000;
inline constexpr unsigned DFCS_MONO = 0x8000;

// Raster operations of BitBlt (S source, D destination, P brush).
inline constexpr unsigned SRCCOPY = 0xCC0020;    // S
inline constexpr unsigned SRCPAINT = 0xEE0086;   // S | D
inline constexpr unsigned SRCAND = 0x8800C6;     // S & D
inline constexpr unsigned SRCINVERT = 0x660046;  // S ^ D
inline constexpr unsigned SRCERASE = 0x440328;   // S & ~D
inline constexpr unsigned MERGECOPY = 0xC000CA;  // S & P
inline constexpr unsigned MERGEPAINT = 0xBB0226; // ~S | D
inline constexpr unsigned PATCOPY = 0xF00021;    // P

// DrawState kinds.
inline constexpr unsigned DST_BITMAP = 0x4;
inline constexpr unsigned DSS_MONO = 0x80;

// A drawing surface in the manner of a device context over a 32-bit image: a pen, a
// brush, a font, a clip region and a pen position. Nothing is antialiased, so every
// operation sets whole pixels and can be checked pixel by pixel. Coordinates follow the
// device conventions: rectangles exclude their right and bottom edges, and a line
// excludes its last point.
//
// The image must be Format_RGB32 or Format_ARGB32; the canvas writes opaque pixels. The
// fourth byte of a device pixel is taken as zero where an operation reads it (grayscale).
class Canvas
{
public:
    enum class BrushStyle { Solid, Clear };

    explicit Canvas(QImage &image);

    QImage &Image() { return *m_image; }
    const QImage &Image() const { return *m_image; }
    int Width() const { return m_image->width(); }
    int Height() const { return m_image->height(); }

    // ---- Drawing objects ----
    Pen &pen() { return m_pen; }
    void setPen(const Pen &pen) { m_pen = pen; }
    TColor brushColor() const { return m_brushColor; }
    void setBrushColor(TColor color)
    {
        m_brushColor = color;
        m_brushStyle = BrushStyle::Solid;
    }
    BrushStyle brushStyle() const { return m_brushStyle; }
    void setBrushStyle(BrushStyle style) { m_brushStyle = style; }
    // The font of DrawText; its colour is the text colour.
    Font &font() { return m_font; }
    void setFont(const Font &font) { m_font = font; }

    // Saves and restores pen, brush, font, clip and pen position.
    void Save();
    void Restore();

    // ---- Clipping ----
    // Limits drawing to `r` (intersected with the surface).
    void SetClipRect(const Rect &r);
    // Limits drawing to a rectangle with rounded corners; the corners are quarters of an
    // ellipse `ellipseWidth` × `ellipseHeight`.
    void SetClipRoundRect(const Rect &r, int ellipseWidth, int ellipseHeight);
    void ClearClip();
    bool IsClipped() const { return m_clipped; }
    // The pixel may be drawn (inside the surface and the clip).
    bool Visible(int x, int y) const;

    // ---- Pixels and lines ----
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);
    void MoveTo(int x, int y) { m_penPos = QPoint(x, y); }
    QPoint PenPos() const { return m_penPos; }
    // A line in the pen from the pen position to (x, y), which is not drawn; the pen
    // position moves there. A clear pen draws nothing.
    void LineTo(int x, int y);

    // ---- Shapes ----
    // Fills `r` with a colour, or with the brush (nothing for a clear brush).
    void FillRect(const Rect &r, TColor color);
    void FillRect(const Rect &r);
    // A one-pixel frame on the inside of `r`.
    void FrameRect(const Rect &r, TColor color);
    // The brush fills the inside, the pen outlines it centred on the edge pixels of `r`.
    void Rectangle(const Rect &r);
    // Filled by the brush (alternate rule, pixel centres), outlined by the pen.
    void Polygon(const std::vector<QPoint> &points);
    // The ellipse inscribed in `r`: filled by the brush, outlined on its inside by the pen.
    void Ellipse(const Rect &r);
    // Inverts every other pixel of the one-pixel frame of `r`; drawing it twice restores it.
    void DrawFocusRect(const Rect &r);

    // ---- Three-dimensional edges and frame controls ----
    // Draws the edge `edge` (BDR_*/EDGE_*) on the sides of `r` named by `flags` (BF_*);
    // BF_SOFT chooses the soft colours, BF_MIDDLE fills the inside, BF_ADJUST shrinks `r`.
    bool DrawEdge(Rect &r, unsigned edge, unsigned flags);
    // Check boxes, radio buttons and push buttons (DFC_BUTTON) with their DFCS_* states.
    bool DrawFrameControl(const Rect &r, unsigned type, unsigned state);

    // ---- Text ----
    // Draws or (DT_CALCRECT) measures text in `r` with the DT_* flags; returns the text
    // height. With DT_CALCRECT `r` gets the size of the text and nothing is drawn; the
    // size is that of the whole text (DT_END_ELLIPSIS shortens only what is drawn).
    int DrawText(const QString &text, Rect &r, unsigned format);
    // Size of a single line of text without prefix processing.
    QSize TextExtent(const QString &text) const;
    // Draws a single line with its top-left at (x, y), transparently or on the brush.
    void TextOut(int x, int y, const QString &text);

    // ---- Images ----
    // Combines the source rectangle (sx, sy, w, h) of `source` with the surface at
    // (x, y) by one of the raster operations above (the brush is the pattern).
    void BitBlt(int x, int y, int w, int h, const QImage &source, int sx, int sy, unsigned rop);
    // Draws `source` at (x, y): fully transparent pixels leave the surface, translucent
    // ones are blended and opaque ones copied.
    void Draw(int x, int y, const QImage &source);
    // Draws `source` at (x, y) leaving out the pixels of colour `transparent`.
    void DrawTransparent(int x, int y, const QImage &source, TColor transparent);
    // Draws image `index` of `list` transparently; a disabled image is greyed. False when
    // the list has no such image.
    bool DrawImageList(const ImageList &list, int index, int x, int y, bool enabled = true);
    // The mask of image `index`: set where the image has a visible pixel.
    static QImage ImageListMask(const ImageList &list, int index);
    // Stamps the set pixels of a monochrome mask in the brush colour at (x, y)
    // (DrawState with DST_BITMAP | DSS_MONO).
    void DrawStateMono(const QImage &mask, int x, int y);

    // ---- Colour passes ----
    // Blends `color` over `r` with weight `weight` (0..255): per channel pair
    // (color × weight + pixel × (255 − weight)) >> 8; pixels already equal to `color`
    // stay as they are. `r` is clipped to the surface, not to the clip region.
    void AlphaBlend(const Rect &r, TColor color, int weight);
    // Every pixel of `r` becomes the average of its four bytes, on all colour channels.
    void Grayscale(const Rect &r);

    // The device pixel value of a colour (system colours resolved).
    static QRgb PixelOf(TColor color);

private:
    struct State
    {
        Pen pen;
        TColor brushColor;
        BrushStyle brushStyle;
        Font font;
        QRegion clip;
        bool clipped;
        QPoint penPos;
    };

    // Calls fn(y, x0, x1) for every visible span of `r` (x1 exclusive).
    void ForEachSpan(const Rect &r, const std::function<void(int y, int x0, int x1)> &fn) const;
    void FillSpan(int y, int x0, int x1, QRgb value);
    void Plot(int x, int y, QRgb value);
    // A pen dot of the current width centred on (x, y).
    void PenDot(int x, int y, QRgb value, int width);
    void Line(int x0, int y0, int x1, int y1, QRgb value, int width);
    void FillPolygon(const std::vector<QPoint> &points, QRgb value);
    // Inside test of the ellipse inscribed in `r` at the centre of pixel (x, y).
    static bool InEllipse(const Rect &r, int x, int y);

    void DrawTextLine(const QString &line, int x, int y, int underline, const QRegion &clip, bool rtl);

    QImage *m_image;
    Pen m_pen;
    TColor m_brushColor = clWhite;
    BrushStyle m_brushStyle = BrushStyle::Solid;
    Font m_font;
    QRegion m_clip;
    bool m_clipped = false;
    QPoint m_penPos;
    std::vector<State> m_saved;
};

} // namespace platform
