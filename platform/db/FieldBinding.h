#pragma once

#include "platform/db/DataSource.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

namespace platform::db {

class DataSource;
class DbQuery;

// Keeps one control in step with one field of a data source's current row:
// calls `show` with the field's text whenever the row, the field or the
// query changes. Shared by the bound edit and the bound memo.
class FieldBinding : public QObject
{
    Q_OBJECT
public:
    explicit FieldBinding(std::function<void(const QString &)> show, QObject *parent = nullptr);

    DataSource *dataSource() const { return m_source; }
    void setDataSource(DataSource *source);
    QString dataField() const { return m_field; }
    void setDataField(const QString &name);

    // The query behind the data source, if any.
    DbQuery *query() const;
    // Index of the bound field in the open query; -1 when not bound.
    int fieldIndex() const;
    // Stores text typed into the control in the current row. Returns false
    // when there is nothing to store it in.
    bool write(const QString &text);

    void refresh();

private:
    void rewire();

    std::function<void(const QString &)> m_show;
    QPointer<DataSource> m_source;
    QString m_field;
    QMetaObject::Connection m_sourceConnection;
    QList<QMetaObject::Connection> m_queryConnections;
};

} // namespace platform::db
