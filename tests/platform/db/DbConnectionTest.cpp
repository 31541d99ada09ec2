#include "DbFixture.h"

#include "platform/db/ConnectionString.h"

#include <QFile>

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
