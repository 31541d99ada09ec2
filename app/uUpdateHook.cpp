#include "app/uUpdateHook.h"

#include "app/uBrowsePanel.h"

#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"
#include "platform/db/DbField.h"
#include "platform/db/DbQuery.h"
#include "platform/os/ExecutablePath.h"
#include "platform/os/IniFile.h"
#include "platform/os/InstallLocation.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/MessageBox.h"
#include "query/CompanySearch.h"
#include "upgrade/helper/suUpgradeFolder.h"
#include "upgrade/helper/suVersion.h"
#include "upgrade/suSelfUpdater.h"
#include "upgrade/suSelfUpdaterWindows.h"

#include <QEventLoop>
#include <QHash>
#include <QWidget>

namespace {

const QString kSystemUpdatesOnly =
    QStringLiteral("Velmora由系统的软件包安装，请通过系统的软件更新升级。\r\n在线升级不会更改任何文件。");

// What a user sees of an open query: reopening it after the database was
// closed must not leave the list empty or lose its column titles.
struct OpenQuery
{
    platform::db::DbQuery *query;
    int row;
    QHash<QString, QPair<QString, int>> columns; // field name -> title, width
};

QList<OpenQuery> rememberOpen(const QList<platform::db::DbQuery *> &queries)
{
    QList<OpenQuery> open;
    for (platform::db::DbQuery *query : queries) {
        if (!query || !query->active())
            continue;
        OpenQuery state{query, query->currentRow(), {}};
        for (int i = 0; i < query->fieldCount(); ++i) {
            const platform::db::DbField *field = query->field(i);
            state.columns.insert(field->fieldName(), {field->displayLabel(), field->displayWidth()});
        }
        open << state;
    }
    return open;
}

// A list read again behind the window may not have reached the row to go
// back to: the window waits for it, painting and showing the progress, but
// taking no input meanwhile.
void waitForRow(platform::db::DbQuery *query, int row)
{
    const auto reached = [query, row] { return !query->loading() || query->recordCount() > row; };
    if (row < 0 || reached())
        return;
    const platform::BusyCursor busy;
    QEventLoop loop;
    const auto check = [&] {
        if (reached())
            loop.quit();
    };
    QObject::connect(query, &platform::db::DbQuery::rowsAppended, &loop, check);
    QObject::connect(query->connection(), &platform::db::DbConnection::loadProgressed, &loop, check);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void reopen(const QList<OpenQuery> &open)
{
    for (const OpenQuery &state : open) {
        state.query->open();
        for (int i = 0; i < state.query->fieldCount(); ++i) {
            platform::db::DbField *field = state.query->field(i);
            const auto column = state.columns.constFind(field->fieldName());
            if (column == state.columns.constEnd())
                continue;
            field->setDisplayLabel(column->first);
            field->setDisplayWidth(column->second);
        }
        waitForRow(state.query, state.row);
        state.query->setCurrentRow(state.row);
    }
}

} // namespace

QString ReadIniValue(const QString &section, const QString &key, const QString &defaultValue,
                     const QString &fileName)
{
    const QString path = fileName.contains(u'/') ? fileName : platform::executableFolder() + fileName;
    return platform::readProfileString(path, section, key, defaultValue);
}

TUpdateHook::TUpdateHook(QWidget *mainWindow, platform::db::DbConnection *connection,
                         QList<platform::db::DbQuery *> queries, const QString &vendorBase)
    : QObject(mainWindow), SoftUpdate(new TsuSelfUpdater(this)), ProgramFolder(platform::executableFolder()),
      m_mainWindow(mainWindow), m_connection(connection), m_queries(std::move(queries))
{
    SoftUpdate->setObjectName(QStringLiteral("SoftUpdate"));
    // The upgrade's windows and messages stand above the main window.
    SoftUpdate->SetUpgradeWindows(std::make_unique<TsuSelfUpdaterWindows>(mainWindow));
    SoftUpdate->SetInfoFileURL(vendorBase + QStringLiteral("/download/dorvak.inf"));
    TsuSelfUpdaterInfo &info = SoftUpdate->InfoFile();
    info.Files = {vendorBase + QStringLiteral("/download/dorvak.dat"),
                  vendorBase + QStringLiteral("/download/softup.dll"),
                  vendorBase + QStringLiteral("/download/Dorvak.exe")};
    info.UpgradeMsg = QStringLiteral("Velmora");
    SoftUpdate->SetVersionControl(byNumber);
    SoftUpdate->SetVersionNumber(QStringLiteral("1"));
    SoftUpdate->SetVersionDate(QStringLiteral("01/07/2004"));
    SoftUpdate->SetVersionDateAutoSet(true);
    SoftUpdate->SetShowMessages(suShowAll);
    SoftUpdate->OnAborted = [this](QObject *) { SoftUpdateAborted(); };
    SoftUpdate->OnNoUpdateAvailable = [this](QObject *) { SoftUpdateNoUpdateAvailable(); };
    SoftUpdate->Loaded();
}

QString InstalledVersion(const QString &versionFile, const QString &programFolder)
{
    QString versionFileSays;
    try {
        versionFileSays = ReadIniValue(QStringLiteral("SYS"), QStringLiteral("UPDATESET"),
                                       QStringLiteral("Error"), versionFile);
    } catch (...) {
        versionFileSays = QStringLiteral("1");
    }
    // An upgrade records the signed version it installed, and that record
    // stands even when the version file says less (a release without one,
    // or one that was put back by hand): no release below it is offered.
    return suHigherVersion(versionFileSays, suReadVersionRecord(programFolder));
}

void TUpdateHook::ReadInstalledVersion(const QString &versionFile)
{
    SoftUpdate->SetVersionNumber(InstalledVersion(versionFile, ProgramFolder));
}

void TUpdateHook::SpeedButton11Click()
{
    // Files under /usr belong to the package manager: replacing them here
    // would leave the system's record of the package wrong.
    if (platform::isSystemManagedFolder(ProgramFolder)) {
        platform::messageBox(kSystemUpdatesOnly, QStringLiteral("提示"), platform::MessageButtons::Ok,
                             platform::MessageIcon::Information, m_mainWindow);
        return;
    }
    // A build that trusts no key only says that its online upgrade is off;
    // the data in use is not touched for it.
    if (!SoftUpdate->UpgradeEnabled()) {
        SoftUpdate->CheckUpdate();
        return;
    }
    if (platform::messageBox(QStringLiteral("升级新版本时，可能会中断当前正在使用的数据！是否继续(Y/N)?"),
                             QStringLiteral("提示"), platform::MessageButtons::YesNo,
                             platform::MessageIcon::Information, m_mainWindow) != platform::mrYes)
        return;
    const QList<OpenQuery> open = rememberOpen(m_queries);
    m_connection->setConnected(false);
    SoftUpdate->CheckUpdate();
    try {
        m_connection->setConnected(true);
        // The company list comes back as at start-up: at once, the rest read behind the window.
        m_connection->setReadingColumns(CompanyReadingColumns());
        m_connection->preload(QString::fromUtf8(TBrowsePanel::kCompanyListSql));
        reopen(open);
    } catch (const platform::db::DbError &error) {
        platform::showMessage(error.message(), m_mainWindow);
    }
}

void TUpdateHook::SoftUpdateAborted()
{
    m_mainWindow->setWindowTitle(QStringLiteral("数据库正在更新，在线升级失败！"));
}

void TUpdateHook::SoftUpdateNoUpdateAvailable()
{
    m_mainWindow->setWindowTitle(QStringLiteral("不需要更新，当前版本是最新的！"));
}
