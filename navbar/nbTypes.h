#pragma once

// Enumerations, option sets, event types and the error class of the side bar.

#include "platform/ui/Colors.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Persistent.h"

#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>

namespace platform {
class Canvas;
class ImageList;
class PopupMenu;
class Action;
} // namespace platform

class TnbSideBar;
class TnbHeaders;
class TnbHeader;
class TnbButtons;
class TnbButton;

using TImageIndex = int;
using THelpContext = int;

// The rectangle of an item that is laid out but not shown: all coordinates -1000.
inline constexpr platform::Rect HiddenRect{-1000, -1000, -1000, -1000};
// A position that means "not drawn".
inline constexpr int NotDrawnPosition = -10000;

// Enumerations; the first member has ordinal 0 and the order is the stored order.
enum TnbHeaderScrollType { stNone, stLinear, stAccelerated };
enum TnbBitmapCopy { bcMergeCopy, bcMergePaint, bcSrcCopy, bcSrcErase, bcSrcPaint };
enum TnbBackgroundStyle { btBitmap, btGradient, btSolid, btTileBitmap, btTransparent };
enum TnbGradientDirection { gdNormal, gdInverse };
enum TnbGradientStyle {
    gtCornerTopLeft,
    gtCornerTopRight,
    gtCornerBottomRight,
    gtCornerBottomLeft,
    gtDiagonalRising,
    gtDiagonalFalling,
    gtEllipse,
    gtPyramid,
    gtVerticalToCenter,
    gtHorizontalToCenter,
    gtLeftToRight,
    gtTopToBottom
};
enum TnbViewStyle { vsExplorerBar, vsOutlook };
enum TnbButtonStyle { bsLarge, bsSmall };
enum TnbButtonView { bvBig, bvExplorer, bvNormal, bvToolBox, bvWindows2000, bvWindowsXP };
enum TnbButtonKind { bkButton, bkLabel, bkCheckBox, bkPushButton, bkRadioButton };
enum TnbGlyphLayout { glGlyphLeft, glGlyphRight, glGlyphCenter };
enum TnbCaptionStyle { csButtonStyle, csCustomDraw };
enum TnbExplorerMethod { emStandard, emCloseUp };
enum TnbHeaderState { hsOpened, hsClosed };
enum TnbScrollView { ssNormal, ssExpress, ssToolBox };
enum TnbPreSet {
    psOutlook,
    psFlatOutlook,
    psOutlookExpress,
    psOffice,
    psOfficeXP,
    psOffice2000,
    psToolBox,
    psFlatToolBox,
    psExplorerBar,
    psExplorerBarXP,
    psExplorerBar2000
};
enum TnbGlyphPosition { gpTopLeft, gpTopRight, gpBottomLeft, gpBottomRight, gpCenter };
// The drawing state of a caption or a button.
enum TnbButtonState { bstNormal, bstDown, bstHot, bstDisabled };

enum TnbBarOption {
    boAcceptOLEDrop,
    boActivateToolBoxScroller,
    boAlwaysFlatScroller,
    boAutoScroll,
    boAutoChangeHeader,
    boChangeToDisabled,
    boExplorerBorder,
    boFocusOnMouseEnter,
    boHeaderFrame,
    boInternalDrop,
    hoShowFocusRect
};

enum TnbHeaderOption {
    hoActivateOnSelect,
    hoAlwaysFlat,
    hoButtonDown,
    hoCustomSettings,
    hoDrawBorder,
    hoDrawCaptionBorder,
    hoDrawDisabledButton,
    hoDrawDownButton,
    hoDrawFocusedButton,
    hoFocusDisabled,
    hoNoCaption,
    hoReadOnlyCaption,
    hoRoundedHeader,
    hoShowSelectedImage,
    hoShowStatusButton,
    hoUseHighlightFont
};

enum TnbButtonOption {
    boAutoWidthLabel,
    boCustomFont,
    boCustomStyle,
    boCustomView,
    boUnderlineFont,
    boReadOnlyCaption
};

