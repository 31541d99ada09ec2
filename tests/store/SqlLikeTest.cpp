#include "store/SqlCellTest.h"
#include "store/SqlLikePattern.h"

#include <sqlcipher/sqlite3.h>

#include <gtest/gtest.h>

#include <random>

using namespace store;

namespace {

// The engine itself, asked whether a text matches a pattern.
class Engine
{
public:
    Engine()
    {
        sqlite3_open(":memory:", &m_db);
        sqlite3_prepare_v2(m_db, "SELECT ?1 LIKE ?2", -1, &m_like, nullptr);
    }
    ~Engine()
    {
        sqlite3_finalize(m_like);
        sqlite3_close(m_db);
    }
    bool like(const std::string &text, const std::string &pattern)
    {
        sqlite3_reset(m_like);
        sqlite3_bind_text(m_like, 1, text.data(), int(text.size()), SQLITE_STATIC);
        sqlite3_bind_text(m_like, 2, pattern.data(), int(pattern.size()), SQLITE_STATIC);
        sqlite3_step(m_like);
        return sqlite3_column_int(m_like, 0) != 0;
    }

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_like = nullptr;
};

// Pieces that meet every rule: wildcards, letters in both cases, Chinese,
// a quote, and malformed UTF-8 (stray continuation bytes, a cut-off
// character, overlong forms, U+FFFD itself, U+FFFE), with the characters
// the engine reads them as (U+0085, U+01D4, U+0100).
const std::vector<std::string> kPieces = {
    "a",
    "A",
    "z",
    "Z",
    "%",
    "_",
    "电",
    "子",
    "É",
    "é",
    " ",
    "'",
    "1",
    "\x80",
    "\xE7\x94",
    "\xC0\x80",
    "\xEF\xBF\xBD",
    "\xF0\x9F\x98\x80",
    "\xC2\x80",
    "\x85",
    "\xC2\x85",
    "ǔ",
    "Ā",
    "\xE0\x84\x80",
    "\xEF\xBF\xBE",
};

std::string randomText(std::mt19937 &rng, int maxPieces, bool withNul)
{
    std::string s;
    const int n = std::uniform_int_distribution<int>(0, maxPieces)(rng);
    for (int i = 0; i < n; ++i) {
        if (withNul && rng() % 16 == 0)
            s += '\0';
        else
            s += kPieces[rng() % kPieces.size()];
    }
    return s;
}

std::string cutAtNul(const std::string &s)
{
    return s.substr(0, s.find('\0'));
}

} // namespace

// The pattern matcher gives the engine's answer for every text and
// pattern, malformed ones and texts holding NUL included.
TEST(SqlLike, AgreesWithTheEngine)
{
    Engine engine;
    std::mt19937 rng(7);
    int matches = 0;
    for (int i = 0; i < 30000; ++i) {
        const std::string text = randomText(rng, 8, true);
        std::string pattern;
        if (i % 2 == 0) {
            pattern = randomText(rng, 5, false);
        } else {
            // Built from the text, so that many of them match.
            const std::string t = cutAtNul(text);
            const std::size_t from = t.empty() ? 0 : rng() % t.size();
            const std::string part = t.substr(from, rng() % 6);
            const char *shapes[][2] = {{"%", "%"}, {"", "%"}, {"%", ""}, {"", ""}, {"_", "%"}};
            const auto &shape = shapes[rng() % 5];
            pattern = shape[0] + part + shape[1];
        }
        const SqlLikePattern like(pattern);
        if (!like.followsEngine())
            continue;
        const bool expected = engine.like(text, pattern);
        matches += expected;
        ASSERT_EQ(like.matches(cutAtNul(text)), expected)
            << "text [" << text << "] pattern [" << pattern << "]";
    }
    EXPECT_GT(matches, 3000) << "the cases must not all be misses";
}

