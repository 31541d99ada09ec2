#include "DbFixture.h"

#include "platform/db/DbGridModel.h"
#include "store/TableSearch.h"
#include "support/EngineReader.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>

using namespace platform::db;

namespace {

const QString kSnapshotList = QStringLiteral("select cCorpCName,cProvince,cCorpMemo,iFlag from Dorvak");

QStringList snapshotRows()
{
    return {testdb::companyInsert(QStringLiteral("北京电子"), QStringLiteral("北京市"), 1, {},
                                  QStringLiteral("甲")),
            testdb::companyInsert(QStringLiteral("安徽机械"), QStringLiteral("安徽省"), 0),
            testdb::companyInsert(QStringLiteral("Union 电子"), QStringLiteral("北京市"), 0),
            QStringLiteral("INSERT INTO Dorvak (cCorpCName, cProvince) VALUES ('无省份', NULL)"),
            testdb::companyInsert(QStringLiteral("浙江电子"), QStringLiteral("浙江省"), 1)};
}

} // namespace

class SnapshotAnswerTest : public DbFixture
{
protected:
    void SetUp() override
    {
        openDatabase(snapshotRows());
        openSql(kSnapshotList);
    }

    // Adds 20,000 companies 公司1 to 公司20000 (their province given by the
    // expression over i) and starts reading the list ahead on `connection`
    // in chunks of 64 rows, so that it is read in many steps.
    void preloadManyCompanies(DbConnection &connection, const QString &province,
                              const QStringList &after = {})
    {
        testdb::run(
            path, testdb::kPassword, 4096,
            QStringList{QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                       "WHERE i < 20000) INSERT INTO Dorvak (cCorpCName, cProvince, iFlag) "
                                       "SELECT '公司' || i, %1, i % 2 FROM n")
                            .arg(province)} +
                after);
        ColumnStore::setDefaultChunkRows(64);
        connection.setConnectionString(connectionStringFor(path));
        connection.setConnected(true);
        connection.preload(kSnapshotList);
        ColumnStore::setDefaultChunkRows(ColumnStore::kDefaultChunkRows);
    }
    // The names in the shown rows of a query, in order.
    static QStringList names(const DbQuery &q)
    {
        QStringList list;
        for (int r = 0; r < q.recordCount(); ++r)
            list << q.cellText(r, q.findField(QStringLiteral("cCorpCName"))->index());
        return list;
    }
    // The same, as the engine alone gives them.
    QStringList engineNames(const QString &sql) const
    {
        const testdb::EngineResult result = testdb::EngineReader(path, testdb::kPassword, 4096).select(sql);
        const qsizetype col = result.columns.indexOf(QStringLiteral("cCorpCName"));
        QStringList list;
        for (const auto &row : result.rows)
            list << row[std::size_t(col)].value_or(QString());
        return list;
    }
    // Opens the statement and checks the rows against the engine's.
    bool answered(const QString &where)
    {
        const QString sql = kSnapshotList + where;
        openSql(sql);
        EXPECT_EQ(names(*query), engineNames(sql)) << where.toStdString();
        return query->answeredFromSnapshot();
    }
};

