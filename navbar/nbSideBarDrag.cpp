// Dragging command buttons: arming and starting a drag, the drop target's answers with
// drop marks, delayed header opening and drag scrolling, moving and copying buttons
// within the bar, and other widgets' drags reaching the owner through OnDragDrop.

#include "navbar/nbSideBar.h"

#include "navbar/nbInplaceEditor.h"

#include <QApplication>
#include <QCoreApplication>
#include <QtEndian>
#include <cstring>
#include <stdexcept>

using namespace platform;

namespace {

// The rectangle a button is hit in while dragging: as wide as anything can be.
constexpr int HitLeft = -1000;
constexpr int HitRight = 20000;
// How far the first and the last button of the outlook-like layout reach up and down.
constexpr int HitAbove = -10000;
constexpr int HitBelow = 20000;
// How far a drop mark reaches beyond its button: up, down and in from the body's sides.
constexpr int MarkAbove = 2;
constexpr int MarkBelow = 7;

bool Shown(const Rect &r)
{
    return r != HiddenRect && !r.IsEmpty();
}

std::int32_t ReadInt32(const QByteArray &data, qsizetype at)
{
    std::int32_t value = 0;
    std::memcpy(&value, data.constData() + at, sizeof value);
    return qFromLittleEndian(value);
}

} // namespace

// ---- Arming and starting -------------------------------------------------------------

void TnbSideBar::PrepareButtonDrag(QPoint p, Qt::KeyboardModifiers modifiers)
{
    int position = 0;
    TnbButton *button = HitDropButton(p, position);
    bool allowed = FDragPending || FDragging;
    if (button) {
        allowed = true;
        DoDragAllowed(button, allowed);
    }
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    FDragStart = p;
    if (button && allowed && !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier)))
        ArmButtonDrag();
}

void TnbSideBar::ArmButtonDrag()
{
    if (FDragPending || FDragging)
        return;
    FDragThreshold = QApplication::startDragDistance();
    FDragPending = true;
}

void TnbSideBar::DoDragAllowed(TnbButton *button, bool &allowed)
{
    if (OnDragAllowed)
        OnDragAllowed(this, button, allowed);
}

bool TnbSideBar::StartButtonDrag()
{
    // A press that armed a drag beside every button has nothing to drag; the hover
    // handling goes on as without a drag.
    FDragPending = false;
    TnbButton *button = FHotButton;
    if (!button || !FDragDropManager)
        return false;
    button->SetItemState(bstNormal);
    button->SetPressed(false);
    FDropTargetHeader = nullptr;
    FDragging = true;
    FDropMode = 1;
    FAlertPaused = true;
    FDragSourceButton = button;

    std::uint32_t effect = DROPEFFECT_NONE;
    DoDragDrop(this, FDragDropManager, FDragDropManager.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, effect);

    FAlertPaused = false;
    // A drop into another header copied the button there; the original goes.
    if (effect == DROPEFFECT_MOVE && FDragSourceButton) {
        BeginUpdate();
        FDragSourceButton->Header()->DeleteButton(FDragSourceButton);
        EndUpdate();
    }
    FDragging = false;
    FDragSourceButton = nullptr;
    // The mouse is elsewhere now; the next move finds the hot button afresh.
    FHotButton = nullptr;
    return true;
}

// ---- Hit tests -----------------------------------------------------------------------

TnbButton *TnbSideBar::HitDropButton(QPoint pt, int &position) const
{
    position = 0;
    const bool outlookLike = !ExplorerLayout();
    for (int h = 0; h < HeaderCount(); ++h) {
        TnbHeader *header = Header(h);
        if (outlookLike ? header != FActiveHeader : !header->Opened() || !header->Visible())
            continue;
        // Only buttons on show take part: a button scrolled away keeps no place.
        TnbButton *first = nullptr;
        TnbButton *last = nullptr;
        for (int b = 0; b < header->ButtonCount(); ++b) {
            TnbButton *button = header->Button(b);
            if (!button->Visible() || !Shown(button->ButtonRect))
                continue;
            if (!first)
                first = button;
            last = button;
        }
        for (int b = 0; b < header->ButtonCount(); ++b) {
            TnbButton *button = header->Button(b);
            if (!button->Visible() || !Shown(button->ButtonRect))
                continue;
            Rect r = button->ButtonRect;
            r.Left = HitLeft;
            r.Right = HitRight;
            if (outlookLike && button == first)
                r.Top = HitAbove;
            if (outlookLike && button == last)
                r.Bottom = HitBelow;
            if (!r.Contains(pt))
                continue;
            const Rect &br = button->ButtonRect;
            const int mid = br.Top + (br.Bottom - br.Top) / 2;
            const bool isFirst = button == header->FirstVisibleButton();
            const bool isLast = button == header->LastVisibleButton();
            if (pt.y() < mid && isFirst)
                position = 1;
            else
                position = isLast ? 3 : 2;
            return button;
        }
        if (outlookLike)
            break;
    }
    return nullptr;
}

