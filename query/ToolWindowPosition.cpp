#include "query/ToolWindowPosition.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

class ShownPositionWatch : public QObject
{
public:
    explicit ShownPositionWatch(QWidget *window) : QObject(window), m_window(window)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Show && !event->spontaneous()) {
            // The native window exists by now; a dialog still moves over its
            // owner after this, so the place is taken when the native window shows.
            watchHandle(m_window->windowHandle());
        } else if (watched == m_handle && event->type() == QEvent::Show) {
            m_shownAt = m_window->geometry().topLeft();
            m_waiting = true;
        } else if (watched == m_handle && event->type() == QEvent::Expose && m_waiting &&
                   m_handle->isExposed()) {
            m_waiting = false;
            // After the events of the mapping that are already queued.
            QTimer::singleShot(0, this, [this] {
                if (m_window && m_handle && m_window->isVisible() && m_handle->position() != m_shownAt)
                    m_handle->setPosition(m_shownAt);
            });
        }
        return false;
    }

private:
    void watchHandle(QWindow *handle)
    {
        if (!handle || handle == m_handle)
            return;
        if (m_handle)
            m_handle->removeEventFilter(this);
        m_handle = handle;
        handle->installEventFilter(this);
    }

    QPointer<QWidget> m_window;
    QPointer<QWindow> m_handle;
    QPoint m_shownAt;
    bool m_waiting = false;
};

} // namespace

void followShownPosition(QWidget *window)
{
    new ShownPositionWatch(window);
}
