#include "store/ChineseText.h"
#include "store/ColumnStore.h"
#include "store/ReadingMarks.h"
#include "store/SearchQuery.h"
#include "store/TableSearch.h"

#include <gtest/gtest.h>

using namespace store;

namespace {

std::vector<CharSpan> spansOf(const char *query, const char *text, bool pinyin = true)
{
    return TableSearch(SearchQuery::parse(query)).spans(text, pinyin);
}

bool finds(const char *query, const char *text, bool pinyin = true)
{
    const TableSearch search(SearchQuery::parse(query));
    const std::u32string folded = foldedText(text);
    for (std::size_t i = 0; i < search.query().words.size(); ++i)
        if (!search.wordMatches(i, folded, pinyin))
            return false;
    return true;
}

} // namespace

TEST(SearchQueryTest, ReadsWordsQuotesAndExclusions)
{
    const SearchQuery q =
        SearchQuery::parse("  杭州\u3000软件 \"北京 华\" -zg “电子” - \"\" ZhongGuo ｚｇ１ 5");
    ASSERT_EQ(q.words.size(), 8u);
    EXPECT_EQ(q.words[0].folded, U"杭州");
    EXPECT_EQ(q.words[1].folded, U"软件") << "an ideographic space separates words";
    EXPECT_EQ(q.words[2].folded, U"北京 华");
    EXPECT_TRUE(q.words[2].quoted);
    EXPECT_TRUE(q.words[2].pinyin.empty());
    EXPECT_TRUE(q.words[3].excluded);
    EXPECT_EQ(q.words[3].pinyin, "zg");
    EXPECT_TRUE(q.words[4].quoted) << "Chinese quotation marks quote too";
    EXPECT_EQ(q.words[5].pinyin, "zhongguo") << "letters in either case";
    EXPECT_EQ(q.words[6].pinyin, "zg1") << "full-width letters and digits as typed on a Chinese keyboard";
    EXPECT_EQ(q.words[7].folded, U"5");
    EXPECT_EQ(SearchQuery::parse("5 - ").words.size(), 1u) << "a lone minus is no word";
    EXPECT_TRUE(SearchQuery::parse("0571").words[0].pinyin.empty()) << "digits alone are matched as typed";
    EXPECT_TRUE(SearchQuery::parse(std::string(64, 'a')).words[0].pinyin.empty());
    EXPECT_EQ(SearchQuery::parse(std::string(63, 'a')).words[0].pinyin.size(), 63u);
}

// The readings users type for common names, every modern one counting.
TEST(SearchTest, FindsNamesByEveryModernReading)
{
    const std::pair<const char *, const char *> cases[] = {
        {"yinhang", "银行"},       {"yinxing", "银行"},
        {"changsha", "长沙"},      {"chongqing", "重庆"},
        {"xiamen", "厦门"},        {"luan", "六安"},
        {"leshan", "乐山"},        {"chaoyang", "朝阳"},
        {"shanxian", "单县"},      {"bengbu", "蚌埠"},
        {"kuaiji", "会计"},        {"zeng", "曾"},
        {"zgyh", "中国银行"},      {"zhongguoyh", "中国银行"},
        {"zgyinhang", "中国银行"}, {"zhongguoyinhang", "中国银行"},
        {"qqyinyue", "QQ音乐"},    {"changs", "长沙"},
        {"yinxing", "銀行"},       {"nvzhuang", "女装"},
        {"lvyou", "旅游"},
    };
    for (const auto &[query, name] : cases)
        EXPECT_TRUE(finds(query, name)) << query << " should find " << name;
    const std::pair<const char *, const char *> rare[] = {
        {"h", "许"},   {"hu", "许昌"},   {"a", "广州"},       {"mo", "无锡"},  {"namo", "南无"},
        {"zhi", "氏"}, {"zgyh", "中国"}, {"changsa", "长沙"}, {"zg", "中 国"},
    };
    for (const auto &[query, name] : rare)
        EXPECT_FALSE(finds(query, name)) << query << " should not find " << name;
    EXPECT_FALSE(finds("zgyh", "中国银行", false)) << "no pinyin in a column not read in pinyin";
    EXPECT_TRUE(finds("\"电子\"", "电子", false));
    EXPECT_FALSE(finds("\"dianzi\"", "电子")) << "a quoted word matches only as typed";
}

