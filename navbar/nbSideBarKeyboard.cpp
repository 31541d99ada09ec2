// The keyboard's way through the bar: an item (a header's caption or a
// button) that the arrow keys move and Enter or Space presses.

#include "navbar/nbSideBar.h"

#include "navbar/nbAccessible.h"
#include "navbar/nbButtons.h"
#include "platform/ui/Canvas.h"

#include <QKeyEvent>

using platform::Rect;

TnbHeader *TnbSideBar::KeyHeader() const
{
    const QList<QPair<TnbHeader *, TnbButton *>> items = KeyItems();
    TnbHeader *header = Header(FKeyHeader);
    TnbButton *button = header && FKeyButton >= 0 ? header->Button(FKeyButton) : nullptr;
    // An item that is gone or hidden gives way to the first one there is.
    if (items.contains(qMakePair(header, button)))
        return header;
    return items.isEmpty() ? nullptr : items.first().first;
}

TnbButton *TnbSideBar::KeyButton() const
{
    const QList<QPair<TnbHeader *, TnbButton *>> items = KeyItems();
    TnbHeader *header = Header(FKeyHeader);
    TnbButton *button = header && FKeyButton >= 0 ? header->Button(FKeyButton) : nullptr;
    if (items.contains(qMakePair(header, button)))
        return button;
    return items.isEmpty() ? nullptr : items.first().second;
}

void TnbSideBar::SetKeyItem(TnbHeader *header, TnbButton *button)
{
    if (!header || header->SideBar() != this || (button && button->Header() != header))
        return;
    const int headerIndex = header->HeaderIndex();
    const int buttonIndex = button ? button->ButtonIndex() : -1;
    if (headerIndex == FKeyHeader && buttonIndex == FKeyButton)
        return;
    FKeyHeader = headerIndex;
    FKeyButton = buttonIndex;
    // A button scrolled out of the body comes into it.
    if (button && header == FActiveHeader) {
        for (int guard = header->ButtonCount(); guard > 0 && buttonIndex < header->TopIndex(); --guard)
            header->ScrollUp();
        for (int guard = header->ButtonCount();
             guard > 0 && header->LastVisibleIndex() >= 0 && buttonIndex > header->LastVisibleIndex();
             --guard)
            header->ScrollDown();
    }
    RefreshBar();
    if (hasFocus())
        nbNotifyAccessible(this, header, button, QAccessible::Focus);
}

TnbButton *TnbSideBar::PressedButton() const
{
    TnbHeader *header = Header(FPressedHeader);
    if (!header || header != FActiveHeader)
        return nullptr;
    return header->Button(FPressedButton);
}

QList<QPair<TnbHeader *, TnbButton *>> TnbSideBar::KeyItems() const
{
    QList<QPair<TnbHeader *, TnbButton *>> items;
    const bool explorer = ExplorerLayout();
    for (int i = 0; i < HeaderCount(); ++i) {
        TnbHeader *header = Header(i);
        if (!header->Visible())
            continue;
        items.append({header, nullptr});
        const bool bodyShows = explorer ? header->Opened() : header == FActiveHeader;
        if (!bodyShows)
            continue;
        for (int b = 0; b < header->ButtonCount(); ++b)
            if (header->Button(b)->Visible())
                items.append({header, header->Button(b)});
    }
    return items;
}

bool TnbSideBar::KeyboardNavigation(QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QList<QPair<TnbHeader *, TnbButton *>> items = KeyItems();
    if (items.isEmpty())
        return false;
    const int at = std::max(0, int(items.indexOf(qMakePair(KeyHeader(), KeyButton()))));
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
    case Qt::Key_Down:
    case Qt::Key_Right: {
        const bool back = event->key() == Qt::Key_Up || event->key() == Qt::Key_Left;
        const int next = std::clamp(at + (back ? -1 : 1), 0, int(items.size()) - 1);
        SetKeyItem(items[next].first, items[next].second);
        // The focus rectangle shows from the first key on.
        window()->setAttribute(Qt::WA_KeyboardFocusChange);
        update();
        event->accept();
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: {
        const auto [header, button] = items[at];
        if (button) {
            if (button->Enabled())
                PressButton(button);
        } else {
            SetActiveHeader(header);
        }
        event->accept();
        return true;
    }
    default:
        return false;
    }
}

void TnbSideBar::DrawKeyFocus(platform::Canvas &canvas)
{
    if (!hasFocus() || !window()->testAttribute(Qt::WA_KeyboardFocusChange))
        return;
    TnbHeader *header = KeyHeader();
    TnbButton *button = KeyButton();
    const Rect r = button ? button->ButtonRect : header ? header->CaptionRect : Rect();
    if (!r.IsEmpty())
        canvas.DrawFocusRect(r.Inflated(-1, -1));
}
