#pragma once

#include <QTableWidget>

#include <functional>

// A grid of texts with one header row, addressed as (column, row) with the
// header as row 0 and the item rows from 1. Cells are never edited in place.
// The window that owns the grid hooks in before a cell becomes current and
// after each cell is painted, and hears mouse presses on the header.
class StringGrid : public QTableWidget
{
    Q_OBJECT
public:
    // Flags of a painted cell.
    enum DrawState : unsigned { dsSelected = 1, dsFocused = 2, dsFixed = 4 };

    StringGrid(int colCount, QWidget *parent = nullptr);

    // Rows including the header row; at least 2.
    int RowCount() const { return rowCount() + 1; }
    void SetRowCount(int count);
    int ColCount() const { return columnCount(); }

    QString Cells(int col, int row) const;
    void SetCells(int col, int row, const QString &text);
    // Empties every cell of an item row.
    void ClearRow(int row);
    // Exchanges the texts of two item rows.
    void SwapRows(int a, int b);

    // The current cell; the row counts the header, so the first item row is 1.
    int Col() const { return currentColumn(); }
    int Row() const { return currentRow() + 1; }
    // Makes a cell current as a click on it would (the select hook runs).
    void SelectCell(int col, int row);
    // Makes a cell current without asking the select hook.
    void SetCurrentCellQuietly(int col, int row);

    // A cell's rectangle in the grid's own coordinates; row 0 is the header.
    QRect CellRect(int col, int row) const;
    // The cell under a point in the grid's coordinates: false outside the cells.
    bool CellAt(const QPoint &pos, int &col, int &row) const;

    void SetColWidth(int col, int width);
    void SetRowHeight(int height);
    void SetFixedColor(const QColor &color);
    QColor FixedColor() const { return m_fixedColor; }

    // Draws a header cell sunken (while a mouse button holds it) or plain (-1).
    void SetPressedHeader(int col);
    int PressedHeader() const { return m_pressedHeader; }

    // Runs before a cell becomes current; clearing canSelect keeps the old one.
    std::function<void(int col, int row, bool &canSelect)> OnSelectCell;
    // Runs after the grid painted a cell (header cells have row 0).
    std::function<void(QPainter &canvas, int col, int row, const QRect &rect, unsigned state)> OnDrawCell;
    // A mouse button went down or up on a header cell.
    std::function<void(Qt::MouseButton button, int col)> OnHeaderMouseDown;
    std::function<void(Qt::MouseButton button, int col)> OnHeaderMouseUp;

    // For the grid's helpers.
    bool askSelect(const QModelIndex &index);
    void drawCell(QPainter &canvas, int col, int row, const QRect &rect, unsigned state);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    QColor m_fixedColor{241, 241, 241};
    int m_pressedHeader = -1;
    bool m_quiet = false;
};
