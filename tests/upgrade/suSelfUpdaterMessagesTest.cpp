#include "upgrade/suSelfUpdaterMessages.h"

#include "resources/UpgradeStrings.h"
#include "support/ScopedEnv.h"
#include "upgrade/suSelfUpdaterNotices.h"
#include "upgrade/suUpgradeWindows.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

constexpr int kLanguages = 25;
// Messages 0..30 of the windows and boxes, the updater's notices 31..47 and
// the wizard's texts of a continued download 48..49: each table fills its
// fifty places.
constexpr int kMessages = 50;

int idOf(int language, int message)
{
    return 41000 + 50 * (language - 1) + message;
}

// The C format conversions of a text, in order ("%%" is not one).
QStringList placeholders(const QString &text)
{
    static const QRegularExpression conversion(QStringLiteral("%[-+ #0]*[0-9]*(?:\\.[0-9]+)?[a-zA-Z%]"));
    QStringList found;
    for (auto it = conversion.globalMatch(text); it.hasNext();) {
        const QString c = it.next().captured();
        if (c != QLatin1String("%%"))
            found << c;
    }
    return found;
}

class SelfUpdaterMessagesTest : public ::testing::Test
{
protected:
    void TearDown() override { suSetLanguage(wlEnglish); }
};

} // namespace

// Every message of every language formats with exactly the arguments its
// English row is given, so no formatting reads past them.
TEST_F(SelfUpdaterMessagesTest, EveryLanguageHasEveryMessageWithTheEnglishPlaceholders)
{
    for (int language = 1; language <= kLanguages; ++language) {
        for (int i = 0; i < kMessages; ++i) {
            const QString text = suString(idOf(language, i));
            const QString english = suString(idOf(1, i));
            SCOPED_TRACE(
                QStringLiteral("language %1 message %2: %3").arg(language).arg(i).arg(text).toStdString());
            EXPECT_FALSE(text.trimmed().isEmpty());
            EXPECT_EQ(placeholders(text), placeholders(english));
        }
    }
    EXPECT_TRUE(suString(idOf(kLanguages, kMessages)).isEmpty()) << "nothing after the last table";
    EXPECT_EQ(placeholders(suString(41008)),
              (QStringList{QStringLiteral("%d"), QStringLiteral("%.2d"), QStringLiteral("%.2d")}));
}

TEST_F(SelfUpdaterMessagesTest, FixedTextsAndLineBreaks)
{
    EXPECT_EQ(suString(41000), QStringLiteral("Application update wizard"));
    EXPECT_EQ(suString(41010),
              QStringLiteral("The update of %s has been successfully completed.\r\rPress the OK "
                             "button to restart program."));
    EXPECT_EQ(suString(41029),
              QStringLiteral("Access to remote file \"%s\" is password protected.\n\nPlease enter "
                             "your username and password (received after registration) to "
                             "continue software upgrade."));
    EXPECT_EQ(suString(42050), QStringLiteral("软件升级精灵"));
    EXPECT_EQ(suString(42076),
              QStringLiteral("无法与服务器%s连接。\r\r请检查您的internet设定之后再进行升级操作。"));
    EXPECT_EQ(suString(41050), QStringLiteral("Мастер обновления приложений"));
    EXPECT_EQ(suString(41100), QStringLiteral("Upgrade Anwendungsassistent"));
    EXPECT_EQ(suString(41031), QStringLiteral("The file %s could not be written to the program folder.\r\r"
                                              "The upgrade has been stopped; nothing was installed."));
    EXPECT_EQ(suString(42083), QStringLiteral("无法启动升级程序，\r\r升级操作已停止，没有安装任何文档。"));
    EXPECT_EQ(suString(40997), QStringLiteral("<AppTitle>"));
    EXPECT_FALSE(suString(40998).isEmpty());
    EXPECT_FALSE(suString(40999).isEmpty());
    EXPECT_TRUE(suString(40000).isEmpty());
}

