#include "navbar/nbSettings.h"

using namespace platform;

// ---- TnbXPColors -------------------------------------------------------------------

void TnbXPColors::Assign(const Persistent &source)
{
    const auto *other = dynamic_cast<const TnbXPColors *>(&source);
    if (!other) {
        Persistent::Assign(source);
        return;
    }
    FBorderColor = other->FBorderColor;
    FBackground = other->FBackground;
    FPressedBackground = other->FPressedBackground;
    FUseShadow = other->FUseShadow;
    FShadowColor = other->FShadowColor;
    Changed();
}

void TnbXPColors::SetBorderColor(TColor value)
{
    FBorderColor = value;
    Changed();
}

void TnbXPColors::SetBackground(TColor value)
{
    FBackground = value;
    Changed();
}

void TnbXPColors::SetPressedBackground(TColor value)
{
    FPressedBackground = value;
    Changed();
}

void TnbXPColors::SetUseShadow(bool value)
{
    FUseShadow = value;
    Changed();
}

void TnbXPColors::SetShadowColor(TColor value)
{
    FShadowColor = value;
    Changed();
}

void TnbXPColors::Changed()
{
    if (FOnChangeParameter)
        FOnChangeParameter(this);
}

// ---- TnbStatusButton ---------------------------------------------------------------

void TnbStatusButton::Assign(const Persistent &source)
{
    const auto *other = dynamic_cast<const TnbStatusButton *>(&source);
    if (!other) {
        Persistent::Assign(source);
        return;
    }
    FArrowColor = other->FArrowColor;
    FBackground = other->FBackground;
    FBorderColor = other->FBorderColor;
    FTransparent = other->FTransparent;
    Changed();
}

TColor TnbStatusButton::Color(int index) const
{
    switch (index) {
    case 1:
        return FArrowColor;
    case 2:
        return FBackground;
    case 3:
        return FBorderColor;
    default:
        return clBtnFace;
    }
}

void TnbStatusButton::SetColor(int index, TColor value)
{
    switch (index) {
    case 1:
        FArrowColor = value;
        break;
    case 2:
        FBackground = value;
        break;
    case 3:
        FBorderColor = value;
        break;
    default:
        break;
    }
    Changed();
}

void TnbStatusButton::SetTransparent(bool value)
{
    FTransparent = value;
    Changed();
}

void TnbStatusButton::Changed()
{
    if (FOnChangeParameter)
        FOnChangeParameter(this);
}

// ---- TnbGlyph ----------------------------------------------------------------------

void TnbGlyph::Assign(const Persistent &source)
{
    const auto *other = dynamic_cast<const TnbGlyph *>(&source);
    if (!other) {
        Persistent::Assign(source);
        return;
    }
    FPosition = other->FPosition;
    FBitmap = other->FBitmap;
    FTransparent = other->FTransparent;
    FVisible = other->FVisible;
    Changed();
}

void TnbGlyph::SetPosition(TnbGlyphPosition value)
{
    FPosition = value;
    Changed();
}

void TnbGlyph::SetBitmap(const QImage &value)
{
    FBitmap = value;
    Changed();
}

void TnbGlyph::SetTransparent(bool value)
{
    FTransparent = value;
    Changed();
}

void TnbGlyph::SetVisible(bool value)
{
    FVisible = value;
    Changed();
}

void TnbGlyph::Changed()
{
    if (FOnChangeParameter)
        FOnChangeParameter(this);
}

// ---- TnbBorder ---------------------------------------------------------------------

void TnbBorder::Assign(const Persistent &source)
{
    const auto *other = dynamic_cast<const TnbBorder *>(&source);
    if (!other) {
        Persistent::Assign(source);
        return;
    }
    for (int i = 0; i < 5; ++i)
        FValues[i] = other->FValues[i];
    if (FOnChangeParameter)
        FOnChangeParameter(this);
}

std::uint16_t TnbBorder::Value(int index) const
{
    if (index < 1 || index > 5)
        return 0;
    return FValues[index - 1];
}

void TnbBorder::SetValue(int index, std::uint16_t value)
{
    if (index >= 1 && index <= 5)
        FValues[index - 1] = value;
    if (FOnChangeParameter)
        FOnChangeParameter(this);
}

// ---- TnbBarSettings ----------------------------------------------------------------

TnbBarSettings::TnbBarSettings()
    : FButtonUp(std::make_unique<TnbButtonBackground>()),
      FButtonDown(std::make_unique<TnbButtonBackground>()),
      FButtonFocused(std::make_unique<TnbButtonBackground>()),
      FButtonDisabled(std::make_unique<TnbButtonBackground>()),
      FStatusButton(std::make_unique<TnbStatusButton>()), FXPColors(std::make_unique<TnbXPColors>())
{
}

