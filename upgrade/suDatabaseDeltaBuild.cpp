// Building the new database from a delta (the client's half).
#include "upgrade/suDatabaseDelta.h"

#include "platform/compress/PrefixCompression.h"
#include "platform/crypto/Sha256.h"
#include "platform/os/BulkFileWriter.h"
#include "upgrade/suDatabaseDeltaFormat.h"

#include <QFile>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <future>
#include <numeric>
#include <optional>
#include <unordered_map>

namespace crypto = platform::crypto;

namespace {

using sudelta::kBatchPages;

// One page of the new file being made.
struct PageJob
{
    qint64 Index = 0;
    char *Out = nullptr;  // pageSize bytes in the batch
    bool InBase = false;  // the installed file has a page at the same place, read into Out
    bool Patched = false; // a record says how the page changed
    QList<qint64> PrefixPages;
    QByteArray Reserve;
    QByteArray Frame;
    bool Made = false; // the page could be made from the installed file
};

// Reads one record at its place in the delta.
bool readRecord(QFile &delta, qint64 offset, int reserveSize, PageJob &job)
{
    if (!delta.seek(offset))
        return false;
    sudelta::Reader in(delta);
    const int prefixes = in.u8();
    for (int p = 0; p < prefixes; ++p)
        job.PrefixPages << qint64(in.u64());
    job.Reserve = in.bytes(reserveSize);
    job.Frame = in.bytes(in.u32());
    return in.ok();
}

// The installed file's pages that the patched pages of a batch take their
// rows from, each decrypted once: neighbouring pages mostly share them.
class OldPages
{
public:
    // Reads (or finds in the batch's base pages) and decrypts every prefix
    // page of jobs; a page the installed file lacks stays missing.
    void load(const std::vector<PageJob> &jobs, QFile &base, qint64 basePages, const char *baseBatch,
              qint64 firstInBatch, qint64 pagesInBatch, const platform::crypto::DatabasePageCipher &cipher,
              qint64 pageSize)
    {
        m_plain.clear();
        std::vector<qint64> wanted;
        for (const PageJob &job : jobs)
            wanted.insert(wanted.end(), job.PrefixPages.cbegin(), job.PrefixPages.cend());
        std::sort(wanted.begin(), wanted.end());
        wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
        struct Load
        {
            qint64 Index;
            QByteArray Encrypted; // refers to the batch where the page is in it
            QByteArray Plain;
        };
        std::vector<Load> loads;
        loads.reserve(wanted.size());
        for (const qint64 p : wanted) {
            QByteArray bytes;
            if (p >= firstInBatch && p < firstInBatch + pagesInBatch)
                bytes = QByteArray::fromRawData(baseBatch + (p - firstInBatch) * pageSize, int(pageSize));
            else if (p >= 0 && p < basePages && base.seek(p * pageSize))
                bytes = base.read(pageSize);
            if (bytes.size() == pageSize)
                loads.push_back({p, bytes, {}});
        }
        QtConcurrent::blockingMap(loads, [&](Load &load) {
            load.Plain.resize(cipher.plainSize(load.Index));
            // Not authenticated: a page that is not what the delta was
            // made against gives a page that fails its hash.
            cipher.decrypt(load.Index, load.Encrypted.constData(), load.Plain.data(), false);
        });
        for (Load &load : loads)
            m_plain.emplace(load.Index, std::move(load.Plain));
    }
    const QByteArray *plain(qint64 index) const
    {
        const auto found = m_plain.find(index);
        return found == m_plain.end() ? nullptr : &found->second;
    }

private:
    std::unordered_map<qint64, QByteArray> m_plain;
};

// Hashes and writes the batches in order, each on a thread of its own (the
// writing mostly waits for the disk), while the next batch is made.
class BatchWriter
{
public:
    explicit BatchWriter(platform::BulkFileWriter &out) : m_out(out) {}
    ~BatchWriter() { wait(); }

