#include "platform/db/SnapshotLoader.h"

#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace platform::db::detail {

namespace {

// How a value travels: nothing, a whole number, a double, or bytes. Bytes
// carry the kind of value the engine held, since a text column receives
// numbers and blobs as text.
enum : char { kNull = 0, kInteger = 1, kReal = 2, kText = 3, kIntegerText = 4, kRealText = 5, kBlobText = 6 };

// A run of rows packed as they were read: per row the optional row id,
// then per field a tag and its value (a number, or a length and bytes).
struct Batch
{
    // Raw storage: growing a std::vector would first fill every byte with zeros.
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    std::size_t capacity = 0;
    int rows = 0;

    void reserve(std::size_t bytes)
    {
        if (bytes <= capacity)
            return;
        auto bigger = std::make_unique_for_overwrite<char[]>(bytes);
        if (size)
            std::memcpy(bigger.get(), data.get(), size);
        data = std::move(bigger);
        capacity = bytes;
    }
    // Room for `n` more bytes; the caller fills them.
    char *append(std::size_t n)
    {
        if (size + n > capacity)
            reserve(std::max(capacity * 2, size + n));
        char *at = data.get() + size;
        size += n;
        return at;
    }
    void clear()
    {
        size = 0;
        rows = 0;
    }
    template <typename T> void put(const T &value) { std::memcpy(append(sizeof(T)), &value, sizeof(T)); }
    void putTag(char tag) { *append(1) = tag; }
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
            b.reserve(kBatchBytes + 4096);
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

void fileBatch(const Batch &batch, int fieldCount, bool withRowIds, ColumnStore &store)
{
    const char *p = batch.data.get();
    for (int r = 0; r < batch.rows; ++r) {
        if (withRowIds)
            store.appendRowId(take<std::int64_t>(p));
        for (int f = 0; f < fieldCount; ++f) {
            const char tag = *p++;
            switch (tag) {
            case kNull:
                store.appendNull(f);
                break;
            case kInteger:
                store.appendInteger(f, take<std::int64_t>(p));
                break;
            case kReal:
                store.appendNumber(f, take<double>(p));
                break;
            default: {
                const auto length = take<std::uint32_t>(p);
                store.appendText(f, std::string_view(p, length));
                p += length;
                if (tag == kIntegerText)
                    store.markContent(f, ColumnStore::Integers);
                else if (tag == kRealText)
                    store.markContent(f, ColumnStore::Reals);
                else if (tag == kBlobText)
                    store.markContent(f, ColumnStore::Blobs);
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

int SnapshotLoader::run(ColumnStore &store)
{
    const int fieldCount = int(m_sources.size());
    const bool withRowIds = m_rowIdColumn >= 0;
    std::vector<bool> numeric(static_cast<std::size_t>(fieldCount));
    for (int f = 0; f < fieldCount; ++f)
        numeric[std::size_t(f)] = store.isNumeric(f);

    BatchQueue queue(4);
    std::thread filer([&] {
        while (Batch *b = queue.takeFilled()) {
            fileBatch(*b, fieldCount, withRowIds, store);
            queue.giveFree(b);
        }
    });

    int rc;
    Batch *batch = queue.takeFree();
    int untilPause = kPauseRows;
    while ((rc = sqlite3_step(m_statement)) == SQLITE_ROW) {
        if (withRowIds)
            batch->put<std::int64_t>(sqlite3_column_int64(m_statement, m_rowIdColumn));
        for (int f = 0; f < fieldCount; ++f) {
            sqlite3_value *v = sqlite3_column_value(m_statement, m_sources[std::size_t(f)]);
            const int type = sqlite3_value_type(v);
            if (type == SQLITE_NULL) {
                batch->putTag(kNull);
            } else if (type == SQLITE_INTEGER && numeric[std::size_t(f)]) {
                batch->putTag(kInteger);
                batch->put<std::int64_t>(sqlite3_value_int64(v));
            } else if (type == SQLITE_FLOAT && numeric[std::size_t(f)]) {
                batch->putTag(kReal);
                batch->put<double>(sqlite3_value_double(v));
            } else {
                // Raw bytes for text: asking for text would copy each value to add a terminator.
                const void *data = type == SQLITE_TEXT ? sqlite3_value_blob(v) : sqlite3_value_text(v);
                const auto length = std::uint32_t(sqlite3_value_bytes(v));
                batch->putTag(type == SQLITE_TEXT      ? kText
                              : type == SQLITE_INTEGER ? kIntegerText
                              : type == SQLITE_FLOAT   ? kRealText
                                                       : kBlobText);
                batch->put<std::uint32_t>(length);
                if (length)
                    std::memcpy(batch->append(length), data, length);
            }
        }
        if (++batch->rows, batch->size >= BatchQueue::kBatchBytes) {
            queue.giveFilled(batch);
            batch = queue.takeFree();
        }
        if (--untilPause == 0) {
            untilPause = kPauseRows;
            if (between && !between()) {
                rc = SQLITE_INTERRUPT;
                break;
            }
        }
    }
    if (stepped)
        stepped();
    if (batch->rows > 0)
        queue.giveFilled(batch);
    else
        queue.giveFree(batch);
    queue.finish();
    filer.join();
    return rc;
}

} // namespace platform::db::detail
