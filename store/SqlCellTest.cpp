#include "store/SqlCellTest.h"

#include "store/SqlLikePattern.h"
#include "store/TextSearch.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>

namespace store {

namespace {

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

// A whole number against a double, exactly, as the engine compares them.
int compareWholeWithReal(std::int64_t i, double r)
{
    if (std::isnan(r))
        return 1; // the engine takes NaN as null; no literal here is one
    if (r < -9223372036854775808.0)
        return 1;
    if (r >= 9223372036854775808.0)
        return -1;
    const auto whole = static_cast<std::int64_t>(r); // toward zero
    if (i != whole)
        return i < whole ? -1 : 1;
    const double rest = r - double(whole);
    return rest > 0 ? -1 : (rest < 0 ? 1 : 0);
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

// A number a literal stands for: a whole number exactly, or a double.
struct NumberValue
{
    bool whole = true;
    std::int64_t integer = 0;
    double real = 0;
};

// A text meeting a numeric column becomes a number when the whole of it
// (blanks around it allowed) reads as one; otherwise it stays text.
// Readings whose value could depend on how the digits are rounded are
// left to the engine.
Reading readAsNumber(std::string_view text, NumberValue &value)
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
    value.whole = !decimal;
    if (decimal)
        value.real = std::strtod(number.c_str(), nullptr);
    else
        value.integer = std::strtoll(number.c_str(), nullptr, 10);
    return Reading::Number;
}

std::string_view cutAtNul(std::string_view text)
{
    return text.substr(0, std::min(text.size(), text.find('\0')));
}

// Rows of a dictionary chunk whose value passes: each value is tested once.
template <typename Passes>
void keepByValue(const TextChunk &t, const StoreChunk::Column &cells, std::size_t words,
                 const std::uint64_t *candidates, std::uint64_t *out, Passes passes)
{
    std::vector<char> pass(t.valueCount());
    for (std::size_t v = 0; v < pass.size(); ++v)
        pass[v] = passes(t.stored(v));
    keepRows(candidates, words, 0, out,
             [&](int row) { return pass[std::size_t(t.valueOf(row))] && !cells.isNull(row); });
}

// Rows of a number chunk that codes its values, whose value passes: each
// value is tested once.
template <typename ChunkRows, typename Passes> void keepCodedNumbers(const ChunkRows &rows, Passes passes)
{
    const NumberChunk &n = rows.cells.numbers;
    std::vector<char> pass(n.valueCount());
    for (std::size_t v = 0; v < pass.size(); ++v)
        pass[v] = passes(n.values[v]);
    keepRows(rows.candidates, rows.words, 0, rows.out,
             [&](int row) { return pass[n.codes[std::size_t(row)]] && !rows.cells.isNull(row); });
}

// --- text columns

class TextCompare : public CellTest
{
public:
    TextCompare(SqlOp op, std::string literal) : m_op(op), m_literal(std::move(literal)) {}

    bool passes(const ColumnStore &store, int row, int column, std::string &scratch) const override
    {
        return !store.isNull(row, column) &&
               ordered(m_op, compareBytes(store.text(row, column, scratch), m_literal));
    }

protected:
    void keepInChunk(const ColumnStore &store, int column, const ChunkRows &rows) const override
    {
        const TextChunk &t = rows.cells.text;
        const auto test = [&](std::string_view cell) { return ordered(m_op, compareBytes(cell, m_literal)); };
        if (t.encoding == TextEncoding::Dictionary) {
            keepByValue(t, rows.cells, rows.words, rows.candidates, rows.out, test);
            return;
        }
        if (t.encoding == TextEncoding::Plain) {
            keepRows(rows.candidates, rows.words, 0, rows.out,
                     [&](int row) { return test(t.stored(std::size_t(row))) && !rows.cells.isNull(row); });
            return;
        }
        if (m_op == SqlOp::Eq || m_op == SqlOp::Ne) {
            // Equal texts have equal codings; a literal without one equals no coded cell.
            std::string coded;
            const bool hasCode = t.code.encode(m_literal, coded);
            const bool want = m_op == SqlOp::Eq;
            keepRows(rows.candidates, rows.words, 0, rows.out, [&](int row) {
                if (rows.cells.isNull(row))
                    return false;
                const std::string_view cell = t.stored(std::size_t(row));
                if (t.isRaw(row))
                    return (cell == m_literal) == want;
                return (hasCode && cell == coded) == want;
            });
            return;
        }
        CellTest::keepInChunk(store, column, rows);
    }

private:
    SqlOp m_op;
    std::string m_literal;
};

class TextLike : public CellTest
{
public:
    explicit TextLike(const std::string &pattern) : m_pattern(pattern) {}

