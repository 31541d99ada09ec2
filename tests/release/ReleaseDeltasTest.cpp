// Releases with deltas: the vendor's database, however it was made, is laid
// out on the previous release's pages, and the deltas the tool lists build
// the published file from the earlier ones.

#include "tools/release/ReleaseDeltas.h"
#include "tools/release/ReleaseRebase.h"
#include "tools/release/ReleaseTool.h"

#include "platform/db/DatabaseFile.h"
#include "upgrade/suDatabaseDelta.h"
#include "upgrade/suSelfUpdaterInfo.h"

#include "support/EngineReader.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"
#include "upgrade/DeltaDatabases.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace db = platform::db;
using testfiles::sha256;
using testfiles::writeFile;

namespace {

const QString kPass = QString::fromLatin1(testdb::kPassword);

// The database written afresh from its rows, as a vendor's build does: the
// same schema, the rows in the same order under new rowids, every page new.
void rebuild(const QString &from, const QString &to)
{
    QFile::remove(to);
    const db::DatabaseFile source(from, kPass, false);
    QStringList schema;
    {
        testdb::EngineReader reader(from, kPass, 4096);
        for (const auto &row :
             reader
                 .select(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' ORDER BY rowid"))
                 .rows)
            schema << *row.at(0);
    }
    testdb::create(to, kPass, 4096, schema);
    db::DatabaseFile target(to, kPass, true);
    target.begin();
    for (const QString &table : source.tables()) {
        qint64 rowid = 0;
        source.forEachRow(table, [&](qint64, const db::RowValues &values) {
            target.insertRow(table, ++rowid, values);
            return true;
        });
    }
    target.commit();
}

// Pages two files have in common at the same place.
double sharedPages(const QString &a, const QString &b)
{
    const QByteArray x = testfiles::readFile(a), y = testfiles::readFile(b);
    qint64 same = 0;
    const qint64 pages = std::min(x.size(), y.size()) / 4096;
    for (qint64 i = 0; i < pages; ++i)
        same += x.mid(i * 4096, 4096) == y.mid(i * 4096, 4096) ? 1 : 0;
    return double(same) / double(y.size() / 4096);
}

class ReleaseDeltasTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString publicKey;
        ASSERT_EQ(release::generateKeys(key, &publicKey), QString());
    }

    QString folderOf(const QString &version) const { return dir.file(QStringLiteral("release-") + version); }

    // Publishes a release of the given database with deltas from the
    // previous releases' folders.
    QString publish(const QString &version, const QString &database, const QStringList &previous = {},
                    QStringList *notes = nullptr)
    {
        const QString folder = folderOf(version);
        QDir().mkpath(folder);
        QFile::remove(folder + QStringLiteral("/dorvak.dat"));
        QFile::copy(database, folder + QStringLiteral("/dorvak.dat"));
        writeFile(folder + QStringLiteral("/softup.dll"),
                  "[SYS]\r\nUPDATESET=" + version.toLatin1() + "\r\n");
        release::ReleaseSpec spec;
        spec.folder = folder;
        spec.version = version;
        spec.message = QStringLiteral("新版本");
        spec.baseUrl = QStringLiteral("http://www.kestrune.example/download");
        spec.expires = QDateTime::currentDateTimeUtc().date().addDays(30);
        spec.privateKeyFile = key;
        for (const QString &v : previous)
            spec.previousFolders << folderOf(v);
        spec.databasePassPhrase = kPass;
        return release::signRelease(spec, notes);
    }
    QString published(const QString &version) const
    {
        return folderOf(version) + QStringLiteral("/dorvak.dat");
    }
    QString info(const QString &version) const
    {
        return QString::fromUtf8(testfiles::readFile(folderOf(version) + QStringLiteral("/dorvak.inf")));
    }
    // The published database built from an earlier one with the listed delta.
    QByteArray builtFrom(const QString &version, const TsuInfoDelta &entry)
    {
        const QString path = folderOf(version) + u'/' + entry.URL.section(u'/', -1);
        EXPECT_EQ(sha256(testfiles::readFile(path)), entry.SHA256);
        EXPECT_EQ(QFileInfo(path).size(), entry.Size);
        TsuDatabaseDelta delta;
        EXPECT_TRUE(delta.open(path));
        const QString out = dir.file(QStringLiteral("built.dat"));
        QFile::remove(out);
        EXPECT_EQ(delta.build(published(entry.From), kPass.toUtf8(), out, 0).Result, TsuDeltaBuild::Built);
        return testfiles::readFile(out);
    }

