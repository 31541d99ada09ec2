#include "platform/db/RowSort.h"

#include "platform/db/DbError.h"

#include <QRegularExpression>

#include <array>

namespace platform::db {

std::vector<SortTerm> parseSortText(const QString &text)
{
    std::vector<SortTerm> terms;
    if (text.trimmed().isEmpty())
        return terms;
    static const QRegularExpression term(QStringLiteral("^\\s*([^\\s,]+)(?:\\s+(ASC|DESC))?\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    for (const QString &part : text.split(QLatin1Char(','))) {
        const QRegularExpressionMatch m = term.match(part);
        if (!m.hasMatch())
            throw DbError(QStringLiteral("排序条件无法识别：%1").arg(text));
        terms.push_back(
            {m.captured(1), m.captured(2).compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0});
    }
    return terms;
}

QString sortText(const std::vector<SortTerm> &terms)
{
    QStringList parts;
    for (const SortTerm &t : terms)
        parts << t.field + (t.descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC"));
    return parts.join(QStringLiteral(", "));
}

namespace {

// A stable radix sort of the rows by one column: a few passes over the
// rows, however many there are, where a comparison sort would need some
// twenty per row at a million.
void orderByColumn(std::vector<int> &rows, const SortColumn &column)
{
    const ColumnPlaces &places = *column.places;
    const std::size_t n = rows.size();
    // Empty cells take the key after every value.
    const std::uint32_t emptyKey = places.distinct;
    std::vector<std::uint32_t> keys(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t p = places.place[std::size_t(rows[i])];
        keys[i] = p == ColumnPlaces::kNoValue ? emptyKey : (column.descending ? places.distinct - 1 - p : p);
    }
    constexpr int kBits = 11;
    constexpr std::uint32_t kMask = (1u << kBits) - 1;
    std::vector<int> rowsOut(n);
    std::vector<std::uint32_t> keysOut(n);
    for (int shift = 0; shift < 32 && (emptyKey >> shift) != 0; shift += kBits) {
        std::array<std::size_t, kMask + 2> start{};
        for (std::uint32_t k : keys)
            ++start[((k >> shift) & kMask) + 1];
        for (std::size_t b = 1; b < start.size(); ++b)
            start[b] += start[b - 1];
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t to = start[(keys[i] >> shift) & kMask]++;
            rowsOut[to] = rows[i];
            keysOut[to] = keys[i];
        }
        rows.swap(rowsOut);
        keys.swap(keysOut);
    }
}

} // namespace

void orderRows(std::vector<int> &rows, const std::vector<SortColumn> &columns)
{
    // The last key first: each stable pass keeps the order of the later keys among equals.
    for (auto c = columns.rbegin(); c != columns.rend(); ++c)
        orderByColumn(rows, *c);
}

} // namespace platform::db