TnbBarSettings::~TnbBarSettings()
{
    // Owned objects must not report into an owner that is going away.
    SetOnChangeParameter(nullptr);
}

void TnbBarSettings::Assign(const Persistent &source)
{
    const auto *other = dynamic_cast<const TnbBarSettings *>(&source);
    if (!other) {
        Persistent::Assign(source);
        return;
    }
    // Copy quietly, then report once.
    const TNotifyEvent saved = FOnChangeParameter;
    SetOnChangeParameter(nullptr);
    FAlignment = other->FAlignment;
    FButtonUp->Assign(*other->FButtonUp);
    FButtonDown->Assign(*other->FButtonDown);
    FButtonFocused->Assign(*other->FButtonFocused);
    FButtonDisabled->Assign(*other->FButtonDisabled);
    FButtonFont = other->FButtonFont;
    FButtonHighlightFont = other->FButtonHighlightFont;
    FButtonStyle = other->FButtonStyle;
    FButtonView = other->FButtonView;
    FCaptionStyle = other->FCaptionStyle;
    FCaptionPen = other->FCaptionPen;
    FColor = other->FColor;
    FDistance = other->FDistance;
    FExplorerAddOn = other->FExplorerAddOn;
    FFont = other->FFont;
    FHighlightFont = other->FHighlightFont;
    FGlyphTop = other->FGlyphTop;
    FHeaderPen = other->FHeaderPen;
    FHeight = other->FHeight;
    FLayout = other->FLayout;
    FLargeWidth = other->FLargeWidth;
    FLargeHeight = other->FLargeHeight;
    FPicLabDistance = other->FPicLabDistance;
    FStatusButton->Assign(*other->FStatusButton);
    FSmallHeight = other->FSmallHeight;
    FXPColors->Assign(*other->FXPColors);
    SetOnChangeParameter(saved);
    Changed();
}

template <typename T> void TnbBarSettings::Set(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    Changed();
}

void TnbBarSettings::SetAlignment(platform::Alignment value)
{
    Set(FAlignment, value);
}
void TnbBarSettings::SetButtonFont(const platform::Font &value)
{
    Set(FButtonFont, value);
}
void TnbBarSettings::SetButtonHighlightFont(const platform::Font &value)
{
    Set(FButtonHighlightFont, value);
}
void TnbBarSettings::SetButtonStyle(TnbButtonStyle value)
{
    Set(FButtonStyle, value);
}
void TnbBarSettings::SetButtonView(TnbButtonView value)
{
    Set(FButtonView, value);
}
void TnbBarSettings::SetCaptionStyle(TnbCaptionStyle value)
{
    Set(FCaptionStyle, value);
}
void TnbBarSettings::SetColor(TColor value)
{
    Set(FColor, value);
}
void TnbBarSettings::SetDistance(int value)
{
    Set(FDistance, value);
}
void TnbBarSettings::SetExplorerAddOn(std::uint16_t value)
{
    Set(FExplorerAddOn, value);
}
void TnbBarSettings::SetFont(const platform::Font &value)
{
    Set(FFont, value);
}
void TnbBarSettings::SetHighlightFont(const platform::Font &value)
{
    Set(FHighlightFont, value);
}
void TnbBarSettings::SetGlyphTop(int value)
{
    Set(FGlyphTop, value);
}
void TnbBarSettings::SetHeight(int value)
{
    Set(FHeight, value);
}
void TnbBarSettings::SetKeySupport(bool value)
{
    Set(FKeySupport, value);
}
void TnbBarSettings::SetLayout(TnbGlyphLayout value)
{
    Set(FLayout, value);
}
void TnbBarSettings::SetPicLabDistance(int value)
{
    Set(FPicLabDistance, value);
}

int TnbBarSettings::Size(int index) const
{
    switch (index) {
    case 1:
        return FLargeWidth;
    case 2:
        return FLargeHeight;
    case 3:
        return FSmallHeight;
    default:
        return -1;
    }
}

void TnbBarSettings::SetSize(int index, int value)
{
    switch (index) {
    case 1:
        Set(FLargeWidth, value);
        break;
    case 2:
        Set(FLargeHeight, value);
        break;
    case 3:
        Set(FSmallHeight, value);
        break;
    default:
        break;
    }
}

void TnbBarSettings::SetOnChangeParameter(const TNotifyEvent &value)
{
    FOnChangeParameter = value;
    FButtonUp->SetOnChangeParameter(value);
    FButtonDown->SetOnChangeParameter(value);
    FButtonFocused->SetOnChangeParameter(value);
    FButtonDisabled->SetOnChangeParameter(value);
    FStatusButton->SetOnChangeParameter(value);
    FXPColors->SetOnChangeParameter(value);
}

void TnbBarSettings::Changed()
{
    if (FOnChangeParameter)
        FOnChangeParameter(this);
}
