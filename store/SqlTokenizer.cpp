#include "store/SqlTokenizer.h"

#include <algorithm>
#include <array>

namespace store {

namespace {

bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(unsigned char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Characters of a bare name: letters, digits, '_', '$' and every byte of a
// multi-byte UTF-8 character.
bool isNameChar(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigit(c) || c == '_' || c == '$' ||
           c >= 0x80;
}

bool isNameStart(unsigned char c)
{
    return isNameChar(c) && !isDigit(c) && c != '$';
}

// The engine's blanks; a vertical tab is not one of them.
bool isBlank(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

char upperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - ('a' - 'A')) : c;
}

class Scanner
{
public:
    explicit Scanner(std::string_view src) : m_src(src.substr(0, std::min(src.size(), src.find('\0')))) {}

    std::vector<SqlToken> run()
    {
        std::vector<SqlToken> out;
        for (;;) {
            skipBlanksAndComments();
            if (m_pos >= m_src.size())
                return out;
            SqlToken t;
            t.begin = m_pos;
            scan(t);
            t.end = m_pos;
            if (t.kind == SqlToken::Kind::Word || t.kind == SqlToken::Kind::Symbol ||
                t.kind == SqlToken::Kind::Number)
                t.text = std::string(m_src.substr(t.begin, t.end - t.begin));
            out.push_back(std::move(t));
        }
    }

private:
    unsigned char at(std::size_t i) const
    {
        return i < m_src.size() ? static_cast<unsigned char>(m_src[i]) : 0;
    }

    void skipBlanksAndComments()
    {
        for (;;) {
            while (m_pos < m_src.size() && isBlank(at(m_pos)))
                ++m_pos;
            if (at(m_pos) == '-' && at(m_pos + 1) == '-') {
                const std::size_t eol = m_src.find('\n', m_pos);
                m_pos = eol == std::string_view::npos ? m_src.size() : eol + 1;
            } else if (at(m_pos) == '/' && at(m_pos + 1) == '*') {
                // An unclosed comment runs to the end of the statement.
                const std::size_t close = m_src.find("*/", m_pos + 2);
                m_pos = close == std::string_view::npos ? m_src.size() : close + 2;
            } else {
                return;
            }
        }
    }

    void scan(SqlToken &t)
    {
        const unsigned char c = at(m_pos);
        if (c == '\'') {
            t.kind = quoted('\'', '\'', &t.text) ? SqlToken::Kind::String : SqlToken::Kind::Illegal;
        } else if (c == '"' || c == '`') {
            t.kind = quoted(c, c, nullptr) ? SqlToken::Kind::QuotedName : SqlToken::Kind::Illegal;
        } else if (c == '[') {
            const std::size_t close = m_src.find(']', m_pos);
            m_pos = close == std::string_view::npos ? m_src.size() : close + 1;
            t.kind = close == std::string_view::npos ? SqlToken::Kind::Illegal : SqlToken::Kind::QuotedName;
        } else if ((c == 'x' || c == 'X') && at(m_pos + 1) == '\'') {
            ++m_pos;
            std::string hex;
            const bool closed = quoted('\'', 0, &hex);
            const bool valid = closed && hex.size() % 2 == 0 &&
                               std::all_of(hex.begin(), hex.end(), [](char h) { return isHexDigit(h); });
            t.kind = valid ? SqlToken::Kind::Blob : SqlToken::Kind::Illegal;
        } else if (isDigit(c) || (c == '.' && isDigit(at(m_pos + 1)))) {
            t.kind = number();
        } else if (isNameStart(c)) {
            while (m_pos < m_src.size() && isNameChar(at(m_pos)))
                ++m_pos;
            t.kind = SqlToken::Kind::Word;
        } else if (c == '?') {
            ++m_pos;
            while (isDigit(at(m_pos)))
                ++m_pos;
            t.kind = SqlToken::Kind::Variable;
        } else if (c == ':' || c == '@' || c == '$' || c == '#') {
            ++m_pos;
            const std::size_t start = m_pos;
            while (m_pos < m_src.size() && isNameChar(at(m_pos)))
                ++m_pos;
            t.kind = m_pos > start ? SqlToken::Kind::Variable : SqlToken::Kind::Illegal;
        } else {
            t.kind = symbol();
        }
    }

    // Reads a quoted run starting at the opening quote; a doubled closing
    // quote stands for one (when `close` is 0 nothing is doubled). Returns
    // false when the run is not closed.
    bool quoted(unsigned char open, unsigned char close, std::string *value)
    {
        const unsigned char end = close ? close : open;
        ++m_pos;
        for (;;) {
            if (m_pos >= m_src.size())
                return false;
            const char ch = m_src[m_pos++];
            if (static_cast<unsigned char>(ch) != end) {
                if (value)
                    value->push_back(ch);
                continue;
            }
            if (close && at(m_pos) == end) {
                if (value)
                    value->push_back(ch);
                ++m_pos;
                continue;
            }
            return true;
        }
    }

