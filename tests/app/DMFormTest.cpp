#include "AppFixture.h"

#include <QDir>

using namespace platform::db;

class DMFormTest : public AppFixture
{
};

TEST_F(DMFormTest, ConnectionStringIsTheNinePiecesExactly)
{
    EXPECT_EQ(
        TDMForm::ConnectionStringFor(QStringLiteral("/opt/velmora/dorvak.dat")),
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=/opt/velmora/dorvak.dat;"
                       "Mode=Share Deny None;Extended Properties=\"\";Jet OLEDB:System database=\"\";"
                       "Jet OLEDB:Registry Path=\"\";Jet OLEDB:Database Password=zxc3k9p2lumentra@mwq;"
                       "Jet OLEDB:Engine Type=5;Jet OLEDB:Database Locking Mode=1;"
                       "Jet OLEDB:Global Partial Bulk Ops=2;Jet OLEDB:Global Bulk Transactions=1;"
                       "Jet OLEDB:New Database Password=\"\";Jet OLEDB:Create System Database=False;"
                       "Jet OLEDB:Encrypt Database=False;Jet OLEDB:Compact Without Replica Repair=False;"
                       "Jet OLEDB:SFP=False"));
}

TEST_F(DMFormTest, OpensTheDatabaseInItsFolderAndSetsUpTheQueries)
{
    writeDatabase({testdb::companyInsert(QStringLiteral("甲"), QStringLiteral("北京市"), 0)});
    createDataModule();
    EXPECT_FALSE(dm->FOpenFailed);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(dm->FDataFile, folder() + QStringLiteral("dorvak.dat"));
    EXPECT_TRUE(dm->ADOContAccess->connected());
    EXPECT_FALSE(dm->ADOContAccess->loginPrompt());
    EXPECT_EQ(DMForm, dm.get());
    EXPECT_EQ(dm->DSQryDVPack->dataSet(), dm->ADOQryDVPack);
    EXPECT_EQ(dm->FDataSource->dataSet(), dm->ADOAreaQuery);
    EXPECT_EQ(dm->ADOAreaQuery->sqlText(), QStringLiteral("select * from GM_AREA\r\n"));
    EXPECT_FALSE(dm->ADOQryDVPack->active()) << "no query is opened at start-up";

    ASSERT_EQ(dm->ADOAreaQuery->persistentFields().size(), 4u);
    EXPECT_EQ(dm->ADOAreaQuery->persistentFields()[0].displayLabel, QStringLiteral("地  区"));
    EXPECT_EQ(dm->ADOAreaQuery->persistentFields()[3].size, 6);
    ASSERT_EQ(dm->ADOQryCard->persistentFields().size(), 4u);
    EXPECT_EQ(dm->ADOQryCard->persistentFields()[1].displayLabel, QStringLiteral("城 市"));
    EXPECT_EQ(dm->ADOQryCard->persistentFields()[1].size, 150);
    EXPECT_EQ(dm->ADOQryCard->persistentFields()[3].name, QStringLiteral("cardtype"));

    dm.reset();
    EXPECT_EQ(DMForm, nullptr);
}

TEST_F(DMFormTest, EveryFailureGivesTheOneMessage)
{
    const QString expected = QStringLiteral("Velmora|找不到相应的数据，请核实！");
    createDataModule(); // no file
    EXPECT_TRUE(dm->FOpenFailed);
    EXPECT_FALSE(dm->ADOContAccess->connected());
    EXPECT_EQ(messages, QStringList{expected});

    messages.clear();
    writeDatabase({}, QStringLiteral("another password"));
    createDataModule();
    EXPECT_TRUE(dm->FOpenFailed);
    EXPECT_EQ(messages, QStringList{expected});
}

TEST_F(DMFormTest, SemicolonInTheFolderBreaksTheConnectionString)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("a;b")));
    testdb::create(dir.file(QStringLiteral("a;b/dorvak.dat")), testdb::kPassword, 4096,
                   {testdb::companyTableSql()});
    dm = std::make_unique<TDMForm>(dir.file(QStringLiteral("a;b/")));
    dm->DataModuleCreate();
    EXPECT_TRUE(dm->FOpenFailed);
    EXPECT_EQ(messages.size(), 1);
}
