#include "platform/db/DbQuery.h"

#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"
#include "platform/db/KeptEditsStore.h"
#include "platform/db/QuotedName.h"
#include "platform/db/ResultReader.h"
#include "platform/db/SnapshotAnswer.h"
#include "platform/db/SqliteHandle.h"
#include "platform/db/TableSnapshot.h"
#include "store/SortKeys.h"
#include "store/TableSearch.h"

#include <algorithm>

namespace platform::db {

DbQuery::DbQuery(QObject *parent) : QObject(parent), m_sortKeys(std::make_unique<SortKeys>()) {}

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
    if (m_connection) {
        m_connection->detach(this);
        disconnect(m_connection, nullptr, this, nullptr);
    }
    m_connection = connection;
    if (m_connection) {
        m_connection->attach(this);
        connect(m_connection, &DbConnection::loadProgressed, this, &DbQuery::takeInRows);
        connect(m_connection, &DbConnection::leadingRowsRead, this, &DbQuery::showLeadingRows);
    }
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
    endPending();
    m_lastSearch.reset();
    m_lastMatches = {};
    m_spareMatches = {};
    m_remembered.clear();
    m_store.reset();
    m_held.reset();
    m_leadingFor.reset();
    m_fromSnapshot = false;
    m_columns.clear();
    m_rows.clear();
    m_allRows = true;
    m_seenRows = 0;
    m_condition.reset();
    m_fields.clear();
    m_table.clear();
    m_columnNames.clear();
    m_visible.clear();
    m_filterActive = false;
    m_order.clear();
    m_sortActive = false;
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
    std::shared_ptr<ColumnStore> store;
    std::shared_ptr<TableSnapshot> held;
    std::vector<int> columns;
    std::vector<int> rows;
    bool allRows = true;
    int seenRows = 0;
    std::shared_ptr<const RowPredicate> condition;
    std::optional<SnapshotAnswer> answer;
    detail::PreparedResult prepared;
    {
        // The signals at the end may lead to other statements: the handle is let go before.
        const DbConnection::Use use(*m_connection);
        sqlite3 *db = m_connection->handle();
        const DatabaseStamp stamp = DatabaseStamp::of(db);
        prepared = detail::prepareResult(db, text.toUtf8(), m_persistent);
        answer = answerFromSnapshot(*m_connection, prepared);
        if (answer) {
            held = answer->snapshot;
            store = held->store();
            columns = std::move(answer->columns);
            rows = std::move(answer->rows);
            allRows = answer->allRows;
            seenRows = answer->rowsSeen;
            condition = std::move(answer->condition);
        } else {
            detail::ResultRows read = detail::readResult(db, prepared);
            store = read.store;
            seenRows = store->rowCount();
            for (int f = 0; f < int(prepared.sources.size()); ++f)
                columns.push_back(f);
            // A whole table read in table order serves later statements on it.
            held = TableSnapshot::fromResult(db, prepared, read, stamp);
            if (held)
                m_connection->holdSnapshot(held);
        }
        prepared.statement.reset();
    }

    m_fromSnapshot = answer.has_value();
    m_leadingFor.reset();
    m_store = std::move(store);
    m_held = std::move(held);
    m_columns = std::move(columns);
    m_rows = std::move(rows);
    m_allRows = allRows;
    m_seenRows = seenRows;
    m_condition = std::move(condition);
    // A snapshot still loading may have no rows, and so no row ids, yet.
    m_table = m_fromSnapshot || m_store->hasRowIds() ? prepared.table : QString();
    m_columnNames = prepared.origins;
    m_fields.clear();
    for (int f = 0; f < int(prepared.infos.size()); ++f) {
        const ColumnStore::ColumnInfo &info = prepared.infos[std::size_t(f)];
        m_fields.push_back(
            std::make_unique<DbField>(this, f, info.name, info.type, prepared.sizes[std::size_t(f)]));
        if (!prepared.labels[std::size_t(f)].isEmpty())
            m_fields.back()->setDisplayLabel(prepared.labels[std::size_t(f)]);
    }
    try {
        applyFilter();
    } catch (const DbError &) {
        // A filter that no longer fits the new fields shows every row.
        m_filterActive = false;
        m_visible.clear();
    }
    applySort();
    m_current = recordCount() > 0 ? 0 : -1;
    emit dataReset();
    emit currentRowChanged(m_current);
    showLeadingRows();
    if (!loading())
        takeAnswerMemory();
}

