// The eleven style presets. Each is a base recipe (Outlook, Office or Explorer) with its
// arguments, followed by a few additions; every value goes through the normal setter,
// so a preset notifies exactly as if the values were set one by one.

#include "navbar/nbSideBar.h"

using namespace platform;

namespace {

constexpr TColor Grey = 0x00808080;
constexpr TColor Silver = 12632256; // 0x00C0C0C0
constexpr TColor Cream = 15793151;  // 0x00F0FBFF
constexpr TColor Slate = 11242102;  // 0x00AB8A76
constexpr TColor Navy = 0x00800000;

// The standard font of the presets and its white variant.
Font StandardFont()
{
    return Font(QStringLiteral("MS Sans Serif"), 8, clWindowText, 0);
}
Font WhiteFont()
{
    return Font(QStringLiteral("MS Sans Serif"), 8, clWhite, 0);
}

Font WithColor(Font font, TColor color)
{
    font.setColor(color);
    return font;
}

Font WithStyle(Font font, unsigned style)
{
    font.setStyle(style);
    return font;
}

void SetSolidBackground(TnbCustomBackground *background, TColor color)
{
    background->SetColor(color);
    background->SetStyle(btSolid);
    background->SetGrayscale(false);
}

void ResetFonts(TnbBarSettings *s)
{
    s->SetFont(StandardFont());
    s->SetHighlightFont(StandardFont());
    s->SetButtonFont(StandardFont());
    s->SetButtonHighlightFont(StandardFont());
}

// The settings the Outlook and Office recipes share.
void OutlookSettings(TnbBarSettings *s)
{
    s->SetAlignment(taCenter);
    s->SetButtonStyle(bsLarge);
    s->SetButtonView(bvNormal);
    s->SetCaptionStyle(csButtonStyle);
    s->SetColor(clBtnFace);
    s->SetDistance(0);
    s->SetGlyphTop(10);
    s->SetHeight(22);
    s->SetLargeWidth(60);
    s->SetLargeHeight(60);
    s->SetSmallHeight(30);
    s->SetPicLabDistance(1);
    ResetFonts(s);
}

// The bar values the Outlook and Office recipes share.
void OutlookBar(TnbSideBar &bar, TColor background, BevelCut inner, bool flat)
{
    SetSolidBackground(bar.Background(), background);
    bar.SetBevelInner(inner);
    bar.SetBevelOuter(bvLowered);
    bar.SetBevelWidth(1);
    bar.SetBorderStyle(bsNone);
    bar.SetBorderWidth(0);
    bar.SetCommonStyle(true);
    bar.SetFlat(flat);
    bar.SetScrollBoxSize(15);
    bar.SetScrollView(ssNormal);
    bar.SetViewStyle(vsOutlook);
    bar.SetOptions(bar.Options() - TnbBarOptions{boActivateToolBoxScroller});
}

template <typename F> void ForEachHeader(TnbSideBar &bar, F f)
{
    for (int i = 0; i < bar.HeaderCount(); ++i)
        f(bar.Header(i));
}

// The header values the Outlook and Office recipes share.
void OutlookHeaders(TnbSideBar &bar, TColor background, int firstButtonTop, TnbHeaderOptions options)
{
    ForEachHeader(bar, [&](TnbHeader *h) {
        SetSolidBackground(h->Background(), background);
        h->SetFirstButtonTop(std::uint16_t(firstButtonTop));
        h->SetMargin(4);
        h->SetOptions(options);
        h->SetSpacing(2);
        h->SetTransparent(false);
        h->Glyph()->SetVisible(false);
    });
}

void OutlookRecipe(TnbSideBar &bar, TColor background, TColor buttonFont, int firstButtonTop)
{
    OutlookBar(bar, background, bvLowered, false);
    TnbBarSettings *s = bar.Settings();
    OutlookSettings(s);
    s->SetButtonFont(WithColor(s->ButtonFont(), buttonFont));
    s->SetButtonHighlightFont(WithColor(s->ButtonHighlightFont(), buttonFont));
    OutlookHeaders(bar, background, firstButtonTop, {hoButtonDown});
}

void OfficeRecipe(TnbSideBar &bar)
{
    OutlookBar(bar, Silver, bvNone, true);
    OutlookSettings(bar.Settings());
    OutlookHeaders(bar, Cream, 10, {hoActivateOnSelect, hoButtonDown});
}

struct ExplorerArguments
{
    TColor background;
    TColor headerPen;
    int firstButtonTop;
    bool whiteCaptions;
    bool captionBorder;
};

void ExplorerRecipe(TnbSideBar &bar, const ExplorerArguments &a)
{
    SetSolidBackground(bar.Background(), a.background);
    bar.SetBevelWidth(1);
    bar.SetBevelInner(bvNone);
    bar.SetBevelOuter(bvLowered);
    bar.SetFlat(true);
    bar.SetBorderStyle(bsNone);
    bar.SetBorderWidth(0);
    bar.SetCommonStyle(true);
    bar.SetViewStyle(vsExplorerBar);
    bar.SetOptions(bar.Options() - TnbBarOptions{boExplorerBorder});
    TnbBorder *border = bar.Border();
    border->SetLeft(5);
    border->SetTop(5);
    border->SetRight(5);
    border->SetBottom(5);
    border->SetSeparator(5);

    TnbBarSettings *s = bar.Settings();
    s->SetAlignment(taLeftJustify);
    s->SetButtonStyle(bsLarge);
    s->SetButtonView(bvExplorer);
    s->SetCaptionStyle(csCustomDraw);
    s->SetColor(clBtnFace);
    s->SetDistance(0);
    s->SetGlyphTop(10);
    s->SetHeight(25);
    s->SetLargeWidth(60);
    s->SetLargeHeight(60);
    s->SetSmallHeight(30);
    s->SetPicLabDistance(3);
    s->SetExplorerAddOn(15);
    SetSolidBackground(s->ButtonUp(), clBtnFace);
    s->SetHeaderPen(Pen(a.headerPen, 1, Pen::Style::Solid, Pen::Mode::Copy));
    s->SetCaptionPen(Pen(clBtnFace, 1, Pen::Style::Solid, Pen::Mode::Copy));
    s->StatusButton()->SetArrowColor(clBlack);
    s->StatusButton()->SetTransparent(true);
    s->StatusButton()->SetBorderColor(clBtnFace);
    ResetFonts(s);
    if (a.whiteCaptions) {
        s->SetFont(WhiteFont());
        s->SetHighlightFont(WhiteFont());
    }
    s->SetFont(WithStyle(s->Font(), Font::Bold));
    s->SetHighlightFont(WithStyle(s->HighlightFont(), Font::Bold));

    TnbHeaderOptions options{hoButtonDown, hoDrawBorder, hoRoundedHeader, hoShowStatusButton};
    if (a.captionBorder)
        options.Include(hoDrawCaptionBorder);
    ForEachHeader(bar, [&](TnbHeader *h) {
        h->Background()->SetColor(a.background);
        h->Background()->SetGrayscale(false);
        h->Background()->SetStyle(btTransparent);
        h->SetFirstButtonTop(std::uint16_t(a.firstButtonTop));
        h->SetMargin(4);
        h->SetOptions(options);
        h->SetSpacing(2);
        h->SetTransparent(false);
        h->Glyph()->SetVisible(true);
    });
}

// Every header's body as a white veil of the given strength.
void VeiledHeaders(TnbSideBar &bar, std::uint8_t alpha)
{
    ForEachHeader(bar, [alpha](TnbHeader *h) {
        h->Background()->SetAlphaBlend(alpha);
        h->Background()->SetStyle(btTransparent);
        h->Background()->SetColor(clWhite);
    });
}

void FlatAdditions(TnbSideBar &bar)
{
    bar.SetBevelInner(bvNone);
    bar.SetFlat(true);
}

void ToolBoxAdditions(TnbSideBar &bar)
{
    TnbBarSettings *s = bar.Settings();
    s->SetAlignment(taLeftJustify);
    s->SetButtonStyle(bsSmall);
    s->SetButtonView(bvToolBox);
    s->SetSmallHeight(25);
    s->SetHeight(19);
    bar.SetScrollView(ssToolBox);
}

void ExplorerBarXPAdditions(TnbSideBar &bar)
{
    constexpr TColor StateFrom = 10437638; // 0x009F4406
    constexpr TColor StateTo = 13393454;   // 0x00CC5E2E

    TnbBackground *background = bar.Background();
    background->SetAlphaBlend(255);
    background->SetStyle(btGradient);
    background->Gradient()->SetBeginColor(15310715); // 0x00E99F7B
    background->Gradient()->SetEndColor(14055268);   // 0x00D67764

    TnbBarSettings *s = bar.Settings();
    s->SetButtonStyle(bsSmall);
    s->SetButtonView(bvExplorer);
    s->SetPicLabDistance(3);
    s->StatusButton()->SetArrowColor(16775639);  // 0x00FFF9D7
    s->StatusButton()->SetBorderColor(15373153); // 0x00EA9361
    s->StatusButton()->SetTransparent(true);
    for (TnbButtonBackground *state :
         {s->ButtonUp(), s->ButtonDown(), s->ButtonFocused(), s->ButtonDisabled()}) {
        state->SetAlphaBlend(255);
        state->SetGrayscale(false);
        state->SetStyle(btSolid);
        state->Gradient()->SetBeginColor(StateFrom);
        state->Gradient()->SetEndColor(StateTo);
        state->Gradient()->SetDrawStyle(gtLeftToRight);
    }
    s->ButtonUp()->SetColor(StateTo);
    s->ButtonDown()->SetColor(StateFrom);
    s->ButtonFocused()->SetColor(StateFrom);
    s->ButtonDisabled()->SetColor(StateFrom);
    VeiledHeaders(bar, 50);
}

void ExplorerBar2000Additions(TnbSideBar &bar)
{
    TnbBarSettings *s = bar.Settings();
    s->SetButtonStyle(bsSmall);
    s->SetButtonView(bvWindows2000);
    s->XPColors()->SetBorderColor(clWhite);
    s->SetButtonFont(WithColor(s->ButtonFont(), clWhite));
    s->SetButtonHighlightFont(WithColor(s->ButtonHighlightFont(), clWhite));
    Pen pen = s->HeaderPen();
    pen.setColor(clWhite);
    pen.setWidth(2);
    s->SetHeaderPen(pen);
    VeiledHeaders(bar, 150);
}

void ApplyPreSet(TnbSideBar &bar, TnbPreSet preset)
{
    switch (preset) {
    case psOutlook:
        OutlookRecipe(bar, Grey, clWhite, 10);
        break;
    case psFlatOutlook:
        OutlookRecipe(bar, Grey, clWhite, 10);
        FlatAdditions(bar);
        break;
    case psOutlookExpress:
        OutlookRecipe(bar, Grey, clWhite, 10);
        FlatAdditions(bar);
        bar.SetScrollView(ssExpress);
        bar.Settings()->SetButtonView(bvToolBox);
        bar.SetOptions(bar.Options() + TnbBarOptions{boActivateToolBoxScroller});
        break;
    case psOffice:
        OfficeRecipe(bar);
        break;
    case psOfficeXP:
        OfficeRecipe(bar);
        bar.Settings()->SetButtonView(bvWindowsXP);
        bar.Settings()->SetXPColors(TnbXPColors());
        break;
    case psOffice2000:
        OfficeRecipe(bar);
        bar.Settings()->SetButtonView(bvWindows2000);
        bar.Settings()->SetXPColors(TnbXPColors());
        break;
    case psToolBox:
        OutlookRecipe(bar, Silver, Grey, 2);
        ToolBoxAdditions(bar);
        break;
    case psFlatToolBox:
        OutlookRecipe(bar, Silver, Grey, 2);
        FlatAdditions(bar);
        ToolBoxAdditions(bar);
        break;
    case psExplorerBar:
        ExplorerRecipe(bar, {Slate, clBtnFace, 10, false, true});
        bar.Settings()->SetButtonStyle(bsSmall);
        bar.Settings()->SetButtonView(bvNormal);
        VeiledHeaders(bar, 70);
        break;
    case psExplorerBarXP:
        ExplorerRecipe(bar, {clWhite, Grey, 10, true, false});
        ExplorerBarXPAdditions(bar);
        break;
    case psExplorerBar2000:
        ExplorerRecipe(bar, {Navy, clWhite, 10, true, false});
        ExplorerBar2000Additions(bar);
        break;
    }
}

} // namespace

void TnbSideBar::SetPreSet(TnbPreSet value)
{
    BeginUpdate();
    try {
        FPreSet = value;
        ApplyPreSet(*this, value);
        if (OnAfterChangeStyle)
            OnAfterChangeStyle(this, value);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}
