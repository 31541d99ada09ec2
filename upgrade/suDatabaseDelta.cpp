// Reading a database delta, and the page layout of a database file.
#include "upgrade/suDatabaseDelta.h"

#include "platform/compress/PrefixCompression.h"
#include "platform/crypto/Sha256.h"
#include "upgrade/suDatabaseDeltaFormat.h"

#include <QFile>

namespace crypto = platform::crypto;

namespace {

bool fail(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}

bool isPowerOfTwo(quint32 value)
{
    return value != 0 && (value & (value - 1)) == 0;
}

} // namespace

bool TsuDatabaseDelta::open(const QString &path, QString *reason)
{
    m_path = path;
    m_records.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(reason, QStringLiteral("cannot read %1").arg(path));
    const qint64 fileSize = file.size();
    sudelta::Reader in(file);
    const QByteArray magic = in.bytes(sudelta::kMagic.size());
    const quint32 format = in.u32();
    const quint32 pageSize = in.u32();
    const quint32 reserve = in.u32();
    const quint32 rounds = in.u32();
    const quint64 baseSize = in.u64();
    const quint64 newSize = in.u64();
    const QByteArray salt = in.bytes(crypto::kDatabaseSaltSize);
    const quint64 records = in.u64();
    if (!in.ok() || magic != sudelta::kMagic || format != sudelta::kFormat)
        return fail(reason, QStringLiteral("not a database delta of this format"));
    if (!isPowerOfTwo(pageSize) || pageSize < 512 || pageSize > 65536 || reserve < 32 || reserve % 16 != 0 ||
        reserve > pageSize / 4 || rounds == 0 || rounds > 10000000)
        return fail(reason, QStringLiteral("the page layout is not one of a database"));
    // Sizes far beyond any directory (2^50 bytes) are refused before any arithmetic on them.
    if (newSize == 0 || newSize % pageSize != 0 || baseSize % pageSize != 0 || newSize > (quint64(1) << 50) ||
        baseSize > (quint64(1) << 50))
        return fail(reason, QStringLiteral("the sizes are not whole pages"));
    const qint64 pages = qint64(newSize / pageSize);
    if (records > quint64(pages) || fileSize < sudelta::kHeaderSize + pages * crypto::kSha256Size)
        return fail(reason, QStringLiteral("the file is shorter than its header says"));

    m_header.Layout = {int(pageSize), int(reserve), int(rounds)};
    m_header.BaseSize = qint64(baseSize);
    m_header.NewSize = qint64(newSize);
    m_header.Salt = salt;
    m_header.RecordCount = qint64(records);
    m_pageHashes = in.bytes(pages * crypto::kSha256Size);
    if (!in.ok())
        return fail(reason, QStringLiteral("the page hashes are cut short"));

    // Every record where it should be, in rising page order, each frame
    // within its bound, and nothing after the last.
    const qint64 frameLimit = platform::compress::frameBound(pageSize);
    m_records.reserve(size_t(records));
    qint64 previous = -1;
    for (quint64 i = 0; i < records; ++i) {
        const qint64 page = qint64(in.u64());
        const qint64 offset = in.position();
        const int prefixes = in.u8();
        if (!in.ok() || page <= previous || page >= pages || prefixes > sudelta::kMaxPrefixPages)
            return fail(reason, QStringLiteral("record %1 is out of order or out of bounds").arg(i));
        for (int p = 0; p < prefixes; ++p) {
            if (in.u64() >= quint64(m_header.basePageCount()))
                return fail(reason, QStringLiteral("record %1 refers to a page the old file lacks").arg(i));
        }
        in.skip(reserve);
        const quint32 frame = in.u32();
        if (!in.ok() || frame == 0 || frame > frameLimit || !in.skip(frame))
            return fail(reason, QStringLiteral("record %1 is cut short").arg(i));
        m_records.push_back({page, offset});
        previous = page;
    }
    if (in.position() != fileSize)
        return fail(reason, QStringLiteral("the file goes on after its last record"));
    return true;
}

QByteArray TsuDatabaseDelta::pageHash(qint64 index) const
{
    return m_pageHashes.mid(index * crypto::kSha256Size, crypto::kSha256Size);
}

bool TsuDatabaseDelta::writePages(const QString &outPath, qint64 firstPage, const QByteArray &bytes) const
{
    const qint64 pageSize = m_header.Layout.pageSize;
    if (bytes.isEmpty() || bytes.size() % pageSize != 0 || firstPage < 0 ||
        firstPage + bytes.size() / pageSize > m_header.pageCount())
        return false;
    for (qint64 i = 0; i < bytes.size() / pageSize; ++i) {
        if (crypto::sha256(bytes.constData() + i * pageSize, pageSize) != pageHash(firstPage + i))
            return false;
    }
    QFile out(outPath);
    return out.open(QIODevice::ReadWrite) && out.size() == m_header.NewSize &&
           out.seek(firstPage * pageSize) && out.write(bytes) == bytes.size() && out.flush();
}

bool suDatabaseLayout(const QString &path, const QByteArray &passPhrase, crypto::DatabasePageLayout *layout)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    for (const int pageSize : {65536, 4096, 1024}) {
        file.seek(0);
        const QByteArray page = file.read(pageSize);
        if (page.size() != pageSize)
            continue;
        crypto::DatabasePageLayout candidate;
        candidate.pageSize = pageSize;
        const crypto::DatabasePageCipher cipher(passPhrase, page.left(crypto::kDatabaseSaltSize), candidate);
        QByteArray plain(cipher.plainSize(0), Qt::Uninitialized);
        if (cipher.decrypt(0, page.constData(), plain.data())) {
            *layout = candidate;
            return true;
        }
    }
    return false;
}
