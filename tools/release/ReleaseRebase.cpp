#include "tools/release/ReleaseRebase.h"

#include "platform/crypto/Sha256.h"
#include "platform/db/DatabaseFile.h"
#include "platform/db/DbError.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace db = platform::db;

namespace release {

namespace {

// A row's identity: 128 bits of the SHA-256 of its values.
struct RowHash
{
    quint64 high = 0, low = 0;
    auto operator<=>(const RowHash &) const = default;
};

RowHash hashOf(const db::RowValues &values)
{
    platform::crypto::Sha256 hash;
    for (const db::CellValue &cell : values) {
        const char kind = char(cell.kind);
        const qint64 size = cell.bytes.size();
        hash.add(&kind, 1);
        hash.add(reinterpret_cast<const char *>(&size), sizeof size);
        hash.add(cell.bytes);
    }
    const QByteArray digest = hash.result();
    RowHash out;
    std::memcpy(&out.high, digest.constData(), 8);
    std::memcpy(&out.low, digest.constData() + 8, 8);
    return out;
}

struct OldRow
{
    qint64 Rowid = 0;
    RowHash Hash;
};

// Rows of each content in the two releases, found by binary search in the
// sorted distinct hashes.
class Counts
{
public:
    Counts(const OldRow *before, size_t beforeCount, const RowHash *after, size_t afterCount)
    {
        m_keys.reserve(beforeCount + afterCount);
        for (size_t i = 0; i < beforeCount; ++i)
            m_keys.push_back(before[i].Hash);
        m_keys.insert(m_keys.end(), after, after + afterCount);
        std::sort(m_keys.begin(), m_keys.end());
        m_keys.erase(std::unique(m_keys.begin(), m_keys.end()), m_keys.end());
        m_before.assign(m_keys.size(), 0);
        m_after.assign(m_keys.size(), 0);
        m_where.assign(m_keys.size(), -1);
        for (size_t i = 0; i < beforeCount; ++i) {
            const size_t k = index(before[i].Hash);
            ++m_before[k];
            m_where[k] = qint64(i);
        }
        for (size_t j = 0; j < afterCount; ++j)
            ++m_after[index(after[j])];
    }
    qint32 &before(const RowHash &hash) { return m_before[index(hash)]; }
    qint32 &after(const RowHash &hash) { return m_after[index(hash)]; }
    // Where a content that both releases hold exactly once stood; -1 else.
    qint64 uniqueOldIndex(const RowHash &hash) const
    {
        const size_t k = index(hash);
        return m_before[k] == 1 && m_after[k] == 1 ? m_where[k] : -1;
    }

private:
    size_t index(const RowHash &hash) const
    {
        return size_t(std::lower_bound(m_keys.begin(), m_keys.end(), hash) - m_keys.begin());
    }
    std::vector<RowHash> m_keys;
    std::vector<qint32> m_before, m_after;
    std::vector<qint64> m_where;
};

// Matches equal rows of two stretches in order: a row found on one side
// only is passed over; where both sides go on elsewhere, the old row is.
void matchStretch(const std::vector<OldRow> &before, size_t i, size_t iEnd, const std::vector<RowHash> &after,
                  size_t j, size_t jEnd, std::vector<qint64> &matched)
{
    if (i >= iEnd || j >= jEnd)
        return;
    Counts counts(before.data() + i, iEnd - i, after.data() + j, jEnd - j);
    while (i < iEnd && j < jEnd) {
        const RowHash &old = before[i].Hash;
        const RowHash &now = after[j];
        if (old == now) {
            matched[j] = before[i].Rowid;
            --counts.before(old);
            --counts.after(now);
            ++i;
            ++j;
        } else if (counts.after(old) == 0 || counts.before(now) > 0) {
            --counts.before(old);
            ++i;
        } else {
            --counts.after(now);
            ++j;
        }
    }
}

// Which new rows keep an old row's content in the same order: the longest
// chain, rising on both sides, of rows that each release holds once (found
// as a longest increasing subsequence), with the stretches between them
// matched row by row.
std::vector<qint64> matchRows(const std::vector<OldRow> &before, const std::vector<RowHash> &after)
{
    constexpr qint64 kNone = std::numeric_limits<qint64>::min();
    std::vector<qint64> matched(after.size(), kNone);
    const Counts counts(before.data(), before.size(), after.data(), after.size());
    std::vector<std::pair<size_t, size_t>> unique; // new index, old index
    for (size_t j = 0; j < after.size(); ++j) {
        const qint64 i = counts.uniqueOldIndex(after[j]);
        if (i >= 0)
            unique.emplace_back(j, size_t(i));
    }
    // Patience sorting over the old indexes, with links back.
    std::vector<size_t> tails; // positions in unique
    std::vector<qint64> previous(unique.size(), -1);
    for (size_t u = 0; u < unique.size(); ++u) {
        const auto at = std::lower_bound(tails.begin(), tails.end(), unique[u].second,
                                         [&](size_t t, size_t i) { return unique[t].second < i; });
        if (at != tails.begin())
            previous[u] = qint64(*(at - 1));
        if (at == tails.end())
            tails.push_back(u);
        else
            *at = u;
    }
    std::vector<std::pair<size_t, size_t>> anchors;
    for (qint64 u = tails.empty() ? -1 : qint64(tails.back()); u >= 0; u = previous[size_t(u)])
        anchors.push_back(unique[size_t(u)]);
    std::reverse(anchors.begin(), anchors.end());

    size_t i = 0, j = 0;
    for (const auto &[aj, ai] : anchors) {
        matchStretch(before, i, ai, after, j, aj, matched);
        matched[aj] = before[ai].Rowid;
        i = ai + 1;
        j = aj + 1;
    }
    matchStretch(before, i, before.size(), after, j, after.size(), matched);
    return matched;
}

// Rows placed after the last kept row stand this far apart, so that rows a
// later release puts between them find free rowids.
constexpr qint64 kRowidStride = 64;

// The rowid each new row gets: a matched row keeps its old rowid while the
// rowids still rise. Rows in between share the free rowids between the kept
// rows around them, spread evenly so that free ones stay between them; where
// there are too few, the kept rows after them move along too, up to a gap
// that holds them all (or the end of the table, past which they stand
// kRowidStride apart).
QString planRowids(const std::vector<OldRow> &before, const std::vector<RowHash> &after,
                   std::vector<qint64> &target)
{
    constexpr qint64 kNone = std::numeric_limits<qint64>::min();
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    const std::vector<qint64> matched = matchRows(before, after);
    const size_t n = after.size();
    target.assign(n, 0);
    bool placed = false;
    qint64 last = 0;
    size_t j = 0;
    while (j < n) {
        if (matched[j] != kNone && (!placed || matched[j] > last)) {
            last = target[j] = matched[j];
            placed = true;
            ++j;
            continue;
        }
        size_t k = j;
        for (; k < n; ++k) {
            if (matched[k] == kNone || (placed && matched[k] <= last))
                continue;
            const __int128 room = placed ? __int128(matched[k]) - last - 1 : __int128(matched[k]) - kNone;
            if (room >= __int128(k - j) * (placed ? 1 : kRowidStride))
                break;
        }
        const qint64 count = qint64(k - j);
        for (qint64 t = 0; t < count; ++t) {
            __int128 rowid;
            if (k < n && placed)
                rowid = last + (__int128(matched[k]) - last) * (t + 1) / (count + 1);
            else if (k < n)
                rowid = __int128(matched[k]) - __int128(kRowidStride) * (count - t);
            else
                rowid = __int128(placed ? last : 0) + __int128(kRowidStride) * (t + 1);
            if (rowid > kMax || rowid <= kNone)
                return QStringLiteral("the rowids of a table run out");
            target[j + size_t(t)] = qint64(rowid);
        }
        j = k;
        if (count > 0) {
            last = target[j - 1];
            placed = true;
        }
    }
    return {};
}

// Rebases one table of out to hold the rows of the same table of next.
void rebaseTable(const QString &table, db::DatabaseFile &out, const db::DatabaseFile &next,
                 RebaseStatistics &stats, QString &error)
{
    std::vector<OldRow> before;
    out.forEachRow(table, [&](qint64 rowid, const db::RowValues &values) {
        before.push_back({rowid, hashOf(values)});
        return true;
    });
    std::vector<RowHash> after;
    next.forEachRow(table, [&](qint64, const db::RowValues &values) {
        after.push_back(hashOf(values));
        return true;
    });
    std::vector<qint64> target;
    error = planRowids(before, after, target);
    if (!error.isEmpty())
        return;

    // What stands at each target rowid now: deleted where nothing is meant
    // to stand, then written in rising order where something else stands.
    std::vector<std::pair<qint64, RowHash>> wanted(after.size());
    for (size_t k = 0; k < after.size(); ++k)
        wanted[k] = {target[k], after[k]};
    size_t w = 0;
    std::vector<bool> write(after.size(), true);
    std::vector<bool> present(after.size(), false);
    for (const OldRow &row : before) {
        while (w < wanted.size() && wanted[w].first < row.Rowid)
            ++w;
        if (w < wanted.size() && wanted[w].first == row.Rowid) {
            present[w] = true;
            write[w] = wanted[w].second != row.Hash;
        } else {
            out.deleteRow(table, row.Rowid);
            ++stats.Deleted;
        }
    }
    size_t k = 0;
    next.forEachRow(table, [&](qint64, const db::RowValues &values) {
        if (!write[k]) {
            ++stats.Kept;
        } else if (present[k]) {
            out.updateRow(table, target[k], values);
            ++stats.Updated;
        } else {
            out.insertRow(table, target[k], values);
            ++stats.Inserted;
        }
        ++stats.Rows;
        ++k;
        return true;
    });
}

} // namespace

QString rebaseDatabase(const QString &previousPath, const QString &newPath, const QString &outPath,
                       const QString &passPhrase, RebaseStatistics *statistics)
{
    RebaseStatistics stats;
    QString error;
    QFile::remove(outPath);
    if (!QFile::copy(previousPath, outPath))
        return QStringLiteral("cannot copy %1 to %2").arg(previousPath, outPath);
    QFile::setPermissions(outPath,
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    try {
        const db::DatabaseFile next(newPath, passPhrase, false);
        {
            db::DatabaseFile out(outPath, passPhrase, true);
            if (out.schema() != next.schema())
                error = QStringLiteral("the tables of %1 are not those of %2 (another schema)")
                            .arg(newPath, previousPath);
            else if (!next.rowidTablesOnly())
                error = QStringLiteral("%1 has tables without rowids").arg(newPath);
            if (error.isEmpty()) {
                out.begin();
                for (const QString &table : next.tables()) {
                    rebaseTable(table, out, next, stats, error);
                    if (!error.isEmpty())
                        break;
                }
                if (out.userVersion() != next.userVersion())
                    out.setUserVersion(next.userVersion());
                out.commit();
            }
        }
        if (error.isEmpty() &&
            db::DatabaseFile(outPath, passPhrase, false).contentDigest() != next.contentDigest())
            error = QStringLiteral("the laid-out copy does not hold the rows of %1").arg(newPath);
    } catch (const db::DbError &failure) {
        error = failure.message();
    }
    if (!error.isEmpty()) {
        QFile::remove(outPath);
        return error;
    }
    if (statistics)
        *statistics = stats;
    return {};
}

} // namespace release
