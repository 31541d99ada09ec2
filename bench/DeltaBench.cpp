// What an upgrade downloads when a release changes few companies, for three
// designs of a database delta, and how long the client takes to make and
// check the new database from it, against the time the engine needs to
// read the whole company table once.
//
// Release 2 updates the profile and telephone of 1 % of the companies,
// scattered through the table, adds 0.5 % and removes 0.2 %; release 3 does
// the same again. The vendor makes each by changing the previous file in
// place ("in place") or by writing it afresh ("rebuilt", where the engine's
// random IVs leave no page the same).
//
//   pages, rebased: the release tool lays the new file out on the previous
//     release's pages and the delta carries the changed pages, each
//     compressed against the old pages its rows came from (the design the
//     program uses);
//   blocks: the encrypted pages that differ at the same place, as a block
//     sync (zsync, HTTP ranges) would fetch them;
//   rows: the rows that changed, compressed, applied through the engine and
//     checked by a digest of the content.
//
// Run: VELMORA_BENCH_DIR=/tmp bench_delta [--companies N]

#include "BenchDatabase.h"

#include "platform/compress/PrefixCompression.h"
#include "platform/crypto/Sha256.h"
#include "platform/db/CipherSettings.h"
#include "platform/db/DatabaseFile.h"
#include "tools/DemoDatabase.h"
#include "tools/release/ReleaseRebase.h"
#include "upgrade/suDatabaseDelta.h"

#include <sqlcipher/sqlite3.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

const QByteArray kPass = QByteArray(tools::kDatabasePassword);

// Opens a database file through the engine with the directory's key.
sqlite3 *openDatabase(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const std::string key = std::string("PRAGMA key = '") + tools::kDatabasePassword + "'";
    sqlite3_exec(db, key.c_str(), nullptr, nullptr, nullptr);
    const std::string pages = "PRAGMA cipher_page_size = " + std::to_string(platform::db::kBuilderPageSize);
    sqlite3_exec(db, pages.c_str(), nullptr, nullptr, nullptr);
    // Files attached later have the same page size.
    const std::string defaults =
        "PRAGMA cipher_default_page_size = " + std::to_string(platform::db::kBuilderPageSize);
    sqlite3_exec(db, defaults.c_str(), nullptr, nullptr, nullptr);
    return db;
}

bool execute(const QString &path, const QStringList &statements)
{
    sqlite3 *db = openDatabase(path);
    bool ok = true;
    for (const QString &sql : statements) {
        char *error = nullptr;
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(sql.left(60)), error ? error : "?");
            ok = false;
        }
        sqlite3_free(error);
    }
    sqlite3_close(db);
    return ok;
}

// The statements of a release: 1 % of the companies get a new profile and
// telephone, 0.5 % are added, 0.2 % removed.
QStringList releaseStatements(int mark, qint64 companies)
{
    const qint64 added = companies / 200;
    return {
        QStringLiteral("BEGIN"),
        QStringLiteral("UPDATE Dorvak SET cCorpMemo = '第%1版简介 ' || hex(randomblob(80)), cTel = '0%1-' || "
                       "(rowid * 7919 % 100000000) WHERE (rowid * 2654435761 + %1) % 100 = 0")
            .arg(mark),
        QStringLiteral("INSERT INTO Dorvak (cTypeName, cCorpCName, cCAdd, cTel, cProvince, cCorpMemo, iFlag) "
                       "SELECT cTypeName, '新公司%1-' || rowid, cCAdd, cTel, cProvince, cCorpMemo, 0 "
                       "FROM Dorvak WHERE rowid <= %2")
            .arg(mark)
            .arg(added),
        QStringLiteral("DELETE FROM Dorvak WHERE (rowid * 40503 + %1) % 500 = 3").arg(mark),
        QStringLiteral("COMMIT")};
}

// The same content written afresh, as a vendor's rebuild would.
bool rebuild(const QString &from, const QString &to)
{
    QFile::remove(to);
    const std::string attach =
        "ATTACH DATABASE '" + to.toStdString() + "' AS fresh KEY '" + tools::kDatabasePassword + "'";
    const std::string pages =
        "PRAGMA fresh.cipher_page_size = " + std::to_string(platform::db::kBuilderPageSize);
    return execute(from,
                   {QString::fromStdString(attach), QString::fromStdString(pages),
                    QStringLiteral("SELECT sqlcipher_export('fresh')"), QStringLiteral("DETACH fresh")});
}

bool copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to) && QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
}

// Pages that differ at the same place (or are new), in bytes.
qint64 differingPageBytes(const QString &oldPath, const QString &newPath)
{
    QFile a(oldPath), b(newPath);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        return -1;
    const qint64 page = platform::db::kBuilderPageSize;
    qint64 bytes = 0;
    while (!b.atEnd()) {
        const QByteArray x = b.read(page * 256), y = a.read(page * 256);
        for (qint64 at = 0; at < x.size(); at += page) {
            if (x.mid(at, page) != y.mid(at, page))
                bytes += std::min<qint64>(page, x.size() - at);
        }
    }
    return bytes;
}

