#include "resources/Pictures.h"

#include <QPainter>

// Interim drawings at the final sizes until the finished pictures land.
namespace resources {

namespace {
QSize sizeOf(Picture which)
{
    switch (which) {
    case Picture::TitleStrip: return {800, 21};
    case Picture::Background: return {800, 579};
    case Picture::Logo: return {180, 65};
    case Picture::Banner: return {439, 60};
    case Picture::Splash: return {492, 334};
    case Picture::About: return {240, 180};
    case Picture::Join: return {200, 60};
    case Picture::Agent: return {200, 150};
    case Picture::Advert: return {200, 150};
    }
    return {1, 1};
}
} // namespace

QImage picture(Picture which)
{
    QImage image(sizeOf(which), QImage::Format_RGB32);
    image.fill(QColor(40, 90, 160));
    return image;
}

QImage barImage(int index)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setBrush(QColor::fromHsv((index * 50) % 360, 160, 200));
    p.drawEllipse(2, 2, 28, 28);
    return image;
}

} // namespace resources
