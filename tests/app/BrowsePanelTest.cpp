#include "AppFixture.h"

#include "app/uBrowsePanel.h"
#include "app/uFmMainForm.h"
#include "platform/db/DbEdit.h"
#include "platform/db/DbGrid.h"
#include "platform/db/DbMemo.h"
#include "platform/os/Gb2312.h"
#include "platform/ui/FontSubstitution.h"
#include "support/TypeText.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QStyle>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using namespace platform::db;

class BrowsePanelTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(startMainForm({
            testdb::companyInsert(QStringLiteral("北京光明软件实业有限公司"), QStringLiteral("北京市"), 1,
                                  QStringLiteral("www.gm.cn"), QStringLiteral("第一行\r\n第二行")),
            testdb::companyInsert(QStringLiteral("安徽机械厂"), QStringLiteral("安徽省"), 0),
            testdb::companyInsert(QStringLiteral("安徽诚信化工"), QStringLiteral("安徽省"), 1),
            testdb::companyInsert(QStringLiteral("北京化工"), QStringLiteral("北京市"), 0),
            testdb::companyInsert(QStringLiteral("海外公司"), QStringLiteral("其他"), 0),
        }));
        form->SideBarHeaders0Buttons0Click(); // the bar's "Velmora": the company list
        panel = form->Pal_1;
        companies = dm->ADOQryDVPack;
    }
    QTreeWidgetItem *node(const QString &text) const
    {
        const auto found = panel->TreeView1->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    void choose(const QString &text) { panel->TreeView1->setCurrentItem(node(text)); }
    QString current(const char *field) const
    {
        return companies->fieldByName(QLatin1String(field))->asString();
    }

    TBrowsePanel *panel = nullptr;
    DbQuery *companies = nullptr;
};

TEST_F(BrowsePanelTest, TreeHasTheRootTenCitiesAndTwentyNineProvincesExpanded)
{
    QTreeWidget *tree = panel->TreeView1;
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem *root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("Velmora目录"));
    ASSERT_EQ(root->childCount(), 39);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("(010)北京市"));
    EXPECT_EQ(root->child(7)->text(0), QStringLiteral("(027)武汉市"));
    EXPECT_EQ(root->child(9)->text(0), QStringLiteral("(029)西安市"));
    EXPECT_EQ(root->child(10)->text(0), QStringLiteral("安徽省"));
    EXPECT_EQ(root->child(16)->text(0), QStringLiteral("河南省"));
    EXPECT_EQ(root->child(17)->text(0), QStringLiteral("河北省"));
    EXPECT_EQ(root->child(38)->text(0), QStringLiteral("台湾省"));
    for (int i = 0; i < root->childCount(); ++i)
        EXPECT_EQ(root->child(i)->childCount(), 0) << "the tree is flat";
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(tree->indentation(), 19);
    // Selected nodes show the other picture.
    const QIcon icon = root->icon(0);
    EXPECT_NE(icon.pixmap(16, QIcon::Normal).toImage(), icon.pixmap(16, QIcon::Selected).toImage());
}

TEST_F(BrowsePanelTest, ListLoadsWithCatalogueLabelsAndWidthsFromTheFirstScreen)
{
    EXPECT_EQ(panel->FListSql, QString::fromUtf8(TBrowsePanel::kCompanyListSql) + QStringLiteral("\r\n"));
    ASSERT_TRUE(companies->active());
    ASSERT_EQ(companies->fieldCount(), 19);
    const QStringList labels = {"类别名称", "公司名称", "中文地址", "邮编",     "电话",
                                "传真",     "网址",     "E_mail",   "英文名称", "英文地址",
                                "地区号",   "类别编号", "地区名称", "省份",     "法人、联系人",
                                "主营产品", "公司简介", "诚信企业", "备注"};
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ(companies->field(i)->displayLabel(), labels[i]) << i;

    EXPECT_EQ(current("cCorpCName"), QStringLiteral("北京光明软件实业有限公司"));
    EXPECT_EQ(companies->fieldByName(QStringLiteral("cCorpCName"))->displayWidth(), 24 + 10);
    EXPECT_EQ(companies->fieldByName(QStringLiteral("cFax"))->displayWidth(), 10) << "empty values";
    EXPECT_EQ(companies->fieldByName(QStringLiteral("iFlag"))->displayWidth(), 8 + 4)
        << "never narrower than the title 诚信企业 and the sort arrow";
    EXPECT_EQ(companies->fieldByName(QStringLiteral("cCorpMemo"))->displayWidth(), 6 + 10)
        << "the first line, which the grid shows";
    EXPECT_EQ(panel->DBGrid1->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("公司名称"));
    EXPECT_EQ(panel->DBGrid1->columnWidth(1), panel->DBGrid1->columnWidthFor(34));
    EXPECT_EQ(form->PanelC->text(), QStringLiteral("| 总记录数：5 条"));
}

