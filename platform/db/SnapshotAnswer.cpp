#include "platform/db/SnapshotAnswer.h"

#include "platform/db/DbConnection.h"
#include "platform/db/ResultReader.h"
#include "store/RowPredicate.h"
#include "store/SnapshotSelect.h"
#include "store/SqlTokenizer.h"

#include <sqlcipher/sqlite3.h>

#include <algorithm>

namespace platform::db {

namespace {

// The condition with its comparisons bound to the snapshot's columns, or
// null when one of them cannot be followed exactly.
std::unique_ptr<RowPredicate> bind(const SqlCondition &condition, const TableSnapshot &snapshot)
{
    if (condition.kind == SqlCondition::Kind::Compare) {
        const int column = snapshot.columnIndex(condition.column);
        if (column < 0)
            return nullptr;
        const std::optional<SqlColumnClass> columnClass = snapshot.columnClass(column);
        if (!columnClass)
            return nullptr;
        std::unique_ptr<CellTest> test = makeSqlCellTest(*columnClass, condition.op, condition.literal);
        if (!test)
            return nullptr;
        return RowPredicate::test(QString::fromStdString(condition.column), std::move(test));
    }
    std::vector<std::unique_ptr<RowPredicate>> parts;
    for (const SqlCondition &part : condition.parts) {
        parts.push_back(bind(part, snapshot));
        if (!parts.back())
            return nullptr;
    }
    return RowPredicate::join(condition.kind == SqlCondition::Kind::And ? RowPredicate::Kind::And
                                                                        : RowPredicate::Kind::Or,
                              std::move(parts));
}

// Whether the engine would run the statement as one plain pass over the
// table, which yields the rows in table order; through an index it may
// yield them in another order.
bool scansTableInOrder(sqlite3 *db, const QByteArray &utf8, const QString &table)
{
    sqlite3_stmt *s = nullptr;
    const QByteArray explain = "EXPLAIN QUERY PLAN " + utf8;
    if (sqlite3_prepare_v2(db, explain.constData(), int(explain.size()), &s, nullptr) != SQLITE_OK) {
        sqlite3_finalize(s);
        return false;
    }
    int steps = 0;
    bool plainScan = false;
    while (sqlite3_step(s) == SQLITE_ROW) {
        ++steps;
        const auto *detail =
            reinterpret_cast<const char *>(sqlite3_column_text(s, sqlite3_column_count(s) - 1));
        const std::string name = table.toStdString();
        plainScan =
            detail && (sameSqlName(detail, "SCAN TABLE " + name) || sameSqlName(detail, "SCAN " + name));
    }
    sqlite3_finalize(s);
    return steps == 1 && plainScan;
}

} // namespace

std::function<int(const QString &)> snapshotColumns(const std::shared_ptr<TableSnapshot> &snapshot)
{
    return [snapshot](const QString &name) { return snapshot->columnIndex(name.toStdString()); };
}

std::optional<SnapshotAnswer> answerFromSnapshot(DbConnection &connection,
                                                 const detail::PreparedResult &prepared)
{
    const std::optional<SnapshotSelect> statement = SnapshotSelect::parse(prepared.tokens);
    if (!statement)
        return std::nullopt;

    // The table the engine took the columns from, in the main database.
    sqlite3_stmt *s = prepared.statement.get();
    std::string table;
    for (int c : prepared.sources) {
        const char *database = sqlite3_column_database_name(s, c);
        const char *name = sqlite3_column_table_name(s, c);
        if (!database || std::string_view(database) != "main" || !name || (!table.empty() && table != name))
            return std::nullopt;
        table = name;
    }
    if (!sameSqlName(table, statement->table))
        return std::nullopt;
    std::shared_ptr<TableSnapshot> snapshot = connection.heldSnapshot(QString::fromStdString(table));
    if (!snapshot)
        return std::nullopt;
    const ColumnStore &store = *snapshot->store();

    SnapshotAnswer answer;
    answer.snapshot = snapshot;
    for (std::size_t f = 0; f < prepared.sources.size(); ++f) {
        const int column = snapshot->columnIndex(prepared.origins[f].toStdString());
        if (column < 0 || isNumericType(prepared.infos[f].type) != store.isNumeric(column) ||
            std::find(answer.columns.begin(), answer.columns.end(), column) != answer.columns.end())
            return std::nullopt;
        answer.columns.push_back(column);
    }

    std::unique_ptr<RowPredicate> condition;
    if (statement->where) {
        condition = bind(*statement->where, *snapshot);
        if (!condition)
            return std::nullopt;
    }
    if (!scansTableInOrder(connection.handle(), prepared.utf8, QString::fromStdString(table)))
        return std::nullopt;

    answer.rowsSeen = store.rowCount();
    if (!condition) {
        answer.allRows = true;
        return answer;
    }
    answer.rows = rowList(condition->evaluate(store, snapshotColumns(snapshot), allRows(answer.rowsSeen)));
    answer.condition = std::move(condition);
    return answer;
}

} // namespace platform::db
