#include "platform/db/DataSource.h"

#include "platform/db/DbQuery.h"

namespace platform::db {

void DataSource::setDataSet(DbQuery *query)
{
    if (query == m_dataSet)
        return;
    m_dataSet = query;
    emit dataSetChanged();
}

} // namespace platform::db
