#pragma once

#include "navbar/nbGradient.h"

#include <QImage>
#include <cstdint>
#include <memory>

// The fill of an area of the bar: a colour, a picture (once or tiled) or a gradient,
// optionally blended and turned grey. It reports every change through
// OnChangeParameter, which it shares with its gradient.
class TnbCustomBackground : public platform::Persistent
{
public:
    TnbCustomBackground();
    ~TnbCustomBackground() override;

    const char *ClassName() const override { return "TnbCustomBackground"; }
    // Copies all seven properties (the gradient by its own Assign) and notifies once.
    void Assign(const platform::Persistent &source) override;

    std::uint8_t AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(std::uint8_t value);
    const QImage &Bitmap() const { return FBitmap; }
    // Copies the picture.
    void SetBitmap(const QImage &value);
    TnbBitmapCopy BitmapCopy() const { return FBitmapCopy; }
    void SetBitmapCopy(TnbBitmapCopy value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TnbGradient *Gradient() const { return FGradient.get(); }
    // Copies the gradient.
    void SetGradient(const TnbGradient &value);
    bool Grayscale() const { return FGrayscale; }
    void SetGrayscale(bool value);
    TnbBackgroundStyle Style() const { return FStyle; }
    void SetStyle(TnbBackgroundStyle value);

    const TNotifyEvent &OnChangeParameter() const { return FOnChangeParameter; }
    // Also becomes the gradient's change event.
    void SetOnChangeParameter(const TNotifyEvent &value);

    // Paints the background into `r` of the canvas's image: the fill of its Style, the
    // bitmap with the raster operation of BitmapCopy, then the alpha and grayscale
    // passes. Re-entrant calls and rectangles without width do nothing.
    virtual void Paint(platform::Canvas &canvas, const platform::Rect &r);

protected:
    void Changed();
    virtual void FillColor(platform::Canvas &canvas, const platform::Rect &r);
    // Draws the bitmap once at the top-left of `r` or, with `tiled`, over all of `r`.
    virtual void DrawBitmap(platform::Canvas &canvas, const platform::Rect &r, bool tiled);
    virtual void ApplyAlpha(platform::Canvas &canvas, const platform::Rect &r);
    virtual void ApplyGrayscale(platform::Canvas &canvas, const platform::Rect &r);

private:
    std::uint8_t FAlphaBlend = 255;
    QImage FBitmap;
    TnbBitmapCopy FBitmapCopy = bcSrcCopy;
    TColor FColor;
    std::unique_ptr<TnbGradient> FGradient;
    bool FGrayscale = false;
    TnbBackgroundStyle FStyle = btSolid;
    TNotifyEvent FOnChangeParameter;
    bool FPainting = false;
};

class TnbBackground : public TnbCustomBackground
{
public:
    const char *ClassName() const override { return "TnbBackground"; }
};

// The background of a caption in one of its states.
class TnbButtonBackground : public TnbBackground
{
public:
    TnbButtonBackground();
    const char *ClassName() const override { return "TnbButtonBackground"; }
};
