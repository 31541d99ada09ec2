#pragma once

#include <QPlainTextEdit>

namespace platform::db {

class DataSource;
class FieldBinding;

// A multi-line edit bound to a field of a data source's current row. Text
// typed into it goes into the row at once and is posted when the row moves;
// Esc drops what was typed and shows the stored value again.
class DbMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit DbMemo(QWidget *parent = nullptr);

    DataSource *dataSource() const;
    void setDataSource(DataSource *source);
    QString dataField() const;
    void setDataField(const QString &name);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showValue(const QString &text);

    FieldBinding *m_binding;
    bool m_showing = false;
};

} // namespace platform::db
