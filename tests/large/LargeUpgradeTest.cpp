// Upgrades of a database past 4 GiB, as a directory of ten million
// companies has: made from a delta, with a page past 4 GiB that the user's
// edits changed fetched by a range request, and downloaded whole, both from
// nginx. The files are sparse and lie in a memory file system, which keeps
// a run to a minute or two; that is too long for the test command, so the
// program is run by hand (see the README).

#include "upgrade/suDatabaseDelta.h"

#include "e2e/NginxServer.h"
#include "platform/crypto/Sha256.h"
#include "support/QStringPrint.h"
#include "upgrade/DeltaDatabases.h"
#include "upgrade/SelfUpdaterFixture.h"

#include <QEventLoop>
#include <QTimer>

#include <sys/statfs.h>

namespace {

constexpr qint64 kPage = 65536;
// 4.5 GiB: every size and offset past what 32 bits hold.
constexpr qint64 kLarge = (qint64(9) << 29);
// Pages past 4 GiB: one the new release wrote, one the user changed.
constexpr qint64 kReleasePage = (qint64(4) << 30) / kPage + 100;
constexpr qint64 kUserPage = kReleasePage + 7;
constexpr int kSeconds = 900;

bool onMemoryFileSystem(const QString &path)
{
    struct statfs about
    {
    };
    constexpr long kTmpfsMagic = 0x01021994;
    return ::statfs(QFile::encodeName(path).constData(), &about) == 0 && about.f_type == kTmpfsMagic;
}

void writePage(const QString &path, qint64 index, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(index * kPage));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray pageOf(const QString &path, qint64 index)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.seek(index * kPage));
    return file.read(kPage);
}

// Page `from` of the file as the engine would write it at page `to`: the
// same rows, authenticated for its new place.
QByteArray pageMovedTo(const QString &path, qint64 from, qint64 to)
{
    platform::crypto::DatabasePageLayout layout;
    EXPECT_TRUE(suDatabaseLayout(path, deltadb::kPassPhrase, &layout));
    const QByteArray salt = pageOf(path, 0).left(platform::crypto::kDatabaseSaltSize);
    const platform::crypto::DatabasePageCipher cipher(deltadb::kPassPhrase, salt, layout);
    const QByteArray page = pageOf(path, from);
    QByteArray plain(cipher.plainSize(from), Qt::Uninitialized);
    EXPECT_TRUE(cipher.decrypt(from, page.constData(), plain.data()));
    QByteArray moved(kPage, Qt::Uninitialized);
    cipher.encrypt(to, plain.constData(), page.constData() + kPage - layout.reserveSize, moved.data());
    return moved;
}