// A set of enumeration members; member n is bit n, as in the stored form.
template <typename E> class TnbSet
{
public:
    constexpr TnbSet() = default;
    constexpr TnbSet(std::initializer_list<E> members)
    {
        for (E e : members)
            m_bits |= Bit(e);
    }
    static constexpr TnbSet FromBits(std::uint32_t bits)
    {
        TnbSet s;
        s.m_bits = bits;
        return s;
    }

    constexpr std::uint32_t Bits() const { return m_bits; }
    constexpr bool Contains(E e) const { return (m_bits & Bit(e)) != 0; }
    constexpr bool IsEmpty() const { return m_bits == 0; }
    constexpr TnbSet &Include(E e)
    {
        m_bits |= Bit(e);
        return *this;
    }
    constexpr TnbSet &Exclude(E e)
    {
        m_bits &= ~Bit(e);
        return *this;
    }

    friend constexpr TnbSet operator+(TnbSet a, TnbSet b) { return FromBits(a.m_bits | b.m_bits); }
    friend constexpr TnbSet operator-(TnbSet a, TnbSet b) { return FromBits(a.m_bits & ~b.m_bits); }
    friend constexpr TnbSet operator*(TnbSet a, TnbSet b) { return FromBits(a.m_bits & b.m_bits); }
    friend constexpr bool operator==(TnbSet a, TnbSet b) = default;

private:
    static constexpr std::uint32_t Bit(E e) { return std::uint32_t(1) << unsigned(e); }
    std::uint32_t m_bits = 0;
};

using TnbBarOptions = TnbSet<TnbBarOption>;
using TnbHeaderOptions = TnbSet<TnbHeaderOption>;
using TnbButtonOptions = TnbSet<TnbButtonOption>;

// An error of the bar's model (a rejected name); the message is shown to the user as is.
class TnbError : public std::runtime_error
{
public:
    explicit TnbError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString Message() const { return m_message; }

private:
    QString m_message;
};

// Events. Each may be empty and is tested before every call; parameters passed by
// non-const reference are read back after the call.
using TNotifyEvent = platform::NotifyEvent;
using TnbEventHeaderChange = std::function<void(platform::Persistent *Sender, int OldIndex, int NewIndex)>;
using TnbEventCanChangeHeader =
    std::function<void(platform::Persistent *Sender, TnbHeader *NewHeader, bool &CanChange)>;
using TnbEventChangeViewStyle = std::function<void(platform::Persistent *Sender, TnbViewStyle OldStyle,
                                                   TnbViewStyle NewStyle, bool &CanChange)>;
using TnbEventAfterChangeStyle = std::function<void(platform::Persistent *Sender, TnbPreSet NewStyle)>;
using TnbEventDrawHeaderButtons = std::function<void(platform::Persistent *Sender, platform::Canvas &ACanvas,
                                                     const platform::Rect &ARect, int ActiveIndex)>;
// AState: 0 idle, 1 pressed, 2 hot.
using TnbEventDrawButton = std::function<void(platform::Persistent *Sender, platform::Canvas &ACanvas,
                                              const platform::Rect &ARect, int AState)>;
using TnbEventDrawHeader =
    std::function<void(platform::Persistent *Sender, platform::Canvas &ACanvas, const platform::Rect &ARect)>;
using TnbEventDrawStatusButton = std::function<void(platform::Persistent *Sender, platform::Canvas &ACanvas,
                                                    const platform::Rect &ARect, TnbHeaderState AState)>;
using TnbEventCheckScroll = std::function<void(platform::Persistent *Sender, bool &ScrollUpNeed,
                                               bool &ScrollDownNeed, bool &Automatic)>;
using TContextPopupEvent = std::function<void(platform::Persistent *Sender, QPoint MousePos, bool &Handled)>;
using TnbEventBeforeDrawCommandButton =
    std::function<void(platform::Persistent *Sender, platform::Canvas &ACanvas, platform::Rect &AButtonRect,
                       platform::Rect &AFocusRect, platform::Rect &AImageRect, platform::Rect &ALabelRect)>;
using TnbEventDrawCommandButton = std::function<void(
    platform::Persistent *Sender, platform::Canvas &ACanvas, TnbButtonView AView, TnbButtonState AState,
    const platform::Rect &AImageRect, const platform::Rect &ALabelRect)>;
using TnbEventAfterDrawCommandButton =
    std::function<void(platform::Persistent *Sender, platform::Canvas &ACanvas,
                       const platform::Rect &AImageRect, const platform::Rect &ALabelRect)>;