TEST_F(SnapshotAnswerTest, StatementsOnTheListAreAnsweredWithTheEnginesRowsAndFields)
{
    EXPECT_FALSE(query->answeredFromSnapshot()) << "the list itself is read by the engine";
    const ColumnStore *list = query->snapshot();

    EXPECT_TRUE(answered(QStringLiteral(" WHERE (cCorpCName LIKE '%电子%')")));
    EXPECT_EQ(query->snapshot(), list) << "no copy of the rows";
    EXPECT_TRUE(answered(QStringLiteral(" WHERE cProvince = '北京市' and iFlag = 1 or cProvince < '北'")));
    EXPECT_TRUE(answered(QStringLiteral(" WHERE cCorpCName like 'union%'")));
    // Type affinity: a text that reads as a number meets the integer column
    // as that number, any other text sorts after every number; a number
    // meets a text column written out as text.
    for (const char *where :
         {" WHERE iFlag = '1'", " WHERE iFlag = ' 1 '", " WHERE iFlag > '0.5'", " WHERE iFlag < '1e0'",
          " WHERE iFlag < 'abc'", " WHERE iFlag >= 'abc'", " WHERE iFlag <> '1x'", " WHERE iFlag like '%1'",
          " WHERE cProvince > 1", " WHERE cCorpCName <> 5 and iFlag <= 0.5", " WHERE iFlag = -0"})
        EXPECT_TRUE(answered(QLatin1String(where))) << where;

    // The fields are those of the same statement read by the engine: names, types and sizes.
    const QString sql = QStringLiteral("select CCORPCNAME, iflag, cProvince from Dorvak where iflag <> 0");
    openSql(sql);
    ASSERT_TRUE(query->answeredFromSnapshot());
    DbConnection fresh; // holds no snapshot yet
    fresh.setConnectionString(connectionStringFor(path));
    fresh.setConnected(true);
    DbQuery engine;
    engine.setConnection(&fresh);
    engine.setSqlText(sql);
    engine.open();
    ASSERT_FALSE(engine.answeredFromSnapshot());
    ASSERT_EQ(query->fieldCount(), engine.fieldCount());
    for (int f = 0; f < engine.fieldCount(); ++f) {
        EXPECT_EQ(query->field(f)->fieldName(), engine.field(f)->fieldName());
        EXPECT_EQ(query->field(f)->dataType(), engine.field(f)->dataType());
        EXPECT_EQ(query->field(f)->size(), engine.field(f)->size());
    }
    EXPECT_EQ(names(*query), names(engine));

    // The row filter narrows the answer as it narrows a result read by the engine.
    query->setFilter(QStringLiteral("cProvince='北京市'"));
    query->setFiltered(true);
    openSql(kSnapshotList + QStringLiteral(" WHERE cCorpCName LIKE '%电子'"));
    EXPECT_TRUE(query->answeredFromSnapshot());
    EXPECT_EQ(names(*query), (QStringList{QStringLiteral("北京电子"), QStringLiteral("Union 电子")}));
}

TEST_F(SnapshotAnswerTest, RefreshAndClearingTheSearchReuseTheRows)
{
    const ColumnStore *list = query->snapshot();
    openSql(kSnapshotList + QStringLiteral(" WHERE (cCorpCName LIKE '%电%')"));
    openSql(kSnapshotList);
    EXPECT_TRUE(query->answeredFromSnapshot());
    EXPECT_EQ(query->snapshot(), list);
    EXPECT_EQ(query->recordCount(), 5);
}

TEST_F(SnapshotAnswerTest, AnotherProgramsWriteSendsStatementsToTheEngineUntilTheListIsRead)
{
    testdb::run(
        path, testdb::kPassword, 4096,
        {QStringLiteral("UPDATE Dorvak SET cCorpCName = '北京电子新' WHERE cCorpCName = '北京电子'")});
    EXPECT_FALSE(answered(QStringLiteral(" WHERE cCorpCName LIKE '%新'")));
    EXPECT_EQ(names(*query), QStringList{QStringLiteral("北京电子新")});
    openSql(kSnapshotList);
    EXPECT_FALSE(query->answeredFromSnapshot());
    EXPECT_TRUE(answered(QStringLiteral(" WHERE cCorpCName LIKE '%新'")));
}

TEST_F(SnapshotAnswerTest, OwnPostsKeepTheSnapshotInStep)
{
    ASSERT_TRUE(answered(QStringLiteral(" WHERE iFlag = 1")));
    query->setFieldText(query->fieldByName(QStringLiteral("cCorpMemo"))->index(), QStringLiteral("新简介"));

    // While the text is not posted, another query cannot see it in the snapshot.
    DbQuery other;
    other.setConnection(connection.get());
    other.setSqlText(kSnapshotList + QStringLiteral(" WHERE iFlag = 1"));
    other.open();
    EXPECT_FALSE(other.answeredFromSnapshot());
    EXPECT_EQ(other.cellText(0, 2), QStringLiteral("甲"));

    ASSERT_TRUE(query->next()); // posts
    other.close();
    other.open();
    EXPECT_TRUE(other.answeredFromSnapshot());
    EXPECT_EQ(other.cellText(0, 2), QStringLiteral("新简介"));

    // A post through a result the engine read leaves the snapshot behind.
    openSql(kSnapshotList + QStringLiteral(" WHERE iFlag = 1 ORDER BY rowid"));
    query->setFieldText(query->fieldByName(QStringLiteral("cCorpMemo"))->index(), QStringLiteral("再改"));
    query->post();
    EXPECT_FALSE(answered(QStringLiteral(" WHERE iFlag = 1")));
    EXPECT_EQ(query->cellText(0, 2), QStringLiteral("再改"));
}

