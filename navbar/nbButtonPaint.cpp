// Layout and drawing of one command button in its header's body.

#include "navbar/nbSideBar.h"

#include "platform/ui/Canvas.h"

using namespace platform;

void TnbButton::HideRects()
{
    ButtonRect = ImageRect = LabelRect = FocusRect = HiddenRect;
}

TnbButtonState TnbButton::DrawState() const
{
    const TnbHeader *header = Header();
    if (header && header->SelectedIndex() >= 0 && header->Button(header->SelectedIndex()) == this)
        return bstDown;
    return FItemState;
}

void TnbButton::LayoutAndDraw(Canvas *canvas, const Rect &b, int &y)
{
    TnbHeader *header = Header();
    const TnbBarSettings *settings = header->EffectiveSettings();
    const TnbButtonState state = DrawState();
    const TnbButtonView view = EffectiveView();
    const int available = b.Width();

    ButtonRect = Rect(b.Left + 1, y, b.Right - 1, y);
    Images = ImageListFor(state);
    const bool hasImage = Images != nullptr && FImageIndex >= 0;
    const int iw = hasImage ? Images->Width() : 0;
    const int ih = hasImage ? Images->Height() : 0;

    if (FButtonKind != bkButton) {
        const int width = (available < FWidth || FOptions.Contains(boAutoWidthLabel)) ? available : FWidth;
        ButtonRect = Rect(b.Left + FMargin + 1, y, b.Left + width - FMargin + 1, y + FHeight);
        LabelRect = ButtonRect;
        ImageRect = FocusRect = HiddenRect;
    } else if (EffectiveStyle() == bsLarge) {
        const Rect row(ButtonRect.Left + FMargin, y, ButtonRect.Right - FMargin, y);
        const int sw = FAutoSize ? settings->LargeWidth() : std::min(available, int(FWidth));
        const int sh = FAutoSize ? settings->LargeHeight() : int(FHeight);
        Rect box;
        bool shown = available >= sw;
        const bool fullWidth = view == bvToolBox || view == bvWindows2000;
        if (fullWidth)
            box = Rect(row.Left, y, row.Right, y + sh);
        else
            box = Rect::Bounds(row.Left + (row.Width() - sw) / 2, y, sw, sh);
        if (!shown) {
            HideRects();
            return;
        }
        ButtonRect = Rect(row.Left, y, row.Right, y + sh);
        Rect image =
            hasImage ? Rect::Bounds(box.Left + (box.Width() - iw) / 2, box.Top + settings->GlyphTop(), iw, ih)
                     : HiddenRect;
        bool imageShown = hasImage;
        if (fullWidth) {
            if (imageShown) {
                image.Top += 2;
                if (image.Bottom > box.Bottom || image.Left < box.Left || image.Right > box.Right)
                    imageShown = false;
            }
            FocusRect = box;
        } else if (view == bvBig) {
            if (imageShown && (image.Bottom > box.Bottom || image.Left < box.Left || image.Right > box.Right))
                imageShown = false;
            FocusRect = box.Inflated(1, 1);
        } else {
            const bool covers = imageShown && image.Left <= box.Left && image.Top <= box.Top &&
                                image.Right >= box.Right && image.Bottom >= box.Bottom;
            FocusRect = (covers || !imageShown) ? box : image.Inflated(2, 2);
            FocusRect = FocusRect.Inflated(1, 1);
        }
        ImageRect = imageShown ? image : HiddenRect;
        LabelRect = Rect(box.Left + 1, (imageShown ? image.Bottom : box.Top) + settings->PicLabDistance() + 1,
                         box.Right, box.Bottom);
    } else {
        const int sh = FAutoSize ? settings->SmallHeight() : int(FHeight);
        const Rect box(ButtonRect.Left + FMargin, y, ButtonRect.Right - FMargin, y + sh);
        ButtonRect = box;
        const bool grown = view == bvBig || view == bvExplorer || view == bvNormal || view == bvWindowsXP;
        FocusRect = grown ? box.Inflated(1, 1) : box;
        Rect image =
            hasImage ? Rect::Bounds(box.Left + 4, box.Top + (box.Height() - ih) / 2, iw, ih) : HiddenRect;
        bool imageShown =
            hasImage && image.Top >= box.Top && image.Bottom <= box.Bottom && image.Right <= box.Right;
        if (imageShown && (view == bvExplorer || view == bvNormal || view == bvWindowsXP))
            FocusRect = image.Inflated(2, 2);
        ImageRect = imageShown ? image : HiddenRect;
        LabelRect = Rect((imageShown ? image.Right : box.Left) + settings->PicLabDistance() + 1, box.Top + 1,
                         box.Right, box.Bottom);
    }

    if (canvas && ButtonRect.Bottom < b.Bottom) {
        if (!FTransparent)
            canvas->FillRect(ButtonRect, FColor);
        DoBeforeDrawButton(*canvas);
        if (OnDrawButton) {
            DoDrawButton(*canvas, view, state);
        } else {
            const bool pressed = state == bstDown;
            switch (view) {
            case bvBig:
            case bvToolBox:
                DrawEdgeFrame(*canvas, state);
                DrawImage(*canvas, state);
                DrawLabel(*canvas, state, pressed, false);
                break;
            case bvExplorer:
                DrawImage(*canvas, state);
                DrawLabel(*canvas, state, false, state == bstHot || pressed);
                break;
            case bvNormal:
                DrawEdgeFrame(*canvas, state);
                DrawImage(*canvas, state);
                DrawLabel(*canvas, state, false, false);
                break;
            case bvWindows2000:
                DrawXPFrame(*canvas, state);
                DrawImageShadow(*canvas, state);
                DrawLabel(*canvas, state, pressed, false);
                break;
            case bvWindowsXP:
                DrawXPFrame(*canvas, state);
                DrawImageShadow(*canvas, state);
                DrawLabel(*canvas, state, false, false);
                break;
            }
        }
        DoAfterDrawButton(*canvas);
        if (TnbSideBar *bar = SideBar();
            bar && bar->AlertButton() == this && FAlertPhase && FItemState == bstNormal)
            canvas->AlphaBlend(ButtonRect, bar->AlertColor(), TnbSideBar::AlertWeight);
    }
    y = std::max(y, ButtonRect.Bottom + settings->Distance());
}

