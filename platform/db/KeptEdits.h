#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace platform::db {

// The user's edits of one column of one table, kept a second time outside
// the database, in a small database file of their own (the side file), so
// that they outlive the database: when a new database takes the old one's
// place (an upgrade replaces the file), each edit is carried into it.
//
// The side file is attached to the connection (under the name "kept", with
// the database's own key) and written in the same transaction as the edit
// itself, so that the engine commits both files or neither, even when the
// process dies between them. It holds, for each edited row, the row's key
// (the key columns' texts, an empty text for a null), the column's text as
// the database had it before the user's first edit, and the user's text;
// and the fingerprint of the database file the edits were last carried
// into, by which a replaced database is recognised whatever replaced it.
struct KeptEditsSettings
{
    QString path; // the side file; empty: no edits are kept
    QString table;
    QString column;
    // The columns that find a row again in a table that was built anew,
    // where row ids mean nothing.
    QStringList keyColumns;
    // The text a cell gets when the new database changed the cell the user
    // had edited: the user's text and the new database's, both kept. Without
    // it the user's text alone is kept.
    std::function<QString(const QString &userText, const QString &newText)> merge;

    bool enabled() const { return !path.isEmpty(); }
    bool covers(const QString &tableName, const QString &columnName) const
    {
        return enabled() && table.compare(tableName, Qt::CaseInsensitive) == 0 &&
               column.compare(columnName, Qt::CaseInsensitive) == 0;
    }
};

// What carrying the kept edits into a new database did, added up over the
// replacements the user has not been told of yet.
struct CarryOverReport
{
    int carried = 0;     // edits written into the new database
    int newTextKept = 0; // of those, cells the new database had changed too
    int missing = 0;     // edits whose row the new database lacks; kept for a later one
    bool empty() const { return carried == 0 && missing == 0; }
    bool operator==(const CarryOverReport &) const = default;
};

// The side file on its own, without the database it belongs to: one value
// of its state, read and written under a name. Throw DbError when the file
// cannot be read or written; reading a missing file or name gives an empty
// text.
QString readKeptState(const QString &sideFile, const QString &key, const QString &name);
void writeKeptState(const QString &sideFile, const QString &key, const QString &name, const QString &value);

} // namespace platform::db