TEST_F(SnapshotAnswerTest, IndexesUncoveredColumnsAndUnsureValuesGoToTheEngine)
{
    // A memo declared MEMO has numeric affinity but holds text: its comparisons follow other rules.
    EXPECT_FALSE(answered(QStringLiteral(" WHERE cCorpMemo = '甲'")));
    // A column the snapshot lacks.
    openSql(kSnapshotList);
    openSql(QStringLiteral("select cCorpCName, cTel from Dorvak where cTel = '010-1234567'"));
    EXPECT_FALSE(query->answeredFromSnapshot());
    EXPECT_EQ(query->recordCount(), 4);

    // A number stored as text in the numeric column.
    testdb::run(path, testdb::kPassword, 4096,
                {QStringLiteral("UPDATE Dorvak SET iFlag = 'x' WHERE cCorpCName = '安徽机械'")});
    openSql(kSnapshotList);
    EXPECT_FALSE(answered(QStringLiteral(" WHERE iFlag > 0")));
    EXPECT_TRUE(answered(QStringLiteral(" WHERE cCorpCName > '北'")));

    // The engine reads through an index in the index's order.
    testdb::run(path, testdb::kPassword, 4096,
                {QStringLiteral("CREATE INDEX byProvince ON Dorvak (cProvince)")});
    openSql(kSnapshotList);
    EXPECT_FALSE(answered(QStringLiteral(" WHERE cProvince > '安'")));
    EXPECT_TRUE(answered(QStringLiteral(" WHERE cCorpCName LIKE '%电子%'")));
}

// A list read ahead answers statements with the rows read so far; the
// results take in the rest as they come, and end as the engine's. Posting
// and the engine's own statements work meanwhile.
TEST_F(SnapshotAnswerTest, APreloadedListAnswersWhileItLoadsAndTakesInTheRest)
{
    DbConnection second;
    QSignalSpy progress(&second, &DbConnection::loadProgressed);
    preloadManyCompanies(second, QStringLiteral("CASE i % 3 WHEN 0 THEN '北京市' ELSE '浙江省' END"));

    DbQuery list, search, credible;
    for (DbQuery *q : {&list, &search, &credible})
        q->setConnection(&second);
    DataSource source;
    source.setDataSet(&search);
    DbGridModel grid;
    grid.setDataSource(&source);
    QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QString where = QStringLiteral(" WHERE cCorpCName LIKE '%9%'");
    list.setSqlText(kSnapshotList);
    list.open();
    search.setSqlText(kSnapshotList + where);
    search.open();
    credible.setSqlText(kSnapshotList);
    credible.open();
    credible.setFilter(QStringLiteral("iFlag=1"));
    credible.setFiltered(true);
    EXPECT_TRUE(list.answeredFromSnapshot());
    EXPECT_TRUE(search.answeredFromSnapshot());
    const int shownAtOpen = search.recordCount();

    // The engine's own statements and a post go in between the reading.
    DbQuery cards;
    cards.setConnection(&second);
    cards.setSqlText(kSnapshotList + QStringLiteral(" WHERE iFlag = 1 ORDER BY rowid DESC"));
    cards.open();
    EXPECT_FALSE(cards.answeredFromSnapshot());
    while (list.recordCount() == 0)
        ASSERT_TRUE(progress.wait(10000));
    list.setFieldText(list.fieldByName(QStringLiteral("cCorpMemo"))->index(), QStringLiteral("读时改"));
    list.post();

    while (progress.isEmpty() || !progress.last().at(2).toBool())
        ASSERT_TRUE(progress.wait(10000)) << "the reading must end";
    EXPECT_FALSE(progress.last().at(3).toBool());
    EXPECT_EQ(progress.last().at(0).toInt(), 20005);
    EXPECT_FALSE(list.loading());
    EXPECT_EQ(names(list), engineNames(kSnapshotList));
    EXPECT_EQ(names(search), engineNames(kSnapshotList + where));
    EXPECT_GE(search.recordCount(), shownAtOpen);
    EXPECT_EQ(grid.rowCount(), search.recordCount());
    EXPECT_EQ(credible.recordCount(),
              int(engineNames(kSnapshotList + QStringLiteral(" WHERE iFlag = 1")).size()));
    EXPECT_EQ(engineNames(kSnapshotList + QStringLiteral(" WHERE cCorpMemo = '读时改'")).size(), 1u);
    search.setSqlText(kSnapshotList + QStringLiteral(" WHERE cCorpCName = '公司7'"));
    search.open();
    EXPECT_TRUE(search.answeredFromSnapshot()) << "the post kept the snapshot in step";
    EXPECT_EQ(search.recordCount(), 1);
}