const char kColumns[] = "cTypeName,cCorpCName,cCAdd,cZip,cTel,cFax,cHttp,cEmail,cCorpEName,cEAdd,cAreaNo,"
                        "cTypeNo,cArea,cProvince,cManager,cMainProd,cCorpMemo,iFlag,cRemark";

std::string attachStatement(const QString &path, const char *name)
{
    return "ATTACH DATABASE '" + path.toStdString() + "' AS " + name + " KEY '" + tools::kDatabasePassword +
           "'";
}

// The rows of the new file that the old one lacks (with their rowids) and
// the rowids it no longer has, written to a small database of their own;
// returns their size as text compressed, what a client would download.
qint64 writeRowDelta(const QString &oldPath, const QString &newPath, const QString &deltaPath)
{
    QFile::remove(deltaPath);
    sqlite3 *db = openDatabase(newPath);
    const std::string columns = kColumns;
    for (const std::string &sql :
         {attachStatement(oldPath, "old"), attachStatement(deltaPath, "d"),
          "CREATE TABLE d.rows AS SELECT rowid AS rid, " + columns +
              " FROM main.Dorvak EXCEPT SELECT rowid, " + columns + " FROM old.Dorvak",
          std::string("CREATE TABLE d.gone AS SELECT rowid AS rid FROM old.Dorvak EXCEPT SELECT rowid FROM "
                      "main.Dorvak")}) {
        char *error = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
            std::fprintf(stderr, "%s: %s\n", sql.substr(0, 60).c_str(), error ? error : "?");
        sqlite3_free(error);
    }
    QByteArray text;
    for (const char *sql : {"SELECT * FROM d.rows", "SELECT * FROM d.gone"}) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                text.append(reinterpret_cast<const char *>(sqlite3_column_text(stmt, c)),
                            sqlite3_column_bytes(stmt, c));
                text += '\t';
            }
            text += '\n';
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return platform::compress::compressAgainst(text, {}, 19).size();
}

// Applies a row delta to a copy of the installed file through the engine.
bool applyRowDelta(const QString &installed, const QString &deltaPath, const QString &out)
{
    if (!copyFile(installed, out))
        return false;
    const QString columns = QString::fromLatin1(kColumns);
    return execute(
        out, {QString::fromStdString(attachStatement(deltaPath, "d")), QStringLiteral("BEGIN"),
              QStringLiteral("DELETE FROM main.Dorvak WHERE rowid IN (SELECT rid FROM d.gone)"),
              QStringLiteral("INSERT OR REPLACE INTO main.Dorvak (rowid, %1) SELECT rid, %1 FROM d.rows")
                  .arg(columns),
              QStringLiteral("COMMIT")});
}

struct Work
{
    QString folder, r1, r2, r3, r2Rebuilt, r3Rebuilt, r2Rebased, r3Rebased;
    bool lean = false;
    bool ready = false;
};

constexpr qint64 kLeanAbove = qint64(2) << 30;

qint64 companyCount(const QString &path)
{
    sqlite3 *db = openDatabase(path);
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM Dorvak", -1, &stmt, nullptr);
    const qint64 count = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return count;
}

Work &work()
{
    static Work w;
    if (w.ready)
        return w;
    w.r1 = bench::databasePath();
    w.folder = w.r1 + QStringLiteral(".delta-bench/");
    QDir().mkpath(w.folder);
    w.r2 = w.folder + QStringLiteral("r2.dat");
    w.r3 = w.folder + QStringLiteral("r3.dat");
    w.r2Rebuilt = w.folder + QStringLiteral("r2-rebuilt.dat");
    w.r3Rebuilt = w.folder + QStringLiteral("r3-rebuilt.dat");
    w.r2Rebased = w.folder + QStringLiteral("r2-rebased.dat");
    w.r3Rebased = w.folder + QStringLiteral("r3-rebased.dat");
    // A directory of several gigabytes gets only what the chosen design
    // needs (the releases made in place, rebased, and the intermediate
    // files removed): the other designs' files would not fit on the disk
    // beside it, and the 1M run measures them.
    w.lean = QFileInfo(w.r1).size() > kLeanAbove;
    if (w.lean && !QFileInfo::exists(w.r3Rebased)) {
        std::fprintf(stderr, "preparing releases 2 and 3 (rebased only) in %s ...\n", qPrintable(w.folder));
        const qint64 count = companyCount(w.r1);
        const bool ok =
            copyFile(w.r1, w.r2) && execute(w.r2, releaseStatements(2, count)) &&
            release::rebaseDatabase(w.r1, w.r2, w.r2Rebased, QString::fromLatin1(kPass)).isEmpty() &&
            execute(w.r2, releaseStatements(3, count)) &&
            release::rebaseDatabase(w.r2Rebased, w.r2, w.r3Rebased, QString::fromLatin1(kPass)).isEmpty() &&
            QFile::remove(w.r2);
        if (!ok) {
            std::fprintf(stderr, "could not prepare the releases\n");
            std::exit(1);
        }
    }
    if (!w.lean && !QFileInfo::exists(w.r3Rebased)) {
        std::fprintf(stderr, "preparing releases 2 and 3 in %s ...\n", qPrintable(w.folder));
        const qint64 count = companyCount(w.r1);
        const bool ok =
            copyFile(w.r1, w.r2) && execute(w.r2, releaseStatements(2, count)) && copyFile(w.r2, w.r3) &&
            execute(w.r3, releaseStatements(3, count)) && rebuild(w.r2, w.r2Rebuilt) &&
            rebuild(w.r3, w.r3Rebuilt) &&
            release::rebaseDatabase(w.r1, w.r2Rebuilt, w.r2Rebased, QString::fromLatin1(kPass)).isEmpty() &&
            release::rebaseDatabase(w.r2Rebased, w.r3Rebuilt, w.r3Rebased, QString::fromLatin1(kPass))
                .isEmpty();
        if (!ok) {
            std::fprintf(stderr, "could not prepare the releases\n");
            std::exit(1);
        }
    }
    w.ready = true;
    return w;
}

