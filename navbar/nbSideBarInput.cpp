// Input of the bar: hover tracking, pressing and releasing, clicks, the header switch
// with its sliding animation, scrolling, keys, accelerators, the wheel, right-click menus,
// hints, focus and the window timers. Hit tests use the rectangles of the last paint.

#include "navbar/nbSideBar.h"

#include "navbar/nbAccessible.h"
#include "navbar/nbInplaceEditor.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/PopupMenu.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>

using namespace platform;

namespace {

// The accelerator character of a caption ("&x"; "&&" is a literal "&"), or a null char.
QChar Accelerator(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] == u'&') {
            ++i;
            continue;
        }
        return caption[i + 1];
    }
    return {};
}

bool IsAccelerator(QChar ch, const QString &caption)
{
    const QChar accel = Accelerator(caption);
    return !accel.isNull() && accel.toUpper() == ch.toUpper();
}

// The cursor size the hint is moved by, as the system reports it.
constexpr int CursorWidth = 32;
constexpr int CursorHeight = 32;

} // namespace

void TnbSideBar::InvalidateRect(const Rect &r)
{
    if (r.IsEmpty() || r == HiddenRect)
        return;
    update(r.ToQRect());
}

// ---- Header switch -------------------------------------------------------------------

void TnbSideBar::SetActiveHeader(TnbHeader *value)
{
    if (value && (value->Collection() != FHeaders.get() || !value->Visible()))
        return;
    BeginUpdate();
    bool canChange = true;
    DoCanChange(value, canChange);
    if (value && canChange)
        canChange = (value->Enabled() && isEnabled()) || FOptions.Contains(boChangeToDisabled);
    if (canChange) {
        const int oldIndex = ActiveIndex();
        const int newIndex = value ? FHeaders->IndexOf(value) : -1;
        // The owner hears of the switch before it becomes visible.
        DoChange(oldIndex, newIndex);
        if (!ExplorerLayout()) {
            if (value && FActiveHeader && value != FActiveHeader && FHeaderScrollType != stNone &&
                FHeaderScrollValue != 0)
                AnimateSwitch(value);
        } else if (value) {
            value->SetOpened(!value->Opened());
        }
        if (value && value->OnChange && !FDestroying)
            value->OnChange(value);
        FActiveHeader = value;
        if (value)
            value->SetItemState(bstHot);
    }
    EndUpdate();
    if (canChange) {
        FPressedHeader = FPressedButton = -1;
        nbNotifyAccessible(this, value, nullptr, QAccessible::Selection);
    }
}

