#include "navbar/nbSideBar.h"
#include "platform/ui/Canvas.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

TColor At(const QImage &image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

// A bar of `headers` headers with `buttons` buttons each, painted at w × h.
void Fill(TnbSideBar &bar, int headers, int buttons, int w = 120, int h = 300)
{
    bar.resize(w, h);
    for (int i = 0; i < headers; ++i) {
        TnbHeader *header = bar.AddHeader();
        header->SetCaption(QStringLiteral("H%1").arg(i));
        for (int b = 0; b < buttons; ++b)
            header->AddButton()->SetCaption(QStringLiteral("B%1").arg(b));
    }
}

} // namespace

TEST(BarPaint, EmptyBarPaintsBackgroundAndBevelOnly)
{
    TnbSideBar bar;
    bar.resize(120, 80);
    bar.Background()->SetColor(clTeal);
    const QImage image = bar.PaintImage();
    ASSERT_EQ(image.size(), QSize(120, 80));
    EXPECT_EQ(At(image, 0, 0), ColorToRGB(clBtnShadow)) << "lowered bevel";
    EXPECT_EQ(At(image, 119, 79), ColorToRGB(clBtnHighlight));
    for (int y = 1; y < 79; ++y)
        for (int x = 1; x < 119; ++x)
            ASSERT_EQ(At(image, x, y), clTeal) << x << "," << y;
    EXPECT_EQ(bar.Color(), clTeal) << "the control colour follows the background";

    bar.CloseButton()->SetVisible(true);
    const QImage closed = bar.PaintImage();
    EXPECT_EQ(bar.CloseButton()->CloseRect, Rect(1, 1, 119, 23));
    EXPECT_NE(bar.CloseButton()->BoxRect, HiddenRect);
    EXPECT_EQ(At(closed, 30, 40), clTeal);

    bar.BeginUpdate();
    EXPECT_TRUE(bar.PaintImage().isNull()) << "no paint while an update is pending";
    bar.EndUpdate();
}

TEST(BarPaint, OutlookLayoutStacksCaptionsAroundTheActiveBody)
{
    TnbSideBar bar;
    Fill(bar, 3, 1);
    bar.SetActiveHeader(bar.Header(1));
    const QImage image = bar.PaintImage();
    // Bevel of 1 on each side; captions 22 high, adjacent.
    EXPECT_EQ(bar.Header(0)->CaptionRect, Rect(1, 1, 119, 23));
    EXPECT_EQ(bar.Header(1)->CaptionRect, Rect(1, 23, 119, 45));
    EXPECT_EQ(bar.Header(2)->CaptionRect, Rect(1, 277, 119, 299)) << "the last caption sits at the bottom";
    EXPECT_EQ(bar.Header(1)->BodyRect(), Rect(1, 46, 119, 277)) << "the body fills the gap";
    EXPECT_EQ(bar.Header(0)->BodyRect(), Rect()) << "inactive headers have no body";
    EXPECT_EQ(At(image, 60, 200), clGray) << "the header background";
    EXPECT_EQ(At(image, 1, 1), ColorToRGB(cl3DLight)) << "flat caption edge";
    EXPECT_EQ(At(image, 1, 22), ColorToRGB(clBtnShadow));

    // The button was laid out and hit-testable inside the body.
    TnbButton *button = bar.Header(1)->Button(0);
    EXPECT_EQ(button->ButtonRect.Top, 46 + 10);
    EXPECT_EQ(bar.Header(1)->LastVisibleIndex(), 0);

    // An invisible header takes no space.
    bar.Header(0)->SetVisible(false);
    bar.PaintImage();
    EXPECT_EQ(bar.Header(0)->CaptionRect, HiddenRect);
    EXPECT_EQ(bar.Header(1)->CaptionRect.Top, 1);

    // A header without caption keeps a line just above its place.
    bar.Header(1)->SetOptions(bar.Header(1)->Options().Include(hoNoCaption));
    bar.PaintImage();
    EXPECT_EQ(bar.Header(1)->CaptionRect.Height(), 0);
    EXPECT_EQ(bar.Header(1)->BodyRect().Top, 1) << "its body still shows";
}

