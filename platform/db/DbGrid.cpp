#include "platform/db/DbGrid.h"

#include "platform/db/DataSource.h"
#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"
#include "platform/db/DbGridAccessible.h"
#include "platform/db/DbGridModel.h"
#include "platform/db/DbQuery.h"
#include "platform/db/SearchHighlight.h"

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTextLayout>

#include <algorithm>

namespace platform::db {

namespace {

// Draws the cells with a line between columns and none between rows, and
// the characters the query's search found on a highlight.
class ColumnLineDelegate : public QStyledItemDelegate
{
public:
    explicit ColumnLineDelegate(DbGridModel *model, QObject *parent)
        : QStyledItemDelegate(parent), m_model(model)
    {
    }
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const DbQuery *q = m_model->query();
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QList<QPair<int, int>> found =
            q && q->search() ? q->searchHighlights(m_model->fieldIndex(index.column()), opt.text)
                             : QList<QPair<int, int>>();
        if (found.isEmpty()) {
            QStyledItemDelegate::paint(painter, option, index);
        } else {
            const QString text = opt.text;
            opt.text.clear();
            const QWidget *view = opt.widget;
            QStyle *style = view ? view->style() : QApplication::style();
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, view);
            const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
            const QRect area = opt.rect.adjusted(margin, 0, -margin, 0);
            QList<QTextLayout::FormatRange> formats;
            for (const auto &[start, length] : found) {
                QTextLayout::FormatRange range;
                range.start = start;
                range.length = length;
                range.format.setBackground(searchHighlightColor());
                range.format.setForeground(QColor(Qt::black));
                formats.append(range);
            }
            QTextLayout layout(text, opt.font);
            layout.setFormats(formats);
            QTextOption noWrap;
            noWrap.setWrapMode(QTextOption::NoWrap);
            layout.setTextOption(noWrap);
            layout.beginLayout();
            QTextLine line = layout.createLine();
            line.setLineWidth(qreal(1 << 20));
            layout.endLayout();
            painter->save();
            painter->setClipRect(area);
            painter->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                 : QPalette::Text));
            layout.draw(painter, QPointF(area.left(), area.top() + (area.height() - line.height()) / 2));
            painter->restore();
        }
        painter->save();
        painter->setPen(QColor(192, 192, 192));
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->restore();
    }

private:
    DbGridModel *m_model;
};

// A value as one field of a tab-separated line.
QString tabField(const QString &value)
{
    if (!value.contains(QLatin1Char('\t')) && !value.contains(QLatin1Char('\n')) &&
        !value.contains(QLatin1Char('\r')) && !value.contains(QLatin1Char('"')))
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

DbGrid::DbGrid(QWidget *parent) : QTableView(parent), m_model(new DbGridModel(this))
{
    installGridAccessibility();
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows can be selected for copying; the current row is the query's.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setTabKeyNavigation(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setItemDelegate(new ColumnLineDelegate(m_model, this));
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setFixedWidth(14);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setHighlightSections(false);
    updateStyle();

    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyWidths();
        showSortIndicator();
        if (DbQuery *q = m_model->query())
            followQuery(q->currentRow());
        notifyGridRowsChanged(this);
    });
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &DbGrid::showSortIndicator);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &DbGrid::sortByTitle);
    connect(m_model, &QAbstractItemModel::headerDataChanged, this, [this](Qt::Orientation o, int, int) {
        if (o == Qt::Horizontal)
            applyWidths();
    });
    connect(m_model, &DbGridModel::currentRowMoved, this, [this](int row) {
        // A move the grid made itself keeps the rows the user is selecting.
        if (!m_leading)
            followQuery(row);
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (m_syncing || !current.isValid())
                    return;
                DbQuery *q = m_model->query();
                m_leading = true;
                const bool moved = !q || q->setCurrentRow(current.row());
                m_leading = false;
                if (!moved)
                    followQuery(q->currentRow()); // the row could not be left
            });
}

DataSource *DbGrid::dataSource() const
{
    return m_model->dataSource();
}

void DbGrid::setDataSource(DataSource *source)
{
    m_model->setDataSource(source);
}

void DbGrid::setColumns(const QList<Column> &columns)
{
    m_columns = columns;
    QStringList names;
    for (const Column &c : columns)
        names << c.fieldName;
    m_model->setColumnFields(names);
}

DbField *DbGrid::columnField(int column) const
{
    DbQuery *q = m_model->query();
    return q ? q->field(m_model->fieldIndex(column)) : nullptr;
}

void DbGrid::setFixedColor(const QColor &color)
{
    m_fixedColor = color;
    updateStyle();
}

void DbGrid::setTitleColor(const QColor &color)
{
    m_titleColor = color;
    updateStyle();
}

void DbGrid::updateStyle()
{
    const QString header = QStringLiteral("QHeaderView::section { background-color: %1; color: %2; "
                                          "border: 0px; border-right: 1px solid #a0a0a0; "
                                          "border-bottom: 1px solid #a0a0a0; padding: 1px 3px; }")
                               .arg(m_fixedColor.name(), m_titleColor.name());
    horizontalHeader()->setStyleSheet(header);
    verticalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; color: black; border: 0px; "
                       "border-right: 1px solid #a0a0a0; border-bottom: 1px solid #e0e0e0; padding: 0px; }")
            .arg(m_fixedColor.name()));
}

