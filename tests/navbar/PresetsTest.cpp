#include "BarFixture.h"

#include "navbar/nbSideBar.h"

#include <gtest/gtest.h>
#include <optional>

using namespace platform;

namespace {

// What a preset leaves in the bar, from the recipe tables; a field that is not set is
// something the preset does not touch.
struct Expected
{
    // Bar.
    TColor background;
    TnbBackgroundStyle backgroundStyle = btSolid;
    std::optional<std::uint8_t> backgroundAlpha;
    std::optional<std::pair<TColor, TColor>> backgroundGradient;
    BevelCut bevelInner;
    bool flat;
    std::optional<int> scrollBoxSize;
    std::optional<TnbScrollView> scrollView;
    TnbViewStyle viewStyle;
    TnbBarOptions optionsOn, optionsOff;
    bool explorerBorders = false;
    // Settings.
    Alignment alignment;
    TnbButtonStyle buttonStyle = bsLarge;
    TnbButtonView buttonView;
    TnbCaptionStyle captionStyle;
    int height, smallHeight = 30, picLabDistance;
    std::optional<int> explorerAddOn;
    Font font, highlightFont, buttonFont, buttonHighlightFont;
    std::optional<Pen> headerPen, captionPen;
    std::optional<TColor> statusArrow, statusBorder;
    bool statusTransparent = false;
    std::optional<TColor> buttonUpColor, otherStatesColor;
    bool xpColorsReset = false;
    std::optional<TColor> xpBorderColor;
    // Every header.
    TColor headerBackground;
    TnbBackgroundStyle headerStyle;
    std::optional<std::uint8_t> headerAlpha;
    int firstButtonTop;
    TnbHeaderOptions headerOptions;
    bool glyphVisible;
};

Font Standard()
{
    return Font(QStringLiteral("MS Sans Serif"), 8, clWindowText, 0);
}

Font Colored(TColor color)
{
    Font f = Standard();
    f.setColor(color);
    return f;
}

Expected Outlook(TColor g, TColor f, int t)
{
    Expected e;
    e.background = g;
    e.bevelInner = bvLowered;
    e.flat = false;
    e.scrollBoxSize = 15;
    e.scrollView = ssNormal;
    e.viewStyle = vsOutlook;
    e.optionsOff = {boActivateToolBoxScroller};
    e.alignment = taCenter;
    e.buttonView = bvNormal;
    e.captionStyle = csButtonStyle;
    e.height = 22;
    e.picLabDistance = 1;
    e.font = e.highlightFont = Standard();
    e.buttonFont = e.buttonHighlightFont = Colored(f);
    e.headerBackground = g;
    e.headerStyle = btSolid;
    e.firstButtonTop = t;
    e.headerOptions = {hoButtonDown};
    e.glyphVisible = false;
    return e;
}

Expected Office()
{
    Expected e = Outlook(0x00C0C0C0, clWindowText, 10);
    e.bevelInner = bvNone;
    e.flat = true;
    e.headerBackground = 0x00F0FBFF;
    e.headerOptions = {hoActivateOnSelect, hoButtonDown};
    return e;
}

Expected Explorer(TColor g, TColor h, int t, bool white, bool border)
{
    Expected e;
    e.background = g;
    e.bevelInner = bvNone;
    e.flat = true;
    e.viewStyle = vsExplorerBar;
    e.optionsOff = {boExplorerBorder};
    e.explorerBorders = true;
    e.alignment = taLeftJustify;
    e.buttonView = bvExplorer;
    e.captionStyle = csCustomDraw;
    e.height = 25;
    e.picLabDistance = 3;
    e.explorerAddOn = 15;
    e.buttonUpColor = clBtnFace;
    e.headerPen = Pen(h, 1);
    e.captionPen = Pen(clBtnFace, 1);
    e.statusArrow = clBlack;
    e.statusBorder = clBtnFace;
    e.statusTransparent = true;
    e.font = e.highlightFont = white ? Colored(clWhite) : Standard();
    e.font.setStyle(Font::Bold);
    e.highlightFont.setStyle(Font::Bold);
    e.buttonFont = e.buttonHighlightFont = Standard();
    e.headerBackground = g;
    e.headerStyle = btTransparent;
    e.firstButtonTop = t;
    e.headerOptions = {hoButtonDown, hoDrawBorder, hoRoundedHeader, hoShowStatusButton};
    if (border)
        e.headerOptions.Include(hoDrawCaptionBorder);
    e.glyphVisible = true;
    return e;
}

void ToolBox(Expected &e)
{
    e.alignment = taLeftJustify;
    e.buttonStyle = bsSmall;
    e.buttonView = bvToolBox;
    e.smallHeight = 25;
    e.height = 19;
    e.scrollView = ssToolBox;
}

void WhiteVeil(Expected &e, std::uint8_t alpha)
{
    e.headerAlpha = alpha;
    e.headerStyle = btTransparent;
    e.headerBackground = clWhite;
}

Expected For(TnbPreSet preset)
{
    Expected e;
    switch (preset) {
    case psOutlook:
        return Outlook(0x00808080, clWhite, 10);
    case psFlatOutlook:
        e = Outlook(0x00808080, clWhite, 10);
        e.bevelInner = bvNone;
        e.flat = true;
        return e;
    case psOutlookExpress:
        e = Outlook(0x00808080, clWhite, 10);
        e.bevelInner = bvNone;
        e.flat = true;
        e.scrollView = ssExpress;
        e.buttonView = bvToolBox;
        e.optionsOn = {boActivateToolBoxScroller};
        e.optionsOff = {};
        return e;
    case psOffice:
        return Office();
    case psOfficeXP:
    case psOffice2000:
        e = Office();
        e.buttonView = preset == psOfficeXP ? bvWindowsXP : bvWindows2000;
        e.xpColorsReset = true;
        return e;
    case psToolBox:
    case psFlatToolBox:
        e = Outlook(0x00C0C0C0, 0x00808080, 2);
        if (preset == psFlatToolBox) {
            e.bevelInner = bvNone;
            e.flat = true;
        }
        ToolBox(e);
        return e;
    case psExplorerBar:
        e = Explorer(11242102, clBtnFace, 10, false, true);
        e.buttonStyle = bsSmall;
        e.buttonView = bvNormal;
        WhiteVeil(e, 70);
        return e;
    case psExplorerBarXP:
        e = Explorer(clWhite, 0x00808080, 10, true, false);
        e.backgroundAlpha = 255;
        e.backgroundStyle = btGradient;
        e.backgroundGradient = {15310715, 14055268};
        e.buttonStyle = bsSmall;
        e.buttonView = bvExplorer;
        e.statusArrow = 16775639;
        e.statusBorder = 15373153;
        e.buttonUpColor = 13393454;
        e.otherStatesColor = 10437638;
        WhiteVeil(e, 50);
        return e;
    case psExplorerBar2000:
        e = Explorer(0x00800000, clWhite, 10, true, false);
        e.buttonStyle = bsSmall;
        e.buttonView = bvWindows2000;
        e.xpBorderColor = clWhite;
        e.buttonFont = e.buttonHighlightFont = Colored(clWhite);
        e.headerPen = Pen(clWhite, 2);
        WhiteVeil(e, 150);
        return e;
    }
    return e;
}

// Moves every property a preset may touch away from what any preset gives.
void Scramble(TnbSideBar &bar)
{
    const Font odd(QStringLiteral("Arial"), 12, clRed, Font::Italic);
    const auto background = [](TnbCustomBackground *b) {
        b->SetColor(0x00010203);
        b->SetStyle(btTileBitmap);
        b->SetGrayscale(true);
        b->SetAlphaBlend(9);
        b->Gradient()->SetBeginColor(0x00040506);
        b->Gradient()->SetEndColor(0x00070809);
        b->Gradient()->SetDrawStyle(gtEllipse);
    };
    background(bar.Background());
    bar.SetBevelInner(bvSpace);
    bar.SetBevelOuter(bvSpace);
    bar.SetBevelWidth(3);
    bar.SetBorderStyle(bsSingle);
    bar.SetBorderWidth(2);
    bar.SetCommonStyle(false);
    bar.SetScrollBoxSize(31);
    bar.SetOptions(bar.Options() + TnbBarOptions{boActivateToolBoxScroller, boExplorerBorder});
    for (int i = 1; i <= 5; ++i)
        bar.Border()->SetValue(i, 1);
    TnbBarSettings *s = bar.Settings();
    s->SetAlignment(taRightJustify);
    s->SetCaptionStyle(s->CaptionStyle() == csButtonStyle ? csCustomDraw : csButtonStyle);
    s->SetColor(clRed);
    s->SetDistance(7);
    s->SetGlyphTop(7);
    s->SetHeight(7);
    s->SetLargeWidth(7);
    s->SetLargeHeight(7);
    s->SetSmallHeight(7);
    s->SetPicLabDistance(7);
    s->SetExplorerAddOn(7);
    s->SetFont(odd);
    s->SetHighlightFont(odd);
    s->SetButtonFont(odd);
    s->SetButtonHighlightFont(odd);
    s->SetHeaderPen(Pen(clRed, 4, Pen::Style::Dot, Pen::Mode::Xor));
    s->SetCaptionPen(Pen(clRed, 4, Pen::Style::Dot, Pen::Mode::Xor));
    s->StatusButton()->SetArrowColor(clRed);
    s->StatusButton()->SetBorderColor(clRed);
    s->StatusButton()->SetTransparent(false);
    for (TnbButtonBackground *state :
         {s->ButtonUp(), s->ButtonDown(), s->ButtonFocused(), s->ButtonDisabled()})
        background(state);
    s->XPColors()->SetBorderColor(clRed);
    s->XPColors()->SetBackground(clRed);
    s->XPColors()->SetUseShadow(false);
    for (int i = 0; i < bar.HeaderCount(); ++i) {
        TnbHeader *h = bar.Header(i);
        background(h->Background());
        h->SetFirstButtonTop(77);
        h->SetMargin(77);
        h->SetOptions({hoNoCaption});
        h->SetSpacing(77);
        h->SetTransparent(true);
        h->Glyph()->SetVisible(!h->Glyph()->Visible());
    }
}

void Check(TnbSideBar &bar, const Expected &e, TnbPreSet preset)
{
    SCOPED_TRACE(testing::Message() << "preset " << int(preset));
    const TnbBackground *b = bar.Background();
    EXPECT_EQ(b->Color(), e.background);
    EXPECT_EQ(b->Style(), e.backgroundStyle);
    EXPECT_FALSE(b->Grayscale());
    EXPECT_EQ(b->AlphaBlend(), e.backgroundAlpha.value_or(9));
    if (e.backgroundGradient) {
        EXPECT_EQ(b->Gradient()->BeginColor(), e.backgroundGradient->first);
        EXPECT_EQ(b->Gradient()->EndColor(), e.backgroundGradient->second);
    }
    EXPECT_EQ(bar.BevelInner(), e.bevelInner);
    EXPECT_EQ(bar.BevelOuter(), bvLowered);
    EXPECT_EQ(bar.BevelWidth(), 1);
    EXPECT_EQ(bar.BorderStyle(), bsNone);
    EXPECT_EQ(bar.BorderWidth(), 0);
    EXPECT_TRUE(bar.CommonStyle());
    EXPECT_EQ(bar.Flat(), e.flat);
    EXPECT_EQ(bar.ScrollBoxSize(), e.scrollBoxSize.value_or(31));
    if (e.scrollView) {
        EXPECT_EQ(bar.ScrollView(), *e.scrollView);
    }
    EXPECT_EQ(bar.ViewStyle(), e.viewStyle);
    EXPECT_EQ(bar.Options() * e.optionsOn, e.optionsOn);
    EXPECT_TRUE((bar.Options() * e.optionsOff).IsEmpty());
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(bar.Border()->Value(i), e.explorerBorders ? 5 : 1);

    const TnbBarSettings *s = bar.Settings();
    EXPECT_EQ(s->Alignment(), e.alignment);
    EXPECT_EQ(s->ButtonStyle(), e.buttonStyle);
    EXPECT_EQ(s->ButtonView(), e.buttonView);
    EXPECT_EQ(s->CaptionStyle(), e.captionStyle);
    EXPECT_EQ(s->Color(), clBtnFace);
    EXPECT_EQ(s->Distance(), 0);
    EXPECT_EQ(s->GlyphTop(), 10);
    EXPECT_EQ(s->Height(), e.height);
    EXPECT_EQ(s->LargeWidth(), 60);
    EXPECT_EQ(s->LargeHeight(), 60);
    EXPECT_EQ(s->SmallHeight(), e.smallHeight);
    EXPECT_EQ(s->PicLabDistance(), e.picLabDistance);
    EXPECT_EQ(s->ExplorerAddOn(), e.explorerAddOn.value_or(7));
    EXPECT_EQ(s->Font(), e.font);
    EXPECT_EQ(s->HighlightFont(), e.highlightFont);
    EXPECT_EQ(s->ButtonFont(), e.buttonFont);
    EXPECT_EQ(s->ButtonHighlightFont(), e.buttonHighlightFont);
    const Pen oddPen(clRed, 4, Pen::Style::Dot, Pen::Mode::Xor);
    EXPECT_EQ(s->HeaderPen(), e.headerPen.value_or(oddPen));
    EXPECT_EQ(s->CaptionPen(), e.captionPen.value_or(oddPen));
    EXPECT_EQ(s->StatusButton()->ArrowColor(), e.statusArrow.value_or(clRed));
    EXPECT_EQ(s->StatusButton()->BorderColor(), e.statusBorder.value_or(clRed));
    EXPECT_EQ(s->StatusButton()->Transparent(), e.statusTransparent);
    EXPECT_EQ(s->ButtonUp()->Color(), e.buttonUpColor.value_or(0x00010203));
    for (const TnbButtonBackground *state : {s->ButtonDown(), s->ButtonFocused(), s->ButtonDisabled()})
        EXPECT_EQ(state->Color(), e.otherStatesColor.value_or(0x00010203));
    if (e.otherStatesColor) {
        for (const TnbButtonBackground *state :
             {s->ButtonUp(), s->ButtonDown(), s->ButtonFocused(), s->ButtonDisabled()}) {
            EXPECT_EQ(state->AlphaBlend(), 255);
            EXPECT_FALSE(state->Grayscale());
            EXPECT_EQ(state->Style(), btSolid);
            EXPECT_EQ(state->Gradient()->BeginColor(), 10437638u);
            EXPECT_EQ(state->Gradient()->EndColor(), 13393454u);
            EXPECT_EQ(state->Gradient()->DrawStyle(), gtLeftToRight);
        }
    }
    const TnbXPColors initial;
    EXPECT_EQ(s->XPColors()->BorderColor(),
              e.xpColorsReset ? initial.BorderColor() : e.xpBorderColor.value_or(clRed));
    EXPECT_EQ(s->XPColors()->Background(), e.xpColorsReset ? initial.Background() : clRed);
    EXPECT_EQ(s->XPColors()->UseShadow(), e.xpColorsReset);

    for (int i = 0; i < bar.HeaderCount(); ++i) {
        const TnbHeader *h = bar.Header(i);
        EXPECT_EQ(h->Background()->Color(), e.headerBackground);
        EXPECT_EQ(h->Background()->Style(), e.headerStyle);
        EXPECT_FALSE(h->Background()->Grayscale());
        EXPECT_EQ(h->Background()->AlphaBlend(), e.headerAlpha.value_or(9));
        EXPECT_EQ(h->FirstButtonTop(), e.firstButtonTop);
        EXPECT_EQ(h->Margin(), 4);
        EXPECT_EQ(h->Options(), e.headerOptions);
        EXPECT_EQ(h->Spacing(), 2);
        EXPECT_FALSE(h->Transparent());
        EXPECT_EQ(h->Glyph()->Visible(), e.glyphVisible);
    }
}

} // namespace