class LargeUpgrade : public SuSelfUpdater
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(onMemoryFileSystem(dir.path()))
            << "run with TMPDIR on a memory file system (tmpfs), e.g. TMPDIR=/dev/shm";
        updater->SetDatabasePassPhrase(deltadb::kPassPhrase);
        vendor = dir.file(QStringLiteral("vendor"));
        ASSERT_TRUE(QDir().mkpath(vendor));
        first = dir.file(QStringLiteral("r1.dat"));
        release = vendor + QStringLiteral("/dorvak.dat");
        deltadb::writeRelease(first, 3000, kPage);
        deltadb::makeNext(first, release, deltadb::nextRelease(40, 30, 100, 300, QStringLiteral("2")), kPage);
        // The program holds release 1.
        deltadb::copy(first, database());
        // Each file grows past 4 GiB by pages never written (holes), and
        // the new release has a page of its own out there.
        for (const QString &path : {first, release, database()})
            ASSERT_TRUE(QFile::resize(path, kLarge));
        writePage(release, kReleasePage, pageMovedTo(release, 2, kReleasePage));
        releaseHash = platform::crypto::sha256OfFile(release);
        ASSERT_FALSE(releaseHash.isEmpty());
        ASSERT_TRUE(nginx.start(dir.file(QStringLiteral("nginx")), QStringLiteral("download"), vendor));
        updater->SetInfoFileURL(nginx.url(QStringLiteral("/download/dorvak.inf")));
    }

    QString database() const { return dir.file(QStringLiteral("dorvak.dat")); }

    // The information file, listing the database and, when there is one,
    // the delta from release 1.
    void publish(const QString &delta)
    {
        QString text = QStringLiteral("#version=2\n#url=%1\n#sha256=%2\n#size=%3\n")
                           .arg(nginx.url(QStringLiteral("/download/dorvak.dat")), releaseHash)
                           .arg(kLarge);
        if (!delta.isEmpty()) {
            text += QStringLiteral("#delta-1=%1\n#deltafrom-1=1\n#deltasha256-1=%2\n#deltasize-1=%3\n")
                        .arg(nginx.url(QStringLiteral("/download/") + QFileInfo(delta).fileName()),
                             platform::crypto::sha256OfFile(delta))
                        .arg(QFileInfo(delta).size());
        }
        writeFile(vendor + QStringLiteral("/dorvak.inf"), text.toUtf8());
    }

    // Runs the event loop until done() holds: the transfer thread hands
    // every block to it, so it must not sleep between events as
    // QTest::qWaitFor does.
    static bool runUntil(const std::function<bool()> &done)
    {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (done())
                loop.quit();
        });
        QTimer::singleShot(kSeconds * 1000, &loop, [&] { loop.exit(1); });
        poll.start(100);
        return loop.exec() == 0;
    }

    // Runs the upgrade until the helper has installed the database.
    void upgrade()
    {
        updater->CheckUpdate();
        ASSERT_TRUE(runUntil([&] { return log.contains(QStringLiteral("close")) && !updater->IsBusy(); }))
            << log.join(u'\n').toStdString();
        ASSERT_TRUE(runUntil([&] {
            return downloads().isEmpty() && !QFileInfo::exists(suSwapJournal(dir.path()).journalFile);
        }));
        EXPECT_EQ(log.filter(QStringLiteral("box:")), QStringList());
    }

    NginxServer nginx;
    QString vendor, first, release, releaseHash;
};

} // namespace

TEST_F(LargeUpgrade, FromADeltaWithAPageTheUserChangedPastFourGiB)
{
    const QString delta = vendor + QStringLiteral("/dorvak.dat.from-1.vdelta");
    ASSERT_EQ(suWriteDatabaseDelta(first, release, deltadb::kPassPhrase, delta), QString());
    TsuDatabaseDelta opened;
    ASSERT_TRUE(opened.open(delta));
    EXPECT_EQ(opened.header().NewSize, kLarge);
    EXPECT_EQ(opened.header().BaseSize, kLarge);
    writePage(database(), kUserPage, QByteArray(kPage, 'u'));
    publish(delta);

    upgrade();
    EXPECT_EQ(QFileInfo(database()).size(), kLarge);
    EXPECT_EQ(platform::crypto::sha256OfFile(database()), releaseHash);
    EXPECT_EQ(nginx.bytesSent(QStringLiteral("/download/dorvak.dat.from-1.vdelta"), 200),
              QFileInfo(delta).size());
    EXPECT_EQ(nginx.bytesSent(QStringLiteral("/download/dorvak.dat"), 200), 0) << "the full file";
    EXPECT_EQ(nginx.bytesSent(QStringLiteral("/download/dorvak.dat"), 206), kPage) << "the user's page alone";
}

TEST_F(LargeUpgrade, DownloadedWhole)
{
    publish({});
    upgrade();
    EXPECT_EQ(QFileInfo(database()).size(), kLarge);
    EXPECT_EQ(platform::crypto::sha256OfFile(database()), releaseHash);
    EXPECT_EQ(nginx.bytesSent(QStringLiteral("/download/dorvak.dat"), 200), kLarge);
}
