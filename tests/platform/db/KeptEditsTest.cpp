// The edits of the profile column kept in a side file beside the database
// and carried into a database that takes its place: companies found by name
// and address in a table built anew, gone, listed twice, or changed by the
// new database too; a database that was not replaced; a process that dies
// in the middle of an edit.

#include "platform/db/CipherSettings.h"
#include "platform/db/Database.h"
#include "platform/db/DatabaseFingerprint.h"
#include "support/FileBytes.h"
#include "support/QStringPrint.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sqlcipher/sqlite3.h>

#include <memory>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform::db;

namespace {

struct ListedCompany
{
    const char *name;
    const char *address;
    const char *memo;
};

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QLatin1String("''")) +
           QLatin1Char('\'');
}

// A database of the given companies, written anew at `path`.
void writeDatabase(const QString &path, const std::vector<ListedCompany> &companies)
{
    QFile::remove(path);
    QStringList statements{testdb::companyTableSql()};
    for (const ListedCompany &c : companies)
        statements << QStringLiteral(
                          "INSERT INTO Dorvak (cCorpCName, cCAdd, cCorpMemo, iFlag) VALUES (%1, %2, %3, 0)")
                          .arg(quoted(QString::fromUtf8(c.name)),
                               c.address ? quoted(QString::fromUtf8(c.address)) : QStringLiteral("NULL"),
                               c.memo ? quoted(QString::fromUtf8(c.memo)) : QStringLiteral("NULL"));
    testdb::create(path, testdb::kPassword, kBuilderPageSize, statements);
}

// The side file's cipher pages.
constexpr int kSidePageSize = 4096;

// One value read as the program's next start reads it: writable, so that a
// write cut short is rolled back first.
QString readAsAtStart(const QString &path, int pageSize, const QString &sql)
{
    sqlite3 *db = nullptr;
    QString value = QStringLiteral("<unreadable>");
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) ==
            SQLITE_OK &&
        sqlite3_exec(db, QStringLiteral("PRAGMA key = '%1'").arg(testdb::kPassword).toUtf8().constData(),
                     nullptr, nullptr, nullptr) == SQLITE_OK &&
        sqlite3_exec(db, QStringLiteral("PRAGMA cipher_page_size = %1").arg(pageSize).toUtf8().constData(),
                     nullptr, nullptr, nullptr) == SQLITE_OK) {
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr) == SQLITE_OK &&
            sqlite3_step(s) == SQLITE_ROW)
            value = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return value;
}

const std::vector<ListedCompany> kFirstRelease = {
    {"甲公司", "北京市一号", "甲的简介"},
    {"乙公司", "上海市二号", "乙的简介"},
    {"丙公司", "广州市三号", "丙的简介"},
    {"丁公司", "天津市四号", "丁的简介"},
    // Same name, another address: another company.
    {"甲公司", "重庆市五号", "另一个甲"},
    {"戊公司", nullptr, nullptr},
};

class KeptEditsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = dir.file(QStringLiteral("dorvak.dat"));
        side = dir.file(QStringLiteral("dorvak.edits"));
        writeDatabase(path, kFirstRelease);
    }

    KeptEditsSettings settings() const
    {
        KeptEditsSettings s;
        s.path = side;
        s.table = QStringLiteral("Dorvak");
        s.column = QStringLiteral("cCorpMemo");
        s.keyColumns = {QStringLiteral("cCorpCName"), QStringLiteral("cCAdd")};
        s.merge = [](const QString &user, const QString &newer) {
            return user + QStringLiteral(" | 新：") + newer;
        };
        return s;
    }

    void connect()
    {
        query.reset();
        connection = std::make_unique<DbConnection>();
        connection->setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                                        path + QStringLiteral(";Jet OLEDB:Database Password=") +
                                        testdb::kPassword);
        connection->setKeptEdits(settings());
        connection->setConnected(true);
        query = std::make_unique<DbQuery>();
        query->setConnection(connection.get());
        query->setSqlText(QStringLiteral("select cCorpCName, cCAdd, cCorpMemo from Dorvak"));
        query->open();
    }

    void disconnect()
    {
        query.reset();
        connection->setConnected(false);
        connection.reset();
    }

    // Types a profile into the row of a company, as the memo control does, and posts it.
    void edit(const char *name, const char *address, const QString &text)
    {
        for (int row = 0; row < query->recordCount(); ++row) {
            if (query->cellText(row, 0) == QString::fromUtf8(name) &&
                query->cellText(row, 1) == QString::fromUtf8(address)) {
                ASSERT_TRUE(query->setCurrentRow(row));
                query->setFieldText(2, text);
                query->post();
                return;
            }
        }
        FAIL() << "no company " << name;
    }

    // The profiles of a company's listings, in table order.
    QStringList memos(const char *name, const char *address) const
    {
        QStringList found;
        for (int row = 0; row < query->recordCount(); ++row)
            if (query->cellText(row, 0) == QString::fromUtf8(name) &&
                query->cellText(row, 1) == QString::fromUtf8(address))
                found << query->cellText(row, 2);
        return found;
    }
    QString memo(const char *name, const char *address) const { return memos(name, address).join(u'/'); }

    // The edits the side file keeps.
    int keptEdits() const
    {
        return readAsAtStart(side, kSidePageSize, QStringLiteral("select count(*) from KeptEdits")).toInt();
    }

    // A new release takes the database's place as an upgrade puts it there:
    // written beside it and renamed over it.
    void replaceDatabase(const std::vector<ListedCompany> &companies)
    {
        const QString fresh = dir.file(QStringLiteral("dorvak.dat.new"));
        writeDatabase(fresh, companies);
        ASSERT_EQ(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData()), 0);
    }

    TempDir dir;
    QString path;
    QString side;
    std::unique_ptr<DbConnection> connection;
    std::unique_ptr<DbQuery> query;
};

} // namespace

// The edits go into the new database by name and address wherever its rows
// stand; the new database's own text of a profile the user edited too
// follows the user's; an edit whose company the new database lacks waits
// for one that lists it again; the user is told once, and an edit undone
// keeps nothing.
TEST_F(KeptEditsTest, EditsAreCarriedIntoTheDatabaseThatReplacesTheirs)
{
    connect();
    edit("甲公司", "北京市一号", QStringLiteral("我写的甲"));
    edit("乙公司", "上海市二号", QStringLiteral("我写的乙"));
    edit("丙公司", "广州市三号", QStringLiteral("我写的丙"));
    edit("丁公司", "天津市四号", QStringLiteral("写了又改回"));
    edit("丁公司", "天津市四号", QStringLiteral("丁的简介"));
    // A company without address or profile.
    edit("戊公司", "", QStringLiteral("我写的戊"));
    EXPECT_EQ(keptEdits(), 4);
    EXPECT_TRUE(connection->carriedEditsNotice().empty()) << "nothing carried yet";
    disconnect();

    // Rebuilt: other row order, 乙's profile rewritten, 丙 gone, 丁's profile
    // rewritten (the user's edit was undone), a new company.
    replaceDatabase({{"己公司", "西安市六号", "己的简介"},
                     {"丁公司", "天津市四号", "丁的新简介"},
                     {"乙公司", "上海市二号", "乙的新简介"},
                     {"戊公司", nullptr, nullptr},
                     {"甲公司", "重庆市五号", "另一个甲"},
                     {"甲公司", "北京市一号", "甲的简介"}});
    connect();
    EXPECT_EQ(memo("甲公司", "北京市一号"), QStringLiteral("我写的甲"));
    EXPECT_EQ(memo("甲公司", "重庆市五号"), QStringLiteral("另一个甲")) << "same name, other address";
    EXPECT_EQ(memo("乙公司", "上海市二号"), QStringLiteral("我写的乙 | 新：乙的新简介"));
    EXPECT_EQ(memo("丁公司", "天津市四号"), QStringLiteral("丁的新简介"));
    EXPECT_EQ(memo("戊公司", ""), QStringLiteral("我写的戊"));
    EXPECT_EQ(memo("己公司", "西安市六号"), QStringLiteral("己的简介"));
    EXPECT_EQ(connection->carriedEditsNotice(), (CarryOverReport{3, 1, 1}));
    connection->clearCarriedEditsNotice();
    disconnect();

    // Told once; and a database that is still the same gets nothing again.
    connect();
    EXPECT_TRUE(connection->carriedEditsNotice().empty());
    EXPECT_EQ(memo("乙公司", "上海市二号"), QStringLiteral("我写的乙 | 新：乙的新简介"));
    disconnect();

    // The next release lists 丙 again, with a new profile, and 乙 unchanged.
    replaceDatabase({{"甲公司", "北京市一号", "甲的简介"},
                     {"乙公司", "上海市二号", "乙的新简介"},
                     {"丙公司", "广州市三号", "丙的新简介"}});
    connect();
    EXPECT_EQ(memo("甲公司", "北京市一号"), QStringLiteral("我写的甲"));
    EXPECT_EQ(memo("乙公司", "上海市二号"), QStringLiteral("我写的乙 | 新：乙的新简介"))
        << "the text of the last carry, not twice the new text";
    EXPECT_EQ(memo("丙公司", "广州市三号"), QStringLiteral("我写的丙 | 新：丙的新简介"));
    EXPECT_EQ(connection->carriedEditsNotice(), (CarryOverReport{3, 1, 1})) << "戊 is gone now";
}

