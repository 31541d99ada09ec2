#include "store/ColumnStore.h"
#include "store/RowPredicate.h"
#include "store/TableSearch.h"
#include "store/Utf8Text.h"

#include <gtest/gtest.h>

using namespace store;

TEST(ColumnStoreTest, HoldsTextNumbersNullsAndEdits)
{
    ColumnStore store(
        {{QStringLiteral("cName"), FieldType::WideString}, {QStringLiteral("iFlag"), FieldType::Integer}});
    EXPECT_EQ(store.columnIndex(QStringLiteral("IFLAG")), 1);
    EXPECT_EQ(store.columnIndex(QStringLiteral("none")), -1);
    for (int i = 0; i < 130; ++i) { // crosses two words of the null bitmap
        if (i % 3 == 0)
            store.appendNull(0);
        else
            store.appendText(0, std::to_string(i));
        if (i % 5 == 0)
            store.appendNull(1);
        else if (i % 2)
            store.appendNumber(1, i + 0.5);
        else
            store.appendInteger(1, i == 128 ? 9007199254740993 : i);
        store.finishRow();
    }
    EXPECT_EQ(store.rowCount(), 0) << "rows are handed over by chunks";
    store.finishLoading();
    ASSERT_EQ(store.rowCount(), 130);
    std::string scratch;
    EXPECT_TRUE(store.isNull(129, 0));
    EXPECT_EQ(store.text(128, 0, scratch), "128");
    EXPECT_EQ(store.displayText(129, 0), QString());
    EXPECT_TRUE(store.isNull(125, 1));
    EXPECT_EQ(store.displayText(126, 1), QStringLiteral("126"));
    EXPECT_EQ(store.displayText(127, 1), QStringLiteral("127.5"));
    EXPECT_EQ(store.integer(128, 1), 9007199254740993) << "whole numbers are held exactly";
    EXPECT_EQ(store.displayText(128, 1), QStringLiteral("9007199254740993"));

    store.setText(129, 0, "新值");
    EXPECT_FALSE(store.isNull(129, 0));
    EXPECT_EQ(store.displayText(129, 0), QStringLiteral("新值"));
    EXPECT_EQ(store.text(128, 0, scratch), "128") << "an edit leaves its neighbours alone";
    store.setNull(128, 0);
    EXPECT_TRUE(store.isNull(128, 0));
    EXPECT_EQ(store.editedRows(0), (std::vector<int>{128, 129}));
}

// Each chunk holds a column in the encoding that suits its cells, and
// every cell reads back as it was appended, across chunk borders.
TEST(ColumnStoreTest, ChoosesAnEncodingPerChunkAndGivesBackEveryCell)
{
    ColumnStore::setDefaultChunkRows(256);
    ColumnStore store({{QStringLiteral("province"), FieldType::WideString},
                       {QStringLiteral("name"), FieldType::WideString},
                       {QStringLiteral("mail"), FieldType::WideString},
                       {QStringLiteral("flag"), FieldType::Integer}});
    ColumnStore::setDefaultChunkRows(ColumnStore::kDefaultChunkRows);
    const char *const provinces[] = {"北京市", "浙江省", "新疆维吾尔自治区"};
    const auto name = [](int i) {
        // Chinese, mostly unique; now and then malformed or with a control character.
        std::string s = "北京光明软件实业有限公司第" + std::to_string(i) + "号";
        if (i % 97 == 0)
            s += "\xE7\x94";
        if (i % 89 == 0)
            s += '\x01';
        return s;
    };
    const int rows = 1000;
    for (int i = 0; i < rows; ++i) {
        // The last chunk repeats one text only.
        store.appendText(0, i < 768 ? provinces[i % 3] : provinces[0]);
        store.appendText(1, name(i));
        store.appendText(2, "sales" + std::to_string(i) + "@example.com");
        store.appendInteger(3, i % 7 == 0);
        store.appendRowId(100 + i + (i > 600 ? 5 : 0));
        store.finishRow();
    }
    store.finishLoading();
    ASSERT_EQ(store.rowCount(), rows);
    ASSERT_EQ(store.chunkCount(), 4);
    EXPECT_EQ(store.chunk(0).columns[0].text.encoding, TextEncoding::Dictionary);
    EXPECT_EQ(store.chunk(0).columns[1].text.encoding, TextEncoding::Compact);
    EXPECT_EQ(store.chunk(0).columns[2].text.encoding, TextEncoding::Plain);
    EXPECT_FALSE(store.chunk(0).columns[3].numbers.codes.empty()) << "two flag values, held once each";
    std::string scratch;
    for (int i = 0; i < rows; ++i) {
        ASSERT_EQ(store.text(i, 0, scratch), i < 768 ? provinces[i % 3] : provinces[0]) << i;
        ASSERT_EQ(store.text(i, 1, scratch), name(i)) << i;
        ASSERT_EQ(store.text(i, 2, scratch), "sales" + std::to_string(i) + "@example.com") << i;
        ASSERT_EQ(store.integer(i, 3), i % 7 == 0) << i;
        ASSERT_EQ(store.rowId(i), 100 + i + (i > 600 ? 5 : 0)) << i;
    }
    EXPECT_FALSE(store.chunk(0).columns[1].text.rawRows.empty()) << "malformed cells are kept as read";
    EXPECT_FALSE(store.chunk(0).columns[1].text.irregular.empty());
}

