#pragma once

#include "platform/db/DbField.h"
#include "platform/db/PersistentField.h"
#include "platform/db/RowFilter.h"
#include "platform/db/RowSort.h"
#include "platform/db/StoreNames.h"
#include "store/ColumnStore.h"
#include "store/RowPredicate.h"
#include "store/TableSearch.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace store {
class SortKeys;
} // namespace store

namespace platform::db {

class DbConnection;
class TableSnapshot;

// A query with a static cursor: opening runs the statement once and keeps
// the complete result as a snapshot; a row filter narrows the rows shown
// without running the statement again. Text typed into a bound control
// changes the current row and is posted back to the row it came from when
// the current row moves, and before the query closes.
//
// A statement that reads a whole table leaves its rows with the connection
// as that table's snapshot. A later statement on the table that only picks
// columns and compares them with literals (see SnapshotSelect) is then
// answered from those rows, in milliseconds, with exactly the rows, order
// and fields the database engine would give; any other statement, or a
// snapshot the database no longer matches, goes to the engine.
class DbQuery : public QObject
{
    Q_OBJECT
public:
    using PersistentField = platform::db::PersistentField;

    explicit DbQuery(QObject *parent = nullptr);
    ~DbQuery() override;

    DbConnection *connection() const { return m_connection; }
    void setConnection(DbConnection *connection);

    // The statement, held as a list of lines. Reading the text gives every
    // line followed by CR LF. Setting it closes the query.
    QStringList sql() const { return m_sql; }
    QString sqlText() const;
    void setSqlText(const QString &text);

    void addPersistentField(const PersistentField &field);
    const std::vector<PersistentField> &persistentFields() const { return m_persistent; }

    bool active() const { return m_store != nullptr; }
    // Opening runs the statement (throws DbError; the query stays closed);
    // closing posts what was typed and drops the snapshot. When what was
    // typed cannot be posted, closing throws DbError and the query stays
    // open with the typed text (setting the SQL text then keeps the old
    // statement too): it is kept until it is posted or cancel() drops it.
    void setActive(bool on);
    void open() { setActive(true); }
    void close() { setActive(false); }

    // The rows the result is drawn from, before the row filter; nullptr
    // while closed. For a result answered from a table snapshot this is the
    // snapshot's store, which may hold more rows and columns than the result.
    const ColumnStore *snapshot() const { return m_store.get(); }
    // Whether the open result was answered from a table snapshot instead of
    // being read from the database engine.
    bool answeredFromSnapshot() const { return m_fromSnapshot; }

    // Whether the rows the result is drawn from are still being read (see
    // DbConnection::preload): the result then holds what answers the
    // statement among the rows read so far, and grows as more come in.
    // It stays true after the reading ends until the query has taken in
    // the last rows (on DbConnection::loadProgressed), so that a caller
    // waiting for rows never sees the reading over with rows missing.
    bool loading() const;

    // Rows shown (after the row filter).
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }

    int fieldCount() const { return int(m_fields.size()); }
    DbField *field(int index) const;
    // Throws DbError when the query has no such field.
    DbField *fieldByName(const QString &name) const;
    DbField *findField(const QString &name) const;

    // Index of the current row among the rows shown; -1 when there is none.
    int currentRow() const { return m_current; }
    // Moves to a row, posting what was typed first. Returns false and stays
    // on the row when the post fails (the failure goes to postErrorHandler).
    bool setCurrentRow(int row);
    bool first() { return setCurrentRow(0); }
    bool next() { return setCurrentRow(m_current + 1); }

    QString cellText(int row, int field) const;
    bool cellIsNull(int row, int field) const;

    // The row filter: applied while filtered is on and the text is not
    // blank. Both throw DbError for a filter text that cannot be read; the
    // settings stay in force across statements.
    QString filter() const { return m_filterText; }
    void setFilter(const QString &text);
    bool filtered() const { return m_filtered; }
    void setFiltered(bool on);

