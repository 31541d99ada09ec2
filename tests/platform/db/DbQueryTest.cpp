#include "DbFixture.h"

#include <QFile>
#include <QSignalSpy>

using namespace platform::db;

namespace {

QStringList sampleRows()
{
    return {
        testdb::companyInsert(QStringLiteral("北京电子"), QStringLiteral("北京市"), 1, {},
                              QStringLiteral("一\r\n二")),
        testdb::companyInsert(QStringLiteral("安徽机械"), QStringLiteral("安徽省"), 0),
        testdb::companyInsert(QStringLiteral("北京化工"), QStringLiteral("北京市"), 0),
        testdb::companyInsert(QStringLiteral("O'Brien"), QStringLiteral("其他"), 1),
        // Two rows with identical values: an edit must reach only the one typed into.
        testdb::companyInsert(QStringLiteral("同名"), QStringLiteral("浙江省"), 0, {}, QStringLiteral("旧")),
        testdb::companyInsert(QStringLiteral("同名"), QStringLiteral("浙江省"), 0, {}, QStringLiteral("旧"))};
}

} // namespace

class DbQueryTest : public DbFixture
{
protected:
    void SetUp() override
    {
        openDatabase(sampleRows());
        openSql(QStringLiteral("select * from Dorvak"));
    }
};

TEST_F(DbQueryTest, SqlTextIsHeldAsLinesEachEndingInALineBreak)
{
    query->setSqlText(QStringLiteral("select *\r\nfrom Dorvak"));
    EXPECT_FALSE(query->active()) << "setting the text closes the query";
    EXPECT_EQ(query->sql().size(), 2);
    EXPECT_EQ(query->sqlText(), QStringLiteral("select *\r\nfrom Dorvak\r\n"));
    query->setSqlText(query->sqlText() + QStringLiteral(" where iFlag=1"));
    EXPECT_EQ(query->sqlText(), QStringLiteral("select *\r\nfrom Dorvak\r\n where iFlag=1\r\n"));
    query->open();
    EXPECT_EQ(query->recordCount(), 2);
}

TEST_F(DbQueryTest, FieldsCarryNamesTypesLabelsWidthsAndValues)
{
    ASSERT_EQ(query->fieldCount(), 19);
    EXPECT_EQ(query->field(0)->fieldName(), QStringLiteral("cTypeName"));
    EXPECT_EQ(int(query->fieldByName(QStringLiteral("cCorpCName"))->dataType()), 24);
    EXPECT_EQ(int(query->fieldByName(QStringLiteral("cCorpMemo"))->dataType()), 16);
    EXPECT_EQ(int(query->fieldByName(QStringLiteral("iFlag"))->dataType()), 3);
    EXPECT_EQ(query->fieldByName(QStringLiteral("cCorpCName"))->fieldKind(), DbField::Kind::Data);
    EXPECT_EQ(query->fieldByName(QStringLiteral("ccorpcname")), query->field(1)) << "names ignore case";
    EXPECT_THROW(query->fieldByName(QStringLiteral("nope")), DbError);
    EXPECT_EQ(query->findField(QStringLiteral("nope")), nullptr);
    EXPECT_EQ(query->field(19), nullptr);

    DbField *name = query->field(1);
    EXPECT_EQ(name->displayLabel(), QStringLiteral("cCorpCName"));
    QSignalSpy spy(query.get(), &DbQuery::fieldDisplayChangedSignal);
    name->setDisplayLabel(QStringLiteral("公司名称"));
    name->setDisplayWidth(18);
    name->setDisplayWidth(18);
    EXPECT_EQ(spy.count(), 2) << "only real changes notify";
    EXPECT_EQ(name->displayLabel(), QStringLiteral("公司名称"));
    EXPECT_EQ(name->displayWidth(), 18);

    EXPECT_EQ(query->currentRow(), 0);
    EXPECT_EQ(column(QStringLiteral("cCorpCName")), QStringLiteral("北京电子"));
    EXPECT_EQ(column(QStringLiteral("iFlag")), QStringLiteral("1"));
    EXPECT_EQ(column(QStringLiteral("cCorpMemo")), QStringLiteral("一\r\n二"));
    EXPECT_TRUE(query->setCurrentRow(99)) << "moves are clamped to the last row";
    EXPECT_EQ(query->currentRow(), 5);
}

