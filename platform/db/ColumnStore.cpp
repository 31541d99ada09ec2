#include "platform/db/ColumnStore.h"

#include <cmath>
#include <cstring>
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
    c.content |= Texts;
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
        c.content |= Reals;
        return;
    }
    c.content |= Reals;
    c.numbers.push_back(value);
    if (c.nullBits.size() * 64 <= std::size_t(m_rowCount))
        c.nullBits.resize(std::size_t(m_rowCount) / 64 + 1, 0);
}

void ColumnStore::appendInteger(int col, std::int64_t value)
{
    Column &c = m_columns[col];
    constexpr std::int64_t exact = std::int64_t(1) << 53;
    const int flags = Integers | (value > exact || value < -exact ? WideIntegers : 0);
    if (!c.numeric) {
        const std::string text = std::to_string(value);
        appendText(col, text);
        c.content |= flags;
        return;
    }
    c.numbers.push_back(double(value));
    c.content |= flags;
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

std::string_view ColumnStore::editedText(int row, int col) const
{
    return m_columns[col].edits.find(row)->second;
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

void ColumnStore::markEdited(Column &c, int row)
{
    const std::size_t word = std::size_t(row) / 64;
    if (c.editedBits.size() <= word)
        c.editedBits.resize(word + 1, 0);
    c.editedBits[word] |= std::uint64_t(1) << (row % 64);
}

void ColumnStore::setText(int row, int col, std::string_view utf8)
{
    Column &c = m_columns[col];
    if (c.numeric) {
        // Whatever the text reads as is no longer known to be a whole number.
        c.numbers[row] = std::strtod(std::string(utf8).c_str(), nullptr);
        c.content |= Reals;
    } else {
        c.edits[row] = std::string(utf8);
        markEdited(c, row);
        if (utf8.find('\0') != std::string_view::npos)
            c.nulText = 1;
    }
    markNull(c, row, false);
}

void ColumnStore::setNull(int row, int col)
{
    Column &c = m_columns[col];
    if (c.numeric) {
        c.numbers[row] = 0;
    } else {
        c.edits[row] = std::string();
        markEdited(c, row);
    }
    markNull(c, row, true);
}

std::vector<int> ColumnStore::editedRows(int col) const
{
    std::vector<int> rows;
    rows.reserve(m_columns[col].edits.size());
    for (const auto &e : m_columns[col].edits)
        rows.push_back(e.first);
    return rows;
}

ColumnStore::LoadedText ColumnStore::loadedText(int col) const
{
    const Column &c = m_columns[col];
    return {c.bytes.data(), c.bytes.size(), c.ends.data()};
}

bool ColumnStore::hasNulText(int col) const
{
    const Column &c = m_columns[col];
    if (c.nulText < 0) {
        bool found = c.bytes.size() > 0 && std::memchr(c.bytes.data(), 0, c.bytes.size()) != nullptr;
        for (const auto &e : c.edits)
            found = found || e.second.find('\0') != std::string::npos;
        c.nulText = found ? 1 : 0;
    }
    return c.nulText == 1;
}

std::size_t ColumnStore::memoryBytes() const
{
    std::size_t total = sizeof(*this) + m_columns.capacity() * sizeof(Column);
    for (const auto &c : m_columns) {
        total += c.bytes.capacityBytes() + c.ends.capacityBytes() + c.numbers.capacityBytes() +
                 c.nullBits.capacity() * sizeof(std::uint64_t);
        for (const auto &e : c.edits)
            total += sizeof(e) + 2 * sizeof(void *) + e.second.capacity();
        total += c.editedBits.capacity() * sizeof(std::uint64_t);
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
