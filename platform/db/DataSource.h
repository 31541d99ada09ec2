#pragma once

#include "platform/db/DbQuery.h"

#include <QObject>
#include <QPointer>

namespace platform::db {

// Links data-bound controls to a query; the controls follow its current row.
class DataSource : public QObject
{
    Q_OBJECT
public:
    explicit DataSource(QObject *parent = nullptr) : QObject(parent) {}

    DbQuery *dataSet() const { return m_dataSet; }
    void setDataSet(DbQuery *query);

signals:
    void dataSetChanged();

private:
    QPointer<DbQuery> m_dataSet;
};

} // namespace platform::db
