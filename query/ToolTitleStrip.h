#pragma once

#include <QWidget>

class QToolButton;

// The title strip of a borderless tool window: a 21-pixel picture strip with
// the window's title in white bold and a flat "×" at its right end, and a
// one-pixel line under it. The strip is the window's dragging handle; the
// window decides what a press on it does (normally moveWindow()).
class ToolTitleStrip : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kStripHeight = 21;
    // The strip and the line under it.
    static constexpr int kHeight = kStripHeight + 1;

    explicit ToolTitleStrip(const QString &title, QWidget *parent = nullptr);

    QString title() const { return m_title; }
    QToolButton *closeButton() const { return m_close; }

    // The common look of the tool windows: a fixed size, the "新宋体" 12-pixel
    // font and the light grey background; and a place on the screen that Qt
    // knows truly (followShownPosition).
    static void setUpToolWindow(QWidget *window, const QString &objectName, const QString &title, QSize size);

    // Lets the window follow the mouse until `button`, pressed at `globalPos`,
    // is released, as a press on a system caption does; any button drags.
    // False without a window.
    static bool moveWindow(QWidget *window, Qt::MouseButton button, const QPointF &globalPos);

    // Places a tool window for its first showing: centred on its owner's
    // window (on the screen without an owner), and wholly on the screen.
    static void placeOverOwner(QWidget *window);
    // Moves a window the least distance that brings it wholly onto the
    // available area of the screen it is mostly on.
    static void keepOnScreen(QWidget *window);
    // Places a tool window that is about to show: over its owner the first
    // time (`placed` false, then set), afterwards where the user left it, kept
    // on the screen.
    static void placeForShowing(QWidget *window, bool &placed);

signals:
    // A mouse button went down on the strip (not on the close button), at a
    // point of the screen.
    void pressed(Qt::MouseButton button, const QPointF &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QString m_title;
    QToolButton *m_close;
};