bool DbQuery::loading() const
{
    return m_store && (m_leadingFor || !m_store->loadingFinished() ||
                       (m_held && m_held->store() == m_store && m_seenRows < m_store->rowCount()));
}

void DbQuery::showLeadingRows()
{
    // Only a result of every row in the table's order begins with them.
    if (!m_store || m_leadingFor || !m_fromSnapshot || !m_allRows || m_condition || m_seenRows > 0 ||
        !m_held || m_held->store() != m_store || m_pending || !m_connection)
        return;
    std::shared_ptr<ColumnStore> leading = m_connection->leadingRows(m_held.get());
    if (!leading || leading->rowCount() == 0)
        return;
    m_leadingFor = std::exchange(m_store, std::move(leading));
    m_seenRows = m_store->rowCount();
    if (m_filterActive) {
        try {
            RowBits candidates = allRows(m_seenRows);
            if (filterOn())
                candidates = filterRows(candidates);
            m_visible = m_search ? searchRows(candidates) : rowList(candidates);
            m_searchPartial = m_search != nullptr;
        } catch (const DbError &) {
            // The filter read when it was set; it reads the same now.
        }
    }
    if (const int count = recordCount(); count > 0) {
        emit rowsAppended(0, count - 1);
        m_current = 0;
        emit currentRowChanged(0);
    }
}

int DbQuery::resultRowCount() const
{
    return m_allRows ? m_seenRows : int(m_rows.size());
}

void DbQuery::takeInRows()
{
    if (m_leadingFor) {
        // The snapshot holds the same first rows once it has as many; the
        // result goes on from there.
        if (m_leadingFor->rowCount() < m_seenRows && !m_leadingFor->loadingFinished())
            return;
        m_store = std::exchange(m_leadingFor, nullptr);
        if (m_store->rowCount() < m_seenRows) {
            // The reading ended short of them (it failed): what it read is the result.
            m_seenRows = 0;
            m_visible.clear();
            m_current = -1;
            emit dataReset();
            emit currentRowChanged(-1);
        }
    }
    if (!m_store || !m_held || m_held->store() != m_store)
        return;
    const int seen = m_store->rowCount();
    const bool grew = seen > m_seenRows;
    const int before = recordCount();
    if (grew) {
        const int resultBefore = resultRowCount();
        const RowBits fresh = rowRange(m_seenRows, seen);
        if (!m_allRows) {
            const RowBits kept =
                m_condition ? m_condition->evaluate(*m_store, snapshotColumns(m_held), fresh) : fresh;
            const std::vector<int> more = rowList(kept, m_seenRows);
            m_rows.insert(m_rows.end(), more.begin(), more.end());
        }
        m_seenRows = seen;
        if (m_filterActive) {
            try {
                RowBits candidates =
                    m_allRows ? fresh
                              : rowBits(std::vector<int>(m_rows.begin() + resultBefore, m_rows.end()), seen);
                if (filterOn())
                    candidates = filterRows(candidates);
                const std::vector<int> more =
                    m_search ? rowList(m_search->run(*m_store, searchColumns(), candidates).rows)
                             : rowList(candidates);
                m_visible.insert(m_visible.end(), more.begin(), more.end());
            } catch (const DbError &) {
                // The filter read when it was set; it reads the same now.
            }
        }
    }
    if (!loading())
        takeAnswerMemory();
    const int after = recordCount();
    if (m_sortActive && after > before) {
        // Rows that came in after the sort (the last of a list whose end
        // was being read as it was sorted): the whole order is made again.
        const int current = m_current >= 0 ? storeRow(m_current) : -1;
        m_sortKeys->forgetAll();
        try {
            m_order = sortedRows(parseSortText(m_sortText));
        } catch (const DbError &) {
            m_sortText.clear();
            m_sortActive = false;
            m_order.clear();
        }
        m_current = rowOfStoreRow(current);
        emit dataReset();
        emit currentRowChanged(m_current);
        return;
    }
    if (after > before) {
        emit rowsAppended(before, after - 1);
        if (m_current < 0) {
            m_current = 0;
            emit currentRowChanged(0);
        }
    }
    // A search made while the result was coming in puts its rows in order
    // once it is whole (the names' matches first).
    if (m_searchPartial && !loading()) {
        const int current = m_current >= 0 ? storeRow(m_current) : -1;
        try {
            applyFilter();
            applySort();
        } catch (const DbError &) {
            // The filter read when it was set; it reads the same now.
        }
        m_current = rowOfStoreRow(current);
        emit dataReset();
        emit currentRowChanged(m_current);
        return;
    }
    // A sort asked for while the result was still coming in orders it once
    // it is whole.
    if (!m_sortActive && !loading() && !m_sortText.trimmed().isEmpty()) {
        try {
            reorder(sortedRows(parseSortText(m_sortText)), true);
        } catch (const DbError &) {
            m_sortText.clear();
        }
    }
}

