#pragma once

#include "platform/db/Database.h"

#include <QObject>
#include <QString>

class QWidget;

// The data module: the one connection to the directory database and the
// queries every window reads it through. Created before any window.
class TDMForm : public QObject
{
    Q_OBJECT
public:
    // The database is looked for in `folder` (with its trailing "/"); the
    // program passes the executable's folder.
    explicit TDMForm(const QString &folder, QObject *parent = nullptr);
    ~TDMForm() override;

    // Opens the database beside the executable; on failure tells the user
    // and sets FOpenFailed.
    void DataModuleCreate();
    // Tells the user, once, how many profile edits a new database took
    // over (when one replaced the old since the last start).
    void TellCarriedEdits(QWidget *parent);

    platform::db::DbConnection *ADOContAccess;
    platform::db::DbQuery *ADOQryDVPack;
    platform::db::DataSource *DSQryDVPack;
    platform::db::DbQuery *ADOAreaQuery;
    platform::db::DataSource *FDataSource;
    platform::db::DbQuery *ADOQryCard;

    QString FDataFolder;
    QString FDataFile;
    bool FOpenFailed = false;

    // The connection string for a database file, exactly as handed to the provider.
    static QString ConnectionStringFor(const QString &dataFile);
};

// The one data module, set while it exists.
extern TDMForm *DMForm;
