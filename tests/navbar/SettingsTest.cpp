#include "BarFixture.h"

#include "navbar/nbSideBar.h"
#include "platform/ui/ImageList.h"

#include <gtest/gtest.h>
#include <memory>

using namespace platform;

TEST(Gradient, TableRunsFromBeginToNearlyEndWithRoundedSteps)
{
    TnbGradient g;
    g.SetBeginColor(clBlack);
    g.SetEndColor(clWhite);
    const auto &t = g.ColorTable();
    EXPECT_EQ(t[0], clBlack);
    EXPECT_EQ(t[1], clBlack);
    // Entry k is (k - 1) * 255 / 255, so it lags one step behind k.
    EXPECT_EQ(t[128], RGB(127, 127, 127));
    EXPECT_EQ(t[255], RGB(254, 254, 254));

    // Channels run separately and round to the nearest value.
    g.SetBeginColor(RGB(0, 100, 200));
    g.SetEndColor(RGB(10, 0, 200));
    EXPECT_EQ(RedOf(g.ColorTable()[13]), 0);    // 12*10/255 = 0.47
    EXPECT_EQ(GreenOf(g.ColorTable()[14]), 95); // 100 - 5.098
    EXPECT_EQ(RedOf(g.ColorTable()[14]), 1);    // 13 * 10 / 255 = 0.51
}

TEST(Gradient, ToCenterStylesMirrorTheTable)
{
    TnbGradient g;
    g.SetBeginColor(clBlack);
    g.SetEndColor(clWhite);
    g.SetDrawStyle(gtVerticalToCenter);
    const auto &t = g.ColorTable();
    EXPECT_EQ(t[0], clBlack);
    EXPECT_EQ(t[1], clBlack);
    EXPECT_EQ(t[127], RGB(253, 253, 253)); // 126 * 255 / 127 = 252.99
    EXPECT_EQ(t[128], clWhite);
    EXPECT_EQ(t[129], RGB(253, 253, 253)); // 255 - 2.008
    EXPECT_EQ(t[255], RGB(0, 0, 0));       // 255 - 127 * 255 / 127
    g.SetDrawStyle(gtHorizontalToCenter);
    EXPECT_EQ(g.ColorTable()[128], clWhite);
}

TEST(Gradient, InverseDirectionAndSystemColours)
{
    TnbGradient g; // clBtnFace to blue
    EXPECT_EQ(g.BeginColor(), clBtnFace);
    EXPECT_EQ(g.EndColor(), clBlue);
    EXPECT_EQ(g.ColorTable()[0], RGB(212, 208, 200));
    g.SetDirection(gdInverse);
    EXPECT_EQ(g.ColorTable()[0], clBlue);
    EXPECT_EQ(g.ColorTable()[255], RGB(211, 207, 200));
}

TEST(Gradient, ChangesEmptyTheCacheAndNotify)
{
    TnbGradient g;
    NotifyCounter changes;
    g.SetOnChangeParameter(changes.Handler());
    g.SetCache(QImage(4, 4, QImage::Format_ARGB32), QSize(4, 4));
    g.SetEndColor(clRed);
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(changes.lastSender, &g);
    EXPECT_FALSE(g.CacheSize().isValid());
    EXPECT_TRUE(g.Cache().isNull());
    g.SetEndColor(clRed);
    EXPECT_EQ(changes.count, 1);

    // Assign copies the colours and the style, not the direction, and notifies once.
    TnbGradient other;
    other.SetBeginColor(clGreen);
    other.SetEndColor(clNavy);
    other.SetDrawStyle(gtPyramid);
    other.SetDirection(gdInverse);
    g.Assign(other);
    EXPECT_EQ(changes.count, 2);
    EXPECT_EQ(g.BeginColor(), clGreen);
    EXPECT_EQ(g.EndColor(), clNavy);
    EXPECT_EQ(g.DrawStyle(), gtPyramid);
    EXPECT_EQ(g.Direction(), gdNormal);
    EXPECT_EQ(g.ColorTable()[0], clGreen);
}