// Each notice is its own row of the current language, in the order of the
// enumeration, so a damaged download is never reported as a write failure.
TEST_F(SelfUpdaterMessagesTest, NoticesFollowTheLanguage)
{
    suSetLanguage(wlChineseSimplified);
    EXPECT_EQ(suUpdaterNotice(TsuUpdaterNotice::TempFileFailed),
              QStringLiteral("无法在程序目录中写入文档%s，\r\r升级操作已停止，没有安装任何文档。"));
    EXPECT_EQ(
        suUpdaterNotice(TsuUpdaterNotice::ChecksumMismatch),
        QStringLiteral("下载的文档%s已损坏或被改动（校验和不符），\r\r升级操作已停止，没有安装任何文档。"));
    suSetLanguage(wlEnglish);
    EXPECT_EQ(suUpdaterNotice(TsuUpdaterNotice::ChecksumMismatch),
              QStringLiteral("The downloaded file %s is damaged or has been altered (its checksum does not "
                             "match).\r\rThe upgrade has been stopped; nothing was installed."));
    EXPECT_EQ(suUpdaterNotice(TsuUpdaterNotice::HelperFailed),
              QStringLiteral("The upgrade program could not be started.\r\rThe upgrade has been stopped; "
                             "nothing was installed."));
    suSetLanguage(wlGerman);
    EXPECT_TRUE(suUpdaterNotice(TsuUpdaterNotice::HelperFailed)
                    .startsWith(QStringLiteral("Das Aktualisierungsprogramm")));
}

TEST_F(SelfUpdaterMessagesTest, TableFilesAreReadLineByLine)
{
    QHash<int, QString> strings;
    resources::parseUpgradeStrings("# a comment\t1\n"
                                   "7\tone\\rtwo\\nthree\\\\four\\t\n"
                                   "8\tsaved with CRLF\r\n"
                                   "not a line\n"
                                   "\tno identifier\n"
                                   "9\t\n",
                                   strings);
    EXPECT_EQ(strings.size(), 3);
    EXPECT_EQ(strings.value(7), QStringLiteral("one\rtwo\nthree\\four\\t"));
    EXPECT_EQ(strings.value(8), QStringLiteral("saved with CRLF"));
    EXPECT_TRUE(strings.contains(9));
}

TEST_F(SelfUpdaterMessagesTest, SystemLanguageChoosesTheTable)
{
    const struct
    {
        int langId;
        TsuSelfUpdaterLanguage language;
    } cases[] = {
        {0x0804, wlChineseSimplified},
        {0x0404, wlChineseTraditional},
        {0x0c04, wlChineseTraditional},
        {0x0416, wlPortugueseBrazilian},
        {0x0816, wlPortuguese},
        {0x0407, wlGerman},
        {0x0c07, wlGerman},
        {0x0419, wlRussian},
        {0x043e, wlMalay},
        {0x040f, wlIcelandic},
        {0x0411, wlEnglish},
        {0, wlEnglish},
    };
    for (const auto &c : cases)
        EXPECT_EQ(suLanguageForLangId(c.langId), c.language) << std::hex << c.langId;
}

TEST_F(SelfUpdaterMessagesTest, AutoFollowsTheEnvironment)
{
    ScopedEnv all("LC_ALL", "");
    ScopedEnv messages("LC_MESSAGES", "");
    {
        ScopedEnv lang("LANG", "zh_CN.UTF-8");
        suSetLanguage(wlAuto);
        EXPECT_EQ(suMessageBase(), 42050);
        EXPECT_EQ(suMessage(0), QStringLiteral("软件升级精灵"));
        EXPECT_EQ(suMessage(2), QStringLiteral("升级完成！"));
    }
    {
        ScopedEnv lang("LANG", "pt_BR.UTF-8");
        suSetLanguage(wlAuto);
        EXPECT_EQ(suMessageBase(), 41300);
    }
    {
        ScopedEnv lang("LANG", "ja_JP.UTF-8");
        suSetLanguage(wlAuto);
        EXPECT_EQ(suMessageBase(), 41000);
        EXPECT_EQ(suMessage(0), QStringLiteral("Application update wizard"));
    }
}

TEST_F(SelfUpdaterMessagesTest, LanguageIsSharedByAllUpdaters)
{
    TsuSelfUpdaterWizard first;
    TsuSelfUpdaterWizard second;
    EXPECT_EQ(first.Language(), wlAuto);
    first.SetLanguage(wlGerman);
    EXPECT_EQ(suMessageBase(), 41100);
    second.SetLanguage(wlIcelandic);
    EXPECT_EQ(suMessageBase(), 42200);
    EXPECT_EQ(suMessage(21), QStringLiteral("Villa"));
    EXPECT_EQ(first.Language(), wlGerman);
}
