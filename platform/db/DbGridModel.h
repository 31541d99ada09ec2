#pragma once

#include "platform/db/DataSource.h"

#include <QAbstractTableModel>
#include <QPointer>

namespace platform::db {

class DataSource;
class DbQuery;

// The rows shown by a data source's query as a table: one column per field
// in field order, or the fields named by setColumnFields in that order,
// titled by display label. The vertical header marks the current row. Cells
// are read on demand, so a large snapshot costs nothing until its rows are
// on screen.
class DbGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // Data role giving a column's display width in characters.
    static constexpr int DisplayWidthRole = Qt::UserRole + 1;

    explicit DbGridModel(QObject *parent = nullptr);

    DataSource *dataSource() const { return m_source; }
    void setDataSource(DataSource *source);
    DbQuery *query() const;

    // Shows only the named fields, in this order (names compared without
    // letter case; a name the query lacks gives no column). An empty list
    // shows every field in field order.
    void setColumnFields(const QStringList &names);
    QStringList columnFields() const { return m_columnFields; }
    // The query's field shown in a column; -1 when there is none.
    int fieldIndex(int column) const;

    // Sorts the query by the column's field (its Sort property).
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // The shown column the query is sorted by first, and how; -1 when its
    // rows are not sorted by a shown column.
    int sortColumn(Qt::SortOrder *order = nullptr) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // The query's current row moved (-1: none).
    void currentRowMoved(int row);

private:
    void rewire();
    void reset();
    int columnOfField(int field) const { return int(m_fieldOfColumn.indexOf(field)); }

    QPointer<DataSource> m_source;
    QList<QMetaObject::Connection> m_connections;
    QStringList m_columnFields;
    QList<int> m_fieldOfColumn;
    int m_rows = 0;
    int m_markedRow = -1;
};

} // namespace platform::db