int DbGrid::columnWidthFor(int displayWidth) const
{
    return displayWidth * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 4;
}

void DbGrid::applyWidths()
{
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const DbField *f = columnField(c);
        const auto set = std::find_if(m_columns.cbegin(), m_columns.cend(), [f](const Column &column) {
            return f && column.width > 0 &&
                   column.fieldName.compare(f->fieldName(), Qt::CaseInsensitive) == 0;
        });
        if (set != m_columns.cend()) {
            setColumnWidth(c, set->width);
        } else {
            const int width = m_model->headerData(c, Qt::Horizontal, DbGridModel::DisplayWidthRole).toInt();
            setColumnWidth(c, columnWidthFor(width));
        }
    }
}

void DbGrid::setEmptyText(const QString &text)
{
    m_emptyText = text;
    viewport()->update();
}

void DbGrid::sortByTitle(int column)
{
    Qt::SortOrder order = Qt::AscendingOrder;
    Qt::SortOrder sorted = Qt::AscendingOrder;
    if (m_model->sortColumn(&sorted) == column && sorted == Qt::AscendingOrder)
        order = Qt::DescendingOrder;
    // The first sort of a column of a million rows takes a moment.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    waitForWholeResult();
    try {
        m_model->sort(column, order);
    } catch (const DbError &) {
        // A column without a field of the query does not sort.
    }
    QGuiApplication::restoreOverrideCursor();
    showSortIndicator();
}

void DbGrid::waitForWholeResult()
{
    // A list still being read is sorted once it is whole: the window waits
    // for that, painting and showing the reading's progress, taking no input.
    DbQuery *q = m_model->query();
    if (!q || !q->loading() || !q->connection() || !q->connection()->loading())
        return;
    QEventLoop loop;
    const auto check = [&](int, double, bool finished, bool) {
        if (finished || !q->loading())
            loop.quit();
    };
    connect(q->connection(), &DbConnection::loadProgressed, &loop, check);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void DbGrid::showSortIndicator()
{
    Qt::SortOrder order = Qt::AscendingOrder;
    const int column = m_model->sortColumn(&order);
    horizontalHeader()->setSortIndicator(column, order);
}

int DbGrid::rowsOnScreen() const
{
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    return (viewport()->height() + rowHeight - 1) / rowHeight;
}

QList<int> DbGrid::shownColumns() const
{
    QList<int> columns;
    const QHeaderView *header = horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!header->isSectionHidden(column) && columnWidth(column) > 0)
            columns << column;
    }
    return columns;
}

QList<int> DbGrid::selectedRowNumbers() const
{
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty() && currentIndex().isValid())
        rows << currentIndex().row();
    return rows;
}

QString DbGrid::cellValue(int row, int column) const
{
    const DbQuery *q = m_model->query();
    return q ? q->cellText(row, m_model->fieldIndex(column)) : QString();
}

QString DbGrid::rowsText(const QList<int> &rows) const
{
    const QList<int> columns = shownColumns();
    QStringList fields;
    for (int c : columns)
        fields << tabField(m_model->headerData(c, Qt::Horizontal).toString());
    QString text = fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (int row : rows) {
        fields.clear();
        for (int c : columns)
            fields << tabField(cellValue(row, c));
        text += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

void DbGrid::copySelectedRows() const
{
    const QList<int> rows = selectedRowNumbers();
    if (!rows.isEmpty())
        QGuiApplication::clipboard()->setText(rowsText(rows));
}

void DbGrid::copyCell(const QModelIndex &index) const
{
    if (index.isValid())
        QGuiApplication::clipboard()->setText(cellValue(index.row(), index.column()));
}

void DbGrid::keyPressEvent(QKeyEvent *event)
{
    if (event == QKeySequence::Copy) {
        copySelectedRows();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DbGrid::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    if (m_emptyText.isEmpty() || m_model->rowCount() > 0)
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    const QRect area = viewport()->rect().adjusted(8, 8, -8, -8);
    painter.drawText(QRect(area.left(), area.top() + area.height() / 4, area.width(), area.height() / 2),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m_emptyText);
}

void DbGrid::followQuery(int row)
{
    m_syncing = true;
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clearSelection();
    } else {
        // The row comes into view; the columns stay where the user scrolled
        // them (a sort moves the current row, and the column just sorted
        // must stay under the mouse).
        const int across = horizontalScrollBar()->value();
        const QModelIndex index = m_model->index(row, std::max(0, currentIndex().column()));
        selectionModel()->setCurrentIndex(index,
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
        horizontalScrollBar()->setValue(across);
    }
    m_syncing = false;
}

void DbGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QAbstractItemView::currentChanged(current, previous);
    notifyGridCurrentCell(this);
}

void DbGrid::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
}

void DbGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (dy != 0)
        notifyGridRowsChanged(this);
}

} // namespace platform::db
