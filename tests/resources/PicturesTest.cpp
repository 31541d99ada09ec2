#include "resources/Pictures.h"
#include "resources/AppIcon.h"

#include <QSet>
#include <gtest/gtest.h>

using resources::Picture;

namespace {

// Distinct colours in an image, up to a small limit: the plain face shown for
// a missing or damaged resource has exactly one.
int coloursIn(const QImage &image, int limit = 16)
{
    QSet<QRgb> seen;
    for (int y = 0; y < image.height() && seen.size() < limit; y += 3)
        for (int x = 0; x < image.width() && seen.size() < limit; x += 3)
            seen.insert(image.pixel(x, y));
    return int(seen.size());
}

} // namespace

TEST(Pictures, EveryPictureDecodesAtItsDeclaredSize)
{
    const std::pair<Picture, QSize> expected[] = {
        {Picture::TitleStrip, {800, 21}}, {Picture::Background, {800, 579}}, {Picture::Logo, {180, 65}},
        {Picture::Banner, {439, 60}},     {Picture::Splash, {492, 334}},     {Picture::About, {240, 180}},
        {Picture::Join, {200, 60}},       {Picture::Agent, {200, 150}},      {Picture::Advert, {200, 150}},
    };
    for (const auto &[which, size] : expected) {
        const QImage image = resources::picture(which);
        EXPECT_EQ(image.size(), size) << "picture " << int(which);
        EXPECT_GT(coloursIn(image), 4) << "picture " << int(which) << " is a plain face, not the picture";
    }
}

TEST(Pictures, BarImagesAreThirtyTwoPixelsWithTransparentEdges)
{
    for (int i = 0; i < 7; ++i) {
        const QImage image = resources::barImage(i);
        ASSERT_EQ(image.size(), QSize(32, 32)) << "bar image " << i;
        ASSERT_TRUE(image.hasAlphaChannel());
        int opaque = 0, clear = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                opaque += alpha == 255;
                clear += alpha == 0;
            }
        EXPECT_GT(opaque, 150) << "bar image " << i;
        EXPECT_GT(clear, 50) << "bar image " << i << " should show the bar through its corners";
    }
    EXPECT_TRUE(resources::barImage(7).isNull());
    EXPECT_TRUE(resources::barImage(-1).isNull());
}

TEST(Pictures, ApplicationIconComesInEveryInstalledSize)
{
    const QIcon icon = resources::applicationIcon();
    for (int size : {16, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
        // The sizes are recorded without reading the files; drawing one reads it.
        const QImage image = icon.pixmap(size, size).toImage();
        EXPECT_EQ(image.size(), QSize(size, size));
        EXPECT_GT(coloursIn(image), 4) << size;
    }
}
