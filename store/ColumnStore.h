#pragma once

#include "store/FieldType.h"
#include "store/StoreChunk.h"

#include <QFuture>
#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace store {

class ChunkBuilder;

// The rows of a query result, held column by column in chunks of
// consecutive rows (see StoreChunk): each text column of a chunk in the
// encoding that costs it the fewest bytes, numbers in eight bytes or, when
// they repeat, in one. No heap object per cell.
//
// One thread may append rows while others read: a chunk is handed to the
// readers only when it is finished, and never changes afterwards, so what
// rowCount() counts stays valid and unchanged while the store lives.
// Edits (setText, setNull) belong to the thread that reads.
class ColumnStore
{
public:
    struct ColumnInfo
    {
        QString name;
        FieldType type = FieldType::Unknown;
        bool readings = false; // a text column also searched in pinyin
    };

    static constexpr int kDefaultChunkRows = 65536;
    // The rows of a chunk in stores made from now on (a power of two from
    // 64 to 65536); smaller chunks let tests cross chunk borders.
    static void setDefaultChunkRows(int rows);

    explicit ColumnStore(std::vector<ColumnInfo> columns = {});
    ~ColumnStore();
    ColumnStore(const ColumnStore &) = delete;
    ColumnStore &operator=(const ColumnStore &) = delete;

    int columnCount() const { return int(m_columns.size()); }
    const ColumnInfo &column(int col) const { return m_columns[std::size_t(col)].info; }
    // Index of the column with that name, compared without ASCII case; -1 if none.
    int columnIndex(const QString &name) const;
    bool isNumeric(int col) const { return m_columns[std::size_t(col)].numeric; }

    // What the cells of a column held as the database stored them; any
    // combination of these flags.
    enum Content : int {
        Integers = 1,     // whole numbers
        WideIntegers = 2, // whole numbers beyond 2^53, which a double cannot hold exactly
        Reals = 4,        // floating-point numbers
        Texts = 8,
        Blobs = 16,
    };
    int content(int col) const { return m_columns[std::size_t(col)].content.load(std::memory_order_relaxed); }
    // Adds to what a column is known to hold (the loader knows more than
    // the kind of value it appends).
    void markContent(int col, int flags);

    // Loading, by one thread: one value per column in column order, then
    // finishRow(); with row ids, appendRowId() once per row. Every finished
    // chunk is handed to the readers at once; finishLoading() hands over
    // the rest.
    void appendNull(int col);
    void appendText(int col, std::string_view utf8);
    void appendNumber(int col, double value);
    void appendInteger(int col, std::int64_t value);
    void appendRowId(std::int64_t id);
    void finishRow();
    void finishLoading();
    // Whether finishLoading() has run.
    bool loadingFinished() const { return m_finished.load(std::memory_order_acquire); }
    // Called on the loading thread with the new row count whenever rows are
    // handed over (set before loading starts).
    std::function<void(int)> onRowsHandedOver;

    // Rows handed to the readers so far.
    int rowCount() const { return m_rowCount.load(std::memory_order_acquire); }
    int chunkRows() const { return 1 << m_chunkShift; }
    int chunkCount() const { return (rowCount() + chunkRows() - 1) >> m_chunkShift; }
    const StoreChunk &chunk(int k) const
    {
        return *(*m_blocks[std::size_t(k) >> kBlockShift])[std::size_t(k) & kBlockMask];
    }
    int chunkOf(int row) const { return row >> m_chunkShift; }
    int rowInChunk(int row) const { return row & (chunkRows() - 1); }

    bool isNull(int row, int col) const;
    // The UTF-8 text of a text cell (empty for null). A cell kept in its
    // bytes as read, or in a dictionary, is viewed where it lies, valid while
    // the store lives; a cell in the compact code is written out into
    // `scratch`, valid until `scratch` changes; an edited cell is viewed in
    // its edit, valid until the cell is edited again. Not for numeric columns.
    std::string_view text(int row, int col, std::string &scratch) const;
    // Value of a numeric cell (0 for null). Not for text columns.
    double number(int row, int col) const;
    // Whether a numeric cell holds a whole number, which integer() gives exactly.
    bool isWholeNumber(int row, int col) const;
    std::int64_t integer(int row, int col) const;
    // The cell as the user sees it: text, or the number written out; empty for null.
    QString displayText(int row, int col) const;

