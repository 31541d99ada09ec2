#pragma once

#include "store/SqlTokenizer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace store {

// A literal of a condition as the engine reads it.
struct SqlLiteral
{
    enum class Kind { Integer, Real, Text };
    Kind kind = Kind::Text;
    std::int64_t integer = 0;
    double real = 0;
    std::string text; // the bytes of a text literal
};

enum class SqlOp { Eq, Ne, Lt, Le, Gt, Ge, Like };

// A WHERE condition: comparisons of a column with a literal joined by AND
// and OR.
struct SqlCondition
{
    enum class Kind { And, Or, Compare };
    Kind kind = Kind::Compare;
    std::vector<SqlCondition> parts; // And, Or
    std::string column;              // Compare: a bare column name
    SqlOp op = SqlOp::Eq;
    SqlLiteral literal;
};

// A statement that a snapshot of a whole table may answer:
//
//   statement := SELECT ( "*" | name { "," name } ) FROM name [ WHERE or ]
//   or        := and { OR and }
//   and       := term { AND term }
//   term      := "(" or ")" | name op literal
//   op        := "=" | "==" | "<>" | "!=" | "<" | "<=" | ">" | ">=" | LIKE
//   literal   := 'text' | [ "+" | "-" ] number
//
// Names are bare words that are no keywords; numbers are whole (at most
// eighteen digits) or decimal with at most fifteen significant digits,
// without exponent. Anything else (aliases, qualified or quoted names,
// functions, NOT, IS, IN, BETWEEN, ESCAPE, ORDER BY, a ';' ...) is outside.
struct SnapshotSelect
{
    bool allColumns = false;
    std::vector<std::string> columns;
    std::string table;
    std::optional<SqlCondition> where;

    // The statement read from its tokens, or nothing when it is outside
    // the form above.
    static std::optional<SnapshotSelect> parse(const std::vector<SqlToken> &tokens);
};

} // namespace store
