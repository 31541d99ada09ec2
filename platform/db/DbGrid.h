#pragma once

#include <QTableView>

namespace platform::db {

class DataSource;
class DbField;
class DbGridModel;

// A read-only grid over a data source: whole-row selection, column titles
// from the fields' display labels, column widths from their display widths
// (in characters), an indicator column marking the current row. Moving the
// selection moves the query's current row and the other way round. A click
// on a column title sorts the query by that column, a second click
// reverses, and the title shows an arrow while the rows are sorted by it.
// Ctrl+C copies the selected rows. Tab leaves the grid for the next control.
class DbGrid : public QTableView
{
    Q_OBJECT
public:
    explicit DbGrid(QWidget *parent = nullptr);

    DataSource *dataSource() const;
    void setDataSource(DataSource *source);
    DbGridModel *gridModel() const { return m_model; }

    // A column set up in advance: the field it shows and its width in
    // pixels (0: from the field's display width).
    struct Column
    {
        QString fieldName;
        int width = 0;
    };
    // Shows these columns in this order instead of every field in field
    // order; an empty list returns to every field.
    void setColumns(const QList<Column> &columns);
    QList<Column> columns() const { return m_columns; }
    // The field shown in a column, in column order; nullptr when none.
    DbField *columnField(int column) const;

    // Colour of the title row and the indicator column.
    void setFixedColor(const QColor &color);
    // Colour of the title texts.
    void setTitleColor(const QColor &color);

    // Pixel width of a column of the given display width, in this grid's font.
    int columnWidthFor(int displayWidth) const;

    // What the grid says in its empty area when there are no rows; nothing
    // when empty.
    QString emptyText() const { return m_emptyText; }
    void setEmptyText(const QString &text);

    // Sorts by the column of a title click: ascending, or the other way
    // round when the rows are sorted by that column already.
    void sortByTitle(int column);

    // How many rows the grid shows at its present height (the last one perhaps in part).
    int rowsOnScreen() const;
    // The shown columns in the order the user sees them.
    QList<int> shownColumns() const;
    // The rows a user selected, in row order; the current row when none is.
    QList<int> selectedRowNumbers() const;
    // The whole value of a cell (every line of a memo), as the database holds it.
    QString cellValue(int row, int column) const;
    // Rows as spreadsheets paste them: the column titles, then one line per
    // row, the shown columns separated by tabs; a value holding a tab, a
    // line break or a quote is put in quotes, its quotes doubled.
    QString rowsText(const QList<int> &rows) const;
    // Puts the selected rows, or one cell's value, on the clipboard.
    void copySelectedRows() const;
    void copyCell(const QModelIndex &index) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    // A screen reader hears of the current cell and the rows on screen only
    // (DbGridAccessible), never of an index into the whole list.
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void applyWidths();
    void followQuery(int row);
    void updateStyle();
    void waitForWholeResult();
    void showSortIndicator();

    DbGridModel *m_model;
    QList<Column> m_columns;
    QColor m_fixedColor{241, 241, 241};
    QColor m_titleColor{Qt::black};
    bool m_syncing = false; // the grid follows the query
    bool m_leading = false; // the query follows the grid
    QString m_emptyText;
};

} // namespace platform::db
