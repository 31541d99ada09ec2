#include "platform/db/DbEdit.h"

#include "platform/db/DbQuery.h"
#include "platform/db/FieldBinding.h"
#include "platform/db/SearchHighlight.h"

#include <QPainter>
#include <QStyleOptionFrame>

namespace platform::db {

DbEdit::DbEdit(QWidget *parent)
    : QLineEdit(parent), m_binding(new FieldBinding(
                             [this](const QString &text) {
                                 if (text != QLineEdit::text()) {
                                     setText(text);
                                     setCursorPosition(0);
                                 }
                                 // The search may have changed with the row.
                                 update();
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

QList<QPair<int, int>> DbEdit::searchHighlights() const
{
    const DbQuery *q = m_binding->query();
    if (!q || !q->search())
        return {};
    return q->searchHighlights(m_binding->fieldIndex(), text());
}

void DbEdit::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    const QList<QPair<int, int>> found = searchHighlights();
    // A text scrolled away from its start (a long one being edited) is
    // not marked: where its characters lie is the line edit's own affair.
    if (found.isEmpty() || (!isReadOnly() && hasFocus()))
        return;
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect contents =
        style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).marginsRemoved(textMargins());
    const QFontMetrics metrics = fontMetrics();
    // The line edit draws its text two pixels in from the contents' left
    // edge, centred in their height.
    const int left = contents.left() + 2;
    const int top = contents.top() + (contents.height() - metrics.height() + 1) / 2;
    QPainter painter(this);
    painter.setClipRect(contents);
    // Multiplied in, the marker colours the background and darkens no text.
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    const QString shown = text();
    for (const auto &[start, length] : found) {
        const int x = left + metrics.horizontalAdvance(shown.left(start));
        const int width = metrics.horizontalAdvance(shown.mid(start, length));
        painter.fillRect(QRect(x, top, width, metrics.height()), searchHighlightColor());
    }
}

} // namespace platform::db