// Simplified and traditional characters are one for the search, but a
// character with a second meaning of its own is not folded away.
TEST(SearchTest, FoldsTraditionalCharactersWithoutMixingDistinctNames)
{
    EXPECT_TRUE(finds("電子", "电子"));
    EXPECT_TRUE(finds("电子", "電子"));
    EXPECT_TRUE(finds("長沙", "长沙市"));
    EXPECT_TRUE(finds("ＡＢＣ", "abc公司")) << "full-width letters";
    EXPECT_TRUE(finds("abc", "ＡＢＣ公司"));
    EXPECT_FALSE(finds("乾安县", "干安县"));
    EXPECT_FALSE(finds("干安县", "乾安县"));
    EXPECT_TRUE(finds("乾安县", "乾安縣"));
    EXPECT_EQ(foldCharacter(U'乾'), U'乾');
    EXPECT_EQ(foldCharacter(U'著'), U'著');
    EXPECT_EQ(foldCharacter(U'後'), U'后');
}

TEST(SearchTest, HighlightsCharactersNotUnits)
{
    // U+20000 lies beyond the BMP: two UTF-16 units, one character.
    EXPECT_EQ(spansOf("长沙", "\U00020000长沙长沙"), (std::vector<CharSpan>{{1, 5}}));
    EXPECT_EQ(spansOf("zgyh", "\U00020000中国银行"), (std::vector<CharSpan>{{1, 5}}));
    EXPECT_EQ(spansOf("cs", "x长沙y长沙"), (std::vector<CharSpan>{{1, 3}, {4, 6}}));
    EXPECT_EQ(spansOf("zg yh -zg", "中国银行"), (std::vector<CharSpan>{{0, 4}}))
        << "an excluded word shows nothing";
    EXPECT_EQ(spansOf("yinhang", "银行和银行"), (std::vector<CharSpan>{{0, 2}, {3, 5}}));
    EXPECT_TRUE(spansOf("zgyh", "中国银行", false).empty());
}

// A name match puts the company first; several words must all be found,
// in any of the columns; an excluded word removes what it finds anywhere.
TEST(SearchTest, SearchesEveryColumnAndTellsNameMatches)
{
    ColumnStore store({{QStringLiteral("name"), FieldType::WideString},
                       {QStringLiteral("address"), FieldType::WideString},
                       {QStringLiteral("memo"), FieldType::WideString}});
    const char *rows[][3] = {
        {"杭州软件有限公司", "杭州市西湖区", "软件开发"},
        {"宏达贸易", "杭州市", "出口软件"},
        {"中国银行", "北京市", "银行"},
        {"長沙電子", "长沙市", ""},
    };
    for (const auto &r : rows) {
        for (int c = 0; c < 3; ++c)
            store.appendText(c, r[c]);
        store.finishRow();
    }
    store.finishLoading();
    const std::vector<SearchColumn> columns = {{0, true, true}, {1, true, false}, {2, false, false}};
    auto run = [&](const char *query) {
        const TableSearch::Matches m = TableSearch(SearchQuery::parse(query)).run(store, columns, allRows(4));
        return std::make_pair(rowList(m.rows), rowList(m.names));
    };
    EXPECT_EQ(run("杭州 软件"), std::make_pair(std::vector<int>{0, 1}, std::vector<int>{0}));
    EXPECT_EQ(run("hz -贸易"), std::make_pair(std::vector<int>{0}, std::vector<int>{0}));
    EXPECT_EQ(run("kaifa"), std::make_pair(std::vector<int>{}, std::vector<int>{}))
        << "the profile is not read in pinyin";
    EXPECT_EQ(run("cs"), std::make_pair(std::vector<int>{3}, std::vector<int>{3}));
    EXPECT_EQ(run("-银行").first, (std::vector<int>{0, 1, 3}));
    EXPECT_TRUE(run("-银行").second.empty()) << "no word to find, so no name match";
    store.setText(1, 0, "长沙软件");
    EXPECT_EQ(run("cs").first, (std::vector<int>{1, 3})) << "an edited cell is read as it is now";
}