TEST_F(SnapshotAnswerTest, AListSortedWhileItLoadsIsSortedOnceWhole)
{
    DbConnection second;
    QSignalSpy progress(&second, &DbConnection::loadProgressed);
    preloadManyCompanies(second, QStringLiteral("'浙江省'"));

    // One sorted before it opens, one sorted while its rows come in.
    DbQuery before, during;
    for (DbQuery *q : {&before, &during}) {
        q->setConnection(&second);
        q->setSqlText(kSnapshotList);
    }
    before.setSort(QStringLiteral("cCorpCName DESC"));
    before.open();
    during.open();
    DataSource source;
    source.setDataSet(&during);
    DbGridModel grid;
    grid.setDataSource(&source);
    QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::Fatal);
    while (during.recordCount() == 0)
        ASSERT_TRUE(progress.wait(10000));
    during.setSort(QStringLiteral("cCorpCName DESC"));
    if (during.loading()) {
        EXPECT_TRUE(during.sortTerms().empty()) << "part of the list is not shown as sorted";
    }

    while (progress.isEmpty() || !progress.last().at(2).toBool())
        ASSERT_TRUE(progress.wait(10000)) << "the reading must end";
    const QStringList expected = [] {
        // Latin letters come after the Chinese characters.
        QStringList names{QStringLiteral("Union 电子"), QStringLiteral("浙江电子"), QStringLiteral("无省份")};
        for (int i = 20000; i >= 1; --i)
            names << QStringLiteral("公司%1").arg(i);
        names << QStringLiteral("北京电子") << QStringLiteral("安徽机械");
        return names;
    }();
    for (DbQuery *q : {&before, &during}) {
        EXPECT_EQ(q->sortTerms().size(), 1u);
        EXPECT_EQ(names(*q), expected);
        EXPECT_GE(q->currentRow(), 0);
    }
    EXPECT_EQ(grid.rowCount(), during.recordCount());
}

TEST_F(SnapshotAnswerTest, APreloadedListIsLetGoWhenTheFileCloses)
{
    DbConnection second;
    second.setConnectionString(connectionStringFor(path));
    second.setConnected(true);
    second.preload(kSnapshotList);
    DbQuery list;
    list.setConnection(&second);
    list.setSqlText(kSnapshotList);
    list.open();
    EXPECT_TRUE(list.answeredFromSnapshot());

    // Closing the file lets the snapshots go: the file may be another one when it opens again.
    second.setConnected(false);
    connection->setConnected(false);
    ASSERT_TRUE(QFile::remove(path));
    testdb::create(path, testdb::kPassword, 4096,
                   {testdb::companyTableSql(),
                    testdb::companyInsert(QStringLiteral("新文件"), QStringLiteral("北京市"), 0)});
    second.setConnected(true);
    list.open();
    EXPECT_FALSE(list.answeredFromSnapshot());
    EXPECT_EQ(names(list), QStringList{QStringLiteral("新文件")});
}

namespace {

std::vector<DbQuery::SearchField> nameProvinceAndMemo()
{
    return {{QStringLiteral("cCorpCName"), true, true},
            {QStringLiteral("cProvince"), false, false},
            {QStringLiteral("cCorpMemo"), false, false}};
}

std::shared_ptr<store::TableSearch> searchFor(const char *text)
{
    return std::make_shared<store::TableSearch>(store::SearchQuery::parse(text));
}

} // namespace