    TempDir dir;
    const QString key = dir.file(QStringLiteral("vendor.key"));
};

} // namespace

// The vendor rebuilt the directory from scratch: no page of its file is
// the previous release's. Published with the previous release, it is laid
// out on that release's pages (as many the same bytes again as when the
// changes are made in place), holds
// the vendor's rows in the vendor's order, and the listed delta builds it
// byte for byte from the previous release's file.
TEST_F(ReleaseDeltasTest, ARebuiltDatabaseIsLaidOutOnThePreviousPagesAndItsDeltaBuildsIt)
{
    deltadb::writeRelease(dir.file(QStringLiteral("v20.dat")), 3000);
    ASSERT_EQ(publish(QStringLiteral("2.0"), dir.file(QStringLiteral("v20.dat"))), QString());
    EXPECT_TRUE(suInfoFiles(info(QStringLiteral("2.0"))).first().Deltas.isEmpty());

    deltadb::makeNext(dir.file(QStringLiteral("v20.dat")), dir.file(QStringLiteral("changed.dat")),
                      deltadb::nextRelease(40, 30, 100, 300, QStringLiteral("21")));
    rebuild(dir.file(QStringLiteral("changed.dat")), dir.file(QStringLiteral("v21.dat")));
    ASSERT_LT(sharedPages(published(QStringLiteral("2.0")), dir.file(QStringLiteral("v21.dat"))), 0.01);

    QStringList notes;
    ASSERT_EQ(
        publish(QStringLiteral("2.1"), dir.file(QStringLiteral("v21.dat")), {QStringLiteral("2.0")}, &notes),
        QString());
    EXPECT_FALSE(notes.isEmpty());
    EXPECT_EQ(db::DatabaseFile(published(QStringLiteral("2.1")), kPass, false).contentDigest(),
              db::DatabaseFile(dir.file(QStringLiteral("v21.dat")), kPass, false).contentDigest());
    // As many as the engine keeps when the same changes are made in place.
    const double inPlace =
        sharedPages(published(QStringLiteral("2.0")), dir.file(QStringLiteral("changed.dat")));
    EXPECT_GT(inPlace, 0.4);
    EXPECT_GT(sharedPages(published(QStringLiteral("2.0")), published(QStringLiteral("2.1"))),
              inPlace - 0.05);

    const QList<TsuInfoFileEntry> files = suInfoFiles(info(QStringLiteral("2.1")));
    ASSERT_EQ(files.size(), 2);
    EXPECT_TRUE(files.at(0).URL.endsWith(QStringLiteral("/dorvak.dat")));
    EXPECT_EQ(files.at(0).SHA256, sha256(testfiles::readFile(published(QStringLiteral("2.1")))));
    ASSERT_EQ(files.at(0).Deltas.size(), 1);
    const TsuInfoDelta &delta = files.at(0).Deltas.first();
    EXPECT_EQ(delta.From, QStringLiteral("2.0"));
    EXPECT_EQ(delta.URL, QStringLiteral("http://www.kestrune.example/download/dorvak.dat.from-2.0.vdelta"));
    EXPECT_LT(delta.Size, QFileInfo(published(QStringLiteral("2.1"))).size() / 3);
    EXPECT_TRUE(files.at(1).Deltas.isEmpty());
    EXPECT_EQ(builtFrom(QStringLiteral("2.1"), delta), testfiles::readFile(published(QStringLiteral("2.1"))));
}

