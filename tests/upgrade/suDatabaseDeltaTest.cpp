// Database deltas: written from two releases of one lineage, applied to
// the installed database, checked page by page.

#include "upgrade/suDatabaseDelta.h"

#include "DeltaDatabases.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

using testfiles::writeFile;

namespace {

class DatabaseDelta : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return dir.file(name); }

    // Releases 1 and 2 and the delta from 1 to 2.
    void makeReleases(int pageSize = 4096)
    {
        for (const char *name : {"r1.dat", "r2.dat", "d12", "new.dat"})
            QFile::remove(path(name));
        deltadb::writeRelease(path("r1.dat"), 3000, pageSize);
        deltadb::makeNext(path("r1.dat"), path("r2.dat"), deltadb::nextRelease(40, 30, 100, 300, "2"),
                          pageSize);
        ASSERT_EQ(
            suWriteDatabaseDelta(path("r1.dat"), path("r2.dat"), deltadb::kPassPhrase, path("d12"), &stats),
            QString());
    }
    TsuDeltaBuild build(const QString &base, qint64 maxMissing = 1000)
    {
        TsuDatabaseDelta delta;
        QString reason;
        EXPECT_TRUE(delta.open(path("d12"), &reason)) << reason.toStdString();
        return delta.build(base, deltadb::kPassPhrase, path("new.dat"), maxMissing);
    }

    TempDir dir;
    TsuDeltaStatistics stats;
};

} // namespace

// The installed release and the delta give the new release byte for byte;
// the delta holds only the pages that changed, each far
// smaller than the page.
TEST_F(DatabaseDelta, MakesTheNewReleaseByteForByte)
{
    for (const int pageSize : {4096, 65536}) {
        SCOPED_TRACE(pageSize);
        makeReleases(pageSize);
        const QByteArray target = testfiles::readFile(path("r2.dat"));
        ASSERT_NE(target, testfiles::readFile(path("r1.dat")));
        EXPECT_EQ(stats.Pages, target.size() / pageSize);
        EXPECT_GT(stats.ChangedPages, 0);
        EXPECT_LT(stats.ChangedPages, stats.Pages);
        EXPECT_LT(stats.DeltaBytes, target.size() / 4);

        const TsuDeltaBuild result = build(path("r1.dat"));
        ASSERT_EQ(result.Result, TsuDeltaBuild::Built);
        EXPECT_TRUE(result.Missing.isEmpty());
        EXPECT_EQ(testfiles::readFile(path("new.dat")), target);
        EXPECT_EQ(QFileInfo(path("new.dat")).permissions() & 0x0077, 0);
    }
}

// Pages the user changed in the installed file (a profile edit) come out
// wrong and are named as runs;
// put in from the full file they make the release whole. Bytes that are not
// those pages are refused and nothing is written.
TEST_F(DatabaseDelta, PagesTheUserChangedAreNamedAndTakenFromTheFullFile)
{
    makeReleases();
    deltadb::copy(path("r1.dat"), path("edited.dat"));
    testdb::run(path("edited.dat"), QString::fromLatin1(testdb::kPassword), 4096,
                {QStringLiteral("UPDATE Dorvak SET cCorpMemo = '用户自己写的简介' WHERE rowid = 1501")});
    const TsuDeltaBuild result = build(path("edited.dat"));
    ASSERT_EQ(result.Result, TsuDeltaBuild::PagesMissing);
    ASSERT_FALSE(result.Missing.isEmpty());
    qint64 count = 0;
    for (const TsuPageRun &run : result.Missing)
        count += run.Count;
    EXPECT_LE(count, 3);

    const QByteArray target = testfiles::readFile(path("r2.dat"));
    TsuDatabaseDelta delta;
    ASSERT_TRUE(delta.open(path("d12")));
    const TsuPageRun &edited = result.Missing.first();
    const QByteArray before = testfiles::readFile(path("new.dat"));
    EXPECT_NE(before, target);
    EXPECT_FALSE(
        delta.writePages(path("new.dat"), edited.First, target.mid((edited.First + 1) * 4096, 4096)));
    EXPECT_FALSE(delta.writePages(path("new.dat"), edited.First, target.mid(edited.First * 4096, 4000)));
    EXPECT_EQ(testfiles::readFile(path("new.dat")), before);
    for (const TsuPageRun &run : result.Missing)
        ASSERT_TRUE(
            delta.writePages(path("new.dat"), run.First, target.mid(run.First * 4096, run.Count * 4096)));
    EXPECT_EQ(testfiles::readFile(path("new.dat")), target);
}