// The search narrows the rows within the row filter, puts the companies
// whose names hold every word first, keeps a sort, and tells the grid and
// the edits which characters to mark.
TEST_F(SnapshotAnswerTest, TheSearchNarrowsWithinTheFilterNamesFirst)
{
    // A profile that holds the word, in a company whose name does not.
    query->setCurrentRow(1);
    query->setFieldText(query->fieldByName(QStringLiteral("cCorpMemo"))->index(), QStringLiteral("电子配件"));
    query->post();
    query->setSearch(searchFor("电子"), nameProvinceAndMemo());
    EXPECT_EQ(names(*query), (QStringList{QStringLiteral("北京电子"), QStringLiteral("Union 电子"),
                                          QStringLiteral("浙江电子"), QStringLiteral("安徽机械")}));
    EXPECT_EQ(query->currentRow(), 0);

    query->setFilter(QStringLiteral("cProvince='北京市'"));
    query->setFiltered(true);
    EXPECT_EQ(names(*query), (QStringList{QStringLiteral("北京电子"), QStringLiteral("Union 电子")}));
    query->setFiltered(false);

    query->setSort(QStringLiteral("cCorpCName DESC"));
    EXPECT_EQ(names(*query), (QStringList{QStringLiteral("Union 电子"), QStringLiteral("浙江电子"),
                                          QStringLiteral("北京电子"), QStringLiteral("安徽机械")}))
        << "a sort orders every row found";
    query->setSort(QString());

    query->setSearch(searchFor("bj -电子"), nameProvinceAndMemo());
    EXPECT_EQ(names(*query), QStringList()) << "北京电子 is excluded; 北京市 is not read in pinyin";
    query->setSearch(searchFor("北京 -电子"), nameProvinceAndMemo());
    EXPECT_EQ(names(*query), QStringList());
    query->setSearch(searchFor("北京"), nameProvinceAndMemo());
    EXPECT_EQ(names(*query), (QStringList{QStringLiteral("北京电子"), QStringLiteral("Union 电子")}));

    // A statement keeps the search, as it keeps the filter.
    openSql(kSnapshotList + QStringLiteral(" WHERE iFlag = 0"));
    EXPECT_EQ(names(*query), QStringList{QStringLiteral("Union 电子")});
    query->setSearch(nullptr, {});
    EXPECT_EQ(query->recordCount(), 2);
}

TEST_F(SnapshotAnswerTest, ACharacterTakenBackFindsTheAnswerItHadWhileTheRowsStayAsTheyWere)
{
    const QStringList electronics{QStringLiteral("北京电子"), QStringLiteral("Union 电子"),
                                  QStringLiteral("浙江电子")};
    query->setSearch(searchFor("电子"), nameProvinceAndMemo());
    EXPECT_EQ(names(*query), electronics);
    query->setSearch(searchFor("浙江电子"), nameProvinceAndMemo());
    EXPECT_EQ(names(*query), QStringList{QStringLiteral("浙江电子")});
    query->setSearch(searchFor("电子"), nameProvinceAndMemo());
    EXPECT_EQ(names(*query), electronics) << "taken back";

    // Typed on from an answer taken back, and taken back again.
    query->setSearch(searchFor("d"), nameProvinceAndMemo());
    const QStringList d = names(*query);
    query->setSearch(searchFor("dz"), nameProvinceAndMemo());
    EXPECT_EQ(names(*query), electronics);
    query->setSearch(searchFor("d"), nameProvinceAndMemo());
    EXPECT_EQ(names(*query), d);
    query->setSearch(searchFor("dz"), nameProvinceAndMemo());
    EXPECT_EQ(names(*query), electronics) << "typed on again from the answer taken back";

    // An edit: the word is looked for again, and found in the profile edited.
    query->setSearch(searchFor("安徽"), nameProvinceAndMemo());
    query->setCurrentRow(0);
    ASSERT_EQ(names(*query), QStringList{QStringLiteral("安徽机械")});
    query->setFieldText(query->fieldByName(QStringLiteral("cCorpMemo"))->index(), QStringLiteral("电子配件"));
    query->post();
    query->setSearch(searchFor("电子"), nameProvinceAndMemo());
    EXPECT_EQ(names(*query), electronics + QStringList{QStringLiteral("安徽机械")});

    // Other candidates: those of the filter, then all again.
    query->setFilter(QStringLiteral("cProvince='北京市'"));
    query->setFiltered(true);
    EXPECT_EQ(names(*query), (QStringList{QStringLiteral("北京电子"), QStringLiteral("Union 电子")}));
    query->setSearch(searchFor("浙江"), nameProvinceAndMemo());
    EXPECT_EQ(names(*query), QStringList());
    query->setFiltered(false);
    query->setSearch(searchFor("电子"), nameProvinceAndMemo());
    EXPECT_EQ(names(*query), electronics + QStringList{QStringLiteral("安徽机械")});

    // Other fields searched: the names alone.
    query->setSearch(searchFor("电子"), {DbQuery::SearchField{QStringLiteral("cCorpCName"), true, true}});
    EXPECT_EQ(names(*query), electronics);
}

