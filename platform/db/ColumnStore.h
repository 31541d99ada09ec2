#pragma once

#include "platform/db/FieldType.h"
#include "platform/db/GrowBuffer.h"

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform::db {

// The rows of a query snapshot, held column by column: the text of a
// column's cells lies end to end in one buffer with one end offset per
// cell, numbers lie in one array, nulls in a bitmap. No heap object per
// cell, so a million-row snapshot costs little more than its text.
class ColumnStore
{
public:
    struct ColumnInfo
    {
        QString name;
        FieldType type = FieldType::Unknown;
    };

    explicit ColumnStore(std::vector<ColumnInfo> columns = {});

    int columnCount() const { return int(m_columns.size()); }
    int rowCount() const { return m_rowCount; }
    const ColumnInfo &column(int col) const { return m_columns[col].info; }
    // Index of the column with that name, compared without ASCII case; -1 if none.
    int columnIndex(const QString &name) const;
    bool isNumeric(int col) const { return m_columns[col].numeric; }

    // What the cells of a column held as the database stored them; any
    // combination of these flags.
    enum Content : int {
        Integers = 1,     // whole numbers
        WideIntegers = 2, // whole numbers beyond 2^53, which a double cannot hold exactly
        Reals = 4,        // floating-point numbers
        Texts = 8,
        Blobs = 16,
    };
    int content(int col) const { return m_columns[col].content; }
    // Adds to what a column is known to hold (the loader knows more than
    // the kind of value it appends).
    void markContent(int col, int flags) { m_columns[col].content |= flags; }

    // Loading: append one value per column, in column order, then finishRow().
    void reserveRows(int rows);
    void appendNull(int col);
    void appendText(int col, std::string_view utf8);
    void appendNumber(int col, double value);
    void appendInteger(int col, std::int64_t value);
    void finishRow() { ++m_rowCount; }
    // Gives back the spare capacity left by loading.
    void squeeze();

    bool isNull(int row, int col) const;
    // UTF-8 text of a text cell (empty for null). Not for numeric columns.
    std::string_view text(int row, int col) const;
    // Value of a numeric cell (0 for null). Not for text columns.
    double number(int row, int col) const { return m_columns[col].numbers[row]; }
    // The cell as the user sees it: text, or the number written out; empty for null.
    QString displayText(int row, int col) const;

    // Replaces a cell's value after loading (an edit typed by the user).
    void setText(int row, int col, std::string_view utf8);
    void setNull(int row, int col);
    bool isEdited(int row, int col) const
    {
        const Column &c = m_columns[col];
        const std::size_t word = std::size_t(row) / 64;
        return word < c.editedBits.size() && (c.editedBits[word] >> (row % 64)) & 1;
    }
    // Rows whose cell in a column was replaced after loading, in no order.
    std::vector<int> editedRows(int col) const;

    // A text column's cells as loaded, end to end in one buffer: row r
    // holds bytes [ends[r - 1], ends[r]) (from 0 for the first row). Edited
    // cells keep their loaded bytes here; text() gives their new value.
    struct LoadedText
    {
        const char *bytes = nullptr;
        std::size_t size = 0;
        const std::uint32_t *ends = nullptr;
    };
    LoadedText loadedText(int col) const;
    // Whether any text cell of the column holds a NUL byte (worked out once).
    bool hasNulText(int col) const;

    // Bytes held by the store (buffers, offsets, numbers, bitmaps, edits).
    std::size_t memoryBytes() const;
    // Bytes of the snapshot's values written as text.
    std::size_t textBytes() const;

private:
    struct Column
    {
        ColumnInfo info;
        bool numeric = false;
        GrowBuffer<char> bytes;
        GrowBuffer<std::uint32_t> ends;
        GrowBuffer<double> numbers;
        std::vector<std::uint64_t> nullBits;
        // Cells changed after loading, by row; they shadow the buffer.
        std::unordered_map<int, std::string> edits;
        std::vector<std::uint64_t> editedBits;
        int content = 0;
        // Whether a cell holds a NUL byte: -1 not worked out yet.
        mutable int nulText = -1;
    };
    void markEdited(Column &c, int row);
    std::string_view editedText(int row, int col) const;
    void markNull(Column &c, int row, bool null);

    std::vector<Column> m_columns;
    int m_rowCount = 0;
};

// Row by row access is inline: conditions call it for every row of a million.
inline bool ColumnStore::isNull(int row, int col) const
{
    const Column &c = m_columns[col];
    const std::size_t word = std::size_t(row) / 64;
    return word < c.nullBits.size() && (c.nullBits[word] >> (row % 64)) & 1;
}

inline std::string_view ColumnStore::text(int row, int col) const
{
    const Column &c = m_columns[col];
    if (!c.edits.empty() && isEdited(row, col))
        return editedText(row, col);
    const std::uint32_t begin = row == 0 ? 0 : c.ends[row - 1];
    return std::string_view(c.bytes.data() + begin, c.ends[row] - begin);
}

// Writes a number the way the grid shows it: whole numbers without a point.
QString formatNumber(double value);

} // namespace platform::db