TEST(BarPaint, ButtonBelowTheBodyIsHiddenAndEnablesTheDownArrow)
{
    TnbSideBar bar;
    Fill(bar, 2, 4, 120, 200);
    bar.SetActiveHeader(bar.Header(0));
    bar.PaintImage();
    TnbHeader *h = bar.Header(0);
    // Body from 24 to 177 (header 1 at the bottom); buttons 60 high, 2 apart, from 34.
    EXPECT_EQ(h->BodyRect(), Rect(1, 24, 119, 177));
    EXPECT_EQ(h->Button(0)->ButtonRect.Top, 34);
    EXPECT_EQ(h->Button(1)->ButtonRect.Top, 96);
    EXPECT_EQ(h->Button(2)->ButtonRect, HiddenRect) << "it would reach the body bottom";
    EXPECT_EQ(h->LastVisibleIndex(), 1);
    EXPECT_FALSE(bar.ArrowRect(TnbSideBar::saButtonDown).IsEmpty());
    EXPECT_NE(bar.ArrowStateOf(TnbSideBar::saButtonDown), TnbSideBar::asDisabled);
    EXPECT_TRUE(bar.ArrowRect(TnbSideBar::saButtonUp).IsEmpty()) << "nothing above: no up arrow";

    h->ScrollDown();
    bar.PaintImage();
    EXPECT_EQ(h->Button(0)->ButtonRect, HiddenRect) << "scrolled away";
    EXPECT_EQ(h->Button(1)->ButtonRect.Top, 34);
    EXPECT_FALSE(bar.ArrowRect(TnbSideBar::saButtonUp).IsEmpty());
}

TEST(BarPaint, GradientsAlphaBlendAndGrayscale)
{
    TnbSideBar bar;
    Fill(bar, 1, 0, 60, 300);
    bar.SetActiveHeader(bar.Header(0));
    TnbBackground *bg = bar.Header(0)->Background();
    bg->SetStyle(btGradient);
    bg->Gradient()->SetBeginColor(clBlack);
    bg->Gradient()->SetEndColor(clWhite);
    bg->Gradient()->SetDrawStyle(gtVerticalToCenter);
    const QImage image = bar.PaintImage();
    const Rect body = bar.Header(0)->BodyRect();
    EXPECT_EQ(At(image, 30, body.Top), clBlack);
    EXPECT_EQ(At(image, 30, body.Bottom - 1), clBlack);
    const int middle = body.Top + body.Height() / 2;
    int brightest = 0;
    for (int y = middle - 3; y <= middle + 3; ++y)
        brightest = std::max(brightest, RedOf(At(image, 30, y)));
    EXPECT_EQ(brightest, 255) << "white in the middle";
    EXPECT_EQ(bg->Gradient()->CacheSize(), QSize(body.Width(), body.Height()));

    // Weight 255 − AlphaBlend: 255 changes nothing, 0 turns everything (almost) the colour.
    bg->SetColor(clRed);
    bg->SetAlphaBlend(255);
    const QImage opaque = bar.PaintImage();
    EXPECT_EQ(At(opaque, 30, body.Top), clBlack);
    bg->SetAlphaBlend(0);
    const QImage blended = bar.PaintImage();
    EXPECT_EQ(At(blended, 30, body.Top), RGB(254, 0, 0));
    EXPECT_EQ(At(blended, 30, middle), RGB(254, 0, 0));

    bg->SetAlphaBlend(255);
    bg->SetStyle(btSolid);
    bg->SetColor(RGB(200, 100, 40));
    bg->SetGrayscale(true);
    EXPECT_EQ(At(bar.PaintImage(), 30, body.Top + 2), RGB(85, 85, 85));
}