// Plain text (a mail address, an English name) keeps the rows of the
// pairs of letters and digits few of its rows hold, as far as they cost
// little, and knows the pairs none holds: a word of such a pair is answered
// from them. Pairs it does not keep are read in the cells.
TEST(ColumnStoreTest, PlainTextKnowsTheRowsOfItsRarePairs)
{
    ColumnStore::setDefaultChunkRows(256);
    ColumnStore store({{QStringLiteral("mail"), FieldType::WideString}});
    ColumnStore::setDefaultChunkRows(ColumnStore::kDefaultChunkRows);
    std::vector<int> zq, kj, all;
    for (int i = 0; i < 256; ++i) {
        std::string cell = "Sales@example.com/";
        for (const char digit : std::to_string(i))
            cell += std::string(1, digit) + "."; // every cell its own, no two digits side by side
        if (i % 64 == 3) {
            cell += i == 67 ? "ZQ" : "zqzq"; // either case, twice in a cell
            zq.push_back(i);
        }
        if (i % 17 == 5) {
            cell += "kj";
            kj.push_back(i);
        }
        all.push_back(i);
        store.appendText(0, cell);
        store.finishRow();
    }
    store.finishLoading();
    const TextChunk &text = store.chunk(0).columns[0].text;
    ASSERT_EQ(text.encoding, TextEncoding::Plain);
    ASSERT_FALSE(text.characters.empty());

    const CharacterIndex &index = text.characters;
    const auto rowsOf = [&](int key) {
        RowBits bits(4, 0);
        index.addRows(key, bits.data(), bits.size());
        return rowList(bits);
    };
    ASSERT_TRUE(index.knowsPair(CharacterIndex::pairKey(U'z', U'q')));
    EXPECT_EQ(rowsOf(CharacterIndex::pairKey(U'Z', U'q')), zq);
    EXPECT_EQ(index.rowsHolding(CharacterIndex::pairKey(U'z', U'q')), zq.size());
    ASSERT_TRUE(index.knowsPair(CharacterIndex::pairKey(U'x', U'y'))) << "no row holds it";
    EXPECT_EQ(rowsOf(CharacterIndex::pairKey(U'x', U'y')), std::vector<int>());
    EXPECT_FALSE(index.knowsPair(CharacterIndex::pairKey(U's', U'a'))) << "every row holds it";

    const auto found = [&](const char *word) {
        const TableSearch search(SearchQuery::parse(word));
        return rowList(search.run(store, {{0, false, false}}, allRows(256)).rows);
    };
    EXPECT_EQ(found("zq"), zq);
    EXPECT_EQ(found("QZ"), (std::vector<int>{3, 131, 195})) << "zqzq holds qz; ZQ does not";
    EXPECT_EQ(found("kj"), kj);
    EXPECT_EQ(found("xy"), std::vector<int>());
    EXPECT_EQ(found("sa"), all);
    EXPECT_EQ(found("es@"), all);
}

// The compact code gives characters of every UTF-8 length codes of one,
// two and three bytes; each cell reads back as it was.
TEST(ColumnStoreTest, CodesCharactersOfEveryLength)
{
    ColumnStore::setDefaultChunkRows(256);
    ColumnStore store({{QStringLiteral("memo"), FieldType::Memo}});
    ColumnStore::setDefaultChunkRows(ColumnStore::kDefaultChunkRows);
    const std::string common = "公司现有员工其中工程技术人员厂房面积平方米";
    const auto text = [&](int row) {
        std::string s = common + common;
        // 20 characters of each row seen nowhere else: more than the
        // two-byte codes can hold, so the last ones take three.
        for (int k = 0; k < 20; ++k)
            appendUtf8(s, char32_t(0x5000 + row * 20 + k));
        appendUtf8(s, char32_t(0xE9 + row % 3));     // two UTF-8 bytes
        appendUtf8(s, char32_t(0x20000 + row % 50)); // four UTF-8 bytes
        s += "Ab\t";
        return s;
    };
    for (int i = 0; i < 256; ++i) {
        store.appendText(0, text(i));
        store.finishRow();
    }
    store.finishLoading();
    const TextChunk &chunk = store.chunk(0).columns[0].text;
    ASSERT_EQ(chunk.encoding, TextEncoding::Compact);
    EXPECT_TRUE(chunk.rawRows.empty());
    std::string scratch;
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(store.text(i, 0, scratch), text(i)) << i;
}

// Repeated texts are held once, Chinese text in the compact code.
TEST(ColumnStoreTest, CostsLessThanItsText)
{
    ColumnStore store({{QStringLiteral("a"), FieldType::WideString},
                       {QStringLiteral("b"), FieldType::Memo},
                       {QStringLiteral("c"), FieldType::WideString}});
    const std::string a = "北京光明软件实业有限公司";
    std::string b;
    for (int i = 0; i < 10; ++i)
        b += "公司现有员工，其中工程技术人员，厂房面积平方米。";
    std::size_t text = 0;
    for (int i = 0; i < 10000; ++i) {
        const std::string n = std::to_string(i);
        store.appendText(0, a + n);
        store.appendText(1, b + n);
        store.appendText(2, i % 2 ? "浙江省" : "北京市");
        store.finishRow();
        text += a.size() + b.size() + 2 * n.size() + 9;
    }
    store.finishLoading();
    EXPECT_EQ(store.textBytes(), text);
    EXPECT_LT(double(store.memoryBytes()), 0.5 * double(store.textBytes()));
}
