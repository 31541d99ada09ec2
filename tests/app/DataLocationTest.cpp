#include "app/DataLocation.h"
#include "app/ProfileEdits.h"
#include "app/uBrowsePanel.h"
#include "app/uDMForm.h"
#include "platform/db/DatabaseFingerprint.h"
#include "platform/os/Files.h"
#include "platform/os/InstallLocation.h"
#include "platform/ui/MessageBox.h"
#include "support/FileBytes.h"
#include "support/QStringPrint.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using testfiles::writeFile;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A package install in a temporary folder: the program's folder with the
// package's mark, the package's shared data, and the user's data folder.
class PackageInstallTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        program = dir.file(QStringLiteral("usr/lib/velmora/"));
        shared = dir.file(QStringLiteral("usr/share/velmora/"));
        user = dir.file(QStringLiteral("home data/velmora/"));
        ASSERT_TRUE(QDir().mkpath(program));
        ASSERT_TRUE(QDir().mkpath(shared));
        writeFile(program + QLatin1String(platform::kPackageMarkerName), "");
        platform::setMessageHandler([this](const QString &, const QString &text, platform::MessageButtons) {
            messages << text;
            return int(platform::mrOk);
        });
    }
    void TearDown() override { platform::setMessageHandler({}); }

    // The package's database, of companies 甲, 乙, 丙 ... with these
    // profiles, changed `age` seconds ago (a newer package's is younger).
    void writePackageDatabase(const QStringList &profiles, int age)
    {
        const QString path = shared + QStringLiteral("dorvak.dat");
        QFile::remove(path);
        QStringList statements{testdb::companyTableSql()};
        const QString names = QStringLiteral("甲乙丙丁戊");
        for (int i = 0; i < profiles.size(); ++i)
            statements << testdb::companyInsert(names.mid(i, 1), QStringLiteral("北京市"), 0, {},
                                                profiles[i]);
        testdb::create(path, testdb::kPassword, 4096, statements);
        ASSERT_TRUE(platform::setFileTimes(path, std::nullopt,
                                           QDateTime::currentMSecsSinceEpoch() - qint64(age) * 1000));
    }

    // Starts as the program does: the data folder, then the data module.
    void start()
    {
        dm.reset();
        ASSERT_EQ(DatabaseFolder(program), user);
        dm = std::make_unique<TDMForm>(user);
        dm->DataModuleCreate();
        ASSERT_FALSE(dm->FOpenFailed);
        dm->ADOQryDVPack->setSqlText(QString::fromUtf8(TBrowsePanel::kCompanyListSql));
        dm->ADOQryDVPack->open();
        // The list is read ahead on a thread of its own.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dm->ADOQryDVPack->loading(); }, 10000));
    }

    // Types a profile into a company's row, as the user does in the memo,
    // and moves on (which posts it).
    void edit(const QString &company, const QString &text)
    {
        platform::db::DbQuery &q = *dm->ADOQryDVPack;
        for (int row = 0; row < q.recordCount(); ++row) {
            if (q.cellText(row, q.fieldByName(QStringLiteral("cCorpCName"))->index()) == company) {
                ASSERT_TRUE(q.setCurrentRow(row));
                q.setFieldText(q.fieldByName(QStringLiteral("cCorpMemo"))->index(), text);
                q.post();
                return;
            }
        }
        FAIL() << "no company " << company.toStdString();
    }

    QString profile(const QString &company) const
    {
        return testdb::scalar(
            user + QStringLiteral("dorvak.dat"), testdb::kPassword, 4096,
            QStringLiteral("select cCorpMemo from Dorvak where cCorpCName = '%1'").arg(company));
    }

    TempDir dir;
    const ScopedEnv data{"XDG_DATA_HOME", QFile::encodeName(dir.file(QStringLiteral("home data")))};
    QString program;
    QString shared;
    QString user;
    QStringList messages;
    std::unique_ptr<TDMForm> dm;
};

} // namespace

