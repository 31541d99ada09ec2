#include "platform/db/ResultReader.h"

#include "platform/db/DbError.h"
#include "platform/db/DbField.h"
#include "platform/db/SnapshotLoader.h"

#include <QRegularExpression>

namespace platform::db::detail {

namespace {

const char kRowIdAlias[] = "velmora_rowid_";

// Only a plain SELECT of one table can name the rows it returns, so only
// such a statement gets the row id put in front of its columns. The words
// are read from the statement's tokens: inside a quoted value, a quoted
// name or a comment they are no keywords.
QByteArray withRowId(const QByteArray &utf8, const std::vector<SqlToken> &tokens)
{
    if (tokens.empty() || !tokens.front().isWord("SELECT"))
        return QByteArray();
    for (const SqlToken &t : tokens) {
        for (const char *word :
             {"DISTINCT", "UNION", "INTERSECT", "EXCEPT", "JOIN", "GROUP", "HAVING", "TOP"}) {
            if (t.isWord(word))
                return QByteArray();
        }
    }
    const qsizetype at = qsizetype(tokens.front().end);
    return utf8.left(at) + " rowid AS " + kRowIdAlias + "," + utf8.mid(at);
}

int declaredSize(const QString &declaredType)
{
    static const QRegularExpression size(QStringLiteral("\\(\\s*(\\d+)"));
    const QRegularExpressionMatch m = size.match(declaredType);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QString columnText(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

} // namespace

PreparedResult prepareResult(sqlite3 *db, const QByteArray &utf8,
                             const std::vector<PersistentField> &persistent)
{
    PreparedResult r;
    r.utf8 = utf8;
    r.tokens = tokenizeSql(std::string_view(utf8.constData(), std::size_t(utf8.size())));
    const QByteArray prefixed = withRowId(utf8, r.tokens);
    if (!prefixed.isEmpty()) {
        try {
            r.statement = prepare(db, prefixed);
            r.hasRowId = true;
        } catch (const DbError &) {
            // Not a single-table statement after all: read it without row ids.
        }
    }
    if (!r.statement)
        r.statement = prepare(db, utf8);
    sqlite3_stmt *s = r.statement.get();

    const int first = r.hasRowId ? 1 : 0;
    const int columnCount = sqlite3_column_count(s);
    if (columnCount <= first)
        throw DbError(QStringLiteral("语句没有返回字段"));

    if (!persistent.empty()) {
        for (const PersistentField &pf : persistent) {
            int found = -1;
            for (int c = first; c < columnCount && found < 0; ++c) {
                if (columnText(sqlite3_column_name(s, c)).compare(pf.name, Qt::CaseInsensitive) == 0)
                    found = c;
            }
            if (found < 0)
                throw DbError(QStringLiteral("找不到字段：%1").arg(pf.name));
            r.sources.push_back(found);
            r.infos.push_back({pf.name, pf.type});
            r.sizes.push_back(pf.size);
            r.labels.push_back(pf.displayLabel);
        }
    } else {
        for (int c = first; c < columnCount; ++c) {
            const QString decl = columnText(sqlite3_column_decltype(s, c));
            r.sources.push_back(c);
            r.infos.push_back({columnText(sqlite3_column_name(s, c)), fieldTypeFromDeclaration(decl)});
            r.sizes.push_back(declaredSize(decl));
            r.labels.push_back(QString());
        }
    }

    // Rows can be written back only when every field is a column of the row-id's table.
    QString table = r.hasRowId ? columnText(sqlite3_column_table_name(s, 0)) : QString();
    for (int c : r.sources) {
        const QString columnTable = columnText(sqlite3_column_table_name(s, c));
        if (columnTable.compare(table, Qt::CaseInsensitive) != 0)
            table.clear();
        r.origins.push_back(columnText(sqlite3_column_origin_name(s, c)));
    }
    r.table = table;
    return r;
}

ResultRows readResult(sqlite3 *db, PreparedResult &prepared)
{
    const bool updatable = !prepared.table.isEmpty();
    auto store = std::make_shared<ColumnStore>(prepared.infos);
    const int rc = SnapshotLoader(prepared.statement.get(), prepared.sources, updatable ? 0 : -1).run(*store);
    if (rc != SQLITE_DONE)
        throw DbError(lastError(db));
    store->finishLoading();
    ResultRows rows;
    rows.store = std::move(store);
    return rows;
}

} // namespace platform::db::detail