// A company the new database lists twice under one name and address gets
// the edit in each listing, counted as one edit.
TEST_F(KeptEditsTest, ACompanyListedTwiceGetsTheEditInEachListing)
{
    connect();
    edit("甲公司", "北京市一号", QStringLiteral("我写的甲"));
    disconnect();
    replaceDatabase({{"甲公司", "北京市一号", "甲的简介"},
                     {"乙公司", "上海市二号", "乙的简介"},
                     {"甲公司", "北京市一号", "甲的新简介"}});
    connect();
    EXPECT_EQ(memos("甲公司", "北京市一号"),
              QStringList({QStringLiteral("我写的甲"), QStringLiteral("我写的甲 | 新：甲的新简介")}));
    EXPECT_EQ(connection->carriedEditsNotice(), (CarryOverReport{1, 1, 0}));
    disconnect();

    // Not replaced, but the print was lost (the program died before it
    // closed): the check finds the edits in place and changes nothing,
    // not even a listing the user did not edit.
    connect();
    edit("甲公司", "北京市一号", QStringLiteral("只改第一条"));
    query.reset();
    connection.reset(); // no orderly close
    connect();
    EXPECT_EQ(memos("甲公司", "北京市一号"),
              QStringList({QStringLiteral("只改第一条"), QStringLiteral("我写的甲 | 新：甲的新简介")}));
    EXPECT_EQ(connection->carriedEditsNotice(), (CarryOverReport{1, 1, 0})) << "nothing added";
}

// Replaced in place, with the old file's name and inode (copied over it),
// the database is still found to be another.
TEST_F(KeptEditsTest, ADatabaseCopiedOverTheOldFileIsFoundReplaced)
{
    connect();
    edit("乙公司", "上海市二号", QStringLiteral("我写的乙"));
    disconnect();
    const DatabaseFingerprint before = DatabaseFingerprint::of(path);
    const QString fresh = dir.file(QStringLiteral("fresh.dat"));
    writeDatabase(fresh, kFirstRelease);
    testfiles::writeFile(path, testfiles::readFile(fresh));
    ASSERT_EQ(DatabaseFingerprint::of(path).inode, before.inode);
    connect();
    EXPECT_EQ(memo("乙公司", "上海市二号"), QStringLiteral("我写的乙"));
    EXPECT_EQ(connection->carriedEditsNotice(), (CarryOverReport{1, 0, 0}));
}

// Without its side file no profile is written that could not be kept there;
// the database itself is still read.
TEST_F(KeptEditsTest, AnEditThatCannotBeKeptIsNotMade)
{
    testfiles::writeFile(side, QByteArray(4096, 'x'));
    connect();
    EXPECT_FALSE(connection->keepingEdits());
    EXPECT_FALSE(connection->keptEditsError().isEmpty());
    EXPECT_EQ(query->recordCount(), int(kFirstRelease.size()));
    ASSERT_TRUE(query->setCurrentRow(1));
    query->setFieldText(2, QStringLiteral("我写的乙"));
    EXPECT_THROW(query->post(), DbError);
    query->cancel();
    EXPECT_EQ(testdb::scalar(path, testdb::kPassword, kBuilderPageSize,
                             QStringLiteral("select cCorpMemo from Dorvak where cCorpCName = '乙公司'")),
              QStringLiteral("乙的简介"));
}