// A release two after another carries a delta from each, newest first; the
// one from further back holds the changes of both releases.
TEST_F(ReleaseDeltasTest, UsersOneOrTwoReleasesBehindEachHaveADelta)
{
    deltadb::writeRelease(dir.file(QStringLiteral("v20.dat")), 3000);
    ASSERT_EQ(publish(QStringLiteral("2.0"), dir.file(QStringLiteral("v20.dat"))), QString());
    deltadb::makeNext(published(QStringLiteral("2.0")), dir.file(QStringLiteral("v21.dat")),
                      deltadb::nextRelease(40, 30, 100, 300, QStringLiteral("21")));
    testdb::run(dir.file(QStringLiteral("v21.dat")), kPass, 4096, {QStringLiteral("VACUUM")});
    ASSERT_EQ(publish(QStringLiteral("2.1"), dir.file(QStringLiteral("v21.dat")), {QStringLiteral("2.0")}),
              QString());
    deltadb::makeNext(published(QStringLiteral("2.1")), dir.file(QStringLiteral("v22.dat")),
                      deltadb::nextRelease(37, 30, 1200, 250, QStringLiteral("22")));
    testdb::run(dir.file(QStringLiteral("v22.dat")), kPass, 4096, {QStringLiteral("VACUUM")});
    ASSERT_EQ(publish(QStringLiteral("2.2"), dir.file(QStringLiteral("v22.dat")),
                      {QStringLiteral("2.0"), QStringLiteral("2.1")}),
              QString());

    const QList<TsuInfoDelta> deltas = suInfoFiles(info(QStringLiteral("2.2"))).first().Deltas;
    ASSERT_EQ(deltas.size(), 2);
    EXPECT_EQ(deltas.at(0).From, QStringLiteral("2.1"));
    EXPECT_EQ(deltas.at(1).From, QStringLiteral("2.0"));
    EXPECT_GT(deltas.at(1).Size, deltas.at(0).Size);
    const QByteArray target = testfiles::readFile(published(QStringLiteral("2.2")));
    EXPECT_EQ(builtFrom(QStringLiteral("2.2"), deltas.at(0)), target);
    EXPECT_EQ(builtFrom(QStringLiteral("2.2"), deltas.at(1)), target);
    // Only the deltas of this release stay in its folder.
    EXPECT_EQ(QDir(folderOf(QStringLiteral("2.2"))).entryList({QStringLiteral("*.vdelta")}).size(), 2);
}

// What cannot give a delta a client could trust is refused and the folder
// keeps the vendor's file: a previous release whose database is not the one
// it lists, one that is not older, or another schema.
TEST_F(ReleaseDeltasTest, RefusesPreviousReleasesItCannotMakeATrueDeltaFrom)
{
    deltadb::writeRelease(dir.file(QStringLiteral("v20.dat")), 500);
    ASSERT_EQ(publish(QStringLiteral("2.0"), dir.file(QStringLiteral("v20.dat"))), QString());
    deltadb::makeNext(published(QStringLiteral("2.0")), dir.file(QStringLiteral("v21.dat")),
                      deltadb::nextRelease(40, 3, 100, 50, QStringLiteral("21")));
    const QByteArray vendors = testfiles::readFile(dir.file(QStringLiteral("v21.dat")));

    EXPECT_NE(publish(QStringLiteral("1.9"), dir.file(QStringLiteral("v21.dat")), {QStringLiteral("2.0")}),
              QString());

    deltadb::copy(dir.file(QStringLiteral("v21.dat")), dir.file(QStringLiteral("schema.dat")));
    testdb::run(dir.file(QStringLiteral("schema.dat")), kPass, 4096,
                {QStringLiteral("CREATE INDEX byName ON Dorvak (cCorpCName)")});
    const QString error =
        publish(QStringLiteral("2.1"), dir.file(QStringLiteral("schema.dat")), {QStringLiteral("2.0")});
    EXPECT_TRUE(error.contains(QStringLiteral("schema"))) << error.toStdString();
    EXPECT_EQ(testfiles::readFile(published(QStringLiteral("2.1"))),
              testfiles::readFile(dir.file(QStringLiteral("schema.dat"))));
    EXPECT_FALSE(QFileInfo::exists(folderOf(QStringLiteral("2.1")) + QStringLiteral("/dorvak.inf")));

    testdb::run(published(QStringLiteral("2.0")), kPass, 4096,
                {QStringLiteral("UPDATE Dorvak SET cCorpMemo = 'changed after publishing' WHERE rowid = 7")});
    EXPECT_TRUE(publish(QStringLiteral("2.1"), dir.file(QStringLiteral("v21.dat")), {QStringLiteral("2.0")})
                    .contains(QStringLiteral("is not the file its dorvak.inf lists")));
    EXPECT_EQ(testfiles::readFile(published(QStringLiteral("2.1"))), vendors);
}