TEST(BarPaint, BackgroundBitmapsUseTheirRasterOperation)
{
    TnbSideBar bar;
    bar.resize(40, 40);
    bar.SetBevelOuter(bvNone);
    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(Canvas::PixelOf(RGB(0x0F, 0x0F, 0x0F)));
    bar.Background()->SetColor(RGB(0xF0, 0x00, 0x00));
    bar.Background()->SetBitmap(tile);
    bar.Background()->SetStyle(btBitmap);
    bar.Background()->SetBitmapCopy(bcSrcPaint);
    QImage image = bar.PaintImage();
    EXPECT_EQ(At(image, 1, 1), RGB(0xFF, 0x0F, 0x0F)) << "source OR destination";
    EXPECT_EQ(At(image, 10, 10), RGB(0xF0, 0, 0)) << "drawn once";
    bar.Background()->SetStyle(btTileBitmap);
    image = bar.PaintImage();
    EXPECT_EQ(At(image, 37, 37), RGB(0xFF, 0x0F, 0x0F)) << "tiled";
}

TEST(BarPaint, CaptionsTooLongAreNotDrawnAndLongCloseCaptionsHideTheBox)
{
    TnbSideBar bar;
    Fill(bar, 1, 0, 80, 100);
    bar.SetActiveHeader(bar.Header(0));
    bar.Header(0)->SetCaption(QString(40, u'W'));
    const QImage image = bar.PaintImage();
    EXPECT_EQ(bar.Header(0)->CaptionTextRect, HiddenRect);
    const Rect k = bar.Header(0)->CaptionRect.Inflated(-1, -1);
    for (int y = k.Top; y < k.Bottom; ++y)
        for (int x = k.Left; x < k.Right; ++x)
            ASSERT_EQ(At(image, x, y), ColorToRGB(clBtnFace)) << "no clipped text";

    TnbCloseButton *close = bar.CloseButton();
    close->SetVisible(true);
    close->SetCaption("Fav");
    QImage shown = bar.PaintImage();
    const Rect box = close->BoxRect;
    ASSERT_NE(box, HiddenRect);
    EXPECT_EQ(box, Rect(close->CloseRect.Right - 2 - 18, close->CloseRect.Top + 2, close->CloseRect.Right - 2,
                        close->CloseRect.Bottom - 2));
    EXPECT_EQ(At(shown, box.Left + 6, box.Top + 6), clBlack) << "the cross";

    // Grow the caption until its text reaches into the box.
    QString caption = "Fav";
    while (bar.CloseButton()->BoxRect != HiddenRect && caption.size() < 40) {
        caption += u'o';
        close->SetCaption(caption);
        bar.PaintImage();
        if (close->Header()->CaptionTextRect == HiddenRect)
            break;
    }
    EXPECT_EQ(close->BoxRect, HiddenRect) << "the box disappears under a long caption";
    EXPECT_NE(close->Header()->CaptionTextRect, HiddenRect);
}

TEST(BarPaint, ExplorerLayoutStacksOpenAndClosedBodiesAndScrolls)
{
    TnbSideBar bar;
    Fill(bar, 3, 2, 140, 200);
    bar.SetViewStyle(vsExplorerBar);
    bar.Settings()->SetHeight(24);
    bar.Header(1)->SetOpened(false);
    bar.PaintImage();
    TnbHeader *h0 = bar.Header(0);
    TnbHeader *h1 = bar.Header(1);
    // Bevel 1 + border 5; caption 24 + add-on 12.
    EXPECT_EQ(h0->CaptionRect, Rect(6, 6, 134, 42));
    EXPECT_EQ(h0->BodyRect().Top, 43);
    EXPECT_EQ(h1->BodyRect(), Rect()) << "a closed header has no body";
    EXPECT_NE(h0->StatusRect, HiddenRect) << "the status button of a tall enough caption";
    EXPECT_EQ(h0->StatusRect.Width(), 18);
    EXPECT_GT(h1->CaptionRect.Top, h0->BodyRect().Bottom);
    EXPECT_TRUE(bar.MoreBelow());
    EXPECT_EQ(bar.ArrowRect(TnbSideBar::saViewUp), HiddenRect);
    EXPECT_EQ(bar.ArrowRect(TnbSideBar::saViewDown).Height(), TnbSideBar::ViewArrowHeight);

    bar.ScrollViewDown();
    bar.PaintImage();
    EXPECT_EQ(h0->CaptionRect.Top, 6 - 50) << "shifted up by the offset";
    EXPECT_EQ(bar.ArrowRect(TnbSideBar::saViewUp), Rect(1, 1, 139, 15));
}