// A package install opens the user's copy of the shared demo, made on the
// first start; any other install the database beside it.
TEST(DataLocation, APackageInstallWorksOnTheUsersCopyOfTheSharedDemo)
{
    TempDir dir;
    const QString program = dir.file(QStringLiteral("usr/lib/velmora/"));
    const QString shared = dir.file(QStringLiteral("usr/share/velmora/"));
    ASSERT_TRUE(QDir().mkpath(program));
    ASSERT_TRUE(QDir().mkpath(shared));
    testdb::create(shared + QStringLiteral("dorvak.dat"), testdb::kPassword, 4096,
                   {testdb::companyTableSql()});
    const ScopedEnv data("XDG_DATA_HOME", QFile::encodeName(dir.file(QStringLiteral("home data"))));
    const QString user = dir.file(QStringLiteral("home data/velmora/"));

    EXPECT_EQ(DatabaseFolder(program), program) << "without the package's mark";
    EXPECT_FALSE(QFileInfo::exists(user));

    writeFile(program + QLatin1String(platform::kPackageMarkerName), "");
    EXPECT_EQ(DatabaseFolder(program), user);
    EXPECT_EQ(contents(user + QStringLiteral("dorvak.dat")), contents(shared + QStringLiteral("dorvak.dat")));
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    for (const char *name : {"dorvak.dat", "dorvak.edits"})
        EXPECT_EQ(QFileInfo(user + QLatin1String(name)).permissions() & others, QFile::Permissions())
            << name << " is the user's alone";
    EXPECT_FALSE(QFileInfo::exists(user + QStringLiteral("dorvak.dat.part")));

    // Without a shared demo nothing is made up; the program then reports the missing database.
    QFile::remove(user + QStringLiteral("dorvak.dat"));
    QFile::remove(shared + QStringLiteral("dorvak.dat"));
    EXPECT_EQ(DatabaseFolder(program), user);
    EXPECT_FALSE(QFileInfo::exists(user + QStringLiteral("dorvak.dat")));
}

// apt brings a newer package with a newer database: the user's copy becomes
// that database, with the user's profile edits carried over, the package's
// new profiles and companies in, and the user told once. The same or an
// older package's database leaves the copy as it is.
TEST_F(PackageInstallTest, ANewerPackageDatabaseReplacesTheCopyAndKeepsTheUsersEdits)
{
    writePackageDatabase({QStringLiteral("甲1"), QStringLiteral("乙1"), QStringLiteral("丙1")}, 100);
    ASSERT_NO_FATAL_FAILURE(start());
    edit(QStringLiteral("甲"), QStringLiteral("我写的甲"));
    edit(QStringLiteral("乙"), QStringLiteral("我写的乙"));
    dm.reset();

    // The same package, started again.
    const platform::db::DatabaseFingerprint copy =
        platform::db::DatabaseFingerprint::of(user + QStringLiteral("dorvak.dat"));
    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_EQ(platform::db::DatabaseFingerprint::of(user + QStringLiteral("dorvak.dat")).inode, copy.inode);
    EXPECT_EQ(profile(QStringLiteral("甲")), QStringLiteral("我写的甲"));
    dm->TellCarriedEdits(nullptr);
    EXPECT_EQ(messages, QStringList());

    // A newer package: 乙's and 丙's profiles rewritten, 丁 new.
    writePackageDatabase(
        {QStringLiteral("甲1"), QStringLiteral("乙2"), QStringLiteral("丙2"), QStringLiteral("丁2")}, 50);
    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_EQ(profile(QStringLiteral("甲")), QStringLiteral("我写的甲"));
    EXPECT_EQ(profile(QStringLiteral("乙")),
              ProfileEdits::mergedText(QStringLiteral("我写的乙"), QStringLiteral("乙2")));
    EXPECT_EQ(profile(QStringLiteral("丙")), QStringLiteral("丙2"));
    EXPECT_EQ(profile(QStringLiteral("丁")), QStringLiteral("丁2"));
    dm->TellCarriedEdits(nullptr);
    dm->TellCarriedEdits(nullptr);
    EXPECT_EQ(messages, QStringList({QStringLiteral(
                            "数据库已更新，您修改过的 2 条公司简介已转入新的数据库。\r\n"
                            "其中 1 条公司简介在新的数据库中也有改动，新的内容已附在您的文字之后。")}));
    edit(QStringLiteral("丁"), QStringLiteral("我写的丁"));
    dm.reset();
    ASSERT_NO_FATAL_FAILURE(start());
    dm->TellCarriedEdits(nullptr);
    EXPECT_EQ(messages.size(), 1) << "told once";

    // An older package's database is not taken.
    writePackageDatabase({QStringLiteral("甲0")}, 500);
    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_EQ(profile(QStringLiteral("丁")), QStringLiteral("我写的丁"));
    EXPECT_EQ(profile(QStringLiteral("乙")),
              ProfileEdits::mergedText(QStringLiteral("我写的乙"), QStringLiteral("乙2")));
}

