#pragma once

#include <QTableView>

namespace platform::db {

class DataSource;
class DbField;
class DbGridModel;

// A read-only grid over a data source: whole-row selection, column titles
// from the fields' display labels, column widths from their display widths
// (in characters), an indicator column marking the current row. Moving the
// selection moves the query's current row and the other way round.
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

private:
    void applyWidths();
    void followQuery(int row);
    void updateStyle();

    DbGridModel *m_model;
    QList<Column> m_columns;
    QColor m_fixedColor{241, 241, 241};
    QColor m_titleColor{Qt::black};
    bool m_syncing = false;
};

} // namespace platform::db