TEST(Background, AssignCopiesAllSevenAndNotifiesOnce)
{
    TnbBackground source;
    source.SetAlphaBlend(70);
    QImage picture(3, 3, QImage::Format_RGB32);
    picture.fill(Qt::green);
    source.SetBitmap(picture);
    source.SetBitmapCopy(bcMergePaint);
    source.SetColor(clWhite);
    source.Gradient()->SetBeginColor(clRed);
    source.SetGrayscale(true);
    source.SetStyle(btGradient);

    TnbButtonBackground target;
    EXPECT_EQ(target.Color(), clBtnFace);
    NotifyCounter changes;
    target.SetOnChangeParameter(changes.Handler());
    target.Assign(source);
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(changes.lastSender, &target);
    EXPECT_EQ(target.AlphaBlend(), 70);
    EXPECT_EQ(target.Bitmap().pixel(1, 1), picture.pixel(1, 1));
    EXPECT_EQ(target.BitmapCopy(), bcMergePaint);
    EXPECT_EQ(target.Color(), clWhite);
    EXPECT_EQ(target.Gradient()->BeginColor(), clRed);
    EXPECT_TRUE(target.Grayscale());
    EXPECT_EQ(target.Style(), btGradient);

    // The gradient reports through the background's event.
    target.Gradient()->SetEndColor(clLime);
    EXPECT_EQ(changes.count, 2);
    EXPECT_EQ(changes.lastSender, target.Gradient());

    TnbXPColors colours;
    EXPECT_THROW(target.Assign(colours), AssignError);
}

TEST(BarSettings, InitialValues)
{
    TnbBarSettings s;
    EXPECT_EQ(s.Alignment(), taCenter);
    EXPECT_EQ(s.ButtonUp()->Color(), clBtnFace);
    EXPECT_EQ(s.ButtonDisabled()->Style(), btSolid);
    EXPECT_EQ(s.ButtonStyle(), bsLarge);
    EXPECT_EQ(s.ButtonView(), bvNormal);
    EXPECT_EQ(s.CaptionStyle(), csButtonStyle);
    EXPECT_EQ(s.Color(), clBtnFace);
    EXPECT_EQ(s.Distance(), 2);
    EXPECT_EQ(s.ExplorerAddOn(), 12);
    EXPECT_EQ(s.GlyphTop(), 10);
    EXPECT_EQ(s.Height(), 22);
    EXPECT_TRUE(s.KeySupport());
    EXPECT_EQ(s.Layout(), glGlyphLeft);
    EXPECT_EQ(s.LargeWidth(), 60);
    EXPECT_EQ(s.LargeHeight(), 60);
    EXPECT_EQ(s.PicLabDistance(), 8);
    EXPECT_EQ(s.SmallHeight(), 20);
    EXPECT_EQ(s.Font().name(), "MS Sans Serif");
    EXPECT_EQ(s.Font().size(), 8);
    EXPECT_EQ(s.CaptionPen(), Pen());
    EXPECT_EQ(s.XPColors()->BorderColor(), 0x00800000u);
    EXPECT_EQ(s.XPColors()->Background(), 0x00D8ACB0u);
    EXPECT_EQ(s.XPColors()->PressedBackground(), 0x00C7879Fu);
    EXPECT_TRUE(s.XPColors()->UseShadow());
    EXPECT_EQ(s.XPColors()->ShadowColor(), 0u);
}

TEST(BarSettings, IndexedSizes)
{
    TnbBarSettings s;
    NotifyCounter changes;
    s.SetOnChangeParameter(changes.Handler());
    s.SetSize(3, 25);
    EXPECT_EQ(s.SmallHeight(), 25);
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(s.Size(0), -1);
    EXPECT_EQ(s.Size(4), -1);
    s.SetSize(4, 99);
    EXPECT_EQ(changes.count, 1) << "an unknown index is ignored";
    EXPECT_EQ(s.LargeWidth(), 60);
    EXPECT_EQ(s.LargeHeight(), 60);
}

