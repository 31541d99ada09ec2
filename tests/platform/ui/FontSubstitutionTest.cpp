#include "platform/ui/FontSubstitution.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>

#include <gtest/gtest.h>

namespace {

QString resolved(const char *name)
{
    return QFontInfo(QFont(QString::fromUtf8(name))).family();
}

} // namespace

// The windows' Chinese face names come out as Noto CJK where it is installed
// (the project's scripts and the package install it), otherwise as the first
// installed family of the fallbacks.
TEST(FontSubstitution, SongAndHeiFacesResolveToTheBestInstalledChineseFont)
{
    const QFont before = QApplication::font();
    platform::installFontSubstitutions();
    auto firstInstalled = [](const QStringList &families) {
        for (const QString &family : families)
            if (QFontDatabase::hasFamily(family))
                return family;
        return QString();
    };
    const QString song = firstInstalled(platform::songFamilies());
    const QString hei = firstInstalled(platform::heiFamilies());
    ASSERT_FALSE(song.isEmpty()) << "no Chinese font installed";
    if (QFontDatabase::hasFamily(QStringLiteral("Noto Serif CJK SC"))) {
        EXPECT_EQ(song, QStringLiteral("Noto Serif CJK SC"));
        EXPECT_EQ(hei, QStringLiteral("Noto Sans CJK SC"));
    }
    for (const char *name : {"新宋体", "宋体", "NSimSun", "SimSun"})
        EXPECT_EQ(resolved(name), song) << name;
    for (const char *name : {"黑体", "SimHei", "微软雅黑", "Microsoft YaHei"})
        EXPECT_EQ(resolved(name), hei) << name;
    EXPECT_EQ(QFontInfo(QApplication::font()).family(), song);
    EXPECT_EQ(QApplication::font().pixelSize(), 12);
    QApplication::setFont(before);
}
