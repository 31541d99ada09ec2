#include "upgrade/suSelfUpdaterMessages.h"

#include "platform/os/SystemLanguage.h"
#include "resources/UpgradeStrings.h"

#include <QCoreApplication>

#include <atomic>

namespace {

constexpr int kFirstBase = 41000;
constexpr int kLanguageStride = 50;
constexpr int kAppTitleString = 40997;
constexpr int kMarkerString = 40998;

// Windows primary language identifier of each language, wlEnglish first.
constexpr int kPrimaryIds[] = {9,  25, 7,  12, 10, 22, 22, 16, 19, 6,  29, 11, 37,
                               34, 5,  14, 24, 3,  45, 54, 4,  4,  33, 62, 15};
static_assert(std::size(kPrimaryIds) == wlIcelandic);

constexpr int kPrimaryPortuguese = 22;
constexpr int kPrimaryChinese = 4;
constexpr int kSubPortugueseBrazilian = 1;
constexpr int kSubChineseSimplified = 2;

// 0 until a language is chosen; the first reader then takes the system's.
std::atomic<int> g_base{0};

int baseOf(TsuSelfUpdaterLanguage language)
{
    return kFirstBase + kLanguageStride * (int(language) - 1);
}

} // namespace

TsuSelfUpdaterLanguage suLanguageForLangId(int langId)
{
    const int primary = platform::primaryLanguageOf(langId);
    const int sub = platform::subLanguageOf(langId);
    if (primary == kPrimaryPortuguese)
        return sub == kSubPortugueseBrazilian ? wlPortugueseBrazilian : wlPortuguese;
    if (primary == kPrimaryChinese)
        return sub == kSubChineseSimplified ? wlChineseSimplified : wlChineseTraditional;
    for (int i = 0; i < int(std::size(kPrimaryIds)); ++i) {
        if (kPrimaryIds[i] == primary)
            return TsuSelfUpdaterLanguage(wlEnglish + i);
    }
    return wlEnglish;
}

void suSetLanguage(TsuSelfUpdaterLanguage language)
{
    if (language < wlAuto || language > wlIcelandic)
        language = wlAuto;
    if (language == wlAuto)
        language = suLanguageForLangId(platform::systemDefaultLangId());
    g_base = baseOf(language);
}

int suMessageBase()
{
    if (g_base == 0)
        suSetLanguage(wlAuto);
    return g_base;
}

QString suString(int id)
{
    return resources::upgradeString(id);
}

QString suMessage(int i)
{
    const QString text = suString(suMessageBase() + i);
    // Every table is complete; English covers an index outside them.
    return text.isEmpty() ? suString(kFirstBase + i) : text;
}

QString suApplicationTitle()
{
    const QString title = QCoreApplication::applicationName();
    const QString marker = suString(kMarkerString);
    if (!marker.isEmpty() && title.contains(marker))
        return suString(kAppTitleString);
    return title;
}
