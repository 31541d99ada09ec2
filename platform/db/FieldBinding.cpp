#include "platform/db/FieldBinding.h"

#include "platform/db/DataSource.h"
#include "platform/db/DbError.h"
#include "platform/db/DbQuery.h"

namespace platform::db {

FieldBinding::FieldBinding(std::function<void(const QString &)> show, QObject *parent)
    : QObject(parent), m_show(std::move(show))
{
}

void FieldBinding::setDataSource(DataSource *source)
{
    if (source == m_source)
        return;
    disconnect(m_sourceConnection);
    m_source = source;
    if (m_source)
        m_sourceConnection = connect(m_source, &DataSource::dataSetChanged, this, &FieldBinding::rewire);
    rewire();
}

void FieldBinding::setDataField(const QString &name)
{
    m_field = name;
    refresh();
}

DbQuery *FieldBinding::query() const
{
    return m_source ? m_source->dataSet() : nullptr;
}

int FieldBinding::fieldIndex() const
{
    DbQuery *q = query();
    if (!q || !q->active())
        return -1;
    DbField *f = q->findField(m_field);
    return f ? f->index() : -1;
}

void FieldBinding::rewire()
{
    for (const auto &c : m_queryConnections)
        disconnect(c);
    m_queryConnections.clear();
    if (DbQuery *q = query()) {
        m_queryConnections << connect(q, &DbQuery::dataReset, this, &FieldBinding::refresh)
                           << connect(q, &DbQuery::currentRowChanged, this, &FieldBinding::refresh)
                           << connect(q, &DbQuery::rowChanged, this, [this](int row) {
                                  if (DbQuery *q = query(); q && row == q->currentRow())
                                      refresh();
                              });
    }
    refresh();
}

void FieldBinding::refresh()
{
    DbQuery *q = query();
    const int index = fieldIndex();
    m_show(index < 0 ? QString() : q->cellText(q->currentRow(), index));
}

bool FieldBinding::write(const QString &text)
{
    DbQuery *q = query();
    const int index = fieldIndex();
    if (index < 0 || q->currentRow() < 0)
        return false;
    try {
        q->setFieldText(index, text);
    } catch (const DbError &e) {
        if (q->postErrorHandler)
            q->postErrorHandler(e.message());
        return false;
    }
    return true;
}

} // namespace platform::db
