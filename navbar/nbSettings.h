#pragma once

#include "navbar/nbBackground.h"
#include "platform/ui/Font.h"
#include "platform/ui/Pen.h"

#include <QImage>
#include <cstdint>
#include <memory>

// The colours of the XP-like button frames.
class TnbXPColors : public platform::Persistent
{
public:
    static constexpr TColor InitialBorderColor = 0x00800000;
    static constexpr TColor InitialBackground = 14199984;
    static constexpr TColor InitialPressedBackground = 13076383;
    static constexpr TColor InitialShadowColor = 0;

    const char *ClassName() const override { return "TnbXPColors"; }
    // Copies all five values from another colour set and notifies once.
    void Assign(const platform::Persistent &source) override;

    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor value);
    TColor Background() const { return FBackground; }
    void SetBackground(TColor value);
    TColor PressedBackground() const { return FPressedBackground; }
    void SetPressedBackground(TColor value);
    bool UseShadow() const { return FUseShadow; }
    void SetUseShadow(bool value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor value);

    const TNotifyEvent &OnChangeParameter() const { return FOnChangeParameter; }
    void SetOnChangeParameter(const TNotifyEvent &value) { FOnChangeParameter = value; }

private:
    void Changed();

    TColor FBorderColor = InitialBorderColor;
    TColor FBackground = InitialBackground;
    TColor FPressedBackground = InitialPressedBackground;
    bool FUseShadow = true;
    TColor FShadowColor = InitialShadowColor;
    TNotifyEvent FOnChangeParameter;
};

// The colours of the round open/close button of an explorer-bar caption.
class TnbStatusButton : public platform::Persistent
{
public:
    // The Background value the stored form leaves out (not the initial white).
    static constexpr TColor StoredBackground = platform::clBtnFace;

    const char *ClassName() const override { return "TnbStatusButton"; }
    void Assign(const platform::Persistent &source) override;

    // Indexed access: 1 ArrowColor, 2 Background, 3 BorderColor; any other index reads
    // clBtnFace and writes nothing (but still notifies).
    TColor Color(int index) const;
    void SetColor(int index, TColor value);

    TColor ArrowColor() const { return Color(1); }
    void SetArrowColor(TColor value) { SetColor(1, value); }
    TColor Background() const { return Color(2); }
    void SetBackground(TColor value) { SetColor(2, value); }
    TColor BorderColor() const { return Color(3); }
    void SetBorderColor(TColor value) { SetColor(3, value); }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);

    const TNotifyEvent &OnChangeParameter() const { return FOnChangeParameter; }
    void SetOnChangeParameter(const TNotifyEvent &value) { FOnChangeParameter = value; }

private:
    void Changed();

    TColor FArrowColor = platform::clBlack;
    TColor FBackground = platform::clWhite;
    TColor FBorderColor = platform::clGray;
    bool FTransparent = false;
    TNotifyEvent FOnChangeParameter;
};

// A picture drawn into a header's body.
class TnbGlyph : public platform::Persistent
{
public:
    const char *ClassName() const override { return "TnbGlyph"; }
    void Assign(const platform::Persistent &source) override;

    TnbGlyphPosition Position() const { return FPosition; }
    void SetPosition(TnbGlyphPosition value);
    const QImage &Bitmap() const { return FBitmap; }
    // Copies the picture.
    void SetBitmap(const QImage &value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);

    const TNotifyEvent &OnChangeParameter() const { return FOnChangeParameter; }
    void SetOnChangeParameter(const TNotifyEvent &value) { FOnChangeParameter = value; }

private:
    void Changed();

    TnbGlyphPosition FPosition = gpBottomRight;
    QImage FBitmap;
    bool FTransparent = true;
    bool FVisible = true;
    TNotifyEvent FOnChangeParameter;
};

// The inner margins of the bar and the gap between headers.
class TnbBorder : public platform::Persistent
{
public:
    // The value of each margin that the stored form leaves out.
    static constexpr std::uint16_t StoredDefault = 0;

    const char *ClassName() const override { return "TnbBorder"; }
    void Assign(const platform::Persistent &source) override;

    // Indexed access: 1 Top, 2 Bottom, 3 Left, 4 Right, 5 Separator; any other index
    // reads 0 and writes nothing (but still notifies).
    std::uint16_t Value(int index) const;
    void SetValue(int index, std::uint16_t value);

    std::uint16_t Top() const { return Value(1); }
    void SetTop(std::uint16_t value) { SetValue(1, value); }
    std::uint16_t Bottom() const { return Value(2); }
    void SetBottom(std::uint16_t value) { SetValue(2, value); }
    std::uint16_t Left() const { return Value(3); }
    void SetLeft(std::uint16_t value) { SetValue(3, value); }
    std::uint16_t Right() const { return Value(4); }
    void SetRight(std::uint16_t value) { SetValue(4, value); }
    std::uint16_t Separator() const { return Value(5); }
    void SetSeparator(std::uint16_t value) { SetValue(5, value); }

    const TNotifyEvent &OnChangeParameter() const { return FOnChangeParameter; }
    void SetOnChangeParameter(const TNotifyEvent &value) { FOnChangeParameter = value; }

private:
    std::uint16_t FValues[5] = {5, 5, 5, 5, 5};
    TNotifyEvent FOnChangeParameter;
};

// The settings block of the bar, of a header or of the close strip: fonts, sizes,
// views, caption style and the colours of the caption states.
class TnbBarSettings : public platform::Persistent
{
public:
    TnbBarSettings();
    ~TnbBarSettings() override;

