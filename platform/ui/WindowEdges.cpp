#include "platform/ui/WindowEdges.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace platform {

namespace {

// One grip: an edge or a corner of the window.
class EdgeGrip : public QWidget
{
public:
    EdgeGrip(QWidget *window, Qt::Edges edges) : QWidget(window), m_edges(edges)
    {
        setObjectName(QStringLiteral("EdgeGrip"));
        // What a screen reader says of the window's border.
        setAccessibleName(QStringLiteral("窗口边框：拖动以调整大小"));
        setAttribute(Qt::WA_NoSystemBackground);
        const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
        const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
        if (horizontal && vertical) {
            const bool falling =
                edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge);
            setCursor(falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor);
        } else {
            setCursor(horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor);
        }
    }

    Qt::Edges edges() const { return m_edges; }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        QWidget *w = window();
        if (QWindow *handle = w->windowHandle(); handle && handle->startSystemResize(m_edges))
            return;
        m_following = true;
        m_startPointer = event->globalPosition().toPoint();
        m_startGeometry = w->geometry();
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (!m_following)
            return;
        QWidget *w = window();
        const QPoint d = event->globalPosition().toPoint() - m_startPointer;
        QRect g = m_startGeometry;
        const QSize least = w->minimumSize();
        if (m_edges & Qt::LeftEdge)
            g.setLeft(std::min(g.left() + d.x(), g.right() + 1 - least.width()));
        if (m_edges & Qt::RightEdge)
            g.setRight(std::max(g.right() + d.x(), g.left() + least.width() - 1));
        if (m_edges & Qt::TopEdge)
            g.setTop(std::min(g.top() + d.y(), g.bottom() + 1 - least.height()));
        if (m_edges & Qt::BottomEdge)
            g.setBottom(std::max(g.bottom() + d.y(), g.top() + least.height() - 1));
        w->setGeometry(g);
    }
    void mouseReleaseEvent(QMouseEvent *) override { m_following = false; }

private:
    Qt::Edges m_edges;
    bool m_following = false;
    QPoint m_startPointer;
    QRect m_startGeometry;
};

} // namespace

WindowEdges::WindowEdges(QWidget *window) : QObject(window), m_window(window)
{
    for (Qt::Edges edges :
         {Qt::Edges(Qt::LeftEdge), Qt::Edges(Qt::RightEdge), Qt::Edges(Qt::TopEdge),
          Qt::Edges(Qt::BottomEdge), Qt::TopEdge | Qt::LeftEdge, Qt::TopEdge | Qt::RightEdge,
          Qt::BottomEdge | Qt::LeftEdge, Qt::BottomEdge | Qt::RightEdge})
        m_grips << new EdgeGrip(window, edges);
    window->installEventFilter(this);
    place();
}

void WindowEdges::raiseGrips()
{
    for (QWidget *grip : std::as_const(m_grips))
        grip->raise();
}

bool WindowEdges::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window &&
        (event->type() == QEvent::Resize || event->type() == QEvent::WindowStateChange))
        place();
    return false;
}

void WindowEdges::place()
{
    if (!m_window)
        return;
    const bool sized = !(m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
    const int w = m_window->width();
    const int h = m_window->height();
    const int g = kGripWidth;
    for (QWidget *widget : std::as_const(m_grips)) {
        const Qt::Edges e = static_cast<EdgeGrip *>(widget)->edges();
        const int x = (e & Qt::LeftEdge) ? 0 : (e & Qt::RightEdge) ? w - g : g;
        const int y = (e & Qt::TopEdge) ? 0 : (e & Qt::BottomEdge) ? h - g : g;
        const int width = (e & (Qt::LeftEdge | Qt::RightEdge)) ? g : w - 2 * g;
        const int height = (e & (Qt::TopEdge | Qt::BottomEdge)) ? g : h - 2 * g;
        widget->setGeometry(x, y, width, height);
        widget->setVisible(sized);
        widget->raise();
    }
}

} // namespace platform