    bool passes(const ColumnStore &store, int row, int column, std::string &scratch) const override
    {
        // The engine reads a text only up to a NUL byte.
        return !store.isNull(row, column) && m_pattern.matches(cutAtNul(store.text(row, column, scratch)));
    }

protected:
    void keepInChunk(const ColumnStore &store, int column, const ChunkRows &rows) const override
    {
        const TextChunk &t = rows.cells.text;
        const auto &cells = rows.cells;
        if (m_pattern.shape() == SqlLikePattern::Shape::Anything) {
            keepRows(rows.candidates, rows.words, 0, rows.out, [&](int row) { return !cells.isNull(row); });
            return;
        }
        switch (t.encoding) {
        case TextEncoding::Dictionary:
            keepByValue(t, cells, rows.words, rows.candidates, rows.out,
                        [&](std::string_view v) { return m_pattern.matches(cutAtNul(v)); });
            return;
        case TextEncoding::Plain:
            keepPlain(t, rows);
            break;
        case TextEncoding::Compact:
            if (!keepCoded(t, rows)) {
                CellTest::keepInChunk(store, column, rows);
                return;
            }
            break;
        }
        // Cells the fast ways cannot settle: kept as read, or read as other characters.
        const auto settle = [&](std::uint16_t row) {
            const std::size_t w = row / 64;
            if (w >= rows.words || !((rows.candidates[w] >> (row % 64)) & 1))
                return;
            const std::uint64_t bit = std::uint64_t(1) << (row % 64);
            if (!cells.isNull(row) && m_pattern.matches(cutAtNul(t.stored(row))))
                rows.out[w] |= bit;
            else
                rows.out[w] &= ~bit;
        };
        if (t.encoding == TextEncoding::Compact)
            for (std::uint16_t row : t.rawRows)
                settle(row);
        else if (!m_pattern.literalIsAscii())
            for (std::uint16_t row : t.irregular)
                settle(row);
    }

private:
    TextNeedle needle() const
    {
        return {m_pattern.literal(), m_pattern.literalHasLetters(), m_pattern.literalEndsInMultibyte()};
    }

    static bool shapeMatches(SqlLikePattern::Shape shape, std::string_view text, const TextNeedle &n)
    {
        switch (shape) {
        case SqlLikePattern::Shape::Exact:
            return equalsNeedle(text, n);
        case SqlLikePattern::Shape::Prefix:
            return startsWithNeedle(text, n);
        case SqlLikePattern::Shape::Suffix:
            return endsWithNeedle(text, n);
        case SqlLikePattern::Shape::Contains:
            return containsNeedle(text, n);
        default:
            break;
        }
        return false;
    }

    // Rows that start with the needle's bytes: their heads rule out most
    // rows, and only a row whose head agrees has its cell read by `starts`.
    template <typename Starts>
    static void keepPrefix(const TextChunk &t, std::string_view lower, const ChunkRows &rows, Starts starts)
    {
        findPrefixInHeads(t.heads.data(), rows.words, lower, rows.out);
        for (std::size_t w = 0; w < rows.words; ++w) {
            std::uint64_t todo = rows.out[w] & rows.candidates[w] & ~nullWord(rows.cells, w);
            std::uint64_t bits = 0;
            const int base = int(w * 64);
            while (todo) {
                const int b = std::countr_zero(todo);
                todo &= todo - 1;
                if (starts(base + b))
                    bits |= std::uint64_t(1) << b;
            }
            rows.out[w] = bits;
        }
    }

