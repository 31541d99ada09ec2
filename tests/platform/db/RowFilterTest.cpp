#include "platform/db/RowFilter.h"
#include "platform/db/DbError.h"
#include "store/ColumnStore.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>

using platform::db::ColumnStore;
using platform::db::DbError;
using platform::db::FieldType;
using platform::db::RowFilter;

namespace {

// A cell of the fixture table: text, a number, or null.
using Cell = std::variant<std::monostate, std::string, double>;

struct FilterRow
{
    Cell province;
    Cell name;
    Cell http;
    Cell zip;
    Cell flag;
};

class RowFilterTest : public ::testing::Test
{
protected:
    RowFilterTest()
        : store({{"cProvince", FieldType::WideString},
                 {"cCorpCName", FieldType::WideString},
                 {"cHttp", FieldType::WideString},
                 {"cZip", FieldType::WideString},
                 {"iFlag", FieldType::Integer}})
    {
        const FilterRow rows[] = {
            {"北京市", "北京华远科技有限公司", "http://www.huayuan.com.cn", "100000", 1.0},           // 0
            {"上海市", "上海东方电气集团", "www.dfdq.com", "200001", 0.0},                            // 1
            {"广东省", "O'Brien Trading Co.", "HTTP://OBRIEN.COM", "510000", 1.0},                    // 2
            {"北京市", "北京燕山石化", "", "102500", 0.0},                                            // 3
            {"浙江省", "杭州西湖龙井茶叶公司", std::monostate{}, std::monostate{}, std::monostate{}}, // 4
            {std::monostate{}, "无省份公司", "ftp://none", "7", 2.5},                                 // 5
            {"其他", "Acme 100% Ltd", "acme.example", "-3", -1.0},                                    // 6
        };
        for (const FilterRow &c : rows) {
            append(0, c.province);
            append(1, c.name);
            append(2, c.http);
            append(3, c.zip);
            append(4, c.flag);
            store.finishRow();
        }
        store.finishLoading();
    }

    void append(int col, const Cell &cell)
    {
        if (const auto *text = std::get_if<std::string>(&cell))
            store.appendText(col, *text);
        else if (const auto *num = std::get_if<double>(&cell))
            store.appendNumber(col, *num);
        else
            store.appendNull(col);
    }

    std::vector<int> rows(const char *filter) const
    {
        return RowFilter::parse(QString::fromUtf8(filter)).matchingRows(store);
    }