// A copy made by an earlier version, which kept no record of its edits: they
// are found by comparison with the package's database. Still the database
// it was copied from, the comparison is exact and the copy stays; another,
// and every profile that differs is kept as the user's with the package's
// text after it, so that neither the user's words nor the package's are lost.
TEST_F(PackageInstallTest, TheEditsOfACopyMadeBeforeTheyWereKeptAreFound)
{
    writePackageDatabase({QStringLiteral("甲1"), QStringLiteral("乙1"), QStringLiteral("丙1")}, 100);
    ASSERT_TRUE(
        platform::copyIfMissing(shared + QStringLiteral("dorvak.dat"), user + QStringLiteral("dorvak.dat")));
    testdb::run(user + QStringLiteral("dorvak.dat"), testdb::kPassword, 4096,
                {QStringLiteral("update Dorvak set cCorpMemo = '我写的甲' where cCorpCName = '甲'")});
    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_EQ(profile(QStringLiteral("甲")), QStringLiteral("我写的甲"));
    dm.reset();

    writePackageDatabase({QStringLiteral("甲1"), QStringLiteral("乙2"), QStringLiteral("丙1")}, 50);
    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_EQ(profile(QStringLiteral("甲")), QStringLiteral("我写的甲")) << "exactly the user's edit";
    EXPECT_EQ(profile(QStringLiteral("乙")), QStringLiteral("乙2"));
    dm.reset();

    // Made from a package database that is gone.
    for (const QString &file : QDir(user).entryList(QDir::Files))
        QFile::remove(user + file);
    writePackageDatabase({QStringLiteral("甲1"), QStringLiteral("乙1"), QStringLiteral("丙1")}, 100);
    ASSERT_TRUE(
        platform::copyIfMissing(shared + QStringLiteral("dorvak.dat"), user + QStringLiteral("dorvak.dat")));
    testdb::run(user + QStringLiteral("dorvak.dat"), testdb::kPassword, 4096,
                {QStringLiteral("update Dorvak set cCorpMemo = '我写的甲' where cCorpCName = '甲'")});
    writePackageDatabase(
        {QStringLiteral("甲1"), QStringLiteral("乙2"), QStringLiteral("丙1"), QStringLiteral("丁2")}, 50);
    messages.clear();
    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_EQ(profile(QStringLiteral("甲")),
              ProfileEdits::mergedText(QStringLiteral("我写的甲"), QStringLiteral("甲1")));
    EXPECT_EQ(profile(QStringLiteral("乙")),
              ProfileEdits::mergedText(QStringLiteral("乙1"), QStringLiteral("乙2")));
    EXPECT_EQ(profile(QStringLiteral("丙")), QStringLiteral("丙1"));
    EXPECT_EQ(profile(QStringLiteral("丁")), QStringLiteral("丁2")) << "the package's new company";
    dm->TellCarriedEdits(nullptr);
    EXPECT_EQ(messages.size(), 1);
}
