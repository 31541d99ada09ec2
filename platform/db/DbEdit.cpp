#include "platform/db/DbEdit.h"

#include "platform/db/FieldBinding.h"

namespace platform::db {

DbEdit::DbEdit(QWidget *parent)
    : QLineEdit(parent), m_binding(new FieldBinding(
                             [this](const QString &text) {
                                 if (text != QLineEdit::text()) {
                                     setText(text);
                                     setCursorPosition(0);
                                 }
                             },
                             this))
{
    connect(this, &QLineEdit::textEdited, m_binding, [this](const QString &text) {
        if (!m_binding->write(text))
            m_binding->refresh();
    });
}

DataSource *DbEdit::dataSource() const
{
    return m_binding->dataSource();
}

void DbEdit::setDataSource(DataSource *source)
{
    m_binding->setDataSource(source);
}

QString DbEdit::dataField() const
{
    return m_binding->dataField();
}

void DbEdit::setDataField(const QString &name)
{
    m_binding->setDataField(name);
}

} // namespace platform::db
