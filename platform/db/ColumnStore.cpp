#include "platform/db/ColumnStore.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace platform::db {

ColumnStore::ColumnStore(std::vector<ColumnInfo> columns)
{
    m_columns.reserve(columns.size());
    for (auto &info : columns) {
        Column c;
        c.numeric = isNumericType(info.type);
        c.info = std::move(info);
        m_columns.push_back(std::move(c));
    }
}

int ColumnStore::columnIndex(const QString &name) const
{
    for (int i = 0; i < columnCount(); ++i) {
        if (m_columns[i].info.name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void ColumnStore::reserveRows(int rows)
{
    for (auto &c : m_columns) {
        if (c.numeric)
            c.numbers.reserve(rows);
        else
            c.ends.reserve(rows);
        c.nullBits.reserve((rows + 63) / 64);
    }
}

void ColumnStore::markNull(Column &c, int row, bool null)
{
    const std::size_t word = std::size_t(row) / 64;
    if (c.nullBits.size() <= word)
        c.nullBits.resize(word + 1, 0);
    const std::uint64_t bit = std::uint64_t(1) << (row % 64);
    if (null)
        c.nullBits[word] |= bit;
    else
        c.nullBits[word] &= ~bit;
}

void ColumnStore::appendNull(int col)
{
    Column &c = m_columns[col];
    markNull(c, m_rowCount, true);
    if (c.numeric)
        c.numbers.push_back(0);
    else
        c.ends.push_back(std::uint32_t(c.bytes.size()));
}

void ColumnStore::appendText(int col, std::string_view utf8)
{
    Column &c = m_columns[col];
    if (c.numeric) {
        // A numeric column that holds text (a loosely typed database): keep what converts.
        appendNumber(col, std::strtod(std::string(utf8).c_str(), nullptr));
        return;
    }
    if (c.bytes.size() + utf8.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("column text exceeds 4 GiB");
    c.bytes.append(utf8.data(), utf8.size());
    c.ends.push_back(std::uint32_t(c.bytes.size()));
    if (c.nullBits.size() * 64 <= std::size_t(m_rowCount))
        c.nullBits.resize(std::size_t(m_rowCount) / 64 + 1, 0);
}

void ColumnStore::appendNumber(int col, double value)
{
    Column &c = m_columns[col];
    if (!c.numeric) {
        const QByteArray text = formatNumber(value).toUtf8();
        appendText(col, std::string_view(text.constData(), std::size_t(text.size())));
        return;
    }
    c.numbers.push_back(value);
    if (c.nullBits.size() * 64 <= std::size_t(m_rowCount))
        c.nullBits.resize(std::size_t(m_rowCount) / 64 + 1, 0);
}

void ColumnStore::squeeze()
{
    for (auto &c : m_columns) {
        c.bytes.shrink_to_fit();
        c.ends.shrink_to_fit();
        c.numbers.shrink_to_fit();
        c.nullBits.shrink_to_fit();
    }
}

bool ColumnStore::isNull(int row, int col) const
{
    const Column &c = m_columns[col];
    const std::size_t word = std::size_t(row) / 64;
    return word < c.nullBits.size() && (c.nullBits[word] >> (row % 64)) & 1;
}

std::string_view ColumnStore::text(int row, int col) const
{
    const Column &c = m_columns[col];
    if (!c.edits.empty()) {
        auto it = c.edits.find(row);
        if (it != c.edits.end())
            return it->second;
    }
    const std::uint32_t begin = row == 0 ? 0 : c.ends[row - 1];
    return std::string_view(c.bytes.data() + begin, c.ends[row] - begin);
}

QString ColumnStore::displayText(int row, int col) const
{
    if (isNull(row, col))
        return QString();
    if (m_columns[col].numeric)
        return formatNumber(number(row, col));
    const std::string_view t = text(row, col);
    return QString::fromUtf8(t.data(), qsizetype(t.size()));
}

void ColumnStore::setText(int row, int col, std::string_view utf8)
{
    Column &c = m_columns[col];
    if (c.numeric)
        c.numbers[row] = std::strtod(std::string(utf8).c_str(), nullptr);
    else
        c.edits[row] = std::string(utf8);
    markNull(c, row, false);
}

void ColumnStore::setNull(int row, int col)
{
    Column &c = m_columns[col];
    if (c.numeric)
        c.numbers[row] = 0;
    else
        c.edits[row] = std::string();
    markNull(c, row, true);
}

std::size_t ColumnStore::memoryBytes() const
{
    std::size_t total = sizeof(*this) + m_columns.capacity() * sizeof(Column);
    for (const auto &c : m_columns) {
        total += c.bytes.capacityBytes() + c.ends.capacityBytes() + c.numbers.capacityBytes() +
                 c.nullBits.capacity() * sizeof(std::uint64_t);
        for (const auto &e : c.edits)
            total += sizeof(e) + 2 * sizeof(void *) + e.second.capacity();
    }
    return total;
}

std::size_t ColumnStore::textBytes() const
{
    std::size_t total = 0;
    for (int col = 0; col < columnCount(); ++col) {
        const Column &c = m_columns[col];
        if (!c.numeric) {
            total += c.bytes.size();
            continue;
        }
        for (int row = 0; row < m_rowCount; ++row) {
            if (!isNull(row, col))
                total += std::size_t(formatNumber(c.numbers[row]).size());
        }
    }
    return total;
}

QString formatNumber(double value)
{
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    return QString::number(value, 'g', 15);
}

} // namespace platform::db
