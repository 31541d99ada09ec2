#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <thread>
#include <vector>

struct sqlite3;

namespace platform::db {

class DbQuery;
class TableSnapshot;

// The one connection to a database file, opened from a connection string.
// The provider "Microsoft.Jet.OLEDB.4.0" is served by SQLCipher: "Data
// Source" names the file and "Jet OLEDB:Database Password" is its key.
class DbConnection : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *kProvider = "Microsoft.Jet.OLEDB.4.0";

    explicit DbConnection(QObject *parent = nullptr);
    ~DbConnection() override;

    QString connectionString() const { return m_connectionString; }
    // Only while disconnected; throws DbError otherwise.
    void setConnectionString(const QString &text);

    bool loginPrompt() const { return m_loginPrompt; }
    void setLoginPrompt(bool on) { m_loginPrompt = on; }
    QString mode() const { return m_mode; }
    void setMode(const QString &mode) { m_mode = mode; }

    // How long a statement waits for another program's lock on the file
    // before it fails, in milliseconds.
    int busyTimeout() const { return m_busyTimeout; }
    void setBusyTimeout(int ms);

    bool connected() const { return m_db != nullptr; }
    // True opens the file (throws DbError on a missing file, a wrong
    // password, a file that is no database, an unknown provider or a broken
    // connection string); false posts pending edits, closes every query on
    // the connection and closes the file.
    void setConnected(bool on);

    // The path of the open file; empty while disconnected.
    QString databasePath() const { return m_path; }

    // Starts reading the whole result of a statement on a worker thread, so
    // that a query opened later with that table's rows finds them read
    // (or waits for the rest). Used for a large first load while the
    // program shows other things; every use of the connection waits until
    // the reading is done. Failures are dropped: the query that opens the
    // statement later meets them itself.
    void preload(const QString &statement);

    // Snapshots of whole tables, kept while the database holds what they
    // hold; statements on those tables are answered from them. A query
    // reading a whole table hands its rows here.
    std::shared_ptr<TableSnapshot> heldSnapshot(const QString &table);
    void holdSnapshot(std::shared_ptr<TableSnapshot> snapshot);

    // For the queries of this connection; waits for a preload to finish.
    sqlite3 *handle();
    void attach(DbQuery *query);
    void detach(DbQuery *query);

private:
    void open();
    void close();
    void finishPreload();

    QString m_connectionString;
    QString m_mode;
    QString m_path;
    bool m_loginPrompt = true;
    int m_busyTimeout = 2000;
    sqlite3 *m_db = nullptr;
    std::vector<DbQuery *> m_queries;
    std::vector<std::shared_ptr<TableSnapshot>> m_snapshots;
    std::thread m_preload;
    std::shared_ptr<TableSnapshot> m_preloaded; // written by the worker, taken after it ended
};

} // namespace platform::db
