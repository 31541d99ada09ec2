// Building the new database from a delta (the client's half).
#include "upgrade/suDatabaseDelta.h"

#include "platform/compress/PrefixCompression.h"
#include "platform/crypto/Sha256.h"
#include "platform/os/FreshFile.h"
#include "upgrade/suDatabaseDeltaFormat.h"

#include <QFile>
#include <QtConcurrent/QtConcurrentMap>

namespace crypto = platform::crypto;

namespace {

using sudelta::kBatchPages;

// One page of the new file being made.
struct PageJob
{
    qint64 Index = 0;
    char *Out = nullptr;        // pageSize bytes in the batch
    const char *Base = nullptr; // the installed file's page at the same place; none past its end
    bool Patched = false;       // a record says how the page changed
    QList<qint64> PrefixPages;
    QList<QByteArray> PrefixBytes; // empty for a page the installed file lacks
    QByteArray Reserve;
    QByteArray Frame;
    bool Matches = false;
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

} // namespace

TsuDeltaBuild TsuDatabaseDelta::build(const QString &basePath, const QByteArray &passPhrase,
                                      const QString &outPath, qint64 maxMissingPages,
                                      const std::function<bool(qint64 done, qint64 total)> &progress) const
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
    std::unique_ptr<QFile> out = platform::createFreshFile(outPath);
    if (!out) {
        result.Result = TsuDeltaBuild::WriteFailed;
        return result;
    }
    const auto giveUp = [&](TsuDeltaBuild::Outcome outcome) {
        out->close();
        QFile::remove(outPath);
        result.Result = outcome;
        result.Missing.clear();
        return result;
    };

    qint64 missing = 0;
    size_t record = 0;
    QByteArray batch(kBatchPages * pageSize, Qt::Uninitialized);
    QByteArray baseBuffer(kBatchPages * pageSize, Qt::Uninitialized);
    for (qint64 first = 0; first < pages; first += kBatchPages) {
        const qint64 count = std::min(kBatchPages, pages - first);
        const qint64 fromBase = std::clamp<qint64>(basePages - first, 0, count);
        qint64 baseRead = 0;
        if (fromBase > 0 && base.seek(first * pageSize))
            baseRead = std::max<qint64>(base.read(baseBuffer.data(), fromBase * pageSize), 0);
        const qint64 baseInBatch = baseRead / pageSize;

        std::vector<PageJob> jobs(static_cast<size_t>(count));
        for (qint64 i = 0; i < count; ++i) {
            PageJob &job = jobs[size_t(i)];
            job.Index = first + i;
            job.Out = batch.data() + i * pageSize;
            if (i < baseInBatch)
                job.Base = baseBuffer.constData() + i * pageSize;
            if (record < m_records.size() && m_records[record].Page == job.Index) {
                job.Patched = true;
                if (!readRecord(delta, m_records[record].Offset, m_header.Layout.reserveSize, job))
                    return giveUp(TsuDeltaBuild::NotApplicable);
                ++record;
                for (const qint64 p : std::as_const(job.PrefixPages)) {
                    QByteArray bytes;
                    if (p >= first && p < first + baseInBatch)
                        bytes = QByteArray::fromRawData(baseBuffer.constData() + (p - first) * pageSize,
                                                        int(pageSize));
                    else if (p < basePages && base.seek(p * pageSize))
                        bytes = base.read(pageSize);
                    if (bytes.size() != pageSize) {
                        // The installed file lacks a page the content comes from.
                        job.PrefixBytes.clear();
                        job.Frame.clear();
                        break;
                    }
                    job.PrefixBytes << bytes;
                }
            }
        }

        QtConcurrent::blockingMap(jobs, [&](PageJob &job) {
            const int plainSize = cipher.plainSize(job.Index);
            if (job.Patched) {
                if (job.Frame.isEmpty())
                    return;
                // Buffers of each thread, kept from page to page.
                thread_local QByteArray prefix, plain;
                prefix.resize(0);
                for (qsizetype p = 0; p < job.PrefixBytes.size(); ++p) {
                    const qint64 index = job.PrefixPages[p];
                    const qsizetype at = prefix.size();
                    prefix.resize(at + cipher.plainSize(index));
                    // Not authenticated: a page that is not what the delta
                    // was made against gives a page that fails its hash.
                    cipher.decrypt(index, job.PrefixBytes[p].constData(), prefix.data() + at, false);
                }
                plain.resize(plainSize);
                if (!platform::compress::decompressAgainst(job.Frame.constData(), job.Frame.size(), prefix,
                                                           plain.data(), plainSize))
                    return;
                cipher.encrypt(job.Index, plain.constData(), job.Reserve.constData(), job.Out, false);
            } else if (job.Base) {
                std::copy(job.Base, job.Base + pageSize, job.Out);
            } else {
                return;
            }
            job.Matches = crypto::sha256(job.Out, pageSize) == pageHash(job.Index);
        });

        for (PageJob &job : jobs) {
            if (job.Matches)
                continue;
            // Zeros hold the place of a page still to come.
            std::fill(job.Out, job.Out + pageSize, '\0');
            if (!result.Missing.isEmpty() &&
                result.Missing.last().First + result.Missing.last().Count == job.Index)
                ++result.Missing.last().Count;
            else
                result.Missing.append({job.Index, 1});
            if (++missing > maxMissingPages)
                return giveUp(TsuDeltaBuild::NotApplicable);
        }
        if (out->write(batch.constData(), count * pageSize) != count * pageSize)
            return giveUp(TsuDeltaBuild::WriteFailed);
        if (progress && !progress((first + count) * pageSize, pages * pageSize))
            return giveUp(TsuDeltaBuild::Cancelled);
    }
    if (!out->flush())
        return giveUp(TsuDeltaBuild::WriteFailed);
    out->close();
    if (missing > 0) {
        result.Result = TsuDeltaBuild::PagesMissing;
    } else {
        result.Result = TsuDeltaBuild::Built;
    }
    return result;
}