// A column's chunk passes over a word whose ASCII letters none of its cells
// hold; a cell kept as read (it does not read as UTF-8) still counts.
TEST(SearchTest, FindsLettersOnlyACellKeptAsReadHolds)
{
    ColumnStore store({{QStringLiteral("memo"), FieldType::WideString}});
    for (const char *memo : {"主要产品有电子元件", "出口欧美", "\xff\xfe发货xyz", "公司已通过质量体系认证"}) {
        store.appendText(0, memo);
        store.finishRow();
    }
    store.finishLoading();
    ASSERT_EQ(store.chunk(0).columns[0].text.encoding, TextEncoding::Compact);
    const std::vector<SearchColumn> columns = {{0, false, false}};
    auto run = [&](const char *query) {
        return rowList(TableSearch(SearchQuery::parse(query)).run(store, columns, allRows(4)).rows);
    };
    EXPECT_EQ(run("XYZ"), std::vector<int>{2});
    EXPECT_EQ(run("出口"), std::vector<int>{1});
    EXPECT_TRUE(run("iso").empty());
}

// Typing on asks only the rows found before, so a search must tell when
// every row it finds was found by the one before.
TEST(SearchTest, TellsWhenTypingOnOnlyNarrowsTheSearch)
{
    auto narrows = [](const char *now, const char *before) {
        return TableSearch(SearchQuery::parse(now)).narrows(TableSearch(SearchQuery::parse(before)));
    };
    EXPECT_TRUE(narrows("zgy", "zg"));
    EXPECT_TRUE(narrows("电子", "电"));
    EXPECT_TRUE(narrows("子电子", "电子")) << "characters typed before a word";
    EXPECT_TRUE(narrows("杭州 软", "杭州"));
    EXPECT_TRUE(narrows("杭州 -北京", "杭州"));
    EXPECT_TRUE(narrows("杭州 -北京 软", "杭州 -北京"));
    EXPECT_TRUE(narrows("\"zgy\"", "zg")) << "as typed, zgy holds zg";
    EXPECT_FALSE(narrows("azg", "zg")) << "azg may spell a run that zg does not start";
    EXPECT_FALSE(narrows("zgy", "\"zg\"")) << "zgy in pinyin need not hold zg as typed";
    EXPECT_FALSE(narrows("杭州", "杭州 -北京")) << "an exclusion dropped";
    EXPECT_FALSE(narrows("杭州 -北", "杭州 -北京")) << "another exclusion";
    EXPECT_FALSE(narrows("z", "zg"));
    EXPECT_FALSE(narrows("上海", "杭州"));
}

