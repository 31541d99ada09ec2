#include "platform/db/DatabaseFile.h"

#include "platform/db/DbError.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace db = platform::db;

namespace {

const QString kPass = QString::fromLatin1(testdb::kPassword);

QByteArray digestAfter(const TempDir &dir, const QString &name, const QStringList &statements)
{
    const QString path = dir.file(name);
    testdb::create(
        path, kPass, 4096,
        QStringList{QStringLiteral("CREATE TABLE a (x, y)"), QStringLiteral("CREATE TABLE b (z)")} +
            statements);
    return db::DatabaseFile(path, kPass, false).contentDigest();
}

} // namespace

// The content digest covers every value with its kind, the order of the
// rows and which table holds them, and nothing else: rowids and how the
// file was written do not count.
TEST(DatabaseFile, TheContentDigestSeesEveryValueAndTheOrderButNoRowids)
{
    TempDir dir;
    const QStringList rows = {QStringLiteral("INSERT INTO a VALUES (1, 'one'), (2.5, x'00ff'), (NULL, '')"),
                              QStringLiteral("INSERT INTO b VALUES ('z')")};
    const QByteArray digest = digestAfter(dir, QStringLiteral("1"), rows);
    EXPECT_EQ(
        digestAfter(dir, QStringLiteral("2"),
                    {QStringLiteral("INSERT INTO a (rowid, x, y) VALUES (10, 1, 'one'), (20, 2.5, x'00ff'), "
                                    "(30, NULL, '')"),
                     QStringLiteral("INSERT INTO b VALUES ('z')"), QStringLiteral("VACUUM")}),
        digest);
    const struct
    {
        const char *what;
        QStringList statements;
    } changed[] = {
        {"a text that reads as the same number",
         {QStringLiteral("INSERT INTO a VALUES ('1', 'one'), (2.5, x'00ff'), (NULL, '')"),
          QStringLiteral("INSERT INTO b VALUES ('z')")}},
        {"an empty text for a null",
         {QStringLiteral("INSERT INTO a VALUES (1, 'one'), (2.5, x'00ff'), ('', '')"),
          QStringLiteral("INSERT INTO b VALUES ('z')")}},
        {"two rows swapped",
         {QStringLiteral("INSERT INTO a VALUES (2.5, x'00ff'), (1, 'one'), (NULL, '')"),
          QStringLiteral("INSERT INTO b VALUES ('z')")}},
        {"a row in the other table",
         {QStringLiteral("INSERT INTO a VALUES (1, 'one'), (2.5, x'00ff'), (NULL, '')"),
          QStringLiteral("INSERT INTO b VALUES ('z'), ('z')")}},
        {"another user version", QStringList(rows) << QStringLiteral("PRAGMA user_version = 3")},
    };
    int n = 0;
    for (const auto &c : changed)
        EXPECT_NE(digestAfter(dir, QString::number(10 + n++), c.statements), digest) << c.what;
}

// Rows read with their rowids and values as the engine keeps them, and
// written back by rowid exactly so; a file with another pass phrase does
// not open.
TEST(DatabaseFile, RowsAreReadAndWrittenByRowidExactly)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("f"));
    testdb::create(
        path, kPass, 65536,
        {QStringLiteral("CREATE TABLE t (a, b)"), QStringLiteral("INSERT INTO t VALUES (7, 'seven')")});
    EXPECT_THROW(db::DatabaseFile(path, QStringLiteral("wrong"), false), db::DbError);
    db::DatabaseFile file(path, kPass, true);
    EXPECT_EQ(file.pageSize(), 65536);
    EXPECT_EQ(file.tables(), QStringList{QStringLiteral("t")});
    EXPECT_EQ(file.columns(QStringLiteral("t")), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    db::RowValues read;
    file.forEachRow(QStringLiteral("t"), [&](qint64 rowid, const db::RowValues &values) {
        EXPECT_EQ(rowid, 1);
        read = values;
        return true;
    });
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].kind, db::CellValue::Integer);
    EXPECT_EQ(read[1], (db::CellValue{db::CellValue::Text, "seven"}));
    file.begin();
    file.insertRow(QStringLiteral("t"), 9, read);
    file.updateRow(QStringLiteral("t"), 1, {{db::CellValue::Null, {}}, {db::CellValue::Blob, "\x01\x02"}});
    file.deleteRow(QStringLiteral("t"), 9);
    file.insertRow(QStringLiteral("t"), 5, read);
    file.commit();
    EXPECT_EQ(
        testdb::scalar(path, kPass, 65536,
                       QStringLiteral("SELECT group_concat(rowid || ':' || quote(a) || ':' || quote(b), ' ') "
                                      "FROM t")),
        QStringLiteral("1:NULL:X'0102' 5:7:'seven'"));
}
