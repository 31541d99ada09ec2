// The paint sequence of the bar: background, header layout in both layouts, the close
// strip, scroll arrows, the alert highlight, bevels and focus. Every paint lays the bar
// out afresh and leaves the rectangles that the mouse handling hit-tests.

#include "navbar/nbSideBar.h"

#include "platform/ui/Canvas.h"

#include <QPainter>

using namespace platform;

namespace {

// The caption rectangle a header without caption records: a line just above its place.
Rect CollapsedCaption(const TnbHeader *header, const Rect &k)
{
    if (!header->Options().Contains(hoNoCaption))
        return k;
    Rect r = k.Inflated(1, 1);
    r.Bottom = r.Top;
    return r;
}

bool Overlaps(const Rect &a, const Rect &b)
{
    return !a.IsEmpty() && !b.IsEmpty() && a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom &&
           b.Top < a.Bottom;
}

} // namespace

void TnbSideBar::paintEvent(QPaintEvent *)
{
    const QImage image = PaintImage();
    if (image.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}

QImage TnbSideBar::PaintImage()
{
    if (FChangePending || FPainting)
        return {};
    FPainting = true;
    struct Done
    {
        bool &flag;
        ~Done() { flag = false; }
    } done{FPainting};
    QImage image(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    image.fill(Canvas::PixelOf(clBtnFace));
    Canvas canvas(image);
    Paint(canvas);
    return image;
}

Rect TnbSideBar::AdjustClientRect() const
{
    Rect r(0, 0, width(), height());
    for (BevelCut cut : {FBevelOuter, FBevelInner})
        if (cut != bvNone)
            r = r.Inflated(-FBevelWidth, -FBevelWidth);
    return r;
}

void TnbSideBar::Paint(Canvas &canvas)
{
    const Rect client(0, 0, width(), height());
    Rect r = AdjustClientRect();

    // The control's colour follows the background quietly: its setter would recreate the
    // window and end an alert.
    FColor = FBackground->Color();
    FBackground->Paint(canvas, r);
    if (FBackground->Style() == btTransparent)
        PaintParentBackground(canvas);

    if (FCloseButton->Visible()) {
        FCloseButton->CloseRect =
            Rect(r.Left, r.Top, r.Right, r.Top + FCloseButton->Header()->Settings()->Height());
        r.Top = FCloseButton->CloseRect.Bottom;
    } else {
        FCloseButton->CloseRect = HiddenRect;
        FCloseButton->BoxRect = HiddenRect;
    }

    FViewArrowArea = r;
    ArrowInfo &viewUp = FArrows[saViewUp];
    viewUp.Rect = ExplorerLayout() && FScrollOffset > 0
                      ? Rect(r.Left, r.Top, r.Right, r.Top + ViewArrowHeight)
                      : HiddenRect;

    int separator = 0;
    if (FViewStyle == vsExplorerBar || FOptions.Contains(boExplorerBorder)) {
        r = Rect(r.Left + FBorder->Left(), r.Top + FBorder->Top(), r.Right - FBorder->Right(),
                 r.Bottom - FBorder->Bottom());
        separator = FBorder->Separator();
    }
    separator = std::max(separator, 1);
    FContentRect = r;

    PaintHeaders(canvas, r, separator);
    DrawCloseStrip(canvas);
    DrawScrollArrows(canvas);
    DrawAlertHighlight(canvas);
    DrawBevels(canvas, client);
    if (hasFocus() && FOptions.Contains(hoShowFocusRect))
        canvas.DrawFocusRect(client.Inflated(-1, -1));
    DrawKeyFocus(canvas);
}

void TnbSideBar::PaintHeaders(Canvas &canvas, const Rect &r, int separator)
{
    const bool explorer = ExplorerLayout();
    const int count = HeaderCount();
    const int visibleCount = VisibleHeaderCount();
    const int activeIndex = ActiveIndex();
    const bool hasActive = FActiveHeader && FActiveHeader->Visible();
    const int firstAfterActive = !explorer && hasActive ? NextVisibleHeader(activeIndex) : -1;
    TnbHeader *target = FAnimating ? Header(FAnimationTarget) : nullptr;

    int y = r.Top;
    int limit = -100;
    int seen = 0;
    bool first = true;
    Rect activeBody;
    FMoreBelow = false;

    for (int i = 0; i < count; ++i) {
        TnbHeader *header = Header(i);
        if (!header->Visible()) {
            header->CaptionRect = HiddenRect;
            header->FBodyRect = HiddenRect;
            continue;
        }
        ++seen;
        const TnbBarSettings *settings = header->EffectiveSettings();

        if (i == firstAfterActive) {
            // The headers after the active one stack at the bottom.
            int heights = 0;
            for (int j = i; j < count; ++j)
                if (Header(j)->Visible() && !Header(j)->Options().Contains(hoNoCaption))
                    heights += Header(j)->CaptionHeight();
            y = r.Bottom - heights - (visibleCount - (seen - 1)) * (separator - 1);
            activeBody.Bottom = y - separator + 1;
        }
        if (explorer && first)
            y -= FScrollOffset;
        first = false;

        Rect caption;
        if (FAnimating) {
            caption = header->CaptionRect;
        } else {
            caption = Rect(r.Left, y, r.Right, y + header->CaptionHeight());
            if (caption.Right < caption.Left)
                caption = caption.Offset(NotDrawnPosition - caption.Left, 0);
        }

        if (caption.Top > limit) {
            if (OnDrawHeaderButtons) {
                header->CaptionRect = CollapsedCaption(header, caption);
                DoDrawHeaderButtons(canvas, caption, activeIndex);
            } else {
                header->PaintCaption(canvas, caption);
            }
            DoAfterDrawHeaderButtons(canvas, header->CaptionRect, activeIndex);
        } else {
            header->CaptionRect = CollapsedCaption(header, caption);
        }
        const int captionBottom = header->CaptionRect.Bottom;

        if (target == header)
            header->PaintBody(canvas, header->FBodyRect);

        if (explorer) {
            limit = captionBottom - settings->Distance();
            const int bodyHeight = header->CalcBodyHeight();
            const Rect body(r.Left, captionBottom + 1, r.Right,
                            captionBottom + 1 + bodyHeight - settings->Distance());
            y = body.Bottom + separator;
            if (header->Opened()) {
                header->PaintBody(canvas, body);
                if (height() < body.Bottom + 5)
                    FMoreBelow = true;
            } else {
                header->FBodyRect = Rect();
                if (height() < captionBottom + 5)
                    FMoreBelow = true;
            }
        } else if (header == FActiveHeader) {
            limit = captionBottom;
            activeBody = Rect(r.Left, captionBottom + 1, r.Right, r.Bottom);
            y = captionBottom + separator;
        } else {
            if (!FAnimating || header != target)
                header->FBodyRect = Rect();
            // Consecutive captions of the outlook-like layout are separator − 1 apart, as
            // the bottom stack above counts them.
            y = captionBottom + separator - 1;
        }
    }

    if (!explorer && hasActive) {
        FActiveHeader->PaintBody(canvas, FAnimating ? FActiveHeader->FBodyRect : activeBody);
    }
}

void TnbSideBar::DrawCloseStrip(Canvas &canvas)
{
    TnbCloseButton *close = FCloseButton.get();
    if (!close->Visible())
        return;
    TnbHeader *header = close->Header();
    header->PaintCaption(canvas, close->CloseRect);
    const Rect strip = close->CloseRect;
    const int right = strip.Right - 2;
    const Rect box(right - (strip.Height() - 4), strip.Top + 2, right, strip.Bottom - 2);
    const Rect text = header->CaptionTextRect;
    if (text != HiddenRect && text.Right > box.Left) {
        // The caption reaches into the box: no box, and nothing to click.
        close->BoxRect = HiddenRect;
        return;
    }
    close->BoxRect = box;
    if (OnDrawCloseButton) {
        DoDrawCloseButton(canvas, box, close->State);
        return;
    }
    Rect edge = box;
    const unsigned kind = close->State == 1 ? BDR_SUNKENOUTER : close->State == 2 ? BDR_RAISEDINNER : 0;
    canvas.DrawEdge(edge, kind, BF_RECT);
    canvas.Save();
    canvas.setPen(Pen(clBlack, 2));
    canvas.MoveTo(box.Left + 5, box.Top + 5);
    canvas.LineTo(box.Right - 5, box.Bottom - 5);
    canvas.MoveTo(box.Left + 5, box.Bottom - 5);
    canvas.LineTo(box.Right - 5, box.Top + 5);
    canvas.Restore();
}

void TnbSideBar::LayoutButtonArrows()
{
    ArrowInfo &up = FArrows[saButtonUp];
    ArrowInfo &down = FArrows[saButtonDown];
    TnbHeader *active = FActiveHeader;
    if (!active || !active->Visible()) {
        up.Rect = down.Rect = HiddenRect;
        return;
    }
    const Rect caption = active->CaptionRect;
    const Rect body = active->FBodyRect;
    const int size = FScrollBoxSize;
    const bool toolBox = FScrollView == ssToolBox && FViewStyle == vsOutlook;
    if (toolBox) {
        // Squares at the right end of the active caption and of the next one.
        const int side = caption.Height();
        up.Rect = Rect(caption.Right - side - 2, caption.Top, caption.Right - 2, caption.Bottom);
        active->CaptionRect.Right = up.Rect.Left;
        const int next = NextVisibleHeader(ActiveIndex());
        if (next >= 0) {
            TnbHeader *nextHeader = Header(next);
            const Rect nc = nextHeader->CaptionRect;
            const int nside = nc.Height();
            down.Rect = Rect(nc.Right - nside - 2, nc.Top, nc.Right - 2, nc.Bottom);
            nextHeader->CaptionRect.Right = down.Rect.Left;
        } else {
            down.Rect = Rect(body.Right - side - 2, body.Bottom - side, body.Right - 2, body.Bottom);
        }
    } else if (FScrollView == ssExpress) {
        up.Rect = Rect(body.Left, body.Top, body.Right, body.Top + size);
        down.Rect = Rect(body.Left, body.Bottom - size, body.Right, body.Bottom);
    } else {
        up.Rect = Rect(body.Right - 2 - size, caption.Bottom + 2, body.Right - 2, caption.Bottom + 2 + size);
        down.Rect = Rect(body.Right - 2 - size, body.Bottom - 2 - size, body.Right - 2, body.Bottom - 2);
    }

    const bool upDisabled = !isEnabled() || active->TopIndex() == 0;
    const bool downDisabled = !isEnabled() || active->LastVisibleIndex() >= active->ButtonCount() - 1;
    for (auto [arrow, disabled] : {std::pair{&up, upDisabled}, std::pair{&down, downDisabled}}) {
        if (disabled)
            arrow->State = asDisabled;
        else if (arrow->State == asDisabled)
            arrow->State = asIdle;
        if (disabled && !toolBox)
            arrow->Rect = Rect();
    }
    if (!toolBox && Overlaps(up.Rect, down.Rect))
        down.Rect = Rect();
}

void TnbSideBar::DrawArrow(Canvas &canvas, ScrollArrow which, bool up, bool flat)
{
    const ArrowInfo &arrow = FArrows[std::size_t(which)];
    const Rect r = arrow.Rect;
    if (r.IsEmpty() || r == HiddenRect)
        return;
    const bool pressed = arrow.State == asPressed;
    const bool disabled = arrow.State == asDisabled;
    canvas.FillRect(r, clBtnFace);
    Rect edge = r;
    canvas.DrawEdge(
        edge, flat ? (pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER) : (pressed ? EDGE_SUNKEN : EDGE_RAISED),
        BF_RECT | BF_SOFT);

    const int x = r.Left + r.Width() / 2 + (pressed ? 1 : 0) + (disabled ? 1 : 0);
    const int y = r.Top + r.Height() / 2;
    const auto glyph = [&](int cx, TColor color) {
        canvas.pen() = Pen(color, 1);
        const int dir = up ? 1 : -1;
        canvas.SetPixel(cx, y - dir, color);
        canvas.MoveTo(cx - 1, y);
        canvas.LineTo(cx + 2, y);
        canvas.MoveTo(cx - 2, y + dir);
        canvas.LineTo(cx + 3, y + dir);
    };
    canvas.Save();
    if (disabled) {
        glyph(x, clBtnHighlight);
        glyph(x - 1, clBtnShadow);
    } else {
        glyph(x, clBlack);
    }
    canvas.Restore();
}

void TnbSideBar::DrawScrollArrows(Canvas &canvas)
{
    if (ExplorerLayout()) {
        FArrows[saButtonUp].Rect = FArrows[saButtonDown].Rect = HiddenRect;
        ArrowInfo &down = FArrows[saViewDown];
        if (FMoreBelow) {
            down.Rect = Rect(FViewArrowArea.Left, FViewArrowArea.Bottom - ViewArrowHeight,
                             FViewArrowArea.Right, FViewArrowArea.Bottom);
        } else {
            down.Rect = HiddenRect;
            if (down.State == asPressed) {
                down.State = asIdle;
                KillTimer(tmViewScroll);
            }
        }
        if (FScrollOffset < 1)
            FArrows[saViewUp].Rect = HiddenRect;
        const bool flat = FFlat || FOptions.Contains(boAlwaysFlatScroller);
        DrawArrow(canvas, saViewUp, true, flat && FArrows[saViewUp].State != asHot);
        DrawArrow(canvas, saViewDown, false, flat && down.State != asHot);
        return;
    }
    FArrows[saViewUp].Rect = FArrows[saViewDown].Rect = HiddenRect;
    if (!FAnimating)
        LayoutButtonArrows();
    const auto flatFor = [this](ScrollArrow a) {
        return FFlat &&
               !(FArrows[std::size_t(a)].State == asHot && FOptions.Contains(boActivateToolBoxScroller));
    };
    DrawArrow(canvas, saButtonUp, true, flatFor(saButtonUp));
    DrawArrow(canvas, saButtonDown, false, flatFor(saButtonDown));
}

void TnbSideBar::DrawAlertHighlight(Canvas &canvas)
{
    if (!FAlertButton || !FAlertButton->AlertPhase() || FAlertButton->ItemState() != bstNormal)
        return;
    TnbHeader *header = FAlertButton->Header();
    if (!header || !header->Visible() || header->Collection() != FHeaders.get())
        return;
    const bool explorer = ExplorerLayout();
    // Where the button itself is shown, it flashes on its own.
    if ((!explorer && header == FActiveHeader) || (explorer && header->Opened()))
        return;
    Rect r = header->CaptionRect;
    if (FViewStyle == vsExplorerBar)
        r.Top += header->EffectiveSettings()->ExplorerAddOn();
    canvas.AlphaBlend(r, FAlertColor, AlertWeight);
}

void TnbSideBar::DrawBevels(Canvas &canvas, Rect r)
{
    for (BevelCut cut : {FBevelOuter, FBevelInner}) {
        if (cut == bvNone)
            continue;
        const TColor topLeft = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        const TColor bottomRight = cut == bvLowered ? clBtnHighlight : clBtnShadow;
        for (int i = 0; i < FBevelWidth; ++i) {
            canvas.FillRect({r.Left, r.Top, r.Right, r.Top + 1}, topLeft);
            canvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom}, topLeft);
            canvas.FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
            canvas.FillRect({r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
            r = r.Inflated(-1, -1);
        }
    }
}

void TnbSideBar::PaintParentBackground(Canvas &canvas)
{
    QWidget *parent = parentWidget();
    if (!parent)
        return;
    // The parent paints the part of itself that lies under the bar (without its
    // children, the bar among them).
    const QRect under = geometry().translated(FBorderWidth, FBorderWidth);
    parent->render(&canvas.Image(), QPoint(0, 0), QRegion(under), QWidget::DrawWindowBackground);
}

// ---- Drop marks ----------------------------------------------------------------------

void TnbSideBar::DrawDropMark(Canvas &canvas, int L, int T, int R, int B, int position)
{
    if (!FDropAccept || FDropMode != 1)
        return;
    const TColor brush = canvas.brushColor();
    const Pen pen = canvas.pen();
    canvas.setBrushColor(FDropMarkColor);
    canvas.pen().setStyle(Pen::Style::Clear);
    switch (position) {
    case 1:
        canvas.Polygon(
            {{L + 5, T - 1}, {R - 5, T - 1}, {R - 2, T + 5}, {R - 2, T - 2}, {L + 2, T - 2}, {L + 2, T + 5}});
        break;
    case 3:
        canvas.Polygon(
            {{L + 5, B + 1}, {R - 5, B + 1}, {R - 2, B - 5}, {R - 2, B + 2}, {L + 2, B + 2}, {L + 2, B - 5}});
        break;
    case 2:
        canvas.Polygon({{L + 5, B + 1},
                        {R - 5, B + 1},
                        {R - 2, B - 4},
                        {R - 2, B + 6},
                        {R - 5, B + 2},
                        {L + 5, B + 2},
                        {L + 2, B + 6},
                        {L + 2, B - 4}});
        break;
    default:
        break;
    }
    canvas.setBrushColor(brush);
    canvas.setPen(pen);
}

void TnbSideBar::DrawHeaderDropMark(Canvas &canvas, TnbHeader *header, const Rect &body)
{
    if (FDropTargetButton && FDropTargetButton->Header() == header) {
        const Rect r = FDropTargetButton->ButtonRect;
        if (r != HiddenRect && !r.IsEmpty())
            DrawDropMark(canvas, body.Left, r.Top, body.Right, r.Bottom, FDropPosition);
    } else if (!FDropTargetButton && FDropTargetHeader == header && header->ButtonCount() == 0) {
        DrawDropMark(canvas, body.Left, body.Top, body.Right, body.Bottom, 1);
    }
}

// ---- Drawing events ------------------------------------------------------------------

void TnbSideBar::DoDrawHeaderButtons(Canvas &canvas, const Rect &rect, int activeIndex)
{
    if (OnDrawHeaderButtons)
        OnDrawHeaderButtons(this, canvas, rect, activeIndex);
}

void TnbSideBar::DoAfterDrawHeaderButtons(Canvas &canvas, const Rect &rect, int activeIndex)
{
    if (OnAfterDrawHeaderButtons)
        OnAfterDrawHeaderButtons(this, canvas, rect, activeIndex);
}

void TnbSideBar::DoDrawCloseButton(Canvas &canvas, const Rect &rect, int state)
{
    if (OnDrawCloseButton)
        OnDrawCloseButton(this, canvas, rect, state);
}