TEST(BarPaint, ButtonViewsKindsAndStatesDrawTheirFrames)
{
    TnbSideBar bar;
    Fill(bar, 1, 3, 120, 300);
    bar.SetActiveHeader(bar.Header(0));
    TnbHeader *h = bar.Header(0);
    h->Button(0)->SetItemState(bstDown);
    h->Button(1)->SetItemState(bstHot);
    QImage image = bar.PaintImage();
    Rect f = h->Button(0)->FocusRect;
    EXPECT_EQ(At(image, f.Left, f.Top), ColorToRGB(cl3DDkShadow)) << "pressed: sunken inner edge";
    f = h->Button(1)->FocusRect;
    EXPECT_EQ(At(image, f.Right - 1, f.Bottom - 1), ColorToRGB(cl3DDkShadow)) << "hot: raised outer edge";

    bar.Settings()->SetButtonView(bvWindowsXP);
    image = bar.PaintImage();
    f = h->Button(1)->FocusRect;
    EXPECT_EQ(At(image, f.Left, f.Top), TnbXPColors::InitialBorderColor);
    EXPECT_EQ(At(image, f.Left + 1, f.Top + 1), ColorToRGB(TnbXPColors::InitialBackground));
    f = h->Button(0)->FocusRect;
    EXPECT_EQ(At(image, f.Left + 1, f.Top + 1), ColorToRGB(TnbXPColors::InitialPressedBackground));

    // A selected button is drawn pressed.
    h->Button(0)->SetItemState(bstNormal);
    h->SetAllowSelected(true);
    h->SetSelectedIndex(2);
    image = bar.PaintImage();
    f = h->Button(2)->FocusRect;
    EXPECT_EQ(At(image, f.Left + 1, f.Top + 1), ColorToRGB(TnbXPColors::InitialPressedBackground));

    // A checked check box shows its mark at the left of the label.
    TnbButton *check = h->Button(1);
    check->SetButtonKind(bkCheckBox);
    check->SetHeight(20);
    check->SetItemState(bstNormal);
    check->SetChecked(true);
    image = bar.PaintImage();
    const Rect b = check->ButtonRect;
    const int top = b.Top + (b.Height() - 13) / 2;
    EXPECT_EQ(At(image, b.Left + 6, top + 6), ColorToRGB(clWindowText));
    EXPECT_EQ(At(image, b.Left + 2, top + 2), ColorToRGB(clWindow));
}

TEST(BarPaint, AlertBlendsTheButtonOrTheCaptionOfItsClosedHeader)
{
    TnbSideBar bar;
    Fill(bar, 2, 1, 120, 200);
    bar.SetActiveHeader(bar.Header(0));
    bar.SetAlertColor(clRed);
    TnbButton *inactive = bar.Header(1)->Button(0);
    bar.SetAlertButton(inactive);
    inactive->SetAlertPhase(true);
    QImage image = bar.PaintImage();
    const Rect caption = bar.Header(1)->CaptionRect;
    // clBtnFace (212, 208, 200) blended with red at 50.
    const TColor expected = RGB((255 * 50 + 212 * 205) >> 8, (208 * 205) >> 8, (200 * 205) >> 8);
    EXPECT_EQ(At(image, caption.Left + 10, caption.Top + 3), expected);

    TnbButton *shown = bar.Header(0)->Button(0);
    bar.SetAlertButton(shown);
    shown->SetAlertPhase(true);
    image = bar.PaintImage();
    EXPECT_NE(At(image, caption.Left + 10, caption.Top + 3), expected) << "the caption no longer flashes";
    const Rect b = shown->ButtonRect;
    EXPECT_EQ(At(image, b.Left + 1, b.Top + 1),
              RGB((255 * 50 + 128 * 205) >> 8, (128 * 205) >> 8, (128 * 205) >> 8));
    bar.SetAlertButton(nullptr);
}
