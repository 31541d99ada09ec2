#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The deltas of a release: for a user whose database is one of the last
// few releases', the pages that changed, instead of the whole file.
namespace release {

// How many earlier releases a release carries deltas from. Each further
// one back is larger (the changes of every release in between) and builds
// as fast; with releases about a month apart and a few per cent of the
// companies changed in each, three covers a user who skipped a season and
// still stays far below the full file (see bench/DeltaBench.cpp).
inline constexpr int kMaxDeltas = 3;
// A delta that is not smaller than this share of the full file saves too
// little to be worth a download that can fail; it is left out.
inline constexpr double kMaxDeltaShare = 0.5;

// The file name of the delta from the release of version `from`.
QString deltaFileName(const QString &databaseName, const QString &from);
// Whether a file of a release folder is a delta (never a file to install).
bool isDeltaFile(const QString &name);

struct ReleaseDelta
{
    QString FileName;
    QString From; // the version of the release it applies to
    QString SHA256;
    qint64 Size = 0;
};

// Makes the deltas of the database `databaseName` in releaseFolder from the
// releases in previousFolders (each as published: its dorvak.inf and the
// database it lists). The database is first laid out on the pages of the
// newest of them (release/ReleaseRebase.h) and replaces the vendor's file
// in the folder, with the same content; then a delta from each previous
// release, newest first, at most kMaxDeltas, each checked by building the
// new database from it. Deltas of other releases left in the folder are
// removed. notes receives what was done, for the vendor. Empty on success,
// the reason in English otherwise (the folder then holds no delta).
QString makeDeltas(const QString &releaseFolder, const QString &databaseName, const QString &version,
                   const QStringList &previousFolders, const QString &passPhrase, QList<ReleaseDelta> *deltas,
                   QStringList *notes);

} // namespace release