    // The sort (the Sort property): field names separated by commas, each
    // optionally followed by ASC or DESC ("cCorpCName DESC"). It orders the
    // rows shown, after the row filter; rows with equal values keep their
    // order, and empty and null values come last in either direction. Text
    // sorts as TextElements describes (pinyin, digits as numbers), numeric
    // fields by value. Sorting keeps the current row. A blank text shows the
    // rows in the result's order. Throws DbError for a text that cannot be
    // read or that names a field the open result lacks. Like the filter, the
    // sort stays in force across statements; one whose fields a new result
    // lacks is dropped. While the result is still being read the rows keep
    // the result's order and sortTerms() is empty; the sort orders them
    // once the whole result is in.
    QString sort() const { return m_sortText; }
    void setSort(const QString &text);
    std::vector<SortTerm> sortTerms() const;

    // A field the search reads, and how (see TableSearch).
    struct SearchField
    {
        QString name;
        bool pinyin = false; // read in pinyin too
        bool isName = false; // one of the names, whose matches come first
    };
    // The search of the search box. Like the row filter it narrows the
    // rows of the result (within the filter, when one is on) without
    // running the statement again, and stays in force across statements;
    // fields a result lacks are not read. The rows whose names hold every
    // word come first, then the others, each in the result's order; a sort
    // orders them all. While the result is still coming in, the rows that
    // come match as they come and are put in that order once it is whole.
    // A null search shows every row again.
    void setSearch(std::shared_ptr<const TableSearch> search, std::vector<SearchField> fields);
    const std::shared_ptr<const TableSearch> &search() const { return m_search; }
    // A list searched as the user types (off by default): once its rows
    // are all in, the memory for the answers of its next searches is taken
    // and written, while nobody waits for one; on a large list memory
    // fresh from the system costs more than the first keystroke's search.
    void setSearchedAsTyped(bool on) { m_searchedAsTyped = on; }
    const std::vector<SearchField> &searchFields() const { return m_searchFields; }
    // Where the search finds its words in a text of a field (a cell as the
    // grid or an edit shows it): ranges of UTF-16 units (start, length),
    // ascending. None without a search, or for a field it does not read.
    QList<QPair<int, int>> searchHighlights(int field, const QString &text) const;

    // Editing the current row, as a bound control does.
    void setFieldText(int field, const QString &text);
    bool modified() const { return m_pending.has_value(); }
    // Writes the typed value back to its row; throws DbError on failure and
    // keeps the value pending.
    void post();
    void cancel();

    // Called with a message when posting fails where no caller can catch
    // the error (moving rows, filtering, closing); the typed text is kept.
    std::function<void(const QString &)> postErrorHandler;
    // Called with a message when the connection closes and typed text that
    // could not be posted is lost with it.
    std::function<void(const QString &)> editDiscardedHandler;