    ColumnStore store;
};

using Rows = std::vector<int>;

TEST_F(RowFilterTest, EmptyOrBlankTextKeepsEveryRow)
{
    EXPECT_EQ(rows(""), (Rows{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(rows("  \t "), (Rows{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(RowFilter().matchingRows(store).size(), 7u);
}

TEST_F(RowFilterTest, ComparesChineseTextByBytes)
{
    EXPECT_EQ(rows("cProvince='北京市'"), (Rows{0, 3}));
    EXPECT_EQ(rows("cProvince = '浙江省'"), (Rows{4}));
    EXPECT_EQ(rows("cProvince='北京'"), Rows{});
    // Null cells match neither = nor <>.
    EXPECT_EQ(rows("cProvince<>'北京市'"), (Rows{1, 2, 4, 6}));
    // UTF-8 byte order is code point order: 上 (U+4E0A) < 其 (U+5176) < 北 (U+5317).
    EXPECT_EQ(rows("cProvince<'其他'"), (Rows{1}));
    EXPECT_EQ(rows("cProvince>='其他'"), (Rows{0, 2, 3, 4, 6}));
}

TEST_F(RowFilterTest, TextComparisonIgnoresAsciiCase)
{
    EXPECT_EQ(rows("cHttp='http://obrien.com'"), (Rows{2}));
    EXPECT_EQ(rows("cHttp='WWW.DFDQ.COM'"), (Rows{1}));
    EXPECT_EQ(rows("cHttp<'B'"), (Rows{3, 6}));     // "" and "acme.example"
    EXPECT_EQ(rows("cHttp>'HTTP://Z'"), (Rows{1})); // "www..." sorts after, "http://obrien" before
    EXPECT_EQ(rows("cHttp<='ACME.EXAMPLE'"), (Rows{3, 6}));
}

TEST_F(RowFilterTest, NumericColumnComparesNumbers)
{
    EXPECT_EQ(rows("iFlag=1"), (Rows{0, 2}));
    EXPECT_EQ(rows("iFlag = 1.0"), (Rows{0, 2}));
    EXPECT_EQ(rows("iFlag<>1"), (Rows{1, 3, 5, 6}));
    EXPECT_EQ(rows("iFlag>1"), (Rows{5}));
    EXPECT_EQ(rows("iFlag>=1"), (Rows{0, 2, 5}));
    EXPECT_EQ(rows("iFlag<0"), (Rows{6}));
    EXPECT_EQ(rows("iFlag<=0"), (Rows{1, 3, 6}));
    EXPECT_EQ(rows("iFlag=-1"), (Rows{6}));
    EXPECT_EQ(rows("iFlag=2.5"), (Rows{5}));
    EXPECT_EQ(rows("iFlag=+2.5"), (Rows{5}));
    EXPECT_EQ(rows("iFlag=.25e1"), (Rows{5}));
    // Numbers are compared as numbers, not as text: 10 > 2.5 but "10" < "2.5".
    EXPECT_EQ(rows("iFlag<10"), (Rows{0, 1, 2, 3, 5, 6}));
}

TEST_F(RowFilterTest, QuotedValueOnNumericColumnIsConvertedToANumber)
{
    EXPECT_EQ(rows("iFlag='1'"), (Rows{0, 2}));
    EXPECT_EQ(rows("iFlag=' 2.5 '"), (Rows{5}));
    EXPECT_THROW(rows("iFlag='yes'"), DbError);
    EXPECT_THROW(rows("iFlag=''"), DbError);
}

TEST_F(RowFilterTest, NumberOnTextColumnComparesItsText)
{
    EXPECT_EQ(rows("cZip=100000"), (Rows{0}));
    EXPECT_EQ(rows("cZip=100000.0"), (Rows{0})); // written without ".0"
    EXPECT_EQ(rows("cZip=7"), (Rows{5}));
    EXPECT_EQ(rows("cZip=-3"), (Rows{6}));
    // Compared as text: "7" > "510000" but "102500" < "2".
    EXPECT_EQ(rows("cZip>6"), (Rows{5}));
    EXPECT_EQ(rows("cZip<2"), (Rows{0, 3, 6}));
}

TEST_F(RowFilterTest, LikeWithWildcardsAtEitherEndOrInside)
{
    EXPECT_EQ(rows("cCorpCName LIKE '北京%'"), (Rows{0, 3}));
    EXPECT_EQ(rows("cCorpCName LIKE '北京*'"), (Rows{0, 3}));
    EXPECT_EQ(rows("cCorpCName like '%公司'"), (Rows{0, 4, 5}));
    EXPECT_EQ(rows("cCorpCName Like '%电气%'"), (Rows{1}));
    EXPECT_EQ(rows("cCorpCName LIKE '*西湖*'"), (Rows{4}));
    EXPECT_EQ(rows("cCorpCName LIKE '北京%公司'"), (Rows{0}));
    EXPECT_EQ(rows("cCorpCName LIKE '杭%龙%茶%司'"), (Rows{4}));
    EXPECT_EQ(rows("cCorpCName LIKE '杭%茶%龙%'"), Rows{}); // pieces must appear in order
    EXPECT_EQ(rows("cCorpCName LIKE '北京华远科技有限公司'"), (Rows{0}));
    EXPECT_EQ(rows("cCorpCName LIKE '北京'"), Rows{});           // no wildcard: whole text
    EXPECT_EQ(rows("cHttp LIKE '%'"), (Rows{0, 1, 2, 3, 5, 6})); // every non-null cell
    // Prefix and suffix may not overlap in a short text.
    EXPECT_EQ(rows("cZip LIKE '7%7'"), Rows{});
}

TEST_F(RowFilterTest, LikeIgnoresAsciiCaseAndMatchesNumbersAsText)
{
    EXPECT_EQ(rows("cHttp LIKE 'http://%'"), (Rows{0, 2}));
    EXPECT_EQ(rows("cHttp LIKE '%.COM'"), (Rows{1, 2}));
    EXPECT_EQ(rows("cCorpCName LIKE '%TRADING%'"), (Rows{2}));
    EXPECT_EQ(rows("cCorpCName LIKE '%o''b%'"), (Rows{2}));
    EXPECT_EQ(rows("iFlag LIKE '2.%'"), (Rows{5}));
    EXPECT_EQ(rows("iFlag LIKE '1'"), (Rows{0, 2}));
}

TEST_F(RowFilterTest, DoubledQuoteStandsForOne)
{
    EXPECT_EQ(rows("cCorpCName='O''Brien Trading Co.'"), (Rows{2}));
    EXPECT_EQ(rows("cCorpCName='o''brien trading co.'"), (Rows{2}));
    EXPECT_EQ(rows("cCorpCName='O''''Brien Trading Co.'"), Rows{});
    EXPECT_EQ(rows("cCorpCName='It''s (AND) OR'"), Rows{}); // keywords inside quotes are text
}

TEST_F(RowFilterTest, AndBindsTighterThanOr)
{
    // province='北京市' OR (province='广东省' AND iFlag=0): row 2 has iFlag 1.
    EXPECT_EQ(rows("cProvince='北京市' OR cProvince='广东省' AND iFlag=0"), (Rows{0, 3}));
    EXPECT_EQ(rows("cProvince='广东省' AND iFlag=0 OR cProvince='北京市'"), (Rows{0, 3}));
    EXPECT_EQ(rows("(cProvince='北京市' OR cProvince='广东省') AND iFlag=1"), (Rows{0, 2}));
    EXPECT_EQ(rows("iFlag=1 and cProvince='北京市' or iFlag=0 and cProvince='上海市'"), (Rows{0, 1}));
    EXPECT_EQ(rows("iFlag=1 AND (cZip='100000' OR cZip='510000') AND cHttp LIKE 'HTTP%'"), (Rows{0, 2}));
}

TEST_F(RowFilterTest, ParenthesesNestAndFieldNamesMayBeBracketedInAnyCase)
{
    EXPECT_EQ(rows("((cProvince='北京市'))"), (Rows{0, 3}));
    EXPECT_EQ(rows("[cProvince]='北京市'"), (Rows{0, 3}));
    EXPECT_EQ(rows("CPROVINCE='北京市' AnD [IFLAG]=0"), (Rows{3}));
    EXPECT_EQ(rows("(iFlag=1 OR (cProvince='其他' OR (cZip=7))) AND cHttp LIKE '%e%'"), (Rows{2, 5, 6}));
    EXPECT_EQ(rows("(iFlag=1 OR cProvince='其他') AND (cZip='-3' OR cZip=510000)"), (Rows{2, 6}));
}

TEST_F(RowFilterTest, DateLiteralIsText)
{
    ColumnStore dates({{"dDate", FieldType::WideString}});
    dates.appendText(0, "2004-05-01");
    dates.finishRow();
    dates.appendText(0, "2005-01-01");
    dates.finishRow();
    dates.finishLoading();
    EXPECT_EQ(RowFilter::parse("dDate < #2005-01-01#").matchingRows(dates), (Rows{0}));
}

TEST_F(RowFilterTest, NullCellsMatchOnlyNullTests)
{
    EXPECT_EQ(rows("cHttp IS NULL"), (Rows{4}));
    EXPECT_EQ(rows("cHttp is not null"), (Rows{0, 1, 2, 3, 5, 6}));
    EXPECT_EQ(rows("iFlag = NULL"), (Rows{4}));
    EXPECT_EQ(rows("cProvince <> Null"), (Rows{0, 1, 2, 3, 4, 6}));
    // An empty text is not null.
    EXPECT_EQ(rows("cHttp=''"), (Rows{3}));
    EXPECT_EQ(rows("cHttp<>'x' AND cZip LIKE '%'"), (Rows{0, 1, 2, 3, 5, 6}));
}

TEST_F(RowFilterTest, FilterCanBeReusedAndMoved)
{
    RowFilter filter = RowFilter::parse("iFlag=1");
    RowFilter moved(std::move(filter));
    EXPECT_EQ(moved.matchingRows(store), (Rows{0, 2}));
    store.setText(3, 0, "广东省");
    RowFilter other;
    other = RowFilter::parse("cProvince='广东省'");
    EXPECT_EQ(other.matchingRows(store), (Rows{2, 3}));
    EXPECT_EQ(other.matchingRows(store), (Rows{2, 3}));
}

TEST(RowFilterSyntax, UnreadableTextThrows)
{
    const char *bad[] = {
        "(cProvince='北京市'",    // unbalanced (
        "cProvince='北京市')",    // unbalanced )
        "((iFlag=1)",             // unbalanced (
        "()",                     // empty parentheses
        "cProvince '北京市'",     // missing operator
        "cProvince",              // nothing after the field
        "cProvince=",             // missing value
        "='北京市'",              // missing field
        "cProvince='北京市",      // unterminated quote
        "cProvince='it''s",       // unterminated after a doubled quote
        "iFlag=1 junk",           // trailing junk
        "iFlag=1 2",              // trailing junk
        "iFlag=1abc",             // malformed number
        "iFlag=1.2.3",            // malformed number
        "iFlag=-",                // sign without digits
        "iFlag=1e999",            // number out of range
        "iFlag==1",               // unknown operator
        "iFlag=>1",               // unknown operator
        "iFlag!=1",               // unknown operator
        "iFlag BETWEEN 1",        // unknown operator
        "cProvince=北京市",       // unquoted text
        "iFlag=1 AND",            // dangling connector
        "OR iFlag=1",             // leading connector
        "iFlag=1 AND OR iFlag=0", // two connectors
        "iFlag=1 iFlag=0",        // missing connector
        "[cProvince='北京市'",    // unterminated bracket
        "[]='x'",                 // empty bracketed name
        "dDate=#2004-01-01",      // unterminated date
        "cHttp IS 'x'",           // IS without NULL
        "cHttp IS NOT",           // IS NOT without NULL
        "cHttp < NULL",           // NULL only with = and <>
        "cProvince LIKE 5x",      // malformed value
        "cProvince=';'; DROP",    // trailing junk
    };
    for (const char *text : bad)
        EXPECT_THROW(RowFilter::parse(QString::fromUtf8(text)), DbError) << text;
}

TEST_F(RowFilterTest, UnknownFieldThrowsWhenEvaluated)
{
    const RowFilter filter = RowFilter::parse("cNoSuchField='x'");
    EXPECT_THROW(filter.matchingRows(store), DbError);
    // Even where no row would reach the comparison.
    EXPECT_THROW(rows("iFlag=99 AND cNoSuchField='x'"), DbError);
    EXPECT_THROW(rows("cProvince='北京市' OR [c Province]='x'"), DbError);
}

TEST(RowFilterLarge, RowsBeyondOneWordAndPartialLastWord)
{
    ColumnStore store({{"cProvince", FieldType::WideString}, {"iFlag", FieldType::Integer}});
    const int count = 1000; // not a multiple of 64
    for (int i = 0; i < count; ++i) {
        store.appendText(0, i % 3 == 0 ? "北京市" : "上海市");
        if (i % 7 == 0)
            store.appendNull(1);
        else
            store.appendNumber(1, i % 10 == 0 ? 1 : 0);
        store.finishRow();
    }
    store.finishLoading();
    std::vector<int> expected;
    for (int i = 0; i < count; ++i) {
        if (i % 3 == 0 && i % 7 != 0 && i % 10 == 0)
            expected.push_back(i);
    }
    EXPECT_EQ(RowFilter::parse("iFlag=1 AND cProvince='北京市'").matchingRows(store), expected);

    std::vector<int> either;
    for (int i = 0; i < count; ++i) {
        if (i % 3 == 0 || (i % 7 != 0 && i % 10 == 0))
            either.push_back(i);
    }
    EXPECT_EQ(RowFilter::parse("cProvince='北京市' OR iFlag=1").matchingRows(store), either);
    EXPECT_EQ(RowFilter::parse("cProvince LIKE '%'").matchingRows(store).size(), std::size_t(count));
}

} // namespace
