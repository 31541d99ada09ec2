#include "store/ColumnStore.h"

#include "store/ChunkBuilder.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace store {

namespace {

std::atomic<int> g_defaultChunkShift{16};

constexpr std::int64_t kExact = std::int64_t(1) << 53;

} // namespace

void ColumnStore::setDefaultChunkRows(int rows)
{
    int shift = 6;
    while (shift < 16 && (1 << shift) < rows)
        ++shift;
    g_defaultChunkShift.store(shift);
}

ColumnStore::ColumnStore(std::vector<ColumnInfo> columns) : m_columns(columns.size())
{
    m_chunkShift = g_defaultChunkShift.load();
    std::vector<bool> numeric, readings;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        m_columns[i].numeric = isNumericType(columns[i].type);
        readings.push_back(columns[i].readings && !m_columns[i].numeric);
        m_columns[i].info = std::move(columns[i]);
        numeric.push_back(m_columns[i].numeric);
    }
    m_builder = std::make_unique<ChunkBuilder>(numeric, readings);
    m_finishing = std::make_unique<ChunkBuilder>(std::move(numeric), std::move(readings));
}

ColumnStore::~ColumnStore()
{
    waitForHandOver(); // a reading given up half way
}

int ColumnStore::columnIndex(const QString &name) const
{
    for (int i = 0; i < columnCount(); ++i) {
        if (m_columns[std::size_t(i)].info.name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void ColumnStore::markContent(int col, int flags)
{
    // Called for every cell read: the shared write only when something is new.
    std::atomic<int> &content = m_columns[std::size_t(col)].content;
    if ((content.load(std::memory_order_relaxed) & flags) != flags)
        content.fetch_or(flags, std::memory_order_relaxed);
}

void ColumnStore::appendNull(int col)
{
    m_builder->appendNull(col);
}

void ColumnStore::appendText(int col, std::string_view utf8)
{
    markContent(col, Texts);
    if (isNumeric(col)) {
        // A numeric column that holds text (a loosely typed database): keep what converts.
        m_builder->appendReal(col, std::strtod(std::string(utf8).c_str(), nullptr));
        return;
    }
    m_builder->appendText(col, utf8);
}

void ColumnStore::appendNumber(int col, double value)
{
    markContent(col, Reals);
    if (isNumeric(col)) {
        m_builder->appendReal(col, value);
        return;
    }
    char buf[64];
    m_builder->appendText(col, writeNumber(value, buf));
}

void ColumnStore::appendInteger(int col, std::int64_t value)
{
    markContent(col, Integers | (value > kExact || value < -kExact ? WideIntegers : 0));
    if (isNumeric(col)) {
        m_builder->appendInteger(col, value);
        return;
    }
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    m_builder->appendText(col, std::string_view(buf, std::size_t(r.ptr - buf)));
}

void ColumnStore::appendRowId(std::int64_t id)
{
    m_hasRowIds.store(true, std::memory_order_relaxed);
    m_builder->appendRowId(id);
}

void ColumnStore::finishRow()
{
    m_builder->finishRow();
    ++m_loadedRows;
    if (m_builder->rows() == chunkRows())
        publish();
}

void ColumnStore::finishLoading()
{
    if (m_builder->rows() > 0)
        publish();
    // The builders' buffers are no longer needed: the idle one's go before
    // the last chunk is waited for, which would otherwise hold both with
    // nearly the whole table.
    m_builder = std::make_unique<ChunkBuilder>(std::vector<bool>());
    waitForHandOver();
    m_finished.store(true, std::memory_order_release);
    m_finishing.reset();
}

// Finishing a chunk is most of the reading's work: done on a thread of
// its own, it leaves the loading thread free to gather the next chunk
// meanwhile, so the reader stepping the statement is not held up. Not on
// the global pool: painting (Qt's image conversions) and the scans of row
// conditions wait for that one.
void ColumnStore::publish()
{
    static QThreadPool finishing;
    const int k = (m_loadedRows - 1) >> m_chunkShift;
    const int rows = m_loadedRows;
    waitForHandOver();
    std::swap(m_builder, m_finishing);
    m_handingOver =
        QtConcurrent::run(&finishing, [this, k, rows] { handOver(k, rows, m_finishing->finish()); });
}

void ColumnStore::handOver(int k, int rows, std::unique_ptr<StoreChunk> finished)
{
    std::unique_ptr<Block> &block = m_blocks[std::size_t(k) >> kBlockShift];
    if (!block)
        block = std::make_unique<Block>();
    (*block)[std::size_t(k) & kBlockMask] = std::move(finished);
    m_rowCount.store(rows, std::memory_order_release);
    if (onRowsHandedOver)
        onRowsHandedOver(rows);
}

void ColumnStore::waitForHandOver()
{
    if (m_handingOver.isValid())
        m_handingOver.waitForFinished();
    m_handingOver = QFuture<void>();
}

bool ColumnStore::isWholeNumber(int row, int col) const
{
    if (const Edit *e = editOf(row, col))
        return !e->real;
    return !chunk(chunkOf(row)).columns[std::size_t(col)].numbers.isReal(rowInChunk(row));
}

std::int64_t ColumnStore::integer(int row, int col) const
{
    if (const Edit *e = editOf(row, col))
        return e->value;
    return chunk(chunkOf(row)).columns[std::size_t(col)].numbers.integer(rowInChunk(row));
}

QString ColumnStore::displayText(int row, int col) const
{
    if (isNull(row, col))
        return QString();
    if (isNumeric(col))
        return isWholeNumber(row, col) ? QString::number(qint64(integer(row, col)))
                                       : formatNumber(number(row, col));
    std::string scratch;
    const std::string_view t = text(row, col, scratch);
    return QString::fromUtf8(t.data(), qsizetype(t.size()));
}

ColumnStore::Edit &ColumnStore::startEdit(int row, int col)
{
    ++m_editCount;
    Column &c = m_columns[std::size_t(col)];
    const std::size_t word = std::size_t(row) / 64;
    if (c.editedBits.size() <= word)
        c.editedBits.resize(word + 1, 0);
    c.editedBits[word] |= std::uint64_t(1) << (row % 64);
    return c.edits[row];
}

void ColumnStore::setText(int row, int col, std::string_view utf8)
{
    Edit &e = startEdit(row, col);
    e.null = false;
    if (isNumeric(col)) {
        // Whatever the text reads as is no longer known to be a whole number.
        e.real = true;
        e.value = std::bit_cast<std::int64_t>(std::strtod(std::string(utf8).c_str(), nullptr));
        markContent(col, Reals);
    } else {
        e.text = std::string(utf8);
    }
}

void ColumnStore::setNull(int row, int col)
{
    Edit &e = startEdit(row, col);
    e.null = true;
    e.text.clear();
    e.value = 0;
    e.real = false;
}

std::vector<int> ColumnStore::editedRows(int col) const
{
    std::vector<int> rows;
    rows.reserve(m_columns[std::size_t(col)].edits.size());
    for (const auto &e : m_columns[std::size_t(col)].edits)
        rows.push_back(e.first);
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool ColumnStore::hasNulText(int col) const
{
    for (int k = 0; k < chunkCount(); ++k) {
        if (chunk(k).columns[std::size_t(col)].text.hasNul)
            return true;
    }
    for (const auto &e : m_columns[std::size_t(col)].edits) {
        if (e.second.text.find('\0') != std::string::npos)
            return true;
    }
    return false;
}

std::size_t ColumnStore::memoryBytes() const
{
    std::size_t total = sizeof(*this) + m_columns.capacity() * sizeof(Column);
    for (std::size_t b = 0; b < m_blocks.size(); ++b)
        total += m_blocks[b] ? sizeof(Block) : 0;
    for (int k = 0; k < chunkCount(); ++k)
        total += chunk(k).memoryBytes();
    for (const Column &c : m_columns) {
        for (const auto &e : c.edits)
            total += sizeof(e) + 2 * sizeof(void *) + e.second.text.capacity();
        total += c.editedBits.capacity() * sizeof(std::uint64_t);
    }
    return total;
}

std::size_t ColumnStore::textBytes() const
{
    std::size_t total = 0;
    for (int k = 0; k < chunkCount(); ++k) {
        for (std::size_t col = 0; col < m_columns.size(); ++col) {
            const StoreChunk::Column &c = chunk(k).columns[col];
            total += m_columns[col].numeric ? c.numbers.textBytes : c.text.textBytes;
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

} // namespace store