TEST_F(SnapshotAnswerTest, SearchHighlightsCountCharactersBeyondTheBmp)
{
    query->setSearch(searchFor("dz"), nameProvinceAndMemo());
    const int name = query->fieldByName(QStringLiteral("cCorpCName"))->index();
    const int memo = query->fieldByName(QStringLiteral("cCorpMemo"))->index();
    const int flag = query->fieldByName(QStringLiteral("iFlag"))->index();
    using Ranges = QList<QPair<int, int>>;
    EXPECT_EQ(query->searchHighlights(name, QStringLiteral("Union 电子")), (Ranges{{6, 2}}));
    // U+20000 is two UTF-16 units.
    EXPECT_EQ(query->searchHighlights(name, QStringLiteral("\U00020000\U00020000电子")), (Ranges{{4, 2}}));
    EXPECT_EQ(query->searchHighlights(memo, QStringLiteral("电子")), Ranges())
        << "the profile is not read in pinyin";
    EXPECT_EQ(query->searchHighlights(flag, QStringLiteral("1")), Ranges())
        << "a field the search does not read";
    query->setSearch(searchFor("\"电子\""), nameProvinceAndMemo());
    EXPECT_EQ(query->searchHighlights(memo, QStringLiteral("\U00020000电子")), (Ranges{{2, 2}}));
}

TEST_F(SnapshotAnswerTest, ASearchWhileTheListLoadsGrowsAndIsOrderedOnceWhole)
{
    DbConnection second;
    QSignalSpy progress(&second, &DbConnection::loadProgressed);
    preloadManyCompanies(
        second, QStringLiteral("CASE i % 3 WHEN 0 THEN '北京市' ELSE '浙江省' END"),
        {testdb::companyInsert(QStringLiteral("最后的浙江公司"), QStringLiteral("上海市"), 0)});
    DbQuery list;
    list.setConnection(&second);
    list.setSearchedAsTyped(true);
    list.setSqlText(kSnapshotList);
    list.open();
    DataSource source;
    source.setDataSet(&list);
    DbGridModel grid;
    grid.setDataSource(&source);
    QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::Fatal);
    list.setSearch(searchFor("浙江"), nameProvinceAndMemo());
    const bool searchedWhileLoading = list.loading();
    while (progress.isEmpty() || !progress.last().at(2).toBool())
        ASSERT_TRUE(progress.wait(10000)) << "the reading must end";
    EXPECT_FALSE(list.loading());
    QStringList expected{QStringLiteral("浙江电子"), QStringLiteral("最后的浙江公司")};
    for (int i = 1; i <= 20000; ++i)
        if (i % 3)
            expected << QStringLiteral("公司%1").arg(i);
    EXPECT_EQ(names(list), expected);
    EXPECT_EQ(grid.rowCount(), expected.size());
    EXPECT_TRUE(searchedWhileLoading) << "the search was to be made while the list was read";

    // Typed on once the list is whole, the search before still held: each
    // answer is written over memory taken when the reading ended.
    list.setSearch(searchFor("浙江电"), nameProvinceAndMemo());
    EXPECT_EQ(names(list), QStringList{QStringLiteral("浙江电子")});
    list.setSearch(searchFor("z"), nameProvinceAndMemo());
    EXPECT_TRUE(names(list).contains(QStringLiteral("最后的浙江公司")));
    const QStringList zhejiang{QStringLiteral("浙江电子"), QStringLiteral("最后的浙江公司")};
    for (const char *typed : {"zh", "zhej", "zhejiang"}) {
        list.setSearch(searchFor(typed), nameProvinceAndMemo());
        EXPECT_EQ(names(list), zhejiang) << typed;
    }
    // Opened again, the search in force, and typed on.
    list.close();
    list.open();
    EXPECT_FALSE(list.loading());
    EXPECT_EQ(names(list), zhejiang);
    list.setSearch(searchFor("zhejiangd"), nameProvinceAndMemo());
    EXPECT_EQ(names(list), QStringList{QStringLiteral("浙江电子")});
}

