#include "platform/ui/FontSubstitution.h"

#include <QApplication>
#include <QFont>

namespace platform {

namespace {

// The Windows names of the Song (serif) and Hei (sans) Chinese faces that the
// windows ask for.
constexpr const char *kSongNames[] = {"新宋体", "宋体", "NSimSun", "SimSun"};
constexpr const char *kHeiNames[] = {"黑体", "SimHei", "微软雅黑", "Microsoft YaHei"};
constexpr const char *kLatinSansNames[] = {"Tahoma", "MS Sans Serif", "Arial", "Verdana"};

} // namespace

QStringList songFamilies()
{
    // Noto CJK first: its Latin letters are proportional, where AR PL UMing's
    // are typewriter-like. Each later family is there for a machine without
    // the ones before it.
    return {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
            QStringLiteral("AR PL UMing TW"), QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("WenQuanYi Micro Hei")};
}

QStringList heiFamilies()
{
    return {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
            QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")};
}

void installFontSubstitutions()
{
    for (const char *name : kSongNames)
        QFont::insertSubstitutions(QString::fromUtf8(name), songFamilies());
    for (const char *name : kHeiNames)
        QFont::insertSubstitutions(QString::fromUtf8(name), heiFamilies());
    // The Latin faces of the upgrade windows and the bar's presets; their
    // Chinese texts come from the Hei face.
    QStringList sans{QStringLiteral("DejaVu Sans")};
    sans += heiFamilies();
    for (const char *name : kLatinSansNames)
        QFont::insertSubstitutions(QLatin1String(name), sans);

    QFont font(QStringLiteral("新宋体"));
    font.setPixelSize(12);
    QApplication::setFont(font);
}

} // namespace platform
