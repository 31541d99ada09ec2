#include "platform/ui/ImageList.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

using namespace platform;

namespace {
QImage Filled(QColor c, int w = 4, int h = 4)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(c);
    return image;
}
} // namespace

TEST(ImageList, CountAndLookups)
{
    ImageList list(4, 4);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Add(Filled(Qt::red)), 0);
    EXPECT_EQ(list.Add(Filled(Qt::green, 8, 8)), 1);
    EXPECT_EQ(list.Image(1).size(), QSize(4, 4)) << "images take the list's size";
    EXPECT_TRUE(list.Image(2).isNull());
    list.Delete(7); // ignored
    list.Delete(0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Image(0).pixel(0, 0), QColor(Qt::green).rgb());
    list.SetSize(16, 16);
    EXPECT_EQ(list.Count(), 0);
}

TEST(ImageList, ChangeLinksHearEveryChangeUntilUnregistered)
{
    ImageList list(4, 4);
    int changes = 0;
    {
        ImageListChangeLink link;
        link.OnChange = [&] { ++changes; };
        list.RegisterChanges(link);
        EXPECT_EQ(link.Sender(), &list);
        list.Add(Filled(Qt::red));
        list.Replace(0, Filled(Qt::blue));
        list.Clear();
        EXPECT_EQ(changes, 3);
        list.Clear(); // already empty: no change
        EXPECT_EQ(changes, 3);
    } // the link unregisters itself
    list.Add(Filled(Qt::red));
    EXPECT_EQ(changes, 3);
}

TEST(ImageList, ALinkOutlivingItsListIsDetached)
{
    ImageListChangeLink link;
    bool destroyedSeen = false;
    {
        auto list = std::make_unique<ImageList>();
        list->RegisterChanges(link);
        QObject::connect(list.get(), &QObject::destroyed, [&] { destroyedSeen = true; });
    }
    EXPECT_TRUE(destroyedSeen);
    EXPECT_EQ(link.Sender(), nullptr);
}

TEST(ImageList, TransparentPixelsLeaveTheTargetAlone)
{
    ImageList list(2, 1);
    QImage source(2, 1, QImage::Format_RGB32);
    source.setPixel(0, 0, qRgb(255, 0, 255));
    source.setPixel(1, 0, qRgb(0, 0, 255));
    list.AddMasked(source, RGB(255, 0, 255));

    QImage target(2, 1, QImage::Format_RGB32);
    target.fill(qRgb(0, 255, 0));
    {
        QPainter painter(&target);
        EXPECT_TRUE(list.Draw(painter, 0, 0, 0));
        EXPECT_FALSE(list.Draw(painter, 0, 0, 1));
    }
    EXPECT_EQ(target.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(target.pixel(1, 0), qRgb(0, 0, 255));
}
