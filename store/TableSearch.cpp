#include "store/TableSearch.h"

#include "store/ChineseText.h"
#include "store/ColumnStore.h"
#include "store/KeepRowsAhead.h"
#include "store/ReadingMarks.h"
#include "store/TextSearch.h"
#include "store/Utf8Text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <numeric>

namespace store {

namespace {

// More spellings of a word than this (traditional and full-width forms
// present in a chunk) and its cells are read one by one instead.
constexpr std::size_t kMostSpellings = 16;

// The rows among `todo` (of a chunk of `rows` rows) whose value in a
// dictionary-coded column is one of those hit, nulls left out: a word of 64
// rows at a time from their codes, with no call and no branch per row.
template <typename Code>
void rowsOfValues(const Code *codes, int rows, const std::vector<char> &hit, const std::uint64_t *todo,
                  const std::uint64_t *nulls, std::size_t words, std::uint64_t *out)
{
    for (std::size_t w = 0; w < words; ++w) {
        if (!todo[w]) {
            out[w] = 0;
            continue;
        }
        const int base = int(w * 64);
        const int count = std::min(64, rows - base);
        std::uint64_t bits = 0;
        for (int b = 0; b < count; ++b)
            bits |= std::uint64_t(hit[codes[base + b]] != 0) << b;
        out[w] = bits & todo[w] & ~nulls[w];
    }
}

// For a pinyin word of several letters, from the rows of the characters
// of a chunk (`codeRows` and `asciiRows`: each one's transitions in the
// word's matcher, nullptr for one that spells none of it): moves into
// `found` the rows among `again` holding a character that spells the whole
// word, and keeps in `again` only rows that hold, for two of the word's
// letters, a character that can spell it (a run spelling the word holds one
// for each letter): the two letters the fewest rows can spell, if few
// enough rows can spell them to leave some out. With the chunk's reading
// marks (`marks`, or nullptr), keeps only rows that can hold a run of
// several characters spelling `letters`: the first spells letters 0 to
// k - 1, the next begins with letter k, so the row holds such a first
// character, a character beginning with letter k and the neighbours' pair
// of letters 0 and k, for some k.
void narrowBySpellers(const CharacterIndex &index, const std::vector<const std::uint64_t *> &codeRows,
                      const std::array<const std::uint64_t *, 128> &asciiRows, const PinyinMatcher &matcher,
                      const FixedArray<std::uint64_t> *marks, const std::string &word, std::size_t words,
                      std::uint64_t *again, std::uint64_t *found)
{
    const std::uint64_t done = matcher.done();
    const int letters = std::countr_zero(done);
    struct Speller
    {
        int key;
        std::uint64_t spells; // bit p: the character can spell letter p of the word
        std::uint64_t first;  // bit k: it spells letters 0 to k - 1 of the word
    };
    std::vector<Speller> spellers;
    std::vector<std::uint64_t> whole(words, 0);
    std::vector<std::size_t> weight(std::size_t(letters), 0);
    std::vector<std::size_t> firstWeight(std::size_t(letters), 0); // rows of the characters, by k
    auto add = [&](const std::uint64_t *row, int key) {
        if (!row || index.rowsHolding(key) == 0)
            return;
        for (std::uint64_t k = row[0] & ~done; k; k &= k - 1)
            firstWeight[std::size_t(std::countr_zero(k))] += index.rowsHolding(key);
        // From letter j the character reaches those of row[j]: it spells
        // the letters from j to the last it reaches.
        std::uint64_t spells = 0;
        for (int j = 0; j < letters; ++j)
            if (row[j]) {
                const int furthest = 63 - std::countl_zero(row[j]); // the most letters spelled from j
                spells |= ((std::uint64_t(1) << furthest) - 1) & ~((std::uint64_t(1) << j) - 1);
            }
        if (row[0] & done)
            index.addRows(key, whole.data(), words);
        for (std::uint64_t p = spells; p; p &= p - 1)
            weight[std::size_t(std::countr_zero(p))] += index.rowsHolding(key);
        spellers.push_back({key, spells, row[0] & ~done});
    };
    for (std::size_t i = 0; i < codeRows.size(); ++i)
        add(codeRows[i], CharacterIndex::keyOfCodeIndex(int(i)));
    for (int b = 0x20; b < 0x80; ++b) // the bytes below are codes, or read apart
        if (!(b >= 'A' && b <= 'Z'))  // kept under their lower case
            add(asciiRows[std::size_t(b)], b);
    for (std::size_t w = 0; w < words; ++w) {
        found[w] |= again[w] & whole[w];
        again[w] &= ~whole[w];
    }
    std::vector<int> order(static_cast<std::size_t>(letters));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return weight[std::size_t(a)] < weight[std::size_t(b)]; });
    std::vector<std::uint64_t> spelling(words);
    for (std::size_t n = 0; n < std::min<std::size_t>(2, order.size()); ++n) {
        // Letters that as many rows can spell as the chunk has would leave
        // about every row, at the cost of gathering them.
        if (weight[std::size_t(order[n])] >= words * 64)
            break;
        const std::uint64_t bit = std::uint64_t(1) << order[n];
        std::fill(spelling.begin(), spelling.end(), 0);
        for (const Speller &s : spellers)
            if (s.spells & bit)
                index.addRows(s.key, spelling.data(), words);
        for (std::size_t w = 0; w < words; ++w)
            again[w] &= spelling[w];
    }
    if (!marks)
        return;
    std::vector<std::uint64_t> runs(words, 0), starting(words), neighbours(words);
    for (std::size_t k = 1; k < std::size_t(letters); ++k) {
        if (firstWeight[k] == 0)
            continue;
        const std::array<int, 2> mark = neighbourPairMarks(word[0], word[k]);
        if (mark[0] < 0)
            return; // nothing known of the pair
        // The next character begins with letter k: its mark is there.
        const std::uint64_t *next = rowsOfMark(*marks, words, letterMark(word[k]));
        for (std::size_t w = 0; w < words; ++w)
            neighbours[w] = rowsOfNeighbours(*marks, words, mark, w) & next[w];
        // The rows of the first characters, unless about every row holds one.
        if (firstWeight[k] >= words * 64) {
            for (std::size_t w = 0; w < words; ++w)
                runs[w] |= neighbours[w];
            continue;
        }
        std::fill(starting.begin(), starting.end(), 0);
        for (const Speller &s : spellers)
            if (s.first & (std::uint64_t(1) << k))
                index.addRows(s.key, starting.data(), words);
        for (std::size_t w = 0; w < words; ++w)
            runs[w] |= starting[w] & neighbours[w];
    }
    for (std::size_t w = 0; w < words; ++w)
        again[w] &= runs[w];
}

