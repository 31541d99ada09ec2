#include "QueryFixture.h"

#include "platform/os/Gb2312.h"
#include "query/StringGrid.h"
#include "query/ToolTitleStrip.h"
#include "query/uFindCheckSet.h"
#include "support/TypeText.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

// Catalogue positions of some company fields.
constexpr int kTypeName = 0;
constexpr int kCorpCName = 1;
constexpr int kProvince = 13;
constexpr int kFlag = 17;

} // namespace

class FindCheckSetTest : public QueryFixture
{
protected:
    void SetUp() override
    {
        QueryFixture::SetUp();
        openDatabase({
            testdb::companyInsert(QStringLiteral("杭州电子"), QStringLiteral("浙江"), 1),
            testdb::companyInsert(QStringLiteral("北京机械"), QStringLiteral("北京市"), 0),
            QStringLiteral("CREATE TABLE Dated (cName VARCHAR(20), dFounded DATETIME)"),
            QStringLiteral("INSERT INTO Dated VALUES ('甲', '2003-06-18')"),
        });
        loadList();
        open(companies.get());
    }

    void open(platform::db::DbQuery *sourceQuery)
    {
        dialog = std::make_unique<TFmFindCheckSet>();
        dialog->SourceDataSet = sourceQuery;
        dialog->ADOQryFind = sourceQuery;
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        grid = dialog->Sgrd_Find;
    }

    QPoint at(int col, int row) const
    {
        return grid->CellRect(col, row).center() - grid->viewport()->geometry().topLeft();
    }
    void click(int col, int row) { QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at(col, row)); }
    QString cell(int col, int row) const { return grid->Cells(col, row); }
    // Where an editor stands over a cell, in the editor's parent.
    QRect editorRect(int col, int row) const
    {
        const QRect r = grid->CellRect(col, row);
        return QRect(grid->mapTo(dialog->Cbo_Fields->parentWidget(), r.topLeft()) + QPoint(1, 1), r.size());
    }
    QList<QWidget *> visibleEditors() const
    {
        QList<QWidget *> shown;
        for (QWidget *e :
             {static_cast<QWidget *>(dialog->Cbo_Fields), static_cast<QWidget *>(dialog->Cbo_Compare),
              static_cast<QWidget *>(dialog->Edt_Value), static_cast<QWidget *>(dialog->DateTP_Value),
              static_cast<QWidget *>(dialog->Cbo_Connection)})
            if (e->isVisible())
                shown << e;
        return shown;
    }
    void clearValueEdit()
    {
        QTest::keyClick(dialog->Edt_Value, Qt::Key_Home);
        QTest::keyClick(dialog->Edt_Value, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(dialog->Edt_Value, Qt::Key_Delete);
    }
    // Chooses a field for a row through its chooser and leaves it.
    void chooseField(int row, int index)
    {
        click(1, row);
        dialog->Cbo_Fields->setCurrentIndex(index);
        click(0, row);
    }

    std::unique_ptr<TFmFindCheckSet> dialog;
    StringGrid *grid = nullptr;
};

