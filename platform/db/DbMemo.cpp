#include "platform/db/DbMemo.h"

#include "platform/db/DbQuery.h"
#include "platform/db/FieldBinding.h"

#include <QKeyEvent>

namespace platform::db {

namespace {

// The database keeps line breaks as CR LF; the edit shows them as one break.
QString toEditor(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QString fromEditor(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

} // namespace

DbMemo::DbMemo(QWidget *parent)
    : QPlainTextEdit(parent),
      m_binding(new FieldBinding([this](const QString &text) { showValue(text); }, this))
{
    connect(this, &QPlainTextEdit::textChanged, m_binding, [this] {
        if (m_showing || isReadOnly())
            return;
        if (!m_binding->write(fromEditor(toPlainText())))
            m_binding->refresh();
    });
}

void DbMemo::keyPressEvent(QKeyEvent *event)
{
    DbQuery *query = m_binding->query();
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && query &&
        query->modified()) {
        query->cancel();
        m_binding->refresh();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void DbMemo::showValue(const QString &text)
{
    const QString shown = toEditor(text);
    if (shown == toPlainText())
        return;
    m_showing = true;
    setPlainText(shown);
    m_showing = false;
}

DataSource *DbMemo::dataSource() const
{
    return m_binding->dataSource();
}

void DbMemo::setDataSource(DataSource *source)
{
    m_binding->setDataSource(source);
}

QString DbMemo::dataField() const
{
    return m_binding->dataField();
}

void DbMemo::setDataField(const QString &name)
{
    m_binding->setDataField(name);
}

} // namespace platform::db