    SqlToken::Kind number()
    {
        SqlToken::Kind kind = SqlToken::Kind::Number;
        if (at(m_pos) == '0' && (at(m_pos + 1) == 'x' || at(m_pos + 1) == 'X') && isHexDigit(at(m_pos + 2))) {
            m_pos += 2;
            while (isHexDigit(at(m_pos)))
                ++m_pos;
        } else {
            while (isDigit(at(m_pos)))
                ++m_pos;
            if (at(m_pos) == '.') {
                ++m_pos;
                while (isDigit(at(m_pos)))
                    ++m_pos;
            }
            if ((at(m_pos) == 'e' || at(m_pos) == 'E') &&
                (isDigit(at(m_pos + 1)) ||
                 ((at(m_pos + 1) == '+' || at(m_pos + 1) == '-') && isDigit(at(m_pos + 2))))) {
                m_pos += 2;
                while (isDigit(at(m_pos)))
                    ++m_pos;
            }
        }
        // A number running straight into a name is no number at all.
        while (m_pos < m_src.size() && isNameChar(at(m_pos))) {
            kind = SqlToken::Kind::Illegal;
            ++m_pos;
        }
        return kind;
    }

    SqlToken::Kind symbol()
    {
        const unsigned char c = at(m_pos);
        const unsigned char n = at(m_pos + 1);
        static constexpr std::array<const char *, 8> pairs = {"==", "<=", "<>", "<<", ">=", ">>", "!=", "||"};
        for (const char *p : pairs) {
            if (c == static_cast<unsigned char>(p[0]) && n == static_cast<unsigned char>(p[1])) {
                m_pos += 2;
                return SqlToken::Kind::Symbol;
            }
        }
        ++m_pos;
        if (std::string_view("()[],;.*+-/%=<>&|~").find(char(c)) != std::string_view::npos)
            return SqlToken::Kind::Symbol;
        return SqlToken::Kind::Illegal;
    }

    std::string_view m_src;
    std::size_t m_pos = 0;
};

} // namespace

bool SqlToken::isWord(std::string_view upper) const
{
    if (kind != Kind::Word || text.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (upperAscii(text[i]) != upper[i])
            return false;
    }
    return true;
}

bool sameSqlName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return upperAscii(x) == upperAscii(y); });
}

std::vector<SqlToken> tokenizeSql(std::string_view utf8)
{
    return Scanner(utf8).run();
}

bool isSqlKeyword(std::string_view word)
{
    // Every keyword of the engine's releases up to now, in capitals and sorted.
    static constexpr std::string_view keywords[] = {
        "ABORT",
        "ACTION",
        "ADD",
        "AFTER",
        "ALL",
        "ALTER",
        "ALWAYS",
        "ANALYZE",
        "AND",
        "AS",
        "ASC",
        "ATTACH",
        "AUTOINCREMENT",
        "BEFORE",
        "BEGIN",
        "BETWEEN",
        "BY",
        "CASCADE",
        "CASE",
        "CAST",
        "CHECK",
        "COLLATE",
        "COLUMN",
        "COMMIT",
        "CONFLICT",
        "CONSTRAINT",
        "CREATE",
        "CROSS",
        "CURRENT",
        "CURRENT_DATE",
        "CURRENT_TIME",
        "CURRENT_TIMESTAMP",
        "DATABASE",
        "DEFAULT",
        "DEFERRABLE",
        "DEFERRED",
        "DELETE",
        "DESC",
        "DETACH",
        "DISTINCT",
        "DO",
        "DROP",
        "EACH",
        "ELSE",
        "END",
        "ESCAPE",
        "EXCEPT",
        "EXCLUDE",
        "EXCLUSIVE",
        "EXISTS",
        "EXPLAIN",
        "FAIL",
        "FALSE",
        "FILTER",
        "FIRST",
        "FOLLOWING",
        "FOR",
        "FOREIGN",
        "FROM",
        "FULL",
        "GENERATED",
        "GLOB",
        "GROUP",
        "GROUPS",
        "HAVING",
        "IF",
        "IGNORE",
        "IMMEDIATE",
        "IN",
        "INDEX",
        "INDEXED",
        "INITIALLY",
        "INNER",
        "INSERT",
        "INSTEAD",
        "INTERSECT",
        "INTO",
        "IS",
        "ISNULL",
        "JOIN",
        "KEY",
        "LAST",
        "LEFT",
        "LIKE",
        "LIMIT",
        "MATCH",
        "MATERIALIZED",
        "NATURAL",
        "NO",
        "NOT",
        "NOTHING",
        "NOTNULL",
        "NULL",
        "NULLS",
        "OF",
        "OFFSET",
        "ON",
        "OR",
        "ORDER",
        "OTHERS",
        "OUTER",
        "OVER",
        "PARTITION",
        "PLAN",
        "PRAGMA",
        "PRECEDING",
        "PRIMARY",
        "QUERY",
        "RAISE",
        "RANGE",
        "RECURSIVE",
        "REFERENCES",
        "REGEXP",
        "REINDEX",
        "RELEASE",
        "RENAME",
        "REPLACE",
        "RESTRICT",
        "RETURNING",
        "RIGHT",
        "ROLLBACK",
        "ROW",
        "ROWS",
        "SAVEPOINT",
        "SELECT",
        "SET",
        "TABLE",
        "TEMP",
        "TEMPORARY",
        "THEN",
        "TIES",
        "TO",
        "TRANSACTION",
        "TRIGGER",
        "TRUE",
        "UNBOUNDED",
        "UNION",
        "UNIQUE",
        "UPDATE",
        "USING",
        "VACUUM",
        "VALUES",
        "VIEW",
        "VIRTUAL",
        "WHEN",
        "WHERE",
        "WINDOW",
        "WITH",
        "WITHOUT",
    };
    if (word.empty() || word.size() > 17)
        return false;
    std::string upper(word);
    std::transform(upper.begin(), upper.end(), upper.begin(), upperAscii);
    return std::binary_search(std::begin(keywords), std::end(keywords), std::string_view(upper));
}

} // namespace store