TEST_F(FindCheckSetTest, OpensWithTheLayoutTheCatalogueAndTheDisplayItems)
{
    EXPECT_EQ(dialog->size(), QSize(478, 276));
    EXPECT_TRUE(dialog->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(dialog->Image1->title(), QStringLiteral("查询条件设置"));
    EXPECT_EQ(dialog->Image1->height(), 22);
    EXPECT_EQ(dialog->PageControl1->size(), QSize(371, 253));

    ASSERT_EQ(grid->ColCount(), 7);
    EXPECT_EQ(grid->RowCount(), 2);
    const QStringList headers{QString(),
                              QStringLiteral("搜索主题"),
                              QStringLiteral("搜索条件"),
                              QStringLiteral("搜索内容"),
                              QStringLiteral("条件关系"),
                              QStringLiteral("类型"),
                              QStringLiteral("字段索引")};
    const int widths[] = {16, 112, 49, 114, 48};
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(cell(c, 0), headers[c]);
        EXPECT_EQ(grid->isColumnHidden(c), c >= 5) << c;
        if (c < 5) {
            EXPECT_EQ(grid->columnWidth(c), widths[c]) << c;
        }
    }
    EXPECT_EQ(grid->rowHeight(0), 18);
    EXPECT_EQ(cell(0, 1), QStringLiteral("1"));

    StringGrid *check = dialog->Sgrd_Check;
    ASSERT_EQ(check->ColCount(), 5);
    const QStringList checkHeaders{QStringLiteral("选项"), QStringLiteral("字段名"), QStringLiteral("选项"),
                                   QStringLiteral("字段名"), QStringLiteral("字段索引名")};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(check->Cells(c, 0), checkHeaders[c]);
    EXPECT_EQ(check->columnWidth(0), 32);
    EXPECT_EQ(check->columnWidth(3), 129);
    EXPECT_TRUE(check->isColumnHidden(4));

    // Only the condition page shows its tab.
    QTabWidget *pages = dialog->PageControl1;
    ASSERT_EQ(pages->count(), 3);
    EXPECT_EQ(pages->tabText(0), QStringLiteral("查询条件"));
    EXPECT_EQ(pages->tabText(1), QStringLiteral("SQL语法"));
    EXPECT_EQ(pages->tabText(2), QStringLiteral("显示项目"));
    EXPECT_TRUE(pages->isTabVisible(0));
    EXPECT_FALSE(pages->isTabVisible(1));
    EXPECT_FALSE(pages->isTabVisible(2));
    EXPECT_EQ(pages->currentIndex(), 0);

    EXPECT_EQ(dialog->SpeedButton7->text(), QStringLiteral("确  定"));
    EXPECT_EQ(dialog->SpeedButton1->size(), QSize(89, 30));
    for (QToolButton *b : {dialog->SpeedButton1, dialog->SpeedButton2, dialog->SpeedButton3,
                           dialog->SpeedButton7, dialog->SpeedButton8})
        EXPECT_TRUE(b->isEnabled() && b->isVisible()) << b->objectName().toStdString();
    for (QToolButton *b : {dialog->SpeedButton4, dialog->SpeedButton5, dialog->SpeedButton6})
        EXPECT_FALSE(b->isEnabled() || b->isVisible()) << b->objectName().toStdString();
    EXPECT_FALSE(dialog->GroupBox2->isVisible() || dialog->GroupBox2->isEnabled());
    EXPECT_FALSE(dialog->GroupBox3->isVisible() || dialog->GroupBox3->isEnabled());
    EXPECT_EQ(dialog->SpeedButton1->focusPolicy(), Qt::NoFocus);

    // The field and connector choosers wait over row 1 with nothing chosen.
    EXPECT_EQ(visibleEditors(), (QList<QWidget *>{dialog->Cbo_Fields, dialog->Cbo_Connection}));
    EXPECT_EQ(dialog->Cbo_Fields->currentIndex(), -1);
    EXPECT_EQ(dialog->Cbo_Connection->currentIndex(), -1);
    EXPECT_EQ(dialog->Cbo_Fields->geometry(), editorRect(1, 1));
    EXPECT_EQ(dialog->Cbo_Connection->geometry(), editorRect(4, 1));

    // The catalogue: names, labels and type codes in dataset order.
    ASSERT_EQ(dialog->FFieldNames.size(), 19);
    EXPECT_EQ(dialog->FFieldNames[kCorpCName], QStringLiteral("cCorpCName"));
    EXPECT_EQ(dialog->FFieldLabels[kProvince], QStringLiteral("省份"));
    EXPECT_EQ(dialog->FFieldTypes[kCorpCName], QStringLiteral("24"));
    EXPECT_EQ(dialog->FFieldTypes[16], QStringLiteral("16"));
    EXPECT_EQ(dialog->FFieldTypes[kFlag], QStringLiteral("3"));
    ASSERT_EQ(dialog->Cbo_Fields->count(), 19);
    EXPECT_EQ(dialog->Cbo_Fields->itemText(kFlag), QStringLiteral("诚信企业"));

    // Nineteen fields: ten item rows, the last one half empty, all marked.
    ASSERT_EQ(check->RowCount(), 11);
    EXPECT_EQ(check->Cells(0, 10), QStringLiteral("√"));
    EXPECT_EQ(check->Cells(1, 10), QStringLiteral("备注"));
    EXPECT_EQ(check->Cells(2, 10), QString());
    EXPECT_EQ(check->Cells(3, 10), QString());
    EXPECT_EQ(check->Cells(4, 10), QStringLiteral("18"));
    EXPECT_EQ(dialog->ChosenLabels.size(), 19);
}

