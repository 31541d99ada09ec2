#include "platform/db/DbQuery.h"

#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"
#include "platform/db/SnapshotLoader.h"
#include "platform/db/SqlTokenizer.h"
#include "platform/db/SqliteHandle.h"

#include <QRegularExpression>

namespace platform::db {

namespace {

const char kRowIdAlias[] = "velmora_rowid_";

// Only a plain SELECT of one table can name the rows it returns, so only
// such a statement gets the row id put in front of its columns. The words
// are read from the statement's tokens: inside a quoted value, a quoted
// name or a comment they are no keywords.
QByteArray withRowId(const QByteArray &utf8)
{
    const std::vector<SqlToken> tokens =
        tokenizeSql(std::string_view(utf8.constData(), std::size_t(utf8.size())));
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

QString quotedName(QString name)
{
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

} // namespace

DbQuery::DbQuery(QObject *parent) : QObject(parent) {}

DbQuery::~DbQuery()
{
    if (active())
        closeDiscarding();
    if (m_connection)
        m_connection->detach(this);
}

void DbQuery::setConnection(DbConnection *connection)
{
    if (connection == m_connection)
        return;
    closeDiscarding();
    if (m_connection)
        m_connection->detach(this);
    m_connection = connection;
    if (m_connection)
        m_connection->attach(this);
}

void DbQuery::connectionClosing()
{
    closeDiscarding();
}

void DbQuery::connectionGone()
{
    closeDiscarding();
    m_connection = nullptr;
}

QString DbQuery::sqlText() const
{
    QString text;
    for (const QString &line : m_sql)
        text += line + QLatin1String("\r\n");
    return text;
}

void DbQuery::setSqlText(const QString &text)
{
    // Closing first: when what was typed cannot be posted, the statement
    // stays and so does the text.
    close();
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (normalized.endsWith(QLatin1Char('\n')))
        normalized.chop(1);
    m_sql = normalized.isEmpty() && text.isEmpty() ? QStringList() : normalized.split(QLatin1Char('\n'));
}

void DbQuery::addPersistentField(const PersistentField &field)
{
    m_persistent.push_back(field);
}

void DbQuery::setActive(bool on)
{
    if (on == active())
        return;
    if (on) {
        load();
        return;
    }
    if (m_pending && !postQuietly())
        throw DbError(QStringLiteral("当前记录未能保存"));
    release();
}

void DbQuery::closeDiscarding()
{
    if (!active())
        return;
    if (m_pending) {
        try {
            post();
        } catch (const DbError &e) {
            cancel();
            if (editDiscardedHandler)
                editDiscardedHandler(e.message());
        }
    }
    release();
}

void DbQuery::release()
{
    m_pending.reset();
    m_store.reset();
    m_fields.clear();
    m_rowIds.clear();
    m_visible.clear();
    m_filterActive = false;
    m_current = -1;
    emit dataReset();
    emit currentRowChanged(-1);
}

void DbQuery::load()
{
    if (!m_connection || !m_connection->connected())
        throw DbError(QStringLiteral("数据库未连接"));
    const QString text = m_sql.join(QLatin1Char('\n'));
    if (text.trimmed().isEmpty())
        throw DbError(QStringLiteral("SQL 语句为空"));
    const QByteArray utf8 = text.toUtf8();
    sqlite3 *db = m_connection->handle();

    detail::Statement stmt;
    bool hasRowId = false;
    const QByteArray prefixed = withRowId(utf8);
    if (!prefixed.isEmpty()) {
        try {
            stmt = detail::prepare(db, prefixed);
            hasRowId = true;
        } catch (const DbError &) {
            // Not a single-table statement after all: read it without row ids.
        }
    }
    if (!stmt)
        stmt = detail::prepare(db, utf8);
    sqlite3_stmt *s = stmt.get();

    const int first = hasRowId ? 1 : 0;
    const int columnCount = sqlite3_column_count(s);
    if (columnCount <= first)
        throw DbError(QStringLiteral("语句没有返回字段"));

    // Which result column feeds each field, and the field's description.
    std::vector<int> source;
    std::vector<ColumnStore::ColumnInfo> infos;
    std::vector<int> sizes;
    std::vector<QString> labels;
    if (!m_persistent.empty()) {
        for (const PersistentField &pf : m_persistent) {
            int found = -1;
            for (int c = first; c < columnCount && found < 0; ++c) {
                if (columnText(sqlite3_column_name(s, c)).compare(pf.name, Qt::CaseInsensitive) == 0)
                    found = c;
            }
            if (found < 0)
                throw DbError(QStringLiteral("找不到字段：%1").arg(pf.name));
            source.push_back(found);
            infos.push_back({pf.name, pf.type});
            sizes.push_back(pf.size);
            labels.push_back(pf.displayLabel);
        }
    } else {
        for (int c = first; c < columnCount; ++c) {
            const QString decl = columnText(sqlite3_column_decltype(s, c));
            source.push_back(c);
            infos.push_back({columnText(sqlite3_column_name(s, c)), fieldTypeFromDeclaration(decl)});
            sizes.push_back(declaredSize(decl));
            labels.push_back(QString());
        }
    }

    // Rows can be written back only when every field is a column of the row-id's table.
    QString table = hasRowId ? columnText(sqlite3_column_table_name(s, 0)) : QString();
    std::vector<QString> origins;
    for (int c : source) {
        const QString columnTable = columnText(sqlite3_column_table_name(s, c));
        if (columnTable.compare(table, Qt::CaseInsensitive) != 0)
            table.clear();
        origins.push_back(columnText(sqlite3_column_origin_name(s, c)));
    }
    const bool updatable = !table.isEmpty();

    auto store = std::make_unique<ColumnStore>(infos);
    std::vector<std::int64_t> rowIds;
    const int fieldCount = int(source.size());
    const int rc = detail::SnapshotLoader(s, source, updatable ? 0 : -1).run(*store, rowIds);
    if (rc != SQLITE_DONE)
        throw DbError(detail::lastError(db));
    store->squeeze();
    rowIds.shrink_to_fit();

    m_store = std::move(store);
    m_rowIds = std::move(rowIds);
    m_table = updatable ? table : QString();
    m_columnNames = std::move(origins);
    m_fields.clear();
    for (int f = 0; f < fieldCount; ++f) {
        m_fields.push_back(std::make_unique<DbField>(this, f, infos[f].name, infos[f].type, sizes[f]));
        if (!labels[f].isEmpty())
            m_fields.back()->setDisplayLabel(labels[f]);
    }
    try {
        applyFilter();
    } catch (const DbError &) {
        // A filter that no longer fits the new fields shows every row.
        m_filterActive = false;
        m_visible.clear();
    }
    m_current = recordCount() > 0 ? 0 : -1;
    emit dataReset();
    emit currentRowChanged(m_current);
}

int DbQuery::recordCount() const
{
    if (!m_store)
        return 0;
    return m_filterActive ? int(m_visible.size()) : m_store->rowCount();
}

DbField *DbQuery::field(int index) const
{
    return index >= 0 && index < fieldCount() ? m_fields[index].get() : nullptr;
}

DbField *DbQuery::findField(const QString &name) const
{
    for (const auto &f : m_fields) {
        if (f->fieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    }
    return nullptr;
}

DbField *DbQuery::fieldByName(const QString &name) const
{
    DbField *f = findField(name);
    if (!f)
        throw DbError(QStringLiteral("找不到字段：%1").arg(name));
    return f;
}

bool DbQuery::setCurrentRow(int row)
{
    if (!m_store)
        return false;
    const int count = recordCount();
    if (count == 0)
        return false;
    row = std::clamp(row, 0, count - 1);
    if (row == m_current)
        return true;
    if (m_pending && !postQuietly())
        return false;
    m_current = row;
    emit currentRowChanged(row);
    return true;
}

QString DbQuery::cellText(int row, int field) const
{
    if (!m_store || row < 0 || row >= recordCount() || field < 0 || field >= fieldCount())
        return QString();
    return m_store->displayText(storeRow(row), field);
}

bool DbQuery::cellIsNull(int row, int field) const
{
    if (!m_store || row < 0 || row >= recordCount() || field < 0 || field >= fieldCount())
        return true;
    return m_store->isNull(storeRow(row), field);
}

void DbQuery::setFilter(const QString &text)
{
    if (text == m_filterText)
        return;
    const QString old = m_filterText;
    m_filterText = text;
    if (m_filtered)
        refilter([&] { m_filterText = old; });
}

void DbQuery::setFiltered(bool on)
{
    if (on == m_filtered)
        return;
    m_filtered = on;
    refilter([&] { m_filtered = !on; });
}

void DbQuery::refilter(const std::function<void()> &undo)
{
    if (!m_store)
        return;
    try {
        if (m_pending && !postQuietly())
            throw DbError(QStringLiteral("当前记录未能保存"));
        applyFilter();
    } catch (...) {
        undo();
        throw;
    }
    m_current = recordCount() > 0 ? 0 : -1;
    emit dataReset();
    emit currentRowChanged(m_current);
}

void DbQuery::applyFilter()
{
    if (!m_filtered || m_filterText.trimmed().isEmpty() || !m_store) {
        m_filterActive = false;
        m_visible.clear();
        return;
    }
    std::vector<int> rows = RowFilter::parse(m_filterText).matchingRows(*m_store);
    m_visible = std::move(rows);
    m_filterActive = true;
}

void DbQuery::setFieldText(int field, const QString &text)
{
    if (!m_store || m_current < 0 || field < 0 || field >= fieldCount())
        throw DbError(QStringLiteral("没有可编辑的当前记录"));
    const int row = storeRow(m_current);
    if (m_pending && (m_pending->storeRow != row || m_pending->field != field))
        post();
    if (!m_pending) {
        Pending p{row, field, std::nullopt};
        if (!m_store->isNull(row, field))
            p.original = m_store->displayText(row, field).toStdString();
        m_pending = p;
    }
    const QByteArray utf8 = text.toUtf8();
    const std::string_view typed(utf8.constData(), std::size_t(utf8.size()));
    // Typing the old value back leaves nothing to post.
    if (m_pending->original ? *m_pending->original == typed : typed.empty()) {
        cancel();
        return;
    }
    m_store->setText(row, field, typed);
    emit rowChanged(m_current);
}

void DbQuery::post()
{
    if (!m_pending)
        return;
    if (m_table.isEmpty() || m_rowIds.empty() || !m_connection || !m_connection->connected())
        throw DbError(QStringLiteral("该查询结果不能修改"));
    const Pending &p = *m_pending;
    const QString column =
        m_columnNames[p.field].isEmpty() ? m_fields[p.field]->fieldName() : m_columnNames[p.field];
    sqlite3 *db = m_connection->handle();
    detail::Statement stmt = detail::prepare(
        db,
        QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?").arg(quotedName(m_table), quotedName(column)));
    const QByteArray value = m_store->displayText(p.storeRow, p.field).toUtf8();
    if (m_store->isNull(p.storeRow, p.field))
        sqlite3_bind_null(stmt.get(), 1);
    else if (m_store->isNumeric(p.field))
        sqlite3_bind_double(stmt.get(), 1, m_store->number(p.storeRow, p.field));
    else
        sqlite3_bind_text(stmt.get(), 1, value.constData(), int(value.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(stmt.get(), 2, m_rowIds[p.storeRow]);
    if (sqlite3_step(stmt.get()) != SQLITE_DONE)
        throw DbError(detail::lastError(db));
    if (sqlite3_changes(db) != 1)
        throw DbError(QStringLiteral("找不到要更新的记录"));
    m_pending.reset();
}

void DbQuery::cancel()
{
    if (!m_pending)
        return;
    const Pending p = *m_pending;
    m_pending.reset();
    if (p.original)
        m_store->setText(p.storeRow, p.field, *p.original);
    else
        m_store->setNull(p.storeRow, p.field);
    if (m_current >= 0 && storeRow(m_current) == p.storeRow)
        emit rowChanged(m_current);
}

bool DbQuery::postQuietly()
{
    try {
        post();
        return true;
    } catch (const DbError &e) {
        reportPostError(e.message());
        return false;
    }
}

void DbQuery::reportPostError(const QString &message)
{
    if (postErrorHandler)
        postErrorHandler(message);
}

void DbQuery::fieldDisplayChanged(int field)
{
    emit fieldDisplayChangedSignal(field);
}

} // namespace platform::db
