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
                      << connect(q, &DbQuery::rowChanged, this,
                                 [this](int row) {
                                     if (row < m_rows)
                                         emit dataChanged(index(row, 0), index(row, m_columns - 1));
                                 })
                      << connect(q, &DbQuery::fieldDisplayChangedSignal, this,
                                 [this](int field) {
                                     if (field < m_columns)
                                         emit headerDataChanged(Qt::Horizontal, field, field);
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

void DbGridModel::reset()
{
    beginResetModel();
    DbQuery *q = query();
    m_rows = q ? q->recordCount() : 0;
    m_columns = q ? q->fieldCount() : 0;
    m_markedRow = q ? q->currentRow() : -1;
    endResetModel();
}

int DbGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int DbGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant DbGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    DbQuery *q = query();
    if (!q || role != Qt::DisplayRole)
        return {};
    QString text = q->cellText(index.row(), index.column());
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
        DbField *f = q->field(section);
        if (!f)
            return {};
        if (role == Qt::DisplayRole)
            return f->displayLabel();
        if (role == DisplayWidthRole)
            return f->displayWidth();
        return {};
    }
    if (role == Qt::DisplayRole && section >= 0 && section < m_rows)
        return section == m_markedRow ? QStringLiteral("▶") : QString();
    return {};
}

} // namespace platform::db
