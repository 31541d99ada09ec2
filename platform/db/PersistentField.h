#pragma once

#include "platform/db/StoreNames.h"
#include "store/FieldType.h"

#include <QString>

namespace platform::db {

// A field declared in advance with its size and label; when a query has
// any, its result offers exactly these fields, bound by name.
struct PersistentField
{
    QString name;
    FieldType type = FieldType::WideString;
    int size = 0;
    QString displayLabel;
};

} // namespace platform::db