// Rows put between rows whose rowids follow each other, rows moved, rows
// twice: the laid-out copy still holds the vendor's rows in the vendor's
// order (checked by the tool against the content digest). The rows that had
// to move for them now stand apart, so the next release that puts rows
// there moves none.
TEST_F(ReleaseDeltasTest, RowsInsertedBetweenOthersOrMovedKeepTheVendorsOrder)
{
    deltadb::writeRelease(dir.file(QStringLiteral("v20.dat")), 400);
    const auto insertAfter = [](int row, const QString &names) {
        return QStringList{
            QStringLiteral("CREATE TABLE k AS SELECT * FROM Dorvak ORDER BY rowid"),
            QStringLiteral("DELETE FROM Dorvak"),
            QStringLiteral("INSERT INTO Dorvak SELECT * FROM k ORDER BY rowid LIMIT %1").arg(row),
            QStringLiteral("INSERT INTO Dorvak (cCorpCName, cCorpMemo) VALUES %1").arg(names),
            QStringLiteral("INSERT INTO Dorvak SELECT * FROM k ORDER BY rowid LIMIT -1 OFFSET %1").arg(row),
            QStringLiteral("DROP TABLE k")};
    };
    // Two rows in after the 10th, the 300th moved to the front, the 5th twice.
    QStringList changes = insertAfter(10, QStringLiteral("('插入一', 'x'), ('插入二', 'y')"));
    changes << QStringLiteral("UPDATE Dorvak SET rowid = -rowid WHERE rowid = 302")
            << QStringLiteral("INSERT INTO Dorvak SELECT * FROM Dorvak WHERE rowid = 5");
    deltadb::makeNext(dir.file(QStringLiteral("v20.dat")), dir.file(QStringLiteral("v21.dat")), changes);
    release::RebaseStatistics stats;
    ASSERT_EQ(release::rebaseDatabase(dir.file(QStringLiteral("v20.dat")),
                                      dir.file(QStringLiteral("v21.dat")),
                                      dir.file(QStringLiteral("r21.dat")), kPass, &stats),
              QString());
    EXPECT_EQ(stats.Rows, 300 + 1 + 403);
    EXPECT_EQ(db::DatabaseFile(dir.file(QStringLiteral("r21.dat")), kPass, false).contentDigest(),
              db::DatabaseFile(dir.file(QStringLiteral("v21.dat")), kPass, false).contentDigest());

    deltadb::makeNext(dir.file(QStringLiteral("r21.dat")), dir.file(QStringLiteral("v22.dat")),
                      insertAfter(30, QStringLiteral("('插入三', 'z'), ('插入四', 'w'), ('插入五', 'v')")));
    ASSERT_EQ(release::rebaseDatabase(dir.file(QStringLiteral("r21.dat")),
                                      dir.file(QStringLiteral("v22.dat")),
                                      dir.file(QStringLiteral("r22.dat")), kPass, &stats),
              QString());
    EXPECT_EQ(stats.Inserted, 3);
    EXPECT_EQ(stats.Updated, 0);
    EXPECT_EQ(stats.Deleted, 0);
    EXPECT_EQ(db::DatabaseFile(dir.file(QStringLiteral("r22.dat")), kPass, false).contentDigest(),
              db::DatabaseFile(dir.file(QStringLiteral("v22.dat")), kPass, false).contentDigest());
}