// Only the conditions' page has a tab the user sees: no key turns to the
// hidden pages, from which no tab would lead back.
TEST_F(FindCheckSetTest, KeysNeverTurnToAPageWithoutAVisibleTab)
{
    QTabBar *tabs = dialog->PageControl1->tabBar();
    tabs->setFocus();
    for (const auto &[key, modifiers] :
         {std::pair{Qt::Key_Right, Qt::NoModifier}, std::pair{Qt::Key_End, Qt::NoModifier},
          std::pair{Qt::Key_Tab, Qt::ControlModifier}, std::pair{Qt::Key_PageDown, Qt::ControlModifier}}) {
        QTest::keyClick(key == Qt::Key_Right || key == Qt::Key_End ? static_cast<QWidget *>(tabs)
                                                                   : dialog->PageControl1,
                        key, modifiers);
        EXPECT_EQ(dialog->PageControl1->currentIndex(), 0) << "key " << key;
    }
    EXPECT_TRUE(dialog->SpeedButton1->isEnabled());
}

TEST_F(FindCheckSetTest, SelectingACellPlacesItsEditorAndLeavingItCommits)
{
    click(1, 1);
    EXPECT_EQ(visibleEditors(), QList<QWidget *>{dialog->Cbo_Fields});
    EXPECT_TRUE(dialog->Cbo_Fields->hasFocus());
    EXPECT_EQ(dialog->Cbo_Fields->currentIndex(), 0);
    EXPECT_EQ(dialog->Cbo_Fields->geometry(), editorRect(1, 1));

    QTest::keyClick(dialog->Cbo_Fields, Qt::Key_Down); // 公司名称
    click(2, 1);
    EXPECT_EQ(cell(1, 1), QStringLiteral("公司名称"));
    EXPECT_EQ(cell(5, 1), QStringLiteral("24"));
    EXPECT_EQ(cell(6, 1), QStringLiteral("1"));
    EXPECT_EQ(visibleEditors(), QList<QWidget *>{dialog->Cbo_Compare});
    EXPECT_EQ(dialog->Cbo_Compare->currentText(), QStringLiteral("等于"));

    dialog->Cbo_Compare->setCurrentIndex(3);
    click(4, 1);
    EXPECT_EQ(cell(2, 1), QStringLiteral("小于"));
    EXPECT_EQ(dialog->Cbo_Connection->currentIndex(), 0);
    dialog->Cbo_Connection->setCurrentIndex(2);
    click(0, 1);
    EXPECT_EQ(cell(4, 1), QStringLiteral("or"));
    EXPECT_TRUE(visibleEditors().isEmpty()) << "column 0 has no editor";

    // Comparison and connector choosers start from their first item whatever the cell holds.
    click(2, 1);
    EXPECT_EQ(dialog->Cbo_Compare->currentIndex(), 0);
    click(4, 1);
    EXPECT_EQ(cell(2, 1), QStringLiteral("等于"));
    EXPECT_EQ(dialog->Cbo_Connection->currentIndex(), 0);
    click(0, 1);
    EXPECT_EQ(cell(4, 1), QString());

    // The field chooser finds the cell's label again.
    grid->SetCells(1, 1, QStringLiteral("省份"));
    click(1, 1);
    EXPECT_EQ(dialog->Cbo_Fields->currentIndex(), kProvince);
}

