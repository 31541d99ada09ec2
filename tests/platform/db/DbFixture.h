#pragma once

#include "platform/db/Database.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <memory>

// A company database in a temporary folder, and a connection to it.
class DbFixture : public ::testing::Test
{
protected:
    static QString connectionStringFor(const QString &path, const QString &key = testdb::kPassword)
    {
        return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
               QStringLiteral(";Jet OLEDB:Database Password=") + key + QStringLiteral(";");
    }

    // Writes the company table with the given extra statements and connects.
    void openDatabase(const QStringList &rows, int pageSize = 4096)
    {
        path = dir.file(QStringLiteral("dorvak.dat"));
        QStringList statements{testdb::companyTableSql()};
        statements += rows;
        testdb::create(path, testdb::kPassword, pageSize, statements);
        connection = std::make_unique<platform::db::DbConnection>();
        connection->setConnectionString(connectionStringFor(path));
        connection->setConnected(true);
        query = std::make_unique<platform::db::DbQuery>();
        query->setConnection(connection.get());
    }

    void openSql(const QString &sql)
    {
        query->setSqlText(sql);
        query->open();
    }

    QString column(const QString &name) const { return query->fieldByName(name)->asString(); }

    TempDir dir;
    QString path;
    std::unique_ptr<platform::db::DbConnection> connection;
    std::unique_ptr<platform::db::DbQuery> query;
};
