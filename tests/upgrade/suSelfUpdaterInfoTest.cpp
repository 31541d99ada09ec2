#include "upgrade/suSelfUpdaterInfo.h"
#include "upgrade/helper/suVersion.h"
#include "upgrade/suMessageFormat.h"

#include <gtest/gtest.h>

TEST(SuInfoFile, FindsKeysWhereverTheyStandFirstOneWinning)
{
    const QString text = QStringLiteral("note: #VERSION=3.1\r\n#version=9\n#Date=01/08/2004\t(old)\n"
                                        "#method=2 redirect\n#url=  http://h/a b  \n");
    EXPECT_EQ(suInfoValue(text, QStringLiteral("version")), QStringLiteral("3.1"))
        << "case folded, first wins";
    EXPECT_EQ(suInfoValue(text, QStringLiteral("date")), QStringLiteral("01/08/2004"))
        << "a tab ends the value";
    EXPECT_EQ(suInfoValue(text, QStringLiteral("url")), QStringLiteral("  http://h/a b  "))
        << "blanks are kept";
    EXPECT_EQ(suInfoValue(text, QStringLiteral("missing")), QString());
    EXPECT_EQ(suInfoMethod(text), umRedirectToURL);
    EXPECT_EQ(suInfoMethod(QStringLiteral("#method=1")), umUseExternalSetup);
    EXPECT_EQ(suInfoMethod(QStringLiteral("#method=x")), umSelfUpgrade);
    EXPECT_EQ(suInfoValue(QStringLiteral("#version=2"), QStringLiteral("version")), QStringLiteral("2"))
        << "a value may end the text";
    // Folding one code unit at a time keeps positions: this capital grows
    // when a whole text is lower-cased.
    EXPECT_EQ(suInfoValue(QStringLiteral("\u0130\u0130#VERSION=4"), QStringLiteral("version")),
              QStringLiteral("4"));
}

TEST(SuInfoFile, MessageRunsBetweenBracesOverLines)
{
    EXPECT_EQ(suInfoMessage(QStringLiteral("#MESSAGE={新版本：\r\n更快}#x=1}")),
              QStringLiteral("新版本：\r\n更快"));
    EXPECT_EQ(suInfoMessage(QStringLiteral("#message=plain text")), QString())
        << "the brace belongs to the key";
    EXPECT_EQ(suInfoMessage(QStringLiteral("#message={")), QString());
}

TEST(SuInfoFile, ListsUrlsInOrderWithTheirChecksums)
{
    const auto urls = [](const QString &text) {
        QStringList list;
        for (const TsuInfoFileEntry &entry : suInfoFiles(text))
            list << entry.URL;
        return list;
    };
    EXPECT_EQ(urls(QStringLiteral("#version=2\n#url=A\n#url2=B\n#url3=C\n#url5=E\n")),
              QStringList({"A", "B", "C"}));
    EXPECT_EQ(urls(QStringLiteral("#url=A\n#url1=B\n")), QStringList({"A"})) << "numbering continues at 2";
    EXPECT_EQ(urls(QStringLiteral("#url1=A\n#url2=B\n")), QStringList({"A", "B"}));
    EXPECT_EQ(urls(QStringLiteral("#url0=Z\n#url=A\n#url3=C\n")), QStringList({"A", "Z", "C"}));
    EXPECT_EQ(urls(QStringLiteral("#url=\n#url1=A\n")), QStringList({"A"})) << "an empty url is not listed";
    EXPECT_TRUE(urls(QStringLiteral("#version=3\n")).isEmpty());

    const QList<TsuInfoFileEntry> files = suInfoFiles(
        QStringLiteral("#url=A\n#sha256=ab12 \n#size=5000000000\n#url2=B\n#size2=-3\n#url3=C\n#SHA2563=CD34\n"
                       "#size3= 12 \n"));
    ASSERT_EQ(files.size(), 3);
    EXPECT_EQ(files[0].SHA256, QStringLiteral("ab12"));
    EXPECT_EQ(files[0].Size, 5000000000) << "sizes are 64-bit";
    EXPECT_EQ(files[1].SHA256, QString()) << "a file without the key has no checksum";
    EXPECT_EQ(files[1].Size, -1) << "a size that is no count of bytes is none";
    EXPECT_EQ(files[2].SHA256, QStringLiteral("CD34"));
    EXPECT_EQ(files[2].Size, 12);
}

