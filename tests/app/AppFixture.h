#pragma once

#include "app/AppMessages.h"
#include "app/uDMForm.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <memory>

// A data module over a company database in a temporary folder; the
// message boxes are recorded instead of shown.
class AppFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app::setMessageHandler([this](const QString &caption, const QString &text, app::MessageButtons) {
            messages << caption + QLatin1Char('|') + text;
            return int(app::mrOk);
        });
    }
    void TearDown() override { app::setMessageHandler({}); }

    QString folder() const { return dir.path() + QLatin1Char('/'); }

    void writeDatabase(const QStringList &rows, const QString &key = testdb::kPassword)
    {
        QStringList statements{testdb::companyTableSql()};
        statements += rows;
        testdb::create(dir.file(QStringLiteral("dorvak.dat")), key, 4096, statements);
    }

    void createDataModule()
    {
        dm = std::make_unique<TDMForm>(folder());
        dm->DataModuleCreate();
    }

    TempDir dir;
    QStringList messages;
    std::unique_ptr<TDMForm> dm;
};