TEST(BarSettings, AssignCopiesEverythingButKeySupportWithOneNotification)
{
    TnbBarSettings source;
    source.SetAlignment(taRightJustify);
    source.ButtonFocused()->SetStyle(btGradient);
    source.ButtonFocused()->Gradient()->SetBeginColor(clTeal);
    source.SetButtonFont(Font("Arial", 10, clRed));
    source.SetButtonStyle(bsSmall);
    source.SetButtonView(bvWindowsXP);
    source.SetCaptionStyle(csCustomDraw);
    source.SetCaptionPen(Pen(clRed, 2));
    source.SetHeaderPen(Pen(clBlue, 3));
    source.SetDistance(0);
    source.SetExplorerAddOn(15);
    source.SetHighlightFont(Font("Arial", 9, clWhite, Font::Bold));
    source.SetLayout(glGlyphCenter);
    source.SetLargeWidth(40);
    source.SetSmallHeight(30);
    source.SetPicLabDistance(3);
    source.StatusButton()->SetTransparent(true);
    source.XPColors()->SetUseShadow(false);
    source.SetKeySupport(false);

    TnbBarSettings target;
    NotifyCounter changes;
    target.SetOnChangeParameter(changes.Handler());
    target.Assign(source);
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(changes.lastSender, &target);
    EXPECT_TRUE(target.KeySupport());
    EXPECT_EQ(target.Alignment(), taRightJustify);
    EXPECT_EQ(target.ButtonFocused()->Style(), btGradient);
    EXPECT_EQ(target.ButtonFocused()->Gradient()->BeginColor(), clTeal);
    EXPECT_EQ(target.ButtonFont(), Font("Arial", 10, clRed));
    EXPECT_EQ(target.ButtonStyle(), bsSmall);
    EXPECT_EQ(target.ButtonView(), bvWindowsXP);
    EXPECT_EQ(target.CaptionStyle(), csCustomDraw);
    EXPECT_EQ(target.CaptionPen(), Pen(clRed, 2));
    EXPECT_EQ(target.HeaderPen(), Pen(clBlue, 3));
    EXPECT_EQ(target.Distance(), 0);
    EXPECT_EQ(target.ExplorerAddOn(), 15);
    EXPECT_TRUE(target.HighlightFont().hasStyle(Font::Bold));
    EXPECT_EQ(target.Layout(), glGlyphCenter);
    EXPECT_EQ(target.LargeWidth(), 40);
    EXPECT_EQ(target.SmallHeight(), 30);
    EXPECT_EQ(target.PicLabDistance(), 3);
    EXPECT_TRUE(target.StatusButton()->Transparent());
    EXPECT_FALSE(target.XPColors()->UseShadow());

    // Owned objects still report through the block afterwards.
    target.XPColors()->SetBorderColor(clWhite);
    target.ButtonUp()->SetGrayscale(true);
    EXPECT_EQ(changes.count, 3);
    // Pens are copied without a notification.
    target.SetCaptionPen(Pen(clGreen, 1));
    EXPECT_EQ(changes.count, 3);
}

TEST(StatusButton, IndexedColoursAndStoredDefault)
{
    TnbStatusButton s;
    EXPECT_EQ(s.ArrowColor(), clBlack);
    EXPECT_EQ(s.Background(), clWhite);
    EXPECT_NE(s.Background(), TnbStatusButton::StoredBackground);
    EXPECT_EQ(s.BorderColor(), clGray);
    EXPECT_FALSE(s.Transparent());
    EXPECT_EQ(s.Color(0), clBtnFace);
    EXPECT_EQ(s.Color(4), clBtnFace);

    NotifyCounter changes;
    s.SetOnChangeParameter(changes.Handler());
    s.SetColor(2, clRed);
    EXPECT_EQ(s.Background(), clRed);
    s.SetColor(7, clGreen);
    EXPECT_EQ(changes.count, 2) << "an unknown index changes nothing but still notifies";
    EXPECT_EQ(s.ArrowColor(), clBlack);
    EXPECT_EQ(s.Background(), clRed);
    EXPECT_EQ(s.BorderColor(), clGray);
}