TEST(SqlLike, PatternsOfOneLiteralTakeTheByteComparingShapes)
{
    EXPECT_EQ(SqlLikePattern("%电子%").shape(), SqlLikePattern::Shape::Contains);
    EXPECT_EQ(SqlLikePattern("北京%").shape(), SqlLikePattern::Shape::Prefix);
    EXPECT_EQ(SqlLikePattern("%Ltd").shape(), SqlLikePattern::Shape::Suffix);
    EXPECT_EQ(SqlLikePattern("Abc").shape(), SqlLikePattern::Shape::Exact);
    EXPECT_EQ(SqlLikePattern("%%").shape(), SqlLikePattern::Shape::Anything);
    EXPECT_EQ(SqlLikePattern("%a_b%").shape(), SqlLikePattern::Shape::General);
    EXPECT_EQ(SqlLikePattern("%\xEF\xBF\xBD%").shape(), SqlLikePattern::Shape::General);
    EXPECT_EQ(SqlLikePattern("%\xE7\x94%").shape(), SqlLikePattern::Shape::General);
    EXPECT_EQ(SqlLikePattern("%Union%").literal(), "union");
    EXPECT_FALSE(SqlLikePattern("%\xC2\x80%").followsEngine());
    EXPECT_FALSE(SqlLikePattern("a\x80").followsEngine());
}

// The LIKE test over a whole column, chunk by chunk in whatever encoding
// each chunk chose, finds the rows a cell by cell match finds, with edited
// cells, nulls, malformed text, matches across cell borders and a column
// large enough to be searched on both cores.
TEST(SqlLike, ColumnSearchFindsTheRowsThatMatchOneByOne)
{
    std::mt19937 rng(11);
    for (int rows : {300, 400000}) {
        ColumnStore::setDefaultChunkRows(rows > 1000 ? 65536 : 64);
        ColumnStore store({{QStringLiteral("c"), FieldType::Memo}, {QStringLiteral("few"), FieldType::Memo}});
        ColumnStore::setDefaultChunkRows(ColumnStore::kDefaultChunkRows);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < 2; ++c) {
                if (rng() % 20 == 0) {
                    store.appendNull(c);
                    continue;
                }
                std::string t = c == 1 ? (rng() % 2 ? std::string("电子") : kPieces[rng() % 8] + "电子")
                                       : randomText(rng, rows > 1000 ? 6 : 20, false);
                if (c == 0 && rng() % 4 == 0) // longer than one vector of bytes
                    t += std::string(40, 'x') + randomText(rng, 3, false);
                if (c == 0 && rng() % 3 == 0) // mostly Chinese, for the compact code
                    t += "北京光明软件实业有限公司";
                store.appendText(c, t);
            }
            store.finishRow();
        }
        store.finishLoading();
        store.setText(rows / 2, 0, "新的电子 Union");
        store.setNull(rows / 3, 0);
        for (const char *pattern :
             {"%电子%", "%union%", "%xé%", "%\xE7\x94\xB5%", "%Ax%", "%x'%", "%é%", "%Ā%", "%\xC2\x85%",
              "%ǔ%", "电子%", "%子", "a%", "_电%", "%光明%", "电子"}) {
            const SqlLikePattern like(pattern);
            SqlLiteral literal;
            literal.text = pattern;
            const auto test = makeSqlCellTest(SqlColumnClass::Text, SqlOp::Like, literal);
            ASSERT_TRUE(test) << pattern;
            int hits = 0;
            for (int c = 0; c < 2; ++c) {
                const RowBits found = test->keep(store, c, allRows(rows));
                std::string scratch;
                for (int r = 0; r < rows; ++r) {
                    const bool expected = !store.isNull(r, c) && like.matches(store.text(r, c, scratch));
                    const bool got = (found[std::size_t(r) / 64] >> (r % 64)) & 1;
                    hits += expected;
                    ASSERT_EQ(got, expected) << pattern << " column " << c << " row " << r;
                }
            }
            EXPECT_GT(hits, 0) << pattern;
        }
    }
}
