#pragma once

#include <QMap>
#include <QString>
#include <QWidget>

class QLabel;
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
// works on the data module's shared company query.
class TBrowsePanel : public QWidget
{
    Q_OBJECT
public:
    // The statement of the full company list.
    static const char *const kCompanyListSql;
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

    // Sets every field's display width from the current row: the value's
    // length in GB2312 bytes plus 10, or 10 when it is empty.
    void SizeColumnsToCurrentRow();

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
    QToolButton *SpeedButton4;
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

private:
    void buildToolbar();
    void buildDetailStrip();
    void buildTreeAndGrid();

    platform::db::DbQuery *m_companies;
    platform::db::DataSource *m_source;
    QMap<QString, platform::db::DbEdit *> m_detailEdits;
};