TnbHeader *TnbSideBar::HitHeader(QPoint pt) const
{
    for (int i = 0; i < HeaderCount(); ++i) {
        TnbHeader *header = Header(i);
        if (header->Visible() && (header->CaptionRect.Contains(pt) || header->BodyRect().Contains(pt)))
            return header;
    }
    return nullptr;
}

TnbSideBar *TnbSideBar::FindSourceBar(DataObject *data) const
{
    if (!data)
        return nullptr;
    Medium medium;
    if (data->GetData(NbFormatEtc(CF_NBREFERENCE()), medium) != S_OK)
        return nullptr;
    const QByteArray &block = medium.hGlobal;
    if (block.size() < 12 || ReadInt32(block, 0) < 8)
        return nullptr;
    if (ReadInt32(block, 4) != std::int32_t(QCoreApplication::applicationPid()))
        return nullptr;
    // The bar must be alive and be the very object the data comes from: a number in
    // data from elsewhere names nothing here.
    TnbDragDropManager *manager = TnbDragDropManager::FromId(std::uint32_t(ReadInt32(block, 8)));
    if (!manager || static_cast<DataObject *>(manager) != data)
        return nullptr;
    return manager->SideBar();
}

// ---- Effects and events --------------------------------------------------------------

std::uint32_t TnbSideBar::GetDropEffect(QObject *source, ShiftState shift, std::uint32_t allowed, QPoint)
{
    std::uint32_t effect;
    if (source == this)
        effect = (allowed & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : allowed;
    else
        effect = (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : allowed;
    const bool ctrl = shift & ssCtrl;
    const bool shiftKey = shift & ssShift;
    if (ctrl && shiftKey) {
        if (allowed & DROPEFFECT_LINK)
            effect = DROPEFFECT_LINK;
    } else if (ctrl) {
        if (allowed & DROPEFFECT_COPY)
            effect = DROPEFFECT_COPY;
    } else if (shiftKey) {
        if (allowed & DROPEFFECT_MOVE)
            effect = DROPEFFECT_MOVE;
    }
    return effect;
}

HResult TnbSideBar::OleDragEnter(DataObject *data, TnbSideBar *sourceBar, std::uint32_t keyState,
                                 std::uint32_t &effect, QPoint screenPos)
{
    try {
        const ShiftState shift = KeysToShiftState(keyState);
        bool accept = true;
        const QPoint pt = mapFromGlobal(screenPos);
        effect = GetDropEffect(sourceBar, shift, effect, pt);
        if (OnDragEnter)
            OnDragEnter(this, data, sourceBar, shift, dsDragEnter, pt, FDropMode, effect, accept);
        AskDragOver(sourceBar, shift, dsDragEnter, pt, effect, accept);
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HResult TnbSideBar::OleDragOver(QObject *source, std::uint32_t keyState, std::uint32_t &effect,
                                QPoint screenPos, DragState state)
{
    try {
        const ShiftState shift = KeysToShiftState(keyState);
        const QPoint pt = mapFromGlobal(screenPos);
        bool accept = true;

        int position = 0;
        TnbButton *hit = HitDropButton(pt, position);
        if (hit)
            FDropPosition = position;
        if (FOptions.Contains(boAutoChangeHeader)) {
            TnbHeader *header = HitHeader(pt);
            if (header && header != FDropTargetHeader) {
                FDropTargetHeader = header;
                StartTimer(tmAutoChange, FAutoChangeDelay);
            }
        }
        if (FOptions.Contains(boAutoScroll))
            CheckDragScroll(pt);
        if (hit != FDropTargetButton) {
            if (FDropTargetButton)
                RefreshBar();
            FDropTargetButton = hit;
        }
        FDropMode = hit ? 1 : 0;
        if (FDropTargetButton)
            RefreshBar();

        effect = GetDropEffect(source, shift, effect, pt);
        AskDragOver(source, shift, state, pt, effect, accept);
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

void TnbSideBar::AskDragOver(QObject *source, ShiftState shift, DragState state, QPoint pt,
                             std::uint32_t &effect, bool accept)
{
    if (OnDragOver)
        OnDragOver(this, source, shift, state, pt, FDropMode, effect, accept);
    FDropAccept = accept;
    if (!accept)
        effect = DROPEFFECT_NONE;
}

void TnbSideBar::EndDropTarget()
{
    if (FDropTargetButton)
        InvalidateButtonRect(FDropTargetButton);
    FDropTargetButton = nullptr;
    // A header the drag merely passed on its way out does not open afterwards.
    FDropTargetHeader = nullptr;
    KillTimer(tmAutoChange);
    ReleaseDragScroll();
}

void TnbSideBar::OleDragLeave()
{
    EndDropTarget();
    std::uint32_t effect = DROPEFFECT_NONE;
    bool accept = true;
    if (OnDragOver)
        OnDragOver(this, nullptr, 0, dsDragLeave, QPoint(0, 0), FDropMode, effect, accept);
    FDropAccept = accept;
}

HResult TnbSideBar::OleDrop(DataObject *data, std::uint32_t keyState, std::uint32_t &effect, QPoint screenPos)
{
    if (effect == DROPEFFECT_NONE)
        return E_FAIL;
    try {
        const ShiftState shift = KeysToShiftState(keyState);
        const QPoint pt = mapFromGlobal(screenPos);
        std::unique_ptr<FormatEtcEnumerator> enumerator;
        if (!data || data->EnumFormatEtc(DATADIR_GET, enumerator) != S_OK || !enumerator ||
            enumerator->Reset() != S_OK)
            throw std::runtime_error("no format enumerator");
        std::vector<ClipFormat> formats;
        std::vector<FormatEtc> entry;
        while (enumerator->Next(1, entry) == S_OK) {
            formats.push_back(entry.back().cfFormat);
            entry.clear();
        }
        TnbSideBar *sourceBar = FDragDropManager ? FDragDropManager->SourceBar() : nullptr;
        effect = GetDropEffect(sourceBar, shift, effect, pt);

        bool handled = false;
        if (FOptions.Contains(boInternalDrop))
            handled = InternalDrop(data, FDropTargetButton, FDropTargetButton ? FDropPosition : 1, effect);
        HResult result;
        if (handled) {
            // The bar took the drop itself; its owner does not hear of it.
            result = E_FAIL;
        } else if (OnDragDrop) {
            OnDragDrop(this, sourceBar, data, formats, shift, pt, effect, FDropMode);
            result = S_OK;
        } else {
            // Nothing took the data: the source must not think it was moved or copied.
            effect = DROPEFFECT_NONE;
            result = E_FAIL;
        }
        EndDropTarget();
        return result;
    } catch (...) {
        effect = DROPEFFECT_NONE;
        EndDropTarget();
        return E_UNEXPECTED;
    }
}

// ---- Moving and copying buttons ------------------------------------------------------

bool TnbSideBar::InternalDrop(DataObject *data, TnbButton *target, int position, std::uint32_t &effect)
{
    if (position == 0) {
        effect = DROPEFFECT_NONE;
        return false;
    }
    TnbSideBar *source = FindSourceBar(data);
    if (!source)
        return false;
    BeginUpdate();
    if (source != this)
        source->BeginUpdate();
    bool handled = false;
    try {
        const bool moveRequested = effect & DROPEFFECT_MOVE;
        if (data->QueryGetData(NbFormatEtc(CF_NBRESOURCE())) == S_OK) {
            effect = DROPEFFECT_NONE;
            TnbButton *dragged = source == this ? FDragSourceButton : nullptr;
            const auto insertCopy = [dragged](TnbHeader *header, int index) {
                header->Buttons()->Insert(index)->Assign(*dragged);
            };
            if (!dragged) {
                // Buttons only move or copy within their own bar.
            } else if (target && target->Header() != dragged->Header()) {
                insertCopy(target->Header(),
                           position == 1 ? target->ButtonIndex() : target->ButtonIndex() + 1);
                if (moveRequested)
                    effect = DROPEFFECT_MOVE;
                handled = true;
            } else if (target) {
                if (moveRequested)
                    dragged->SetButtonIndex(target->ButtonIndex());
                else
                    insertCopy(target->Header(),
                               position == 1 ? target->ButtonIndex() : target->ButtonIndex() + 1);
                handled = true;
            } else if (FDropTargetHeader && FDropTargetHeader->ButtonCount() == 0) {
                insertCopy(FDropTargetHeader, 0);
                if (moveRequested)
                    effect = DROPEFFECT_MOVE;
                handled = true;
            }
        }
    } catch (...) {
        effect = DROPEFFECT_NONE;
    }
    if (source != this)
        source->EndUpdate();
    EndUpdate();
    return handled;
}

void TnbSideBar::WriteButtonRecord(TnbRecordStream &stream)
{
    const int start = stream.BeginRecord(TnbRecordStream::ButtonRecord);
    TnbButton *button = FDragSourceButton;
    TnbHeader *header = button ? button->Header() : nullptr;
    stream.WriteInt32(header ? header->HeaderIndex() : -1);
    stream.WriteInt32(button ? button->ButtonIndex() : -1);
    stream.EndRecord(start);
}

// ---- Marks and scrolling -------------------------------------------------------------

void TnbSideBar::InvalidateButtonRect(TnbButton *button)
{
    if (FChangePending || !button || !Shown(button->ButtonRect))
        return;
    // The drop mark reaches past the button: to the body's sides and a little above
    // and below.
    Rect r = button->ButtonRect;
    if (TnbHeader *header = button->Header(); header && Shown(header->BodyRect())) {
        r.Left = std::min(r.Left, header->BodyRect().Left);
        r.Right = std::max(r.Right, header->BodyRect().Right);
    }
    r.Top -= MarkAbove;
    r.Bottom += MarkBelow;
    update(r.ToQRect());
}

void TnbSideBar::CheckDragScroll(QPoint pt)
{
    const bool explorer = ExplorerLayout();
    ArrowInfo &up = FArrows[explorer ? saViewUp : saButtonUp];
    ArrowInfo &down = FArrows[explorer ? saViewDown : saButtonDown];
    const int upState = up.Rect.Contains(pt) ? asPressed : asIdle;
    const int downState = down.Rect.Contains(pt) ? asPressed : asIdle;
    const bool changed = upState != up.State || downState != down.State;
    if (upState != up.State)
        InvalidateRect(up.Rect);
    if (downState != down.State)
        InvalidateRect(down.Rect);
    up.State = upState;
    down.State = downState;
    if (changed && (upState == asPressed || downState == asPressed)) {
        if (explorer)
            StartTimer(tmViewScroll, FAutoScrollDelay);
        else
            StartTimer(tmButtonScroll, FAutoButtonScrollDelay);
    }
}

void TnbSideBar::ReleaseDragScroll()
{
    // A drag that ends on a scroll arrow must not leave it pressed: the next click
    // anywhere would scroll instead.
    for (ScrollArrow arrow : {saViewUp, saViewDown, saButtonUp, saButtonDown}) {
        ArrowInfo &info = FArrows[std::size_t(arrow)];
        if (info.State == asPressed) {
            info.State = asIdle;
            InvalidateRect(info.Rect);
        }
    }
    KillTimer(tmButtonScroll);
    KillTimer(tmViewScroll);
}

// ---- Other widgets' drags ------------------------------------------------------------

std::uint32_t TnbSideBar::WidgetDragOver(QObject *source, std::uint32_t keyState, QPoint screenPos,
                                         DragState state)
{
    std::uint32_t effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    if (state == dsDragLeave)
        screenPos = mapToGlobal(QPoint(0, 0));
    if (OleDragOver(source, keyState, effect, screenPos, state) != S_OK)
        effect = DROPEFFECT_NONE;
    FWidgetDragTarget = FDropTargetButton;
    if (state == dsDragLeave) {
        EndDropTarget();
        FWidgetDragTarget = nullptr;
    }
    return effect;
}

std::uint32_t TnbSideBar::WidgetDragDrop(QObject *source, std::uint32_t keyState, QPoint screenPos)
{
    if (FDropTargetButton)
        InvalidateButtonRect(FDropTargetButton);
    FDropTargetButton = FWidgetDragTarget;
    std::uint32_t effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    const ShiftState shift = KeysToShiftState(keyState);
    const QPoint pt = mapFromGlobal(screenPos);
    if (OnDragDrop) {
        try {
            OnDragDrop(this, source, nullptr, {}, shift, pt, effect, FDropMode);
        } catch (...) {
            effect = DROPEFFECT_NONE;
        }
    } else {
        // Nothing took the data, so the widget it came from keeps it.
        effect = DROPEFFECT_NONE;
    }
    EndDropTarget();
    FWidgetDragTarget = nullptr;
    return effect;
}

// ---- Caption editor ------------------------------------------------------------------

void TnbSideBar::EditorContextPopup(QPoint pos, bool &handled)
{
    handled = false;
    const QWidget *box = FInplaceEditor->EditBox();
    if (OnEditorContextPopup)
        OnEditorContextPopup(FInplaceEditor.get(), pos + box->pos(), handled);
}
