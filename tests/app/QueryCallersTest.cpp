#include "AppFixture.h"

#include "app/uBrowsePanel.h"
#include "app/uFmMainForm.h"
#include "platform/db/DbEdit.h"
#include "platform/db/DbGrid.h"
#include "platform/db/DbGridModel.h"
#include "platform/db/DbMemo.h"
#include "platform/os/Gb2312.h"
#include "query/StringGrid.h"
#include "query/uFindCheckSet.h"
#include "query/uFmPackContent.h"
#include "query/uFmSearchs.h"
#include "support/TypeText.h"

#include "support/QStringPrint.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>

using namespace platform::db;

class QueryCallersTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(startMainForm({
            testdb::companyInsert(QStringLiteral("北京光明软件实业有限公司"), QStringLiteral("北京市"), 1),
            testdb::companyInsert(QStringLiteral("安徽机械厂"), QStringLiteral("安徽省"), 0),
            testdb::companyInsert(QStringLiteral("安徽诚信化工"), QStringLiteral("安徽省"), 1),
            testdb::companyInsert(QStringLiteral("北京化工"), QStringLiteral("北京市"), 0),
            testdb::companyInsert(QStringLiteral("海外公司"), QStringLiteral("其他"), 0),
        }));
        form->SideBarHeaders0Buttons0Click(); // the bar's "Velmora": the company list
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        panel = form->Pal_1;
        companies = dm->ADOQryDVPack;
    }
    // Presses "复合查询" and lets `drive` work the modal dialog; true when
    // the dialog ran.
    bool runCompoundQuery(const std::function<void(TFmFindCheckSet *)> &drive)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<TFmFindCheckSet *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            ran = true;
            EXPECT_EQ(dialog, FmFindCheckSet);
            // The offscreen platform leaves the main window active; a window manager would not.
            dialog->activateWindow();
            EXPECT_TRUE(QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; }));
            drive(dialog);
            if (dialog->isVisible()) // a failed expectation must not leave the test hanging
                dialog->done(2);
        });
        QTest::mouseClick(panel->SpBtn_OFind, Qt::LeftButton);
        return ran;
    }

    static void clickCell(TFmFindCheckSet *dialog, int col, int row)
    {
        StringGrid *grid = dialog->Sgrd_Find;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->CellRect(col, row).center() - grid->viewport()->geometry().topLeft());
    }
    // A press and release, then the second press that the system reports as a double click.
    static void doubleClick(QWidget *w, const QPoint &pos)
    {
        QTest::mouseClick(w, Qt::LeftButton, {}, pos);
        QTest::mouseDClick(w, Qt::LeftButton, {}, pos);
        QTest::mouseRelease(w, Qt::LeftButton, {}, pos);
    }
    static void down(QWidget *w, int times)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(w, Qt::Key_Down);
    }

    QString gridTitle(int column) const
    {
        return panel->DBGrid1->model()->headerData(column, Qt::Horizontal).toString();
    }
    QStringList gridNames() const
    {
        QStringList list;
        const QAbstractItemModel *m = panel->DBGrid1->model();
        const int col = companies->fieldByName(QStringLiteral("cCorpCName"))->index();
        for (int r = 0; r < m->rowCount(); ++r)
            list << m->index(r, col).data().toString();
        return list;
    }

    TBrowsePanel *panel = nullptr;
    DbQuery *companies = nullptr;
};

