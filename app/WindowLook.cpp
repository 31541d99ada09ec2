#include "app/WindowLook.h"

#include <QPalette>
#include <QWidget>

namespace look {

QFont songFont(int pixels, bool bold)
{
    QFont f(QStringLiteral("新宋体"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

void setBackground(QWidget *widget, const QColor &color)
{
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, color);
    widget->setPalette(pal);
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, color);
    widget->setPalette(pal);
}

} // namespace look
