#include "app/LinkLabel.h"

#include <QMouseEvent>

LinkLabel::LinkLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
}

QColor LinkLabel::color() const
{
    return palette().color(QPalette::WindowText);
}

void LinkLabel::setColor(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

void LinkLabel::setUnderlined(bool underlined)
{
    QFont f = font();
    f.setUnderline(underlined);
    setFont(f);
}

void LinkLabel::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved();
    QLabel::mouseMoveEvent(event);
}

void LinkLabel::leaveEvent(QEvent *event)
{
    emit mouseLeft();
    QLabel::leaveEvent(event);
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    m_click.press(event);
    emit pressed(event->button());
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_click.release(event, rect()))
        emit clicked();
}