    // Waits for the batch before; false when it could not be written.
    bool wait()
    {
        if (m_hashing.valid())
            m_hashing.get();
        if (m_writing.valid())
            m_ok = m_writing.get() && m_ok;
        return m_ok;
    }
    // Hands a batch over; its bytes must stay until the next wait().
    void write(const char *bytes, qint64 size)
    {
        m_hashing = std::async(std::launch::async, [this, bytes, size] { m_whole.add(bytes, size); });
        m_writing = std::async(std::launch::async, [this, bytes, size] { return m_out.write(bytes, size); });
    }
    QByteArray sha256() { return m_whole.result(); }

private:
    platform::BulkFileWriter &m_out;
    crypto::Sha256 m_whole;
    std::future<void> m_hashing;
    std::future<bool> m_writing;
    bool m_ok = true;
};

} // namespace

TsuDeltaBuild TsuDatabaseDelta::build(const QString &basePath, const QByteArray &passPhrase,
                                      const QString &outPath, qint64 maxMissingPages,
                                      const std::function<bool(qint64 done, qint64 total)> &progress,
                                      const QByteArray &fileSha256) const
{
    TsuDeltaBuild result;
    const qint64 pageSize = m_header.Layout.pageSize;
    const qint64 pages = m_header.pageCount();
    QFile base(basePath);
    QFile delta(m_path);
    if (!base.open(QIODevice::ReadOnly) || base.read(crypto::kDatabaseSaltSize) != m_header.Salt ||
        !delta.open(QIODevice::ReadOnly))
        return result;
    // The installed file may have grown or shrunk by the user's edits; what
    // it holds is taken as far as it goes.
    const qint64 basePages = base.size() / pageSize;
    const crypto::DatabasePageCipher cipher(passPhrase, m_header.Salt, m_header.Layout);
    // Written past the page cache: nothing reads the file until it is
    // checked and swapped in. Two batches in turn: one is made while the
    // other is hashed and written.
    std::unique_ptr<platform::BulkFileWriter> out = platform::BulkFileWriter::create(outPath);
    const platform::BulkFileWriter::AlignedBuffer batchBuffers[2] = {
        platform::BulkFileWriter::alignedBuffer(kBatchPages * pageSize),
        platform::BulkFileWriter::alignedBuffer(kBatchPages * pageSize)};
    if (!out || !batchBuffers[0] || !batchBuffers[1]) {
        result.Result = TsuDeltaBuild::WriteFailed;
        return result;
    }
    std::optional<BatchWriter> writer(std::in_place, *out);
    const auto giveUp = [&](TsuDeltaBuild::Outcome outcome) {
        writer.reset();
        out->close();
        QFile::remove(outPath);
        result.Result = outcome;
        result.Missing.clear();
        return result;
    };

    qint64 unmade = 0;
    size_t record = 0;
    OldPages oldPages;
    for (qint64 first = 0, turn = 0; first < pages; first += kBatchPages, turn ^= 1) {
        char *const batch = batchBuffers[turn].get();
        const qint64 count = std::min(kBatchPages, pages - first);
        const qint64 fromBase = std::clamp<qint64>(basePages - first, 0, count);
        qint64 baseRead = 0;
        if (fromBase > 0 && base.seek(first * pageSize))
            baseRead = std::max<qint64>(base.read(batch, fromBase * pageSize), 0);
        const qint64 baseInBatch = baseRead / pageSize;

        std::vector<PageJob> jobs(static_cast<size_t>(count));
        for (qint64 i = 0; i < count; ++i) {
            PageJob &job = jobs[size_t(i)];
            job.Index = first + i;
            job.Out = batch + i * pageSize;
            if (i < baseInBatch)
                job.InBase = true;
            if (record < m_records.size() && m_records[record].Page == job.Index) {
                job.Patched = true;
                if (!readRecord(delta, m_records[record].Offset, m_header.Layout.reserveSize, job))
                    return giveUp(TsuDeltaBuild::NotApplicable);
                ++record;
            }
        }
        // The pages stand in the batch where the new ones go: those that
        // content comes from are decrypted before any is overwritten.
        oldPages.load(jobs, base, basePages, batch, first, baseInBatch, cipher, pageSize);

        QtConcurrent::blockingMap(jobs, [&](PageJob &job) {
            const int plainSize = cipher.plainSize(job.Index);
            if (job.Patched) {
                // Buffers of each thread, kept from page to page.
                thread_local QByteArray prefix, plain;
                prefix.resize(0);
                for (const qint64 index : std::as_const(job.PrefixPages)) {
                    const QByteArray *old = oldPages.plain(index);
                    if (!old)
                        return; // the installed file lacks a page the content comes from
                    prefix.append(*old);
                }
                plain.resize(plainSize);
                if (!platform::compress::decompressAgainst(job.Frame.constData(), job.Frame.size(), prefix,
                                                           plain.data(), plainSize))
                    return;
                cipher.encrypt(job.Index, plain.constData(), job.Reserve.constData(), job.Out, false);
            } else if (!job.InBase) {
                return;
            }
            job.Made = true;
        });

        for (PageJob &job : jobs) {
            if (job.Made)
                continue;
            // Zeros hold the place of a page still to come.
            std::fill(job.Out, job.Out + pageSize, '\0');
            if (++unmade > maxMissingPages)
                return giveUp(TsuDeltaBuild::NotApplicable);
        }
        // The batch before is out of the other buffer before this one goes.
        if (!writer->wait())
            return giveUp(TsuDeltaBuild::WriteFailed);
        writer->write(batch, count * pageSize);
        if (progress && !progress((first + count) * pageSize, pages * pageSize))
            return giveUp(TsuDeltaBuild::Cancelled);
    }
    if (!writer->wait() || !out->close())
        return giveUp(TsuDeltaBuild::WriteFailed);
    const QByteArray written = writer->sha256().toHex();
    writer.reset();
    if (unmade == 0 && !fileSha256.isEmpty() && written == fileSha256.toLower()) {
        result.Result = TsuDeltaBuild::Built;
        result.Sha256 = written;
        return result;
    }
    // Some page is not the release's (one the user's edits changed, say):
    // the pages' own hashes tell which.
    if (!findMissingPages(outPath, maxMissingPages, result))
        return giveUp(TsuDeltaBuild::NotApplicable);
    if (result.Missing.isEmpty()) {
        result.Result = TsuDeltaBuild::Built;
        result.Sha256 = written;
    } else {
        result.Result = TsuDeltaBuild::PagesMissing;
    }
    return result;
}

