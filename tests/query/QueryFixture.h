#pragma once

#include "platform/db/Database.h"
#include "platform/ui/FontSubstitution.h"
#include "platform/ui/MessageBox.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"

#include "support/QStringPrint.h"

#include <gtest/gtest.h>

#include <memory>

// A company database in a temporary folder, the company list open on it
// with the labels of the field catalogue, and message boxes recorded.
class QueryFixture : public ::testing::Test
{
protected:
    static constexpr const char *kListSql =
        "select cTypeName,cCorpCName,cCAdd,cZip,cTel,cFax,cHttp,cEmail,cCorpEName,cEAdd,cAreaNo,cTypeNo,"
        "cArea,cProvince,cManager,cMainProd,cCorpMemo,iFlag,cRemark from Dorvak";

    void SetUp() override
    {
        // The fonts the program runs with, for every text that must fit.
        static const bool fonts = (platform::installFontSubstitutions(), true);
        (void)fonts;
        platform::setMessageHandler([this](const QString &, const QString &text, platform::MessageButtons) {
            messages << text;
            return int(platform::mrOk);
        });
    }
    void TearDown() override { platform::setMessageHandler({}); }

    // The company table with the given rows, plus any further statements.
    void openDatabase(const QStringList &statements)
    {
        path = dir.file(QStringLiteral("dorvak.dat"));
        QStringList all{testdb::companyTableSql()};
        all += statements;
        testdb::create(path, testdb::kPassword, 4096, all);
        connection = std::make_unique<platform::db::DbConnection>();
        connection->setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                                        path + QStringLiteral(";Jet OLEDB:Database Password=") +
                                        testdb::kPassword + QStringLiteral(";"));
        connection->setConnected(true);
        companies = std::make_unique<platform::db::DbQuery>();
        companies->setConnection(connection.get());
        source = std::make_unique<platform::db::DataSource>();
        source->setDataSet(companies.get());
    }

    // Loads the full list as the browsing panel does and labels its fields.
    void loadList()
    {
        companies->setSqlText(QString::fromLatin1(kListSql));
        listSql = companies->sqlText();
        companies->open();
        const char *const catalogue[][2] = {
            {"cProvince", "省份"},      {"cAreaNo", "地区号"},      {"cArea", "地区名称"},
            {"cCorpCName", "公司名称"}, {"cCorpEName", "英文名称"}, {"cCAdd", "中文地址"},
            {"cEAdd", "英文地址"},      {"cZip", "邮编"},           {"cTel", "电话"},
            {"cFax", "传真"},           {"cHttp", "网址"},          {"cEmail", "E_mail"},
            {"cTypeName", "类别名称"},  {"cTypeNo", "类别编号"},    {"cManager", "法人、联系人"},
            {"cMainProd", "主营产品"},  {"cCorpMemo", "公司简介"},  {"iFlag", "诚信企业"},
            {"cRemark", "备注"},
        };
        for (const auto &pair : catalogue)
            companies->fieldByName(QLatin1String(pair[0]))->setDisplayLabel(QString::fromUtf8(pair[1]));
    }

    QStringList names() const
    {
        QStringList list;
        for (int r = 0; r < companies->recordCount(); ++r)
            list << companies->cellText(r, companies->fieldByName(QStringLiteral("cCorpCName"))->index());
        return list;
    }

    TempDir dir;
    QString path;
    QString listSql;
    QStringList messages;
    std::unique_ptr<platform::db::DbConnection> connection;
    std::unique_ptr<platform::db::DbQuery> companies;
    std::unique_ptr<platform::db::DataSource> source;
};
