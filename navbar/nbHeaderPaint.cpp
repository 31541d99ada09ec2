// Drawing of a header: its caption strip (also used by the close strip), the status
// button, the body with its glyph and frame, and the layout of its buttons.

#include "navbar/nbSideBar.h"

#include "platform/ui/Canvas.h"

using namespace platform;

namespace {

// `r` shrunk for a frame drawn with a pen of width `w` centred on its edge pixels, so
// that the whole frame stays inside `r`.
Rect PenFrameRect(const Rect &r, int w)
{
    Rect k = r.Inflated(-(w / 2), -(w / 2));
    if (w % 2 == 0) {
        ++k.Right;
        ++k.Bottom;
    }
    return k;
}

unsigned BiDiFlags(BiDiMode mode)
{
    return mode == bdLeftToRight ? 0u : DT_RTLREADING;
}

} // namespace

void TnbHeader::PaintCaption(Canvas &canvas, Rect k)
{
    if (FOptions.Contains(hoNoCaption)) {
        // A header without caption keeps a zero-height line just above its place.
        k = k.Inflated(1, 1);
        k.Bottom = k.Top;
        CaptionRect = k;
        CaptionImageRect = CaptionTextRect = StatusRect = HiddenRect;
        return;
    }
    CaptionRect = k;
    TnbBarSettings *settings = EffectiveSettings();
    canvas.setBrushColor(settings->Color());
    canvas.pen() = Pen(clBtnFace, 1);

    if (OnDrawHeaderButton) {
        CaptionImageRect = CaptionTextRect = StatusRect = HiddenRect;
        OnDrawHeaderButton(this, canvas, k);
        DoAfterDrawHeaderButton(canvas, k);
        return;
    }

    const bool explorerView = FSideBar && FSideBar->ViewStyle() == vsExplorerBar;
    const bool rounded = explorerView && FOptions.Contains(hoRoundedHeader);
    canvas.Save();
    if (rounded)
        canvas.SetClipRoundRect({k.Left, k.Top, k.Right + 1, 2 * k.Bottom}, 4, 4);

    const bool barEnabled = !FSideBar || FSideBar->isEnabled();
    if (!FEnabled || !barEnabled)
        SetItemState(bstDisabled);
    else if (FItemState == bstDisabled)
        SetItemState(bstNormal);
    const bool hot = FItemState == bstHot;
    canvas.setFont(hot && FOptions.Contains(hoUseHighlightFont) ? settings->HighlightFont()
                                                                : settings->Font());

    bool flat = (FSideBar && FSideBar->Flat()) || FOptions.Contains(hoAlwaysFlat);
    if (hot && flat && FOptions.Contains(hoActivateOnSelect))
        flat = false;
    const bool pressed = FItemState == bstDown && FOptions.Contains(hoButtonDown);

    if (settings->CaptionStyle() == csButtonStyle) {
        if (!FTransparent)
            canvas.FillRect(k);
        Rect edge = k;
        canvas.DrawEdge(edge,
                        flat ? (pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER)
                             : (pressed ? EDGE_SUNKEN : EDGE_RAISED),
                        BF_RECT | BF_SOFT);
    } else {
        TnbButtonBackground *background = settings->ButtonUp();
        if (FItemState == bstDown && FOptions.Contains(hoDrawDownButton))
            background = settings->ButtonDown();
        else if (FItemState == bstHot && FOptions.Contains(hoDrawFocusedButton))
            background = settings->ButtonFocused();
        else if (FItemState == bstDisabled && FOptions.Contains(hoDrawDisabledButton))
            background = settings->ButtonDisabled();
        background->Paint(canvas, k);
        const Pen &pen = settings->CaptionPen();
        if (FOptions.Contains(hoDrawCaptionBorder) && pen.width() > 0) {
            canvas.Save();
            canvas.setPen(pen);
            canvas.setBrushStyle(Canvas::BrushStyle::Clear);
            canvas.Rectangle(PenFrameRect(k, pen.width()));
            if (rounded && pen.style() != Pen::Style::Clear) {
                for (const QPoint p : {QPoint(k.Left + 1, k.Top + 2), QPoint(k.Left + 1, k.Top + 1),
                                       QPoint(k.Left + 2, k.Top + 1), QPoint(k.Right - 2, k.Top + 2),
                                       QPoint(k.Right - 2, k.Top + 1), QPoint(k.Right - 3, k.Top + 1)})
                    canvas.SetPixel(p.x(), p.y(), pen.color());
            }
            canvas.Restore();
        }
    }

    k = k.Inflated(-1, -1);
    const QPoint offset = pressed ? QPoint(1, 1) : QPoint(0, 0);
    canvas.Restore(); // removes the rounded clip
    canvas.setFont(hot && FOptions.Contains(hoUseHighlightFont) ? settings->HighlightFont()
                                                                : settings->Font());
    DrawCaption(canvas, k, offset);
    DoAfterDrawHeaderButton(canvas, k);
}