// Whether the automaton of a word reaches its end over a cell of coded
// text, a character a step. Its own function: the cursor stays in a
// register, which the reading of every character waits on.
bool spelledByAutomaton(std::string_view cell, const std::uint8_t *automaton, const std::uint32_t *ofByte,
                        const std::uint32_t *ofIndex)
{
    const auto *p = reinterpret_cast<const unsigned char *>(cell.data());
    const auto *end = p + cell.size();
    unsigned state = 0;
    while (p < end) {
        state = automaton[CompactCode::nextValue(p, ofByte, ofIndex) + state];
        if (state == PinyinMatcher::kSpelled)
            return true;
    }
    return false;
}

std::string utf8Of(std::u32string_view text)
{
    std::string out;
    for (char32_t c : text)
        appendUtf8(out, c);
    return out;
}

} // namespace

TableSearch::TableSearch(SearchQuery query) : m_query(std::move(query))
{
    for (const SearchWord &w : m_query.words) {
        m_matchers.emplace_back();
        if (!w.pinyin.empty())
            m_matchers.back().emplace(w.pinyin);
        m_utf8.push_back(utf8Of(w.folded));
    }
}

bool TableSearch::narrows(const TableSearch &previous) const
{
    for (const SearchWord &old : previous.m_query.words) {
        const bool kept = std::any_of(m_query.words.begin(), m_query.words.end(), [&](const SearchWord &w) {
            if (old.excluded || w.excluded)
                return old.excluded && w.excluded && old.folded == w.folded && old.quoted == w.quoted;
            // A pinyin word typed on: whatever the longer word spells or
            // holds, the shorter one does too.
            if (!old.pinyin.empty())
                return w.folded.starts_with(old.folded);
            return w.pinyin.empty() && w.folded.find(old.folded) != std::u32string::npos;
        });
        if (!kept)
            return false;
    }
    return true;
}

