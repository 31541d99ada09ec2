#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace platform {

// Resizing a borderless window from its edges and corners: thin grips along
// the window's border take the press, show the matching resize cursor and
// hand the resize to the window manager or compositor
// (QWindow::startSystemResize); where the platform refuses, the window
// follows the pointer itself, never below its minimum size. The grips hide
// while the window is maximised or fills the screen.
class WindowEdges : public QObject
{
public:
    // The width of the band along each edge that takes a resize.
    static constexpr int kGripWidth = 4;

    explicit WindowEdges(QWidget *window);

    // Puts the grips back over the window's border and above its other
    // children; the window calls it after laying out its children.
    void raiseGrips();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();

    QPointer<QWidget> m_window;
    QList<QWidget *> m_grips;
};

} // namespace platform
