#pragma once

#include "app/LeftClick.h"

#include <QAccessible>
#include <QImage>
#include <QWidget>

// A picture on a window: drawn at its natural size from the top-left corner,
// or stretched over the whole box. Reports presses and clicks, so pictures
// can serve as title strips and links.
class PictureBox : public QWidget
{
    Q_OBJECT
public:
    explicit PictureBox(const QImage &picture = QImage(), QWidget *parent = nullptr);

    QImage picture() const { return m_picture; }
    void setPicture(const QImage &picture);
    bool stretch() const { return m_stretch; }
    void setStretch(bool stretch);
    // A picture wider than its design: the picture's `left` and `right`
    // columns are drawn as they are at the box's left and right edges, and
    // the column between them fills the rest, so the ends keep their look
    // however wide the box. 0 and 0 (the default) draws as stretch() says.
    void setFixedEnds(int left, int right);

    QSize sizeHint() const override;

    // What a screen reader takes the picture for: a graphic (the default), a
    // link or a button that its press action clicks, or a title bar. Its
    // name is the widget's accessible name.
    QAccessible::Role accessibleRole() const { return m_role; }
    void setAccessibleRole(QAccessible::Role role) { m_role = role; }

signals:
    // Any mouse button went down on the picture, at a point of the screen.
    void pressed(Qt::MouseButton button, const QPointF &globalPos);
    // The left button was pressed and released on the picture.
    void clicked();
    // The left button was double-clicked on the picture.
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
    bool m_stretch = false;
    int m_fixedLeft = 0;
    int m_fixedRight = 0;
    QAccessible::Role m_role = QAccessible::Graphic;
    LeftClick m_click;
};
