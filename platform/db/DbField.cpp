#include "platform/db/DbField.h"

#include "platform/db/DbQuery.h"

namespace platform::db {

namespace {

int defaultDisplayWidth(FieldType type, int size)
{
    switch (type) {
    case FieldType::String:
    case FieldType::WideString:
    case FieldType::FixedChar:
        return size > 0 ? size : 20;
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return 18;
    default:
        return 10;
    }
}

} // namespace

DbField::DbField(DbQuery *query, int index, QString name, FieldType type, int size)
    : m_query(query), m_index(index), m_name(std::move(name)), m_type(type), m_size(size),
      m_displayWidth(defaultDisplayWidth(type, size))
{
}

void DbField::setDisplayLabel(const QString &label)
{
    if (label == m_label)
        return;
    m_label = label;
    m_query->fieldDisplayChanged(m_index);
}

void DbField::setDisplayWidth(int width)
{
    if (width == m_displayWidth)
        return;
    m_displayWidth = width;
    m_query->fieldDisplayChanged(m_index);
}

QString DbField::asString() const
{
    const int row = m_query->currentRow();
    return row < 0 ? QString() : m_query->cellText(row, m_index);
}

bool DbField::isNull() const
{
    const int row = m_query->currentRow();
    return row < 0 || m_query->cellIsNull(row, m_index);
}

FieldType fieldTypeFromDeclaration(const QString &declaredType)
{
    const QString t = declaredType.toUpper();
    if (t.isEmpty())
        return FieldType::WideString;
    if (t.contains(u"MEMO") || t.contains(u"LONGTEXT") || t.contains(u"NOTE") || t.contains(u"CLOB"))
        return FieldType::Memo;
    if (t.contains(u"BIGINT"))
        return FieldType::LargeInt;
    if (t.contains(u"SMALLINT") || t.contains(u"TINYINT"))
        return FieldType::SmallInt;
    if (t.contains(u"COUNTER") || t.contains(u"AUTOINC"))
        return FieldType::AutoInc;
    if (t.contains(u"INT"))
        return FieldType::Integer;
    if (t.contains(u"BIT") || t.contains(u"BOOL") || t.contains(u"YESNO"))
        return FieldType::Boolean;
    if (t.contains(u"CURRENCY") || t.contains(u"MONEY"))
        return FieldType::Currency;
    if (t.contains(u"DECIMAL") || t.contains(u"NUMERIC"))
        return FieldType::BCD;
    if (t.contains(u"REAL") || t.contains(u"FLOA") || t.contains(u"DOUB"))
        return FieldType::Float;
    if (t.contains(u"DATE") || t.contains(u"TIME"))
        return FieldType::DateTime;
    if (t.contains(u"BLOB") || t.contains(u"BINARY") || t.contains(u"IMAGE"))
        return FieldType::Blob;
    return FieldType::WideString;
}

} // namespace platform::db