// An installed file of another lineage (the same rows written afresh), a
// missing one, or one with more wrong pages than allowed is not one the
// delta applies to: nothing is left behind.
TEST_F(DatabaseDelta, AFileItDoesNotApplyToLeavesNothing)
{
    makeReleases();
    deltadb::writeRelease(path("other.dat"), 3000);
    EXPECT_EQ(build(path("other.dat")).Result, TsuDeltaBuild::NotApplicable);
    EXPECT_FALSE(QFileInfo::exists(path("new.dat")));
    EXPECT_EQ(build(path("missing.dat")).Result, TsuDeltaBuild::NotApplicable);

    deltadb::makeNext(path("r1.dat"), path("far.dat"), deltadb::nextRelease(3, 0, 1, 1000000, "x"));
    EXPECT_EQ(build(path("far.dat"), 20).Result, TsuDeltaBuild::NotApplicable);
    EXPECT_FALSE(QFileInfo::exists(path("new.dat")));
}

// A delta whose structure does not hold what its header says is refused on
// opening; a damaged page frame only makes that page fail its hash; a
// cancelled build leaves no file.
TEST_F(DatabaseDelta, DamageIsRefusedOrCaughtByThePageHashes)
{
    makeReleases();
    const QByteArray good = testfiles::readFile(path("d12"));
    const auto refused = [&](const char *what, const QByteArray &bytes) {
        writeFile(path("bad"), bytes);
        TsuDatabaseDelta delta;
        QString reason;
        EXPECT_FALSE(delta.open(path("bad"), &reason)) << what;
        EXPECT_FALSE(reason.isEmpty()) << what;
    };
    refused("cut short", good.left(good.size() - 1));
    refused("a byte more", good + 'x');
    refused("another magic", QByteArray("VDBDELTB") + good.mid(8));
    QByteArray pageSize = good;
    pageSize[12] = char(0xB8); // 3000
    pageSize[13] = char(0x0B);
    refused("a page size that is no power of two", pageSize);
    QByteArray records = good;
    records[56] = char(records[56] + 1);
    refused("one record more than there are", records);

    // The first record: its page number, after the header and the hashes.
    const qint64 pages = QFileInfo(path("r2.dat")).size() / 4096;
    const qint64 firstRecord = 64 + pages * 32;
    QByteArray order = good;
    order[firstRecord] = char(0xFF);
    order[firstRecord + 1] = char(0xFF);
    refused("a record past the last page", order);

    QByteArray frame = good;
    frame[frame.size() - 5] = char(frame[frame.size() - 5] ^ 0x40);
    writeFile(path("d12"), frame);
    const TsuDeltaBuild damaged = build(path("r1.dat"));
    ASSERT_EQ(damaged.Result, TsuDeltaBuild::PagesMissing);
    EXPECT_EQ(damaged.Missing.size(), 1);

    writeFile(path("d12"), good);
    TsuDatabaseDelta delta;
    ASSERT_TRUE(delta.open(path("d12")));
    const TsuDeltaBuild cancelled = delta.build(path("r1.dat"), deltadb::kPassPhrase, path("new.dat"), 1000,
                                                [](qint64, qint64) { return false; });
    EXPECT_EQ(cancelled.Result, TsuDeltaBuild::Cancelled);
    EXPECT_FALSE(QFileInfo::exists(path("new.dat")));
}
