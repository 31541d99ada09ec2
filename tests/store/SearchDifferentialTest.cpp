// The search against a reference written here from the rules alone: every
// row and column read out, every way of reading every character tried,
// on random tables (several chunks and encodings, nulls, edits) and random
// queries; rows, their order and the highlighted characters must agree.

#include "Utf32Text.h"
#include "store/ChineseText.h"
#include "store/ColumnStore.h"
#include "store/TableSearch.h"
#include "store/Utf8Text.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <utility>

using namespace store;

namespace {

// Characters with several readings, traditional forms, letters in both
// cases, full-width letters, a character beyond the BMP, punctuation and a
// control character (a cell holding one is kept as read, outside the code).
const std::u32string kPool =
    U"长沙重庆厦门行银中国乐朝单会计曾許電电子乾干安县長銀樂杭州软件aQz09Ａ１\U00020000 （）-\x01";
// A web or mail address, an English name: plain ASCII, which the table
// keeps as read, with the rows of each letter.
const std::u32string kAsciiPool = U"abghnszABZ059.@- ";

struct Reference
{
    struct Word
    {
        std::u32string text; // folded
        bool quoted = false;
        bool excluded = false;
    };
    std::vector<Word> words;

    static bool letters(const std::u32string &w)
    {
        bool letter = false;
        for (char32_t c : w) {
            if (c >= U'a' && c <= U'z')
                letter = true;
            else if (!(c >= U'0' && c <= U'9'))
                return false;
        }
        return letter && w.size() <= 63;
    }
    static std::vector<std::string> readings(char32_t c)
    {
        if ((c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9'))
            return {std::string(1, char(c))};
        std::vector<std::string> out;
        for (std::uint16_t id : readingsOf(c))
            out.emplace_back(syllable(id));
        return out;
    }
    // The smallest end of a run from `at` that spells w[from..]; 0 for none.
    static std::size_t spellEnd(const std::u32string &w, std::size_t from, const std::u32string &text,
                                std::size_t at)
    {
        if (from == w.size())
            return at;
        if (at == text.size())
            return 0;
        std::size_t best = 0;
        for (const std::string &r : readings(text[at]))
            for (std::size_t k = 1; k <= r.size() && from + k <= w.size(); ++k) {
                if (char32_t(r[k - 1]) != w[from + k - 1])
                    break;
                const std::size_t end = spellEnd(w, from + k, text, at + 1);
                if (end && (!best || end < best))
                    best = end;
            }
        return best;
    }
    static void wordSpans(const Word &w, const std::u32string &text, bool pinyin, std::vector<CharSpan> &out)
    {
        for (std::size_t at = 0; at + w.text.size() <= text.size(); ++at)
            if (text.compare(at, w.text.size(), w.text) == 0)
                out.emplace_back(int(at), int(at + w.text.size()));
        if (pinyin && !w.quoted && letters(w.text))
            for (std::size_t at = 0; at < text.size(); ++at)
                if (const std::size_t end = spellEnd(w.text, 0, text, at))
                    out.emplace_back(int(at), int(end));
    }
    std::vector<CharSpan> spans(const std::u32string &text, bool pinyin) const
    {
        std::vector<CharSpan> all;
        for (const Word &w : words)
            if (!w.excluded)
                wordSpans(w, text, pinyin, all);
        std::sort(all.begin(), all.end());
        std::vector<CharSpan> merged;
        for (const CharSpan &s : all) {
            if (!merged.empty() && s.first <= merged.back().second)
                merged.back().second = std::max(merged.back().second, s.second);
            else
                merged.push_back(s);
        }
        return merged;
    }
};

std::u32string fold(const std::u32string &text)
{
    std::u32string out;
    for (char32_t c : text)
        out += foldCharacter(c);
    return out;
}

} // namespace

TEST(SearchDifferentialTest, AgreesWithAReferenceOnRandomTablesAndQueries)
{
    std::mt19937 random(20261209);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const std::vector<SearchColumn> columns = {{0, true, true},   {1, false, true},  {2, true, false},
                                               {3, false, false}, {4, false, false}, {5, false, false}};
    const int kColumns = int(columns.size());
    const int kRows = 700;
    int answered = 0; // queries that found some rows but not all
    int typedOn = 0;  // keystrokes typed on from the one before
    for (int round = 0; round < 3; ++round) {
        // Chunks of one word of rows, then in the last round of several,
        // the last one short.
        ColumnStore::setDefaultChunkRows(round == 2 ? 256 : 64);
        // After the first round the pinyin columns carry reading marks, as
        // the company list read ahead does: the search passes over cells by
        // them and must find the same.
        const bool marks = round > 0;
        ColumnStore store({{QStringLiteral("name"), FieldType::WideString, marks},
                           {QStringLiteral("ename"), FieldType::WideString},
                           {QStringLiteral("address"), FieldType::WideString, marks},
                           {QStringLiteral("memo"), FieldType::WideString},
                           {QStringLiteral("tel"), FieldType::WideString},
                           {QStringLiteral("web"), FieldType::WideString}});
        ColumnStore::setDefaultChunkRows(ColumnStore::kDefaultChunkRows);
        std::vector<std::vector<std::u32string>> cells(kRows, std::vector<std::u32string>(kColumns));
        std::vector<std::vector<bool>> nulls(kRows, std::vector<bool>(kColumns));
        auto randomText = [&](int length) {
            std::u32string t;
            for (int i = 0; i < length; ++i)
                t += kPool[std::size_t(pick(int(kPool.size())))];
            return t;
        };
        auto asciiText = [&](int length) {
            std::u32string t;
            for (int i = 0; i < length; ++i)
                t += kAsciiPool[std::size_t(pick(int(kAsciiPool.size())))];
            return t;
        };
        const std::u32string tels[] = {U"0571-8888", U"(010)6123", U"ＱＱ"};
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                nulls[r][c] = pick(13) == 0;
                cells[r][c] = c == 4   ? tels[pick(3)]
                              : c == 5 ? asciiText(pick(4) ? 24 + pick(40) : pick(14))
                                       : randomText(pick(c == 3 ? 30 : 9));
                if (nulls[r][c])
                    store.appendNull(c);
                else
                    store.appendText(c, utf8(cells[r][c]));
            }
            store.finishRow();
        }
        store.finishLoading();
        bool marked = false;
        for (int k = 0; k < store.chunkCount(); ++k)
            marked = marked || !store.chunk(k).columns[0].text.readingMarks.empty();
        ASSERT_EQ(marked, marks) << "round " << round;
        bool asciiIndexed = false;
        for (int k = 0; k < store.chunkCount(); ++k) {
            const TextChunk &web = store.chunk(k).columns[5].text;
            asciiIndexed = asciiIndexed || (web.encoding == TextEncoding::Plain && !web.characters.empty() &&
                                            !web.pairMarks.empty());
        }
        ASSERT_TRUE(asciiIndexed)
            << "the ASCII column should be kept as read, with the rows of its letters and its pairs";
        for (int e = 0; e < 20; ++e) {
            const int r = pick(kRows), c = pick(kColumns);
            cells[r][c] = randomText(pick(8));
            nulls[r][c] = false;
            store.setText(r, c, utf8(cells[r][c]));
        }