bool TableSearch::oneWordOfLetters() const
{
    // A word of characters is answered fast enough from the rows of its
    // characters: it keeps no columns, whose memory would cost more.
    return m_query.words.size() == 1 && !m_query.words[0].excluded && !m_query.words[0].pinyin.empty();
}

bool TableSearch::typedOn(const TableSearch &previous) const
{
    return oneWordOfLetters() && previous.oneWordOfLetters() && narrows(previous);
}

bool TableSearch::wordMatches(std::size_t word, std::u32string_view folded, bool pinyin) const
{
    const SearchWord &w = m_query.words[word];
    if (folded.find(w.folded) != std::u32string_view::npos)
        return true;
    return pinyin && m_matchers[word] && m_matchers[word]->matches(folded);
}

std::vector<CharSpan> TableSearch::spans(std::string_view utf8, bool pinyin) const
{
    std::vector<CharSpan> all;
    if (m_query.empty() || utf8.empty())
        return all;
    const std::u32string folded = foldedText(utf8);
    for (std::size_t i = 0; i < m_query.words.size(); ++i) {
        const SearchWord &w = m_query.words[i];
        if (w.excluded)
            continue;
        for (std::size_t at = folded.find(w.folded); at != std::u32string::npos;
             at = folded.find(w.folded, at + 1))
            all.emplace_back(int(at), int(at + w.folded.size()));
        if (pinyin && m_matchers[i])
            m_matchers[i]->spans(folded, all);
    }
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

bool TableSearch::rowMatches(const ColumnStore &store, const std::vector<SearchColumn> &columns, int row,
                             bool *nameMatch) const
{
    std::string scratch;
    std::vector<std::u32string> texts;
    for (const SearchColumn &c : columns)
        texts.push_back(store.isNull(row, c.column) ? std::u32string()
                                                    : foldedText(store.text(row, c.column, scratch)));
    bool all = true;
    bool names = true;
    for (std::size_t i = 0; i < m_query.words.size(); ++i) {
        bool found = false;
        bool inName = false;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (wordMatches(i, texts[c], columns[c].pinyin)) {
                found = true;
                inName = inName || columns[c].name;
            }
        }
        if (m_query.words[i].excluded) {
            if (found)
                all = false;
        } else {
            all = all && found;
            names = names && inName;
        }
    }
    if (nameMatch)
        *nameMatch = all && names && m_query.hasPositiveWord();
    return all;
}

SearchMatches SearchMatches::writtenOnce(std::size_t words, std::size_t columns)
{
    SearchMatches m;
    m.rows.assign(words, 0);
    m.names.assign(words, 0);
    m.firstFoundIn.assign(columns, RowBits(words, 0));
    return m;
}