    // For DbField.
    void fieldDisplayChanged(int field);
    // For DbConnection when it closes the file: posts what was typed if it
    // can, else drops it, and closes.
    void connectionClosing();
    // For DbConnection when it goes away first.
    void connectionGone();

signals:
    // The shown rows or the fields changed as a whole (opened, closed, filtered).
    void dataReset();
    void currentRowChanged(int row);
    // A cell of a shown row changed (an edit).
    void rowChanged(int row);
    // The same rows are about to be shown, and then are shown, in another
    // order (a sort).
    void rowsAboutToBeReordered();
    void rowsReordered();
    // Shown rows `first` to `last` came in at the end (a result still loading).
    void rowsAppended(int first, int last);
    void fieldDisplayChangedSignal(int field);

private:
    struct Pending
    {
        int storeRow;
        int field;
        std::optional<std::string> original; // nullopt: the cell was null
    };
    void load();
    void applyFilter();
    // Orders the rows the filter lets through by the sort; a sort that
    // names a field the result lacks is dropped.
    void applySort();
    // Shows the rows in `order` (a sort) or in the result's order, keeping
    // the current row.
    void reorder(std::vector<int> order, bool active);
    // The shown row that is the store's row, or the first row.
    int rowOfStoreRow(int storeRowIndex) const;
    // The rows the filter lets through, ordered by the terms; throws
    // DbError for a field the result lacks.
    std::vector<int> sortedRows(const std::vector<SortTerm> &terms);
    // The rows among the candidates of the store that pass the row filter.
    RowBits filterRows(const RowBits &candidates) const;
    bool filterOn() const;
    // The candidates the search finds, the rows whose names hold every word first.
    std::vector<int> searchRows(const RowBits &candidates);
    std::vector<SearchColumn> searchColumns() const;
    // Takes in the rows a loading snapshot has read since.
    void takeInRows();
    void takeAnswerMemory();
    // Shows the connection's leading rows while the loading snapshot the
    // whole result comes from has handed over none yet.
    void showLeadingRows();
    // Applies the filter settings after a change; on failure calls `undo`
    // to restore them and rethrows.
    void refilter(const std::function<void()> &undo);
    void reportPostError(const QString &message);
    // Closes whatever happens to what was typed.
    void closeDiscarding();
    void release();
    void startPending(Pending pending);
    void endPending();
    int resultRowCount() const;
    int storeRow(int row) const
    {
        if (m_sortActive)
            return m_order[std::size_t(row)];
        return m_filterActive ? m_visible[row] : (m_allRows ? row : m_rows[std::size_t(row)]);
    }
    int storeColumn(int field) const { return m_columns[std::size_t(field)]; }
    bool postQuietly();

    DbConnection *m_connection = nullptr;
    QStringList m_sql;
    std::vector<PersistentField> m_persistent;
    std::shared_ptr<ColumnStore> m_store;  // the rows the result is drawn from
    std::shared_ptr<TableSnapshot> m_held; // when m_store is a table snapshot the connection holds
    // While m_store holds the leading rows of a table being read: the
    // snapshot's store, which the result goes on from once it has them.
    std::shared_ptr<ColumnStore> m_leadingFor;
    bool m_fromSnapshot = false;
    std::vector<int> m_columns; // the store column behind each field
    std::vector<int> m_rows;    // the store rows of the result, unless m_allRows
    bool m_allRows = true;
    int m_seenRows = 0; // the store rows the result has looked at
    // The statement's condition on the store, for rows that come in later.
    std::shared_ptr<const RowPredicate> m_condition;
    QString m_table;                    // the table the rows can be written back to; empty if none
    std::vector<QString> m_columnNames; // the table's column behind each field
    std::vector<std::unique_ptr<DbField>> m_fields;
    std::vector<int> m_visible; // store rows shown while the filter is active
    bool m_filterActive = false;
    QString m_filterText;
    bool m_filtered = false;
    QString m_sortText;
    std::vector<int> m_order; // store rows shown, in sort order, while the sort is active
    bool m_sortActive = false;
    std::unique_ptr<SortKeys> m_sortKeys;
    int m_current = -1;
    std::optional<Pending> m_pending;
    std::shared_ptr<const TableSearch> m_search;
    std::vector<SearchField> m_searchFields;
    bool m_searchPartial = false; // searched while the result was coming in: not yet in its order
    // The last search's rows among the candidates it was given: a search
    // that narrows it (typing on) asks only those, and one typed on from it
    // reads a row from the column where it was found then.
    std::shared_ptr<const TableSearch> m_lastSearch;
    RowBits m_lastCandidates;
    std::vector<SearchColumn> m_lastColumns;
    TableSearch::Matches m_lastMatches;
    TableSearch::Matches m_spareMatches; // the one before, its memory written over by the next
    std::uint64_t m_lastEditCount = 0;   // the store's edits then
    // The answers of the last searches, while the rows, their edits, the
    // candidates and the fields searched stay as at the search before (see
    // above) and the box is not emptied: a character taken back, or typed
    // again, finds the answer it had.
    struct RememberedAnswer
    {
        store::SearchQuery query;
        RowBits rows;
        RowBits names;
    };
    static constexpr std::size_t kRememberedAnswers = 16;
    std::deque<RememberedAnswer> m_remembered; // the latest last
    bool m_searchedAsTyped = false;
};

} // namespace platform::db