TEST(SuInfoFile, ComparesVersionsByNumbersOf64Bits)
{
    const auto compare = [](const char *remote, const char *local) {
        return CompareVersions(QString::fromLatin1(remote), QString::fromLatin1(local));
    };
    EXPECT_GT(compare("1.2", "1.1.9"), 0);
    EXPECT_EQ(compare("1.2", "1.2.0.0"), 0);
    EXPECT_EQ(compare("1", "1.0.0.0"), 0);
    EXPECT_GT(compare("1.10", "1.9"), 0) << "parts compare as numbers";
    EXPECT_LT(compare("1.9", "1.10"), 0);
    EXPECT_EQ(compare("2.0.0.0.7", "2"), 0) << "a fifth part is ignored";
    // A date-like version does not fall back to comparing text: a replayed
    // 9.1 is older than an installed 202612091730.
    EXPECT_LT(compare("9.1", "202612091730"), 0);
    EXPECT_GT(compare("18446744073709551615", "18446744073709551614"), 0);

    // A remote version that does not read is refused, not compared.
    for (const char *unreadable : {"1.0b", "", "-1", "+2", "1..2", "2.1 beta", "18446744073709551616"})
        EXPECT_FALSE(compare(unreadable, "1").has_value()) << unreadable;
    EXPECT_GT(compare("2", "Error"), 0) << "a lost local version is older than any release";
}

TEST(SuVersion, TheHigherOfTwoTextsThatRead)
{
    EXPECT_EQ(suHigherVersion(QStringLiteral("2.1"), QStringLiteral("2.10")), QStringLiteral("2.10"));
    EXPECT_EQ(suHigherVersion(QStringLiteral("3"), QStringLiteral("2.9")), QStringLiteral("3"));
    EXPECT_EQ(suHigherVersion(QStringLiteral("Error"), QStringLiteral("2")), QStringLiteral("2"));
    EXPECT_EQ(suHigherVersion(QStringLiteral("2"), QString()), QStringLiteral("2"));
    EXPECT_EQ(suHigherVersion(QStringLiteral("Error"), QString()), QStringLiteral("Error"));
}

TEST(SuInfoFile, ReadsMonthDayYearDates)
{
    EXPECT_EQ(ParseInfoDate(QStringLiteral("01/08/2004")), QDate(2004, 1, 8));
    EXPECT_LT(ParseInfoDate(QStringLiteral("01/07/2004")), ParseInfoDate(QStringLiteral("01/08/2004")));
    EXPECT_EQ(ParseInfoDate(QStringLiteral("13/01/2004")), QDate::currentDate());
    EXPECT_EQ(ParseInfoDate(QString()), QDate::currentDate());
}

TEST(SuMessageFormat, FillsPlaceholdersInOrder)
{
    EXPECT_EQ(suFormatMessage(QStringLiteral("Estimated time left: %d:%.2d:%.2d"), {1, 5, 9}),
              QStringLiteral("Estimated time left: 1:05:09"));
    EXPECT_EQ(suFormatMessage(QStringLiteral("文档大小:%.1f Kb"), {1.25 * 4}),
              QStringLiteral("文档大小:5.0 Kb"));
    EXPECT_EQ(
        suFormatMessage(QStringLiteral("%s已经有新版本推出，\n%s\n"), {QStringLiteral("Velmora"), QString()}),
        QStringLiteral("Velmora已经有新版本推出，\n\n"));
    EXPECT_EQ(suFormatMessage(QStringLiteral("100%% of %s and %s"), {QStringLiteral("one")}),
              QStringLiteral("100% of one and "))
        << "a missing argument is left out";
    EXPECT_EQ(suFormatMessage(QStringLiteral("%x %s"), {QStringLiteral("a")}), QStringLiteral("%x a"));
}
