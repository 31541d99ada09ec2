#include "platform/ui/WindowStacking.h"

#include <QApplication>
#include <QWidget>

namespace platform {

namespace {

void raiseAndActivate(QWidget *window)
{
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->raise();
    window->activateWindow();
}

} // namespace

void bringToFront(QWidget *window)
{
    if (window && window->isVisible())
        raiseAndActivate(window);
    if (QWidget *modal = QApplication::activeModalWidget(); modal && modal != window)
        raiseAndActivate(modal);
}

} // namespace platform
