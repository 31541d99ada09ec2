#include "platform/ui/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

BusyCursor::BusyCursor()
{
    // The window system is told at once: the event loop will not run
    // before the operation ends.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        m_shown = true;
    }
}

BusyCursor::~BusyCursor()
{
    if (m_shown)
        QGuiApplication::restoreOverrideCursor();
}

} // namespace platform
