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

    // Loading: append one value per column, in column order, then finishRow().
    void reserveRows(int rows);
    void appendNull(int col);
    void appendText(int col, std::string_view utf8);
    void appendNumber(int col, double value);
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
    };
    void markNull(Column &c, int row, bool null);

    std::vector<Column> m_columns;
    int m_rowCount = 0;
};

// Writes a number the way the grid shows it: whole numbers without a point.
QString formatNumber(double value);

} // namespace platform::db
