#pragma once

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;
class ToolTitleStrip;

namespace platform::db {
class DbGrid;
class DbQuery;
} // namespace platform::db

// The quick search "快速检索": narrows the company list to the rows whose
// chosen field equals, contains or starts with a text, by running the last
// list statement again with a WHERE clause, on every change of the text.
// A borderless tool window above its owner; closing only hides it.
class TFmSearchs : public QWidget
{
    Q_OBJECT
public:
    // Searches the query behind `grid`; the field list is taken from the
    // grid's columns now and kept.
    TFmSearchs(platform::db::DbGrid *grid, QWidget *owner);
    ~TFmSearchs() override;

    // The statement of the last full list load, to which a search adds its
    // clause (it ends with a line break).
    std::function<QString()> ListSql;

    void FormCreate();
    void FillSearchFields();
    void RunQuickSearch();

    // Handlers.
    void SpeedButton1Click();
    void FFieldTextChange();
    void SpeedButton4Click();
    void Image1MouseDown(Qt::MouseButton button, const QPointF &globalPos);

    // The clause for searching `text` in `field`: an exact match when
    // `exact`, else contains when `contains`, else starts with.
    static QString SearchClause(const QString &field, const QString &text, bool exact, bool contains);

    // Opens centred on the main window the first time, and always on screen:
    // placed before it is shown, as a window moved while it is being mapped
    // may never be painted.
    void setVisible(bool visible) override;

    ToolTitleStrip *Image1;
    QToolButton *SpeedButton2;
    QComboBox *FCboBoxField;
    QLineEdit *FFieldText;
    QCheckBox *CheckBoxFind;
    QCheckBox *CheckBox1;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton4;

protected:
    // Esc closes the window.
    void keyPressEvent(QKeyEvent *event) override;

private:
    platform::db::DbQuery *companies() const;

    bool m_placed = false;

    platform::db::DbGrid *m_grid;
};

// The quick-search window once it has been opened; empty before.
extern TFmSearchs *FmSearchs;
