#include "platform/ui/WindowDrag.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// Watches the pointer from an application-wide event filter, so the drag
// keeps going whichever widget holds the implicit grab of the press.
class PointerDrag : public QObject
{
public:
    PointerDrag(QWidget *window, Qt::MouseButton button, const QPointF &globalPos)
        : m_window(window), m_button(button), m_startPointer(globalPos), m_startWindow(window->pos())
    {
        qApp->installEventFilter(this);
    }
    ~PointerDrag() override
    {
        qApp->removeEventFilter(this);
        if (s_running == this)
            s_running = nullptr;
    }

    static inline PointerDrag *s_running = nullptr;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseMove: {
            const auto *move = static_cast<QMouseEvent *>(event);
            // A release that never reached us (another window took it) ends the drag.
            if (!(move->buttons() & m_button) || !m_window) {
                finish();
                break;
            }
            const QPointF delta = move->globalPosition() - m_startPointer;
            if (!m_following && delta.toPoint().manhattanLength() < QApplication::startDragDistance())
                break;
            if (!m_following && !begin())
                break;
            if (m_following)
                m_window->move(m_startWindow + delta.toPoint());
            break;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == m_button)
                finish();
            break;
        default:
            break;
        }
        return false;
    }

private:
    // The pointer has gone the drag distance: the window manager takes a left
    // drag where it can (false: it did, and this drag is over), else the
    // window follows from here on, from where the drag began. The manager
    // moves the window with the pointer from where it is now: neither X11's
    // nor Wayland's move request carries the press point.
    bool begin()
    {
        QWindow *handle = m_window->windowHandle();
        if (m_button == Qt::LeftButton && handle && handle->startSystemMove()) {
            // The manager holds the pointer until the release, which Qt may
            // never see: this drag ends now, so the stale button state
            // cannot restart a move later.
            finish();
            return false;
        }
        m_following = true;
        return true;
    }

    void finish()
    {
        qApp->removeEventFilter(this);
        if (s_running == this)
            s_running = nullptr;
        deleteLater();
    }

    QPointer<QWidget> m_window;
    Qt::MouseButton m_button;
    QPointF m_startPointer;
    QPoint m_startWindow;
    bool m_following = false;
};

} // namespace

bool dragWindow(QWidget *widget, Qt::MouseButton button, const QPointF &globalPos)
{
    QWidget *window = widget ? widget->window() : nullptr;
    if (!window || button == Qt::NoButton)
        return false;
    delete PointerDrag::s_running;
    PointerDrag::s_running = new PointerDrag(window, button, globalPos);
    return true;
}

bool windowDragRunning()
{
    return PointerDrag::s_running != nullptr;
}

bool windowPositionsHonoured()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace platform