TEST_F(FindCheckSetTest, FieldChooserPrefersTheLastOfRepeatedLabels)
{
    companies->field(kTypeName)->setDisplayLabel(QStringLiteral("Name"));
    companies->field(kProvince)->setDisplayLabel(QStringLiteral("NAME"));
    dialog->FormShow();
    grid->SetCells(1, 1, QStringLiteral("name"));
    click(1, 1);
    EXPECT_EQ(dialog->Cbo_Fields->currentIndex(), kProvince);
    click(0, 1);
    EXPECT_EQ(cell(6, 1), QString::number(kProvince));
}

TEST_F(FindCheckSetTest, ValueEditKeepsItsTextForTheNextRow)
{
    QTest::mouseClick(dialog->SpeedButton1, Qt::LeftButton);
    click(3, 1);
    ASSERT_EQ(visibleEditors(), QList<QWidget *>{dialog->Edt_Value});
    typeText(dialog->Edt_Value, QStringLiteral("abc"));
    click(3, 2);
    EXPECT_EQ(cell(3, 1), QStringLiteral("abc"));
    EXPECT_EQ(dialog->Edt_Value->text(), QStringLiteral("abc"));
    EXPECT_EQ(dialog->Edt_Value->geometry(), editorRect(3, 2));
    click(0, 2);
    EXPECT_EQ(cell(3, 2), QStringLiteral("abc"));
}

