#pragma once

#include "navbar/nbTypes.h"

#include <QImage>
#include <QSize>
#include <array>

// A two-colour gradient of a background. It keeps a table of 256 colours from the first
// to the last colour, rebuilt on every change, and a cache of the last rendering, which
// every change empties so that the next paint renders afresh.
class TnbGradient : public platform::Persistent
{
public:
    // The value of BeginColor that the stored form leaves out.
    static constexpr TColor StoredBeginColor = 0;

    TnbGradient();

    const char *ClassName() const override { return "TnbGradient"; }
    // Copies BeginColor, EndColor and DrawStyle (not Direction) from another gradient.
    void Assign(const platform::Persistent &source) override;

    TColor BeginColor() const { return FBeginColor; }
    void SetBeginColor(TColor value);
    TnbGradientStyle DrawStyle() const { return FDrawStyle; }
    void SetDrawStyle(TnbGradientStyle value);
    TnbGradientDirection Direction() const { return FDirection; }
    void SetDirection(TnbGradientDirection value);
    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor value);

    const TNotifyEvent &OnChangeParameter() const { return FOnChangeParameter; }
    void SetOnChangeParameter(const TNotifyEvent &value) { FOnChangeParameter = value; }

    // The colour table (RGB values, system colours resolved).
    const std::array<TColor, 256> &ColorTable() const { return FColors; }

    // The cached rendering and the size it was made for; an empty size means "render
    // again".
    const QImage &Cache() const { return FCache; }
    QSize CacheSize() const { return FCacheSize; }
    void SetCache(const QImage &image, QSize size);

    // Renders the gradient at the size of `target` (only when the cached size differs)
    // and copies it there; the ellipse leaves its silver corners transparent.
    void Draw(platform::Canvas &canvas, const platform::Rect &target);
    // Renders the gradient into a new w × h image.
    QImage Render(int w, int h) const;

private:
    void Changed();
    void BuildColorTable();

    TColor FBeginColor;
    TnbGradientStyle FDrawStyle = gtLeftToRight;
    TnbGradientDirection FDirection = gdNormal;
    TColor FEndColor;
    std::array<TColor, 256> FColors{};
    QImage FCache;
    QSize FCacheSize;
    TNotifyEvent FOnChangeParameter;
};