void report(benchmark::State &state, qint64 bytes, qint64 fullBytes, double buildSeconds)
{
    state.counters["bytes"] = double(bytes);
    state.counters["percent_of_full"] = 100.0 * double(bytes) / double(fullBytes);
    state.counters["build_verify_s"] = buildSeconds;
    state.counters["engine_read_s"] = bench::engineMilliseconds(bench::kListSql) / 1000.0;
}

// The program's design: a delta of the pages that changed on the rebased file.
void pagesRebased(benchmark::State &state, bool twoBehind)
{
    Work &w = work();
    const QString target = twoBehind ? w.r3Rebased : w.r2Rebased;
    const QString delta = w.folder + (twoBehind ? QStringLiteral("d13") : QStringLiteral("d12"));
    if (!QFileInfo::exists(delta) && !suWriteDatabaseDelta(w.r1, target, kPass, delta).isEmpty()) {
        state.SkipWithError("delta not written");
        return;
    }
    const QString out = w.folder + QStringLiteral("built.dat");
    // What the client has from the signed information file.
    const QString signedHash = platform::crypto::sha256OfFile(target);
    double seconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        TsuDatabaseDelta d;
        bool built = d.open(delta);
        if (built) {
            // The hash of the whole file is taken as it is written, as the client does.
            const TsuDeltaBuild made = d.build(w.r1, kPass, out, 0, {}, signedHash.toLatin1());
            built = made.Result == TsuDeltaBuild::Built && QString::fromLatin1(made.Sha256) == signedHash;
        }
        seconds = timer.nsecsElapsed() / 1e9;
        if (!built)
            state.SkipWithError("the delta did not build the release");
    }
    QFile::remove(out);
    report(state, QFileInfo(delta).size(), QFileInfo(target).size(), seconds);
}

// A block sync: every encrypted page that differs at the same place.
void blocks(benchmark::State &state, bool rebuilt)
{
    Work &w = work();
    if (w.lean) {
        state.SkipWithError("measured at 1M only");
        return;
    }
    const QString target = rebuilt ? w.r2Rebuilt : w.r2;
    qint64 bytes = 0;
    for (auto _ : state)
        bytes = differingPageBytes(w.r1, target);
    report(state, bytes, QFileInfo(target).size(), 0);
}

// The rows that changed, applied through the engine to a copy of the
// installed file and checked by the digest of the content.
void rows(benchmark::State &state)
{
    Work &w = work();
    if (w.lean) {
        state.SkipWithError("measured at 1M only");
        return;
    }
    const QString delta = w.folder + QStringLiteral("rows12.db");
    const qint64 bytes = writeRowDelta(w.r1, w.r2, delta);
    const QString out = w.folder + QStringLiteral("applied.dat");
    double seconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const bool same =
            applyRowDelta(w.r1, delta, out) &&
            platform::db::DatabaseFile(out, QString::fromLatin1(kPass), false).contentDigest() ==
                platform::db::DatabaseFile(w.r2, QString::fromLatin1(kPass), false).contentDigest();
        seconds = timer.nsecsElapsed() / 1e9;
        if (!same)
            state.SkipWithError("the rows did not give the release's content");
    }
    QFile::remove(out);
    report(state, bytes, QFileInfo(w.r2).size(), seconds);
}

BENCHMARK_CAPTURE(pagesRebased, one_release_behind, false)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(pagesRebased, two_releases_behind, true)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(blocks, changed_in_place, false)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(blocks, rebuilt, true)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(rows)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv);
}