void TnbSideBar::AnimateSwitch(TnbHeader *target)
{
    TnbHeader *old = FActiveHeader;
    const int oldIndex = FHeaders->IndexOf(old);
    const int newIndex = FHeaders->IndexOf(target);
    const int step0 = FHeaderScrollValue;

    // Paint inside the update lock; the animation owns the rectangles meanwhile.
    FChangePending = false;
    FAnimating = true;
    FAnimationTarget = newIndex;
    AnimationFrame();
    target->SetItemState(bstHot);
    AnimationFrame();

    Rect &oldBody = old->FBodyRect;
    const int steps = oldBody.Height() / step0 + 1;
    const bool toolBox = FViewStyle == vsOutlook && FScrollView == ssToolBox;
    int multiplier = 1;

    if (newIndex < oldIndex) {
        target->FBodyRect =
            Rect(oldBody.Left, target->CaptionRect.Bottom, oldBody.Right, target->CaptionRect.Bottom);
        for (int step = 0; step < steps; ++step) {
            const int d = multiplier * step0;
            for (int i = newIndex + 1; i < oldIndex; ++i)
                if (Header(i)->Visible())
                    Header(i)->CaptionRect = Header(i)->CaptionRect.Offset(0, d);
            old->CaptionRect = old->CaptionRect.Offset(0, d);
            oldBody.Top += d;
            target->FBodyRect.Bottom += d;
            if (toolBox) {
                FArrows[saButtonUp].Rect = FArrows[saButtonUp].Rect.Offset(0, d);
                FArrows[saButtonDown].Rect = Rect();
            } else {
                FArrows[saButtonUp].Rect = FArrows[saButtonDown].Rect = Rect();
            }
            if (oldBody.Bottom < old->CaptionRect.Bottom)
                break;
            AnimationFrame();
            if (step0 < 10)
                QCoreApplication::processEvents();
            if (FHeaderScrollType == stAccelerated)
                ++multiplier;
        }
    } else {
        target->FBodyRect =
            Rect(oldBody.Left, target->CaptionRect.Bottom, oldBody.Right, target->CaptionRect.Bottom + 1);
        TnbHeader *first = target;
        for (int i = oldIndex + 1; i < newIndex; ++i)
            if (Header(i)->Visible()) {
                first = Header(i);
                break;
            }
        for (int step = 0; step < steps; ++step) {
            const int d = multiplier * step0;
            for (int i = oldIndex + 1; i <= newIndex; ++i)
                if (Header(i)->Visible())
                    Header(i)->CaptionRect = Header(i)->CaptionRect.Offset(0, -d);
            target->FBodyRect.Top -= d;
            oldBody.Bottom -= d;
            if (toolBox) {
                FArrows[saButtonDown].Rect = FArrows[saButtonDown].Rect.Offset(0, -d);
                FArrows[saButtonUp].Rect = Rect();
            } else {
                FArrows[saButtonUp].Rect = FArrows[saButtonDown].Rect = Rect();
            }
            if (first->CaptionRect.Top < old->CaptionRect.Bottom + 1)
                break;
            AnimationFrame();
            if (step0 < 10)
                QCoreApplication::processEvents();
            if (FHeaderScrollType == stAccelerated)
                ++multiplier;
        }
    }

    FAnimationTarget = -1;
    FAnimating = false;
    FChangePending = true;
}

void TnbSideBar::AnimationFrame()
{
    if (isVisible())
        repaint();
}

// ---- Mouse ---------------------------------------------------------------------------

void TnbSideBar::ResetHover()
{
    if (FHotHeader)
        FHotHeader->SetItemState(bstNormal);
    if (FBodyHeader)
        FBodyHeader->SetItemState(bstNormal);
    if (FHotButton)
        FHotButton->SetItemState(bstNormal);
    FHotHeader = nullptr;
    FBodyHeader = nullptr;
    FHotButton = nullptr;
    FCloseButton->State = 0;
}

void TnbSideBar::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    ResetHover();
    if (!CaptionEditing() && FOptions.Contains(boFocusOnMouseEnter) && !hasFocus())
        setFocus(Qt::MouseFocusReason);
    RefreshBar();
}

void TnbSideBar::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    ResetHover();
    // No button's cursor outlives the mouse leaving; the bar's own is shown next time.
    ShowCursor(this, FCursor);
    RefreshBar();
}

void TnbSideBar::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (FDragPending && (std::abs(p.x() - FDragStart.x()) >= FDragThreshold ||
                         std::abs(p.y() - FDragStart.y()) >= FDragThreshold)) {
        // Without a button to drag the move is an ordinary one.
        if (StartButtonDrag())
            return;
    }
    QWidget::mouseMoveEvent(event);
    TrackHover(p);
}

void TnbSideBar::TrackHover(QPoint p)
{
    if (CaptionEditing() || FInMouseMove)
        return;
    FInMouseMove = true;
    MouseMoveAt(p);
    FInMouseMove = false;
}