TEST_F(QueryCallersTest, CompoundQueryWrittenWithMouseAndKeyboardFillsTheGrid)
{
    QPointer<TFmFindCheckSet> seen;
    const bool ran = runCompoundQuery([&](TFmFindCheckSet *dialog) {
        seen = dialog;
        EXPECT_EQ(dialog->parentWidget(), form.get());
        clickCell(dialog, 1, 1);
        down(dialog->Cbo_Fields, 1); // 公司名称
        clickCell(dialog, 2, 1);
        down(dialog->Cbo_Compare, 6); // 包含
        clickCell(dialog, 3, 1);
        typeText(dialog->Edt_Value, QStringLiteral("化工"));

        QTest::mouseClick(dialog->SpeedButton1, Qt::LeftButton); // 新增条件
        EXPECT_TRUE(dialog->Cbo_Fields->hasFocus());
        down(dialog->Cbo_Fields, 13); // 省份
        clickCell(dialog, 2, 2);      // leaves "等于"
        clickCell(dialog, 3, 2);
        EXPECT_EQ(dialog->Edt_Value->text(), QStringLiteral("化工"));
        QTest::keyClick(dialog->Edt_Value, Qt::Key_A, Qt::ControlModifier);
        typeText(dialog->Edt_Value, QStringLiteral("安徽省"));
        QTest::mouseClick(dialog->SpeedButton7, Qt::LeftButton); // 确定, the edit still focused
    });
    ASSERT_TRUE(ran);

    const QString fields =
        QString::fromLatin1(TBrowsePanel::kCompanyListSql).mid(7).section(QLatin1Char(' '), 0, 0);
    EXPECT_EQ(companies->sqlText().toStdString(),
              (QStringLiteral("SELECT \r\n") + fields +
               QStringLiteral(
                   "\r\n FROM  Dorvak \r\n Where  cCorpCName like '%化工%' and  cProvince = '安徽省' \r\n"))
                  .toStdString());
    EXPECT_EQ(gridNames(), QStringList{QStringLiteral("安徽诚信化工")});
    // The result's fields carry the chosen labels and the widths of the first row.
    EXPECT_EQ(gridTitle(1), QStringLiteral("公司名称"));
    EXPECT_EQ(gridTitle(13), QStringLiteral("省份"));
    EXPECT_EQ(companies->fieldByName(QStringLiteral("cCorpCName"))->displayWidth(),
              platform::gb2312Length(QStringLiteral("安徽诚信化工")) + 10);
    // The dialog is gone; the list statement and the record count stay.
    EXPECT_EQ(FmFindCheckSet, nullptr);
    EXPECT_TRUE(seen.isNull());
    EXPECT_EQ(panel->FListSql, QString::fromLatin1(TBrowsePanel::kCompanyListSql) + QLatin1String("\r\n"));
    EXPECT_EQ(form->PanelC->text(), QStringLiteral("| 总记录数：5 条"));
}

TEST_F(QueryCallersTest, CancelAndCloseLeaveTheListAsItWas)
{
    for (bool useClose : {false, true}) {
        QPointer<TFmFindCheckSet> seen;
        ASSERT_TRUE(runCompoundQuery([&](TFmFindCheckSet *dialog) {
            seen = dialog;
            clickCell(dialog, 3, 1);
            typeText(dialog->Edt_Value, QStringLiteral("x"));
            QTest::mouseClick(useClose ? dialog->SpeedButton9 : dialog->SpeedButton8, Qt::LeftButton);
        }));
        EXPECT_EQ(companies->sqlText(), panel->FListSql);
        EXPECT_EQ(companies->recordCount(), 5);
        EXPECT_EQ(FmFindCheckSet, nullptr);
        EXPECT_TRUE(seen.isNull());
    }
}

TEST_F(QueryCallersTest, ARunningDialogBlocksASecondOne)
{
    TFmFindCheckSet running;
    FmFindCheckSet = &running;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            modal = true;
            w->close();
        }
    });
    panel->SpBtn_OFindClick();
    QApplication::processEvents();
    EXPECT_FALSE(modal);
    EXPECT_EQ(FmFindCheckSet, &running);
    FmFindCheckSet = nullptr;
}