TEST(Presets, EachPresetGivesItsTableValues)
{
    for (int p = psOutlook; p <= psExplorerBar2000; ++p) {
        const auto preset = TnbPreSet(p);
        TnbSideBar bar;
        bar.AddHeader();
        bar.AddHeader();
        Scramble(bar);
        bar.SetPreSet(preset);
        EXPECT_EQ(bar.PreSet(), preset);
        Check(bar, For(preset), preset);
    }
}

class PresetRepaint : public ShownBar
{
};

TEST_F(PresetRepaint, OneStyleEventAndOneRepaintEach)
{
    bar.AddHeader();
    Settle();
    std::vector<std::pair<platform::Persistent *, TnbPreSet>> events;
    bar.OnAfterChangeStyle = [&](platform::Persistent *sender, TnbPreSet preset) {
        // The event comes inside the update: nothing is painted yet.
        EXPECT_TRUE(bar.ChangePending());
        events.emplace_back(sender, preset);
    };
    for (TnbPreSet preset : {psExplorerBarXP, psOutlook, psOutlook, psToolBox}) {
        events.clear();
        bar.SetPreSet(preset);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].first, &bar);
        EXPECT_EQ(events[0].second, preset);
        EXPECT_TRUE(QTest::qWaitFor([this] { return counter.count > 0; }));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(counter.count, 1) << int(preset);
        counter.count = 0;
    }
}
