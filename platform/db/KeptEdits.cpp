#include "platform/db/KeptEdits.h"

#include "platform/db/CipherSettings.h"
#include "platform/db/DatabaseFingerprint.h"
#include "platform/db/DbError.h"
#include "platform/db/KeptEditsStore.h"
#include "platform/db/QuotedName.h"
#include "platform/db/SqliteHandle.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <map>
#include <optional>
#include <vector>

namespace platform::db {

namespace {

using detail::execute;
using detail::prepare;
using detail::Statement;

// A cell's text; nullopt for a null.
using Cell = std::optional<QString>;

const QString kDatabaseState = QStringLiteral("database");
const QString kNoticeState = QStringLiteral("notice");

Cell cellAt(sqlite3_stmt *s, int column)
{
    if (sqlite3_column_type(s, column) == SQLITE_NULL)
        return std::nullopt;
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(s, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(s, column));
}

void bindCell(sqlite3_stmt *s, int index, const Cell &cell)
{
    if (!cell) {
        sqlite3_bind_null(s, index);
        return;
    }
    const QByteArray utf8 = cell->toUtf8();
    sqlite3_bind_text(s, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void bindText(sqlite3_stmt *s, int index, const QString &text)
{
    bindCell(s, index, text);
}

void stepDone(sqlite3 *db, sqlite3_stmt *s)
{
    if (sqlite3_step(s) != SQLITE_DONE)
        throw DbError(detail::lastError(db));
}

// The side file's cipher page size, fixed rather than left to the engine's default.
constexpr int kSidePageSize = 4096;

int defaultPageSize(sqlite3 *db)
{
    Statement s = prepare(db, QStringLiteral("PRAGMA cipher_default_page_size"));
    return sqlite3_step(s.get()) == SQLITE_ROW ? sqlite3_column_int(s.get(), 0) : 0;
}

// Attaches a database file under a schema name. The engine reads an
// encrypted file as it attaches it, with the default page size of the
// moment, which is therefore set to the file's for the attaching.
void attachFile(sqlite3 *db, const QString &path, const QString &schema, const QString &key, int pageSize)
{
    const int before = key.isEmpty() || pageSize <= 0 ? 0 : defaultPageSize(db);
    if (before > 0)
        execute(db, QStringLiteral("PRAGMA cipher_default_page_size = %1").arg(pageSize));
    Statement attach = prepare(db, QStringLiteral("ATTACH DATABASE ?1 AS %1 KEY ?2").arg(schema));
    bindText(attach.get(), 1, path);
    bindText(attach.get(), 2, key);
    const int rc = sqlite3_step(attach.get());
    const QString message = rc == SQLITE_DONE ? QString() : detail::lastError(db);
    attach.reset();
    if (before > 0)
        sqlite3_exec(db,
                     QStringLiteral("PRAGMA cipher_default_page_size = %1").arg(before).toUtf8().constData(),
                     nullptr, nullptr, nullptr);
    if (rc != SQLITE_DONE)
        throw DbError(message);
}

// "k0, k1, ..." for the side file's key columns.
QString keyNames(int count, const QString &prefix = {})
{
    QStringList names;
    for (int k = 0; k < count; ++k)
        names << prefix + QStringLiteral("k%1").arg(k);
    return names.join(QStringLiteral(", "));
}

// "ifnull(a.\"X\", ''), ..." for the table's key columns.
QString keyValues(const KeptEditsSettings &settings, const QString &alias = {})
{
    QStringList values;
    for (const QString &column : settings.keyColumns)
        values << QStringLiteral("ifnull(%1%2, '')").arg(alias, quotedName(column));
    return values.join(QStringLiteral(", "));
}

// "e.k0 = ifnull(d.\"X\", '') AND ..."
QString keyMatch(const KeptEditsSettings &settings, const QString &keptAlias, const QString &tableAlias)
{
    QStringList terms;
    for (int k = 0; k < settings.keyColumns.size(); ++k)
        terms << QStringLiteral("%1k%2 = ifnull(%3%4, '')")
                     .arg(keptAlias)
                     .arg(k)
                     .arg(tableAlias, quotedName(settings.keyColumns[k]));
    return terms.join(QStringLiteral(" AND "));
}

// "k0 = ?2 AND k1 = ?3 ..." with parameters from `first`.
QString keyParameters(int count, int first)
{
    QStringList terms;
    for (int k = 0; k < count; ++k)
        terms << QStringLiteral("k%1 = ?%2").arg(k).arg(first + k);
    return terms.join(QStringLiteral(" AND "));
}

// The side file holds the user's texts: it is the user's alone, and so are
// the journals the engine makes beside it with its mode.
void createPrivately(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
}

QString stateValue(sqlite3 *db, const QString &schema, const QString &name)
{
    Statement s = prepare(db, QStringLiteral("SELECT value FROM %1KeptState WHERE name = ?1").arg(schema));
    bindText(s.get(), 1, name);
    const int rc = sqlite3_step(s.get());
    if (rc == SQLITE_ROW)
        return cellAt(s.get(), 0).value_or(QString());
    if (rc != SQLITE_DONE)
        throw DbError(detail::lastError(db));
    return {};
}

void setStateValue(sqlite3 *db, const QString &schema, const QString &name, const QString &value)
{
    Statement s = prepare(
        db, QStringLiteral("INSERT OR REPLACE INTO %1KeptState (name, value) VALUES (?1, ?2)").arg(schema));
    bindText(s.get(), 1, name);
    bindText(s.get(), 2, value);
    stepDone(db, s.get());
}

const QString kStateTable =
    QStringLiteral("CREATE TABLE IF NOT EXISTS %1KeptState (name TEXT PRIMARY KEY, value TEXT)");

// Opens the side file alone with its key.
struct SideFile
{
    sqlite3 *db = nullptr;
    SideFile(const QString &path, const QString &key, bool create)
    {
        const QByteArray file = QFile::encodeName(path);
        // Writable even to read: a write cut short is rolled back first.
        const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
        if (sqlite3_open_v2(file.constData(), &db, flags, nullptr) != SQLITE_OK) {
            const QString message = db ? detail::lastError(db) : QStringLiteral("无法打开文件：%1").arg(path);
            sqlite3_close(db);
            throw DbError(message);
        }
        // PRAGMA takes no parameters: the key is written out, quoted.
        QString quoted = key;
        quoted.replace(QLatin1Char('\''), QLatin1String("''"));
        try {
            if (!key.isEmpty()) {
                execute(db, QStringLiteral("PRAGMA key = '%1'").arg(quoted));
                execute(db, QStringLiteral("PRAGMA cipher_page_size = %1").arg(kSidePageSize));
            }
        } catch (...) {
            sqlite3_close(db);
            throw;
        }
    }
    ~SideFile() { sqlite3_close(db); }
    SideFile(const SideFile &) = delete;
    SideFile &operator=(const SideFile &) = delete;
};

} // namespace

QString readKeptState(const QString &sideFile, const QString &key, const QString &name)
{
    if (!QFileInfo::exists(sideFile))
        return {};
    SideFile side(sideFile, key, false);
    Statement s =
        prepare(side.db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'KeptState'"));
    if (sqlite3_step(s.get()) != SQLITE_ROW)
        throw DbError(detail::lastError(side.db));
    if (sqlite3_column_int(s.get(), 0) == 0)
        return {};
    s.reset();
    return stateValue(side.db, QString(), name);
}

void writeKeptState(const QString &sideFile, const QString &key, const QString &name, const QString &value)
{
    createPrivately(sideFile);
    SideFile side(sideFile, key, true);
    execute(side.db, kStateTable.arg(QString()));
    setStateValue(side.db, QString(), name, value);
}

namespace detail {

Transaction::Transaction(sqlite3 *db, bool immediate) : m_db(db)
{
    execute(db, immediate ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
}

Transaction::~Transaction()
{
    if (m_open)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    execute(m_db, QStringLiteral("COMMIT"));
    m_open = false;
}

void attachKeptEdits(sqlite3 *db, const KeptEditsSettings &settings, const QString &key)
{
    createPrivately(settings.path);
    attachFile(db, settings.path, QStringLiteral("kept"), key, kSidePageSize);
    try {
        QStringList keys;
        for (int k = 0; k < settings.keyColumns.size(); ++k)
            keys << QStringLiteral("k%1 TEXT NOT NULL").arg(k);
        execute(db, QStringLiteral("CREATE TABLE IF NOT EXISTS kept.KeptEdits (%1, vendorText, userText, "
                                   "PRIMARY KEY (%2))")
                        .arg(keys.join(QStringLiteral(", ")), keyNames(int(settings.keyColumns.size()))));
        execute(db, kStateTable.arg(QStringLiteral("kept.")));
    } catch (const DbError &) {
        sqlite3_exec(db, "DETACH DATABASE kept", nullptr, nullptr, nullptr);
        throw;
    }
}

QStringList keepEditBefore(sqlite3 *db, const KeptEditsSettings &settings, std::int64_t rowId)
{
    const int keys = int(settings.keyColumns.size());
    Statement row =
        prepare(db, QStringLiteral("SELECT %1, %2 FROM main.%3 WHERE rowid = ?1")
                        .arg(keyValues(settings), quotedName(settings.column), quotedName(settings.table)));
    sqlite3_bind_int64(row.get(), 1, rowId);
    const int rc = sqlite3_step(row.get());
    if (rc == SQLITE_DONE)
        return {}; // no such row: the write that follows finds none either
    if (rc != SQLITE_ROW)
        throw DbError(lastError(db));
    QStringList key;
    for (int k = 0; k < keys; ++k)
        key << cellAt(row.get(), k).value_or(QString());
    // The first edit of a row records the text before it; later ones keep that.
    Statement insert = prepare(db, QStringLiteral("INSERT OR IGNORE INTO kept.KeptEdits (%1, vendorText) "
                                                  "VALUES (%2)")
                                       .arg(keyNames(keys), [&] {
                                           QStringList p;
                                           for (int k = 1; k <= keys + 1; ++k)
                                               p << QStringLiteral("?%1").arg(k);
                                           return p.join(QStringLiteral(", "));
                                       }()));
    for (int k = 0; k < keys; ++k)
        bindText(insert.get(), k + 1, key[k]);
    sqlite3_bind_value(insert.get(), keys + 1, sqlite3_column_value(row.get(), keys));
    stepDone(db, insert.get());
    return key;
}

void keepEditAfter(sqlite3 *db, const KeptEditsSettings &settings, std::int64_t rowId, const QStringList &key)
{
    if (key.isEmpty())
        return;
    const int keys = int(key.size());
    Statement update = prepare(
        db, QStringLiteral("UPDATE kept.KeptEdits SET userText = "
                           "(SELECT %1 FROM main.%2 WHERE rowid = ?1) WHERE %3")
                .arg(quotedName(settings.column), quotedName(settings.table), keyParameters(keys, 2)));
    sqlite3_bind_int64(update.get(), 1, rowId);
    for (int k = 0; k < keys; ++k)
        bindText(update.get(), k + 2, key[k]);
    stepDone(db, update.get());
    Statement drop =
        prepare(db, QStringLiteral("DELETE FROM kept.KeptEdits WHERE %1 AND userText IS vendorText")
                        .arg(keyParameters(keys, 1)));
    for (int k = 0; k < keys; ++k)
        bindText(drop.get(), k + 1, key[k]);
    stepDone(db, drop.get());
}

CarryOverReport keptNotice(sqlite3 *db)
{
    const QStringList parts = stateValue(db, QStringLiteral("kept."), kNoticeState).split(QLatin1Char(' '));
    CarryOverReport report;
    if (parts.size() == 3) {
        report.carried = parts[0].toInt();
        report.newTextKept = parts[1].toInt();
        report.missing = parts[2].toInt();
    }
    return report;
}

void clearKeptNotice(sqlite3 *db)
{
    Statement s = prepare(db, QStringLiteral("DELETE FROM kept.KeptState WHERE name = ?1"));
    bindText(s.get(), 1, kNoticeState);
    stepDone(db, s.get());
}

void noteKeptDatabase(sqlite3 *db, const QString &databasePath)
{
    setStateValue(db, QStringLiteral("kept."), kDatabaseState,
                  DatabaseFingerprint::of(databasePath).toText());
}

namespace {

struct KeptEdit
{
    Cell vendorText;
    Cell userText;
    std::vector<std::pair<std::int64_t, Cell>> rows; // the rows with the edit's key and their text
};

} // namespace

void carryKeptEdits(sqlite3 *db, const KeptEditsSettings &settings, const QString &databasePath)
{
    if (stateValue(db, QStringLiteral("kept."), kDatabaseState) ==
        DatabaseFingerprint::of(databasePath).toText())
        return;
    {
        Transaction transaction(db);
        std::map<std::int64_t, KeptEdit> edits;
        {
            Statement s =
                prepare(db, QStringLiteral("SELECT rowid, vendorText, userText FROM kept.KeptEdits"));
            int rc;
            while ((rc = sqlite3_step(s.get())) == SQLITE_ROW)
                edits[sqlite3_column_int64(s.get(), 0)] = {cellAt(s.get(), 1), cellAt(s.get(), 2), {}};
            if (rc != SQLITE_DONE)
                throw DbError(lastError(db));
        }
        if (!edits.empty()) {
            // One pass over the table (CROSS JOIN keeps it outside), looking
            // each row's key up in the side file's key index.
            Statement s =
                prepare(db, QStringLiteral("SELECT e.rowid, d.rowid, d.%1 FROM main.%2 AS d "
                                           "CROSS JOIN kept.KeptEdits AS e ON %3")
                                .arg(quotedName(settings.column), quotedName(settings.table),
                                     keyMatch(settings, QStringLiteral("e."), QStringLiteral("d."))));
            int rc;
            while ((rc = sqlite3_step(s.get())) == SQLITE_ROW)
                edits[sqlite3_column_int64(s.get(), 0)].rows.emplace_back(sqlite3_column_int64(s.get(), 1),
                                                                          cellAt(s.get(), 2));
            if (rc != SQLITE_DONE)
                throw DbError(lastError(db));
        }

        CarryOverReport report;
        Statement writeCell = prepare(db, QStringLiteral("UPDATE main.%1 SET %2 = ?1 WHERE rowid = ?2")
                                              .arg(quotedName(settings.table), quotedName(settings.column)));
        Statement writeEdit = prepare(
            db, QStringLiteral("UPDATE kept.KeptEdits SET vendorText = ?1, userText = ?2 WHERE rowid = ?3"));
        for (auto &[id, edit] : edits) {
            if (edit.rows.empty()) {
                ++report.missing;
                continue;
            }
            // Already here: a database that was not replaced after all, or
            // one that took the user's text.
            bool present = false;
            for (const auto &[row, text] : edit.rows)
                present = present || text == edit.userText;
            if (present)
                continue;
            // A company listed twice under one key is one company: each
            // listing gets the edit.
            std::optional<std::pair<Cell, Cell>> changed; // the new text and what the cell got
            for (const auto &[row, text] : edit.rows) {
                Cell written = edit.userText;
                const bool newText = text != edit.vendorText && text && !text->isEmpty();
                if (newText && edit.userText && settings.merge)
                    written = settings.merge(*edit.userText, *text);
                if (newText && !changed)
                    changed = std::pair{text, written};
                bindCell(writeCell.get(), 1, written);
                sqlite3_bind_int64(writeCell.get(), 2, row);
                stepDone(db, writeCell.get());
                sqlite3_reset(writeCell.get());
            }
            ++report.carried;
            if (changed) {
                ++report.newTextKept;
                // The new database's text is now the one before the edit.
                bindCell(writeEdit.get(), 1, changed->first);
                bindCell(writeEdit.get(), 2, changed->second);
                sqlite3_bind_int64(writeEdit.get(), 3, id);
                stepDone(db, writeEdit.get());
                sqlite3_reset(writeEdit.get());
            }
        }
        if (!report.empty()) {
            const CarryOverReport before = keptNotice(db);
            setStateValue(db, QStringLiteral("kept."), kNoticeState,
                          QStringLiteral("%1 %2 %3")
                              .arg(before.carried + report.carried)
                              .arg(before.newTextKept + report.newTextKept)
                              .arg(before.missing + report.missing));
        }
        transaction.commit();
    }
    // Taken after the commit, which changed the file.
    noteKeptDatabase(db, databasePath);
}

namespace {

// Attaches another database file under the name "other", trying the page
// sizes our databases are written with.
void attachOther(sqlite3 *db, const QString &path, const QString &key)
{
    for (const int pageSize : kKnownPageSizes) {
        try {
            attachFile(db, path, QStringLiteral("other"), key, pageSize);
        } catch (const DbError &) {
            continue;
        }
        try {
            execute(db, QStringLiteral("SELECT count(*) FROM other.sqlite_master"));
            return;
        } catch (const DbError &) {
            execute(db, QStringLiteral("DETACH DATABASE other"));
        }
    }
    throw DbError(QStringLiteral("密码错误或文件不是数据库：%1").arg(path));
}

} // namespace

int keepDifferences(sqlite3 *db, const KeptEditsSettings &settings, const QString &otherPath,
                    const QString &key, bool sameOrigin)
{
    attachOther(db, otherPath, key);
    const int keys = int(settings.keyColumns.size());
    int kept = 0;
    try {
        // Deferred: the other file may be one this user cannot write.
        Transaction transaction(db, false);
        // The other table's keys, indexed, so that one pass over this table
        // finds each row's counterparts.
        execute(db, QStringLiteral("CREATE TEMP TABLE KeptOther AS SELECT %1, rowid AS r FROM other.%2")
                        .arg(
                            [&] {
                                QStringList columns;
                                for (int k = 0; k < keys; ++k)
                                    columns << QStringLiteral("ifnull(%1, '') AS k%2")
                                                   .arg(quotedName(settings.keyColumns[k]))
                                                   .arg(k);
                                return columns.join(QStringLiteral(", "));
                            }(),
                            quotedName(settings.table)));
        execute(db, QStringLiteral("CREATE INDEX temp.KeptOtherKey ON KeptOther (%1)").arg(keyNames(keys)));
        Statement s = prepare(db, QStringLiteral("SELECT d.rowid, %1, d.%2, o.%2 FROM main.%3 AS d "
                                                 "CROSS JOIN temp.KeptOther AS t ON %4 "
                                                 "CROSS JOIN other.%3 AS o ON o.rowid = t.r ORDER BY d.rowid")
                                      .arg(keyValues(settings, QStringLiteral("d.")),
                                           quotedName(settings.column), quotedName(settings.table),
                                           keyMatch(settings, QStringLiteral("t."), QStringLiteral("d."))));
        Statement insert = prepare(db, QStringLiteral("INSERT OR IGNORE INTO kept.KeptEdits (%1, vendorText, "
                                                      "userText) VALUES (%2)")
                                           .arg(keyNames(keys), [&] {
                                               QStringList p;
                                               for (int k = 1; k <= keys + 2; ++k)
                                                   p << QStringLiteral("?%1").arg(k);
                                               return p.join(QStringLiteral(", "));
                                           }()));
        std::int64_t current = 0;
        QStringList rowKey;
        Cell text;
        std::vector<Cell> others;
        const auto finishRow = [&] {
            if (others.empty())
                return;
            for (const Cell &other : others)
                if (other == text)
                    return;
            for (int k = 0; k < keys; ++k)
                bindText(insert.get(), k + 1, rowKey[k]);
            bindCell(insert.get(), keys + 1, sameOrigin ? others.front() : text);
            bindCell(insert.get(), keys + 2, text);
            stepDone(db, insert.get());
            sqlite3_reset(insert.get());
            ++kept;
        };
        int rc;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
            const std::int64_t row = sqlite3_column_int64(s.get(), 0);
            if (row != current || others.empty()) {
                finishRow();
                current = row;
                others.clear();
                rowKey.clear();
                for (int k = 0; k < keys; ++k)
                    rowKey << cellAt(s.get(), 1 + k).value_or(QString());
                text = cellAt(s.get(), 1 + keys);
            }
            others.push_back(cellAt(s.get(), 2 + keys));
        }
        if (rc != SQLITE_DONE)
            throw DbError(lastError(db));
        finishRow();
        s.reset();
        insert.reset();
        execute(db, QStringLiteral("DROP TABLE temp.KeptOther"));
        transaction.commit();
    } catch (...) {
        sqlite3_exec(db, "DROP TABLE IF EXISTS temp.KeptOther", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "DETACH DATABASE other", nullptr, nullptr, nullptr);
        throw;
    }
    execute(db, QStringLiteral("DETACH DATABASE other"));
    return kept;
}

} // namespace detail

} // namespace platform::db
