#include "query/FieldWidths.h"

#include "platform/db/DbQuery.h"
#include "platform/os/Gb2312.h"

void SizeFieldsToCurrentRow(platform::db::DbQuery *query)
{
    for (int i = 0; i < query->fieldCount(); ++i) {
        platform::db::DbField *f = query->field(i);
        const QString value = f->asString();
        f->setDisplayWidth(value.isEmpty() ? 10 : platform::gb2312Length(value) + 10);
    }
}