int DbQuery::recordCount() const
{
    if (!m_store)
        return 0;
    return m_filterActive ? int(m_visible.size()) : resultRowCount();
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
    return m_store->displayText(storeRow(row), storeColumn(field));
}

bool DbQuery::cellIsNull(int row, int field) const
{
    if (!m_store || row < 0 || row >= recordCount() || field < 0 || field >= fieldCount())
        return true;
    return m_store->isNull(storeRow(row), storeColumn(field));
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
        applySort();
    } catch (...) {
        undo();
        throw;
    }
    m_current = recordCount() > 0 ? 0 : -1;
    emit dataReset();
    emit currentRowChanged(m_current);
}

bool DbQuery::filterOn() const
{
    return m_filtered && !m_filterText.trimmed().isEmpty();
}

void DbQuery::applyFilter()
{
    m_searchPartial = false;
    if ((!filterOn() && !m_search) || !m_store) {
        m_filterActive = false;
        m_visible.clear();
        return;
    }
    RowBits candidates = m_allRows ? allRows(m_seenRows) : rowBits(m_rows, m_seenRows);
    if (filterOn())
        candidates = filterRows(candidates);
    m_visible = m_search ? searchRows(candidates) : rowList(candidates);
    m_searchPartial = m_search && loading();
    m_filterActive = true;
}

RowBits DbQuery::filterRows(const RowBits &candidates) const
{
    const auto columnOf = [this](const QString &name) {
        const DbField *f = findField(name);
        return f ? storeColumn(f->index()) : -1;
    };
    return RowFilter::parse(m_filterText).matchingRows(*m_store, columnOf, candidates);
}

std::vector<SearchColumn> DbQuery::searchColumns() const
{
    std::vector<SearchColumn> columns;
    for (const SearchField &f : m_searchFields)
        if (const DbField *field = findField(f.name))
            columns.push_back({storeColumn(field->index()), f.pinyin, f.isName});
    return columns;
}

void DbQuery::takeAnswerMemory()
{
    if (!m_searchedAsTyped)
        return;
    // A bitmap of the rows found first in each column at most: the fields
    // searched are among the result's.
    const std::size_t words = (std::size_t(m_seenRows) + 63) / 64;
    const std::size_t columns = m_fields.size();
    if (m_spareMatches.rows.size() == words && m_spareMatches.firstFoundIn.size() >= columns)
        return; // taken already
    // The answer of the next search is written over the spare; the one
    // after it over the last (the spare then), unless a search is held.
    m_spareMatches = TableSearch::Matches::writtenOnce(words, columns);
    if (!m_lastSearch)
        m_lastMatches = TableSearch::Matches::writtenOnce(words, columns);
}