bool TsuDatabaseDelta::findMissingPages(const QString &path, qint64 maxMissingPages,
                                        TsuDeltaBuild &result) const
{
    const qint64 pageSize = m_header.Layout.pageSize;
    const qint64 pages = m_header.pageCount();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != m_header.NewSize)
        return false;
    QByteArray batch(kBatchPages * pageSize, Qt::Uninitialized);
    qint64 missing = 0;
    for (qint64 first = 0; first < pages; first += kBatchPages) {
        const qint64 count = std::min(kBatchPages, pages - first);
        if (file.read(batch.data(), count * pageSize) != count * pageSize)
            return false;
        std::vector<char> matches(static_cast<size_t>(count), 0);
        std::vector<qint64> indexes(static_cast<size_t>(count));
        std::iota(indexes.begin(), indexes.end(), qint64(0));
        QtConcurrent::blockingMap(indexes, [&](qint64 i) {
            matches[size_t(i)] =
                crypto::sha256(batch.constData() + i * pageSize, pageSize) == pageHash(first + i);
        });
        for (qint64 i = 0; i < count; ++i) {
            if (matches[size_t(i)])
                continue;
            const qint64 index = first + i;
            if (!result.Missing.isEmpty() &&
                result.Missing.last().First + result.Missing.last().Count == index)
                ++result.Missing.last().Count;
            else
                result.Missing.append({index, 1});
            if (++missing > maxMissingPages)
                return false;
        }
    }
    return true;
}
