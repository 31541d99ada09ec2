#include "platform/db/SqlCellTest.h"

#include "platform/db/SqlLikePattern.h"
#include "platform/db/TextSearch.h"

#include <cstring>
#include <optional>
#include <string>
#include <unordered_map>

namespace platform::db {

namespace {

constexpr double kExactLimit = 9007199254740992.0; // 2^53

bool ordered(SqlOp op, int cmp)
{
    switch (op) {
    case SqlOp::Eq:
        return cmp == 0;
    case SqlOp::Ne:
        return cmp != 0;
    case SqlOp::Lt:
        return cmp < 0;
    case SqlOp::Le:
        return cmp <= 0;
    case SqlOp::Gt:
        return cmp > 0;
    case SqlOp::Ge:
        return cmp >= 0;
    case SqlOp::Like:
        break;
    }
    return false;
}

int compareNumbers(double a, double b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Binary collation: bytes compared as unsigned, then the shorter first.
int compareBytes(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    if (n > 0) {
        if (const int c = std::memcmp(a.data(), b.data(), n))
            return c;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// A number written as the engine writes it when it needs text.
std::optional<std::string> literalText(const SqlLiteral &literal)
{
    switch (literal.kind) {
    case SqlLiteral::Kind::Text:
        return literal.text;
    case SqlLiteral::Kind::Integer:
        return std::to_string(literal.integer);
    case SqlLiteral::Kind::Real:
        break; // "%!.15g" has its own ways; leave such texts to the engine
    }
    return std::nullopt;
}

bool isEngineBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

enum class Reading { Number, Text, Doubt };

// A text meeting a numeric column becomes a number when the whole of it
// (blanks around it allowed) reads as one; otherwise it stays text.
// Readings whose value could depend on how the digits are rounded are
// left to the engine.
Reading readAsNumber(std::string_view text, double &value)
{
    std::size_t i = 0;
    while (i < text.size() && isEngineBlank(text[i]))
        ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    int digits = 0;
    int significant = 0;
    bool decimal = false;
    const auto readDigits = [&] {
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (text[i] != '0' || significant > 0)
                ++significant;
            ++digits;
            ++i;
        }
    };
    readDigits();
    if (i < text.size() && text[i] == '.') {
        decimal = true;
        ++i;
        readDigits();
    }
    if (digits == 0)
        return Reading::Text;
    int exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        decimal = true;
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        const std::size_t expStart = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            exponent = std::min(exponent * 10 + (text[i] - '0'), 1000);
            ++i;
        }
        if (i == expStart)
            return Reading::Text;
    }
    const std::size_t stop = i;
    while (i < text.size() && isEngineBlank(text[i]))
        ++i;
    if (i != text.size())
        return Reading::Text;
    if (significant > 15 || exponent > 20)
        return Reading::Doubt;
    const std::string number(text.substr(start, stop - start));
    value =
        decimal ? std::strtod(number.c_str(), nullptr) : double(std::strtoll(number.c_str(), nullptr, 10));
    return Reading::Number;
}

// --- text columns

class TextCompare : public CellTest
{
public:
    TextCompare(SqlOp op, std::string literal) : m_op(op), m_literal(std::move(literal)) {}

    RowBits keep(const ColumnStore &store, int col, const RowBits &candidates) const override
    {
        const std::string_view lit = m_literal;
        if (m_op == SqlOp::Eq || m_op == SqlOp::Ne) {
            const bool want = m_op == SqlOp::Eq;
            return keepTextCells(store, col, candidates, false, [&](std::string_view t) {
                const bool equal = t.size() == lit.size() &&
                                   (lit.empty() || std::memcmp(t.data(), lit.data(), lit.size()) == 0);
                return equal == want;
            });
        }
        return keepTextCells(store, col, candidates, false,
                             [&](std::string_view t) { return ordered(m_op, compareBytes(t, lit)); });
    }

private:
    SqlOp m_op;
    std::string m_literal;
};

class TextLike : public CellTest
{
public:
    explicit TextLike(const std::string &pattern) : m_pattern(pattern) {}