// The edits of a database written before they were kept are found by
// comparing it with the database it came from (the text before each edit
// is then known) or with another (then it is not, and a later carry keeps
// whatever differs beside the user's text).
TEST_F(KeptEditsTest, TheEditsOfAnOlderCopyAreFoundByComparison)
{
    const QString origin = dir.file(QStringLiteral("origin.dat"));
    ASSERT_TRUE(QFile::copy(path, origin));
    testdb::run(path, testdb::kPassword, kBuilderPageSize,
                {QStringLiteral("update Dorvak set cCorpMemo = '我写的甲' where cCAdd = '北京市一号'"),
                 QStringLiteral("update Dorvak set cCorpMemo = '我写的戊' where cCorpCName = '戊公司'")});
    connect();
    EXPECT_EQ(connection->keepDifferencesFrom(origin, true), 2);
    EXPECT_EQ(connection->keepDifferencesFrom(origin, true), 2) << "again: the same two";
    disconnect();
    EXPECT_EQ(keptEdits(), 2);
    replaceDatabase({{"甲公司", "北京市一号", "甲的简介"}, {"戊公司", nullptr, "戊的新简介"}});
    connect();
    EXPECT_EQ(memo("甲公司", "北京市一号"), QStringLiteral("我写的甲"));
    EXPECT_EQ(memo("戊公司", ""), QStringLiteral("我写的戊 | 新：戊的新简介"));
    disconnect();

    // Compared with a database it did not come from: what differs is kept
    // as the user's, and the other database's text follows it.
    QFile::remove(side);
    writeDatabase(path, kFirstRelease);
    testdb::run(path, testdb::kPassword, kBuilderPageSize,
                {QStringLiteral("update Dorvak set cCorpMemo = '我写的甲' where cCAdd = '北京市一号'")});
    const QString newer = dir.file(QStringLiteral("newer.dat"));
    writeDatabase(newer, {{"甲公司", "北京市一号", "甲的简介"}, {"乙公司", "上海市二号", "乙的新简介"}});
    connect();
    EXPECT_EQ(connection->keepDifferencesFrom(newer, false), 2);
    disconnect();
    ASSERT_EQ(::rename(QFile::encodeName(newer).constData(), QFile::encodeName(path).constData()), 0);
    connect();
    EXPECT_EQ(memo("甲公司", "北京市一号"), QStringLiteral("我写的甲 | 新：甲的简介"));
    EXPECT_EQ(memo("乙公司", "上海市二号"), QStringLiteral("乙的简介 | 新：乙的新简介"));
}

namespace {

// A file system through which a process dies at the n-th write, sync,
// truncation or removal, as if it had been killed right then: what it
// wrote before is on disk, nothing after.
namespace dying {

sqlite3_vfs *real = nullptr;
int stepsLeft = -1; // -1: never dies
constexpr int kDiedExitCode = 42;

void step()
{
    if (stepsLeft > 0 && --stepsLeft == 0)
        ::_exit(kDiedExitCode);
}

struct File
{
    sqlite3_file base;
    sqlite3_file *real;
};

sqlite3_file *realOf(sqlite3_file *f)
{
    return reinterpret_cast<File *>(f)->real;
}

int close(sqlite3_file *f)
{
    return realOf(f)->pMethods->xClose(realOf(f));
}
int read(sqlite3_file *f, void *buffer, int amount, sqlite3_int64 offset)
{
    return realOf(f)->pMethods->xRead(realOf(f), buffer, amount, offset);
}
int write(sqlite3_file *f, const void *buffer, int amount, sqlite3_int64 offset)
{
    step();
    return realOf(f)->pMethods->xWrite(realOf(f), buffer, amount, offset);
}
int truncate(sqlite3_file *f, sqlite3_int64 size)
{
    step();
    return realOf(f)->pMethods->xTruncate(realOf(f), size);
}
int sync(sqlite3_file *f, int flags)
{
    step();
    return realOf(f)->pMethods->xSync(realOf(f), flags);
}
int fileSize(sqlite3_file *f, sqlite3_int64 *size)
{
    return realOf(f)->pMethods->xFileSize(realOf(f), size);
}
int lock(sqlite3_file *f, int level)
{
    return realOf(f)->pMethods->xLock(realOf(f), level);
}
int unlock(sqlite3_file *f, int level)
{
    return realOf(f)->pMethods->xUnlock(realOf(f), level);
}
int checkReservedLock(sqlite3_file *f, int *out)
{
    return realOf(f)->pMethods->xCheckReservedLock(realOf(f), out);
}
int fileControl(sqlite3_file *f, int op, void *arg)
{
    return realOf(f)->pMethods->xFileControl(realOf(f), op, arg);
}
int sectorSize(sqlite3_file *f)
{
    return realOf(f)->pMethods->xSectorSize(realOf(f));
}
int deviceCharacteristics(sqlite3_file *f)
{
    return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f));
}

