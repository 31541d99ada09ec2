// Writing a database delta (the release tool's half).
#include "upgrade/suDatabaseDelta.h"

#include "platform/compress/PrefixCompression.h"
#include "platform/crypto/Sha256.h"
#include "upgrade/suDatabaseDeltaFormat.h"

#include <QFile>
#include <QSaveFile>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <limits>

namespace crypto = platform::crypto;

namespace {

// Small enough that records stay cheap, large enough that the pages of one
// release compress well against their former content.
constexpr int kCompressionLevel = 9;
using sudelta::kBatchPages;
// The engine's page header lies after the file header on the first page.
constexpr int kFirstPageHeader = 100;
constexpr quint8 kTableLeaf = 0x0D;

// A table leaf of the old file and the rowids it holds.
struct Leaf
{
    qint64 First = 0;
    qint64 Last = 0;
    qint64 Page = 0;
};

// A varint of the engine's record format at p (at most 9 bytes within end);
// false when it runs past end.
bool readVarint(const uchar *&p, const uchar *end, qint64 &value)
{
    quint64 v = 0;
    for (int i = 0; i < 9; ++i) {
        if (p >= end)
            return false;
        const uchar byte = *p++;
        if (i == 8) {
            v = (v << 8) | byte;
            break;
        }
        v = (v << 7) | (byte & 0x7f);
        if (!(byte & 0x80))
            break;
    }
    value = qint64(v);
    return true;
}

// The first and last rowid of a table leaf page (its plain bytes); false
// for any other page.
bool leafRowids(qint64 index, const QByteArray &plain, qint64 &first, qint64 &last)
{
    // Offsets in the page are counted from the page's start, which on the
    // first page lies before the salt that is not part of plain.
    const int shift = crypto::DatabasePageCipher::regionOffset(index);
    const int header = index == 0 ? kFirstPageHeader - shift : 0;
    const auto *page = reinterpret_cast<const uchar *>(plain.constData());
    const uchar *end = page + plain.size();
    if (header + 8 > plain.size() || page[header] != kTableLeaf)
        return false;
    const int cells = (page[header + 3] << 8) | page[header + 4];
    if (cells == 0 || header + 8 + 2 * cells > plain.size())
        return false;
    const auto rowidOfCell = [&](int cell, qint64 &rowid) {
        const int at = ((page[header + 8 + 2 * cell] << 8) | page[header + 9 + 2 * cell]) - shift;
        if (at < 0 || at >= plain.size())
            return false;
        const uchar *p = page + at;
        qint64 payload = 0;
        return readVarint(p, end, payload) && readVarint(p, end, rowid);
    };
    return rowidOfCell(0, first) && rowidOfCell(cells - 1, last);
}

class DeltaWriter
{
public:
    DeltaWriter(const QString &basePath, const QString &targetPath, const QByteArray &passPhrase)
        : m_base(basePath), m_target(targetPath), m_passPhrase(passPhrase)
    {
    }

    QString write(const QString &outPath, TsuDeltaStatistics *statistics);

private:
    QString open();
    QString scan();
    QString mapLeaves();
    QString writeRecords(QSaveFile &out);
    QByteArray page(QFile &file, qint64 index);
    QList<qint64> prefixPages(qint64 index, const QByteArray &plain) const;