    RowBits keep(const ColumnStore &store, int col, const RowBits &candidates) const override
    {
        // The engine reads a text only up to a NUL byte.
        const bool cut = store.hasNulText(col);
        const auto notNull = [&](int row) { return !store.isNull(row, col); };
        if (m_pattern.shape() == SqlLikePattern::Shape::Anything)
            return keepRows(candidates, notNull);
        if (m_pattern.shape() == SqlLikePattern::Shape::Contains && !cut && !m_pattern.literal().empty() &&
            isDense(candidates, store.rowCount())) {
            RowBits found = rowsContaining(
                store, col,
                {m_pattern.literal(), m_pattern.literalHasLetters(), m_pattern.literalEndsInMultibyte()});
            for (std::size_t w = 0; w < found.size(); ++w)
                found[w] &= candidates[w];
            return found;
        }
        return keepTextCells(store, col, candidates, cut,
                             [&](std::string_view t) { return m_pattern.matches(t); });
    }

private:
    // Searching the whole column at once pays when many rows are candidates.
    static bool isDense(const RowBits &candidates, int rows)
    {
        std::size_t count = 0;
        for (std::uint64_t w : candidates)
            count += std::size_t(std::popcount(w));
        return count * 8 >= std::size_t(rows);
    }

    SqlLikePattern m_pattern;
};

// --- whole-number columns

class IntegerCompare : public CellTest
{
public:
    // `literalIsText`: the literal stays text, which sorts after every number.
    IntegerCompare(SqlOp op, bool literalIsText, double value)
        : m_op(op), m_literalIsText(literalIsText), m_value(value)
    {
    }

    RowBits keep(const ColumnStore &store, int col, const RowBits &candidates) const override
    {
        const auto notNull = [&](int row) { return !store.isNull(row, col); };
        if (m_literalIsText) {
            const bool pass = ordered(m_op, -1);
            return keepRows(candidates, [&](int row) { return pass && notNull(row); });
        }
        return keepRows(candidates, [&](int row) {
            return ordered(m_op, compareNumbers(store.number(row, col), m_value)) && notNull(row);
        });
    }

private:
    SqlOp m_op;
    bool m_literalIsText;
    double m_value;
};

class IntegerLike : public CellTest
{
public:
    explicit IntegerLike(const std::string &pattern) : m_pattern(pattern) {}

    RowBits keep(const ColumnStore &store, int col, const RowBits &candidates) const override
    {
        // Columns such as a flag hold few distinct numbers: each is matched once.
        std::unordered_map<double, bool> seen;
        return keepRows(candidates, [&](int row) {
            if (store.isNull(row, col))
                return false;
            const double v = store.number(row, col);
            const auto known = seen.find(v);
            if (known != seen.end())
                return known->second;
            const bool match = m_pattern.matches(std::to_string(static_cast<long long>(v)));
            if (seen.size() < 4096)
                seen.emplace(v, match);
            return match;
        });
    }

private:
    SqlLikePattern m_pattern;
};

} // namespace

std::unique_ptr<CellTest> makeSqlCellTest(SqlColumnClass columnClass, SqlOp op, const SqlLiteral &literal)
{
    if (columnClass == SqlColumnClass::Text) {
        const std::optional<std::string> text = literalText(literal);
        if (!text)
            return nullptr;
        if (op == SqlOp::Like)
            return SqlLikePattern(*text).followsEngine() ? std::make_unique<TextLike>(*text) : nullptr;
        return std::make_unique<TextCompare>(op, *text);
    }
    if (op == SqlOp::Like) {
        const std::optional<std::string> text = literalText(literal);
        return text && SqlLikePattern(*text).followsEngine() ? std::make_unique<IntegerLike>(*text) : nullptr;
    }
    switch (literal.kind) {
    case SqlLiteral::Kind::Integer:
        if (double(literal.integer) > kExactLimit || double(literal.integer) < -kExactLimit)
            return nullptr;
        return std::make_unique<IntegerCompare>(op, false, double(literal.integer));
    case SqlLiteral::Kind::Real:
        return std::make_unique<IntegerCompare>(op, false, literal.real);
    case SqlLiteral::Kind::Text: {
        double value = 0;
        switch (readAsNumber(literal.text, value)) {
        case Reading::Number:
            return std::make_unique<IntegerCompare>(op, false, value);
        case Reading::Text:
            return std::make_unique<IntegerCompare>(op, true, 0.0);
        case Reading::Doubt:
            break;
        }
        return nullptr;
    }
    }
    return nullptr;
}

} // namespace platform::db
