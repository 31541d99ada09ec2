#include "platform/db/DbGridModel.h"

#include "platform/db/DataSource.h"
#include "platform/db/DbQuery.h"

#include <algorithm>

namespace platform::db {

DbGridModel::DbGridModel(QObject *parent) : QAbstractTableModel(parent) {}

void DbGridModel::setDataSource(DataSource *source)
{
    if (source == m_source)
        return;
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (m_source)
        connect(m_source, &DataSource::dataSetChanged, this, &DbGridModel::rewire);
    rewire();
}

DbQuery *DbGridModel::query() const
{
    return m_source ? m_source->dataSet() : nullptr;
}

void DbGridModel::rewire()
{
    for (const auto &c : m_connections)
        disconnect(c);
    m_connections.clear();
    if (DbQuery *q = query()) {
        m_connections << connect(q, &DbQuery::dataReset, this, &DbGridModel::reset)
                      << connect(q, &DbQuery::rowsAppended, this,
                                 [this](int first, int last) {
                                     if (first != m_rows || last < first)
                                         return reset();
                                     beginInsertRows(QModelIndex(), first, last);
                                     m_rows = last + 1;
                                     endInsertRows();
                                 })
                      << connect(q, &DbQuery::rowChanged, this,
                                 [this](int row) {
                                     if (row < m_rows && !m_fieldOfColumn.isEmpty())
                                         emit dataChanged(index(row, 0),
                                                          index(row, int(m_fieldOfColumn.size()) - 1));
                                 })
                      << connect(q, &DbQuery::rowsAboutToBeReordered, this,
                                 [this] { emit layoutAboutToBeChanged({}, VerticalSortHint); })
                      << connect(q, &DbQuery::rowsReordered, this,
                                 [this] { emit layoutChanged({}, VerticalSortHint); })
                      << connect(q, &DbQuery::fieldDisplayChangedSignal, this,
                                 [this](int field) {
                                     const int column = columnOfField(field);
                                     if (column >= 0)
                                         emit headerDataChanged(Qt::Horizontal, column, column);
                                 })
                      << connect(q, &DbQuery::currentRowChanged, this, [this](int row) {
                             const int old = m_markedRow;
                             m_markedRow = row;
                             if (old >= 0 && old < m_rows)
                                 emit headerDataChanged(Qt::Vertical, old, old);
                             if (row >= 0 && row < m_rows)
                                 emit headerDataChanged(Qt::Vertical, row, row);
                             emit currentRowMoved(row);
                         });
    }
    reset();
}

void DbGridModel::setColumnFields(const QStringList &names)
{
    m_columnFields = names;
    reset();
}

int DbGridModel::fieldIndex(int column) const
{
    return column >= 0 && column < m_fieldOfColumn.size() ? m_fieldOfColumn[column] : -1;
}

void DbGridModel::reset()
{
    beginResetModel();
    DbQuery *q = query();
    m_rows = q ? q->recordCount() : 0;
    m_fieldOfColumn.clear();
    if (q && m_columnFields.isEmpty()) {
        for (int f = 0; f < q->fieldCount(); ++f)
            m_fieldOfColumn << f;
    } else if (q) {
        for (const QString &name : std::as_const(m_columnFields)) {
            if (const DbField *f = q->findField(name))
                m_fieldOfColumn << f->index();
        }
    }
    m_markedRow = q ? q->currentRow() : -1;
    endResetModel();
}

void DbGridModel::sort(int column, Qt::SortOrder order)
{
    DbQuery *q = query();
    const DbField *f = q ? q->field(fieldIndex(column)) : nullptr;
    if (f)
        q->setSort(f->fieldName() +
                   (order == Qt::DescendingOrder ? QStringLiteral(" DESC") : QStringLiteral(" ASC")));
}

int DbGridModel::sortColumn(Qt::SortOrder *order) const
{
    DbQuery *q = query();
    const std::vector<SortTerm> terms = q ? q->sortTerms() : std::vector<SortTerm>();
    const DbField *f = terms.empty() ? nullptr : q->findField(terms.front().field);
    const int column = f ? columnOfField(f->index()) : -1;
    if (order && column >= 0)
        *order = terms.front().descending ? Qt::DescendingOrder : Qt::AscendingOrder;
    return column;
}

int DbGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int DbGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_fieldOfColumn.size());
}

QVariant DbGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    DbQuery *q = query();
    if (!q || role != Qt::DisplayRole)
        return {};
    QString text = q->cellText(index.row(), m_fieldOfColumn[index.column()]);
    // A multi-line value shows its first line; the whole text is in the detail views.
    const qsizetype cr = text.indexOf(QLatin1Char('\r'));
    const qsizetype lf = text.indexOf(QLatin1Char('\n'));
    const qsizetype lineEnd = cr < 0 ? lf : (lf < 0 ? cr : std::min(cr, lf));
    if (lineEnd >= 0)
        text = text.left(lineEnd) + QStringLiteral(" …");
    return text;
}

QVariant DbGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    DbQuery *q = query();
    if (!q)
        return {};
    if (orientation == Qt::Horizontal) {
        DbField *f = q->field(fieldIndex(section));
        if (!f)
            return {};
        if (role == Qt::DisplayRole)
            return f->displayLabel();
        if (role == DisplayWidthRole)
            return f->displayWidth();
        // A first click on a title sorts from the smallest value.
        if (role == Qt::InitialSortOrderRole)
            return int(Qt::AscendingOrder);
        return {};
    }
    if (role == Qt::DisplayRole && section >= 0 && section < m_rows)
        return section == m_markedRow ? QStringLiteral("▶") : QString();
    return {};
}

} // namespace platform::db
