#include "resources/Pictures.h"

#include "platform/ui/JpegDecoder.h"

#include <QFile>
#include <QtDebug>

#include <array>
#include <mutex>

// The pictures are compiled into this static library; the linker keeps a
// resource's registration only when the program asks for it by name. The
// macro has to be used outside any namespace.
static void registerPictureResources()
{
    Q_INIT_RESOURCE(velmora_pictures);
}

namespace resources {

namespace {

constexpr int kPictureCount = int(Picture::Advert) + 1;
constexpr int kBarImageCount = 7;

struct PictureFile
{
    const char *name;
    QSize size;
};

PictureFile fileOf(Picture which)
{
    switch (which) {
    case Picture::TitleStrip:
        return {"title-strip.jpg", {800, 21}};
    case Picture::Background:
        return {"background.jpg", {800, 579}};
    case Picture::Logo:
        return {"logo.jpg", {180, 65}};
    case Picture::Banner:
        return {"banner.jpg", {439, 60}};
    case Picture::Splash:
        return {"splash.jpg", {492, 334}};
    case Picture::About:
        return {"about.jpg", {240, 180}};
    case Picture::Join:
        return {"join.jpg", {200, 60}};
    case Picture::Agent:
        return {"agent.jpg", {200, 150}};
    case Picture::Advert:
        return {"advert.jpg", {200, 150}};
    }
    return {"", {1, 1}};
}

void ensureRegistered()
{
    static std::once_flag once;
    std::call_once(once, registerPictureResources);
}

QImage load(Picture which)
{
    const PictureFile file = fileOf(which);
    const QString path = QStringLiteral(":/pictures/") + QLatin1String(file.name);
    QImage image;
    QFile data(path);
    if (!data.open(QIODevice::ReadOnly)) {
        qWarning("Picture %s is missing from the program's resources", file.name);
    } else {
        try {
            image = platform::decodeJpeg(data.readAll());
        } catch (const platform::JpegError &e) {
            qWarning("Picture %s: %s", file.name, e.what());
        }
    }
    if (image.size() == file.size)
        return image;
    // Callers lay out windows around these sizes; a damaged resource must not
    // move the panels, so it shows as a plain face of the declared size.
    if (!image.isNull())
        qWarning("Picture %s is %dx%d instead of %dx%d", file.name, image.width(), image.height(),
                 file.size.width(), file.size.height());
    QImage plain(file.size, QImage::Format_RGB32);
    plain.fill(QColor(241, 241, 241));
    return plain;
}

} // namespace

QImage picture(Picture which)
{
    ensureRegistered();
    static std::mutex mutex;
    static std::array<QImage, kPictureCount> cache;
    const std::lock_guard lock(mutex);
    QImage &cached = cache[std::size_t(which)];
    if (cached.isNull())
        cached = load(which);
    return cached;
}

QImage barImage(int index)
{
    if (index < 0 || index >= kBarImageCount)
        return {};
    ensureRegistered();
    const QImage image(QStringLiteral(":/pictures/bar-%1.png").arg(index));
    if (image.isNull())
        qWarning("Side bar image %d is missing from the program's resources", index);
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace resources