void TnbButton::DrawEdgeFrame(Canvas &canvas, TnbButtonState state)
{
    if (FButtonKind != bkButton)
        return;
    if (!FEnabled && !(Header() && Header()->Options().Contains(hoFocusDisabled)))
        return;
    Rect r = FocusRect;
    if (state == bstDown)
        canvas.DrawEdge(r, BDR_SUNKENINNER, BF_RECT);
    else if (state == bstHot)
        canvas.DrawEdge(r, BDR_RAISEDOUTER, BF_RECT);
}

void TnbButton::DrawXPFrame(Canvas &canvas, TnbButtonState state)
{
    if (FButtonKind != bkButton || (state != bstDown && state != bstHot))
        return;
    if (!FEnabled && !(Header() && Header()->Options().Contains(hoFocusDisabled)))
        return;
    const TnbXPColors *colors = Header()->EffectiveSettings()->XPColors();
    canvas.FrameRect(FocusRect, colors->BorderColor());
    canvas.FillRect(FocusRect.Inflated(-1, -1),
                    state == bstDown ? colors->PressedBackground() : colors->Background());
}

void TnbButton::DrawImage(Canvas &canvas, TnbButtonState state)
{
    if (!Images || ImageRect == HiddenRect)
        return;
    const int shift = FEnabled && state == bstDown ? 1 : 0;
    canvas.DrawImageList(*Images, FImageIndex, ImageRect.Left + shift, ImageRect.Top + shift);
}

void TnbButton::DrawImageShadow(Canvas &canvas, TnbButtonState state)
{
    if (!Images || ImageRect == HiddenRect)
        return;
    if (state == bstDown) {
        canvas.DrawImageList(*Images, FImageIndex, ImageRect.Left + 1, ImageRect.Top + 1);
        return;
    }
    const TnbXPColors *colors = Header()->EffectiveSettings()->XPColors();
    if (colors->UseShadow()) {
        const TColor brush = canvas.brushColor();
        const Canvas::BrushStyle style = canvas.brushStyle();
        canvas.setBrushColor(colors->ShadowColor());
        canvas.DrawStateMono(Canvas::ImageListMask(*Images, FImageIndex), ImageRect.Left + 1,
                             ImageRect.Top + 1);
        canvas.setBrushColor(brush);
        canvas.setBrushStyle(style);
    }
    canvas.DrawImageList(*Images, FImageIndex, ImageRect.Left, ImageRect.Top);
}

