#include "platform/ui/WindowDrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// Follows the pointer from an application-wide event filter, so the drag
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
};

} // namespace

bool dragWindow(QWidget *widget, Qt::MouseButton button, const QPointF &globalPos)
{
    QWidget *window = widget ? widget->window() : nullptr;
    if (!window || button == Qt::NoButton)
        return false;
    delete PointerDrag::s_running;
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    QWindow *handle = window->windowHandle();
    if (button == Qt::LeftButton && handle && handle->startSystemMove())
        return true;
    PointerDrag::s_running = new PointerDrag(window, button, globalPos);
    return true;
}

bool windowDragRunning()
{
    return PointerDrag::s_running != nullptr;
}

} // namespace platform