TableSearch::Matches TableSearch::run(const ColumnStore &store, const std::vector<SearchColumn> &columns,
                                      const RowBits &candidates, const Matches *typedOnFrom,
                                      Matches reuse) const
{
    Matches m = std::move(reuse);
    m.rows.assign(candidates.size(), 0);
    m.names.assign(candidates.size(), 0);
    m.firstColumns = oneWordOfLetters() ? columns.size() : 0;
    if (m.firstFoundIn.size() < m.firstColumns)
        m.firstFoundIn.resize(m.firstColumns);
    for (std::size_t c = 0; c < m.firstColumns; ++c)
        m.firstFoundIn[c].assign(candidates.size(), 0);
    const bool from = typedOnFrom && oneWordOfLetters() && typedOnFrom->firstColumns == columns.size() &&
                      std::all_of(typedOnFrom->firstFoundIn.begin(),
                                  typedOnFrom->firstFoundIn.begin() + std::ptrdiff_t(columns.size()),
                                  [&](const RowBits &bits) { return bits.size() == candidates.size(); });
    const std::size_t chunkWords = std::size_t(store.chunkRows()) / 64;
    // Each chunk costs its columns' set-up however few rows it is asked
    // for (a typed-on word asks a few rows of every chunk): both cores
    // share the chunks whenever there are two.
    forEachChunk(
        store, candidates,
        [&](int k) {
            const std::size_t first = std::size_t(k) * chunkWords;
            std::vector<std::uint64_t *> firstIn;
            for (std::size_t c = 0; c < m.firstColumns; ++c)
                firstIn.push_back(m.firstFoundIn[c].data() + first);
            std::vector<const std::uint64_t *> fromIn;
            if (from)
                for (std::size_t c = 0; c < columns.size(); ++c)
                    fromIn.push_back(typedOnFrom->firstFoundIn[c].data() + first);
            runChunk(store, columns, k, candidates.data() + first, m.rows.data() + first,
                     m.names.data() + first, firstIn, fromIn);
        },
        0);
    // Cells typed into since loading are read as they are now.
    std::vector<int> edited;
    for (const SearchColumn &c : columns)
        for (int row : store.editedRows(c.column))
            edited.push_back(row);
    std::sort(edited.begin(), edited.end());
    edited.erase(std::unique(edited.begin(), edited.end()), edited.end());
    for (int row : edited) {
        const std::size_t w = std::size_t(row) / 64;
        const std::uint64_t bit = std::uint64_t(1) << (row % 64);
        if (w >= candidates.size() || !(candidates[w] & bit))
            continue;
        bool name = false;
        const bool hit = rowMatches(store, columns, row, &name);
        m.rows[w] = hit ? m.rows[w] | bit : m.rows[w] & ~bit;
        m.names[w] = name ? m.names[w] | bit : m.names[w] & ~bit;
    }
    return m;
}

void TableSearch::runChunk(const ColumnStore &store, const std::vector<SearchColumn> &columns, int chunk,
                           const std::uint64_t *candidates, std::uint64_t *rows, std::uint64_t *names,
                           const std::vector<std::uint64_t *> &first,
                           const std::vector<const std::uint64_t *> &from) const
{
    const std::size_t words = (std::size_t(store.chunk(chunk).rows) + 63) / 64;
    std::vector<std::uint64_t> live(candidates, candidates + words);
    std::vector<std::uint64_t> inNames(words, ~std::uint64_t(0));
    std::vector<std::uint64_t> found(words), todo(words), hit(words);
    auto none = [&](const std::vector<std::uint64_t> &bits) {
        return std::all_of(bits.begin(), bits.end(), [](std::uint64_t b) { return b == 0; });
    };
    // Words that must be found first, then the excluded ones, each only
    // among the rows still in.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < m_query.words.size(); ++i)
        if (!m_query.words[i].excluded)
            order.push_back(i);
    for (std::size_t i = 0; i < m_query.words.size(); ++i)
        if (m_query.words[i].excluded)
            order.push_back(i);
    // Typed on from a search of one word: a row is looked for from the
    // column that found it then on.
    std::vector<std::uint64_t> allowed(from.empty() ? 0 : words, 0);
    std::vector<std::size_t> readAt(columns.size()); // per column, its place in the order read
    std::size_t next = 0;
    for (bool nameColumns : {true, false})
        for (std::size_t c = 0; c < columns.size(); ++c)
            if (columns[c].name == nameColumns)
                readAt[c] = next++;
    for (std::size_t i : order) {
        if (none(live))
            break;
        std::fill(found.begin(), found.end(), 0);
        // The names first: a row found there is looked for no further.
        for (bool nameColumns : {true, false}) {
            for (const SearchColumn &c : columns) {
                if (c.name != nameColumns)
                    continue;
                const std::size_t at = readAt[std::size_t(&c - columns.data())];
                for (std::size_t w = 0; w < words; ++w)
                    todo[w] = live[w] & ~found[w];
                if (!from.empty())
                    for (std::size_t w = 0; w < words; ++w) {
                        allowed[w] |= from[at][w];
                        todo[w] &= allowed[w];
                    }
                if (none(todo)) {
                    if (from.empty())
                        break;
                    continue;
                }
                wordInColumn(store, c, i, chunk, todo.data(), words, hit.data());
                for (std::size_t w = 0; w < words; ++w)
                    found[w] |= hit[w] & todo[w];
                if (!first.empty())
                    for (std::size_t w = 0; w < words; ++w)
                        first[at][w] = hit[w] & todo[w];
            }
            if (nameColumns && !m_query.words[i].excluded)
                for (std::size_t w = 0; w < words; ++w)
                    inNames[w] &= found[w];
        }
        for (std::size_t w = 0; w < words; ++w)
            live[w] = m_query.words[i].excluded ? live[w] & ~found[w] : live[w] & found[w];
    }
    const bool positive = m_query.hasPositiveWord();
    for (std::size_t w = 0; w < words; ++w) {
        rows[w] = live[w];
        names[w] = positive ? live[w] & inNames[w] : 0;
    }
}