TEST(Border, IndexedMarginsNotifyEvenForUnknownIndexes)
{
    TnbBorder b;
    NotifyCounter changes;
    b.SetOnChangeParameter(changes.Handler());
    b.SetValue(5, 8);
    EXPECT_EQ(b.Separator(), 8);
    b.SetValue(3, 1);
    EXPECT_EQ(b.Left(), 1);
    EXPECT_EQ(b.Top(), 5);
    EXPECT_EQ(b.Value(0), 0);
    EXPECT_EQ(b.Value(6), 0);
    b.SetValue(6, 99);
    EXPECT_EQ(changes.count, 3);
    EXPECT_EQ(b.Top(), 5);
    EXPECT_EQ(b.Bottom(), 5);
    EXPECT_EQ(b.Right(), 5);
}

TEST(XPColorsAndGlyph, AssignCopiesAll)
{
    TnbXPColors a, b;
    a.SetBorderColor(clRed);
    a.SetBackground(clGreen);
    a.SetPressedBackground(clBlue);
    a.SetUseShadow(false);
    a.SetShadowColor(clGray);
    NotifyCounter changes;
    b.SetOnChangeParameter(changes.Handler());
    b.Assign(a);
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(b.BorderColor(), clRed);
    EXPECT_EQ(b.Background(), clGreen);
    EXPECT_EQ(b.PressedBackground(), clBlue);
    EXPECT_FALSE(b.UseShadow());
    EXPECT_EQ(b.ShadowColor(), clGray);

    TnbGlyph g;
    EXPECT_EQ(g.Position(), gpBottomRight);
    EXPECT_TRUE(g.Transparent());
    EXPECT_TRUE(g.Visible());
    g.SetOnChangeParameter(changes.Handler());
    g.SetPosition(gpCenter);
    EXPECT_EQ(changes.count, 2);
}

TEST(HeaderImages, CaptionListChoice)
{
    TnbSideBar bar;
    ImageList normal, hot;
    QImage image(16, 16, QImage::Format_ARGB32);
    for (int i = 0; i < 3; ++i)
        normal.Add(image);
    hot.Add(image);
    TnbHeaderImages *images = bar.HeaderImages();
    images->SetNormal(&normal);
    EXPECT_EQ(images->ListFor(bstHot, false, 2), &normal) << "no hot list: the normal one";
    images->SetHot(&hot);
    EXPECT_EQ(images->ListFor(bstNormal, false, 0), &normal);
    EXPECT_EQ(images->ListFor(bstHot, false, 0), &hot);
    EXPECT_EQ(images->ListFor(bstDown, false, 0), &hot);
    EXPECT_EQ(images->ListFor(bstNormal, true, 0), &hot) << "the selected image of the active caption";
    EXPECT_EQ(images->ListFor(bstHot, false, 2), nullptr) << "the hot list is too short";
    EXPECT_EQ(images->ListFor(bstNormal, false, 3), nullptr);
    EXPECT_EQ(images->List(3), nullptr);
}

TEST(CloseButton, PrivateHeaderAndAssign)
{
    TnbSideBar bar;
    TnbCloseButton *close = bar.CloseButton();
    TnbHeader *h = close->Header();
    EXPECT_EQ(h->Collection(), nullptr);
    EXPECT_EQ(h->Options(), TnbHeaderOptions({hoAlwaysFlat, hoCustomSettings}));
    EXPECT_EQ(h->Settings()->ExplorerAddOn(), 0);
    EXPECT_EQ(h->Settings()->Alignment(), taLeftJustify);
    EXPECT_EQ(close->Height(), 22);
    EXPECT_EQ(bar.HeaderCount(), 0) << "the private header belongs to no collection";

    TnbSideBar other;
    TnbCloseButton *source = other.CloseButton();
    source->SetCaption("Close");
    source->SetFont(Font("Arial", 12));
    source->SetHeight(18);
    source->SetImageIndex(2);
    source->SetMargin(6);
    source->SetTransparent(true);
    source->SetVisible(true);
    bar.SetCloseButton(*source);
    EXPECT_EQ(close->Caption(), "Close");
    EXPECT_EQ(close->Font(), Font("Arial", 12));
    EXPECT_EQ(close->Height(), 18);
    EXPECT_EQ(close->ImageIndex(), 2);
    EXPECT_EQ(close->Margin(), 6);
    EXPECT_TRUE(close->Transparent());
    EXPECT_TRUE(close->Visible());
    EXPECT_FALSE(bar.ChangePending());
}