// A word spelled by several characters is looked for only in cells where
// the first letter and the letter the second character begins with stand
// on neighbours: 号 (hao) and 安 (an) in the same cell are no "han", but a
// character spelling h or ha beside one beginning with a or n is, as is an
// ASCII letter beside one. Cells of many other rows hold 号 and 安 apart,
// so that the rows are narrowed by the marks rather than read one by one.
TEST(SearchTest, FindsRunsOfSeveralCharactersOnlyWhereTheyStandSideBySide)
{
    ColumnStore store({{QStringLiteral("address"), FieldType::WideString, true}});
    const std::vector<const char *> spelled = {
        "江苏省淮安市人民路8号", // 淮 huai, 安 an
        "云南省哈尼族自治区1号", // 哈 ha, 尼 ni
        "上海市文化路12号南楼",  // 号 hao spells ha, 南 nan
        "H安大厦3号",            // an ASCII letter beside 安
        "浙江省杭州市西湖区9号", // 杭 hang, one character
        "浙江省海宁市中山路5号", // 海 hai spells ha, 宁 ning
        "北京市中国科技大楼",    // zg: 中 zhong, 国 guo
        "Z国路7号",              // zg: an ASCII letter beside 国
    };
    const std::vector<const char *> apart = {
        "陕西省西安市解放路7号", "安徽省合肥市长江路3号", "山东省泰安市中心路6号",
        "辽宁省鞍山市华山路2号", "北京市中华国际大厦",    "广东省中山市国贸路1号",
    };
    // Each cell its own (a room number first), or the column would be
    // kept as a list of values.
    std::vector<std::string> rows;
    for (int i = 0; i < 40; ++i)
        rows.push_back(std::to_string(100 + i) + apart[std::size_t(i) % apart.size()]);
    const int firstSpelled = int(rows.size());
    rows.insert(rows.end(), spelled.begin(), spelled.end());
    for (const std::string &r : rows) {
        store.appendText(0, r);
        store.finishRow();
    }
    store.finishLoading();
    ASSERT_EQ(store.chunk(0).columns[0].text.encoding, TextEncoding::Compact);
    ASSERT_FALSE(store.chunk(0).columns[0].text.readingMarks.empty());
    const std::vector<SearchColumn> columns = {{0, true, false}};
    auto run = [&](const char *query) {
        return rowList(
            TableSearch(SearchQuery::parse(query)).run(store, columns, allRows(int(rows.size()))).rows);
    };
    auto expected = [&](std::vector<int> among) {
        for (int &r : among)
            r += firstSpelled;
        return among;
    };
    EXPECT_EQ(run("han"), expected({0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(run("zg"), expected({6, 7}));
    // Each answer is the one every cell read in full gives.
    for (const char *query : {"han", "zg", "hn", "anh", "zgyh"}) {
        const TableSearch search(SearchQuery::parse(query));
        std::vector<int> read;
        for (int r = 0; r < int(rows.size()); ++r)
            if (search.wordMatches(0, foldedText(rows[std::size_t(r)]), true))
                read.push_back(r);
        EXPECT_EQ(run(query), read) << query;
    }
}

TEST(SearchTest, KnowsTheRowsOfCommonLetterPairsExactly)
{
    // English names: "ch" in most of them, in either case, and c and h
    // apart in others, so that a pair's mark shared with others would let
    // those through.
    ColumnStore store({{QStringLiteral("english"), FieldType::WideString}});
    const std::vector<const char *> names = {
        "Changsha Machinery Trading Co Ltd", "Chongqing Chemical Works Co Ltd",
        "Coastal Hotel Supplies Ltd",        "CHENGDU TECHNOLOGY GROUP LTD",
        "Hangzhou Cable Factory Co Ltd",     "Xiamen Precision Tools Co Ltd",
        "Wuhan Rich Harbour Logistics",      "Qingdao Ocean Shipping Co Ltd",
    };
    std::vector<std::string> rows;
    for (int i = 0; i < 200; ++i)
        rows.push_back(std::string(names[std::size_t(i) % names.size()]) + " No " + std::to_string(i));
    for (const std::string &r : rows) {
        store.appendText(0, r);
        store.finishRow();
    }
    store.finishLoading();
    const TextChunk &text = store.chunk(0).columns[0].text;
    ASSERT_FALSE(text.pairMarks.empty());
    const std::size_t words = (rows.size() + 63) / 64;
    auto holds = [](std::string cell, const char *pair) {
        for (char &c : cell)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        return cell.find(pair) != std::string::npos;
    };
    auto marked = [&](int mark, std::size_t r) {
        return (rowsOfMark(text.pairMarks, words, mark)[r / 64] >> (r % 64)) & 1;
    };
    // Every pair's mark is in each row holding it; a pair with a mark of its
    // own, only there.
    int own = 0;
    const std::string alnum = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (char a : alnum)
        for (char b : alnum) {
            bool exact = false;
            const int mark = asciiPairMark(text.pairMarkOf, char32_t(a), char32_t(b), &exact);
            ASSERT_GE(mark, 0);
            const char pair[3] = {a, b, 0};
            own += exact;
            for (std::size_t r = 0; r < rows.size(); ++r) {
                if (holds(rows[r], pair)) {
                    ASSERT_TRUE(marked(mark, r)) << pair << " row " << r;
                } else if (exact) {
                    ASSERT_FALSE(marked(mark, r)) << pair << " row " << r;
                }
            }
        }
    bool exact = false;
    asciiPairMark(text.pairMarkOf, U'C', U'h', &exact);
    EXPECT_TRUE(exact) << "the chunk's most common pair has a mark of its own";
    EXPECT_GT(own, 16);

    // A word of such a pair is answered from its mark; every answer is the
    // one every cell read in full gives.
    const std::vector<SearchColumn> columns = {{0, false, true}};
    for (const char *query : {"ch", "CH", "ha", "ct", "ch ltd", "han", "hn", "xq", "o n"}) {
        const TableSearch search(SearchQuery::parse(query));
        std::vector<int> read;
        for (int r = 0; r < int(rows.size()); ++r)
            if (search.rowMatches(store, columns, r))
                read.push_back(r);
        EXPECT_EQ(rowList(search.run(store, columns, allRows(int(rows.size()))).rows), read) << query;
    }
    const TableSearch ch(SearchQuery::parse("ch"));
    EXPECT_EQ(rowList(ch.run(store, columns, allRows(int(rows.size()))).rows).size(), 100u);
}
