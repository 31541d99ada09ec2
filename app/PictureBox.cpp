#include "app/PictureBox.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

class PictureBoxAccessible : public QAccessibleWidget
{
public:
    explicit PictureBoxAccessible(PictureBox *box) : QAccessibleWidget(box, box->accessibleRole())
    {
        if (box->accessibleRole() == QAccessible::Link || box->accessibleRole() == QAccessible::PushButton)
            addControllingSignal(QStringLiteral("clicked()"));
    }
    QStringList actionNames() const override
    {
        const QAccessible::Role r = role();
        if (r == QAccessible::Link || r == QAccessible::PushButton)
            return {pressAction()};
        return QAccessibleWidget::actionNames();
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && actionNames().contains(name) && widget()->isEnabled())
            emit static_cast<PictureBox *>(widget())->clicked();
    }
};

QAccessibleInterface *pictureBoxFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("PictureBox") && object && object->isWidgetType())
        return new PictureBoxAccessible(static_cast<PictureBox *>(object));
    return nullptr;
}

} // namespace

PictureBox::PictureBox(const QImage &picture, QWidget *parent) : QWidget(parent), m_picture(picture)
{
    static const bool accessible = (QAccessible::installFactory(pictureBoxFactory), true);
    Q_UNUSED(accessible);
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

void PictureBox::setFixedEnds(int left, int right)
{
    m_fixedLeft = left;
    m_fixedRight = right;
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter p(this);
    if (m_fixedLeft > 0 || m_fixedRight > 0) {
        const int h = m_picture.height();
        const int right = std::min(m_fixedRight, m_picture.width() - m_fixedLeft - 1);
        p.drawImage(QPoint(0, 0), m_picture, QRect(0, 0, m_fixedLeft, h));
        p.drawImage(QRect(m_fixedLeft, 0, std::max(0, width() - m_fixedLeft - right), h), m_picture,
                    QRect(m_fixedLeft, 0, 1, h));
        p.drawImage(QPoint(width() - right, 0), m_picture, QRect(m_picture.width() - right, 0, right, h));
        return;
    }
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

void PictureBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}
