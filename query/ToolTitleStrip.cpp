#include "query/ToolTitleStrip.h"

#include "platform/ui/WindowDrag.h"
#include "query/ToolWindowPosition.h"

#include <algorithm>

#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

namespace {

// A screen reader hears the strip as the window's title bar.
QAccessibleInterface *titleStripFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("ToolTitleStrip") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::TitleBar);
    return nullptr;
}

} // namespace

ToolTitleStrip::ToolTitleStrip(const QString &title, QWidget *parent)
    : QWidget(parent), m_title(title), m_close(new QToolButton(this))
{
    setObjectName(QStringLiteral("Image1"));
    setFixedHeight(kHeight);
    static const bool accessible = (QAccessible::installFactory(titleStripFactory), true);
    Q_UNUSED(accessible);
    setAccessibleName(title);
    m_close->setObjectName(QStringLiteral("CloseButton"));
    m_close->setText(QStringLiteral("×"));
    m_close->setToolTip(QStringLiteral("关闭"));
    m_close->setAccessibleName(QStringLiteral("关闭"));
    m_close->setAutoRaise(true);
    m_close->setFocusPolicy(Qt::NoFocus);
    m_close->setCursor(Qt::PointingHandCursor);
    m_close->setFixedSize(15, 15);
    m_close->setStyleSheet(
        QStringLiteral("QToolButton { color: white; border: none; font: bold 14px \"WenQuanYi Micro Hei\"; }"
                       "QToolButton:hover { border: 1px solid white; }"));
}

bool ToolTitleStrip::moveWindow(QWidget *window, Qt::MouseButton button, const QPointF &globalPos)
{
    return platform::dragWindow(window, button, globalPos);
}

void ToolTitleStrip::placeOverOwner(QWidget *window)
{
    const QWidget *owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    QRect area;
    if (owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (const QScreen *screen = window->screen())
        area = screen->availableGeometry();
    if (area.isValid()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(area.center());
        window->move(frame.topLeft());
    }
    keepOnScreen(window);
}

void ToolTitleStrip::keepOnScreen(QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QScreen *screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The top-left corner wins when the window is larger than the screen.
    const int x = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    if (x != frame.left() || y != frame.top())
        window->move(x, y);
}

void ToolTitleStrip::placeForShowing(QWidget *window, bool &placed)
{
    if (!placed)
        placeOverOwner(window);
    else
        keepOnScreen(window);
    placed = true;
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
    emit pressed(event->button(), event->globalPosition());
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
    followShownPosition(window);
}