void TnbHeader::CalcCaptionLayout(Canvas &canvas, const Rect &k, QPoint offset)
{
    TnbBarSettings *settings = EffectiveSettings();
    const bool explorerView = FSideBar && FSideBar->ViewStyle() == vsExplorerBar;
    const int addOn = explorerView ? settings->ExplorerAddOn() : 0;
    const int H = k.Height();
    int W = k.Width();

    TnbGlyphLayout layout = settings->Layout();
    const Alignment alignment = settings->Alignment();
    if (FBiDiMode == bdRightToLeft) {
        if (layout == glGlyphLeft)
            layout = glGlyphRight;
        else if (layout == glGlyphRight)
            layout = glGlyphLeft;
    }

    // Status button of the explorer layout.
    StatusRect = HiddenRect;
    const int partHeight = H - addOn;
    if (FSideBar && FSideBar->ExplorerLayout() && FOptions.Contains(hoShowStatusButton) && partHeight > 20 &&
        k.Width() > 22) {
        const int top = k.Top + addOn + (partHeight - 18) / 2;
        StatusRect = {k.Right - 22, top, k.Right - 4, top + 18};
        W = (k.Right - 23) - k.Left;
    }

    // Image.
    ImageList *list = nullptr;
    if (FSideBar) {
        const bool selected = FSideBar->ActiveHeader() == this && FOptions.Contains(hoShowSelectedImage);
        list = FSideBar->HeaderImages()->ListFor(FItemState, selected, FImageIndex);
    }
    FCaptionList = list;
    int imageX = 0;
    int imageY = 0;
    int w = 0;
    bool image = list != nullptr;
    if (image) {
        w = list->Width();
        const int h = list->Height();
        imageY = (H - h + 1) / 2;
        if (imageY < 0 || imageY + h > H)
            image = false;
    }
    const int spacing = image ? FSpacing : 0;
    int textLeft = 0;
    int textRight = W;
    if (image) {
        switch (layout) {
        case glGlyphLeft:
            imageX = FMargin;
            if (W < w + FMargin)
                image = false;
            else
                textLeft += FMargin + w + spacing;
            break;
        case glGlyphRight:
            imageX = W - FMargin - w;
            if (imageX < 0)
                image = false;
            else if (alignment == taRightJustify)
                textRight = imageX - spacing;
            break;
        case glGlyphCenter:
            imageX = (W - w + 1) / 2;
            if (imageX < 0 || imageX + w > W)
                image = false;
            break;
        }
    }

    // Text size.
    int tw = 0;
    int th = 0;
    if (!FCaption.isEmpty()) {
        Rect box(0, 0, std::max(0, textRight - textLeft - FMargin - spacing), 0);
        canvas.DrawText(FCaption, box, DT_CALCRECT | DT_END_ELLIPSIS | BiDiFlags(FBiDiMode));
        tw = box.Width();
        th = box.Height();
    }
    int textX = 0;
    switch (alignment) {
    case taLeftJustify:
        textX = FMargin;
        break;
    case taRightJustify:
        textX = W - tw - FMargin;
        break;
    case taCenter:
        textX = (W - tw + 1) / 2;
        break;
    }
    if (image && layout == glGlyphLeft && alignment == taLeftJustify)
        textX = imageX + w + spacing;
    if (image && layout == glGlyphRight && alignment == taRightJustify)
        textX = imageX - spacing - tw;
    bool text = tw > 0;
    if (alignment == taRightJustify ? textX < 0 : textX + tw > W)
        text = false;
    const int textY = (H - th + 1) / 2 + addOn / 2;
    if (textY < 0 || textY + th > H)
        text = false;

    const int dx = k.Left + offset.x();
    const int dy = k.Top + offset.y();
    CaptionImageRect = image ? Rect::Bounds(imageX + dx, imageY + dy, w, list->Height()) : HiddenRect;
    CaptionTextRect = text ? Rect::Bounds(textX + dx, textY + dy, tw, th) : HiddenRect;
}

