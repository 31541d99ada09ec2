#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace store {

// One word of a search: its characters folded (see foldCharacter), and
// the letters it spells when it may be read as pinyin.
struct SearchWord
{
    std::u32string folded;
    // ASCII letters and digits, lower case, when the word is nothing else,
    // holds a letter, is not quoted and is short enough (63 at most) to be
    // read as pinyin; empty otherwise.
    std::string pinyin;
    bool quoted = false;   // "…": matches only as typed
    bool excluded = false; // -word: the companies it matches are left out

    bool operator==(const SearchWord &) const = default;
};

// What the user typed into the search box: words separated by blanks
// (ASCII or ideographic), each to be found; a word in double quotes (ASCII
// or Chinese) may hold blanks and matches only as typed; a word led by "-"
// excludes. A lone "-" or empty quotes are no word.
struct SearchQuery
{
    std::vector<SearchWord> words;

    static SearchQuery parse(std::string_view utf8);
    bool empty() const { return words.empty(); }
    // Whether some word must be found (not only excluded).
    bool hasPositiveWord() const;

    bool operator==(const SearchQuery &) const = default;
};

} // namespace store