std::vector<int> DbQuery::searchRows(const RowBits &candidates)
{
    const std::vector<SearchColumn> columns = searchColumns();
    // The rows, their edits and the candidates as at the search before.
    const bool sameRows =
        m_lastSearch && m_lastEditCount == m_store->editCount() && m_lastCandidates == candidates;
    if (!sameRows || m_lastColumns != columns)
        m_remembered.clear();
    const auto remembered =
        std::find_if(m_remembered.begin(), m_remembered.end(),
                     [&](const RememberedAnswer &a) { return a.query == m_search->query(); });
    const bool known = remembered != m_remembered.end();
    TableSearch::Matches found;
    if (known) {
        // The answer as it was, its memory the spare's; not which column
        // found each row (no first columns), which typing on from it then
        // does without.
        found = std::exchange(m_spareMatches, {});
        found.rows = remembered->rows;
        found.names = remembered->names;
        found.firstColumns = 0;
    } else {
        RowBits asked = candidates;
        const bool narrows = sameRows && m_search->narrows(*m_lastSearch);
        if (narrows)
            for (std::size_t w = 0; w < asked.size(); ++w)
                asked[w] &= m_lastMatches.rows[w];
        const bool typedOn = narrows && m_lastColumns == columns && m_search->typedOn(*m_lastSearch);
        found = m_search->run(*m_store, columns, asked, typedOn ? &m_lastMatches : nullptr,
                              std::exchange(m_spareMatches, {}));
        // Kept in the memory of the oldest answer kept, when there are enough.
        RememberedAnswer answer;
        if (m_remembered.size() >= kRememberedAnswers) {
            answer = std::move(m_remembered.front());
            m_remembered.pop_front();
        }
        answer.query = m_search->query();
        answer.rows = found.rows;
        answer.names = found.names;
        m_remembered.push_back(std::move(answer));
    }
    // The companies whose names match first, then the others, written over
    // the list before (which this one replaces): a long answer then takes
    // no fresh memory, which costs more than the writing.
    std::vector<int> list = rowList(found.names, found.rows, std::exchange(m_visible, {}));
    m_lastSearch = m_search;
    m_lastEditCount = m_store->editCount();
    m_lastCandidates = candidates;
    m_lastColumns = columns;
    m_spareMatches = std::exchange(m_lastMatches, std::move(found));
    return list;
}

