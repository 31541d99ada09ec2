#pragma once

#include "store/PinyinMatcher.h"
#include "store/RowPredicate.h"
#include "store/SearchQuery.h"

#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace store {

class ColumnStore;

// A column the search reads: whether its text is also read in pinyin, and
// whether it is one of the company's names (matches there come first).
struct SearchColumn
{
    int column = -1;
    bool pinyin = false;
    bool name = false;

    bool operator==(const SearchColumn &) const = default;
};

// A run of characters to highlight, [first, last) in characters (not
// UTF-16 units, not bytes).
using CharSpan = std::pair<int, int>;

// What a search found (see TableSearch::run).
struct SearchMatches
{
    RowBits rows;  // the candidates that match
    RowBits names; // among them, those whose names hold every word
    // For a search of one word of letters (see typedOn): per column in
    // the order they are read (the names first), the rows found first
    // there; the first `firstColumns` of them (those after are memory
    // kept for a search that reads more columns).
    std::vector<RowBits> firstFoundIn;
    std::size_t firstColumns = 0;

    // Matches of `words` words of rows, every bitmap of them (`columns`
    // of firstFoundIn) written once: the memory for a search's answer,
    // taken before anyone waits for one.
    static SearchMatches writtenOnce(std::size_t words, std::size_t columns);
};

// A search of the rows of a column store (see SearchQuery for what a
// query means): every word found in some column as its folded characters,
// or in a pinyin column as pinyin; no excluded word found anywhere.
class TableSearch
{
public:
    explicit TableSearch(SearchQuery query);

    const SearchQuery &query() const { return m_query; }

    using Matches = SearchMatches;
    // The candidates that match, chunk by chunk on both cores. Given the
    // matches of a search this one is typed on from (see typedOn), over
    // the same columns and candidates, a row is not looked for in the
    // columns read before the one that found it then: the longer word is
    // found only where the shorter one is. The answer is written over
    // `reuse` (the matches of a search before, no longer needed): memory
    // fresh from the system costs more than the writing.
    Matches run(const ColumnStore &store, const std::vector<SearchColumn> &columns, const RowBits &candidates,
                const Matches *typedOnFrom = nullptr, Matches reuse = {}) const;
    // One row; `nameMatch` (optional) tells whether its names hold every word.
    bool rowMatches(const ColumnStore &store, const std::vector<SearchColumn> &columns, int row,
                    bool *nameMatch = nullptr) const;

    // Whether every row this search finds is one `previous` found in the
    // same candidates: its words only grew at their ends (a pinyin word)
    // or around them (other words), and it adds words or keeps them.
    // Typing on in the box asks only the rows found at the keystroke before.
    bool narrows(const TableSearch &previous) const;
    // Whether both searches have one word of letters (pinyin, or letters
    // and digits as typed), not excluded, and this one's is the other's
    // typed on (see narrows): whatever a column holds of it holds the
    // other's too.
    bool typedOn(const TableSearch &previous) const;

    // Whether a word is found in a text (of a pinyin column or not).
    bool wordMatches(std::size_t word, std::u32string_view folded, bool pinyin) const;
    // The characters of a cell's text to highlight: every place where a word
    // (not an excluded one) is found, merged, ascending.
    std::vector<CharSpan> spans(std::string_view utf8, bool pinyin) const;

private:
    // The rows of a chunk; `first` and `from` (both optional), per column in
    // the order they are read, the chunk's part of Matches::firstFoundIn of
    // this search and of the one typed on from.
    void runChunk(const ColumnStore &store, const std::vector<SearchColumn> &columns, int chunk,
                  const std::uint64_t *candidates, std::uint64_t *rows, std::uint64_t *names,
                  const std::vector<std::uint64_t *> &first,
                  const std::vector<const std::uint64_t *> &from) const;
    bool oneWordOfLetters() const;
    void wordInColumn(const ColumnStore &store, const SearchColumn &column, std::size_t word, int chunk,
                      const std::uint64_t *todo, std::size_t words, std::uint64_t *found) const;

    SearchQuery m_query;
    std::vector<std::optional<PinyinMatcher>> m_matchers; // per word, for pinyin words
    std::vector<std::string> m_utf8;                      // per word, its folded characters in UTF-8
};

} // namespace store