void TnbHeader::DrawCaptionImage(Canvas &canvas)
{
    if (FCaptionList && CaptionImageRect != HiddenRect)
        canvas.DrawImageList(*FCaptionList, FImageIndex, CaptionImageRect.Left, CaptionImageRect.Top);
}

void TnbHeader::DrawCaptionText(Canvas &canvas)
{
    if (CaptionTextRect == HiddenRect)
        return;
    canvas.setBrushStyle(Canvas::BrushStyle::Clear);
    const unsigned flags = BiDiFlags(FBiDiMode) | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS;
    Rect r = CaptionTextRect;
    if (FItemState == bstDisabled) {
        const TColor color = canvas.font().color();
        canvas.font().setColor(clBtnHighlight);
        Rect shifted = r.Offset(1, 1);
        canvas.DrawText(FCaption, shifted, flags);
        canvas.font().setColor(clBtnShadow);
        canvas.DrawText(FCaption, r, flags);
        canvas.font().setColor(color);
    } else {
        canvas.DrawText(FCaption, r, flags);
    }
}

void TnbHeader::DrawCaption(Canvas &canvas, const Rect &k, QPoint offset)
{
    CalcCaptionLayout(canvas, k, offset);
    DrawCaptionImage(canvas);
    DrawCaptionText(canvas);
    DrawStatusButton(canvas);
}

void TnbHeader::DrawStatusButton(Canvas &canvas)
{
    if (StatusRect == HiddenRect)
        return;
    const Rect q = StatusRect;
    if (OnDrawStatusButton) {
        OnDrawStatusButton(this, canvas, q, FHeaderState);
        return;
    }
    const TnbStatusButton *status = EffectiveSettings()->StatusButton();
    canvas.Save();
    if (status->Transparent())
        canvas.setBrushStyle(Canvas::BrushStyle::Clear);
    else
        canvas.setBrushColor(status->Background());
    canvas.setPen(Pen(status->BorderColor(), 2));
    canvas.Ellipse(q);
    canvas.setPen(Pen(status->ArrowColor(), 1));
    const int l = q.Left;
    const int t = q.Top;
    const int c = l + 9;
    const bool closed = FHeaderState == hsClosed;
    const int tip0 = closed ? t + 8 : t + 4;
    const int arm0 = closed ? t + 5 : t + 7;
    const int back0 = closed ? t + 7 : t + 5;
    for (int shift : {0, 5}) {
        const int tip = tip0 + shift;
        const int arm = arm0 + shift;
        const int back = back0 + shift;
        canvas.MoveTo(c, tip);
        canvas.LineTo(l + 6, arm);
        canvas.MoveTo(l + 7, arm);
        canvas.LineTo(c, back);
        canvas.MoveTo(c, tip);
        canvas.LineTo(l + 12, arm);
        canvas.MoveTo(l + 11, arm);
        canvas.LineTo(c, back);
        canvas.SetPixel(c, back, status->ArrowColor());
        canvas.SetPixel(l + 6, arm, status->ArrowColor());
        canvas.SetPixel(l + 12, arm, status->ArrowColor());
    }
    canvas.Restore();
}

void TnbHeader::PaintBody(Canvas &canvas, const Rect &b)
{
    if (!FSideBar || !FSideBar->FAnimating)
        FBodyRect = b;
    if (b.Height() < 0 || b.Width() <= 0)
        return;
    if (OnDrawHeaderBody)
        OnDrawHeaderBody(this, canvas, b);
    else
        FBackground->Paint(canvas, b);
    DrawGlyph(canvas, b);

    TnbBarSettings *settings = EffectiveSettings();
    const Pen &pen = settings->HeaderPen();
    const bool outlookFrameOff =
        FSideBar && FSideBar->ViewStyle() == vsOutlook && FSideBar->Options().Contains(boHeaderFrame);
    if (FOptions.Contains(hoDrawBorder) && pen.width() > 0 && !outlookFrameOff) {
        Rect frame = PenFrameRect(b, pen.width());
        // A caption frame of the same pen shares its bottom line with the body frame.
        if (settings->CaptionStyle() == csCustomDraw && settings->CaptionPen() == pen)
            --frame.Top;
        canvas.Save();
        canvas.setPen(pen);
        canvas.setBrushStyle(Canvas::BrushStyle::Clear);
        canvas.Rectangle(frame);
        canvas.Restore();
    }
    DoAfterDrawHeaderBody(canvas, b);
    LayoutButtons(&canvas, b);
}

