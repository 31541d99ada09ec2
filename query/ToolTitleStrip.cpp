#include "query/ToolTitleStrip.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QWindow>

ToolTitleStrip::ToolTitleStrip(const QString &title, QWidget *parent)
    : QWidget(parent), m_title(title), m_close(new QToolButton(this))
{
    setObjectName(QStringLiteral("Image1"));
    setFixedHeight(kHeight);
    m_close->setObjectName(QStringLiteral("CloseButton"));
    m_close->setText(QStringLiteral("×"));
    m_close->setAutoRaise(true);
    m_close->setFocusPolicy(Qt::NoFocus);
    m_close->setCursor(Qt::PointingHandCursor);
    m_close->setFixedSize(15, 15);
    m_close->setStyleSheet(QStringLiteral("QToolButton { color: white; border: none; font-weight: bold; }"
                                          "QToolButton:hover { border: 1px solid white; }"));
}

bool ToolTitleStrip::moveWindow(QWidget *window)
{
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    QWindow *handle = window ? window->window()->windowHandle() : nullptr;
    return handle && handle->startSystemMove();
}

void ToolTitleStrip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect strip(0, 0, width(), kStripHeight);
    QLinearGradient shade(strip.topLeft(), strip.bottomLeft());
    shade.setColorAt(0, QColor(70, 110, 170));
    shade.setColorAt(1, QColor(30, 60, 120));
    p.fillRect(strip, shade);
    p.fillRect(QRect(0, kStripHeight, width(), 1), QColor(128, 128, 128));

    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(14);
    p.setFont(bold);
    p.setPen(Qt::white);
    p.drawText(strip.adjusted(6, 0, -24, 0), Qt::AlignLeft | Qt::AlignVCenter, m_title);
}

void ToolTitleStrip::mousePressEvent(QMouseEvent *event)
{
    emit pressed(event->button());
}

void ToolTitleStrip::resizeEvent(QResizeEvent *)
{
    m_close->move(width() - m_close->width() - 4, (kStripHeight - m_close->height()) / 2);
}

void ToolTitleStrip::setUpToolWindow(QWidget *window, const QString &objectName, const QString &title,
                                     QSize size)
{
    window->setObjectName(objectName);
    window->setWindowTitle(title);
    window->setFixedSize(size);
    QFont song(QStringLiteral("新宋体"));
    song.setPixelSize(12);
    window->setFont(song);
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, QColor(241, 241, 241));
    window->setPalette(pal);
    window->setAutoFillBackground(true);
}
