#include "platform/ui/Canvas.h"
#include "platform/ui/ImageList.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

QImage Surface(int w, int h, TColor fill = clWhite)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Canvas::PixelOf(fill));
    return image;
}

TColor Rgb(TColor c)
{
    return ColorToRGB(c);
}

// Number of pixels of `rect` that differ from `background`.
int Ink(const Canvas &c, const Rect &rect, TColor background)
{
    int n = 0;
    for (int y = rect.Top; y < rect.Bottom; ++y)
        for (int x = rect.Left; x < rect.Right; ++x)
            if (c.Pixel(x, y) != Rgb(background))
                ++n;
    return n;
}

} // namespace

TEST(CanvasEdge, RaisedAndSunkenEdgesUseTheClassicColoursWithFarCornersBottomRight)
{
    QImage image = Surface(6, 6, clBtnFace);
    Canvas c(image);
    Rect r(0, 0, 6, 6);
    c.DrawEdge(r, EDGE_RAISED, BF_RECT);
    EXPECT_EQ(c.Pixel(0, 0), Rgb(cl3DLight));
    EXPECT_EQ(c.Pixel(1, 1), Rgb(clBtnHighlight));
    EXPECT_EQ(c.Pixel(5, 5), Rgb(cl3DDkShadow));
    EXPECT_EQ(c.Pixel(4, 4), Rgb(clBtnShadow));
    EXPECT_EQ(c.Pixel(5, 0), Rgb(cl3DDkShadow)) << "top-right corner belongs to the bottom-right colour";
    EXPECT_EQ(c.Pixel(0, 5), Rgb(cl3DDkShadow)) << "bottom-left corner belongs to the bottom-right colour";
    EXPECT_EQ(r, Rect(0, 0, 6, 6)) << "no BF_ADJUST: the rectangle stays";

    c.FillRect({0, 0, 6, 6}, clBtnFace);
    c.DrawEdge(r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    EXPECT_EQ(c.Pixel(0, 0), Rgb(clBtnShadow));
    EXPECT_EQ(c.Pixel(1, 1), Rgb(cl3DDkShadow));
    EXPECT_EQ(c.Pixel(5, 5), Rgb(clBtnHighlight));
    EXPECT_EQ(c.Pixel(4, 4), Rgb(cl3DLight));
    EXPECT_EQ(r, Rect(2, 2, 4, 4));
}

TEST(CanvasEdge, SingleEdgesSoftFlagAndSidesChosenByFlags)
{
    QImage image = Surface(5, 5, clWhite);
    Canvas c(image);
    Rect r(0, 0, 5, 5);
    c.DrawEdge(r, BDR_SUNKENOUTER, BF_RECT | BF_SOFT);
    EXPECT_EQ(c.Pixel(0, 0), Rgb(cl3DDkShadow)) << "a soft sunken edge is dark at the top-left";
    EXPECT_EQ(c.Pixel(4, 4), Rgb(clBtnHighlight));
    EXPECT_EQ(c.Pixel(1, 1), Rgb(clWhite)) << "a single edge is one pixel wide";

    QImage image2 = Surface(5, 5, clWhite);
    Canvas c2(image2);
    Rect r2(0, 0, 5, 5);
    c2.DrawEdge(r2, BDR_RAISEDINNER, BF_TOP | BF_LEFT);
    EXPECT_EQ(c2.Pixel(2, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(c2.Pixel(0, 2), Rgb(clBtnHighlight));
    EXPECT_EQ(c2.Pixel(4, 2), Rgb(clWhite)) << "no right side";
    EXPECT_EQ(c2.Pixel(2, 4), Rgb(clWhite)) << "no bottom side";
}

TEST(CanvasShapes, RectanglesLinesAndPixelsFollowDeviceConventions)
{
    QImage image = Surface(10, 10);
    Canvas c(image);
    c.FillRect({2, 2, 5, 4}, clRed);
    EXPECT_EQ(Ink(c, {0, 0, 10, 10}, clWhite), 3 * 2) << "right and bottom edges are excluded";

    c.FillRect({0, 0, 10, 10}, clWhite);
    c.MoveTo(1, 1);
    c.LineTo(6, 1);
    EXPECT_EQ(c.Pixel(1, 1), Rgb(clBlack));
    EXPECT_EQ(c.Pixel(5, 1), Rgb(clBlack));
    EXPECT_EQ(c.Pixel(6, 1), Rgb(clWhite)) << "a line leaves out its last point";
    EXPECT_EQ(c.PenPos(), QPoint(6, 1));

    c.pen().setStyle(Pen::Style::Clear);
    c.MoveTo(0, 5);
    c.LineTo(9, 5);
    EXPECT_EQ(Ink(c, {0, 5, 10, 6}, clWhite), 0) << "a clear pen draws nothing";

    c.FillRect({0, 0, 10, 10}, clWhite);
    c.setPen(Pen(clBlue, 1));
    c.setBrushColor(clYellow);
    c.Rectangle({1, 1, 6, 6});
    EXPECT_EQ(c.Pixel(1, 1), Rgb(clBlue));
    EXPECT_EQ(c.Pixel(5, 5), Rgb(clBlue));
    EXPECT_EQ(c.Pixel(3, 3), Rgb(clYellow));
    EXPECT_EQ(c.Pixel(6, 6), Rgb(clWhite));

    c.FillRect({0, 0, 10, 10}, clWhite);
    c.setBrushStyle(Canvas::BrushStyle::Clear);
    c.Rectangle({1, 1, 6, 6});
    EXPECT_EQ(c.Pixel(3, 3), Rgb(clWhite)) << "a clear brush leaves the inside";

    c.SetPixel(-1, 3, clRed); // outside: ignored
    c.SetPixel(9, 9, clRed);
    EXPECT_EQ(c.Pixel(9, 9), Rgb(clRed));
    EXPECT_EQ(c.Pixel(10, 10), clNone);
}

TEST(CanvasShapes, PolygonsAndEllipsesFillPixelCentres)
{
    QImage image = Surface(12, 12);
    Canvas c(image);
    c.pen().setStyle(Pen::Style::Clear);
    c.setBrushColor(clGreen);
    c.Polygon({{2, 2}, {6, 2}, {6, 6}, {2, 6}});
    EXPECT_EQ(Ink(c, {0, 0, 12, 12}, clWhite), 16) << "a 4 × 4 square covers exactly 16 pixels";
    EXPECT_EQ(c.Pixel(2, 2), Rgb(clGreen));
    EXPECT_EQ(c.Pixel(6, 6), Rgb(clWhite));

    c.FillRect({0, 0, 12, 12}, clWhite);
    c.setPen(Pen(clBlack, 1));
    c.setBrushColor(clRed);
    c.Ellipse({0, 0, 12, 12});
    EXPECT_EQ(c.Pixel(0, 0), Rgb(clWhite)) << "corners stay outside";
    EXPECT_EQ(c.Pixel(11, 11), Rgb(clWhite));
    EXPECT_EQ(c.Pixel(6, 6), Rgb(clRed));
    EXPECT_EQ(c.Pixel(0, 6), Rgb(clBlack)) << "the outline lies on the inside of the box";
    EXPECT_EQ(c.Pixel(11, 6), Rgb(clBlack));
}

TEST(CanvasShapes, ClippingAndFocusRectangles)
{
    QImage image = Surface(10, 10);
    Canvas c(image);
    c.SetClipRect({2, 2, 4, 4});
    c.FillRect({0, 0, 10, 10}, clRed);
    EXPECT_EQ(Ink(c, {0, 0, 10, 10}, clWhite), 4);
    c.ClearClip();

    c.FillRect({0, 0, 10, 10}, clWhite);
    c.SetClipRoundRect({0, 0, 10, 10}, 4, 4);
    c.FillRect({0, 0, 10, 10}, clRed);
    EXPECT_EQ(c.Pixel(0, 0), Rgb(clWhite)) << "a rounded clip cuts the corners";
    EXPECT_EQ(c.Pixel(9, 9), Rgb(clWhite));
    EXPECT_EQ(c.Pixel(5, 0), Rgb(clRed));
    EXPECT_EQ(c.Pixel(0, 5), Rgb(clRed));
    c.ClearClip();

    c.FillRect({0, 0, 10, 10}, clWhite);
    c.DrawFocusRect({1, 1, 7, 7});
    EXPECT_EQ(c.Pixel(1, 1), Rgb(clBlack)) << "white inverted";
    EXPECT_EQ(c.Pixel(2, 1), Rgb(clWhite)) << "every other pixel";
    EXPECT_EQ(c.Pixel(3, 3), Rgb(clWhite)) << "only the frame";
    c.DrawFocusRect({1, 1, 7, 7});
    EXPECT_EQ(Ink(c, {0, 0, 10, 10}, clWhite), 0) << "drawing it again restores the surface";

    // Save and Restore bring the clip back.
    c.Save();
    c.SetClipRect({0, 0, 1, 1});
    c.Restore();
    c.FillRect({0, 0, 10, 10}, clBlue);
    EXPECT_EQ(Ink(c, {0, 0, 10, 10}, clBlue), 0);
}

TEST(CanvasText, MeasuringPrefixesBreaksAndEllipsis)
{
    QImage image = Surface(200, 60);
    Canvas c(image);
    const QSize ab = c.TextExtent("ab");
    Rect r(0, 0, 200, 0);
    EXPECT_EQ(c.DrawText("ab", r, DT_CALCRECT), ab.height());
    EXPECT_EQ(r.Width(), ab.width());

    Rect prefixed(0, 0, 200, 0);
    c.DrawText("a&b", prefixed, DT_CALCRECT);
    EXPECT_EQ(prefixed.Width(), ab.width()) << "the marker takes no room";
    Rect doubled(0, 0, 200, 0);
    c.DrawText("a&&b", doubled, DT_CALCRECT);
    EXPECT_EQ(doubled.Width(), c.TextExtent("a&b").width()) << "&& stands for &";
    Rect noPrefix(0, 0, 200, 0);
    c.DrawText("a&b", noPrefix, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(noPrefix.Width(), c.TextExtent("a&b").width());

    Rect wrapped(0, 0, c.TextExtent("word").width() + 2, 0);
    c.DrawText("word word word", wrapped, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(wrapped.Height(), 3 * ab.height()) << "one word per line";

    Rect tabs(0, 0, 200, 0);
    c.DrawText("a\tb", tabs, DT_CALCRECT | DT_EXPANDTABS);
    EXPECT_EQ(tabs.Width(), c.TextExtent("a       b").width());

    Rect longText(0, 0, 20, 0);
    c.DrawText("a rather long caption", longText, DT_CALCRECT | DT_END_ELLIPSIS);
    EXPECT_GT(longText.Width(), 20) << "measuring gives the whole text";

    // Drawing with an ellipsis keeps the ink inside the rectangle.
    Rect box(10, 10, 40, 30);
    c.DrawText("a rather long caption", box, DT_END_ELLIPSIS | DT_NOCLIP);
    EXPECT_GT(Ink(c, {10, 10, 40, 30}, clWhite), 0);
    EXPECT_EQ(Ink(c, {40, 0, 200, 60}, clWhite), 0);
}

TEST(CanvasText, AcceleratorUnderlineAlignmentAndClipping)
{
    QImage plain = Surface(100, 30);
    QImage marked = Surface(100, 30);
    Canvas p(plain);
    Canvas m(marked);
    Rect r1(0, 0, 100, 30);
    Rect r2 = r1;
    p.DrawText("File", r1, DT_SINGLELINE);
    m.DrawText("&File", r2, DT_SINGLELINE);
    const int width = p.TextExtent("F").width();
    const int ascent = p.TextExtent("F").height();
    int differing = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            if (plain.pixel(x, y) != marked.pixel(x, y)) {
                ++differing;
                EXPECT_LT(x, width + 1) << "only the accelerator is underlined";
                EXPECT_LE(y, ascent + 2);
            }
    EXPECT_GT(differing, 0);

    // Centred and right-aligned text.
    QImage image = Surface(100, 20);
    Canvas c(image);
    const int w = c.TextExtent("ab").width();
    Rect centred(0, 0, 100, 20);
    c.DrawText("ab", centred, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    EXPECT_EQ(Ink(c, {0, 0, (100 - w) / 2, 20}, clWhite), 0);
    EXPECT_EQ(Ink(c, {(100 - w) / 2 + w + 1, 0, 100, 20}, clWhite), 0);
    c.FillRect({0, 0, 100, 20}, clWhite);
    Rect right(0, 0, 100, 20);
    c.DrawText("ab", right, DT_RIGHT | DT_SINGLELINE);
    EXPECT_EQ(Ink(c, {0, 0, 100 - w - 1, 20}, clWhite), 0);
    EXPECT_GT(Ink(c, {100 - w - 1, 0, 100, 20}, clWhite), 0);

    // Without DT_NOCLIP nothing lands outside the rectangle.
    c.FillRect({0, 0, 100, 20}, clWhite);
    Rect small(0, 0, 5, 20);
    c.DrawText("WWWW", small, DT_SINGLELINE);
    EXPECT_EQ(Ink(c, {5, 0, 100, 20}, clWhite), 0);
    EXPECT_GT(Ink(c, {0, 0, 5, 20}, clWhite), 0);
}

TEST(CanvasFrameControl, CheckRadioAndPushMarksFollowTheirStates)
{
    QImage image = Surface(13, 13, clBtnFace);
    Canvas c(image);
    c.DrawFrameControl({0, 0, 13, 13}, DFC_BUTTON, DFCS_BUTTONCHECK);
    EXPECT_EQ(c.Pixel(6, 6), Rgb(clWindow)) << "an unchecked box is white inside";
    EXPECT_EQ(c.Pixel(0, 0), Rgb(clBtnShadow)) << "sunken edge";
    c.DrawFrameControl({0, 0, 13, 13}, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    EXPECT_GT(Ink(c, {2, 2, 11, 11}, clWindow), 10) << "the tick";
    EXPECT_EQ(c.Pixel(6, 6), Rgb(clWindowText));
    c.DrawFrameControl({0, 0, 13, 13}, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE);
    EXPECT_EQ(c.Pixel(3, 3), Rgb(clBtnFace)) << "an inactive box has the face colour";
    EXPECT_EQ(c.Pixel(6, 6), Rgb(clBtnShadow)) << "and a grey tick";

    c.FillRect({0, 0, 13, 13}, clBtnFace);
    c.DrawFrameControl({0, 0, 13, 13}, DFC_BUTTON, DFCS_BUTTONRADIO);
    EXPECT_EQ(c.Pixel(6, 6), Rgb(clWindow));
    EXPECT_EQ(c.Pixel(0, 0), Rgb(clBtnFace)) << "round: the corner stays";
    c.DrawFrameControl({0, 0, 13, 13}, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
    EXPECT_EQ(c.Pixel(6, 6), Rgb(clWindowText)) << "the dot";

    c.FillRect({0, 0, 13, 13}, clWhite);
    c.DrawFrameControl({0, 0, 13, 13}, DFC_BUTTON, DFCS_BUTTONPUSH);
    EXPECT_EQ(c.Pixel(0, 0), Rgb(clBtnHighlight)) << "a raised push button";
    c.DrawFrameControl({0, 0, 13, 13}, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    EXPECT_EQ(c.Pixel(0, 0), Rgb(cl3DDkShadow)) << "pushed: sunken";
    c.DrawFrameControl({0, 0, 13, 13}, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT);
    EXPECT_EQ(c.Pixel(0, 0), Rgb(clBtnShadow)) << "flat: a single frame";
    EXPECT_EQ(c.Pixel(6, 6), Rgb(clBtnFace));
}

TEST(CanvasImages, RasterOperationsCombineSourceDestinationAndBrush)
{
    QImage source = Surface(1, 1, RGB(0xF0, 0x0F, 0x55));
    const TColor dst = RGB(0x3C, 0xC3, 0xAA);
    const TColor brush = RGB(0xFF, 0x00, 0x0F);
    const auto blit = [&](unsigned rop) {
        QImage image = Surface(1, 1, dst);
        Canvas c(image);
        c.setBrushColor(brush);
        c.BitBlt(0, 0, 1, 1, source, 0, 0, rop);
        return c.Pixel(0, 0);
    };
    const TColor s = RGB(0xF0, 0x0F, 0x55);
    EXPECT_EQ(blit(SRCCOPY), s);
    EXPECT_EQ(blit(SRCPAINT), (s | dst));
    EXPECT_EQ(blit(SRCERASE), (s & ~dst) & 0xFFFFFF);
    EXPECT_EQ(blit(MERGEPAINT), (~s | dst) & 0xFFFFFF);
    EXPECT_EQ(blit(MERGECOPY), s & brush);

    // Clipped to the surface and the clip region.
    QImage big = Surface(4, 4, clWhite);
    Canvas c(big);
    c.SetClipRect({0, 0, 2, 4});
    QImage red = Surface(4, 4, clRed);
    c.BitBlt(0, 0, 4, 4, red, 0, 0, SRCCOPY);
    EXPECT_EQ(Ink(c, {0, 0, 4, 4}, clWhite), 8);
}

TEST(CanvasImages, ImageListsDrawTransparentlyAndStampMonochromeShadows)
{
    ImageList list(3, 3);
    QImage icon(3, 3, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    icon.setPixel(1, 1, qRgba(0, 0, 255, 255));
    list.Add(icon);

    QImage image = Surface(5, 5);
    Canvas c(image);
    EXPECT_TRUE(c.DrawImageList(list, 0, 1, 1));
    EXPECT_FALSE(c.DrawImageList(list, 3, 1, 1));
    EXPECT_EQ(c.Pixel(2, 2), Rgb(clBlue));
    EXPECT_EQ(Ink(c, {0, 0, 5, 5}, clWhite), 1) << "transparent pixels leave the surface";

    const QImage mask = Canvas::ImageListMask(list, 0);
    c.setBrushColor(clRed);
    c.DrawStateMono(mask, 2, 2);
    EXPECT_EQ(c.Pixel(3, 3), Rgb(clRed));
    EXPECT_EQ(Ink(c, {0, 0, 5, 5}, clWhite), 2);

    QImage keyed = Surface(2, 1, clSilver);
    keyed.setPixel(1, 0, Canvas::PixelOf(clGreen));
    c.FillRect({0, 0, 5, 5}, clWhite);
    c.DrawTransparent(0, 0, keyed, clSilver);
    EXPECT_EQ(c.Pixel(0, 0), Rgb(clWhite));
    EXPECT_EQ(c.Pixel(1, 0), Rgb(clGreen));
}

TEST(CanvasColourPasses, AlphaBlendDividesBy256AndLeavesTheColourAlone)
{
    QImage image = Surface(3, 1, clBlue);
    image.setPixel(2, 0, Canvas::PixelOf(clRed));
    Canvas c(image);
    c.AlphaBlend({0, 0, 2, 1}, clRed, 50);
    // Red 255 × 50 >> 8 = 49; blue 255 × 205 >> 8 = 204.
    EXPECT_EQ(c.Pixel(0, 0), RGB(49, 0, 204));
    EXPECT_EQ(c.Pixel(2, 0), Rgb(clRed)) << "outside the rectangle";

    QImage full = Surface(2, 1, clBlue);
    full.setPixel(1, 0, Canvas::PixelOf(clRed));
    Canvas f(full);
    f.AlphaBlend({0, 0, 2, 1}, clRed, 255);
    EXPECT_EQ(f.Pixel(0, 0), RGB(254, 0, 0)) << "255/256 of the colour";
    EXPECT_EQ(f.Pixel(1, 0), Rgb(clRed)) << "a pixel equal to the colour is left alone";
    f.AlphaBlend({-5, -5, 10, 10}, clWhite, 0);
    EXPECT_EQ(f.Pixel(0, 0), RGB(253, 0, 0)) << "weight 0 keeps 255/256 of the pixel";
}

TEST(CanvasColourPasses, GrayscaleAveragesTheFourBytes)
{
    QImage image = Surface(2, 1, RGB(200, 100, 40));
    Canvas c(image);
    c.Grayscale({0, 0, 1, 1});
    // (40 + 100 + 200 + 0) >> 2 = 85.
    EXPECT_EQ(c.Pixel(0, 0), RGB(85, 85, 85));
    EXPECT_EQ(c.Pixel(1, 0), RGB(200, 100, 40));
}
