#pragma once

#include <QDialog>
#include <QStringList>

#include <array>
#include <vector>

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPainter;
class QPlainTextEdit;
class QTabWidget;
class QToolButton;
class QWidget;
class StringGrid;
class ToolTitleStrip;

namespace platform::db {
class DbQuery;
}

// The compound-query window "查询条件设置": the user writes conditions as
// rows of a grid through editors laid over its cells; OK turns the rows into
// a SELECT statement on the company table, left in MemoSQl, and ends the
// modal run with 6. Cancel and "×" end it with 2. The dialog reads the
// source dataset's fields and never changes the dataset.
class TFmFindCheckSet : public QDialog
{
    Q_OBJECT
public:
    explicit TFmFindCheckSet(QWidget *owner = nullptr);
    ~TFmFindCheckSet() override;

    // The dataset whose fields can be searched and selected; set before showing.
    platform::db::DbQuery *SourceDataSet = nullptr;
    // The query whose connection the syntax check runs on.
    platform::db::DbQuery *ADOQryFind = nullptr;

    // The statement: every line of MemoSQl followed by CR LF.
    QString MemoSQlText() const;

    // The model.
    void LoadFieldCatalogue();
    void FillDisplayItems();
    void BuildSelectList();
    void BuildWhereClause();
    void ComposeSqlText();

    // Handlers.
    void FormCreate();
    void FormShow();
    void Sgrd_FindSelectCell(int col, int row, bool &canSelect);
    void Cbo_FieldsExit();
    void Cbo_CompareExit();
    void Edt_ValueExit();
    void DateTP_ValueExit();
    void Cbo_ConnectionExit();
    // Sets key to a null character to discard it.
    void Edt_ValueKeyPress(QChar &key);
    void Sgrd_FindDrawCell(QPainter &canvas, int col, int row, const QRect &rect, unsigned state);
    void Sgrd_CheckDrawCell(QPainter &canvas, int col, int row, const QRect &rect, unsigned state);
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void SpeedButton8Click();
    void SpeedButton9Click();
    void PageControl1Change();
    void Sgrd_CheckClick();
    void Sgrd_CheckMouseDown(Qt::MouseButton button, int col, int row);
    void Sgrd_CheckMouseUp(Qt::MouseButton button, int col, int row);
    void Image1MouseDown(Qt::MouseButton button, const QPointF &globalPos);

    void InitGrids();
    void PressHeaderCell(int col);
    void HeaderColumnClick(int col);
    void SortDisplayRows(int col, bool descending);

    // Fills the rectangle with the canvas's brush and draws the text
    // vertically centred, with the given horizontal alignment.
    static void DrawCellText(QPainter &canvas, const QString &text, Qt::Alignment alignment,
                             const QRect &rect);

    // The field catalogue: entry i describes field i of SourceDataSet.
    QStringList FFieldNames;
    QStringList FFieldLabels;
    QStringList FFieldTypes;
    // The chosen output fields and their labels, in output order.
    QStringList FChosenFields;
    QStringList ChosenLabels;
    QString FSelectList;
    QString FFromText;
    QString FWhereText;
    bool FHeaderToggle = false;

    ToolTitleStrip *Image1;
    QToolButton *SpeedButton9;
    QTabWidget *PageControl1;
    StringGrid *Sgrd_Find;
    StringGrid *Sgrd_Check;
    QPlainTextEdit *MemoSQl;
    QComboBox *Cbo_Fields;
    QComboBox *Cbo_Compare;
    QLineEdit *Edt_Value;
    QDateEdit *DateTP_Value;
    QComboBox *Cbo_Connection;
    QGroupBox *GroupBox1;
    QGroupBox *GroupBox2;
    QGroupBox *GroupBox3;
    QGroupBox *GroupBox4;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QToolButton *SpeedButton3;
    QToolButton *SpeedButton4;
    QToolButton *SpeedButton5;
    QToolButton *SpeedButton6;
    QToolButton *SpeedButton7;
    QToolButton *SpeedButton8;

public slots:
    // Escape and a close request end the run like Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Names every control for a screen reader.
    void nameForScreenReaders();
    void buildControls();
    QList<QWidget *> editors() const;
    // Commits the editor that has the focus and takes the focus from it.
    void leaveEditor();
    // Ends the edit of a cell without writing it: the editors hide and the
    // grid takes the focus.
    void cancelEditor();
    void commit(QWidget *editor);
    void placeEditor(QWidget *editor, int col, int row);
    // The condition rows as the grid holds them; element 0 is row 1.
    std::vector<std::array<QString, 7>> conditionRows() const;
    bool currentRowIsNumeric() const;

    bool m_leaving = false;
};

// The dialog while a compound query runs; empty otherwise.
extern TFmFindCheckSet *FmFindCheckSet;
