#include "app/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(const QImage &picture, QWidget *parent) : QWidget(parent), m_picture(picture)
{
    if (!m_picture.isNull())
        resize(m_picture.size());
}

void PictureBox::setPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

void PictureBox::setStretch(bool stretch)
{
    if (m_stretch == stretch)
        return;
    m_stretch = stretch;
    update();
}

QSize PictureBox::sizeHint() const
{
    return m_picture.isNull() ? QWidget::sizeHint() : m_picture.size();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, m_stretch);
    if (m_stretch)
        p.drawImage(rect(), m_picture);
    else
        p.drawImage(0, 0, m_picture);
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    m_click.press(event);
    emit pressed(event->button(), event->globalPosition());
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_click.release(event, rect()))
        emit clicked();
}