    void keepPlain(const TextChunk &t, const ChunkRows &rows) const
    {
        const auto &cells = rows.cells;
        if (m_pattern.shape() == SqlLikePattern::Shape::Prefix && !t.heads.empty() &&
            !m_pattern.literal().empty()) {
            keepPrefix(t, m_pattern.literal(), rows, [&](int row) {
                std::string_view cell = t.stored(std::size_t(row));
                return m_pattern.matchesWellFormed(t.hasNul ? cutAtNul(cell) : cell);
            });
            return;
        }
        if (m_pattern.shape() == SqlLikePattern::Shape::Contains && !t.hasNul &&
            !m_pattern.literal().empty()) {
            findInCells(t.bytes.data(), t.ends.data(), rows.chunk.rows, needle(), rows.out);
            for (std::size_t w = 0; w < rows.words; ++w)
                rows.out[w] &= ~nullWord(cells, w);
            return;
        }
        keepRows(rows.candidates, rows.words, 0, rows.out, [&](int row) {
            std::string_view cell = t.stored(std::size_t(row));
            if (t.hasNul)
                cell = cutAtNul(cell);
            return m_pattern.matchesWellFormed(cell) && !cells.isNull(row);
        });
    }

    // Searches the coded cells for the coded literal; false for a pattern
    // that needs each cell written out.
    bool keepCoded(const TextChunk &t, const ChunkRows &rows) const
    {
        const SqlLikePattern::Shape shape = m_pattern.shape();
        if (shape == SqlLikePattern::Shape::General)
            return false;
        std::string coded;
        if (!t.code.encode(m_pattern.literal(), coded)) {
            // A character no coded cell holds.
            for (std::size_t w = 0; w < rows.words; ++w)
                rows.out[w] = 0;
            return true;
        }
        TextNeedle n{coded, m_pattern.literalHasLetters(), false};
        if (shape == SqlLikePattern::Shape::Contains && !coded.empty() && !t.characters.empty()) {
            // Only the cells holding every character of the literal are read;
            // one of a single character holds it.
            std::tie(n.anchor, n.secondAnchor) = t.code.rarestBytes(coded);
            std::vector<std::uint64_t> holding(rows.candidates, rows.candidates + rows.words);
            for (std::size_t w = 0; w < rows.words; ++w)
                holding[w] &= ~nullWord(rows.cells, w);
            t.characters.keepRowsHoldingAll(coded, holding.data(), rows.words);
            const auto *first = reinterpret_cast<const unsigned char *>(coded.data());
            CompactCode::nextIndex(first);
            if (first == reinterpret_cast<const unsigned char *>(coded.data() + coded.size())) {
                std::copy(holding.begin(), holding.end(), rows.out);
                return true;
            }
            findInAskedCells(t.bytes.data(), t.ends.data(), std::min(rows.chunk.rows, int(rows.words * 64)),
                             holding.data(), n, rows.out);
            return true;
        }
        if (shape == SqlLikePattern::Shape::Contains && !coded.empty()) {
            std::tie(n.anchor, n.secondAnchor) = t.code.rarestBytes(coded);
            findInCells(t.bytes.data(), t.ends.data(), rows.chunk.rows, n, rows.out);
            for (std::size_t w = 0; w < rows.words; ++w)
                rows.out[w] &= ~nullWord(rows.cells, w);
            return true;
        }
        if (shape == SqlLikePattern::Shape::Prefix && !t.heads.empty() && !coded.empty()) {
            keepPrefix(t, coded, rows,
                       [&](int row) { return startsWithNeedle(t.stored(std::size_t(row)), n); });
            return true;
        }
        keepRows(rows.candidates, rows.words, 0, rows.out, [&](int row) {
            return shapeMatches(shape, t.stored(std::size_t(row)), n) && !rows.cells.isNull(row);
        });
        return true;
    }

    static std::uint64_t nullWord(const StoreChunk::Column &cells, std::size_t w)
    {
        return cells.nullBits[w];
    }