void TableSearch::wordInColumn(const ColumnStore &store, const SearchColumn &column, std::size_t word,
                               int chunk, const std::uint64_t *todo, std::size_t words,
                               std::uint64_t *found) const
{
    const StoreChunk &ch = store.chunk(chunk);
    const StoreChunk::Column &cells = ch.columns[std::size_t(column.column)];
    const TextChunk &t = cells.text;
    const SearchWord &w = m_query.words[word];
    const PinyinMatcher *matcher = column.pinyin && m_matchers[word] ? &*m_matchers[word] : nullptr;
    std::fill(found, found + words, 0);
    if (store.isNumeric(column.column))
        return;

    // One cell read out and folded: the way every cell can be searched.
    std::string scratch;
    auto cellMatches = [&](int r) {
        if (cells.isNull(r))
            return false;
        const std::u32string folded = foldedText(t.text(r, scratch));
        if (folded.find(w.folded) != std::u32string::npos)
            return true;
        return matcher && matcher->matches(folded);
    };

    if (t.encoding == TextEncoding::Dictionary) {
        std::vector<char> valueHit(t.valueCount());
        for (std::size_t v = 0; v < t.valueCount(); ++v) {
            const std::u32string folded = foldedText(t.stored(v));
            valueHit[v] =
                folded.find(w.folded) != std::u32string::npos || (matcher && matcher->matches(folded));
        }
        // Most words are in none of a short column's values (a province, an
        // area code): then no row is read at all.
        if (std::find(valueHit.begin(), valueHit.end(), char(1)) == valueHit.end())
            return;
        if (t.codes8.empty())
            rowsOfValues(t.codes16.data(), ch.rows, valueHit, todo, cells.nullBits.data(), words, found);
        else
            rowsOfValues(t.codes8.data(), ch.rows, valueHit, todo, cells.nullBits.data(), words, found);
        return;
    }
    const bool coded = t.encoding == TextEncoding::Compact;
    if ((!coded && !t.ascii) || t.hasNul) {
        keepRows(todo, words, 0, found, cellMatches);
        return;
    }

    // The spellings of the word the chunk may hold, as its bytes hold them:
    // each character in its own form or a form that folds to it (letters in
    // either case), as far as the chunk's code has them.
    std::vector<std::string> spellings{std::string()};
    for (char32_t c : w.folded) {
        std::vector<char32_t> forms;
        for (char32_t f : unfoldedForms(c)) {
            if (f >= U'A' && f <= U'Z')
                continue; // the needle's letters match in either case
            const bool held = f < 0x80
                                  ? t.mayHoldAscii(f) || (f >= U'a' && f <= U'z' && t.mayHoldAscii(f - 0x20))
                                  : coded && t.code.codedLength(f) > 0;
            if (held)
                forms.push_back(f);
        }
        std::vector<std::string> next;
        for (const std::string &s : spellings)
            for (char32_t f : forms) {
                std::string more = s;
                appendUtf8(more, f);
                next.push_back(std::move(more));
            }
        spellings = std::move(next);
        if (spellings.size() > kMostSpellings) {
            keepRows(todo, words, 0, found, cellMatches);
            return;
        }
    }
    std::vector<std::string> needles;
    for (const std::string &s : spellings) {
        std::string needle;
        if (coded ? t.code.encode(s, needle) : (needle = s, true))
            if (!needle.empty())
                needles.push_back(std::move(needle));
    }
    // Cells kept as read are not in the code; irregular cells read
    // otherwise than their bytes: those are read out one by one.
    std::vector<std::uint64_t> exact(words, 0);
    for (std::uint16_t r : t.rawRows)
        exact[r / 64] |= std::uint64_t(1) << (r % 64);
    for (std::uint16_t r : t.irregular)
        exact[r / 64] |= std::uint64_t(1) << (r % 64);

    // Pinyin from the coded bytes, each character's readings looked up
    // once per chunk. In ASCII text pinyin spells only the letters
    // themselves, which the needles find.
    std::vector<const std::uint64_t *> codeRows;
    std::array<const std::uint64_t *, 128> asciiRows{};
    if (matcher && coded) {
        const std::vector<char32_t> &characters = t.code.characters();
        codeRows.resize(characters.size());
        for (std::size_t i = 0; i < characters.size(); ++i)
            codeRows[i] = matcher->transitions(foldCharacter(characters[i]));
        for (char32_t b = 0; b < 128; ++b)
            asciiRows[b] = matcher->transitions(foldCharacter(b));
    }
    // A short word is read by its automaton, a character a step: where
    // each character's row starts, by its code index or its single byte.
    std::vector<std::uint32_t> automatonOfIndex;
    std::array<std::uint32_t, 128> automatonOfByte{};
    const bool byAutomaton = matcher && coded && matcher->hasAutomaton();
    if (byAutomaton) {
        const std::vector<char32_t> &characters = t.code.characters();
        automatonOfIndex.resize(characters.size());
        for (std::size_t i = 0; i < characters.size(); ++i)
            automatonOfIndex[i] = matcher->automatonRow(foldCharacter(characters[i]));
        // A byte of a code the chunk does not use (it has fewer characters
        // than one-byte codes) stands for none.
        for (int b = 0; b < 128; ++b) {
            const int index = CompactCode::indexOfByte(static_cast<unsigned char>(b));
            automatonOfByte[std::size_t(b)] = index < 0 ? matcher->automatonRow(foldCharacter(char32_t(b)))
                                              : std::size_t(index) < automatonOfIndex.size()
                                                  ? automatonOfIndex[std::size_t(index)]
                                                  : matcher->automatonRow(U'\0');
        }
    }
    auto pinyinMatches = [&](int r) {
        const std::string_view cell = t.stored(std::size_t(r));
        if (byAutomaton)
            return spelledByAutomaton(cell, matcher->automaton(), automatonOfByte.data(),
                                      automatonOfIndex.data());
        const auto *p = reinterpret_cast<const unsigned char *>(cell.data());
        const auto *end = p + cell.size();
        const std::uint64_t *row = nullptr;
        return matcher->matchesRun([&]() -> const std::uint64_t *const * {
            if (p >= end)
                return nullptr;
            const int index = CompactCode::nextIndex(p);
            row = index < 0 ? asciiRows[std::size_t(-1 - index)] : codeRows[std::size_t(index)];
            return &row;
        });
    };
    const bool readPinyin = matcher && coded;
    const std::string &letters = w.pinyin;

    // Compact-coded columns and those of plain ASCII know the rows of each
    // of their characters.
    const bool indexed = !t.characters.empty();
    std::vector<std::uint64_t> holding;
    if (indexed) {
        // Only the cells holding every character of the word, in one of its
        // forms, are read; a word of one character is in each of them.
        holding.resize(words);
        std::vector<std::uint64_t> any(words);
        for (std::size_t i = 0; i < words; ++i)
            holding[i] = todo[i] & ~cells.nullBits[i] & ~exact[i];
        for (char32_t c : w.folded) {
            std::fill(any.begin(), any.end(), 0);
            for (char32_t f : unfoldedForms(c)) {
                if (f >= U'A' && f <= U'Z')
                    continue; // a letter is kept under its lower case
                t.characters.addRows(coded      ? CharacterIndex::keyOf(t.code, f)
                                     : f < 0x80 ? int(f)
                                                : -1,
                                     any.data(), words);
            }
            for (std::size_t i = 0; i < words; ++i)
                holding[i] &= any[i];
        }
    }
    // Where the chunk keeps pairs of letters and digits, each pair of the
    // word narrows the cells further: those holding it, or another form of
    // one of its two (a full-width letter). A word of one pair that no
    // other form of spells is in each of them.
    bool onePair = false;
    if (indexed && coded && t.characters.hasPairs()) {
        std::vector<std::uint64_t> any(words);
        for (std::size_t at = 0; at + 1 < w.folded.size(); ++at) {
            const int pair = CharacterIndex::pairKey(w.folded[at], w.folded[at + 1]);
            if (pair < 0)
                continue;
            std::fill(any.begin(), any.end(), 0);
            t.characters.addRows(pair, any.data(), words);
            bool otherForms = false;
            for (char32_t c : {w.folded[at], w.folded[at + 1]})
                for (char32_t f : unfoldedForms(c)) {
                    const int key = f < 0x80 ? -1 : CharacterIndex::keyOf(t.code, f);
                    if (t.characters.rowsHolding(key) > 0) {
                        t.characters.addRows(key, any.data(), words);
                        otherForms = true;
                    }
                }
            for (std::size_t i = 0; i < words; ++i)
                holding[i] &= any[i];
            onePair = w.folded.size() == 2 && !otherForms;
        }
    }
    // In ASCII text, each pair of the word's letters and digits leaves only
    // the cells holding it, where the chunk knows its rows or the pair has
    // a mark of its own (a word of that one pair is in each of them), else
    // those whose marks hold it.
    if (indexed && !coded) {
        std::vector<std::uint64_t> any(words);
        for (std::size_t at = 0; at + 1 < w.folded.size(); ++at) {
            const int pair = CharacterIndex::pairKey(w.folded[at], w.folded[at + 1]);
            if (pair >= 0 && t.characters.knowsPair(pair)) {
                std::fill(any.begin(), any.end(), 0);
                t.characters.addRows(pair, any.data(), words);
                for (std::size_t i = 0; i < words; ++i)
                    holding[i] &= any[i];
                onePair = w.folded.size() == 2;
                continue;
            }
            bool own = false;
            const int mark = asciiPairMark(t.pairMarkOf, w.folded[at], w.folded[at + 1], &own);
            if (mark < 0)
                continue;
            const std::uint64_t *marked = rowsOfMark(t.pairMarks, words, mark);
            for (std::size_t i = 0; i < words; ++i)
                holding[i] &= marked[i];
            onePair = own && w.folded.size() == 2;
        }
    }
    if (indexed && (w.folded.size() == 1 || onePair)) {
        std::copy(holding.begin(), holding.end(), found);
    } else if (indexed && coded) {
        std::vector<std::uint64_t> bits(words);
        for (const std::string &needle : needles) {
            TextNeedle n{needle, true, false};
            std::tie(n.anchor, n.secondAnchor) = t.code.rarestBytes(needle);
            findInAskedCells(t.bytes.data(), t.ends.data(), ch.rows, holding.data(), n, bits.data());
            for (std::size_t i = 0; i < words; ++i)
                found[i] |= bits[i];
        }
    } else {
        // Rows left to look at, up to a third of the chunk, are read where
        // they lie; more, in one pass over the column that passes over long
        // runs of the others.
        const std::uint64_t *read = indexed ? holding.data() : todo;
        std::size_t candidates = 0;
        for (std::size_t i = 0; i < words; ++i)
            candidates += std::size_t(std::popcount(read[i]));
        const bool few = candidates * 3 < std::size_t(ch.rows);
        std::vector<std::uint64_t> bits(words), asked(words);
        for (std::size_t i = 0; i < words; ++i)
            asked[i] = read[i] & ~cells.nullBits[i] & ~exact[i];
        for (const std::string &needle : needles) {
            TextNeedle n{needle, true, false};
            if (coded)
                std::tie(n.anchor, n.secondAnchor) = t.code.rarestBytes(needle);
            if (few)
                findInAskedCells(t.bytes.data(), t.ends.data(), ch.rows, asked.data(), n, bits.data());
            else
                findInCells(t.bytes.data(), t.ends.data(), ch.rows, n, bits.data(), read);
            for (std::size_t i = 0; i < words; ++i)
                found[i] |= bits[i];
        }
    }
    std::vector<std::uint64_t> again(words), more(words);
    bool anyExact = false;
    for (std::size_t i = 0; i < words; ++i) {
        found[i] &= todo[i] & ~cells.nullBits[i] & ~exact[i];
        again[i] = todo[i] & exact[i];
        anyExact = anyExact || again[i];
    }
    if (anyExact) {
        keepRows(again.data(), words, 0, more.data(), cellMatches);
        for (std::size_t i = 0; i < words; ++i)
            found[i] |= more[i];
    }
    if (!readPinyin)
        return;
    // The other rows not found yet are read in pinyin.
    bool any = false;
    for (std::size_t i = 0; i < words; ++i) {
        again[i] = todo[i] & ~found[i] & ~exact[i] & ~cells.nullBits[i];
        any = any || again[i];
    }
    if (!any)
        return;
    if (!t.readingMarks.empty()) {
        // The reading marks pass over the cells the word cannot begin in,
        // 64 rows at a time; a letter is begun by a character of the cell
        // exactly when its mark is there.
        if (letters.size() == 1) {
            const int first = letterMark(letters[0]);
            if (first < 0)
                return;
            const std::uint64_t *letterRows = rowsOfMark(t.readingMarks, words, first);
            for (std::size_t i = 0; i < words; ++i)
                found[i] |= again[i] & letterRows[i];
            return;
        }
        const auto keepMarked = [&](int mark) {
            if (mark < 0)
                return;
            const std::uint64_t *rows = rowsOfMark(t.readingMarks, words, mark);
            for (std::size_t i = 0; i < words; ++i)
                again[i] &= rows[i];
        };
        // The first letter begins a character, and so does each letter no
        // reading holds after the one before it: each such letter's mark
        // must be there, and a mark of its pair with the next: a reading's
        // or the neighbours', the neighbours' alone where no reading
        // begins with the pair.
        for (std::size_t p = 0; p < letters.size(); ++p) {
            if (p > 0 && readingHoldsPair(letters[p - 1], letters[p]))
                continue;
            keepMarked(letterMark(letters[p]));
            if (p + 1 < letters.size()) {
                const char first = letters[p], second = letters[p + 1];
                const std::array<int, 2> neighbours = neighbourPairMarks(first, second);
                if (neighbours[0] < 0)
                    continue;
                const std::uint64_t *reading =
                    readingBeginsWith(first, second)
                        ? rowsOfMark(t.readingMarks, words, readingPairMark(first, second))
                        : nullptr;
                for (std::size_t i = 0; i < words; ++i)
                    again[i] &=
                        (reading ? reading[i] : 0) | rowsOfNeighbours(t.readingMarks, words, neighbours, i);
            }
        }
        if (std::all_of(again.begin(), again.end(), [](std::uint64_t b) { return b == 0; }))
            return;
    }
    // A word no character of the chunk spells part of is spelled only by
    // the ASCII letters and digits it is made of, which the needles found.
    if (std::none_of(codeRows.begin(), codeRows.end(), [](const std::uint64_t *row) { return row; }))
        return;
    std::size_t asked = 0;
    for (std::size_t i = 0; i < words; ++i)
        asked += std::size_t(std::popcount(again[i]));
    // Gathering the rows of characters costs the same however few rows are
    // asked: for a few, each is read.
    if (indexed && letters.size() > 1 && asked * 32 >= std::size_t(ch.rows))
        narrowBySpellers(t.characters, codeRows, asciiRows, *matcher,
                         t.readingMarks.empty() ? nullptr : &t.readingMarks, letters, words, again.data(),
                         found);
    // Each row's end, then its cell, asked of the memory some rows ahead.
    const std::uint32_t *ends = t.ends.data();
    const auto begin = [ends](int r) { return r ? ends[r - 1] : std::uint32_t(0); };
    keepRowsAhead(
        again.data(), words, 0, more.data(), [&](int r) { __builtin_prefetch(ends + r - (r > 0)); },
        [&](int r) { __builtin_prefetch(t.bytes.data() + begin(r)); }, pinyinMatches);
    for (std::size_t i = 0; i < words; ++i)
        found[i] |= more[i];
}

} // namespace store