// Conditions that cannot run are not reported as "nothing found": the
// dialog says which row is incomplete and keeps them, and the list stays as
// it was, with its titles, inside the tree's filter.
TEST_F(QueryCallersTest, ConditionsThatCannotRunKeepTheListAndSayWhy)
{
    // A province chosen before narrows the compound result too.
    const auto found =
        panel->TreeView1->findItems(QStringLiteral("安徽省"), Qt::MatchExactly | Qt::MatchRecursive);
    panel->TreeView1->setCurrentItem(found.first());
    ASSERT_TRUE(runCompoundQuery(
        [](TFmFindCheckSet *dialog) { QTest::mouseClick(dialog->SpeedButton7, Qt::LeftButton); }));
    const QString shown = companies->sqlText();
    ASSERT_EQ(companies->recordCount(), 2);
    ASSERT_EQ(gridTitle(0), QStringLiteral("类别名称"));
    const auto expectListKept = [&](const char *what) {
        EXPECT_EQ(companies->sqlText(), shown) << what;
        EXPECT_TRUE(companies->active()) << what;
        EXPECT_EQ(companies->recordCount(), 2) << what;
        EXPECT_EQ(panel->DBGrid1->model()->rowCount(), 2) << what;
        EXPECT_EQ(gridTitle(0), QStringLiteral("类别名称")) << what;
        EXPECT_EQ(FmFindCheckSet, nullptr) << what;
    };

    // A dangling "or": OK names the row and the dialog stays with every condition.
    ASSERT_TRUE(runCompoundQuery([&](TFmFindCheckSet *dialog) {
        clickCell(dialog, 1, 1);
        clickCell(dialog, 2, 1);
        clickCell(dialog, 3, 1);
        typeText(dialog->Edt_Value, QStringLiteral("电"));
        clickCell(dialog, 4, 1);
        down(dialog->Cbo_Connection, 2); // or
        QTest::mouseClick(dialog->SpeedButton1, Qt::LeftButton);
        QTest::mouseClick(dialog->SpeedButton7, Qt::LeftButton);
        EXPECT_EQ(messages,
                  QStringList{QStringLiteral(
                      "Velmora|查询条件不完整：第1行的条件关系“or”后面缺少条件，请补全后再查询！")});
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->Sgrd_Find->Row(), 1) << "the row in question is the current one";
        EXPECT_EQ(dialog->Sgrd_Find->Cells(3, 1), QStringLiteral("电"));
        EXPECT_EQ(dialog->Sgrd_Find->Cells(4, 1), QStringLiteral("or"));
        QTest::mouseClick(dialog->SpeedButton8, Qt::LeftButton);
    }));
    expectListKept("after the dangling connector");

    // A statement the database still refuses (a field position no field has)
    // leaves the list as it was too.
    messages.clear();
    ASSERT_TRUE(runCompoundQuery([&](TFmFindCheckSet *dialog) {
        clickCell(dialog, 1, 1);
        clickCell(dialog, 2, 1);
        clickCell(dialog, 3, 1);
        typeText(dialog->Edt_Value, QStringLiteral("电"));
        clickCell(dialog, 0, 1);
        dialog->Sgrd_Find->SetCells(6, 1, QStringLiteral("99"));
        QTest::mouseClick(dialog->SpeedButton7, Qt::LeftButton);
    }));
    EXPECT_EQ(messages, QStringList{QStringLiteral(
                            "Velmora|查询条件不完整或有误，无法查询，企业列表保持不变，请核实！")});
    expectListKept("after the refused statement");
}

TEST_F(QueryCallersTest, QuickSearchWindowIsCreatedOnceAndSearchesTheList)
{
    QTest::mouseClick(panel->SpeedButton1, Qt::LeftButton);
    ASSERT_NE(FmSearchs, nullptr);
    TFmSearchs *first = FmSearchs;
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->parentWidget(), form.get());
    ASSERT_EQ(first->FCboBoxField->count(), 19);

    first->FCboBoxField->setCurrentIndex(1);
    typeText(first->FFieldText, QStringLiteral("化工"));
    EXPECT_EQ(companies->sqlText(),
              panel->FListSql + QStringLiteral(" WHERE (cCorpCName LIKE '%化工%')\r\n"));
    EXPECT_EQ(gridNames(), (QStringList{QStringLiteral("安徽诚信化工"), QStringLiteral("北京化工")}));
    EXPECT_EQ(gridTitle(1), QStringLiteral("公司名称"));

    QTest::mouseClick(first->SpeedButton4, Qt::LeftButton);
    EXPECT_FALSE(first->isVisible());
    QTest::mouseClick(panel->SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(FmSearchs, first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->FFieldText->text(), QStringLiteral("化工"));

    // The window goes with the main window.
    form.reset();
    EXPECT_EQ(FmSearchs, nullptr);
}

