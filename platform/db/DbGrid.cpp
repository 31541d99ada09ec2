#include "platform/db/DbGrid.h"

#include "platform/db/DataSource.h"
#include "platform/db/DbGridModel.h"
#include "platform/db/DbQuery.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace platform::db {

namespace {

// Draws the cells with a line between columns and none between rows.
class ColumnLineDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(QColor(192, 192, 192));
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->restore();
    }
};

} // namespace

DbGrid::DbGrid(QWidget *parent) : QTableView(parent), m_model(new DbGridModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setItemDelegate(new ColumnLineDelegate(this));
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setFixedWidth(14);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setHighlightSections(false);
    updateStyle();

    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyWidths();
        if (DbQuery *q = m_model->query())
            followQuery(q->currentRow());
    });
    connect(m_model, &QAbstractItemModel::headerDataChanged, this, [this](Qt::Orientation o, int, int) {
        if (o == Qt::Horizontal)
            applyWidths();
    });
    connect(m_model, &DbGridModel::currentRowMoved, this, &DbGrid::followQuery);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (m_syncing || !current.isValid())
                    return;
                DbQuery *q = m_model->query();
                if (q && !q->setCurrentRow(current.row()))
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

void DbGrid::followQuery(int row)
{
    m_syncing = true;
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clearSelection();
    } else {
        const QModelIndex index = m_model->index(row, std::max(0, currentIndex().column()));
        selectionModel()->setCurrentIndex(index,
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    }
    m_syncing = false;
}

} // namespace platform::db
