#pragma once

#include <QMouseEvent>
#include <QRect>

// A click as the program's labels and pictures take it: the left button
// pressed on the widget and released over it. A release elsewhere, or one
// without a press before it, is no click.
class LeftClick
{
public:
    void press(const QMouseEvent *event)
    {
        if (event->button() == Qt::LeftButton)
            m_down = true;
    }
    // True when this release ends a click inside `area`.
    bool release(const QMouseEvent *event, const QRect &area)
    {
        if (event->button() != Qt::LeftButton || !m_down)
            return false;
        m_down = false;
        return area.contains(event->position().toPoint());
    }

private:
    bool m_down = false;
};
