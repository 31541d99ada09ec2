#include "app/uDMForm.h"

#include "app/DatabaseFile.h"
#include "app/ProfileEdits.h"
#include "app/uBrowsePanel.h"
#include "platform/db/CipherSettings.h"
#include "platform/ui/MessageBox.h"
#include "query/CompanySearch.h"

using namespace platform::db;

TDMForm *DMForm = nullptr;

namespace {

void reportPostFailure(const QString &message)
{
    platform::showMessage(QStringLiteral("公司简介未能保存：%1\r\n修改的内容仍保留在当前记录中"
                                         "（在公司简介中按 Esc 键可放弃修改）。")
                              .arg(message));
}

void reportEditLost(const QString &message)
{
    platform::showMessage(QStringLiteral("公司简介未能保存：%1\r\n修改的内容已丢失。").arg(message));
}

} // namespace

TDMForm::TDMForm(const QString &folder, QObject *parent)
    : QObject(parent), ADOContAccess(new DbConnection(this)), ADOQryDVPack(new DbQuery(this)),
      DSQryDVPack(new DataSource(this)), ADOAreaQuery(new DbQuery(this)), FDataSource(new DataSource(this)),
      ADOQryCard(new DbQuery(this))
{
    DMForm = this;
    FDataFolder = folder;
    ADOContAccess->setLoginPrompt(false);
    ADOContAccess->setMode(QStringLiteral("Share Deny None"));

    ADOQryDVPack->setConnection(ADOContAccess);
    ADOQryDVPack->postErrorHandler = reportPostFailure;
    ADOQryDVPack->editDiscardedHandler = reportEditLost;
    ADOQryDVPack->setSearchedAsTyped(true); // by the browsing panel's search box
    DSQryDVPack->setDataSet(ADOQryDVPack);

    ADOAreaQuery->setConnection(ADOContAccess);
    ADOAreaQuery->setSqlText(QStringLiteral("select * from GM_AREA"));
    ADOAreaQuery->addPersistentField(
        {QStringLiteral("keyw"), FieldType::String, 50, QStringLiteral("地  区")});
    ADOAreaQuery->addPersistentField(
        {QStringLiteral("province"), FieldType::String, 50, QStringLiteral("省  会")});
    ADOAreaQuery->addPersistentField(
        {QStringLiteral("areanumber"), FieldType::String, 10, QStringLiteral("区  号")});
    ADOAreaQuery->addPersistentField(
        {QStringLiteral("zipcode"), FieldType::String, 6, QStringLiteral("邮  编")});
    FDataSource->setDataSet(ADOAreaQuery);

    ADOQryCard->setConnection(ADOContAccess);
    ADOQryCard->addPersistentField(
        {QStringLiteral("province"), FieldType::WideString, 100, QStringLiteral("省 份")});
    ADOQryCard->addPersistentField(
        {QStringLiteral("city"), FieldType::WideString, 150, QStringLiteral("城 市")});
    ADOQryCard->addPersistentField(
        {QStringLiteral("code"), FieldType::WideString, 10, QStringLiteral("区 号")});
    ADOQryCard->addPersistentField(
        {QStringLiteral("cardtype"), FieldType::WideString, 100, QStringLiteral("说 明")});
}

TDMForm::~TDMForm()
{
    // Closing posts any profile text still being typed.
    try {
        ADOContAccess->setConnected(false);
    } catch (const DbError &) {
    }
    if (DMForm == this)
        DMForm = nullptr;
}

QString TDMForm::ConnectionStringFor(const QString &dataFile)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=") + dataFile +
           QStringLiteral(";Mode=Share Deny None;Extended Properties=\"\";Jet OLEDB:System database=\"\";") +
           QStringLiteral("Jet OLEDB:Registry Path=\"\";Jet OLEDB:Database Password=") +
           QLatin1String(kDatabasePassword) + QStringLiteral(";") +
           QStringLiteral("Jet OLEDB:Engine Type=5;Jet OLEDB:Database Locking Mode=1;") +
           QStringLiteral("Jet OLEDB:Global Partial Bulk Ops=2;Jet OLEDB:Global Bulk Transactions=1;") +
           QStringLiteral("Jet OLEDB:New Database Password=\"\";Jet OLEDB:Create System Database=False;") +
           QStringLiteral(
               "Jet OLEDB:Encrypt Database=False;Jet OLEDB:Compact Without Replica Repair=False;") +
           QStringLiteral("Jet OLEDB:SFP=False");
}

void TDMForm::DataModuleCreate()
{
    FOpenFailed = false;
    FDataFile = FDataFolder + QLatin1String(kDatabaseFileName);
    try {
        ADOContAccess->setConnected(false);
        ADOContAccess->setConnectionString(ConnectionStringFor(FDataFile));
        // The profile edits are kept beside the database too; connecting
        // carries them into a database that replaced the one they were in.
        ADOContAccess->setKeptEdits(ProfileEdits::settingsFor(FDataFile));
        ADOContAccess->setConnected(true);
        // The company list is read while the main window shows its splash;
        // loading the list then finds the rows read or waits for the rest.
        ADOContAccess->setReadingColumns(CompanyReadingColumns());
        ADOContAccess->preload(QString::fromUtf8(TBrowsePanel::kCompanyListSql));
    } catch (const DbError &) {
        platform::showMessage(QStringLiteral("找不到相应的数据，请核实！"));
        FOpenFailed = true;
    }
}

void TDMForm::TellCarriedEdits(QWidget *parent)
{
    if (ADOContAccess->connected())
        ProfileEdits::tellCarriedEdits(*ADOContAccess, parent);
}
