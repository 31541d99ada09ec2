// The upgrade of a database through a delta from the installed release:
// only the delta (and the pages the user changed) are downloaded, the
// result is the release's file byte for byte, and every way the delta
// cannot be used ends in the full download without a word to the user.

#include "upgrade/suDatabaseDelta.h"
#include "upgrade/suSelfUpdater.h"

#include "../platform/net/RawHttpServer.h"
#include "DeltaDatabases.h"
#include "SelfUpdaterFixture.h"
#include "support/QStringPrint.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

class SuSelfUpdaterDelta : public SuSelfUpdater
{
protected:
    void SetUp() override
    {
        updater->SetDatabasePassPhrase(deltadb::kPassPhrase);
        deltadb::writeRelease(dir.file(QStringLiteral("r1.dat")), 3000);
        deltadb::makeNext(dir.file(QStringLiteral("r1.dat")), dir.file(QStringLiteral("r2.dat")),
                          deltadb::nextRelease(40, 30, 100, 300, QStringLiteral("2")));
        ASSERT_EQ(suWriteDatabaseDelta(dir.file(QStringLiteral("r1.dat")), dir.file(QStringLiteral("r2.dat")),
                                       deltadb::kPassPhrase, dir.file(QStringLiteral("d12"))),
                  QString());
        release = readFile(dir.file(QStringLiteral("r2.dat")));
        delta = readFile(dir.file(QStringLiteral("d12")));
        ASSERT_LT(delta.size() * 5, release.size()) << "a delta far smaller than the file";
        // The program holds release 1.
        deltadb::copy(dir.file(QStringLiteral("r1.dat")), database());
        // The full file, with the bytes it sends counted.
        server.server.Get("/download/dorvak.dat",
                          [this](const httplib::Request &req, httplib::Response &res) {
                              if (req.ranges.empty()) {
                                  fullBytes += release.size();
                              } else {
                                  for (const auto &[first, last] : req.ranges)
                                      rangeBytes += last - first + 1;
                              }
                              res.set_content(release.toStdString(), "application/octet-stream");
                          });
        server.server.Get("/download/d12", [this](const httplib::Request &, httplib::Response &res) {
            deltaBytes += servedDelta.size();
            res.set_content(servedDelta.toStdString(), "application/octet-stream");
        });
        servedDelta = delta;
    }

    QString database() const { return dir.file(QStringLiteral("dorvak.dat")); }
    // An information file that lists the database with the given deltas
    // ("from" version and where it lies; each with the size and hash of d12).
    QString infoWith(const QString &databaseURL, const QList<std::pair<QString, QString>> &deltas) const
    {
        QString text = QStringLiteral("#version=3\n#url=%1\n#sha256=%2\n#size=%3\n")
                           .arg(databaseURL, sha256(release))
                           .arg(release.size());
        int n = 0;
        for (const auto &[from, where] : deltas) {
            ++n;
            text += QStringLiteral("#delta-%1=%2\n#deltafrom-%1=%3\n#deltasha256-%1=%4\n#deltasize-%1=%5\n")
                        .arg(n)
                        .arg(where, from, sha256(delta))
                        .arg(delta.size());
        }
        return text;
    }
    // Runs the upgrade until the helper has installed the database.
    void upgrade()
    {
        ASSERT_TRUE(checkUntil(QStringLiteral("close")));
        ASSERT_TRUE(installed());
    }
    QStringList boxes() const { return log.filter(QStringLiteral("box:")); }

    QByteArray release, delta, servedDelta;
    std::atomic<qint64> fullBytes{0}, rangeBytes{0}, deltaBytes{0};
};

} // namespace

// Release 1 installed, release 3 offering deltas from 2 and from 1: the
// delta from 1 is downloaded, nothing of the full file, and the database
// installed is the release's byte for byte.
TEST_F(SuSelfUpdaterDelta, TheDeltaFromTheInstalledReleaseReplacesTheFullDownload)
{
    info = infoWith(url(QStringLiteral("dorvak.dat")),
                    {{QStringLiteral("2"), url(QStringLiteral("missing-d23"))},
                     {QStringLiteral("1.0"), url(QStringLiteral("d12"))}});
    upgrade();
    EXPECT_EQ(readFile(database()), release);
    EXPECT_EQ(fullBytes.load(), 0);
    EXPECT_EQ(rangeBytes.load(), 0);
    EXPECT_EQ(deltaBytes.load(), delta.size());
    EXPECT_EQ(boxes(), QStringList());
    EXPECT_TRUE(log.contains("done:" + downloadOf(release)));
}

