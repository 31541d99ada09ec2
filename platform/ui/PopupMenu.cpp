#include "platform/ui/PopupMenu.h"

#include <QMenu>

namespace platform {

PopupMenu::PopupMenu(QObject *parent) : QObject(parent), m_menu(new QMenu) {}

PopupMenu::~PopupMenu()
{
    delete m_menu;
}

void PopupMenu::Popup(const QPoint &screenPos)
{
    m_menu->popup(screenPos);
}

} // namespace platform