void TnbSideBar::MouseMoveAt(QPoint p)
{
    bool skipHitTest = false;

    // The close box.
    TnbCloseButton *close = FCloseButton.get();
    if (close->BoxRect.Contains(p)) {
        if (close->State == 0) {
            close->State = 2;
            InvalidateRect(close->BoxRect);
        }
        skipHitTest = true;
    } else if (close->State != 0) {
        // Leaving the box also lets go of a press, so a release elsewhere closes nothing.
        close->State = 0;
        InvalidateRect(close->BoxRect);
        skipHitTest = true;
    }

    for (ArrowInfo &arrow : FArrows) {
        const bool inside = arrow.Rect.Contains(p);
        if (inside && arrow.State != asPressed && arrow.State != asHot && arrow.State != asDisabled) {
            arrow.State = asHot;
            InvalidateRect(arrow.Rect);
            skipHitTest = true;
        } else if (!inside && arrow.State == asHot) {
            arrow.State = asIdle;
            InvalidateRect(arrow.Rect);
            skipHitTest = true;
        }
    }
    // Over the bar its own cursor shows, over a button the button's if it has one.
    platform::Cursor shown = FCursor;
    const auto showCursor = [&] { ShowCursor(this, shown); };
    if (skipHitTest) {
        showCursor();
        return;
    }

    TnbHeader *hotCaption = nullptr;
    TnbHeader *bodyHeader = nullptr;
    TnbButton *hotButton = nullptr;
    for (int i = 0; i < HeaderCount(); ++i) {
        TnbHeader *header = Header(i);
        if (header->CaptionRect.Contains(p))
            hotCaption = header;
        if (header->BodyRect().Contains(p)) {
            bodyHeader = header;
            for (int b = 0; b < header->ButtonCount(); ++b) {
                TnbButton *button = header->Button(b);
                if (button->ButtonRect.Contains(p)) {
                    hotButton = button;
                    if (button->Cursor() != crDefault)
                        shown = button->Cursor();
                } else
                    button->SetItemState(bstNormal);
            }
            break;
        }
    }
    FBodyHeader = bodyHeader;
    showCursor();

    if (hotButton != FHotButton) {
        if (FHotButton) {
            FHotButton->SetPressed(false);
            FHotButton->SetItemState(bstNormal);
            InvalidateRect(FHotButton->ButtonRect.Inflated(1, 1));
        }
        if (hotButton) {
            hotButton->SetItemState(bstHot);
            hotButton->SetPressed(false);
            InvalidateRect(hotButton->ButtonRect.Inflated(1, 1));
        }
        FHotButton = hotButton;
        if (close->State != 0) {
            close->State = 0;
            InvalidateRect(close->CloseRect.Inflated(1, 1));
        }
    }
    if (hotCaption != FHotHeader) {
        if (FHotHeader) {
            FHotHeader->SetItemState(bstNormal);
            InvalidateRect(FHotHeader->CaptionRect);
        }
        if (hotCaption) {
            hotCaption->SetItemState(bstHot);
            InvalidateRect(hotCaption->CaptionRect);
        }
        FHotHeader = hotCaption;
        if (close->State != 0) {
            close->State = 0;
            InvalidateRect(close->BoxRect);
        }
    }
}

void TnbSideBar::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    const QPoint p = event->position().toPoint();
    // A press need not follow a move to its point: a window that appears under a still
    // pointer, or a click right after a drag, brings none. The press finds what lies
    // under it as a move there would have.
    TrackHover(p);
    if (event->button() != Qt::LeftButton || CaptionEditing())
        return;
    TnbCloseButton *close = FCloseButton.get();
    const auto pressArrow = [&](ScrollArrow which) {
        ArrowInfo &arrow = FArrows[std::size_t(which)];
        if (!arrow.Rect.Contains(p) || arrow.State == asDisabled)
            return false;
        arrow.State = asPressed;
        InvalidateRect(arrow.Rect);
        return true;
    };
    if (close->BoxRect.Contains(p)) {
        close->State = 1;
        InvalidateRect(close->BoxRect);
    } else if (pressArrow(saViewUp) || pressArrow(saViewDown)) {
        StartTimer(tmViewScroll, FAutoScrollDelay);
    } else if (pressArrow(saButtonUp) || pressArrow(saButtonDown)) {
        // Button scrolling happens on release.
    } else if (FHotHeader) {
        if (FHotHeader->CaptionRect.Contains(p)) {
            FHotHeader->SetItemState(bstDown);
            InvalidateRect(FHotHeader->CaptionRect);
        }
    } else if (FHotButton && FHotButton->ButtonRect.Contains(p) && FHotButton->Enabled()) {
        FHotButton->SetItemState(bstDown);
        FHotButton->SetPressed(true);
        InvalidateRect(FHotButton->ButtonRect.Inflated(1, 1));
    }
    PrepareButtonDrag(p, event->modifiers());
}