// Pages the user changed in the installed file cannot be made from the
// delta: only they are fetched from the full file by range. A server that
// ignores ranges gets the full download instead.
TEST_F(SuSelfUpdaterDelta, PagesTheUserChangedComeByRangeOrWithTheFullFile)
{
    testdb::run(database(), QString::fromLatin1(testdb::kPassword), 4096,
                {QStringLiteral("UPDATE Dorvak SET cCorpMemo = '我的笔记' WHERE rowid = 1500")});
    ASSERT_NE(readFile(database()), readFile(dir.file(QStringLiteral("r1.dat"))));
    deltadb::copy(database(), dir.file(QStringLiteral("edited.dat")));
    info = infoWith(url(QStringLiteral("dorvak.dat")), {{QStringLiteral("1"), url(QStringLiteral("d12"))}});
    upgrade();
    EXPECT_EQ(readFile(database()), release);
    EXPECT_EQ(fullBytes.load(), 0);
    EXPECT_GT(rangeBytes.load(), 0);
    EXPECT_LE(rangeBytes.load(), 4 * 4096) << "only the pages that differ";
    EXPECT_EQ(boxes(), QStringList());

    // The same installed file, and a server that answers every request with
    // the whole file.
    deltadb::copy(dir.file(QStringLiteral("edited.dat")), database());
    RawHttpServer whole("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(release.size()) +
                        "\r\nConnection: close\r\n\r\n" + release);
    info = infoWith(QStringLiteral("http://127.0.0.1:%1/dorvak.dat").arg(whole.port()),
                    {{QStringLiteral("1"), url(QStringLiteral("d12"))}});
    log.clear();
    upgrade();
    EXPECT_EQ(readFile(database()), release);
    EXPECT_EQ(boxes(), QStringList());
}

// A database that is not the previous release's, a delta that does not
// match its signed hash, and a delta from another release all end in the
// full download, with no question and no message.
TEST_F(SuSelfUpdaterDelta, ADeltaThatCannotBeUsedFallsBackToTheFullFile)
{
    const auto expectFullDownload = [&](const char *what) {
        SCOPED_TRACE(what);
        fullBytes = 0;
        log.clear();
        upgrade();
        EXPECT_EQ(readFile(database()), release);
        EXPECT_EQ(fullBytes.load(), release.size());
        EXPECT_EQ(boxes(), QStringList());
        EXPECT_EQ(log.filter(QStringLiteral("question:")).size(), 1) << "only the announcement";
    };

    // Another lineage: a database written afresh has another salt.
    deltadb::writeRelease(dir.file(QStringLiteral("other.dat")), 100);
    deltadb::copy(dir.file(QStringLiteral("other.dat")), database());
    info = infoWith(url(QStringLiteral("dorvak.dat")), {{QStringLiteral("1"), url(QStringLiteral("d12"))}});
    expectFullDownload("a database of another lineage");

    // A delta altered on the way: refused before it is read.
    deltadb::copy(dir.file(QStringLiteral("r1.dat")), database());
    servedDelta = delta;
    servedDelta[servedDelta.size() / 2] = char(servedDelta.at(servedDelta.size() / 2) ^ 0x40);
    expectFullDownload("a tampered delta");
    servedDelta = delta;

    // The delta of another release than the installed one, and one whose
    // file is gone from the server.
    deltadb::copy(dir.file(QStringLiteral("r1.dat")), database());
    info = infoWith(url(QStringLiteral("dorvak.dat")), {{QStringLiteral("2"), url(QStringLiteral("d12"))}});
    expectFullDownload("a delta from a release skipped");
    deltadb::copy(dir.file(QStringLiteral("r1.dat")), database());
    info = infoWith(url(QStringLiteral("dorvak.dat")), {{QStringLiteral("1"), url(QStringLiteral("gone"))}});
    expectFullDownload("a delta the server lacks");
}