TEST_F(FindCheckSetTest, NumericValuesTakeDigitsOnlyAndBecomeWholeNumbers)
{
    chooseField(1, kFlag);
    ASSERT_EQ(cell(5, 1), QStringLiteral("3"));
    click(3, 1);
    QLineEdit *edit = dialog->Edt_Value;
    QTest::keyClicks(edit, QStringLiteral("12a"));
    EXPECT_EQ(edit->text(), QStringLiteral("12"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("12")) << "backspace is filtered too";
    click(0, 1);
    EXPECT_EQ(cell(3, 1), QStringLiteral("12"));

    click(3, 1);
    clearValueEdit();
    QTest::keyClicks(edit, QStringLiteral("1.5"));
    EXPECT_EQ(edit->text(), QStringLiteral("1.5"));
    click(0, 1);
    EXPECT_EQ(cell(3, 1), QStringLiteral("0"));
    EXPECT_EQ(edit->text(), QStringLiteral("0"));

    click(3, 1);
    clearValueEdit();
    click(0, 1);
    EXPECT_EQ(cell(3, 1), QStringLiteral("0"));

    // A text field and a row without a field take every key.
    QTest::mouseClick(dialog->SpeedButton1, Qt::LeftButton);
    chooseField(2, kCorpCName);
    click(3, 2);
    QTest::keyClicks(edit, QStringLiteral("x"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, QStringLiteral("y"));
    EXPECT_EQ(edit->text(), QStringLiteral("0y"));
    QTest::mouseClick(dialog->SpeedButton1, Qt::LeftButton);
    click(3, 3);
    EXPECT_EQ(visibleEditors(), QList<QWidget *>{edit});
    QTest::keyClicks(edit, QStringLiteral("z"));
    EXPECT_EQ(edit->text(), QStringLiteral("0yz"));
}

TEST_F(FindCheckSetTest, DateFieldsUseThePickerWhichKeepsTheLastDate)
{
    platform::db::DbQuery dated;
    dated.setConnection(connection.get());
    dated.setSqlText(QStringLiteral("select cName, dFounded from Dated"));
    dated.open();
    open(&dated);
    ASSERT_EQ(dialog->FFieldTypes.value(1), QStringLiteral("11"));

    chooseField(1, 1);
    click(3, 1);
    QDateEdit *picker = dialog->DateTP_Value;
    ASSERT_EQ(visibleEditors(), QList<QWidget *>{picker});
    EXPECT_EQ(picker->date(), QDate(2003, 6, 18));
    EXPECT_EQ(picker->geometry().topLeft(), editorRect(3, 1).topLeft());
    EXPECT_EQ(picker->width(), editorRect(3, 1).width());
    click(0, 1);
    EXPECT_EQ(cell(3, 1), QStringLiteral("2003-06-18")) << "leaving writes the shown date";

    click(3, 1);
    picker->setDate(QDate(2010, 1, 2));
    QTest::mouseClick(dialog->SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(cell(3, 1), QStringLiteral("2010-01-02"));
    click(0, 2); // leaves the field chooser of the new row empty
    chooseField(2, 1);
    click(3, 2);
    EXPECT_EQ(picker->date(), QDate(2010, 1, 2));
    click(0, 2);
    EXPECT_EQ(cell(3, 2), QStringLiteral("2010-01-02"));

    for (int r : {1, 2}) {
        click(2, r); // leaving the comparison chooser writes "等于"
        click(0, r);
    }
    QTest::mouseClick(dialog->SpeedButton7, Qt::LeftButton);
    EXPECT_EQ(dialog->FWhereText,
              QStringLiteral(" Where  dFounded = '2010-01-02' and  dFounded = '2010-01-02' "));
}

TEST_F(FindCheckSetTest, AddDeleteAndClearRows)
{
    QToolButton *add = dialog->SpeedButton1;
    QTest::mouseClick(add, Qt::LeftButton);
    QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_EQ(grid->RowCount(), 4);
    EXPECT_EQ(cell(0, 2), QStringLiteral("2"));
    EXPECT_EQ(cell(0, 3), QStringLiteral("3"));
    QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_EQ(grid->RowCount(), 5);
    EXPECT_EQ(cell(0, 4), QStringLiteral("4"));
    EXPECT_EQ(grid->Row(), 4);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(visibleEditors(), QList<QWidget *>{dialog->Cbo_Fields});
    EXPECT_EQ(dialog->Cbo_Fields->geometry(), editorRect(1, 4));
    EXPECT_TRUE(dialog->Cbo_Fields->hasFocus());

    for (int r = 1; r <= 4; ++r)
        grid->SetCells(1, r, QStringLiteral("row %1").arg(r));
    // Deleting removes the last row whatever row is selected.
    click(0, 4);
    QTest::mouseClick(dialog->SpeedButton2, Qt::LeftButton);
    EXPECT_EQ(grid->RowCount(), 4);
    click(0, 1);
    QTest::mouseClick(dialog->SpeedButton2, Qt::LeftButton);
    ASSERT_EQ(grid->RowCount(), 3);
    EXPECT_EQ(cell(1, 1), QStringLiteral("row 1"));
    EXPECT_EQ(cell(1, 2), QStringLiteral("row 2"));

    QTest::mouseClick(dialog->SpeedButton3, Qt::LeftButton);
    ASSERT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(cell(0, 1), QStringLiteral("1"));
    EXPECT_EQ(cell(1, 1), QString());

    // With one row left, deleting only empties it.
    grid->SetCells(3, 1, QStringLiteral("x"));
    QTest::mouseClick(dialog->SpeedButton2, Qt::LeftButton);
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(cell(3, 1), QString());
    EXPECT_EQ(cell(0, 1), QStringLiteral("1"));
}

TEST_F(FindCheckSetTest, OkCommitsTheFocusedEditAndComposesTheStatement)
{
    chooseField(1, kCorpCName);
    click(2, 1);
    dialog->Cbo_Compare->setCurrentIndex(6); // 包含
    click(3, 1);
    typeText(dialog->Edt_Value, QStringLiteral("O'电子"));
    ASSERT_TRUE(dialog->Edt_Value->hasFocus());
    QTest::mouseClick(dialog->SpeedButton7, Qt::LeftButton);

    EXPECT_EQ(dialog->result(), 6);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(cell(3, 1), QStringLiteral("O'电子"));
    EXPECT_EQ(dialog->PageControl1->currentIndex(), 1);
    EXPECT_TRUE(dialog->SpeedButton4->isEnabled());
    EXPECT_FALSE(dialog->SpeedButton1->isEnabled());
    EXPECT_FALSE(dialog->GroupBox1->isEnabled());
    EXPECT_EQ(dialog->MemoSQlText(),
              QStringLiteral("SELECT \r\n") + dialog->FChosenFields.join(QLatin1Char(',')) +
                  QStringLiteral("\r\n FROM  Dorvak \r\n Where  cCorpCName like '%O''电子%' \r\n"));
    EXPECT_EQ(dialog->FSelectList, QString::fromLatin1(kListSql).mid(7).section(QLatin1Char(' '), 0, 0));

    // The doubled quote finds the text with its quote.
    companies->setSqlText(dialog->MemoSQlText());
    EXPECT_NO_THROW(companies->open());
    EXPECT_EQ(companies->recordCount(), 0);
}

TEST_F(FindCheckSetTest, CancelCloseAndEscapeEndWithTwo)
{
    QTest::mouseClick(dialog->SpeedButton8, Qt::LeftButton);
    EXPECT_EQ(dialog->result(), 2);
    EXPECT_FALSE(dialog->isVisible());

    open(companies.get());
    QTest::mouseClick(dialog->SpeedButton9, Qt::LeftButton);
    EXPECT_EQ(dialog->result(), 2);
    EXPECT_FALSE(dialog->isVisible());

    open(companies.get());
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(dialog->result(), 2);
}

// Esc in an open cell editor ends that edit, leaving the cell as it was and
// every condition in place; only an Esc with no editor open closes the window.
TEST_F(FindCheckSetTest, EscapeEndsTheOpenEditFirstAndThenClosesTheWindow)
{
    chooseField(1, kCorpCName);
    click(3, 1);
    typeText(dialog->Edt_Value, QStringLiteral("电子"));
    click(0, 1);
    ASSERT_EQ(cell(3, 1), QStringLiteral("电子"));

    const auto escapeIn = [&](QWidget *editor) {
        ASSERT_TRUE(editor->hasFocus());
        QTest::keyClick(editor, Qt::Key_Escape);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), 0);
        EXPECT_TRUE(visibleEditors().isEmpty());
        EXPECT_TRUE(grid->hasFocus());
    };

    click(3, 1);
    typeText(dialog->Edt_Value, QStringLiteral("机械"));
    escapeIn(dialog->Edt_Value);
    EXPECT_EQ(cell(3, 1), QStringLiteral("电子")) << "the typed text is dropped";

    click(1, 1);
    QTest::keyClick(dialog->Cbo_Fields, Qt::Key_Down);
    escapeIn(dialog->Cbo_Fields);
    EXPECT_EQ(cell(1, 1), QStringLiteral("公司名称"));

    click(4, 1);
    dialog->Cbo_Connection->setCurrentIndex(2);
    escapeIn(dialog->Cbo_Connection);
    EXPECT_EQ(cell(4, 1), QString());

    // With the chooser's list open, Esc closes the list and ends the edit:
    // what the list's selection moved to is not written.
    click(2, 1);
    dialog->Cbo_Compare->showPopup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->Cbo_Compare->view()->isVisible(); }));
    const QString beforeList = cell(2, 1);
    QTest::keyClick(dialog->Cbo_Compare->view(), Qt::Key_Down);
    QTest::keyClick(dialog->Cbo_Compare->view(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->Cbo_Compare->view()->isVisible());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(visibleEditors().isEmpty());
    EXPECT_EQ(cell(2, 1), beforeList);
    EXPECT_NE(cell(2, 1), QStringLiteral("大于"));

    chooseField(1, kFlag);
    grid->SetCells(5, 1, QStringLiteral("11")); // as a date field would
    click(3, 1);
    escapeIn(dialog->DateTP_Value);
    EXPECT_EQ(cell(3, 1), QStringLiteral("电子"));

    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), 2);
}

