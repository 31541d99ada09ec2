#include "navbar/nbBackground.h"

#include "platform/ui/Canvas.h"

using namespace platform;

TnbCustomBackground::TnbCustomBackground() : FColor(clBtnFace), FGradient(std::make_unique<TnbGradient>()) {}

TnbCustomBackground::~TnbCustomBackground() = default;

void TnbCustomBackground::Assign(const Persistent &source)
{
    const auto *other = dynamic_cast<const TnbCustomBackground *>(&source);
    if (!other) {
        Persistent::Assign(source);
        return;
    }
    // Copy quietly, then report once.
    const TNotifyEvent saved = FOnChangeParameter;
    SetOnChangeParameter(nullptr);
    FAlphaBlend = other->FAlphaBlend;
    FBitmap = other->FBitmap;
    FBitmapCopy = other->FBitmapCopy;
    FColor = other->FColor;
    FGradient->Assign(*other->FGradient);
    FGrayscale = other->FGrayscale;
    FStyle = other->FStyle;
    SetOnChangeParameter(saved);
    Changed();
}

void TnbCustomBackground::SetAlphaBlend(std::uint8_t value)
{
    if (value == FAlphaBlend)
        return;
    FAlphaBlend = value;
    Changed();
}

void TnbCustomBackground::SetBitmap(const QImage &value)
{
    FBitmap = value;
    Changed();
}

void TnbCustomBackground::SetBitmapCopy(TnbBitmapCopy value)
{
    if (value == FBitmapCopy)
        return;
    FBitmapCopy = value;
    Changed();
}

void TnbCustomBackground::SetColor(TColor value)
{
    if (value == FColor)
        return;
    FColor = value;
    Changed();
}

void TnbCustomBackground::SetGradient(const TnbGradient &value)
{
    // The gradient reports the change itself through the shared event.
    FGradient->Assign(value);
}

void TnbCustomBackground::SetGrayscale(bool value)
{
    if (value == FGrayscale)
        return;
    FGrayscale = value;
    Changed();
}

void TnbCustomBackground::SetStyle(TnbBackgroundStyle value)
{
    if (value == FStyle)
        return;
    FStyle = value;
    Changed();
}

void TnbCustomBackground::SetOnChangeParameter(const TNotifyEvent &value)
{
    FOnChangeParameter = value;
    FGradient->SetOnChangeParameter(value);
}

void TnbCustomBackground::Changed()
{
    if (FOnChangeParameter)
        FOnChangeParameter(this);
}

TnbButtonBackground::TnbButtonBackground()
{
    SetColor(clBtnFace);
}

// ---- Painting ------------------------------------------------------------------------

namespace {

unsigned RasterOperation(TnbBitmapCopy copy)
{
    switch (copy) {
    case bcMergeCopy:
        return MERGECOPY;
    case bcMergePaint:
        return MERGEPAINT;
    case bcSrcErase:
        return SRCERASE;
    case bcSrcPaint:
        return SRCPAINT;
    case bcSrcCopy:
    default:
        return SRCCOPY;
    }
}

} // namespace

void TnbCustomBackground::Paint(Canvas &canvas, const Rect &r)
{
    if (FPainting || r.Width() <= 0)
        return;
    FPainting = true;
    canvas.setBrushStyle(Canvas::BrushStyle::Solid);
    switch (FStyle) {
    case btSolid:
        FillColor(canvas, r);
        break;
    case btBitmap:
        FillColor(canvas, r);
        DrawBitmap(canvas, r, false);
        break;
    case btTileBitmap:
        FillColor(canvas, r);
        DrawBitmap(canvas, r, true);
        break;
    case btGradient:
        FillColor(canvas, r);
        FGradient->Draw(canvas, r);
        break;
    case btTransparent:
        break;
    }
    if (FAlphaBlend != 255)
        ApplyAlpha(canvas, r);
    if (FGrayscale)
        ApplyGrayscale(canvas, r);
    FPainting = false;
}

void TnbCustomBackground::FillColor(Canvas &canvas, const Rect &r)
{
    canvas.setBrushColor(FColor);
    canvas.FillRect(r);
}

void TnbCustomBackground::DrawBitmap(Canvas &canvas, const Rect &r, bool tiled)
{
    if (FBitmap.isNull() || FBitmap.width() == 0 || FBitmap.height() == 0)
        return;
    canvas.Save();
    canvas.SetClipRect(r);
    const unsigned rop = RasterOperation(FBitmapCopy);
    const int w = FBitmap.width();
    const int h = FBitmap.height();
    if (!tiled) {
        canvas.BitBlt(r.Left, r.Top, w, h, FBitmap, 0, 0, rop);
    } else {
        for (int y = r.Top; y < r.Bottom; y += h)
            for (int x = r.Left; x < r.Right; x += w)
                canvas.BitBlt(x, y, w, h, FBitmap, 0, 0, rop);
    }
    canvas.Restore();
}

void TnbCustomBackground::ApplyAlpha(Canvas &canvas, const Rect &r)
{
    canvas.AlphaBlend(r, FColor, 255 - FAlphaBlend);
}

void TnbCustomBackground::ApplyGrayscale(Canvas &canvas, const Rect &r)
{
    canvas.Grayscale(r);
}
