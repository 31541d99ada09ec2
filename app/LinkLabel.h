#pragma once

#include "app/LeftClick.h"

#include <QLabel>

// A text that acts as a link. It only reports the mouse: the window decides
// what hovering and clicking do, so the same label serves the underlined
// panel links and the status line's credit.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(const QString &text = QString(), QWidget *parent = nullptr);

    // The text colour.
    QColor color() const;
    void setColor(const QColor &color);
    bool underlined() const { return font().underline(); }
    void setUnderlined(bool underlined);

signals:
    // The mouse moved over the label.
    void mouseMoved();
    // The mouse left the label.
    void mouseLeft();
    // Any mouse button went down on the label.
    void pressed(Qt::MouseButton button);
    // The left button was pressed and released on the label.
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    LeftClick m_click;
};