// The first chunk of a large list takes a second or more to read: a list
// opened meanwhile shows the first rows, read ahead of the rest, at once,
// and goes on from them to the whole list. An edit waits for the whole
// first chunk, where the typed text is kept.
TEST_F(SnapshotAnswerTest, AListReadAheadShowsItsFirstRowsBeforeItsFirstChunk)
{
    testdb::run(
        path, testdb::kPassword, 4096,
        {QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60000) "
                        "INSERT INTO Dorvak (cCorpCName, cProvince, iFlag) "
                        "SELECT '公司' || i, '浙江省', i % 2 FROM n")});
    const int companies = 60005; // fewer than a chunk holds: they come all at once, at the end
    ASSERT_GT(ColumnStore::kDefaultChunkRows, companies);
    DbConnection second;
    second.setConnectionString(connectionStringFor(path));
    second.setConnected(true);
    QSignalSpy progress(&second, &DbConnection::loadProgressed);
    second.preload(kSnapshotList);

    DbQuery list, credible;
    for (DbQuery *q : {&list, &credible}) {
        q->setConnection(&second);
        q->setSqlText(kSnapshotList);
        q->open();
    }
    credible.setFilter(QStringLiteral("iFlag=1"));
    credible.setFiltered(true);
    DataSource source;
    source.setDataSet(&list);
    DbGridModel grid;
    grid.setDataSource(&source);
    QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(list.recordCount(), 0) << "opened before any row was read";

    int firstShown = 0;
    QStringList firstNames;
    bool editRefused = false;
    QObject::connect(&list, &DbQuery::rowsAppended, &list, [&](int, int last) {
        if (firstShown > 0)
            return;
        firstShown = last + 1;
        firstNames = names(list);
    });
    // Typed into the first row as soon as there is one.
    QObject::connect(&list, &DbQuery::currentRowChanged, &list, [&](int row) {
        if (row != 0 || editRefused)
            return;
        try {
            list.setFieldText(list.fieldByName(QStringLiteral("cCorpMemo"))->index(), QStringLiteral("早改"));
            list.cancel();
        } catch (const DbError &) {
            editRefused = true;
        }
    });
    while (progress.isEmpty() || !progress.last().at(2).toBool())
        ASSERT_TRUE(progress.wait(10000)) << "the reading must end";
    EXPECT_GT(firstShown, 0);
    EXPECT_LT(firstShown, companies) << "the first rows come before the whole first chunk";
    EXPECT_EQ(firstNames, engineNames(kSnapshotList).mid(0, firstShown));
    EXPECT_TRUE(editRefused);

    EXPECT_FALSE(list.loading());
    EXPECT_EQ(names(list), engineNames(kSnapshotList));
    EXPECT_EQ(grid.rowCount(), companies);
    EXPECT_EQ(list.currentRow(), 0);
    EXPECT_EQ(credible.recordCount(),
              int(engineNames(kSnapshotList + QStringLiteral(" WHERE iFlag = 1")).size()));
    list.setFieldText(list.fieldByName(QStringLiteral("cCorpMemo"))->index(), QStringLiteral("后改"));
    list.post();
    EXPECT_EQ(engineNames(kSnapshotList + QStringLiteral(" WHERE cCorpMemo = '后改'")),
              QStringList{QStringLiteral("北京电子")});
}
