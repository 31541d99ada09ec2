#pragma once

#include "platform/db/StoreNames.h"
#include "store/FieldType.h"

#include <QString>

namespace platform::db {

class DbQuery;

// One column of an open query: its name, type, display settings, and the
// value in the query's current row.
class DbField
{
public:
    enum class Kind { Data, Calculated, Lookup };

    DbField(DbQuery *query, int index, QString name, FieldType type, int size);

    int index() const { return m_index; }
    QString fieldName() const { return m_name; }
    FieldType dataType() const { return m_type; }
    Kind fieldKind() const { return m_kind; }
    int size() const { return m_size; }

    // The column title; the field name until set.
    QString displayLabel() const { return m_label.isEmpty() ? m_name : m_label; }
    void setDisplayLabel(const QString &label);

    // Width of the grid column in characters.
    int displayWidth() const { return m_displayWidth; }
    void setDisplayWidth(int width);

    // The value in the current row as text; empty when the query has no current row.
    QString asString() const;
    bool isNull() const;

private:
    DbQuery *m_query;
    int m_index;
    QString m_name;
    FieldType m_type;
    Kind m_kind = Kind::Data;
    int m_size;
    QString m_label;
    int m_displayWidth;
};

// Declared type of a column, as the engine reports it, mapped to a field type.
FieldType fieldTypeFromDeclaration(const QString &declaredType);

} // namespace platform::db
