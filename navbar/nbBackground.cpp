#include "navbar/nbBackground.h"

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
