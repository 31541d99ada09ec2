#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace store {

// One token of an SQL statement, split the way the database engine splits
// it: blanks and comments separate tokens and are not tokens themselves.
struct SqlToken
{
    enum class Kind {
        Word,       // a keyword or a bare name
        QuotedName, // "name", `name` or [name]
        String,     // 'text'
        Number,     // 12, 1.5, .5, 1e3, 0x1F
        Blob,       // x'00ff'
        Variable,   // ?, ?1, :name, @name, $name
        Symbol,     // ( ) , ; . * + - = == < <= > >= <> != || and the like
        Illegal,    // anything the engine would refuse to read
    };

    Kind kind = Kind::Illegal;
    std::size_t begin = 0; // byte offsets into the UTF-8 statement
    std::size_t end = 0;
    // A word or symbol as written; the value of a string literal (a doubled
    // quote read as one).
    std::string text;

    // Whether this is the word `upper` (given in capitals), in any ASCII case.
    bool isWord(std::string_view upper) const;
    bool isSymbol(std::string_view symbol) const { return kind == Kind::Symbol && text == symbol; }
};

// Splits a UTF-8 statement into tokens. The engine reads a statement only up
// to a NUL byte, so the tokens stop there too.
std::vector<SqlToken> tokenizeSql(std::string_view utf8);

// Whether two names are the same name to the engine: equal but for the case
// of ASCII letters.
bool sameSqlName(std::string_view a, std::string_view b);

// Whether a word is one of the engine's keywords (any version), so that it
// may mean something else than a name where a name is expected.
bool isSqlKeyword(std::string_view word);

} // namespace store