TEST_F(QueryCallersTest, DoubleClickOpensTheSameCardWhichFollowsTheGrid)
{
    DbGrid *grid = panel->DBGrid1;
    DbEdit *stripName = panel->DetailEdit(QStringLiteral("cCorpCName"));
    const Qt::ContextMenuPolicy before = stripName->contextMenuPolicy();

    const QPoint secondRow = grid->visualRect(grid->model()->index(1, 1)).center();
    doubleClick(grid->viewport(), secondRow);
    ASSERT_NE(FmPackContent, nullptr);
    TFmPackContent *card = FmPackContent;
    EXPECT_TRUE(card->isVisible());
    EXPECT_EQ(card->parentWidget(), form.get());
    EXPECT_EQ(card->Box(QStringLiteral("cCorpCName"))->text(), QStringLiteral("安徽机械厂"));

    doubleClick(grid->viewport(), grid->visualRect(grid->model()->index(2, 1)).center());
    EXPECT_EQ(FmPackContent, card);
    EXPECT_EQ(card->findChildren<TFmPackContent *>().size() + form->findChildren<TFmPackContent *>().size(),
              1);
    EXPECT_EQ(card->Box(QStringLiteral("cCorpCName"))->text(), QStringLiteral("安徽诚信化工"));

    // From now on the strip's read-only edits take the card's empty menu; the memo keeps its own.
    EXPECT_EQ(before, Qt::DefaultContextMenu);
    for (const char *f : {"cProvince", "cAreaNo", "cArea", "cCorpCName", "cManager", "cCAdd", "cTel", "cFax",
                          "cZip", "cTypeName", "cHttp", "cEmail", "cMainProd"})
        EXPECT_EQ(panel->DetailEdit(QLatin1String(f))->contextMenuPolicy(), Qt::CustomContextMenu) << f;
    EXPECT_EQ(panel->DBMemo_cCorpMemo->contextMenuPolicy(), Qt::DefaultContextMenu);

    form.reset();
    EXPECT_EQ(FmPackContent, nullptr);
}