QList<QPair<int, int>> DbQuery::searchHighlights(int field, const QString &text) const
{
    QList<QPair<int, int>> ranges;
    const DbField *f = this->field(field);
    if (!m_search || !f || text.isEmpty())
        return ranges;
    const auto it = std::find_if(m_searchFields.begin(), m_searchFields.end(), [&](const SearchField &s) {
        return s.name.compare(f->fieldName(), Qt::CaseInsensitive) == 0;
    });
    if (it == m_searchFields.end())
        return ranges;
    const std::vector<CharSpan> spans = m_search->spans(text.toStdString(), it->pinyin);
    if (spans.empty())
        return ranges;
    // Characters to UTF-16 units: a character beyond the BMP takes two.
    std::vector<int> unitOf;
    unitOf.reserve(std::size_t(text.size()) + 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        unitOf.push_back(int(i));
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    unitOf.push_back(int(text.size()));
    for (const CharSpan &s : spans) {
        if (s.second >= int(unitOf.size()))
            break;
        ranges.append(
            {unitOf[std::size_t(s.first)], unitOf[std::size_t(s.second)] - unitOf[std::size_t(s.first)]});
    }
    return ranges;
}

void DbQuery::setSearch(std::shared_ptr<const TableSearch> search, std::vector<SearchField> fields)
{
    // The box emptied: the answers of the words typed before go with them.
    if (!search)
        m_remembered.clear();
    std::shared_ptr<const TableSearch> oldSearch = std::move(m_search);
    std::vector<SearchField> oldFields = std::move(m_searchFields);
    m_search = std::move(search);
    m_searchFields = std::move(fields);
    refilter([&] {
        m_search = std::move(oldSearch);
        m_searchFields = std::move(oldFields);
    });
}

void DbQuery::setSort(const QString &text)
{
    const std::vector<SortTerm> terms = parseSortText(text);
    if (!m_store) {
        m_sortText = text;
        return;
    }
    for (const SortTerm &term : terms)
        fieldByName(term.field);
    if (loading()) {
        // Ordering part of the rows would have to be done again for every
        // chunk that comes: the rows stay in the result's order until the
        // whole result is in, then are sorted once (takeInRows).
        m_sortText = text;
        if (m_sortActive)
            reorder({}, false);
        return;
    }
    std::vector<int> order = sortedRows(terms);
    m_sortText = text;
    reorder(std::move(order), !terms.empty());
}

int DbQuery::rowOfStoreRow(int storeRowIndex) const
{
    if (storeRowIndex < 0)
        return recordCount() > 0 ? 0 : -1;
    for (int row = 0; row < recordCount(); ++row) {
        if (storeRow(row) == storeRowIndex)
            return row;
    }
    return recordCount() > 0 ? 0 : -1;
}

void DbQuery::reorder(std::vector<int> order, bool active)
{
    const int current = m_current >= 0 ? storeRow(m_current) : -1;
    emit rowsAboutToBeReordered();
    m_sortActive = active;
    m_order = active ? std::move(order) : std::vector<int>();
    m_current = rowOfStoreRow(current);
    emit rowsReordered();
    emit currentRowChanged(m_current);
}

std::vector<SortTerm> DbQuery::sortTerms() const
{
    // A sort waiting for the rest of the result does not order the rows yet.
    if (!m_sortActive)
        return {};
    try {
        return parseSortText(m_sortText);
    } catch (const DbError &) {
        return {};
    }
}

std::vector<int> DbQuery::sortedRows(const std::vector<SortTerm> &terms)
{
    std::vector<SortColumn> columns;
    for (const SortTerm &term : terms)
        columns.push_back(
            {&m_sortKeys->places(m_store, storeColumn(fieldByName(term.field)->index())), term.descending});
    std::vector<int> rows;
    if (columns.empty())
        return rows;
    const int count = m_filterActive ? int(m_visible.size()) : resultRowCount();
    rows.reserve(std::size_t(count));
    for (int row = 0; row < count; ++row)
        rows.push_back(m_filterActive ? m_visible[std::size_t(row)]
                                      : (m_allRows ? row : m_rows[std::size_t(row)]));
    orderRows(rows, columns);
    return rows;
}

void DbQuery::applySort()
{
    m_sortActive = false;
    m_order.clear();
    if (!m_store || m_sortText.trimmed().isEmpty())
        return;
    try {
        const std::vector<SortTerm> terms = parseSortText(m_sortText);
        for (const SortTerm &term : terms)
            fieldByName(term.field);
        // A result still coming in is sorted once it is whole (takeInRows).
        if (loading())
            return;
        m_order = sortedRows(terms);
        m_sortActive = true;
    } catch (const DbError &) {
        // A sort by a field the new result lacks is dropped.
        m_sortText.clear();
    }
}

void DbQuery::setFieldText(int field, const QString &text)
{
    if (!m_store || m_current < 0 || field < 0 || field >= fieldCount())
        throw DbError(QStringLiteral("没有可编辑的当前记录"));
    // An edit belongs in the snapshot's store, which the leading rows only stand in for.
    if (m_leadingFor)
        throw DbError(QStringLiteral("数据正在载入，请稍后再修改"));
    const int row = storeRow(m_current);
    const int column = storeColumn(field);
    if (m_pending && (m_pending->storeRow != row || m_pending->field != field))
        post();
    if (!m_pending) {
        Pending p{row, field, std::nullopt};
        if (!m_store->isNull(row, column))
            p.original = m_store->displayText(row, column).toStdString();
        startPending(std::move(p));
    }
    const QByteArray utf8 = text.toUtf8();
    const std::string_view typed(utf8.constData(), std::size_t(utf8.size()));
    // Typing the old value back leaves nothing to post.
    if (m_pending->original ? *m_pending->original == typed : typed.empty()) {
        cancel();
        return;
    }
    m_store->setText(row, column, typed);
    m_sortKeys->forget(column);
    emit rowChanged(m_current);
}

void DbQuery::post()
{
    if (!m_pending)
        return;
    if (m_table.isEmpty() || !m_connection || !m_connection->connected())
        throw DbError(QStringLiteral("该查询结果不能修改"));
    const Pending &p = *m_pending;
    const int column = storeColumn(p.field);
    const QString name = m_columnNames[std::size_t(p.field)].isEmpty() ? m_fields[p.field]->fieldName()
                                                                       : m_columnNames[std::size_t(p.field)];
    // An edit of a column whose edits are kept is written together with
    // its record in the side file, in one transaction: both or neither.
    const KeptEditsSettings &kept = m_connection->keptEdits();
    const bool keep = kept.covers(m_table, name);
    if (keep && !m_connection->keepingEdits())
        throw DbError(QStringLiteral("修改记录文件不能读写：%1").arg(m_connection->keptEditsError()));
    const DbConnection::Use use(*m_connection);
    sqlite3 *db = m_connection->handle();
    detail::Statement stmt = detail::prepare(
        db,
        QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?").arg(quotedName(m_table), quotedName(name)));
    const QByteArray value = m_store->displayText(p.storeRow, column).toUtf8();
    if (m_store->isNull(p.storeRow, column))
        sqlite3_bind_null(stmt.get(), 1);
    else if (m_store->isNumeric(column))
        sqlite3_bind_double(stmt.get(), 1, m_store->number(p.storeRow, column));
    else
        sqlite3_bind_text(stmt.get(), 1, value.constData(), int(value.size()), SQLITE_TRANSIENT);
    const std::int64_t rowId = m_store->rowId(p.storeRow);
    sqlite3_bind_int64(stmt.get(), 2, rowId);
    const DatabaseStamp before = DatabaseStamp::of(db);
    {
        std::optional<detail::Transaction> transaction;
        QStringList key;
        if (keep) {
            transaction.emplace(db);
            key = detail::keepEditBefore(db, kept, rowId);
        }
        if (sqlite3_step(stmt.get()) != SQLITE_DONE)
            throw DbError(detail::lastError(db));
        if (sqlite3_changes(db) != 1)
            throw DbError(QStringLiteral("找不到要更新的记录"));
        if (keep) {
            detail::keepEditAfter(db, kept, rowId, key);
            transaction->commit();
        }
    }
    // The held snapshot whose store took the typed text now matches the file again.
    if (m_held)
        m_held->notePost(before, DatabaseStamp::of(db));
    endPending();
}

void DbQuery::cancel()
{
    if (!m_pending)
        return;
    const Pending p = *m_pending;
    endPending();
    const int column = storeColumn(p.field);
    if (p.original)
        m_store->setText(p.storeRow, column, *p.original);
    else
        m_store->setNull(p.storeRow, column);
    m_sortKeys->forget(column);
    if (m_current >= 0 && storeRow(m_current) == p.storeRow)
        emit rowChanged(m_current);
}

void DbQuery::startPending(Pending pending)
{
    m_pending = std::move(pending);
    if (m_held)
        m_held->editStarted();
}

void DbQuery::endPending()
{
    if (m_pending && m_held)
        m_held->editEnded();
    m_pending.reset();
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
