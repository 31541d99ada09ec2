#include "platform/db/SnapshotLoader.h"

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace platform::db::detail {

namespace {

enum : char { kNull = 0, kNumber = 1, kText = 2 };

// A run of rows packed as they were read: per row the optional row id,
// then per field a tag and its value (a double, or a length and bytes).
struct Batch
{
    std::vector<char> bytes;
    int rows = 0;
    void clear()
    {
        bytes.clear();
        rows = 0;
    }
    template <typename T> void put(const T &value)
    {
        const std::size_t at = bytes.size();
        bytes.resize(at + sizeof(T));
        std::memcpy(bytes.data() + at, &value, sizeof(T));
    }
};

template <typename T> T take(const char *&p)
{
    T value;
    std::memcpy(&value, p, sizeof(T));
    p += sizeof(T);
    return value;
}

// Hands filled batches to the filing thread and empty ones back.
class BatchQueue
{
public:
    explicit BatchQueue(int count) : m_batches(std::size_t(count))
    {
        for (Batch &b : m_batches) {
            b.bytes.reserve(kBatchBytes + 4096);
            m_free.push_back(&b);
        }
    }
    static constexpr std::size_t kBatchBytes = std::size_t(1) << 20;

    Batch *takeFree()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_free.empty(); });
        Batch *b = m_free.front();
        m_free.pop_front();
        return b;
    }
    void giveFilled(Batch *b)
    {
        {
            std::lock_guard lock(m_mutex);
            m_filled.push_back(b);
        }
        m_changed.notify_all();
    }
    // The next filled batch, or nullptr once the reader has finished.
    Batch *takeFilled()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_filled.empty() || m_finished; });
        if (m_filled.empty())
            return nullptr;
        Batch *b = m_filled.front();
        m_filled.pop_front();
        return b;
    }
    void giveFree(Batch *b)
    {
        b->clear();
        {
            std::lock_guard lock(m_mutex);
            m_free.push_back(b);
        }
        m_changed.notify_all();
    }
    void finish()
    {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_changed.notify_all();
    }

private:
    std::vector<Batch> m_batches;
    std::deque<Batch *> m_free;
    std::deque<Batch *> m_filled;
    bool m_finished = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

void fileBatch(const Batch &batch, int fieldCount, bool withRowIds, ColumnStore &store,
               std::vector<std::int64_t> &rowIds)
{
    const char *p = batch.bytes.data();
    for (int r = 0; r < batch.rows; ++r) {
        if (withRowIds)
            rowIds.push_back(take<std::int64_t>(p));
        for (int f = 0; f < fieldCount; ++f) {
            switch (*p++) {
            case kNull:
                store.appendNull(f);
                break;
            case kNumber:
                store.appendNumber(f, take<double>(p));
                break;
            default: {
                const auto length = take<std::uint32_t>(p);
                store.appendText(f, std::string_view(p, length));
                p += length;
            }
            }
        }
        store.finishRow();
    }
}

} // namespace

SnapshotLoader::SnapshotLoader(sqlite3_stmt *statement, std::vector<int> sources, int rowIdColumn)
    : m_statement(statement), m_sources(std::move(sources)), m_rowIdColumn(rowIdColumn)
{
}

int SnapshotLoader::run(ColumnStore &store, std::vector<std::int64_t> &rowIds)
{
    const int fieldCount = int(m_sources.size());
    const bool withRowIds = m_rowIdColumn >= 0;
    std::vector<bool> numeric(static_cast<std::size_t>(fieldCount));
    for (int f = 0; f < fieldCount; ++f)
        numeric[std::size_t(f)] = store.isNumeric(f);

    BatchQueue queue(4);
    std::thread filer([&] {
        while (Batch *b = queue.takeFilled()) {
            fileBatch(*b, fieldCount, withRowIds, store, rowIds);
            queue.giveFree(b);
        }
    });

    int rc;
    Batch *batch = queue.takeFree();
    while ((rc = sqlite3_step(m_statement)) == SQLITE_ROW) {
        if (withRowIds)
            batch->put<std::int64_t>(sqlite3_column_int64(m_statement, m_rowIdColumn));
        for (int f = 0; f < fieldCount; ++f) {
            sqlite3_value *v = sqlite3_column_value(m_statement, m_sources[std::size_t(f)]);
            const int type = sqlite3_value_type(v);
            if (type == SQLITE_NULL) {
                batch->bytes.push_back(kNull);
            } else if ((type == SQLITE_INTEGER || type == SQLITE_FLOAT) && numeric[std::size_t(f)]) {
                batch->bytes.push_back(kNumber);
                batch->put<double>(sqlite3_value_double(v));
            } else {
                // Raw bytes for text: asking for text would copy each value to add a terminator.
                const void *data = type == SQLITE_TEXT ? sqlite3_value_blob(v) : sqlite3_value_text(v);
                const auto length = std::uint32_t(sqlite3_value_bytes(v));
                batch->bytes.push_back(kText);
                batch->put<std::uint32_t>(length);
                const std::size_t at = batch->bytes.size();
                batch->bytes.resize(at + length);
                if (length)
                    std::memcpy(batch->bytes.data() + at, data, length);
            }
        }
        if (++batch->rows, batch->bytes.size() >= BatchQueue::kBatchBytes) {
            queue.giveFilled(batch);
            batch = queue.takeFree();
        }
    }
    if (batch->rows > 0)
        queue.giveFilled(batch);
    else
        queue.giveFree(batch);
    queue.finish();
    filer.join();
    return rc;
}

} // namespace platform::db::detail