        for (int q = 0; q < 150; ++q) {
            Reference ref;
            std::u32string typed;
            const int words = 1 + pick(3);
            for (int w = 0; w < words; ++w) {
                Reference::Word word;
                const std::u32string &source = cells[pick(kRows)][pick(kColumns)];
                if (pick(2) && !source.empty()) {
                    // Letters that spell part of a cell: readings and their beginnings.
                    const std::u32string folded = fold(source);
                    std::string letters;
                    for (std::size_t at = std::size_t(pick(int(folded.size()))), n = 1 + pick(3);
                         at < folded.size() && n; ++at, --n) {
                        const std::vector<std::string> r = Reference::readings(folded[at]);
                        if (r.empty())
                            break;
                        const std::string &reading = r[std::size_t(pick(int(r.size())))];
                        letters += reading.substr(0, 1 + std::size_t(pick(int(reading.size()))));
                    }
                    if (letters.empty())
                        letters = "zg";
                    for (char ch : letters)
                        word.text += char32_t(ch);
                } else if (!source.empty()) {
                    const std::size_t at = std::size_t(pick(int(source.size())));
                    word.text = source.substr(at, 1 + std::size_t(pick(3)));
                } else {
                    word.text = randomText(1 + pick(2));
                }
                std::u32string shown = word.text; // typed as stored: traditional, upper case
                word.text = fold(word.text);
                if (word.text.find_first_of(U" \"“”-") != std::u32string::npos)
                    continue;
                word.quoted = pick(6) == 0;
                word.excluded = pick(5) == 0;
                if (!typed.empty())
                    typed += pick(2) ? U" " : U"\u3000";
                if (word.excluded)
                    typed += U"-";
                typed += word.quoted ? U"\"" + shown + U"\"" : shown;
                ref.words.push_back(word);
            }
            if (ref.words.empty())
                continue;

            std::vector<int> expectedNames, expectedOthers;
            bool positive = false;
            for (const auto &w : ref.words)
                positive = positive || !w.excluded;
            for (int r = 0; r < kRows; ++r) {
                bool all = true, names = true;
                for (const auto &w : ref.words) {
                    bool found = false, inName = false;
                    for (const SearchColumn &c : columns) {
                        if (nulls[r][std::size_t(c.column)])
                            continue;
                        std::vector<CharSpan> s;
                        Reference::wordSpans(w, fold(cells[r][std::size_t(c.column)]), c.pinyin, s);
                        if (!s.empty()) {
                            found = true;
                            inName = inName || c.name;
                        }
                    }
                    if (w.excluded)
                        all = all && !found;
                    else
                        all = all && found, names = names && inName;
                }
                if (all)
                    (names && positive ? expectedNames : expectedOthers).push_back(r);
            }

            const TableSearch search(SearchQuery::parse(utf8(typed)));
            ASSERT_EQ(search.query().words.size(), ref.words.size()) << utf8(typed);
            const TableSearch::Matches m = search.run(store, columns, allRows(kRows));
            RowBits others = m.rows;
            for (std::size_t i = 0; i < others.size(); ++i)
                others[i] &= ~m.names[i];
            const std::size_t count = expectedNames.size() + expectedOthers.size();
            answered += count > 0 && count < std::size_t(kRows);
            ASSERT_EQ(rowList(m.names), expectedNames) << "query " << utf8(typed) << " round " << round;
            ASSERT_EQ(rowList(others), expectedOthers) << "query " << utf8(typed) << " round " << round;
            for (int r : expectedNames) {
                bool name = false;
                EXPECT_TRUE(search.rowMatches(store, columns, r, &name));
                EXPECT_TRUE(name);
            }
            // Typed a character at a time, as the box searches: a search that
            // narrows the one before asks only the rows it found, and one typed
            // on from it reads each row from the column that found it then.
            // Each answer is written over the one before the last, as the
            // list does, the first over memory taken for more columns.
            std::shared_ptr<const TableSearch> before;
            TableSearch::Matches last =
                TableSearch::Matches::writtenOnce(allRows(kRows).size(), columns.size() + 2);
            TableSearch::Matches spare = last;
            for (std::size_t n = 1; n <= typed.size(); ++n) {
                auto now = std::make_shared<const TableSearch>(SearchQuery::parse(utf8(typed.substr(0, n))));
                if (now->query().empty()) {
                    before.reset();
                    continue;
                }
                RowBits asked = allRows(kRows);
                const bool narrows = before && now->narrows(*before);
                if (narrows)
                    for (std::size_t w = 0; w < asked.size(); ++w)
                        asked[w] &= last.rows[w];
                typedOn += narrows && now->typedOn(*before);
                TableSearch::Matches found =
                    now->run(store, columns, asked, narrows && now->typedOn(*before) ? &last : nullptr,
                             std::exchange(spare, {}));
                spare = std::exchange(last, std::move(found));
                before = now;
            }
            ASSERT_EQ(last.rows, m.rows) << "typed on to " << utf8(typed) << " round " << round;
            ASSERT_EQ(last.names, m.names) << "typed on to " << utf8(typed) << " round " << round;
            // The highlights of every column of the first rows found.
            int shown = 0;
            for (int r : expectedOthers.empty() ? expectedNames : expectedOthers) {
                if (++shown > 5)
                    break;
                for (const SearchColumn &c : columns)
                    ASSERT_EQ(search.spans(utf8(cells[r][std::size_t(c.column)]), c.pinyin),
                              ref.spans(fold(cells[r][std::size_t(c.column)]), c.pinyin))
                        << "query " << utf8(typed) << " row " << r << " column " << c.column;
            }
        }
    }
    EXPECT_GT(answered, 200) << "the random queries should mostly find some rows";
    EXPECT_GT(typedOn, 200) << "many keystrokes should type a word on";
}
