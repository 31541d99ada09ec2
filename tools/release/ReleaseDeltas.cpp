#include "tools/release/ReleaseDeltas.h"

#include "platform/crypto/Sha256.h"
#include "tools/release/ReleaseRebase.h"
#include "upgrade/helper/suVersion.h"
#include "upgrade/suDatabaseDelta.h"
#include "upgrade/suSelfUpdaterInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace release {

namespace {

const QString kDeltaSuffix = QStringLiteral(".vdelta");

struct PreviousRelease
{
    QString Folder;
    QString Version;
    QString Database;
};

// A previous release as published: its version, and its database as its
// information file lists it (the same bytes, or the delta would apply to
// another file than users have).
QString readPrevious(const QString &folder, const QString &databaseName, PreviousRelease *out)
{
    QFile info(QDir(folder).filePath(QStringLiteral("dorvak.inf")));
    if (!info.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 holds no dorvak.inf of a published release").arg(folder);
    const QString text = QString::fromUtf8(info.readAll());
    out->Folder = folder;
    out->Version = suInfoValue(text, QStringLiteral("version")).trimmed();
    out->Database = QDir(folder).filePath(databaseName);
    if (!suParseVersion(out->Version))
        return QStringLiteral("%1/dorvak.inf gives no version").arg(folder);
    for (const TsuInfoFileEntry &entry : suInfoFiles(text)) {
        if (!entry.URL.endsWith(u'/' + databaseName))
            continue;
        if (!QFileInfo::exists(out->Database))
            return QStringLiteral("%1 is missing").arg(out->Database);
        if (platform::crypto::sha256OfFile(out->Database) != entry.SHA256.toLower())
            return QStringLiteral("%1 is not the file its dorvak.inf lists (another SHA-256)")
                .arg(out->Database);
        return {};
    }
    return QStringLiteral("%1/dorvak.inf lists no %2").arg(folder, databaseName);
}

QString sizeText(qint64 bytes)
{
    return QStringLiteral("%1 MB").arg(double(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}

} // namespace

QString deltaFileName(const QString &databaseName, const QString &from)
{
    return databaseName + QStringLiteral(".from-") + from + kDeltaSuffix;
}

bool isDeltaFile(const QString &name)
{
    return name.endsWith(kDeltaSuffix);
}

QString makeDeltas(const QString &releaseFolder, const QString &databaseName, const QString &version,
                   const QStringList &previousFolders, const QString &passPhrase, QList<ReleaseDelta> *deltas,
                   QStringList *notes)
{
    const QDir folder(releaseFolder);
    for (const QString &name :
         folder.entryList({QStringLiteral("*") + kDeltaSuffix}, QDir::Files | QDir::Hidden))
        QFile::remove(folder.filePath(name));
    deltas->clear();
    const QString database = folder.filePath(databaseName);
    if (!QFileInfo::exists(database))
        return QStringLiteral("%1 holds no %2 to make deltas of").arg(releaseFolder, databaseName);

    QList<PreviousRelease> previous;
    for (const QString &path : previousFolders) {
        PreviousRelease release;
        if (QString error = readPrevious(path, databaseName, &release); !error.isEmpty())
            return error;
        const std::optional<int> order = CompareVersions(version, release.Version);
        if (!order || *order <= 0)
            return QStringLiteral("the previous release %1 (%2) is not older than %3")
                .arg(path, release.Version, version);
        for (const PreviousRelease &other : std::as_const(previous)) {
            if (CompareVersions(other.Version, release.Version) == 0)
                return QStringLiteral("the release %1 is given twice").arg(release.Version);
        }
        previous << release;
    }
    std::sort(previous.begin(), previous.end(), [](const PreviousRelease &a, const PreviousRelease &b) {
        return CompareVersions(a.Version, b.Version).value_or(0) > 0;
    });
    if (previous.size() > kMaxDeltas) {
        *notes << QStringLiteral("only the last %1 releases get deltas; %2 and older download the full file")
                      .arg(kMaxDeltas)
                      .arg(previous.at(kMaxDeltas).Version);
        previous.resize(kMaxDeltas);
    }
    if (previous.isEmpty())
        return {};

    // The vendor's file, laid out on the newest release's pages.
    const QString laidOut = database + QStringLiteral(".rebased");
    RebaseStatistics rebase;
    if (QString error = rebaseDatabase(previous.first().Database, database, laidOut, passPhrase, &rebase);
        !error.isEmpty())
        return error;
    QFile::remove(database);
    if (!QFile::rename(laidOut, database)) {
        QFile::remove(laidOut);
        return QStringLiteral("cannot replace %1").arg(database);
    }
    *notes << QStringLiteral("%1 laid out on the pages of release %2: %3 rows, %4 kept in place, %5 changed, "
                             "%6 added, %7 removed")
                  .arg(databaseName, previous.first().Version)
                  .arg(rebase.Rows)
                  .arg(rebase.Kept)
                  .arg(rebase.Updated)
                  .arg(rebase.Inserted)
                  .arg(rebase.Deleted);

    const qint64 fullSize = QFileInfo(database).size();
    const QString check = database + QStringLiteral(".check");
    for (const PreviousRelease &release : std::as_const(previous)) {
        const QString name = deltaFileName(databaseName, release.Version);
        const QString path = folder.filePath(name);
        TsuDeltaStatistics statistics;
        QString error =
            suWriteDatabaseDelta(release.Database, database, passPhrase.toUtf8(), path, &statistics);
        if (error.isEmpty()) {
            // Applied as a client applies it, it must give the file itself.
            TsuDatabaseDelta delta;
            const bool built =
                delta.open(path, &error) &&
                delta.build(release.Database, passPhrase.toUtf8(), check, 0).Result == TsuDeltaBuild::Built;
            QFile::remove(check);
            if (!built && error.isEmpty())
                error =
                    QStringLiteral("the delta from %1 does not build %2").arg(release.Version, databaseName);
        }
        if (!error.isEmpty()) {
            for (const ReleaseDelta &made : std::as_const(*deltas))
                QFile::remove(folder.filePath(made.FileName));
            QFile::remove(path);
            deltas->clear();
            return error;
        }
        if (statistics.DeltaBytes >= qint64(double(fullSize) * kMaxDeltaShare)) {
            QFile::remove(path);
            *notes << QStringLiteral("no delta from %1: it would be %2 of the %3 file")
                          .arg(release.Version, sizeText(statistics.DeltaBytes), sizeText(fullSize));
            continue;
        }
        deltas->append({name, release.Version, platform::crypto::sha256OfFile(path), statistics.DeltaBytes});
        *notes << QStringLiteral("%1: %2 (%3 of %4 pages changed), %5%6 of the full file")
                      .arg(name, sizeText(statistics.DeltaBytes))
                      .arg(statistics.ChangedPages)
                      .arg(statistics.Pages)
                      .arg(100.0 * double(statistics.DeltaBytes) / double(std::max<qint64>(fullSize, 1)), 0,
                           'f', 2)
                      .arg(u'%');
    }
    return {};
}

} // namespace release
