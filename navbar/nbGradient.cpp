#include "navbar/nbGradient.h"

#include <cmath>

using namespace platform;

TnbGradient::TnbGradient() : FBeginColor(clBtnFace), FEndColor(clBlue)
{
    BuildColorTable();
}

void TnbGradient::Assign(const Persistent &source)
{
    const auto *other = dynamic_cast<const TnbGradient *>(&source);
    if (!other) {
        Persistent::Assign(source);
        return;
    }
    FBeginColor = other->FBeginColor;
    FEndColor = other->FEndColor;
    FDrawStyle = other->FDrawStyle;
    Changed();
}

void TnbGradient::SetBeginColor(TColor value)
{
    if (value == FBeginColor)
        return;
    FBeginColor = value;
    Changed();
}

void TnbGradient::SetDrawStyle(TnbGradientStyle value)
{
    if (value == FDrawStyle)
        return;
    FDrawStyle = value;
    Changed();
}

void TnbGradient::SetDirection(TnbGradientDirection value)
{
    if (value == FDirection)
        return;
    FDirection = value;
    Changed();
}

void TnbGradient::SetEndColor(TColor value)
{
    if (value == FEndColor)
        return;
    FEndColor = value;
    Changed();
}

void TnbGradient::SetCache(const QImage &image, QSize size)
{
    FCache = image;
    FCacheSize = size;
}

void TnbGradient::Changed()
{
    BuildColorTable();
    FCache = QImage();
    FCacheSize = QSize();
    if (FOnChangeParameter)
        FOnChangeParameter(this);
}

namespace {

// from + round(step * (to - from) / steps) for one channel, ties to even.
int Blend(int from, int to, int step, int steps)
{
    return from + int(std::nearbyint(double(step) * double(to - from) / double(steps)));
}

TColor BlendColor(TColor from, TColor to, int step, int steps)
{
    return RGB(Blend(RedOf(from), RedOf(to), step, steps), Blend(GreenOf(from), GreenOf(to), step, steps),
               Blend(BlueOf(from), BlueOf(to), step, steps));
}

} // namespace

void TnbGradient::BuildColorTable()
{
    TColor from = ColorToRGB(FBeginColor);
    TColor to = ColorToRGB(FEndColor);
    if (FDirection == gdInverse)
        std::swap(from, to);

    FColors[0] = from;
    if (FDrawStyle == gtVerticalToCenter || FDrawStyle == gtHorizontalToCenter) {
        // Mirrored: out to the last colour in the middle, back to the first at the end.
        for (int k = 1; k <= 127; ++k)
            FColors[std::size_t(k)] = BlendColor(from, to, k - 1, 127);
        FColors[128] = to;
        for (int k = 129; k <= 255; ++k)
            FColors[std::size_t(k)] = BlendColor(to, from, k - 128, 127);
    } else {
        for (int k = 1; k <= 255; ++k)
            FColors[std::size_t(k)] = BlendColor(from, to, k - 1, 255);
    }
}
