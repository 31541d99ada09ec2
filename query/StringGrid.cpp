#include "query/StringGrid.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Asks the grid before any change of the current cell: by mouse, keyboard or code.
class GridSelectionModel : public QItemSelectionModel
{
public:
    GridSelectionModel(StringGrid *grid) : QItemSelectionModel(grid->model(), grid), m_grid(grid) {}

    void setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override
    {
        if (index.isValid() && index != currentIndex() && !m_grid->askSelect(index))
            return;
        QItemSelectionModel::setCurrentIndex(index, command);
    }

private:
    StringGrid *m_grid;
};

// Paints a cell as usual, then lets the grid's owner paint over it.
class GridDelegate : public QStyledItemDelegate
{
public:
    GridDelegate(StringGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        unsigned state = 0;
        if (option.state & QStyle::State_Selected)
            state |= StringGrid::dsSelected;
        if (option.state & QStyle::State_HasFocus)
            state |= StringGrid::dsFocused;
        painter->save();
        const bool selected = state & StringGrid::dsSelected;
        painter->setBrush(option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(option.font);
        m_grid->drawCell(*painter, index.column(), index.row() + 1, option.rect, state);
        painter->restore();
    }

private:
    StringGrid *m_grid;
};

// The header row: painted in the fixed colour, sunken while held, and
// reporting presses to the grid instead of selecting columns.
class GridHeader : public QHeaderView
{
public:
    GridHeader(StringGrid *grid) : QHeaderView(Qt::Horizontal, grid), m_grid(grid)
    {
        setSectionsClickable(false);
        setHighlightSections(false);
    }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        painter->save();
        painter->fillRect(rect, m_grid->FixedColor());
        painter->setPen(QColor(160, 160, 160));
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->setBrush(m_grid->FixedColor());
        painter->setPen(palette().color(QPalette::WindowText));
        painter->setFont(font());
        m_grid->drawCell(*painter, logicalIndex, 0, rect, StringGrid::dsFixed);
        if (m_grid->PressedHeader() == logicalIndex) {
            // Sunken: grey along the top and left, button face inside the bottom and right.
            painter->setPen(QColor(128, 128, 128));
            painter->drawLine(rect.topLeft(), rect.topRight());
            painter->drawLine(rect.topLeft(), rect.bottomLeft());
            painter->setPen(QColor(212, 208, 200));
            painter->drawLine(rect.left() + 1, rect.bottom() - 1, rect.right() - 1, rect.bottom() - 1);
            painter->drawLine(rect.right() - 1, rect.top() + 1, rect.right() - 1, rect.bottom() - 1);
        }
        painter->restore();
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        const int col = logicalIndexAt(event->position().toPoint());
        if (col >= 0 && m_grid->OnHeaderMouseDown)
            m_grid->OnHeaderMouseDown(event->button(), col);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        const int col = logicalIndexAt(event->position().toPoint());
        if (col >= 0 && m_grid->OnHeaderMouseUp)
            m_grid->OnHeaderMouseUp(event->button(), col);
    }

private:
    StringGrid *m_grid;
};

} // namespace

StringGrid::StringGrid(int colCount, QWidget *parent) : QTableWidget(1, colCount, parent)
{
    setHorizontalHeader(new GridHeader(this));
    setSelectionModel(new GridSelectionModel(this));
    setItemDelegate(new GridDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    for (int c = 0; c < colCount; ++c)
        setHorizontalHeaderItem(c, new QTableWidgetItem);
    SetRowHeight(18);
}

void StringGrid::SetRowCount(int count)
{
    setRowCount(std::max(count, 2) - 1);
}

QString StringGrid::Cells(int col, int row) const
{
    const QTableWidgetItem *it = row == 0 ? horizontalHeaderItem(col) : item(row - 1, col);
    return it ? it->text() : QString();
}

void StringGrid::SetCells(int col, int row, const QString &text)
{
    if (col < 0 || col >= columnCount() || row < 0 || row > rowCount())
        return;
    if (row == 0) {
        horizontalHeaderItem(col)->setText(text);
        return;
    }
    if (QTableWidgetItem *it = item(row - 1, col)) {
        it->setText(text);
        return;
    }
    auto *it = new QTableWidgetItem(text);
    it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    setItem(row - 1, col, it);
}

void StringGrid::ClearRow(int row)
{
    for (int c = 0; c < columnCount(); ++c)
        SetCells(c, row, QString());
}

void StringGrid::SwapRows(int a, int b)
{
    for (int c = 0; c < columnCount(); ++c) {
        const QString first = Cells(c, a);
        SetCells(c, a, Cells(c, b));
        SetCells(c, b, first);
    }
}

void StringGrid::SelectCell(int col, int row)
{
    setCurrentCell(row - 1, col);
}

void StringGrid::SetCurrentCellQuietly(int col, int row)
{
    m_quiet = true;
    setCurrentCell(row - 1, col);
    m_quiet = false;
}

bool StringGrid::askSelect(const QModelIndex &index)
{
    bool canSelect = true;
    if (!m_quiet && OnSelectCell)
        OnSelectCell(index.column(), index.row() + 1, canSelect);
    return canSelect;
}

void StringGrid::drawCell(QPainter &canvas, int col, int row, const QRect &rect, unsigned state)
{
    if (OnDrawCell)
        OnDrawCell(canvas, col, row, rect, state);
    else if (row == 0)
        canvas.drawText(rect, Qt::AlignCenter, Cells(col, row));
}

QRect StringGrid::CellRect(int col, int row) const
{
    if (row == 0) {
        const QHeaderView *h = horizontalHeader();
        return QRect(h->sectionViewportPosition(col), 0, h->sectionSize(col), h->height())
            .translated(h->geometry().topLeft());
    }
    return visualRect(model()->index(row - 1, col)).translated(viewport()->geometry().topLeft());
}

bool StringGrid::CellAt(const QPoint &pos, int &col, int &row) const
{
    const QHeaderView *h = horizontalHeader();
    if (h->geometry().contains(pos)) {
        col = h->logicalIndexAt(pos - h->geometry().topLeft());
        row = 0;
        return col >= 0;
    }
    const QModelIndex index = indexAt(pos - viewport()->geometry().topLeft());
    if (!index.isValid())
        return false;
    col = index.column();
    row = index.row() + 1;
    return true;
}

void StringGrid::SetColWidth(int col, int width)
{
    setColumnWidth(col, width);
}

void StringGrid::SetRowHeight(int height)
{
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(height);
}

void StringGrid::SetFixedColor(const QColor &color)
{
    m_fixedColor = color;
    horizontalHeader()->viewport()->update();
}

void StringGrid::SetPressedHeader(int col)
{
    m_pressedHeader = col;
    horizontalHeader()->viewport()->update();
}

void StringGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableWidget::currentChanged(current, previous);
    // The owner may mark the current row in cells other than the current one.
    viewport()->update();
}
