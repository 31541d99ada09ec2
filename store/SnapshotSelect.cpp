#include "store/SnapshotSelect.h"

#include <cstdlib>

namespace store {

namespace {

// Reading stops at the first token outside the form: `ok` turns false and
// stays so.
class Reader
{
public:
    explicit Reader(const std::vector<SqlToken> &tokens) : m_tokens(tokens) {}

    std::optional<SnapshotSelect> statement()
    {
        SnapshotSelect s;
        expectWord("SELECT");
        if (peekSymbol("*")) {
            ++m_next;
            s.allColumns = true;
        } else {
            s.columns.push_back(name());
            while (m_ok && peekSymbol(",")) {
                ++m_next;
                s.columns.push_back(name());
            }
        }
        expectWord("FROM");
        s.table = name();
        if (m_ok && !atEnd()) {
            expectWord("WHERE");
            s.where = orCondition();
        }
        if (!m_ok || !atEnd())
            return std::nullopt;
        return s;
    }

private:
    bool atEnd() const { return m_next >= m_tokens.size(); }
    const SqlToken *peek() const { return m_ok && !atEnd() ? &m_tokens[m_next] : nullptr; }
    bool peekSymbol(const char *symbol) const { return peek() && peek()->isSymbol(symbol); }
    bool peekWord(const char *word) const { return peek() && peek()->isWord(word); }

    void expectWord(const char *word)
    {
        if (peekWord(word))
            ++m_next;
        else
            m_ok = false;
    }

    std::string name()
    {
        const SqlToken *t = peek();
        if (!t || t->kind != SqlToken::Kind::Word || isSqlKeyword(t->text)) {
            m_ok = false;
            return std::string();
        }
        ++m_next;
        return t->text;
    }

    SqlCondition joined(SqlCondition::Kind kind, const char *joiner, SqlCondition (Reader::*operand)())
    {
        SqlCondition first = (this->*operand)();
        if (!peekWord(joiner))
            return first;
        SqlCondition node;
        node.kind = kind;
        node.parts.push_back(std::move(first));
        while (m_ok && peekWord(joiner)) {
            ++m_next;
            node.parts.push_back((this->*operand)());
        }
        return node;
    }

    SqlCondition orCondition() { return joined(SqlCondition::Kind::Or, "OR", &Reader::andCondition); }
    SqlCondition andCondition() { return joined(SqlCondition::Kind::And, "AND", &Reader::term); }

    SqlCondition term()
    {
        if (peekSymbol("(")) {
            ++m_next;
            SqlCondition inner = orCondition();
            if (peekSymbol(")"))
                ++m_next;
            else
                m_ok = false;
            return inner;
        }
        SqlCondition c;
        c.column = name();
        c.op = op();
        c.literal = literal();
        return c;
    }

    SqlOp op()
    {
        const SqlToken *t = peek();
        if (t && t->isWord("LIKE")) {
            ++m_next;
            return SqlOp::Like;
        }
        static const std::pair<const char *, SqlOp> symbols[] = {
            {"=", SqlOp::Eq}, {"==", SqlOp::Eq}, {"<>", SqlOp::Ne}, {"!=", SqlOp::Ne},
            {"<", SqlOp::Lt}, {"<=", SqlOp::Le}, {">", SqlOp::Gt},  {">=", SqlOp::Ge}};
        for (const auto &[symbol, o] : symbols) {
            if (t && t->isSymbol(symbol)) {
                ++m_next;
                return o;
            }
        }
        m_ok = false;
        return SqlOp::Eq;
    }

    SqlLiteral literal()
    {
        SqlLiteral lit;
        const SqlToken *t = peek();
        if (t && t->kind == SqlToken::Kind::String) {
            ++m_next;
            lit.text = t->text;
            return lit;
        }
        bool negative = false;
        if (t && (t->isSymbol("-") || t->isSymbol("+"))) {
            negative = t->isSymbol("-");
            ++m_next;
            t = peek();
        }
        if (!t || t->kind != SqlToken::Kind::Number) {
            m_ok = false;
            return lit;
        }
        ++m_next;
        if (!readNumber(t->text, negative, lit))
            m_ok = false;
        return lit;
    }

    // Whole numbers and plain decimals only: their value is the same
    // however they are read. Exponents and hexadecimal are left out.
    static bool readNumber(const std::string &digits, bool negative, SqlLiteral &lit)
    {
        int significant = 0;
        bool point = false;
        bool leading = true;
        for (char c : digits) {
            if (c == '.') {
                point = true;
                continue;
            }
            if (c < '0' || c > '9')
                return false;
            if (c != '0' || !leading) {
                leading = false;
                ++significant;
            }
        }
        if (!point) {
            if (significant > 18)
                return false;
            const std::int64_t value = std::strtoll(digits.c_str(), nullptr, 10);
            lit.kind = SqlLiteral::Kind::Integer;
            lit.integer = negative ? -value : value;
            return true;
        }
        if (significant > 15 || digits.size() > 40)
            return false;
        lit.kind = SqlLiteral::Kind::Real;
        lit.real = std::strtod(digits.c_str(), nullptr);
        if (negative)
            lit.real = -lit.real;
        return true;
    }

    const std::vector<SqlToken> &m_tokens;
    std::size_t m_next = 0;
    bool m_ok = true;
};

} // namespace

std::optional<SnapshotSelect> SnapshotSelect::parse(const std::vector<SqlToken> &tokens)
{
    return Reader(tokens).statement();
}

} // namespace store