TEST_F(DbQueryTest, RowFilterNarrowsTheSnapshotWithoutRequerying)
{
    QSignalSpy reset(query.get(), &DbQuery::dataReset);
    query->setFilter(QStringLiteral("cProvince='北京市'"));
    EXPECT_EQ(query->recordCount(), 6) << "the text alone filters nothing";
    query->setFiltered(true);
    EXPECT_EQ(query->recordCount(), 2);
    EXPECT_EQ(column(QStringLiteral("cCorpCName")), QStringLiteral("北京电子"));
    EXPECT_TRUE(query->next());
    EXPECT_EQ(column(QStringLiteral("cCorpCName")), QStringLiteral("北京化工"));

    query->setFilter(QStringLiteral("iFlag=1"));
    EXPECT_EQ(query->recordCount(), 2);
    EXPECT_EQ(query->currentRow(), 0);
    EXPECT_EQ(column(QStringLiteral("cCorpCName")), QStringLiteral("北京电子"));

    // A filter text that cannot be read raises and leaves the old one in force.
    EXPECT_THROW(query->setFilter(QStringLiteral("cProvince='北京市")), DbError);
    EXPECT_EQ(query->filter(), QStringLiteral("iFlag=1"));
    EXPECT_EQ(query->recordCount(), 2);

    // A new statement keeps the filter settings.
    query->setSqlText(QStringLiteral("select cCorpCName, iFlag from Dorvak"));
    query->open();
    EXPECT_TRUE(query->filtered());
    EXPECT_EQ(query->recordCount(), 2);

    query->setFiltered(false);
    EXPECT_EQ(query->recordCount(), 6);
    EXPECT_GE(reset.count(), 4);
}

TEST_F(DbQueryTest, PersistentFieldsBindByNameWithSizesAndLabels)
{
    testdb::run(path, testdb::kPassword, 4096,
                {QStringLiteral("CREATE TABLE GM_AREA (keyw VARCHAR(50), province VARCHAR(50), "
                                "areanumber VARCHAR(10), zipcode VARCHAR(6), extra TEXT)"),
                 QStringLiteral("INSERT INTO GM_AREA VALUES ('杭州', '浙江', '0571', '310000', 'x')")});
    DbQuery area;
    area.setConnection(connection.get());
    area.addPersistentField({QStringLiteral("zipcode"), FieldType::String, 6, QStringLiteral("邮  编")});
    area.addPersistentField({QStringLiteral("keyw"), FieldType::String, 50, QStringLiteral("地  区")});
    area.setSqlText(QStringLiteral("select * from GM_AREA"));
    area.open();
    ASSERT_EQ(area.fieldCount(), 2) << "only the declared fields";
    EXPECT_EQ(area.field(0)->fieldName(), QStringLiteral("zipcode"));
    EXPECT_EQ(area.field(0)->size(), 6);
    EXPECT_EQ(area.field(0)->displayLabel(), QStringLiteral("邮  编"));
    EXPECT_EQ(area.field(1)->asString(), QStringLiteral("杭州"));

    DbQuery card;
    card.setConnection(connection.get());
    card.addPersistentField(
        {QStringLiteral("cardtype"), FieldType::WideString, 100, QStringLiteral("说 明")});
    card.setSqlText(QStringLiteral("select * from GM_AREA"));
    EXPECT_THROW(card.open(), DbError);
    EXPECT_FALSE(card.active());
}

TEST_F(DbQueryTest, BadStatementsRaiseAndLeaveTheQueryClosed)
{
    for (const char *sql :
         {"select * from Nowhere", "selec * from Dorvak", "", "select cCorpCName from Dorvak where"}) {
        query->setSqlText(QString::fromUtf8(sql));
        EXPECT_THROW(query->open(), DbError) << sql;
        EXPECT_FALSE(query->active());
        EXPECT_EQ(query->recordCount(), 0);
        EXPECT_EQ(query->fieldCount(), 0);
    }
}

