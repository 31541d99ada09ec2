#pragma once

#include "app/AppTitle.h"
#include "platform/ui/MessageBox.h"

#include "app/uDMForm.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

// A data module over a company database in a temporary folder; the
// message boxes are recorded instead of shown.
class AppFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QCoreApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
        platform::setMessageHandler(
            [this](const QString &caption, const QString &text, platform::MessageButtons) {
                messages << caption + QLatin1Char('|') + text;
                return int(platform::mrOk);
            });
    }
    void TearDown() override { platform::setMessageHandler({}); }

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