void TnbSideBar::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    KillTimer(tmViewScroll);
    if (event->button() != Qt::LeftButton)
        return;
    FDragPending = false;
    FDragging = false;
    if (CaptionEditing())
        return;
    TnbCloseButton *close = FCloseButton.get();
    ArrowInfo &viewUp = FArrows[saViewUp];
    ArrowInfo &viewDown = FArrows[saViewDown];
    ArrowInfo &buttonUp = FArrows[saButtonUp];
    ArrowInfo &buttonDown = FArrows[saButtonDown];
    const auto buttonScrolled = [this](ArrowInfo &arrow) {
        if (FActiveHeader)
            InvalidateRect(FActiveHeader->BodyRect());
        InvalidateRect(FArrows[saButtonUp].Rect);
        InvalidateRect(FArrows[saButtonDown].Rect);
        arrow.State = asIdle;
    };

    if (close->State == 1) {
        // The close event comes a moment later, so the box is seen released first.
        StartTimer(tmClose, 200);
    } else if (viewUp.State == asPressed) {
        ScrollViewUp();
        viewUp.State = asIdle;
    } else if (viewDown.State == asPressed) {
        ScrollViewDown();
        viewDown.State = asIdle;
    } else if (buttonUp.State == asPressed) {
        if (FActiveHeader)
            FActiveHeader->ScrollUp();
        buttonScrolled(buttonUp);
    } else if (buttonDown.State == asPressed) {
        if (FActiveHeader)
            FActiveHeader->ScrollDown();
        buttonScrolled(buttonDown);
    } else if (FHotHeader) {
        if (FHotHeader->ItemState() == bstDown)
            SetActiveHeader(FHotHeader);
    } else if (FHotButton && FHotButton->ItemState() == bstDown) {
        TnbButton *button = FHotButton;
        button->SetPressed(false);
        button->SetItemState(bstNormal);
        PressButton(button);
    }
}

void TnbSideBar::PressButton(TnbButton *button)
{
    if (!button || button->Header() == nullptr || button->Header()->SideBar() != this)
        return;
    if (button->ButtonKind() == bkRadioButton)
        button->Header()->CheckRadio(button);
    else
        button->SetCheckState(NextClickState(button));
    button->Header()->SetSelectedIndex(button->ButtonIndex());
    FPressedHeader = button->Header()->HeaderIndex();
    FPressedButton = button->ButtonIndex();
    InvalidateRect(button->ButtonRect.Inflated(1, 1));
    nbNotifyAccessible(this, button->Header(), button, QAccessible::Selection);
    button->Click();
}

CheckBoxState TnbSideBar::NextClickState(const TnbButton *button)
{
    if (!button->AllowGrayed())
        return button->CheckState() == cbChecked ? cbUnchecked : cbChecked;
    // With grayed allowed a click walks the same cycle as the accelerator.
    switch (button->CheckState()) {
    case cbUnchecked:
        return cbChecked;
    case cbChecked:
        return cbGrayed;
    default:
        return cbUnchecked;
    }
}

bool TnbSideBar::CaptionEditing() const
{
    return FInplaceEditor && FInplaceEditor->Editing();
}

// ---- Keyboard ------------------------------------------------------------------------

void TnbSideBar::keyPressEvent(QKeyEvent *event)
{
    QWidget::keyPressEvent(event);
    const int active = ActiveIndex();
    const auto visibleBefore = [this](int index) {
        for (int i = index - 1; i >= 0; --i)
            if (Header(i)->Visible())
                return Header(i);
        return static_cast<TnbHeader *>(nullptr);
    };
    TnbHeader *target = nullptr;
    switch (event->key()) {
    case Qt::Key_PageUp:
        target = visibleBefore(active);
        if (!target)
            target = FActiveHeader;
        break;
    case Qt::Key_PageDown:
        target = Header(NextVisibleHeader(active));
        if (!target)
            target = FActiveHeader;
        break;
    case Qt::Key_End: {
        TnbHeader *last = Header(HeaderCount() - 1);
        target = last && last->Visible() ? last : visibleBefore(HeaderCount() - 1);
        break;
    }
    case Qt::Key_Home:
        target = Header(0);
        if (target && !target->Visible())
            return;
        break;
    default:
        if (KeyboardNavigation(event))
            return;
        if (!event->text().isEmpty() && !(event->modifiers() & Qt::ControlModifier) &&
            DialogChar(event->text().at(0)))
            event->accept();
        return;
    }
    if (!target && event->key() != Qt::Key_PageUp && event->key() != Qt::Key_PageDown)
        return;
    // Even the active header goes through the switch, so the events fire.
    SetActiveHeader(target);
    event->accept();
}

