#include "DbFixture.h"

#include "platform/db/ConnectionString.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <sqlcipher/sqlite3.h>

#include <mutex>
#include <string>
#include <vector>

using namespace platform::db;

TEST(ConnectionStringTest, ReadsPairsQuotesAndEmptyValues)
{
    const auto cs = ConnectionString::parse(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=/a b/x.dat;"
                       "Extended Properties=\"\";Jet OLEDB:Database Password=p@ss;Note='a;b''c';;"));
    EXPECT_EQ(cs.value(QStringLiteral("provider")), QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
    EXPECT_EQ(cs.value(QStringLiteral("DATA SOURCE")), QStringLiteral("/a b/x.dat"));
    EXPECT_TRUE(cs.contains(QStringLiteral("Extended Properties")));
    EXPECT_EQ(cs.value(QStringLiteral("Extended Properties")), QString());
    EXPECT_EQ(cs.value(QStringLiteral("Jet OLEDB:Database Password")), QStringLiteral("p@ss"));
    EXPECT_EQ(cs.value(QStringLiteral("Note")), QStringLiteral("a;b'c"));
    EXPECT_FALSE(cs.contains(QStringLiteral("Mode")));
}

TEST(ConnectionStringTest, RejectsPiecesWithoutValueAndOpenQuotes)
{
    // A semicolon in an unquoted path leaves a piece without "=".
    EXPECT_THROW(ConnectionString::parse(QStringLiteral("Data Source=/a;b/dorvak.dat;Mode=Read")), DbError);
    EXPECT_THROW(ConnectionString::parse(QStringLiteral("Data Source=\"/a/dorvak.dat")), DbError);
    EXPECT_THROW(ConnectionString::parse(QStringLiteral("=x")), DbError);
    EXPECT_THROW(ConnectionString::parse(QStringLiteral("Note=\"a\"b;")), DbError);
}

class DbConnectionTest : public DbFixture
{
};

TEST_F(DbConnectionTest, OpensFilesOfBothCipherPageSizes)
{
    for (int pageSize : {4096, 0, 1024}) {
        const QString file = dir.file(QStringLiteral("p%1.dat").arg(pageSize));
        testdb::create(file, testdb::kPassword, pageSize, {testdb::companyTableSql()});
        DbConnection c;
        c.setConnectionString(connectionStringFor(file));
        ASSERT_NO_THROW(c.setConnected(true)) << pageSize;
        EXPECT_TRUE(c.connected());
        c.setConnected(false);
        EXPECT_FALSE(c.connected());
    }
}

TEST_F(DbConnectionTest, EveryKindOfBadDatabaseFailsWithAnError)
{
    const QString good = dir.file(QStringLiteral("good.dat"));
    testdb::create(good, testdb::kPassword, 4096, {testdb::companyTableSql()});
    const QString other = dir.file(QStringLiteral("other.dat"));
    testdb::create(other, QStringLiteral("another password"), 4096, {testdb::companyTableSql()});
    const QString text = dir.file(QStringLiteral("text.dat"));
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();

    const QStringList bad = {
        connectionStringFor(dir.file(QStringLiteral("missing.dat"))),
        connectionStringFor(other),
        connectionStringFor(good, QStringLiteral("wrong")),
        connectionStringFor(text),
        QString(connectionStringFor(good))
            .replace(QStringLiteral("Jet.OLEDB.4.0"), QStringLiteral("ACE.OLEDB.12.0")),
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + dir.path() +
            QStringLiteral("/a;b/dorvak.dat;Jet OLEDB:Database Password=") + testdb::kPassword,
    };
    for (const QString &cs : bad) {
        DbConnection c;
        c.setConnectionString(cs);
        EXPECT_THROW(c.setConnected(true), DbError) << cs.toStdString();
        EXPECT_FALSE(c.connected());
    }
}

TEST_F(DbConnectionTest, DisconnectingClosesItsQueriesAndRefusesNewStrings)
{
    openDatabase({testdb::companyInsert(QStringLiteral("甲"), QStringLiteral("北京市"), 0)});
    openSql(QStringLiteral("select * from Dorvak"));
    EXPECT_THROW(connection->setConnectionString(QString()), DbError);
    connection->setConnected(false);
    EXPECT_FALSE(query->active());
    EXPECT_THROW(query->open(), DbError);
    connection->setConnected(true);
    query->open();
    EXPECT_EQ(query->recordCount(), 1);
}

TEST_F(DbConnectionTest, QueryOutlivingItsConnectionIsClosed)
{
    openDatabase({testdb::companyInsert(QStringLiteral("甲"), QStringLiteral("北京市"), 0)});
    openSql(QStringLiteral("select * from Dorvak"));
    connection.reset();
    EXPECT_FALSE(query->active());
    EXPECT_EQ(query->connection(), nullptr);
    EXPECT_THROW(query->open(), DbError);
}

namespace {

// The statements a connection ran, each with the rows it stepped through
// in full scans of a table.
struct ScanRecord
{
    std::mutex guard;
    std::vector<std::pair<std::string, int>> statements;
};

int recordScans(unsigned, void *context, void *statement, void *)
{
    auto *record = static_cast<ScanRecord *>(context);
    auto *s = static_cast<sqlite3_stmt *>(statement);
    const std::lock_guard lock(record->guard);
    record->statements.emplace_back(sqlite3_sql(s),
                                    sqlite3_stmt_status(s, SQLITE_STMTSTATUS_FULLSCAN_STEP, 0));
    return 0;
}

} // namespace

// Reading a list ahead walks the table once: the reading itself. How far
// it has got is measured against the table's first and last row ids, which
// the engine finds at the ends of the table, not by a scan of its own.
TEST_F(DbConnectionTest, ReadingAheadScansTheTableOnlyOnce)
{
    openDatabase(
        {QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
                        "INSERT INTO Dorvak (cCorpCName, cProvince) SELECT '公司' || i, '北京市' FROM n")});
    ScanRecord record;
    {
        const DbConnection::Use use(*connection);
        sqlite3_trace_v2(connection->handle(), SQLITE_TRACE_PROFILE, recordScans, &record);
    }
    QSignalSpy progress(connection.get(), &DbConnection::loadProgressed);
    connection->preload(QStringLiteral("select cCorpCName, cProvince from Dorvak"));
    ASSERT_TRUE(connection->loading());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !connection->loading(); }, 30000));
    {
        const DbConnection::Use use(*connection);
        sqlite3_trace_v2(connection->handle(), 0, nullptr, nullptr);
    }
    ASSERT_FALSE(progress.isEmpty());
    const QList<QVariant> last = progress.takeLast();
    EXPECT_EQ(last.at(0).toInt(), 5000);
    EXPECT_TRUE(last.at(2).toBool());
    EXPECT_FALSE(last.at(3).toBool());

    int scans = 0;
    for (const auto &[sql, steps] : record.statements) {
        if (steps >= 5000 - 1) {
            ++scans;
            EXPECT_NE(sql.find("cCorpCName"), std::string::npos) << sql;
        }
    }
    EXPECT_EQ(scans, 1);
}
