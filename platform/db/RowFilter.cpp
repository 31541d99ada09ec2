#include "platform/db/RowFilter.h"

#include "platform/db/DbError.h"
#include "store/ChunkBuilder.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace platform::db {

namespace {

enum class Op { Eq, Ne, Lt, Gt, Le, Ge, Like };

constexpr char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

std::string lowerAscii(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        c = lowerAscii(c);
    return out;
}

bool hasAsciiLetter(std::string_view s)
{
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return lowerAscii(c) != c || (c >= 'a' && c <= 'z'); });
}

// Three-way comparison of a cell with an already lower-cased literal, ignoring
// ASCII case; other bytes (UTF-8 of Chinese text) compare as unsigned bytes.
int compareFolded(std::string_view cell, std::string_view lowerLiteral)
{
    const std::size_t n = std::min(cell.size(), lowerLiteral.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(lowerAscii(cell[i]));
        const auto b = static_cast<unsigned char>(lowerLiteral[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (cell.size() == lowerLiteral.size())
        return 0;
    return cell.size() < lowerLiteral.size() ? -1 : 1;
}

bool equalsFolded(std::string_view cell, std::string_view lowerLiteral)
{
    if (cell.size() != lowerLiteral.size())
        return false;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (lowerAscii(cell[i]) != lowerLiteral[i])
            return false;
    }
    return true;
}

// Byte equality of two texts of the same length. Short texts (all province
// names) are settled by two overlapping word loads instead of a memcmp call.
inline bool sameBytes(const char *a, const char *b, std::size_t n)
{
    if (n >= 8) {
        std::uint64_t a0, b0, a1, b1;
        std::memcpy(&a0, a, 8);
        std::memcpy(&b0, b, 8);
        std::memcpy(&a1, a + n - 8, 8);
        std::memcpy(&b1, b + n - 8, 8);
        if (((a0 ^ b0) | (a1 ^ b1)) != 0)
            return false;
        return n <= 16 || std::memcmp(a + 8, b + 8, n - 16) == 0;
    }
    if (n >= 4) {
        std::uint32_t a0, b0, a1, b1;
        std::memcpy(&a0, a, 4);
        std::memcpy(&b0, b, 4);
        std::memcpy(&a1, a + n - 4, 4);
        std::memcpy(&b1, b + n - 4, 4);
        return ((a0 ^ b0) | (a1 ^ b1)) == 0;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

// Position of a lower-cased needle in the haystack, ignoring ASCII case.
std::size_t findFolded(std::string_view hay, std::string_view lowerNeedle, bool needleHasLetters,
                       std::size_t from)
{
    if (!needleHasLetters)
        return hay.find(lowerNeedle, from);
    if (lowerNeedle.size() > hay.size())
        return std::string_view::npos;
    const std::size_t last = hay.size() - lowerNeedle.size();
    for (std::size_t i = from; i <= last; ++i) {
        if (equalsFolded(hay.substr(i, lowerNeedle.size()), lowerNeedle))
            return i;
    }
    return std::string_view::npos;
}

// Reads a whole text as a number (surrounding blanks allowed).
bool parseNumber(std::string_view s, double &out)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty())
        return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// A LIKE pattern split at its wildcards ('%' or '*'): the pieces between them,
// lower-cased, and whether the text must start or end with the outer pieces.
struct LikePattern
{
    std::vector<std::string> pieces;
    std::vector<bool> pieceHasLetters;
    bool anchoredStart = true;
    bool anchoredEnd = true;

    explicit LikePattern(std::string_view pattern)
    {
        const auto isWild = [](char c) { return c == '%' || c == '*'; };
        anchoredStart = pattern.empty() || !isWild(pattern.front());
        anchoredEnd = pattern.empty() || !isWild(pattern.back());
        std::string piece;
        for (char c : pattern) {
            if (isWild(c)) {
                pieces.push_back(piece);
                piece.clear();
            } else {
                piece.push_back(lowerAscii(c));
            }
        }
        pieces.push_back(piece);
        for (const auto &p : pieces)
            pieceHasLetters.push_back(hasAsciiLetter(p));
    }

    bool piecePresentAt(std::string_view text, std::size_t piece, std::size_t at) const
    {
        const std::string &p = pieces[piece];
        if (pieceHasLetters[piece])
            return equalsFolded(text.substr(at, p.size()), p);
        return sameBytes(text.data() + at, p.data(), p.size());
    }

    bool matches(std::string_view text) const
    {
        if (pieces.size() == 1)
            return text.size() == pieces[0].size() && piecePresentAt(text, 0, 0);
        const std::string &first = pieces.front();
        const std::string &last = pieces.back();
        if (text.size() < first.size() + last.size())
            return false;
        // With a wildcard present the first piece is the prefix and the last
        // the suffix (both empty when the pattern starts or ends with one).
        if (!piecePresentAt(text, 0, 0))
            return false;
        if (!piecePresentAt(text, pieces.size() - 1, text.size() - last.size()))
            return false;
        std::string_view middle = text.substr(first.size(), text.size() - first.size() - last.size());
        std::size_t pos = 0;
        for (std::size_t i = 1; i + 1 < pieces.size(); ++i) {
            if (pieces[i].empty())
                continue;
            const std::size_t at = findFolded(middle, pieces[i], pieceHasLetters[i], pos);
            if (at == std::string_view::npos)
                return false;
            pos = at + pieces[i].size();
        }
        return true;
    }
};

} // namespace

namespace {

// One comparison of a column with a literal, or a test for null, with the
// filter language's rules: text compared without ASCII case, '%' and '*'
// as wildcards, numbers compared as numbers.
struct FilterTest : CellTest
{
    enum class Kind { Compare, IsNull, IsNotNull };

    Kind kind = Kind::Compare;
    QString field;
    Op op = Op::Eq;
    std::string literal;      // UTF-8 text of the literal (a number as it shows)
    std::string lowerLiteral; // the same with ASCII letters lower-cased
    bool literalHasLetters = false;
    double literalNumber = 0;
    bool literalIsNumber = false; // literal reads as a number
    std::unique_ptr<LikePattern> like;

    void prepare(const ColumnStore &store, int column) const override;
    bool passes(const ColumnStore &store, int row, int column, std::string &scratch) const override;
    bool passesText(std::string_view text) const;
    bool passesNumber(double value) const;

protected:
    void keepInChunk(const ColumnStore &store, int column, const ChunkRows &rows) const override;
};

} // namespace

namespace {

// ---------------------------------------------------------------------------
// Reading the expression

enum class Tok { End, LParen, RParen, Name, Text, Number, Op, And, Or, Like, Is, Not, Null };

struct Token
{
    Tok type = Tok::End;
    std::string text; // name, literal text, number text or operator
    std::size_t pos = 0;
};

bool isNameStart(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}

bool isNameChar(unsigned char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9');
}

class Lexer
{
public:
    explicit Lexer(std::string src) : m_src(std::move(src)) {}

    std::vector<Token> run()
    {
        std::vector<Token> out;
        for (;;) {
            skipBlanks();
            Token t;
            t.pos = m_pos;
            if (m_pos >= m_src.size()) {
                out.push_back(t);
                return out;
            }
            const char c = m_src[m_pos];
            if (c == '(') {
                t.type = Tok::LParen;
                ++m_pos;
            } else if (c == ')') {
                t.type = Tok::RParen;
                ++m_pos;
            } else if (c == '\'') {
                t.type = Tok::Text;
                t.text = quoted();
            } else if (c == '#') {
                t.type = Tok::Text;
                t.text = dateLiteral();
            } else if (c == '[') {
                t.type = Tok::Name;
                t.text = bracketedName();
            } else if (c == '=' || c == '<' || c == '>') {
                t.type = Tok::Op;
                t.text = c;
                ++m_pos;
                if (m_pos < m_src.size() && c != '=' &&
                    (m_src[m_pos] == '=' || (c == '<' && m_src[m_pos] == '>'))) {
                    t.text += m_src[m_pos];
                    ++m_pos;
                }
            } else if ((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+') {
                t.type = Tok::Number;
                t.text = number();
            } else if (isNameStart(static_cast<unsigned char>(c))) {
                const std::size_t start = m_pos;
                while (m_pos < m_src.size() && isNameChar(static_cast<unsigned char>(m_src[m_pos])))
                    ++m_pos;
                t.text = m_src.substr(start, m_pos - start);
                t.type = keyword(t.text);
            } else {
                fail("unexpected character", m_pos);
            }
            out.push_back(std::move(t));
        }
    }

    [[noreturn]] void fail(const char *what, std::size_t pos) const
    {
        throw DbError(QStringLiteral("Filter cannot be read: %1 at offset %2 in \"%3\"")
                          .arg(QLatin1String(what))
                          .arg(pos)
                          .arg(QString::fromStdString(m_src)));
    }

private:
    void skipBlanks()
    {
        while (m_pos < m_src.size() &&
               (m_src[m_pos] == ' ' || m_src[m_pos] == '\t' || m_src[m_pos] == '\r' || m_src[m_pos] == '\n'))
            ++m_pos;
    }

    std::string quoted()
    {
        const std::size_t start = m_pos++;
        std::string out;
        for (;;) {
            if (m_pos >= m_src.size())
                fail("unterminated quoted text", start);
            const char c = m_src[m_pos++];
            if (c != '\'') {
                out += c;
                continue;
            }
            if (m_pos < m_src.size() && m_src[m_pos] == '\'') {
                out += '\'';
                ++m_pos;
                continue;
            }
            return out;
        }
    }

    std::string dateLiteral()
    {
        const std::size_t start = m_pos++;
        const std::size_t end = m_src.find('#', m_pos);
        if (end == std::string::npos)
            fail("unterminated date", start);
        std::string out = m_src.substr(m_pos, end - m_pos);
        m_pos = end + 1;
        return out;
    }

    std::string bracketedName()
    {
        const std::size_t start = m_pos++;
        const std::size_t end = m_src.find(']', m_pos);
        if (end == std::string::npos)
            fail("unterminated field name", start);
        std::string out = m_src.substr(m_pos, end - m_pos);
        if (out.empty())
            fail("empty field name", start);
        m_pos = end + 1;
        return out;
    }

    std::string number()
    {
        const std::size_t start = m_pos;
        if (m_src[m_pos] == '-' || m_src[m_pos] == '+')
            ++m_pos;
        const auto digits = [this] {
            const std::size_t from = m_pos;
            while (m_pos < m_src.size() && m_src[m_pos] >= '0' && m_src[m_pos] <= '9')
                ++m_pos;
            return m_pos - from;
        };
        std::size_t count = digits();
        if (m_pos < m_src.size() && m_src[m_pos] == '.') {
            ++m_pos;
            count += digits();
        }
        if (count == 0)
            fail("malformed number", start);
        if (m_pos < m_src.size() && (m_src[m_pos] == 'e' || m_src[m_pos] == 'E')) {
            ++m_pos;
            if (m_pos < m_src.size() && (m_src[m_pos] == '-' || m_src[m_pos] == '+'))
                ++m_pos;
            if (digits() == 0)
                fail("malformed number", start);
        }
        if (m_pos < m_src.size() &&
            (isNameChar(static_cast<unsigned char>(m_src[m_pos])) || m_src[m_pos] == '.'))
            fail("malformed number", start);
        return m_src.substr(start, m_pos - start);
    }

    static Tok keyword(const std::string &word)
    {
        const std::string w = lowerAscii(word);
        if (w == "and")
            return Tok::And;
        if (w == "or")
            return Tok::Or;
        if (w == "like")
            return Tok::Like;
        if (w == "is")
            return Tok::Is;
        if (w == "not")
            return Tok::Not;
        if (w == "null")
            return Tok::Null;
        return Tok::Name;
    }

    std::string m_src;
    std::size_t m_pos = 0;
};

// Recursive descent: or := and (OR and)*; and := term (AND term)*;
// term := '(' or ')' | comparison.
class Parser
{
public:
    Parser(Lexer &lexer, std::vector<Token> tokens) : m_lexer(lexer), m_tokens(std::move(tokens)) {}

    std::unique_ptr<RowPredicate> parseAll()
    {
        auto root = orExpr();
        if (peek().type != Tok::End)
            fail(peek().type == Tok::RParen ? "unbalanced ')'" : "unexpected text after the expression");
        return root;
    }

private:
    const Token &peek() const { return m_tokens[m_next]; }
    const Token &take() { return m_tokens[m_next++]; }
    [[noreturn]] void fail(const char *what) const { m_lexer.fail(what, peek().pos); }

    std::unique_ptr<RowPredicate> orExpr()
    {
        return chain(Tok::Or, RowPredicate::Kind::Or, &Parser::andExpr);
    }
    std::unique_ptr<RowPredicate> andExpr()
    {
        return chain(Tok::And, RowPredicate::Kind::And, &Parser::term);
    }

    std::unique_ptr<RowPredicate> chain(Tok joiner, RowPredicate::Kind kind,
                                        std::unique_ptr<RowPredicate> (Parser::*operand)())
    {
        std::vector<std::unique_ptr<RowPredicate>> parts;
        parts.push_back((this->*operand)());
        while (peek().type == joiner) {
            take();
            parts.push_back((this->*operand)());
        }
        return RowPredicate::join(kind, std::move(parts));
    }

    std::unique_ptr<RowPredicate> term()
    {
        if (peek().type == Tok::LParen) {
            take();
            auto inner = orExpr();
            if (peek().type != Tok::RParen)
                fail("missing ')'");
            take();
            return inner;
        }
        return comparison();
    }

    std::unique_ptr<RowPredicate> comparison()
    {
        if (peek().type != Tok::Name)
            fail("field name expected");
        auto node = std::make_unique<FilterTest>();
        node->field = QString::fromStdString(take().text);
        const QString field = node->field;

        const Token &opTok = peek();
        if (opTok.type == Tok::Is) {
            take();
            bool negate = false;
            if (peek().type == Tok::Not) {
                take();
                negate = true;
            }
            if (peek().type != Tok::Null)
                fail("NULL expected after IS");
            take();
            node->kind = negate ? FilterTest::Kind::IsNotNull : FilterTest::Kind::IsNull;
            return RowPredicate::test(field, std::move(node));
        }
        if (opTok.type == Tok::Like) {
            node->op = Op::Like;
        } else if (opTok.type == Tok::Op) {
            static const std::pair<const char *, Op> ops[] = {{"=", Op::Eq}, {"<>", Op::Ne}, {"<", Op::Lt},
                                                              {">", Op::Gt}, {"<=", Op::Le}, {">=", Op::Ge}};
            for (const auto &[text, op] : ops) {
                if (opTok.text == text)
                    node->op = op;
            }
        } else {
            fail("comparison operator expected");
        }
        take();

        const Token &value = peek();
        if (value.type == Tok::Null && (node->op == Op::Eq || node->op == Op::Ne)) {
            take();
            node->kind = node->op == Op::Eq ? FilterTest::Kind::IsNull : FilterTest::Kind::IsNotNull;
            return RowPredicate::test(field, std::move(node));
        }
        if (value.type == Tok::Text) {
            node->literal = value.text;
            node->literalIsNumber = parseNumber(node->literal, node->literalNumber);
        } else if (value.type == Tok::Number) {
            std::string_view digits = value.text;
            if (digits.front() == '+')
                digits.remove_prefix(1);
            if (std::from_chars(digits.data(), digits.data() + digits.size(), node->literalNumber).ec !=
                std::errc())
                fail("number out of range");
            node->literalIsNumber = true;
            char buf[64];
            node->literal = std::string(writeNumber(node->literalNumber, buf));
        } else {
            fail("value expected");
        }
        take();
        node->kind = FilterTest::Kind::Compare;
        node->lowerLiteral = lowerAscii(node->literal);
        node->literalHasLetters = hasAsciiLetter(node->literal);
        if (node->op == Op::Like)
            node->like = std::make_unique<LikePattern>(node->literal);
        return RowPredicate::test(field, std::move(node));
    }

    Lexer &m_lexer;
    std::vector<Token> m_tokens;
    std::size_t m_next = 0;
};

// ---------------------------------------------------------------------------
// Evaluation

bool ordered(Op op, int cmp)
{
    switch (op) {
    case Op::Eq:
        return cmp == 0;
    case Op::Ne:
        return cmp != 0;
    case Op::Lt:
        return cmp < 0;
    case Op::Gt:
        return cmp > 0;
    case Op::Le:
        return cmp <= 0;
    case Op::Ge:
        return cmp >= 0;
    case Op::Like:
        break;
    }
    return false;
}

} // namespace

void FilterTest::prepare(const ColumnStore &store, int column) const
{
    if (kind == Kind::Compare && op != Op::Like && store.isNumeric(column) && !literalIsNumber)
        throw DbError(QStringLiteral("Filter compares the numeric field \"%1\" with the text '%2'")
                          .arg(field, QString::fromStdString(literal)));
}

bool FilterTest::passesText(std::string_view text) const
{
    if (op == Op::Like)
        return like->matches(text);
    if (op == Op::Eq || op == Op::Ne) {
        const bool equal = literalHasLetters ? equalsFolded(text, lowerLiteral)
                                             : text.size() == lowerLiteral.size() &&
                                                   sameBytes(text.data(), lowerLiteral.data(), text.size());
        return equal == (op == Op::Eq);
    }
    return ordered(op, compareFolded(text, lowerLiteral));
}

bool FilterTest::passesNumber(double value) const
{
    if (op == Op::Like) {
        char buf[64];
        return like->matches(writeNumber(value, buf));
    }
    const double v = literalNumber;
    switch (op) {
    case Op::Eq:
        return value == v;
    case Op::Ne:
        return value != v;
    case Op::Lt:
        return value < v;
    case Op::Gt:
        return value > v;
    case Op::Le:
        return value <= v;
    case Op::Ge:
        return value >= v;
    case Op::Like:
        break;
    }
    return false;
}

bool FilterTest::passes(const ColumnStore &store, int row, int column, std::string &scratch) const
{
    if (kind != Kind::Compare)
        return store.isNull(row, column) == (kind == Kind::IsNull);
    if (store.isNull(row, column))
        return false;
    return store.isNumeric(column) ? passesNumber(store.number(row, column))
                                   : passesText(store.text(row, column, scratch));
}

void FilterTest::keepInChunk(const ColumnStore &store, int column, const ChunkRows &rows) const
{
    const auto &cells = rows.cells;
    if (kind != Kind::Compare) {
        const bool want = kind == Kind::IsNull;
        keepRows(rows.candidates, rows.words, 0, rows.out,
                 [&](int row) { return cells.isNull(row) == want; });
        return;
    }
    // Columns such as a province or a flag hold few distinct values: each is tested once.
    std::vector<char> pass;
    const std::uint8_t *codes8 = nullptr;
    const std::uint16_t *codes16 = nullptr;
    if (store.isNumeric(column) && !cells.numbers.codes.empty()) {
        pass.resize(cells.numbers.valueCount());
        for (std::size_t v = 0; v < pass.size(); ++v)
            pass[v] = passesNumber(cells.numbers.slotNumber(int(v)));
        codes8 = cells.numbers.codes.data();
    } else if (!store.isNumeric(column) && cells.text.encoding == TextEncoding::Dictionary) {
        pass.resize(cells.text.valueCount());
        for (std::size_t v = 0; v < pass.size(); ++v)
            pass[v] = passesText(cells.text.stored(v));
        codes8 = cells.text.codes8.empty() ? nullptr : cells.text.codes8.data();
        codes16 = cells.text.codes16.empty() ? nullptr : cells.text.codes16.data();
    }
    if (codes8) {
        keepRows(rows.candidates, rows.words, 0, rows.out,
                 [&](int row) { return pass[codes8[row]] && !cells.isNull(row); });
    } else if (codes16) {
        keepRows(rows.candidates, rows.words, 0, rows.out,
                 [&](int row) { return pass[codes16[row]] && !cells.isNull(row); });
    } else {
        CellTest::keepInChunk(store, column, rows);
    }
}

namespace {

// Every field name is checked before any row is visited, so an unknown
// field fails even when no row would reach its comparison.
std::function<int(const QString &)> checkedColumns(const RowPredicate &root,
                                                   const std::function<int(const QString &)> &columnOf)
{
    root.forEachTest([&](const RowPredicate &test) {
        if (columnOf(test.column()) < 0)
            throw DbError(QStringLiteral("Filter names an unknown field \"%1\"").arg(test.column()));
    });
    return columnOf;
}

} // namespace

RowFilter RowFilter::parse(const QString &text)
{
    RowFilter filter;
    if (text.trimmed().isEmpty())
        return filter;
    Lexer lexer(text.toStdString());
    Parser parser(lexer, lexer.run());
    filter.m_root = parser.parseAll();
    return filter;
}

RowFilter::RowFilter() = default;
RowFilter::~RowFilter() = default;
RowFilter::RowFilter(RowFilter &&) noexcept = default;
RowFilter &RowFilter::operator=(RowFilter &&) noexcept = default;

std::vector<int> RowFilter::matchingRows(const ColumnStore &store) const
{
    return rowList(matchingRows(
        store, [&store](const QString &name) { return store.columnIndex(name); }, allRows(store.rowCount())));
}

RowBits RowFilter::matchingRows(const ColumnStore &store, const std::function<int(const QString &)> &columnOf,
                                const RowBits &candidates) const
{
    if (!m_root)
        return candidates;
    return m_root->evaluate(store, checkedColumns(*m_root, columnOf), candidates);
}

} // namespace platform::db
