// The stored properties of the bar's persistent objects, headers and buttons, in the
// order they are written.

#include "navbar/nbStreamObjects.h"

#include "navbar/nbInplaceEditor.h"
#include "navbar/nbSideBar.h"
#include "platform/ui/Action.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/PopupMenu.h"

#include <array>

using namespace platform;

namespace nbstream {

namespace {

constexpr const char *BitmapCopyNames[] = {"bcMergeCopy", "bcMergePaint", "bcSrcCopy", "bcSrcErase",
                                           "bcSrcPaint"};
constexpr const char *BackgroundStyleNames[] = {"btBitmap", "btGradient", "btSolid", "btTileBitmap",
                                                "btTransparent"};
constexpr const char *GradientDirectionNames[] = {"gdNormal", "gdInverse"};
constexpr const char *GradientStyleNames[] = {
    "gtCornerTopLeft",    "gtCornerTopRight",     "gtCornerBottomRight", "gtCornerBottomLeft",
    "gtDiagonalRising",   "gtDiagonalFalling",    "gtEllipse",           "gtPyramid",
    "gtVerticalToCenter", "gtHorizontalToCenter", "gtLeftToRight",       "gtTopToBottom"};
constexpr const char *ButtonStyleNames[] = {"bsLarge", "bsSmall"};
constexpr const char *ButtonViewNames[] = {"bvBig",     "bvExplorer",    "bvNormal",
                                           "bvToolBox", "bvWindows2000", "bvWindowsXP"};
constexpr const char *ButtonKindNames[] = {"bkButton", "bkLabel", "bkCheckBox", "bkPushButton",
                                           "bkRadioButton"};
constexpr const char *GlyphLayoutNames[] = {"glGlyphLeft", "glGlyphRight", "glGlyphCenter"};
constexpr const char *CaptionStyleNames[] = {"csButtonStyle", "csCustomDraw"};
constexpr const char *HeaderStateNames[] = {"hsOpened", "hsClosed"};
constexpr const char *GlyphPositionNames[] = {"gpTopLeft", "gpTopRight", "gpBottomLeft", "gpBottomRight",
                                              "gpCenter"};
constexpr const char *AlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
constexpr const char *BiDiModeNames[] = {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                                         "bdRightToLeftReadingOnly"};
constexpr const char *CheckBoxStateNames[] = {"cbUnchecked", "cbChecked", "cbGrayed"};
constexpr const char *HeaderOptionNames[] = {
    "hoActivateOnSelect",  "hoAlwaysFlat",        "hoButtonDown",         "hoCustomSettings",
    "hoDrawBorder",        "hoDrawCaptionBorder", "hoDrawDisabledButton", "hoDrawDownButton",
    "hoDrawFocusedButton", "hoFocusDisabled",     "hoNoCaption",          "hoReadOnlyCaption",
    "hoRoundedHeader",     "hoShowSelectedImage", "hoShowStatusButton",   "hoUseHighlightFont"};
constexpr const char *ButtonOptionNames[] = {"boAutoWidthLabel", "boCustomFont",    "boCustomStyle",
                                             "boCustomView",     "boUnderlineFont", "boReadOnlyCaption"};

struct NamedCursor
{
    int value;
    const char *name;
};

// The framework's cursor identifiers; the first name of a value is the one written.
constexpr std::array<NamedCursor, 23> CursorNames{{
    {0, "crDefault"},   {-1, "crNone"},       {-2, "crArrow"},    {-3, "crCross"},    {-4, "crIBeam"},
    {-22, "crSizeAll"}, {-6, "crSizeNESW"},   {-7, "crSizeNS"},   {-8, "crSizeNWSE"}, {-9, "crSizeWE"},
    {-10, "crUpArrow"}, {-11, "crHourGlass"}, {-12, "crDrag"},    {-13, "crNoDrop"},  {-14, "crHSplit"},
    {-15, "crVSplit"},  {-16, "crMultiDrag"}, {-17, "crSQLWait"}, {-18, "crNo"},      {-19, "crAppStart"},
    {-20, "crHelp"},    {-21, "crHandPoint"}, {-22, "crSize"},
}};

// A cursor: its identifier when it has one, else the number. A stored default leaves it
// out while it holds that value.
template <typename T> Property<T> CursorProperty(std::optional<int> storedDefault = {})
{
    Property<T> p;
    p.name = "Cursor";
    p.write = [=](const T &b, const QByteArray &prefix, PropertyList &out) {
        if (storedDefault && b.Cursor() == *storedDefault)
            return;
        for (const NamedCursor &c : CursorNames)
            if (c.value == b.Cursor()) {
                Put(out, prefix + "Cursor", FormValue::Ident(c.name));
                return;
            }
        Put(out, prefix + "Cursor", FormValue::Integer(b.Cursor()));
    };
    p.read = [](T &b, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                const ReadContext &) {
        LeafOnly(rest, path);
        if (value.Type() == ValueType::Ident) {
            for (const NamedCursor &c : CursorNames)
                if (value.Bytes().compare(c.name, Qt::CaseInsensitive) == 0) {
                    b.SetCursor(c.value);
                    return;
                }
            InvalidValue(path);
        }
        b.SetCursor(int(IntegerIn(value, -32768, 32767, path)));
    };
    if (storedDefault)
        p.reset = [=](T &b) { b.SetCursor(*storedDefault); };
    return p;
}

// A button's reading order is stored only while it does not follow its header.
Property<TnbButton> ButtonBiDiModeProperty()
{
    Property<TnbButton> p =
        Enum<TnbButton>("BiDiMode", &TnbButton::BiDiMode, &TnbButton::SetBiDiMode, BiDiModeNames);
    const auto write = p.write;
    p.write = [write](const TnbButton &b, const QByteArray &prefix, PropertyList &out) {
        if (!b.ParentBiDiMode())
            write(b, prefix, out);
    };
    return p;
}

// An event that the stream may name but that is written elsewhere (the close strip's
// OnClose is written as the bar's).
template <typename T> Property<T> ReadOnlyAlias(Property<T> p)
{
    p.write = [](const T &, const QByteArray &, PropertyList &) {};
    return p;
}

} // namespace

// ---- Appearance objects ----------------------------------------------------------------

const Schema<TnbGradient> &GradientSchema()
{
    using T = TnbGradient;
    static const Schema<T> schema{
        Color<T>("BeginColor", &T::BeginColor, &T::SetBeginColor, T::StoredBeginColor),
        Enum<T>("DrawStyle", &T::DrawStyle, &T::SetDrawStyle, GradientStyleNames),
        Enum<T>("Direction", &T::Direction, &T::SetDirection, GradientDirectionNames),
        Color<T>("EndColor", &T::EndColor, &T::SetEndColor),
    };
    return schema;
}

const Schema<TnbCustomBackground> &BackgroundSchema()
{
    using T = TnbCustomBackground;
    static const Schema<T> schema{
        Integer<T>("AlphaBlend", &T::AlphaBlend, &T::SetAlphaBlend),
        Picture<T>("Bitmap", &T::Bitmap, &T::SetBitmap),
        Enum<T>("BitmapCopy", &T::BitmapCopy, &T::SetBitmapCopy, BitmapCopyNames),
        Color<T>("Color", &T::Color, &T::SetColor),
        Object<T, TnbGradient>("Gradient", &T::Gradient, GradientSchema()),
        Boolean<T>("Grayscale", &T::Grayscale, &T::SetGrayscale),
        Enum<T>("Style", &T::Style, &T::SetStyle, BackgroundStyleNames),
    };
    return schema;
}

const Schema<TnbBorder> &BorderSchema()
{
    using T = TnbBorder;
    const qint64 none = T::StoredDefault;
    static const Schema<T> schema{
        Integer<T>("Top", &T::Top, &T::SetTop, none),
        Integer<T>("Bottom", &T::Bottom, &T::SetBottom, none),
        Integer<T>("Left", &T::Left, &T::SetLeft, none),
        Integer<T>("Right", &T::Right, &T::SetRight, none),
        Integer<T>("Separator", &T::Separator, &T::SetSeparator, none),
    };
    return schema;
}

const Schema<TnbXPColors> &XPColorsSchema()
{
    using T = TnbXPColors;
    static const Schema<T> schema{
        Color<T>("BorderColor", &T::BorderColor, &T::SetBorderColor),
        Color<T>("Background", &T::Background, &T::SetBackground),
        Color<T>("PressedBackground", &T::PressedBackground, &T::SetPressedBackground),
        Boolean<T>("UseShadow", &T::UseShadow, &T::SetUseShadow),
        Color<T>("ShadowColor", &T::ShadowColor, &T::SetShadowColor),
    };
    return schema;
}

const Schema<TnbStatusButton> &StatusButtonSchema()
{
    using T = TnbStatusButton;
    static const Schema<T> schema{
        Color<T>("ArrowColor", &T::ArrowColor, &T::SetArrowColor),
        Color<T>("Background", &T::Background, &T::SetBackground, T::StoredBackground),
        Color<T>("BorderColor", &T::BorderColor, &T::SetBorderColor),
        Boolean<T>("Transparent", &T::Transparent, &T::SetTransparent),
    };
    return schema;
}

const Schema<TnbGlyph> &GlyphSchema()
{
    using T = TnbGlyph;
    static const Schema<T> schema{
        Enum<T>("Position", &T::Position, &T::SetPosition, GlyphPositionNames),
        Picture<T>("Bitmap", &T::Bitmap, &T::SetBitmap),
        Boolean<T>("Transparent", &T::Transparent, &T::SetTransparent),
        Boolean<T>("Visible", &T::Visible, &T::SetVisible),
    };
    return schema;
}

const Schema<TnbButtonImages> &ButtonImagesSchema()
{
    using T = TnbButtonImages;
    static const Schema<T> schema{
        Reference<T, ImageList>("Normal", &T::NormalList, &T::SetNormal),
        Reference<T, ImageList>("Hot", &T::HotList, &T::SetHot),
        Reference<T, ImageList>("Small", &T::SmallList, &T::SetSmall),
        Reference<T, ImageList>("HotSmall", &T::HotSmallList, &T::SetHotSmall),
        Reference<T, ImageList>("Disabled", &T::DisabledList, &T::SetDisabled),
        Reference<T, ImageList>("DisabledSmall", &T::DisabledSmallList, &T::SetDisabledSmall),
    };
    return schema;
}

const Schema<TnbHeaderImages> &HeaderImagesSchema()
{
    using T = TnbHeaderImages;
    static const Schema<T> schema{
        Reference<T, ImageList>("Normal", &T::NormalList, &T::SetNormal),
        Reference<T, ImageList>("Hot", &T::HotList, &T::SetHot),
    };
    return schema;
}

const Schema<TnbBarSettings> &SettingsSchema()
{
    using T = TnbBarSettings;
    using B = TnbCustomBackground;
    static const Schema<T> schema{
        Enum<T>("Alignment", &T::Alignment, &T::SetAlignment, AlignmentNames),
        Object<T, B>("ButtonUp", &T::ButtonUp, BackgroundSchema()),
        Object<T, B>("ButtonDown", &T::ButtonDown, BackgroundSchema()),
        Object<T, B>("ButtonFocused", &T::ButtonFocused, BackgroundSchema()),
        Object<T, B>("ButtonDisabled", &T::ButtonDisabled, BackgroundSchema()),
        FontValue<T>("ButtonFont", &T::ButtonFont, &T::SetButtonFont),
        FontValue<T>("ButtonHighlightFont", &T::ButtonHighlightFont, &T::SetButtonHighlightFont),
        Enum<T>("ButtonStyle", &T::ButtonStyle, &T::SetButtonStyle, ButtonStyleNames),
        Enum<T>("ButtonView", &T::ButtonView, &T::SetButtonView, ButtonViewNames),
        Enum<T>("CaptionStyle", &T::CaptionStyle, &T::SetCaptionStyle, CaptionStyleNames),
        PenValue<T>("CaptionPen", &T::CaptionPen, &T::SetCaptionPen),
        Color<T>("Color", &T::Color, &T::SetColor),
        Extent(Integer<T>("Distance", &T::Distance, &T::SetDistance)),
        Integer<T>("ExplorerAddOn", &T::ExplorerAddOn, &T::SetExplorerAddOn),
        FontValue<T>("Font", &T::Font, &T::SetFont),
        FontValue<T>("HighlightFont", &T::HighlightFont, &T::SetHighlightFont),
        Extent(Integer<T>("GlyphTop", &T::GlyphTop, &T::SetGlyphTop)),
        PenValue<T>("HeaderPen", &T::HeaderPen, &T::SetHeaderPen),
        Extent(Integer<T>("Height", &T::Height, &T::SetHeight)),
        Boolean<T>("KeySupport", &T::KeySupport, &T::SetKeySupport),
        Enum<T>("Layout", &T::Layout, &T::SetLayout, GlyphLayoutNames),
        Extent(Integer<T>("LargeWidth", &T::LargeWidth, &T::SetLargeWidth)),
        Extent(Integer<T>("LargeHeight", &T::LargeHeight, &T::SetLargeHeight)),
        Extent(Integer<T>("PicLabDistance", &T::PicLabDistance, &T::SetPicLabDistance)),
        Object<T, TnbStatusButton>("StatusButton", &T::StatusButton, StatusButtonSchema()),
        Extent(Integer<T>("SmallHeight", &T::SmallHeight, &T::SetSmallHeight)),
        Object<T, TnbXPColors>("XPColors", &T::XPColors, XPColorsSchema()),
    };
    return schema;
}

const Schema<TnbInplaceEditor> &InplaceEditorSchema()
{
    using T = TnbInplaceEditor;
    static const Schema<T> schema{
        Enum<T>("Alignment", &T::Alignment, &T::SetAlignment, AlignmentNames),
        Color<T>("BorderColor", &T::BorderColor, &T::SetBorderColor),
        Boolean<T>("Flat", &T::Flat, &T::SetFlat),
        Boolean<T>("ShowBorder", &T::ShowBorder, &T::SetShowBorder),
        FontValue<T>("Font", &T::Font, &T::SetFont),
        Boolean<T>("WordWrap", &T::WordWrap, &T::SetWordWrap),
        Reference<T, platform::PopupMenu>("PopupMenu", &T::PopupMenu, &T::SetPopupMenu),
        EventProperty<T, TContextPopupEvent>("OnContextPopup", &T::OnContextPopup, &T::SetOnContextPopup),
        EventMember<T>("OnChange", &T::OnChange),
    };
    return schema;
}

Property<TnbSideBar> SideBarCursorProperty()
{
    // A control's cursor is left out while it is the default one.
    return CursorProperty<TnbSideBar>(crDefault);
}

const Schema<TnbCloseButton> &CloseButtonSchema()
{
    using T = TnbCloseButton;
    static const Schema<T> schema{
        Text<T>("Caption", &T::Caption, &T::SetCaption),
        FontValue<T>("Font", &T::Font, &T::SetFont),
        Extent(Integer<T>("Height", &T::Height, &T::SetHeight)),
        Integer<T>("ImageIndex", &T::ImageIndex, &T::SetImageIndex),
        Integer<T>("Margin", &T::Margin, &T::SetMargin),
        Boolean<T>("Transparent", &T::Transparent, &T::SetTransparent),
        Boolean<T>("Visible", &T::Visible, &T::SetVisible, T::StoredVisible),
        ReadOnlyAlias(EventMember<T>("OnClose", &T::OnClose)),
    };
    return schema;
}

// ---- Headers and buttons ---------------------------------------------------------------

const Schema<TnbButton> &ButtonSchema()
{
    using T = TnbButton;
    static const Schema<T> schema{
        Reference<T, platform::Action>("Action", &T::Action, &T::SetAction),
        Boolean<T>("AutoSize", &T::AutoSize, &T::SetAutoSize),
        Enum<T>("Alignment", &T::Alignment, &T::SetAlignment, AlignmentNames),
        Boolean<T>("AllowGrayed", &T::AllowGrayed, &T::SetAllowGrayed),
        Integer<T>("ButtonIndex", &T::ButtonIndex, &T::SetButtonIndex),
        Enum<T>("ButtonKind", &T::ButtonKind, &T::SetButtonKind, ButtonKindNames),
        Enum<T>("ButtonStyle", &T::ButtonStyle, &T::SetButtonStyle, ButtonStyleNames),
        Enum<T>("ButtonView", &T::ButtonView, &T::SetButtonView, ButtonViewNames),
        ButtonBiDiModeProperty(),
        Boolean<T>("Checked", &T::Checked, &T::SetChecked),
        Text<T>("Caption", &T::Caption, &T::SetCaption),
        Color<T>("Color", &T::Color, &T::SetColor),
        CursorProperty<T>(),
        Enum<T>("CheckState", &T::CheckState, &T::SetCheckState, CheckBoxStateNames),
        Boolean<T>("Enabled", &T::Enabled, &T::SetEnabled),
        FontValue<T>("Font", &T::Font, &T::SetFont),
        FontValue<T>("HighlightFont", &T::HighlightFont, &T::SetHighlightFont),
        Integer<T>("HelpContext", &T::HelpContext, &T::SetHelpContext),
        Integer<T>("Height", &T::Height, &T::SetHeight),
        Text<T>("Hint", &T::Hint, &T::SetHint),
        Integer<T>("ImageIndex", &T::ImageIndex, &T::SetImageIndex),
        Extent(Integer<T>("Margin", &T::Margin, &T::SetMargin)),
        Text<T>("Name", &T::Name, &T::SetName, false),
        Reference<T, PopupMenu>("PopupMenu", &T::PopupMenu, &T::SetPopupMenu),
        Boolean<T>("ShowAccelChar", &T::ShowAccelChar, &T::SetShowAccelChar),
        Boolean<T>("ParentBiDiMode", &T::ParentBiDiMode, &T::SetParentBiDiMode, T::StoredParentBiDiMode),
        Integer<T>("Tag", &T::Tag, &T::SetTag),
        Boolean<T>("Transparent", &T::Transparent, &T::SetTransparent),
        Set<T>("Options", &T::Options, &T::SetOptions, ButtonOptionNames),
        Text<T>("UserString", &T::UserString, &T::SetUserString),
        Boolean<T>("Visible", &T::Visible, &T::SetVisible),
        Integer<T>("Width", &T::Width, &T::SetWidth, T::StoredWidth),
        Boolean<T>("WordWrap", &T::WordWrap, &T::SetWordWrap),
        EventMember<T>("OnClick", &T::OnClick),
        EventMember<T>("OnBeforeDrawButton", &T::OnBeforeDrawButton),
        EventMember<T>("OnDrawButton", &T::OnDrawButton),
        EventMember<T>("OnAfterDrawButton", &T::OnAfterDrawButton),
    };
    return schema;
}

namespace {

// A header's selection. Selecting clears the selection of every other header (unless
// the bar keeps one per header), so reading "none" for a header that has none must not
// touch the others: the headers read before it would lose their selection.
Property<TnbHeader> SelectedIndexProperty()
{
    Property<TnbHeader> p =
        Integer<TnbHeader>("SelectedIndex", &TnbHeader::SelectedIndex, &TnbHeader::SetSelectedIndex);
    const auto read = p.read;
    p.read = [read](TnbHeader &h, const QByteArray &rest, const FormValue &value, const QByteArray &path,
                    const ReadContext &context) {
        if (rest.isEmpty() && value.IsInteger() && value.ToInteger() == -1 && h.SelectedIndex() == -1)
            return;
        read(h, rest, value, path, context);
    };
    return p;
}

} // namespace

const Schema<TnbHeader> &HeaderSchema()
{
    using T = TnbHeader;
    static const Schema<T> schema{
        Boolean<T>("AllowSelected", &T::AllowSelected, &T::SetAllowSelected),
        Object<T, TnbCustomBackground>("Background", &T::Background, BackgroundSchema()),
        Object<T, TnbGlyph>("Glyph", &T::Glyph, GlyphSchema()),
        Object<T, TnbButtonImages>("Images", &T::Images, ButtonImagesSchema()),
        Collection<T, TnbButton>("Buttons", &T::Buttons, ButtonSchema),
        Enum<T>("BiDiMode", &T::BiDiMode, &T::SetBiDiMode, BiDiModeNames),
        Text<T>("Caption", &T::Caption, &T::SetCaption),
        Boolean<T>("Enabled", &T::Enabled, &T::SetEnabled),
        Integer<T>("FirstButtonTop", &T::FirstButtonTop, &T::SetFirstButtonTop),
        // The stored default -1 is never a header's position, so the index is always
        // written; its absence must not move the header.
        Integer<T>("HeaderIndex", &T::HeaderIndex, &T::SetHeaderIndex, T::StoredHeaderIndex, false),
        Enum<T>("HeaderState", &T::HeaderState, &T::SetHeaderState, HeaderStateNames),
        Object<T, TnbBarSettings>("Settings", &T::Settings, SettingsSchema()),
        Integer<T>("ImageIndex", &T::ImageIndex, &T::SetImageIndex),
        Integer<T>("Margin", &T::Margin, &T::SetMargin),
        Text<T>("Name", &T::Name, &T::SetName, false),
        Set<T>("Options", &T::Options, &T::SetOptions, HeaderOptionNames),
        Boolean<T>("Opened", &T::Opened, &T::SetOpened),
        Reference<T, PopupMenu>("PopupMenu", &T::PopupMenu, &T::SetPopupMenu),
        Integer<T>("Tag", &T::Tag, &T::SetTag),
        Boolean<T>("Transparent", &T::Transparent, &T::SetTransparent),
        SelectedIndexProperty(),
        Integer<T>("Spacing", &T::Spacing, &T::SetSpacing),
        Boolean<T>("Visible", &T::Visible, &T::SetVisible),
        EventMember<T>("OnChange", &T::OnChange),
        EventMember<T>("OnCheckScroll", &T::OnCheckScroll),
        EventMember<T>("OnDrawHeaderButton", &T::OnDrawHeaderButton),
        EventMember<T>("OnAfterDrawHeaderButton", &T::OnAfterDrawHeaderButton),
        EventMember<T>("OnDrawHeaderBody", &T::OnDrawHeaderBody),
        EventMember<T>("OnAfterDrawHeaderBody", &T::OnAfterDrawHeaderBody),
        EventMember<T>("OnDrawStatusButton", &T::OnDrawStatusButton),
    };
    return schema;
}

} // namespace nbstream