    QFile m_base, m_target;
    QByteArray m_passPhrase;
    crypto::DatabasePageLayout m_layout;
    std::unique_ptr<crypto::DatabasePageCipher> m_cipher;
    qint64 m_basePages = 0, m_pages = 0;
    QByteArray m_hashes;
    std::vector<qint64> m_changed;
    std::vector<Leaf> m_leaves;          // by first rowid
    std::vector<qint64> m_leavesMaxLast; // the highest last rowid up to each leaf
};

QByteArray DeltaWriter::page(QFile &file, qint64 index)
{
    if (!file.seek(index * m_layout.pageSize))
        return {};
    QByteArray bytes = file.read(m_layout.pageSize);
    return bytes.size() == m_layout.pageSize ? bytes : QByteArray();
}

QString DeltaWriter::open()
{
    if (!m_base.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1").arg(m_base.fileName());
    if (!m_target.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1").arg(m_target.fileName());
    if (!suDatabaseLayout(m_target.fileName(), m_passPhrase, &m_layout))
        return QStringLiteral("%1 is not a database that opens with the program's pass phrase")
            .arg(m_target.fileName());
    crypto::DatabasePageLayout baseLayout;
    if (!suDatabaseLayout(m_base.fileName(), m_passPhrase, &baseLayout) ||
        baseLayout.pageSize != m_layout.pageSize)
        return QStringLiteral("%1 is not a database of the same page size").arg(m_base.fileName());
    const QByteArray salt = m_target.read(crypto::kDatabaseSaltSize);
    if (m_base.read(crypto::kDatabaseSaltSize) != salt)
        return QStringLiteral("%1 is not laid out on the pages of %2 (another salt)")
            .arg(m_target.fileName(), m_base.fileName());
    if (m_base.size() % m_layout.pageSize != 0 || m_target.size() % m_layout.pageSize != 0)
        return QStringLiteral("the files are not whole pages");
    m_cipher = std::make_unique<crypto::DatabasePageCipher>(m_passPhrase, salt, m_layout);
    m_basePages = m_base.size() / m_layout.pageSize;
    m_pages = m_target.size() / m_layout.pageSize;
    return {};
}

// The hash of every page of the target, and which pages differ from the base.
QString DeltaWriter::scan()
{
    const qint64 pageSize = m_layout.pageSize;
    m_hashes.reserve(m_pages * crypto::kSha256Size);
    m_base.seek(0);
    m_target.seek(0);
    for (qint64 first = 0; first < m_pages; first += kBatchPages) {
        const qint64 count = std::min(kBatchPages, m_pages - first);
        const QByteArray target = m_target.read(count * pageSize);
        const QByteArray base =
            first < m_basePages ? m_base.read(std::min(count, m_basePages - first) * pageSize) : QByteArray();
        if (target.size() != count * pageSize)
            return QStringLiteral("cannot read %1").arg(m_target.fileName());
        for (qint64 i = 0; i < count; ++i) {
            const char *page = target.constData() + i * pageSize;
            m_hashes += crypto::sha256(page, pageSize);
            const bool same = (i + 1) * pageSize <= base.size() &&
                              std::equal(page, page + pageSize, base.constData() + i * pageSize);
            if (!same)
                m_changed.push_back(first + i);
        }
    }
    return {};
}

// Where the rows of each table leaf of the base lie, so that a page split
// off in the target is compressed against the page its rows came from.
QString DeltaWriter::mapLeaves()
{
    for (qint64 index = 0; index < m_basePages; ++index) {
        const QByteArray bytes = page(m_base, index);
        QByteArray text(m_cipher->plainSize(index), Qt::Uninitialized);
        if (bytes.isEmpty())
            return QStringLiteral("cannot read %1").arg(m_base.fileName());
        if (!m_cipher->decrypt(index, bytes.constData(), text.data()))
            continue;
        qint64 first = 0, last = 0;
        if (leafRowids(index, text, first, last))
            m_leaves.push_back({first, last, index});
    }
    std::sort(m_leaves.begin(), m_leaves.end(),
              [](const Leaf &a, const Leaf &b) { return a.First < b.First; });
    qint64 highest = std::numeric_limits<qint64>::min();
    for (const Leaf &leaf : m_leaves)
        m_leavesMaxLast.push_back(highest = std::max(highest, leaf.Last));
    return {};
}

QList<qint64> DeltaWriter::prefixPages(qint64 index, const QByteArray &plain) const
{
    QList<qint64> pages;
    if (index < m_basePages)
        pages << index;
    qint64 first = 0, last = 0;
    if (!leafRowids(index, plain, first, last))
        return pages;
    // Leaves that hold the page's first rowid (one per table at most).
    auto it = std::upper_bound(m_leaves.begin(), m_leaves.end(), first,
                               [](qint64 rowid, const Leaf &leaf) { return rowid < leaf.First; });
    for (qsizetype k = it - m_leaves.begin() - 1; k >= 0 && m_leavesMaxLast[size_t(k)] >= first; --k) {
        const Leaf &leaf = m_leaves[size_t(k)];
        if (leaf.Last >= first && !pages.contains(leaf.Page))
            pages << leaf.Page;
        if (pages.size() == sudelta::kMaxPrefixPages)
            break;
    }
    return pages;
}

QString DeltaWriter::writeRecords(QSaveFile &out)
{
    struct Job
    {
        qint64 Index = 0;
        QByteArray Target;
        QList<QByteArray> Prefix;
        QList<qint64> PrefixPages;
        QByteArray Record;
        bool Failed = false;
    };
    const int reserve = m_layout.reserveSize;
    for (size_t at = 0; at < m_changed.size(); at += kBatchPages) {
        std::vector<Job> jobs;
        for (size_t k = at; k < std::min(m_changed.size(), at + size_t(kBatchPages)); ++k) {
            Job job;
            job.Index = m_changed[k];
            job.Target = page(m_target, job.Index);
            QByteArray plain(m_cipher->plainSize(job.Index), Qt::Uninitialized);
            if (job.Target.isEmpty() || !m_cipher->decrypt(job.Index, job.Target.constData(), plain.data()))
                return QStringLiteral("page %1 of %2 does not decrypt")
                    .arg(job.Index)
                    .arg(m_target.fileName());
            job.PrefixPages = prefixPages(job.Index, plain);
            for (const qint64 p : std::as_const(job.PrefixPages))
                job.Prefix << page(m_base, p);
            jobs.push_back(std::move(job));
        }
        QtConcurrent::blockingMap(jobs, [this, reserve](Job &job) {
            QByteArray plain(m_cipher->plainSize(job.Index), Qt::Uninitialized);
            m_cipher->decrypt(job.Index, job.Target.constData(), plain.data());
            QByteArray prefix;
            QList<qint64> used;
            for (qsizetype p = 0; p < job.Prefix.size(); ++p) {
                const qint64 index = job.PrefixPages[p];
                QByteArray text(m_cipher->plainSize(index), Qt::Uninitialized);
                // A page of the old file that does not decrypt (free space
                // never written, say) has nothing to offer.
                if (job.Prefix[p].isEmpty() ||
                    !m_cipher->decrypt(index, job.Prefix[p].constData(), text.data()))
                    continue;
                prefix += text;
                used << index;
            }
            job.PrefixPages = used;
            const QByteArray frame = platform::compress::compressAgainst(plain, prefix, kCompressionLevel);
            if (frame.isEmpty()) {
                job.Failed = true;
                return;
            }
            sudelta::putU64(job.Record, quint64(job.Index));
            sudelta::putU8(job.Record, quint8(job.PrefixPages.size()));
            for (const qint64 p : std::as_const(job.PrefixPages))
                sudelta::putU64(job.Record, quint64(p));
            job.Record += job.Target.right(reserve);
            sudelta::putU32(job.Record, quint32(frame.size()));
            job.Record += frame;
        });
        for (const Job &job : jobs) {
            if (job.Failed)
                return QStringLiteral("page %1 could not be compressed").arg(job.Index);
            if (out.write(job.Record) != job.Record.size())
                return QStringLiteral("cannot write %1").arg(out.fileName());
        }
    }
    return {};
}

QString DeltaWriter::write(const QString &outPath, TsuDeltaStatistics *statistics)
{
    if (QString error = open(); !error.isEmpty())
        return error;
    if (QString error = scan(); !error.isEmpty())
        return error;
    if (!m_changed.empty()) {
        if (QString error = mapLeaves(); !error.isEmpty())
            return error;
    }
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1").arg(outPath);
    QByteArray header = sudelta::kMagic;
    sudelta::putU32(header, sudelta::kFormat);
    sudelta::putU32(header, quint32(m_layout.pageSize));
    sudelta::putU32(header, quint32(m_layout.reserveSize));
    sudelta::putU32(header, quint32(m_layout.kdfIterations));
    sudelta::putU64(header, quint64(m_base.size()));
    sudelta::putU64(header, quint64(m_target.size()));
    header += m_cipher->salt();
    sudelta::putU64(header, quint64(m_changed.size()));
    if (out.write(header) != header.size() || out.write(m_hashes) != m_hashes.size())
        return QStringLiteral("cannot write %1").arg(outPath);
    if (QString error = writeRecords(out); !error.isEmpty()) {
        out.cancelWriting();
        return error;
    }
    const qint64 size = out.size();
    if (!out.commit())
        return QStringLiteral("cannot write %1").arg(outPath);
    if (statistics)
        *statistics = {m_pages, qint64(m_changed.size()), size};
    return {};
}

} // namespace

QString suWriteDatabaseDelta(const QString &basePath, const QString &targetPath, const QByteArray &passPhrase,
                             const QString &outPath, TsuDeltaStatistics *statistics)
{
    DeltaWriter writer(basePath, targetPath, passPhrase);
    return writer.write(outPath, statistics);
}