void TnbButton::DrawCheckMark(Canvas &canvas, TnbButtonState state, Rect &label)
{
    const bool pressed = state == bstDown;
    unsigned flags = 0;
    switch (FButtonKind) {
    case bkCheckBox:
        flags = pressed ? (FChecked ? 0x500 : 0x100)
                        : (FCheckState == cbChecked  ? 0x400
                           : FCheckState == cbGrayed ? 0x500
                                                     : 0x000);
        break;
    case bkPushButton:
        flags = pressed ? (FChecked ? 0x510 : 0x4010)
                        : (FCheckState == cbChecked  ? 0x210
                           : FCheckState == cbGrayed ? 0x4410
                                                     : 0x010);
        break;
    case bkRadioButton:
        flags = pressed ? (FChecked ? 0x504 : 0x104)
                        : (FCheckState == cbChecked  ? 0x404
                           : FCheckState == cbGrayed ? 0x504
                                                     : 0x004);
        break;
    default:
        return;
    }
    const int top = label.Top + (label.Height() - 13) / 2;
    Rect mark;
    if (FAlignment == taRightJustify) {
        mark = Rect::Bounds(label.Right - 13, top, 13, 13);
        label.Right -= 16;
    } else {
        mark = Rect::Bounds(label.Left, top, 13, 13);
        label.Left += 16;
    }
    canvas.DrawFrameControl(mark, DFC_BUTTON, flags);
}

void TnbButton::DrawLabel(Canvas &canvas, TnbButtonState state, bool offset, bool underline)
{
    Rect label = LabelRect;
    if (FButtonKind == bkCheckBox || FButtonKind == bkPushButton || FButtonKind == bkRadioButton)
        DrawCheckMark(canvas, state, label);

    const bool plainButton = FButtonKind == bkButton && FEnabled;
    offset = offset && plainButton;
    underline = underline && plainButton;
    platform::Font font = LabelFont(FButtonKind == bkButton && state != bstNormal);
    if (underline)
        font.setStyle(font.style() | platform::Font::Underline);
    canvas.setFont(font);
    canvas.setBrushStyle(Canvas::BrushStyle::Clear);

    unsigned flags = DT_VCENTER | DT_EXPANDTABS | DT_END_ELLIPSIS;
    if (FWordWrap)
        flags |= DT_WORDBREAK;
    if (EffectiveStyle() == bsLarge || FButtonKind == bkLabel) {
        platform::Alignment alignment = FAlignment;
        if (FBiDiMode == bdRightToLeft && alignment != taCenter)
            alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
        flags |= alignment == taLeftJustify ? DT_LEFT : alignment == taRightJustify ? DT_RIGHT : DT_CENTER;
    }
    if (!FShowAccelChar)
        flags |= DT_NOPREFIX;
    if (FBiDiMode != bdLeftToRight)
        flags |= DT_RTLREADING;

    QString text = FCaption;
    if (text.isEmpty() || (FShowAccelChar && text == QStringLiteral("&")))
        text += u' ';

    Rect measured = label;
    canvas.DrawText(text, measured, flags | DT_CALCRECT);
    Rect r = label;
    if (measured.Height() < label.Height()) {
        r.Top = label.Top + (label.Height() - measured.Height()) / 2;
        r.Bottom = r.Top + measured.Height();
    }
    if (FEnabled) {
        Rect at = offset ? r.Offset(1, 1) : r;
        canvas.DrawText(text, at, flags);
    } else {
        Rect at = r.Offset(1, 1);
        canvas.font().setColor(clBtnHighlight);
        canvas.DrawText(text, at, flags);
        at = r;
        canvas.font().setColor(clBtnShadow);
        canvas.DrawText(text, at, flags);
    }
    LabelRect = Rect(r.Left, r.Top - 4, r.Right, r.Bottom + 4);
}

void TnbButton::DoBeforeDrawButton(Canvas &canvas)
{
    if (OnBeforeDrawButton)
        OnBeforeDrawButton(this, canvas, ButtonRect, FocusRect, ImageRect, LabelRect);
}

void TnbButton::DoDrawButton(Canvas &canvas, TnbButtonView view, TnbButtonState state)
{
    if (OnDrawButton)
        OnDrawButton(this, canvas, view, state, ImageRect, LabelRect);
}

void TnbButton::DoAfterDrawButton(Canvas &canvas)
{
    if (OnAfterDrawButton)
        OnAfterDrawButton(this, canvas, ImageRect, LabelRect);
}