TEST_F(BrowsePanelTest, TreeNodesFilterTheLoadedRowsAndTheRootShowsAll)
{
    choose(QStringLiteral("(010)北京市"));
    EXPECT_EQ(companies->filter(), QStringLiteral("cProvince='北京市'"));
    EXPECT_EQ(companies->recordCount(), 2);
    choose(QStringLiteral("安徽省"));
    EXPECT_EQ(companies->recordCount(), 2);
    EXPECT_EQ(current("cProvince"), QStringLiteral("安徽省"));
    choose(QStringLiteral("西藏自治区"));
    EXPECT_EQ(companies->recordCount(), 0);
    choose(QStringLiteral("Velmora目录"));
    EXPECT_FALSE(companies->filtered());
    EXPECT_EQ(companies->recordCount(), 5);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(form->PanelC->text(), QStringLiteral("| 总记录数：5 条")) << "the count is written once";
}

TEST_F(BrowsePanelTest, CredibleButtonReplacesTheProvinceFilterAndRefreshClearsAll)
{
    choose(QStringLiteral("安徽省"));
    QTest::mouseClick(panel->SpeedButton6, Qt::LeftButton);
    EXPECT_EQ(companies->filter(), QStringLiteral("iFlag=1"));
    EXPECT_EQ(companies->recordCount(), 2) << "credible companies of every province";
    EXPECT_TRUE(panel->SpeedButton6->isChecked()) << "pressed while the filter is on";
    EXPECT_EQ(panel->TreeView1->currentItem(), nullptr) << "no province claimed";
    EXPECT_TRUE(panel->TreeView1->selectedItems().isEmpty());
    choose(QStringLiteral("(010)北京市"));
    EXPECT_EQ(companies->recordCount(), 2);
    EXPECT_FALSE(panel->SpeedButton6->isChecked());

    // A second press turns the filter off again; the tree then says "all".
    QTest::mouseClick(panel->SpeedButton6, Qt::LeftButton);
    QTest::mouseClick(panel->SpeedButton6, Qt::LeftButton);
    EXPECT_FALSE(companies->filtered());
    EXPECT_EQ(companies->recordCount(), 5);
    EXPECT_FALSE(panel->SpeedButton6->isChecked());
    EXPECT_EQ(panel->TreeView1->currentItem()->text(0), QStringLiteral("Velmora目录"));

    choose(QStringLiteral("(010)北京市"));
    QTest::mouseClick(panel->SpeedButton2, Qt::LeftButton);
    EXPECT_FALSE(companies->filtered());
    EXPECT_EQ(companies->filter(), QString());
    EXPECT_EQ(companies->recordCount(), 5);
    EXPECT_EQ(panel->TreeView1->currentItem()->text(0), QStringLiteral("Velmora目录"))
        << "the list no longer follows the province";
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(BrowsePanelTest, ToggleButtonsHideAndShowAndSwapGlyphs)
{
    auto same = [](const QIcon &a, const QIcon &b) {
        return a.pixmap(16).toImage() == b.pixmap(16).toImage();
    };
    EXPECT_TRUE(panel->PanelD->isHidden());
    EXPECT_TRUE(panel->SpdBtn_A->isHidden());
    panel->SpeedButton8Click();
    EXPECT_FALSE(panel->PanelD->isHidden());
    EXPECT_TRUE(same(panel->SpeedButton8->icon(), panel->SpeedButtonB->icon()));
    panel->SpeedButton8Click();
    EXPECT_TRUE(panel->PanelD->isHidden());
    EXPECT_TRUE(same(panel->SpeedButton8->icon(), panel->SpeedButtonA->icon()));

    panel->SpeedButton3Click();
    EXPECT_TRUE(panel->TreeView1->isHidden());
    EXPECT_TRUE(same(panel->SpeedButton3->icon(), panel->SpdBtn_A->icon()));
    panel->SpeedButton3Click();
    EXPECT_FALSE(panel->TreeView1->isHidden());
    EXPECT_TRUE(same(panel->SpeedButton3->icon(), panel->SpdBtn_B->icon()));
}

TEST_F(BrowsePanelTest, ToolbarCarriesCaptionsAndTips)
{
    EXPECT_EQ(panel->SpBtn_OFind->text(), QStringLiteral("复合查询"));
    EXPECT_EQ(panel->SpBtn_OFind->toolTip(), QStringLiteral("多功能复合查询Velmora数据"));
    EXPECT_EQ(panel->SpeedButton2->toolTip(), QStringLiteral("刷新列出所有相关的包装企业目录内容"));
    EXPECT_EQ(panel->SpeedButton6->text(), QStringLiteral("诚信企业"));
    EXPECT_EQ(panel->SpeedButton4->text(), QStringLiteral("全屏"));
    EXPECT_EQ(panel->SpeedButton3->toolTip(), QStringLiteral("分屏显示Velmora内容"));
    EXPECT_EQ(panel->SpeedButton5->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(BrowsePanelTest, SiteAddressGetsTheSchemeWhenItLacksOne)
{
    EXPECT_EQ(TBrowsePanel::CompanySiteAddress(QString()), QString());
    EXPECT_EQ(TBrowsePanel::CompanySiteAddress(QStringLiteral("www.a.cn")),
              QStringLiteral("http://www.a.cn"));
    EXPECT_EQ(TBrowsePanel::CompanySiteAddress(QStringLiteral("HtTp://a.cn")), QStringLiteral("HtTp://a.cn"));
    EXPECT_EQ(TBrowsePanel::CompanySiteAddress(QStringLiteral("https://a.cn")),
              QStringLiteral("http://https://a.cn"));
    // The strip's web-site edit follows the current row even while hidden.
    EXPECT_EQ(panel->DetailEdit(QStringLiteral("cHttp"))->text(), QStringLiteral("www.gm.cn"));
}

TEST_F(BrowsePanelTest, DetailStripFollowsTheGridAndTheMemoEditsTheProfile)
{
    for (const char *field : {"cProvince", "cAreaNo", "cArea", "cCorpCName", "cManager", "cCAdd", "cTel",
                              "cFax", "cZip", "cTypeName", "cHttp", "cEmail", "cMainProd"}) {
        ASSERT_NE(panel->DetailEdit(QLatin1String(field)), nullptr) << field;
        EXPECT_TRUE(panel->DetailEdit(QLatin1String(field))->isReadOnly()) << field;
    }
    EXPECT_FALSE(panel->DBMemo_cCorpMemo->isReadOnly());
    EXPECT_EQ(panel->PanelD->height(), 193);

    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    panel->SpeedButton8Click();
    companies->setCurrentRow(3);
    EXPECT_EQ(panel->DetailEdit(QStringLiteral("cCorpCName"))->text(), QStringLiteral("北京化工"));

    panel->DBMemo_cCorpMemo->setFocus();
    typeText(panel->DBMemo_cCorpMemo, QStringLiteral("新简介"));
    const QRect first = panel->DBGrid1->visualRect(panel->DBGrid1->model()->index(0, 0));
    QTest::mouseClick(panel->DBGrid1->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(companies->currentRow(), 0);
    EXPECT_EQ(testdb::scalar(dir.file(QStringLiteral("dorvak.dat")), testdb::kPassword, 4096,
                             QStringLiteral("select cCorpMemo from Dorvak where cCorpCName='北京化工'")),
              QStringLiteral("新简介"));
}

TEST_F(BrowsePanelTest, ClosingTheWindowPostsTheProfileAndDisconnects)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    panel->SpeedButton8Click();
    panel->DBMemo_cCorpMemo->setFocus();
    typeText(panel->DBMemo_cCorpMemo, QStringLiteral("关前"));
    form->close();
    EXPECT_FALSE(dm->ADOContAccess->connected());
    EXPECT_EQ(testdb::scalar(
                  dir.file(QStringLiteral("dorvak.dat")), testdb::kPassword, 4096,
                  QStringLiteral("select cCorpMemo from Dorvak where cCorpCName='北京光明软件实业有限公司'")),
              QStringLiteral("关前第一行\r\n第二行"));
}

// The browsing panel with the fonts the program runs with ("新宋体" as the
// installed Song face), for what depends on their metrics. The default font
// is given back afterwards.
class BrowsePanelFontsTest : public BrowsePanelTest
{
protected:
    void SetUp() override
    {
        platform::installFontSubstitutions();
        BrowsePanelTest::SetUp();
    }
    void TearDown() override
    {
        BrowsePanelTest::TearDown();
        QApplication::setFont(m_font);
    }

private:
    QFont m_font = QApplication::font();
};

TEST_F(BrowsePanelFontsTest, DetailStripKeepsItsTextWholeAndTheMemoThreeWholeLines)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    panel->SpeedButton8Click();
    QFrame *strip = panel->PanelD;
    QTRY_VERIFY(strip->isVisible() && panel->DBMemo_cCorpMemo->height() > 0);
    ASSERT_EQ(strip->height(), 193);
    const QRect inside = strip->contentsRect();

    const auto edits = strip->findChildren<platform::db::DbEdit *>();
    ASSERT_EQ(edits.size(), 13);
    for (const platform::db::DbEdit *edit : edits) {
        EXPECT_EQ(edit->font().pixelSize(), 12) << edit->objectName().toStdString();
        const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
        EXPECT_GE(edit->height() - 2 * frame, edit->fontMetrics().height())
            << edit->objectName().toStdString();
        EXPECT_TRUE(inside.contains(edit->geometry())) << edit->objectName().toStdString();
    }
    const auto captions = strip->findChildren<QLabel *>();
    ASSERT_EQ(captions.size(), 14);
    for (const QLabel *caption : captions) {
        EXPECT_GE(caption->height(), caption->fontMetrics().height()) << caption->text().toStdString();
        EXPECT_GE(caption->width(), caption->sizeHint().width()) << caption->text().toStdString();
        EXPECT_TRUE(inside.contains(caption->geometry())) << caption->text().toStdString();
    }

    const platform::db::DbMemo *memo = panel->DBMemo_cCorpMemo;
    EXPECT_TRUE(inside.contains(memo->geometry()));
    const int margin = int(memo->document()->documentMargin());
    const int lineSpacing = memo->fontMetrics().lineSpacing();
    // Three whole lines under the top margin, and nothing of a fourth.
    EXPECT_GE(memo->viewport()->height() - margin, 3 * lineSpacing);
    EXPECT_LE(memo->viewport()->height() - margin - 3 * lineSpacing, 1);
}

// The grid's menu offers the site only for a row that has one; copying gives
// spreadsheet rows: the titles, then one tab-separated line a row.
TEST_F(BrowsePanelTest, GridMenuAndCopyGiveRowsASpreadsheetPastes)
{
    DbGrid *grid = panel->DBGrid1;
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    auto menuTexts = [&](int row) {
        std::unique_ptr<QMenu> menu(
            panel->GridContextMenu(grid->visualRect(grid->model()->index(row, 1)).center()));
        QStringList texts;
        for (QAction *a : menu->actions())
            if (!a->isSeparator())
                texts << a->text();
        return texts;
    };
    EXPECT_EQ(menuTexts(0), (QStringList{"复制单元格", "复制整行", "打开企业网站", "查看详细资料", "导出…"}));
    EXPECT_EQ(companies->currentRow(), 0);
    EXPECT_EQ(menuTexts(1), (QStringList{"复制单元格", "复制整行", "查看详细资料", "导出…"})) << "no site";
    EXPECT_EQ(companies->currentRow(), 1) << "the row under the mouse";

    QStringList titles;
    for (int column : grid->shownColumns())
        titles << grid->model()->headerData(column, Qt::Horizontal).toString();
    grid->selectRow(1);
    grid->selectionModel()->select(grid->model()->index(3, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], titles.join(QLatin1Char('\t')));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("\t安徽机械厂\t"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].contains(QStringLiteral("\t北京化工\t"))) << lines[2].toStdString();
    EXPECT_EQ(lines[1].count(QLatin1Char('\t')), titles.size() - 1);
}

// The search box: on a line of its own above the grid, as wide as the grid;
// the list follows every keystroke, within the tree's filter, keeping the
// sort; the count and the empty note follow; Esc and 刷新 bring the list back.
TEST_F(BrowsePanelTest, SearchBoxNarrowsTheListAsTheUserTypes)
{
    form->show();
    QLineEdit *box = panel->EdtSearch;
    EXPECT_EQ(box->placeholderText(), QStringLiteral("名称、拼音、首字母、地址、电话…"));
    EXPECT_TRUE(box->isClearButtonEnabled());
    EXPECT_EQ(box->x() + box->width(), panel->DBGrid1->width() - 2) << "the box spans the grid's width";
    const int narrow = box->width();
    panel->SpeedButton3Click(); // the tree hidden: the grid and the box grow
    QCoreApplication::processEvents();
    EXPECT_GT(box->width(), narrow);
    panel->SpeedButton3Click();

    box->setFocus();
    typeText(box, QStringLiteral("bj"));
    EXPECT_EQ(companies->recordCount(), 2);
    EXPECT_EQ(current("cCorpCName"), QStringLiteral("北京光明软件实业有限公司"));
    EXPECT_EQ(panel->LabelCount->text(), TBrowsePanel::ShownCountText(2));
    typeText(box, QStringLiteral("hg"));
    EXPECT_EQ(companies->recordCount(), 1) << "bjhg: 北京化工";
    EXPECT_EQ(current("cCorpCName"), QStringLiteral("北京化工"));

    box->clear();
    typeText(box, QStringLiteral("化工"));
    EXPECT_EQ(companies->recordCount(), 2);
    choose(QStringLiteral("安徽省"));
    EXPECT_EQ(companies->recordCount(), 1) << "the search applies within the tree's filter";
    EXPECT_EQ(current("cCorpCName"), QStringLiteral("安徽诚信化工"));
    choose(QStringLiteral("Velmora目录"));
    companies->setSort(QStringLiteral("cCorpCName DESC"));
    const int name = companies->fieldByName(QStringLiteral("cCorpCName"))->index();
    EXPECT_EQ(companies->cellText(0, name), QStringLiteral("北京化工"))
        << "sorted: 北京 before 安徽 backwards";
    typeText(box, QStringLiteral(" -安徽"));
    EXPECT_EQ(companies->recordCount(), 1);
    EXPECT_EQ(companies->sort(), QStringLiteral("cCorpCName DESC")) << "the sort is kept";

    box->clear();
    typeText(box, QStringLiteral("没有"));
    EXPECT_EQ(companies->recordCount(), 0);
    EXPECT_EQ(panel->DBGrid1->emptyText(), QStringLiteral("没有找到符合条件的企业"));
    EXPECT_EQ(panel->LabelCount->text(), TBrowsePanel::ShownCountText(0));
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_TRUE(box->text().isEmpty());
    EXPECT_EQ(companies->recordCount(), 5);

    typeText(box, QStringLiteral("ah"));
    EXPECT_EQ(companies->recordCount(), 2);
    QTest::mouseClick(panel->SpeedButton2, Qt::LeftButton);
    EXPECT_TRUE(box->text().isEmpty()) << "刷新 lists every company";
    EXPECT_EQ(companies->recordCount(), 5);
    EXPECT_EQ(companies->search(), nullptr);
    EXPECT_TRUE(messages.isEmpty());
}

// The grid's and the detail strip's marks follow the search.
TEST_F(BrowsePanelTest, SearchMarksTheFoundCharactersInTheDetailStrip)
{
    typeText(panel->EdtSearch, QStringLiteral("gm rj"));
    ASSERT_EQ(companies->recordCount(), 1);
    EXPECT_EQ(panel->DetailEdit(QStringLiteral("cCorpCName"))->searchHighlights(),
              (QList<QPair<int, int>>{{2, 4}}))
        << "光明 and 软件 in 北京光明软件实业有限公司";
    EXPECT_TRUE(panel->DetailEdit(QStringLiteral("cProvince"))->searchHighlights().isEmpty());
    panel->EdtSearch->clear();
    EXPECT_TRUE(panel->DetailEdit(QStringLiteral("cCorpCName"))->searchHighlights().isEmpty());
}
