#pragma once

#include "platform/db/DatabaseFingerprint.h"
#include "platform/db/KeptEdits.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct sqlite3;

namespace store {
class ColumnStore;
}

namespace platform::db {

using store::ColumnStore;
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

    // Keeps the user's edits of one column a second time, in a side file
    // (see KeptEdits.h); only while disconnected (throws DbError
    // otherwise). Connecting then attaches the side file and, when the
    // database file is not the one the edits were last carried into,
    // carries them into it; disconnecting records the file as theirs.
    void setKeptEdits(const KeptEditsSettings &settings);
    const KeptEditsSettings &keptEdits() const { return m_kept; }
    // Whether the side file is attached. While it is not (it could not be
    // read or made: keptEditsError() says why), writing the kept column
    // fails, so that no edit is made that could not be kept.
    bool keepingEdits() const { return m_keptAttached; }
    QString keptEditsError() const { return m_keptError; }
    // What the carrying of the kept edits did since the user was last told;
    // clearing it marks the user as told.
    CarryOverReport carriedEditsNotice();
    void clearCarriedEditsNotice();
    // Keeps as edits the cells of the kept column that differ from those of
    // the same rows in another database file (see detail::keepDifferences);
    // returns their number. Throws DbError.
    int keepDifferencesFrom(const QString &otherPath, bool sameOrigin);
    // Whether the engine takes a statement, without running it: throws
    // DbError with the engine's reason when the statement cannot run (a
    // syntax error, an unknown table or column).
    void checkStatement(const QString &statement);

    // Starts reading a statement that lists a whole table into that
    // table's snapshot on a worker thread; a query opened meanwhile is
    // answered from the rows read so far and takes in the rest as they
    // come (DbQuery::rowsAppended). The worker shares the connection: it
    // steps the statement in short turns and lets every other use in
    // between. A statement that is no such list is not read ahead. Failures
    // are dropped: the query that opens the statement later meets them itself.
    void preload(const QString &statement);
    // The columns of a preloaded list that are also searched in pinyin: their
    // chunks carry what the readings of each row can spell, made as they are
    // read, so that no search has to read every cell in pinyin.
    void setReadingColumns(const QStringList &names) { m_readingColumns = names; }
    // Whether a preload is still reading.
    bool loading() const { return m_loader.joinable(); }
    // The first rows of the table a preload reads (a screen of a list and
    // some to scroll), read ahead of the rest: the rows of the table's
    // snapshot come a whole chunk at a time, and the first chunk of a large
    // table takes a second or more. The same columns as the snapshot's
    // store; nullptr until they are read (leadingRowsRead) and once the
    // reading has ended.
    std::shared_ptr<ColumnStore> leadingRows(const TableSnapshot *snapshot) const
    {
        return snapshot && snapshot == m_loading.get() ? m_leadingRows : nullptr;
    }

    // What a use of the handle holds while it lasts: the worker reading a
    // preload waits meanwhile.
    class Use
    {
    public:
        explicit Use(DbConnection &connection);
        ~Use();
        Use(const Use &) = delete;
        Use &operator=(const Use &) = delete;

    private:
        DbConnection &m_connection;
    };

    // Snapshots of whole tables, kept while the database holds what they
    // hold; statements on those tables are answered from them. A query
    // reading a whole table hands its rows here.
    std::shared_ptr<TableSnapshot> heldSnapshot(const QString &table);
    void holdSnapshot(std::shared_ptr<TableSnapshot> snapshot);

    // For the queries of this connection, while they hold a Use.
    sqlite3 *handle() { return m_db; }
    void attach(DbQuery *query);
    void detach(DbQuery *query);

signals:
    // A preload read more rows (`rows` in all so far, about `fraction` of
    // the table), or ended (`finished`; `failed` when it could not read
    // the whole table, whose snapshot is then let go).
    void loadProgressed(int rows, double fraction, bool finished, bool failed);
    // A preload's leadingRows() are read (loadProgressed follows with their count).
    void leadingRowsRead();

private:
    void open();
    void attachKeptEdits();
    void close();
    void stopLoading();
    void loadEnded(bool ok);
    void reportProgress();
    // About how much of the table being read lies up to the last of these
    // rows, in row-id order.
    double fractionRead(const ColumnStore &rows) const;

    QString m_connectionString;
    QString m_mode;
    QString m_path;
    QString m_key;
    KeptEditsSettings m_kept;
    bool m_keptAttached = false;
    bool m_keptCarried = false;      // the edits are in the open file
    DatabaseFingerprint m_keptPrint; // of the file as the edits were carried into it
    QString m_keptError;
    bool m_loginPrompt = true;
    int m_busyTimeout = 2000;
    sqlite3 *m_db = nullptr;
    std::vector<DbQuery *> m_queries;
    std::vector<std::shared_ptr<TableSnapshot>> m_snapshots;
    // The handle is used by one thread at a time; the worker of a preload
    // lets the others in as soon as they wait.
    std::mutex m_use;
    std::atomic<int> m_waiting{0};
    std::thread m_loader;
    QStringList m_readingColumns;
    std::atomic<bool> m_stopLoading{false};
    std::atomic<bool> m_progressPosted{false};
    std::shared_ptr<TableSnapshot> m_loading; // the snapshot the worker fills
    std::shared_ptr<ColumnStore> m_leadingRows;
    std::int64_t m_firstRowId = 0; // of the table being read
    std::int64_t m_lastRowId = 0;
};

} // namespace platform::db
