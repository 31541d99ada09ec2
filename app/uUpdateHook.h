#pragma once

#include "platform/os/ExecutablePath.h"

#include <QList>
#include <QObject>
#include <QString>

class QWidget;
class TsuSelfUpdater;
namespace platform::db {
class DbConnection;
class DbQuery;
} // namespace platform::db

// Reads one value of an INI-format file. A file name holding a path
// separator is used as it is; a bare name is looked up beside the
// executable, never in the current folder. A missing file or key gives the
// default.
QString ReadIniValue(const QString &section, const QString &key, const QString &defaultValue,
                     const QString &fileName);

// The installed version, as the version file gives it: UPDATESET of the
// section SYS; "Error" when the file or the value is missing, "1" when the
// file cannot be read; unless the last upgrade into programFolder recorded
// a higher one (upgrade/helper/suUpgradeFolder.h), which then wins. The one
// reading of the installed version: the upgrade compares with it, the
// about panel and the splash show it.
QString InstalledVersion(const QString &versionFile = QStringLiteral("softup.dll"),
                         const QString &programFolder = platform::executableFolder());

// The main window's hold on the online upgrade: its upgrade component
// SoftUpdate, set up with the vendor's addresses, the installed version
// read from the version file, the "在线升级" button and the two events that
// change the window's caption.
class TUpdateHook : public QObject
{
    Q_OBJECT

public:
    // mainWindow gets the captions; connection is closed around a check;
    // queries are the ones kept open across it. vendorBase is the vendor's
    // base address ("http://www.kestrune.example").
    TUpdateHook(QWidget *mainWindow, platform::db::DbConnection *connection,
                QList<platform::db::DbQuery *> queries, const QString &vendorBase);

    TsuSelfUpdater *SoftUpdate;
    // The folder whose files an upgrade replaces, with its trailing "/": the
    // executable's.
    QString ProgramFolder;

    // Hands InstalledVersion() of the program folder to SoftUpdate.
    void ReadInstalledVersion(const QString &versionFile = QStringLiteral("softup.dll"));
    // "在线升级": asks, then checks for an update with the database closed.
    // Where the program's files belong to the system (a package install, or a
    // folder the user cannot write) it only says that upgrades come through
    // the system's software updates, and changes nothing; a build without
    // an upgrade key only says that online upgrade is switched off.
    void SpeedButton11Click();
    void SoftUpdateAborted();
    void SoftUpdateNoUpdateAvailable();

private:
    QWidget *m_mainWindow;
    platform::db::DbConnection *m_connection;
    QList<platform::db::DbQuery *> m_queries;
};