    // The engine's row ids, when the loader gave them.
    bool hasRowIds() const { return m_hasRowIds.load(std::memory_order_relaxed); }
    std::int64_t rowId(int row) const { return chunk(chunkOf(row)).rowId(rowInChunk(row)); }

    // Replaces a cell's value after loading (an edit typed by the user).
    void setText(int row, int col, std::string_view utf8);
    void setNull(int row, int col);
    bool hasEdits(int col) const { return !m_columns[std::size_t(col)].edits.empty(); }
    // How many cells have been replaced so far: a change tells that an
    // answer drawn from the cells before may be out of date.
    std::uint64_t editCount() const { return m_editCount; }
    bool isEdited(int row, int col) const
    {
        const Column &c = m_columns[std::size_t(col)];
        const std::size_t word = std::size_t(row) / 64;
        return word < c.editedBits.size() && (c.editedBits[word] >> (row % 64)) & 1;
    }
    // Rows whose cell in a column was replaced after loading, ascending.
    std::vector<int> editedRows(int col) const;

    // Whether any text cell of the column holds a NUL byte.
    bool hasNulText(int col) const;

    // Bytes held by the store (chunks, edits, the chunk being loaded aside).
    std::size_t memoryBytes() const;
    // Bytes of the store's values written as text.
    std::size_t textBytes() const;

private:
    struct Edit
    {
        bool null = false;
        std::string text;       // text columns
        std::int64_t value = 0; // numeric columns: a whole number, or a double's bits
        bool real = false;
    };
    struct Column
    {
        ColumnInfo info;
        bool numeric = false;
        std::atomic<int> content{0};
        std::unordered_map<int, Edit> edits;
        std::vector<std::uint64_t> editedBits;
    };
    const Edit *editOf(int row, int col) const
    {
        const Column &c = m_columns[std::size_t(col)];
        if (c.edits.empty() || !isEdited(row, col))
            return nullptr;
        return &c.edits.find(row)->second;
    }
    Edit &startEdit(int row, int col);
    void publish();
    void handOver(int chunk, int rows, std::unique_ptr<StoreChunk> finished);
    void waitForHandOver();

    static constexpr std::size_t kBlockShift = 10;
    static constexpr std::size_t kBlockMask = (std::size_t(1) << kBlockShift) - 1;
    using Block = std::array<std::unique_ptr<StoreChunk>, std::size_t(1) << kBlockShift>;

    std::vector<Column> m_columns;
    int m_chunkShift = 16;
    // Chunk k lies at m_blocks[k >> 10][k & 1023]; blocks are made before
    // their first chunk is handed over and never move.
    std::array<std::unique_ptr<Block>, 1024> m_blocks;
    std::unique_ptr<ChunkBuilder> m_builder;
    // The chunk before, being finished on the pool while the next one is
    // gathered; chunks are handed over in order, one finishing at a time.
    std::unique_ptr<ChunkBuilder> m_finishing;
    QFuture<void> m_handingOver;
    int m_loadedRows = 0; // rows appended, handed over or not (the loading thread's count)
    std::atomic<int> m_rowCount{0};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_hasRowIds{false};
    std::uint64_t m_editCount = 0;
};

// Row by row access is inline: conditions call it for every row of millions.
inline bool ColumnStore::isNull(int row, int col) const
{
    if (const Edit *e = editOf(row, col))
        return e->null;
    return chunk(chunkOf(row)).columns[std::size_t(col)].isNull(rowInChunk(row));
}

inline std::string_view ColumnStore::text(int row, int col, std::string &scratch) const
{
    if (const Edit *e = editOf(row, col))
        return e->text;
    return chunk(chunkOf(row)).columns[std::size_t(col)].text.text(rowInChunk(row), scratch);
}

inline double ColumnStore::number(int row, int col) const
{
    if (const Edit *e = editOf(row, col))
        return e->real ? std::bit_cast<double>(e->value) : double(e->value);
    return chunk(chunkOf(row)).columns[std::size_t(col)].numbers.number(rowInChunk(row));
}

// Writes a number the way the grid shows it: whole numbers without a point.
QString formatNumber(double value);

} // namespace store
