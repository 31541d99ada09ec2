#pragma once

#include <QLineEdit>

namespace platform::db {

class DataSource;
class FieldBinding;

// A single-line edit bound to a field of a data source's current row.
class DbEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit DbEdit(QWidget *parent = nullptr);

    DataSource *dataSource() const;
    void setDataSource(DataSource *source);
    QString dataField() const;
    void setDataField(const QString &name);

    // Where the query's search found its words in the text shown, as
    // UTF-16 ranges (start, length); they are painted on a highlight.
    QList<QPair<int, int>> searchHighlights() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    FieldBinding *m_binding;
};

} // namespace platform::db
