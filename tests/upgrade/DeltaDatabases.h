#pragma once

// Directory databases for the delta tests, written by the engine: a
// release, and the next one made from a copy of it the way the release tool
// lays a new release out (rows changed in place, so the pages they do not
// touch stay the same bytes).

#include "support/FileBytes.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QString>
#include <QStringList>

namespace deltadb {

inline const QByteArray kPassPhrase = testdb::kPassword;

// A company table of `companies` rows with profiles of a few hundred
// bytes, and the two lookup tables.
inline void writeRelease(const QString &path, int companies, int pageSize = 4096)
{
    testdb::create(
        path, QString::fromLatin1(testdb::kPassword), pageSize,
        {testdb::companyTableSql(),
         QStringLiteral("CREATE TABLE GM_Card (startnum INTEGER, endnum INTEGER, province NVARCHAR(100), "
                        "city NVARCHAR(150), code NVARCHAR(10), cardtype NVARCHAR(100))"),
         QStringLiteral("CREATE TABLE GM_AREA (keyw VARCHAR(50), province VARCHAR(50), "
                        "areanumber VARCHAR(10), zipcode VARCHAR(6))"),
         QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
                        "INSERT INTO Dorvak (cCorpCName, cCAdd, cTel, cProvince, cCorpMemo, iFlag) "
                        "SELECT '公司' || x, '地址' || x, '010-' || (x * 7919 % 100000000), "
                        "'北京市', '简介' || x || ' ' || hex(randomblob(60 + x % 90)), x % 2 FROM c")
             .arg(companies),
         QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 300) "
                        "INSERT INTO GM_Card SELECT 1300000 + x * 10, 1300009 + x * 10, '省', '市', "
                        "'0' || x, '卡' FROM c"),
         QStringLiteral("INSERT INTO GM_AREA VALUES ('北京', '北京', '010', '100000')")});
}

// The statements of the next release: every `step`-th company gets a new
// profile and telephone, `added` companies are added at the end and every
// `removeStep`-th one from `removeFrom` on is removed.
inline QStringList nextRelease(int step, int added, int removeFrom, int removeStep, const QString &mark)
{
    return {
        QStringLiteral("UPDATE Dorvak SET cCorpMemo = '新简介%1 ' || hex(randomblob(120)), cTel = '020-%1' "
                       "WHERE rowid % %2 = 0")
            .arg(mark)
            .arg(step),
        QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
                       "INSERT INTO Dorvak (cCorpCName, cProvince, cCorpMemo, iFlag) "
                       "SELECT '新公司%2-' || x, '上海市', hex(randomblob(150)), 0 FROM c")
            .arg(added)
            .arg(mark),
        QStringLiteral("DELETE FROM Dorvak WHERE rowid >= %1 AND rowid % %2 = 3")
            .arg(removeFrom)
            .arg(removeStep)};
}

inline void copy(const QString &from, const QString &to)
{
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(from, to));
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
}

// A copy of base changed by the statements, as the next release.
inline void makeNext(const QString &base, const QString &next, const QStringList &statements,
                     int pageSize = 4096)
{
    copy(base, next);
    testdb::run(next, QString::fromLatin1(testdb::kPassword), pageSize, statements);
}

} // namespace deltadb