// The count under the grid follows every change of the rows shown, and the
// grid says so when they are none.
TEST_F(QueryCallersTest, CountFollowsEveryChangeOfTheRowsShown)
{
    auto count = [&] { return panel->LabelCount->text(); };
    auto tree = [&](const QString &text) {
        panel->TreeView1->setCurrentItem(
            panel->TreeView1->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0));
    };
    EXPECT_EQ(count(), QStringLiteral("当前显示 5 家企业")) << "after the load";
    EXPECT_TRUE(panel->LabelCount->isVisible());
    EXPECT_GE(panel->LabelCount->width(), panel->LabelCount->sizeHint().width()) << "the text whole";

    tree(QStringLiteral("安徽省"));
    EXPECT_EQ(count(), QStringLiteral("当前显示 2 家企业")) << "a tree node";
    tree(QStringLiteral("西藏自治区"));
    EXPECT_EQ(count(), QStringLiteral("当前显示 0 家企业"));
    tree(QStringLiteral("Velmora目录"));
    EXPECT_EQ(count(), QStringLiteral("当前显示 5 家企业"));

    QTest::mouseClick(panel->SpeedButton6, Qt::LeftButton);
    EXPECT_EQ(count(), QStringLiteral("当前显示 2 家企业")) << "the credible filter";
    QTest::mouseClick(panel->SpeedButton6, Qt::LeftButton);
    EXPECT_EQ(count(), QStringLiteral("当前显示 5 家企业"));

    // A title click sorts; the count stays, and follows the sorted list's filter.
    QHeaderView *titles = panel->DBGrid1->horizontalHeader();
    const int nameColumn = companies->fieldByName(QStringLiteral("cCorpCName"))->index();
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                      QPoint(titles->sectionViewportPosition(nameColumn) + 10, titles->height() / 2));
    EXPECT_FALSE(companies->sort().isEmpty());
    EXPECT_EQ(count(), QStringLiteral("当前显示 5 家企业")) << "a sort";
    tree(QStringLiteral("(010)北京市"));
    EXPECT_EQ(count(), QStringLiteral("当前显示 2 家企业"));
    tree(QStringLiteral("Velmora目录"));

    QTest::mouseClick(panel->SpeedButton1, Qt::LeftButton);
    ASSERT_NE(FmSearchs, nullptr);
    FmSearchs->FCboBoxField->setCurrentIndex(1);
    typeText(FmSearchs->FFieldText, QStringLiteral("化工"));
    EXPECT_EQ(count(), QStringLiteral("当前显示 2 家企业")) << "the quick search";
    typeText(FmSearchs->FFieldText, QStringLiteral("无此名"));
    EXPECT_EQ(count(), QStringLiteral("当前显示 0 家企业"));
    EXPECT_EQ(panel->DBGrid1->model()->rowCount(), 0);
    EXPECT_EQ(panel->DBGrid1->emptyText(), QStringLiteral("没有找到符合条件的企业"));
    EXPECT_TRUE(messages.isEmpty()) << "no box while typing";
    FmSearchs->close();

    ASSERT_TRUE(runCompoundQuery([&](TFmFindCheckSet *dialog) {
        clickCell(dialog, 1, 1);
        down(dialog->Cbo_Fields, 1); // 公司名称
        clickCell(dialog, 2, 1);
        down(dialog->Cbo_Compare, 6); // 包含
        clickCell(dialog, 3, 1);
        typeText(dialog->Edt_Value, QStringLiteral("安徽"));
        QTest::mouseClick(dialog->SpeedButton7, Qt::LeftButton);
    }));
    EXPECT_EQ(count(), QStringLiteral("当前显示 2 家企业")) << "the compound query";

    QTest::mouseClick(panel->SpeedButton2, Qt::LeftButton);
    EXPECT_EQ(count(), QStringLiteral("当前显示 5 家企业")) << "刷新";
    EXPECT_EQ(form->PanelC->text(), QStringLiteral("| 总记录数：5 条")) << "the status line keeps the total";
}

// From the grid: Enter opens the card on the current row; Esc closes the card,
// then the quick search; Tab moves on out of the grid.
TEST_F(QueryCallersTest, GridKeysOpenTheCardCloseToolWindowsAndLeave)
{
    DbGrid *grid = panel->DBGrid1;
    grid->setFocus();
    companies->setCurrentRow(2);
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_NE(FmPackContent, nullptr);
    EXPECT_TRUE(FmPackContent->isVisible());
    EXPECT_EQ(FmPackContent->Box(QStringLiteral("cCorpCName"))->text(), QStringLiteral("安徽诚信化工"));

    QTest::mouseClick(panel->SpeedButton1, Qt::LeftButton);
    ASSERT_NE(FmSearchs, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return FmSearchs->FFieldText->hasFocus(); }))
        << "the quick search is there to be typed into";
    grid->activateWindow();
    grid->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->hasFocus(); }));
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_FALSE(FmPackContent->isVisible()) << "the card first";
    EXPECT_TRUE(FmSearchs->isVisible());
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_FALSE(FmSearchs->isVisible());
    EXPECT_EQ(companies->currentRow(), 2) << "Esc moves no row";

    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_FALSE(grid->hasFocus()) << "Tab leaves the grid";
    EXPECT_EQ(companies->currentRow(), 2);
}
