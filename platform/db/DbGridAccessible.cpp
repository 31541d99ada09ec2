#include "platform/db/DbGridAccessible.h"

#include "platform/db/DbGrid.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QHeaderView>
#include <QPointer>

namespace platform::db {

namespace {

// Row -1 is the title row; column -1 is a whole row.
using CellKey = QPair<int, int>;

class GridAccessible;

class CellAccessible : public QAccessibleInterface
{
public:
    CellAccessible(DbGrid *grid, int row, int column) : m_grid(grid), m_row(row), m_column(column) {}

    int row() const { return m_row; }
    int column() const { return m_column; }
    bool isRow() const { return m_column < 0; }

    bool isValid() const override
    {
        if (!m_grid || !m_grid->model())
            return false;
        const QAbstractItemModel *model = m_grid->model();
        return m_row < model->rowCount() && m_column < model->columnCount();
    }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_grid ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override;
    int childCount() const override { return isRow() && m_grid ? int(m_grid->shownColumns().size()) : 0; }
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto *cell = dynamic_cast<const CellAccessible *>(child);
        if (!cell || !isRow() || cell->m_row != m_row || !m_grid)
            return -1;
        return int(m_grid->shownColumns().indexOf(cell->m_column));
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface *c = child(i); c && c->rect().contains(x, y))
                return c;
        return nullptr;
    }

    QString title() const
    {
        return m_grid->model()->headerData(m_column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (isRow()) {
            if (t != QAccessible::Name)
                return {};
            return m_row < 0 ? QStringLiteral("列标题") : QStringLiteral("第 %1 行").arg(m_row + 1);
        }
        if (m_row < 0)
            return t == QAccessible::Name ? title() : QString();
        if (t == QAccessible::Name)
            return m_grid->model()->index(m_row, m_column).data(Qt::DisplayRole).toString();
        if (t == QAccessible::Description)
            return title();
        return {};
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        if (!isValid())
            return {};
        QRect r;
        if (m_row < 0) {
            const QHeaderView *header = m_grid->horizontalHeader();
            r = isRow() ? header->rect()
                        : QRect(header->sectionViewportPosition(m_column), 0, header->sectionSize(m_column),
                                header->height());
            return QRect(header->mapToGlobal(r.topLeft()), r.size());
        }
        const QModelIndex index = m_grid->model()->index(m_row, std::max(m_column, 0));
        r = m_grid->visualRect(index);
        if (isRow())
            r = QRect(0, r.y(), m_grid->viewport()->width(), r.height());
        return QRect(m_grid->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::Role role() const override
    {
        if (isRow())
            return QAccessible::Row;
        return m_row < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.readOnly = true;
        if (m_row < 0)
            return s;
        const QModelIndex current = m_grid->currentIndex();
        s.selectable = true;
        s.focusable = !isRow();
        s.selected =
            m_grid->selectionModel() && m_grid->selectionModel()->isRowSelected(m_row, QModelIndex());
        s.focused = !isRow() && m_grid->hasFocus() && current.row() == m_row && current.column() == m_column;
        s.active = current.row() == m_row;
        const QRect shown = m_grid->viewport()->rect();
        s.offscreen =
            !shown.intersects(m_grid->visualRect(m_grid->model()->index(m_row, std::max(m_column, 0))));
        return s;
    }

private:
    QPointer<DbGrid> m_grid;
    int m_row;
    int m_column;
};

class GridAccessible : public QAccessibleWidget
{
public:
    explicit GridAccessible(DbGrid *grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    ~GridAccessible() override { forget({}); }

    DbGrid *grid() const { return static_cast<DbGrid *>(object()); }

    // The rows a screen reader is shown: the title row, the rows on screen,
    // and the current row when it is not among them.
    QList<int> shownRows() const
    {
        QList<int> rows{-1};
        const QAbstractItemModel *model = grid()->model();
        if (!model || model->rowCount() == 0)
            return rows;
        const QRect viewport = grid()->viewport()->rect();
        const int first = grid()->rowAt(viewport.top());
        int last = grid()->rowAt(viewport.bottom());
        if (last < 0)
            last = model->rowCount() - 1;
        for (int r = std::max(first, 0); first >= 0 && r <= last; ++r)
            rows << r;
        const int current = grid()->currentIndex().row();
        if (current >= 0 && !rows.contains(current))
            rows << current;
        return rows;
    }

    CellAccessible *cell(int row, int column) const
    {
        const CellKey key(row, column);
        if (const auto found = m_cells.constFind(key); found != m_cells.cend())
            return static_cast<CellAccessible *>(QAccessible::accessibleInterface(*found));
        auto *iface = new CellAccessible(grid(), row, column);
        m_cells.insert(key, QAccessible::registerAccessibleInterface(iface));
        return iface;
    }

    // Lets go of the interfaces of rows no longer shown.
    void forget(const QList<int> &keep)
    {
        for (auto it = m_cells.begin(); it != m_cells.end();) {
            if (keep.contains(it.key().first)) {
                ++it;
                continue;
            }
            QAccessible::deleteAccessibleInterface(it.value());
            it = m_cells.erase(it);
        }
    }

    QString text(QAccessible::Text t) const override
    {
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty())
            s = grid()->toolTip();
        return s;
    }
    int childCount() const override { return int(shownRows().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<int> rows = shownRows();
        return index >= 0 && index < rows.size() ? cell(rows[index], -1) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto *c = dynamic_cast<const CellAccessible *>(child);
        return c && c->isRow() ? int(shownRows().indexOf(c->row())) : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface *c = child(i); c && c->rect().contains(x, y))
                return c;
        return nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        const QModelIndex current = grid()->currentIndex();
        if (!grid()->hasFocus() || !current.isValid())
            return nullptr;
        return cell(current.row(), current.column());
    }

private:
    mutable QHash<CellKey, QAccessible::Id> m_cells;
};

QAccessibleInterface *CellAccessible::parent() const
{
    if (!m_grid)
        return nullptr;
    auto *table = static_cast<GridAccessible *>(QAccessible::queryAccessibleInterface(m_grid.data()));
    return isRow() ? static_cast<QAccessibleInterface *>(table) : table->cell(m_row, -1);
}

QAccessibleInterface *CellAccessible::child(int index) const
{
    if (!isRow() || !m_grid)
        return nullptr;
    const QList<int> columns = m_grid->shownColumns();
    if (index < 0 || index >= columns.size())
        return nullptr;
    auto *table = static_cast<GridAccessible *>(QAccessible::queryAccessibleInterface(m_grid.data()));
    return table->cell(m_row, columns[index]);
}

QAccessibleInterface *gridFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(DbGrid::staticMetaObject.className()) && object && object->isWidgetType())
        return new GridAccessible(static_cast<DbGrid *>(object));
    return nullptr;
}

GridAccessible *gridInterface(DbGrid *grid)
{
    return static_cast<GridAccessible *>(QAccessible::queryAccessibleInterface(grid));
}

} // namespace

void installGridAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(gridFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void notifyGridCurrentCell(DbGrid *grid)
{
    const QModelIndex current = grid->currentIndex();
    if (!QAccessible::isActive() || !current.isValid() || !grid->hasFocus())
        return;
    if (GridAccessible *table = gridInterface(grid)) {
        QAccessibleEvent focus(table->cell(current.row(), current.column()), QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void notifyGridRowsChanged(DbGrid *grid)
{
    if (!QAccessible::isActive())
        return;
    if (GridAccessible *table = gridInterface(grid)) {
        table->forget(table->shownRows());
        QAccessibleEvent reorder(table, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
}

} // namespace platform::db