// Version 1: no shared memory and no memory mapping, which a database in
// rollback-journal mode does without.
const sqlite3_io_methods methods = {1,
                                    close,
                                    read,
                                    write,
                                    truncate,
                                    sync,
                                    fileSize,
                                    lock,
                                    unlock,
                                    checkReservedLock,
                                    fileControl,
                                    sectorSize,
                                    deviceCharacteristics,
                                    nullptr,
                                    nullptr,
                                    nullptr,
                                    nullptr,
                                    nullptr,
                                    nullptr};

int open(sqlite3_vfs *, const char *name, sqlite3_file *f, int flags, int *outFlags)
{
    File *file = reinterpret_cast<File *>(f);
    file->real = reinterpret_cast<sqlite3_file *>(file + 1);
    const int rc = real->xOpen(real, name, file->real, flags, outFlags);
    file->base.pMethods = file->real->pMethods ? &methods : nullptr;
    return rc;
}
int remove(sqlite3_vfs *, const char *name, int syncDir)
{
    step();
    return real->xDelete(real, name, syncDir);
}
int access(sqlite3_vfs *, const char *name, int flags, int *out)
{
    return real->xAccess(real, name, flags, out);
}
int fullPathname(sqlite3_vfs *, const char *name, int size, char *out)
{
    return real->xFullPathname(real, name, size, out);
}

// Makes the dying file system the default one, for this process only.
void install()
{
    static sqlite3_vfs vfs;
    real = sqlite3_vfs_find(nullptr);
    vfs = *real;
    vfs.zName = "dying";
    vfs.szOsFile = int(sizeof(File)) + real->szOsFile;
    vfs.xOpen = open;
    vfs.xDelete = remove;
    vfs.xAccess = access;
    vfs.xFullPathname = fullPathname;
    sqlite3_vfs_register(&vfs, 1);
}

} // namespace dying

} // namespace

// The profile and its record in the side file are written in one
// transaction over both files: a process killed at any write, sync or
// removal of the edit leaves both (once the engine has read them again)
// with the edit, or both without it.
TEST_F(KeptEditsTest, AnEditCutShortAtAnyStepIsInBothFilesOrInNeither)
{
    // The side file as it is before the edit, to start each try from.
    connect();
    disconnect();
    const QByteArray database = testfiles::readFile(path);
    const QByteArray sideFile = testfiles::readFile(side);
    const QString typed = QStringLiteral("我写的乙");
    const auto restore = [&] {
        for (const QString &file : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(dir.file(file));
        testfiles::writeFile(path, database);
        testfiles::writeFile(side, sideFile);
    };

    int cutShort = 0;
    int withEdit = 0;
    for (int steps = 1;; ++steps) {
        SCOPED_TRACE(steps);
        restore();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            dying::install();
            try {
                connect();
                dying::stepsLeft = steps;
                edit("乙公司", "上海市二号", typed);
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        const int code = WEXITSTATUS(status);
        ASSERT_TRUE(code == 0 || code == dying::kDiedExitCode) << "the edit failed without dying: " << code;

        // Each file read on its own, as the next start reads it.
        const QString profile =
            readAsAtStart(path, kBuilderPageSize,
                          QStringLiteral("select cCorpMemo from Dorvak where cCorpCName = '乙公司'"));
        const int kept =
            readAsAtStart(
                side, kSidePageSize,
                QStringLiteral("select count(*) from KeptEdits where userText = %1").arg(quoted(typed)))
                .toInt();
        if (profile == typed) {
            ++withEdit;
            EXPECT_EQ(kept, 1) << "the profile is written, its record is not";
        } else {
            EXPECT_EQ(profile, QStringLiteral("乙的简介"));
            EXPECT_EQ(kept, 0) << "the record is written, the profile is not";
        }
        if (code == 0)
            break;
        ++cutShort;
        ASSERT_LT(steps, 200) << "the edit never ends";
    }
    // Died before the commit and after it: both outcomes were met.
    EXPECT_GT(cutShort, 5);
    EXPECT_GT(withEdit, 1);
    EXPECT_LT(withEdit, cutShort + 1);
}