TEST_F(FindCheckSetTest, EmptyOrClosedSourceGivesTheBareStatement)
{
    companies->close();
    open(companies.get());
    EXPECT_EQ(dialog->Cbo_Fields->count(), 0);
    EXPECT_EQ(dialog->Sgrd_Check->RowCount(), 2);
    QTest::mouseClick(dialog->SpeedButton7, Qt::LeftButton);
    EXPECT_EQ(dialog->MemoSQlText(), QStringLiteral("SELECT \r\n*\r\n FROM  Dorvak \r\n\r\n"));
    EXPECT_TRUE(dialog->ChosenLabels.isEmpty());
}

TEST_F(FindCheckSetTest, CurrentRowNumberIsPaintedRed)
{
    QTest::mouseClick(dialog->SpeedButton1, Qt::LeftButton);
    auto pixel = [this](int col, int row) {
        const QImage image = grid->viewport()->grab().toImage();
        const QPoint p = grid->CellRect(col, row).topLeft() - grid->viewport()->geometry().topLeft();
        return image.pixelColor(p + QPoint(1, 1));
    };
    EXPECT_EQ(pixel(0, 2), QColor(255, 0, 0));
    EXPECT_NE(pixel(0, 1), QColor(255, 0, 0));
    click(3, 1);
    EXPECT_EQ(pixel(0, 1), QColor(255, 0, 0));
    EXPECT_NE(pixel(0, 2), QColor(255, 0, 0));
}