    const char *ClassName() const override { return "TnbBarSettings"; }
    // Copies every property except KeySupport and notifies once.
    void Assign(const platform::Persistent &source) override;

    platform::Alignment Alignment() const { return FAlignment; }
    void SetAlignment(platform::Alignment value);

    TnbButtonBackground *ButtonUp() const { return FButtonUp.get(); }
    TnbButtonBackground *ButtonDown() const { return FButtonDown.get(); }
    TnbButtonBackground *ButtonFocused() const { return FButtonFocused.get(); }
    TnbButtonBackground *ButtonDisabled() const { return FButtonDisabled.get(); }
    // Each copies the given background.
    void SetButtonUp(const TnbBackground &value) { FButtonUp->Assign(value); }
    void SetButtonDown(const TnbBackground &value) { FButtonDown->Assign(value); }
    void SetButtonFocused(const TnbBackground &value) { FButtonFocused->Assign(value); }
    void SetButtonDisabled(const TnbBackground &value) { FButtonDisabled->Assign(value); }

    const platform::Font &ButtonFont() const { return FButtonFont; }
    void SetButtonFont(const platform::Font &value);
    const platform::Font &ButtonHighlightFont() const { return FButtonHighlightFont; }
    void SetButtonHighlightFont(const platform::Font &value);
    TnbButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TnbButtonStyle value);
    TnbButtonView ButtonView() const { return FButtonView; }
    void SetButtonView(TnbButtonView value);
    TnbCaptionStyle CaptionStyle() const { return FCaptionStyle; }
    void SetCaptionStyle(TnbCaptionStyle value);
    // Copies the pen without a notification.
    const platform::Pen &CaptionPen() const { return FCaptionPen; }
    void SetCaptionPen(const platform::Pen &value) { FCaptionPen = value; }
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    int Distance() const { return FDistance; }
    void SetDistance(int value);
    std::uint16_t ExplorerAddOn() const { return FExplorerAddOn; }
    void SetExplorerAddOn(std::uint16_t value);
    const platform::Font &Font() const { return FFont; }
    void SetFont(const platform::Font &value);
    const platform::Font &HighlightFont() const { return FHighlightFont; }
    void SetHighlightFont(const platform::Font &value);
    int GlyphTop() const { return FGlyphTop; }
    void SetGlyphTop(int value);
    // Copies the pen without a notification.
    const platform::Pen &HeaderPen() const { return FHeaderPen; }
    void SetHeaderPen(const platform::Pen &value) { FHeaderPen = value; }
    int Height() const { return FHeight; }
    void SetHeight(int value);
    bool KeySupport() const { return FKeySupport; }
    void SetKeySupport(bool value);
    TnbGlyphLayout Layout() const { return FLayout; }
    void SetLayout(TnbGlyphLayout value);

    // Indexed access: 1 LargeWidth, 2 LargeHeight, 3 SmallHeight; any other index reads
    // -1 and writing it is ignored.
    int Size(int index) const;
    void SetSize(int index, int value);
    int LargeWidth() const { return Size(1); }
    void SetLargeWidth(int value) { SetSize(1, value); }
    int LargeHeight() const { return Size(2); }
    void SetLargeHeight(int value) { SetSize(2, value); }
    int SmallHeight() const { return Size(3); }
    void SetSmallHeight(int value) { SetSize(3, value); }

    int PicLabDistance() const { return FPicLabDistance; }
    void SetPicLabDistance(int value);
    TnbStatusButton *StatusButton() const { return FStatusButton.get(); }
    void SetStatusButton(const TnbStatusButton &value) { FStatusButton->Assign(value); }
    TnbXPColors *XPColors() const { return FXPColors.get(); }
    void SetXPColors(const TnbXPColors &value) { FXPColors->Assign(value); }

    const TNotifyEvent &OnChangeParameter() const { return FOnChangeParameter; }
    // Also becomes the change event of the owned backgrounds, status button and colours.
    void SetOnChangeParameter(const TNotifyEvent &value);

private:
    void Changed();
    template <typename T> void Set(T &field, const T &value);

    platform::Alignment FAlignment = platform::taCenter;
    std::unique_ptr<TnbButtonBackground> FButtonUp;
    std::unique_ptr<TnbButtonBackground> FButtonDown;
    std::unique_ptr<TnbButtonBackground> FButtonFocused;
    std::unique_ptr<TnbButtonBackground> FButtonDisabled;
    platform::Font FButtonFont;
    platform::Font FButtonHighlightFont;
    TnbButtonStyle FButtonStyle = bsLarge;
    TnbButtonView FButtonView = bvNormal;
    TnbCaptionStyle FCaptionStyle = csButtonStyle;
    platform::Pen FCaptionPen;
    TColor FColor = platform::clBtnFace;
    int FDistance = 2;
    std::uint16_t FExplorerAddOn = 12;
    platform::Font FFont;
    platform::Font FHighlightFont;
    int FGlyphTop = 10;
    platform::Pen FHeaderPen;
    int FHeight = 22;
    bool FKeySupport = true;
    TnbGlyphLayout FLayout = glGlyphLeft;
    int FLargeWidth = 60;
    int FLargeHeight = 60;
    int FPicLabDistance = 8;
    std::unique_ptr<TnbStatusButton> FStatusButton;
    int FSmallHeight = 20;
    std::unique_ptr<TnbXPColors> FXPColors;
    TNotifyEvent FOnChangeParameter;
};
