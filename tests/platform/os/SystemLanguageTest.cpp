#include "platform/os/SystemLanguage.h"

#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

using platform::langIdFromLocaleName;

TEST(SystemLanguageTest, LocaleNamesGiveWindowsLanguageIdentifiers)
{
    EXPECT_EQ(langIdFromLocaleName(QStringLiteral("zh_CN.UTF-8")), 0x0804);
    EXPECT_EQ(langIdFromLocaleName(QStringLiteral("zh_TW.Big5")), 0x0404);
    EXPECT_EQ(langIdFromLocaleName(QStringLiteral("zh_HK")), 0x0c04);
    EXPECT_EQ(langIdFromLocaleName(QStringLiteral("pt_BR.UTF-8")), 0x0416);
    EXPECT_EQ(langIdFromLocaleName(QStringLiteral("pt_PT@euro")), 0x0816);
    EXPECT_EQ(langIdFromLocaleName(QStringLiteral("de_DE.UTF-8")), 0x0407);
    EXPECT_EQ(langIdFromLocaleName(QStringLiteral("ja_JP.eucJP")), 0x0411);
    EXPECT_EQ(langIdFromLocaleName(QStringLiteral("eu_ES")), 0x042d);
    EXPECT_EQ(langIdFromLocaleName(QStringLiteral("ms_MY")), 0x043e);
    // A territory without a sublanguage of its own, and no territory at all.
    EXPECT_EQ(langIdFromLocaleName(QStringLiteral("ru_UA.UTF-8")), 0x0419);
    EXPECT_EQ(langIdFromLocaleName(QStringLiteral("fr")), 0x040c);
}

TEST(SystemLanguageTest, CAndUnknownLocales)
{
    EXPECT_EQ(langIdFromLocaleName(QStringLiteral("C")), 0x0409);
    EXPECT_EQ(langIdFromLocaleName(QStringLiteral("POSIX")), 0x0409);
    EXPECT_EQ(langIdFromLocaleName(QStringLiteral("C.UTF-8")), 0x0409);
    EXPECT_EQ(langIdFromLocaleName(QStringLiteral("xx_YY")), 0);
    EXPECT_EQ(platform::primaryLanguageOf(0x0804), 4);
    EXPECT_EQ(platform::subLanguageOf(0x0804), 2);
}

TEST(SystemLanguageTest, EnvironmentIsReadInPosixOrder)
{
    ScopedEnv all("LC_ALL", "pt_BR.UTF-8");
    ScopedEnv messages("LC_MESSAGES", "de_DE.UTF-8");
    ScopedEnv lang("LANG", "zh_CN.UTF-8");
    EXPECT_EQ(platform::systemDefaultLangId(), 0x0416);
    {
        ScopedEnv noAll("LC_ALL", "");
        EXPECT_EQ(platform::systemDefaultLangId(), 0x0407);
        ScopedEnv noMessages("LC_MESSAGES", "");
        EXPECT_EQ(platform::systemDefaultLangId(), 0x0804);
        ScopedEnv noLang("LANG", "");
        EXPECT_EQ(platform::systemDefaultLangId(), 0x0409);
    }
}