TEST(FindCheckSetDrawing, DrawCellTextFillsWithTheBrushAndCentresTheText)
{
    QImage image(60, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QRect rect(5, 2, 50, 26);
    {
        QPainter p(&image);
        QFont font = p.font();
        font.setPixelSize(12);
        p.setFont(font);
        p.setBrush(QColor(0, 200, 0));
        p.setPen(Qt::black);
        TFmFindCheckSet::DrawCellText(p, QStringLiteral("W"), Qt::AlignHCenter, rect);
    }
    EXPECT_EQ(image.pixelColor(rect.topLeft()), QColor(0, 200, 0));
    EXPECT_EQ(image.pixelColor(rect.bottomRight()), QColor(0, 200, 0));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white)) << "nothing outside the rectangle";
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x(), rect.center().x(), 2);
    EXPECT_NEAR(ink.center().y(), rect.center().y(), 4);
}

TEST_F(FindCheckSetTest, SyntaxCheckReportsWhetherTheStatementOpens)
{
    dialog->MemoSQl->setPlainText(QStringLiteral("SELECT \n*\n FROM  Dorvak \n"));
    dialog->SpeedButton4Click();
    dialog->MemoSQl->setPlainText(QStringLiteral("SELECT \n*\n FROM  Nowhere \n"));
    dialog->SpeedButton4Click();
    dialog->ADOQryFind = nullptr;
    dialog->MemoSQl->setPlainText(QStringLiteral("SELECT \n*\n FROM  Dorvak \n"));
    dialog->SpeedButton4Click();
    EXPECT_EQ(messages, (QStringList{QStringLiteral("语法通过！"), QStringLiteral("语法错误！"),
                                     QStringLiteral("语法错误！")}));
}

