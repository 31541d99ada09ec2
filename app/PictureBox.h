#pragma once

#include "app/LeftClick.h"

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

    QSize sizeHint() const override;

signals:
    // Any mouse button went down on the picture, at a point of the screen.
    void pressed(Qt::MouseButton button, const QPointF &globalPos);
    // The left button was pressed and released on the picture.
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
    bool m_stretch = false;
    LeftClick m_click;
};