TEST_F(DbQueryTest, TypedTextIsPostedToTheRowItWasTypedIntoWhenTheRowMoves)
{
    const int memo = query->fieldByName(QStringLiteral("cCorpMemo"))->index();
    ASSERT_TRUE(query->setCurrentRow(5));
    query->setFieldText(memo, QStringLiteral("新的简介"));
    EXPECT_TRUE(query->modified());
    EXPECT_EQ(column(QStringLiteral("cCorpMemo")), QStringLiteral("新的简介"));
    ASSERT_TRUE(query->setCurrentRow(4));
    EXPECT_FALSE(query->modified());
    EXPECT_EQ(testdb::scalar(path, testdb::kPassword, 4096,
                             QStringLiteral("select group_concat(cCorpMemo, '|') from (select cCorpMemo from "
                                            "Dorvak where cCorpCName='同名' order by rowid)")),
              QStringLiteral("旧|新的简介"));
}

TEST_F(DbQueryTest, TypedTextIsPostedBeforeCloseRequeryFilterAndDisconnect)
{
    const int memo = query->fieldByName(QStringLiteral("cCorpMemo"))->index();
    auto stored = [&](const QString &name) {
        return testdb::scalar(path, testdb::kPassword, 4096,
                              QStringLiteral("select cCorpMemo from Dorvak where cCorpCName='%1'").arg(name));
    };
    query->setFieldText(memo, QStringLiteral("关闭前"));
    query->close();
    EXPECT_EQ(stored(QStringLiteral("北京电子")), QStringLiteral("关闭前"));

    query->open();
    query->setCurrentRow(1);
    query->setFieldText(memo, QStringLiteral("换语句前"));
    query->setSqlText(QStringLiteral("select * from Dorvak"));
    EXPECT_EQ(stored(QStringLiteral("安徽机械")), QStringLiteral("换语句前"));

    query->open();
    query->setCurrentRow(2);
    query->setFieldText(memo, QStringLiteral("过滤前"));
    query->setFilter(QStringLiteral("iFlag=1"));
    query->setFiltered(true);
    EXPECT_EQ(stored(QStringLiteral("北京化工")), QStringLiteral("过滤前"));

    query->setFieldText(memo, QStringLiteral("断开前"));
    connection->setConnected(false);
    EXPECT_EQ(stored(QStringLiteral("北京电子")), QStringLiteral("断开前"));
}

TEST_F(DbQueryTest, LockedDatabaseRefusesThePostAndKeepsTheRow)
{
    QStringList errors;
    query->postErrorHandler = [&](const QString &message) { errors << message; };
    const int memo = query->fieldByName(QStringLiteral("cCorpMemo"))->index();
    query->setFieldText(memo, QStringLiteral("锁住时输入"));

    // Another process holds a write lock on the file.
    auto lock = std::make_unique<testdb::ExclusiveLock>(path, testdb::kPassword, 4096);
    connection->setBusyTimeout(20);

    EXPECT_FALSE(query->setCurrentRow(1));
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(query->currentRow(), 0);
    EXPECT_TRUE(query->modified());
    EXPECT_EQ(column(QStringLiteral("cCorpMemo")), QStringLiteral("锁住时输入"));

    lock.reset();
    EXPECT_TRUE(query->setCurrentRow(1));
    EXPECT_FALSE(query->modified());
}

TEST_F(DbQueryTest, RowsOfAStatementWithoutRowIdentityCannotBeEdited)
{
    openSql(QStringLiteral("select distinct cProvince, cCorpMemo from Dorvak"));
    EXPECT_FALSE(query->isEmpty());
    query->setFieldText(1, QStringLiteral("x"));
    EXPECT_THROW(query->post(), DbError);
    query->cancel();
    EXPECT_FALSE(query->modified());
    EXPECT_NE(column(QStringLiteral("cCorpMemo")), QStringLiteral("x"));
}