TEST_F(FindCheckSetTest, DisplayItemsToggleAndSortByTheirHeaders)
{
    // The page is out of the user's reach; the test brings it up to use the mouse.
    dialog->PageControl1->setCurrentIndex(2);
    EXPECT_TRUE(dialog->SpeedButton5->isEnabled());
    EXPECT_FALSE(dialog->SpeedButton1->isEnabled());
    StringGrid *check = dialog->Sgrd_Check;
    auto clickItem = [check](int col, int row) {
        QTest::mouseClick(check->viewport(), Qt::LeftButton, {},
                          check->CellRect(col, row).center() - check->viewport()->geometry().topLeft());
    };
    clickItem(2, 1);
    EXPECT_EQ(check->Cells(2, 1), QString());
    dialog->BuildSelectList();
    EXPECT_FALSE(dialog->FChosenFields.contains(QStringLiteral("cCorpCName")));
    clickItem(2, 1);
    EXPECT_EQ(check->Cells(2, 1), QStringLiteral("√"));
    clickItem(1, 1);
    EXPECT_EQ(check->Cells(1, 1), QStringLiteral("类别名称")) << "labels do not toggle";

    QTest::mouseClick(dialog->SpeedButton6, Qt::LeftButton);
    dialog->BuildSelectList();
    EXPECT_TRUE(dialog->FSelectList.isEmpty());
    QTest::mouseClick(dialog->SpeedButton5, Qt::LeftButton);
    EXPECT_EQ(check->Cells(2, 10), QString()) << "no mark without a field";
    dialog->BuildSelectList();
    EXPECT_EQ(dialog->FChosenFields.size(), 19);

    QHeaderView *header = check->horizontalHeader();
    auto headerPoint = [header](int col) {
        return QPoint(header->sectionViewportPosition(col) + header->sectionSize(col) / 2,
                      header->height() / 2);
    };
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, headerPoint(1));
    EXPECT_EQ(check->PressedHeader(), 1);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, headerPoint(1));
    EXPECT_EQ(check->PressedHeader(), -1);
    EXPECT_TRUE(dialog->FHeaderToggle);
    auto expectSorted = [&](bool descending) {
        for (int r = 2; r < check->RowCount(); ++r) {
            const int order = platform::compareGb2312(check->Cells(1, r - 1), check->Cells(1, r));
            EXPECT_TRUE(descending ? order >= 0 : order <= 0) << r;
        }
        // Whole rows move: every label still sits beside its position.
        for (int r = 1; r < check->RowCount(); ++r) {
            const int p = check->Cells(4, r).toInt();
            EXPECT_EQ(check->Cells(1, r), dialog->FFieldLabels[p]);
            EXPECT_EQ(check->Cells(3, r), dialog->FFieldLabels.value(p + 1));
        }
    };
    expectSorted(true);
    dialog->BuildSelectList();
    EXPECT_EQ(dialog->FChosenFields.first(), dialog->FFieldNames[check->Cells(4, 1).toInt()]);

    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, headerPoint(1));
    EXPECT_FALSE(dialog->FHeaderToggle);
    expectSorted(false);

    // The mark headers mark everything with the flag on and clear with it off.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, headerPoint(2));
    EXPECT_TRUE(dialog->FHeaderToggle);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, headerPoint(0));
    EXPECT_FALSE(dialog->FHeaderToggle);
    for (int r = 1; r < check->RowCount(); ++r)
        EXPECT_EQ(check->Cells(0, r), QString());
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, headerPoint(0));
    for (int r = 1; r < check->RowCount(); ++r)
        EXPECT_EQ(check->Cells(0, r), QStringLiteral("√"));
    // A right press does not sink the header.
    QTest::mousePress(header->viewport(), Qt::RightButton, {}, headerPoint(3));
    EXPECT_EQ(check->PressedHeader(), -1);
    QTest::mouseRelease(header->viewport(), Qt::RightButton, {}, headerPoint(3));
}

// A chooser's list opens under the cell the chooser stands over, never over
// it, so the cell and the row stay in sight.
TEST_F(FindCheckSetTest, ChooserListsOpenUnderTheirCell)
{
    for (QComboBox *chooser : {dialog->Cbo_Fields, dialog->Cbo_Connection}) {
        ASSERT_TRUE(chooser->isVisible());
        chooser->showPopup();
        QWidget *list = chooser->view()->window();
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }));
        const QRect box(chooser->mapToGlobal(QPoint(0, 0)), chooser->size());
        // Qt lets the list's frame share the box's last row of pixels.
        EXPECT_LE(std::abs(list->geometry().top() - (box.bottom() + 1)), 1)
            << chooser->objectName().toStdString();
        EXPECT_EQ(list->geometry().left(), box.left()) << chooser->objectName().toStdString();
        chooser->hidePopup();
    }
}
