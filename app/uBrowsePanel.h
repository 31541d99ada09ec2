#pragma once

#include <QMap>
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QFrame;

namespace platform::db {
class DbEdit;
class DbGrid;
class DbMemo;
class DbQuery;
class DataSource;
} // namespace platform::db

// The browsing panel "Pal_1": the province/city tree, the company grid,
// the detail strip and the toolbar that starts the query tools. Everything
// works on the data module's shared company query. The toolbar's right end
// says how many companies the grid shows; its "导出" button and the grid's
// context menu export them.
class TBrowsePanel : public QWidget
{
    Q_OBJECT
public:
    // The statement of the full company list.
    static const char *const kCompanyListSql;
    // The display label the list gives a column of the company table; the
    // name itself for a column it does not label.
    static QString DisplayLabelOf(const QString &field);
    // The root and the thirty-nine nodes of the tree, in order.
    static QStringList CategoryNodeTexts();

    TBrowsePanel(platform::db::DbQuery *companies, platform::db::DataSource *source,
                 QWidget *parent = nullptr);

    // Loads the full company list; failures are dropped silently. While
    // the list is still being read (a large table), the grid shows the rows
    // read so far and takes in the rest as they come.
    void LoadCompanyList();
    // The status line's caption for the reading of the list: how far it
    // has got while it runs (the list and every search meanwhile hold the
    // rows read so far), "准备就绪... ..." after it.
    static QString LoadCaption(int rows, double fraction, bool finished, bool failed);
    // Fills the tree with the root, ten cities and twenty-nine provinces.
    static void BuildCategoryTree(QTreeWidget *tree);

    // Toolbar and grid handlers.
    void TreeView1Change();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton8Click();
    void SpBtn_OFindClick();
    void SpeedButton1Click();
    void DBGrid1DblClick();

    // The search box: every change of its text searches the list again
    // (see ApplyCompanySearch), within the tree's or the credible filter
    // and keeping the sort. Esc in the box, or its clear button, shows the
    // whole list again.
    void EdtSearchChange();

    // Sets every field's display width from the rows on the grid's first
    // screen (SizeFieldsToFirstRows).
    void SizeColumnsToFirstScreen();

    // The count of companies shown, in words: "当前显示 1,234 家企业".
    static QString ShownCountText(int count);
    // Shows how the list stands after any change of it: the count, the
    // credible button pressed while its filter is on, and a tree selection
    // that names what the list follows (the root while no filter is on, no
    // node while the credible filter is).
    void ShowListState();

    // "导出": asks for a file in a save dialog that starts in the user's
    // documents folder, then writes the rows shown.
    void SpBtn_ExportClick();
    // Writes the rows the grid shows (after filter and sort), its visible
    // columns in their order under their titles, to `fileName`: XLSX for a
    // name ending in ".xlsx", CSV otherwise. A long export shows its
    // progress and can be cancelled. Tells the user when the file could not
    // be written; returns whether it was.
    bool ExportList(const QString &fileName);

    // The grid's context menu for a point of its viewport: 复制单元格,
    // 复制整行, 打开企业网站 (when the row has an address), 查看详细资料 and
    // 导出…. A click on a row not selected makes it the current row first.
    QMenu *GridContextMenu(const QPoint &pos);

    // The address to open for a company's web site value: empty for an
    // empty value, the value itself when it starts with "http://" in any
    // letter case, else the value behind "http://".
    static QString CompanySiteAddress(const QString &http);

    // The detail strip's edit bound to a column; nullptr for an unknown one.
    platform::db::DbEdit *DetailEdit(const QString &field) const;

    QToolButton *SpeedButton3;
    QToolButton *SpeedButton8;
    QToolButton *SpBtn_OFind;
    QToolButton *SpeedButton2;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton5;
    QToolButton *SpeedButton6;
    QToolButton *SpBtn_Export;
    QToolButton *SpeedButton4;
    QLabel *LabelCount;
    QLineEdit *EdtSearch;
    // Hidden holders of the two glyphs of each toggle.
    QToolButton *SpdBtn_A;
    QToolButton *SpdBtn_B;
    QToolButton *SpeedButtonA;
    QToolButton *SpeedButtonB;

    QFrame *PanelD;
    QSplitter *Splitter1;
    QTreeWidget *TreeView1;
    platform::db::DbGrid *DBGrid1;
    platform::db::DbMemo *DBMemo_cCorpMemo;

    QString FListSql;

protected:
    // Enter on a grid row opens the detail card.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolbar();
    void buildDetailStrip();
    void buildTreeAndGrid();

    platform::db::DbQuery *m_companies;
    platform::db::DataSource *m_source;
    QMap<QString, platform::db::DbEdit *> m_detailEdits;
};