    SqlLikePattern m_pattern;
};

// --- whole-number columns

class IntegerCompare : public CellTest
{
public:
    enum class Literal { Whole, Real, Text };
    IntegerCompare(SqlOp op, Literal kind, NumberValue value) : m_op(op), m_kind(kind), m_value(value) {}

    bool passes(const ColumnStore &store, int row, int column, std::string &) const override
    {
        if (store.isNull(row, column))
            return false;
        if (!store.isWholeNumber(row, column)) {
            // An edit that no longer reads as a whole number.
            const double v = store.number(row, column);
            const int cmp = m_kind == Literal::Text   ? -1
                            : m_kind == Literal::Real ? (v < m_value.real   ? -1
                                                         : v > m_value.real ? 1
                                                                            : 0)
                                                      : -compareWholeWithReal(m_value.integer, v);
            return ordered(m_op, cmp);
        }
        return passesValue(store.integer(row, column));
    }

protected:
    void keepInChunk(const ColumnStore &, int, const ChunkRows &rows) const override
    {
        const NumberChunk &n = rows.cells.numbers;
        const auto &cells = rows.cells;
        if (!n.codes.empty()) {
            keepCodedNumbers(rows, [&](std::int64_t v) { return passesValue(v); });
            return;
        }
        keepRows(rows.candidates, rows.words, 0, rows.out,
                 [&](int row) { return passesValue(n.values[std::size_t(row)]) && !cells.isNull(row); });
    }

private:
    bool passesValue(std::int64_t cell) const
    {
        switch (m_kind) {
        case Literal::Whole:
            return ordered(m_op, cell < m_value.integer ? -1 : (cell > m_value.integer ? 1 : 0));
        case Literal::Real:
            return ordered(m_op, compareWholeWithReal(cell, m_value.real));
        case Literal::Text:
            break;
        }
        return ordered(m_op, -1); // text sorts after every number
    }

    SqlOp m_op;
    Literal m_kind;
    NumberValue m_value;
};

class IntegerLike : public CellTest
{
public:
    explicit IntegerLike(const std::string &pattern) : m_pattern(pattern) {}

    bool passes(const ColumnStore &store, int row, int column, std::string &) const override
    {
        if (store.isNull(row, column))
            return false;
        return m_pattern.matches(store.isWholeNumber(row, column)
                                     ? std::to_string(store.integer(row, column))
                                     : store.displayText(row, column).toStdString());
    }

protected:
    void keepInChunk(const ColumnStore &, int, const ChunkRows &rows) const override
    {
        const NumberChunk &n = rows.cells.numbers;
        const auto &cells = rows.cells;
        if (!n.codes.empty()) {
            keepCodedNumbers(rows, [&](std::int64_t v) { return m_pattern.matches(std::to_string(v)); });
            return;
        }
        std::unordered_map<std::int64_t, bool> seen;
        keepRows(rows.candidates, rows.words, 0, rows.out, [&](int row) {
            if (cells.isNull(row))
                return false;
            const std::int64_t v = n.values[std::size_t(row)];
            const auto known = seen.find(v);
            if (known != seen.end())
                return known->second;
            const bool match = m_pattern.matches(std::to_string(v));
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
    using Literal = IntegerCompare::Literal;
    NumberValue value;
    switch (literal.kind) {
    case SqlLiteral::Kind::Integer:
        value.integer = literal.integer;
        return std::make_unique<IntegerCompare>(op, Literal::Whole, value);
    case SqlLiteral::Kind::Real:
        value.whole = false;
        value.real = literal.real;
        return std::make_unique<IntegerCompare>(op, Literal::Real, value);
    case SqlLiteral::Kind::Text:
        switch (readAsNumber(literal.text, value)) {
        case Reading::Number:
            return std::make_unique<IntegerCompare>(op, value.whole ? Literal::Whole : Literal::Real, value);
        case Reading::Text:
            return std::make_unique<IntegerCompare>(op, Literal::Text, value);
        case Reading::Doubt:
            break;
        }
        return nullptr;
    }
    return nullptr;
}

} // namespace store