void TnbHeader::DrawGlyph(Canvas &canvas, const Rect &b)
{
    const QImage &bitmap = FGlyph->Bitmap();
    if (!FGlyph->Visible() || bitmap.isNull() || b.Width() <= 0)
        return;
    const int w = bitmap.width();
    const int h = bitmap.height();
    QPoint at;
    switch (FGlyph->Position()) {
    case gpTopLeft:
        at = QPoint(b.Left, b.Top);
        break;
    case gpTopRight:
        at = QPoint(b.Right - w, b.Top);
        break;
    case gpBottomLeft:
        at = QPoint(b.Left, b.Bottom - h);
        break;
    case gpBottomRight:
        at = QPoint(b.Right - w, b.Bottom - h);
        break;
    case gpCenter:
        at = QPoint(b.Left + (b.Width() - w) / 2, b.Top + (b.Height() - h) / 2);
        break;
    }
    canvas.Save();
    canvas.SetClipRect(b);
    if (FGlyph->Transparent()) {
        // Automatic transparency: the colour of the bottom-left pixel.
        const QRgb key = bitmap.pixel(0, h - 1);
        canvas.DrawTransparent(at.x(), at.y(), bitmap, RGB(qRed(key), qGreen(key), qBlue(key)));
    } else {
        canvas.BitBlt(at.x(), at.y(), w, h, bitmap, 0, 0, SRCCOPY);
    }
    canvas.Restore();
}

void TnbHeader::LayoutButtons(Canvas *canvas, const Rect &b)
{
    int y = b.Top + FFirstButtonTop;
    FLastVisibleIndex = -1;
    bool drawing = true;
    for (int i = 0; i < FButtons->Count(); ++i) {
        TnbButton *button = FButtons->Items(i);
        if (i < FTopIndex) {
            // Buttons scrolled away above are not laid out; keep them out of hit tests.
            button->HideRects();
            continue;
        }
        if (!button->Visible()) {
            button->HideRects();
            continue;
        }
        if (!drawing) {
            button->HideRects();
            continue;
        }
        button->LayoutAndDraw(canvas, b, y);
        if (y > b.Bottom) {
            FLastVisibleIndex = i - 1;
            button->HideRects();
            drawing = false;
        }
    }
    if (FLastVisibleIndex == -1)
        FLastVisibleIndex = FButtons->Count() - 1;

    // The drop position of a drag over this header.
    if (canvas && FSideBar)
        FSideBar->DrawHeaderDropMark(*canvas, this, b);
}

void TnbHeader::DoAfterDrawHeaderBody(Canvas &canvas, const Rect &b)
{
    if (OnAfterDrawHeaderBody)
        OnAfterDrawHeaderBody(this, canvas, b);
}

void TnbHeader::DoAfterDrawHeaderButton(Canvas &canvas, const Rect &k)
{
    if (OnAfterDrawHeaderButton)
        OnAfterDrawHeaderButton(this, canvas, k);
}

int TnbHeader::CalcBodyHeight()
{
    if (FHeaderState == hsClosed || FButtons->Count() == 0)
        return 0;
    const TnbBarSettings *settings = EffectiveSettings();
    const int distance = settings->Distance();
    const int left = FSideBar ? FSideBar->ContentRect().Left : 0;
    const int right = FSideBar ? FSideBar->ContentRect().Right : 0;
    const Rect measure(left, 0, right, 1 << 24);
    const int start = FFirstButtonTop;
    int y = start;
    bool advanced = false;
    for (int i = 0; i < FButtons->Count(); ++i) {
        TnbButton *button = FButtons->Items(i);
        if (!button->Visible())
            continue;
        const int before = y;
        button->LayoutAndDraw(nullptr, measure, y);
        advanced = advanced || y != before;
    }
    if (!advanced)
        return distance;
    const int p = settings->HeaderPen().width();
    return p < distance ? y + 2 * distance : y + 2 * p + 2;
}