bool TnbSideBar::DialogChar(QChar ch)
{
    if (!FSettings->KeySupport())
        return false;
    for (int i = 0; i < HeaderCount(); ++i) {
        TnbHeader *header = Header(i);
        if (!header->Settings()->KeySupport())
            continue;
        if (IsAccelerator(ch, header->Caption())) {
            SetActiveHeader(header);
            return true;
        }
        if (header != FActiveHeader)
            continue;
        for (int b = 0; b < header->ButtonCount(); ++b) {
            TnbButton *button = header->Button(b);
            if (!button->ShowAccelChar() || !IsAccelerator(ch, button->Caption()))
                continue;
            if (button->Enabled()) {
                switch (button->ButtonKind()) {
                case bkCheckBox:
                case bkPushButton:
                    if (button->AllowGrayed())
                        button->SetCheckState(NextClickState(button));
                    else
                        button->SetCheckState(button->CheckState() == cbUnchecked ? cbChecked : cbUnchecked);
                    break;
                case bkRadioButton:
                    header->CheckRadio(button);
                    break;
                default:
                    break;
                }
            }
            button->Click();
            return true;
        }
    }
    return false;
}

// ---- Wheel, menus, hints, focus ------------------------------------------------------

void TnbSideBar::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() != Qt::NoModifier) {
        QWidget::wheelEvent(event);
        return;
    }
    event->accept();
    const int n = event->angleDelta().y() / 120;
    if (!ExplorerLayout()) {
        if (FActiveHeader) {
            if (n > 0) {
                if (FActiveHeader->TopIndex() > 0)
                    FActiveHeader->ScrollUp();
            } else if (FActiveHeader->LastVisibleIndex() < FActiveHeader->ButtonCount() - 1) {
                FActiveHeader->ScrollDown();
            }
        }
    } else {
        const auto shown = [this](ScrollArrow a) {
            const Rect r = FArrows[std::size_t(a)].Rect;
            return r != HiddenRect && !r.IsEmpty();
        };
        if (n > 0) {
            if (shown(saViewUp))
                FScrollOffset = std::max(0, FScrollOffset - n * int(FScrollChange));
        } else if (shown(saViewDown)) {
            FScrollOffset += -n * int(FScrollChange);
        }
    }
    update();
}

void TnbSideBar::contextMenuEvent(QContextMenuEvent *event)
{
    const QPoint p = event->pos();
    bool handled = false;
    const auto offer = [&](Persistent *sender, platform::PopupMenu *menu) {
        if (OnContextPopup)
            OnContextPopup(sender, p, handled);
        if (!handled && menu && menu->AutoPopup()) {
            menu->Popup(event->globalPos());
            handled = true;
        }
    };
    if (FHotButton && FHotButton->ButtonRect.Contains(p))
        offer(FHotButton, FHotButton->PopupMenu());
    else if (FHotHeader ? FHotHeader->CaptionRect.Contains(p)
                        : (FBodyHeader && FBodyHeader->BodyRect().Contains(p)))
        offer(FHotHeader ? FHotHeader : FBodyHeader, (FHotHeader ? FHotHeader : FBodyHeader)->PopupMenu());
    else
        offer(this, FPopupMenu);
    if (handled)
        event->accept();
    else
        QWidget::contextMenuEvent(event);
}

bool TnbSideBar::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && FHotButton && !FHotButton->Hint().isEmpty()) {
        const Rect r = FHotButton->ButtonRect;
        const QPoint at = mapToGlobal(QPoint(r.Left + CursorWidth, r.Top + CursorHeight));
        QToolTip::showText(at, FHotButton->Hint(), this, r.ToQRect());
        return true;
    }
    return QWidget::event(event);
}

void TnbSideBar::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    RefreshBar();
}

void TnbSideBar::focusOutEvent(QFocusEvent *event)
{
    RefreshBar();
    QWidget::focusOutEvent(event);
}
