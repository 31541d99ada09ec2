#pragma once

// Internal to the data layer: the side file of KeptEdits.h on a connection's
// handle, for DbConnection and DbQuery.

#include "platform/db/KeptEdits.h"

#include <QStringList>

#include <cstdint>

struct sqlite3;

namespace platform::db::detail {

// A write transaction that is rolled back unless it is committed.
// Immediate, it takes the write locks of every attached file at once, so
// that it cannot fail halfway because another program wrote meanwhile.
class Transaction
{
public:
    explicit Transaction(sqlite3 *db, bool immediate = true);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    sqlite3 *m_db;
    bool m_open = true;
};

// Attaches the side file (creating it and its tables when missing) with the
// database's key; throws DbError when it cannot be read or made.
void attachKeptEdits(sqlite3 *db, const KeptEditsSettings &settings, const QString &key);

// Within the caller's transaction, before the kept column of the row is
// written: the row's key, and its text as the database has it on the
// row's first edit. Returns the key.
QStringList keepEditBefore(sqlite3 *db, const KeptEditsSettings &settings, std::int64_t rowId);
// Within the same transaction, after the cell was written: the user's text.
// An edit that gives the cell back its first text keeps nothing.
void keepEditAfter(sqlite3 *db, const KeptEditsSettings &settings, std::int64_t rowId,
                   const QStringList &key);

// When the database file is not the one the kept edits were last carried
// into, carries them into it in one transaction and adds what it did to the
// notice; then records the file's fingerprint. Throws DbError when the
// edits could not be carried (the next open tries again).
void carryKeptEdits(sqlite3 *db, const KeptEditsSettings &settings, const QString &databasePath);
// Records the database file's fingerprint as the one the edits are in.
void noteKeptDatabase(sqlite3 *db, const QString &databasePath);

CarryOverReport keptNotice(sqlite3 *db);
void clearKeptNotice(sqlite3 *db);

// Keeps as edits the cells of the kept column that differ from those of the
// same rows, found by key, in another database file: the edits a database
// holds that was written before its edits were kept. With `sameOrigin` the
// other file is the one the database was copied from, and its text is the
// text before the edit; otherwise that text is unknown, and a later carry
// keeps a changed cell's new text beside the user's. Returns the number of
// edits kept.
int keepDifferences(sqlite3 *db, const KeptEditsSettings &settings, const QString &otherPath,
                    const QString &key, bool sameOrigin);

} // namespace platform::db::detail
