#include "AppFixture.h"

#include "app/uLookupPanels.h"
#include "platform/db/DbGrid.h"
#include "support/TypeText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

using namespace platform::db;

namespace {

const QString kCardSql =
    QStringLiteral("select province,city,code,cardtype from GM_Card WHERE (startnum <=%1 "
                   "and endnum >=%1)\r\n");

} // namespace

class LookupPanelsTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        writeDatabase({
            QStringLiteral("CREATE TABLE GM_Card (startnum INTEGER, endnum INTEGER, province NVARCHAR(100), "
                           "city NVARCHAR(150), code NVARCHAR(10), cardtype NVARCHAR(100))"),
            QStringLiteral(
                "INSERT INTO GM_Card VALUES (1380010, 1380019, '北京市', '北京市', '010', '中国移动')"),
            QStringLiteral(
                "INSERT INTO GM_Card VALUES (1390650, 1390653, '浙江省', '杭州市', '0571', '中国移动')"),
            QStringLiteral(
                "CREATE TABLE GM_AREA (keyw VARCHAR(50), province VARCHAR(50), areanumber VARCHAR(10), "
                "zipcode VARCHAR(6))"),
            QStringLiteral("INSERT INTO GM_AREA VALUES ('北京市', '北京市', '010', '100000')"),
            QStringLiteral("INSERT INTO GM_AREA VALUES ('杭州市', '浙江省', '0571', '310000')"),
            QStringLiteral("INSERT INTO GM_AREA VALUES ('甲镇', '甲省', '0101', NULL)"),
            QStringLiteral("INSERT INTO GM_AREA VALUES ('乙镇', '乙省', '2010', NULL)"),
            QStringLiteral("INSERT INTO GM_AREA VALUES ('O''Hara', '外地', '0999', NULL)"),
        });
        createDataModule();
        ASSERT_FALSE(dm->FOpenFailed);
    }

    // Shows a panel in an active window, so that focus can be seen.
    void showActive(QWidget *panel)
    {
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
        panel->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([panel] { return QApplication::activeWindow() == panel; }));
    }

    QStringList results(const TMobileLookupPanel &p) const
    {
        return {p.edt_1->text(), p.edt_2->text(), p.edt_3->text(), p.edt_4->text()};
    }

    // The keyw values the area grid shows, top to bottom.
    QStringList areaHits(const TAreaLookupPanel &p) const
    {
        QStringList hits;
        const QAbstractItemModel *m = p.DBGrid_Area->model();
        for (int r = 0; r < m->rowCount(); ++r)
            hits << m->data(m->index(r, 1)).toString();
        return hits;
    }

    void search(TAreaLookupPanel &p, const QString &label, const QString &value, bool contains)
    {
        p.FCboBoxField->setCurrentIndex(p.FCboBoxField->findText(label));
        p.FFieldText->setText(value);
        p.CheckBoxFind->setChecked(contains);
        p.SpeedButton9Click();
    }
};

TEST_F(LookupPanelsTest, MobileLookupFindsTheRangeOfTheFirstSevenDigits)
{
    TMobileLookupPanel panel;
    panel.Cardtext->setText(QStringLiteral("  13800138000 "));
    panel.SpeedButton10Click();
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    EXPECT_EQ(results(panel), (QStringList{"北京市", "北京市", "010", "中国移动"}));
    EXPECT_EQ(dm->ADOQryCard->sqlText(), kCardSql.arg("1380013"));

    panel.Cardtext->setText(QStringLiteral("13906531234"));
    panel.LookupMobile();
    EXPECT_EQ(results(panel), (QStringList{"浙江省", "杭州市", "0571", "中国移动"}));
    EXPECT_TRUE(dm->ADOQryCard->active()) << "the last result stays open";
}

// A lookup that finds no number leaves no answer of an earlier number
// beside its message.
TEST_F(LookupPanelsTest, MobileLookupReportsBadAndUnknownNumbersAndClearsTheResults)
{
    TMobileLookupPanel panel;
    showActive(&panel);

    const auto expectRefused = [&](const QString &number, const QString &message, bool focusBack) {
        panel.Cardtext->setText(QStringLiteral("13800138000"));
        panel.LookupMobile();
        ASSERT_EQ(results(panel), (QStringList{"北京市", "北京市", "010", "中国移动"}));
        messages.clear();
        panel.SpeedButton10->setFocus();
        panel.Cardtext->setText(number);
        panel.LookupMobile();
        EXPECT_EQ(messages, QStringList{QStringLiteral("Velmora|") + message}) << number.toStdString();
        EXPECT_EQ(results(panel), QStringList(4)) << number.toStdString();
        EXPECT_EQ(QApplication::focusWidget() == panel.Cardtext, focusBack) << number.toStdString();
    };
    expectRefused(QStringLiteral("1380013800"), QStringLiteral("对不起，手机输入有误！"), true);
    expectRefused(QStringLiteral("138001380001"), QStringLiteral("对不起，手机输入有误！"), true);
    expectRefused(QStringLiteral(""), QStringLiteral("对不起，手机输入有误！"), true);
    expectRefused(QStringLiteral("19912345678"),
                  QStringLiteral("没有找到相关的手机号码，请确认手机号码输入是否有误！"), true);

    // Pasted text with anything but digits in the prefix never reaches the database.
    for (const QString &pasted : {QStringLiteral("1' or 1=1--"), QStringLiteral("138 0013800"),
                                  QStringLiteral("１３８００１３８０００"), QStringLiteral("-1380013800")}) {
        expectRefused(pasted, QStringLiteral("搜索失败！"), false);
        EXPECT_EQ(dm->ADOQryCard->sqlText(), kCardSql.arg("1380013")) << pasted.toStdString();
    }

    // A lookup the database cannot answer.
    panel.Cardtext->setText(QStringLiteral("13800138000"));
    panel.LookupMobile();
    ASSERT_EQ(results(panel), (QStringList{"北京市", "北京市", "010", "中国移动"}));
    testdb::run(dir.file(QStringLiteral("dorvak.dat")), testdb::kPassword, 4096,
                {QStringLiteral("ALTER TABLE GM_Card RENAME TO GM_Card_gone")});
    messages.clear();
    panel.Cardtext->setText(QStringLiteral("13906531234"));
    panel.LookupMobile();
    EXPECT_EQ(messages, QStringList{QStringLiteral("Velmora|搜索失败！")});
    EXPECT_EQ(results(panel), QStringList(4));
}

TEST_F(LookupPanelsTest, NumberFieldTakesTypedDigitsOnlyAndEnterLooksUp)
{
    TMobileLookupPanel panel;
    showActive(&panel);
    panel.Cardtext->setFocus();
    typeText(panel.Cardtext, QStringLiteral("13a8-0 0１1x3"));
    EXPECT_EQ(panel.Cardtext->text(), QStringLiteral("1380013"));
    QTest::keyClick(panel.Cardtext, Qt::Key_Backspace);
    QTest::keyClick(panel.Cardtext, Qt::Key_Left);
    QTest::keyClick(panel.Cardtext, Qt::Key_Delete);
    EXPECT_EQ(panel.Cardtext->text(), QStringLiteral("13800"));
    QTest::keyClick(panel.Cardtext, Qt::Key_Escape);
    EXPECT_EQ(panel.Cardtext->text(), QStringLiteral("13800"));

    panel.Cardtext->setText(QStringLiteral("1380013800"));
    panel.Cardtext->end(false);
    typeText(panel.Cardtext, QStringLiteral("0"));
    QTest::keyClick(panel.Cardtext, Qt::Key_Return);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    EXPECT_EQ(results(panel), (QStringList{"北京市", "北京市", "010", "中国移动"}));
    EXPECT_EQ(panel.Cardtext->text(), QStringLiteral("13800138000"));
}

TEST_F(LookupPanelsTest, FirstShowOpensTheWholeTableOnceAndFillsTheFieldList)
{
    TAreaLookupPanel panel;
    EXPECT_FALSE(dm->ADOAreaQuery->active());
    panel.FirstShow();
    ASSERT_TRUE(dm->ADOAreaQuery->active());
    EXPECT_EQ(panel.FAreaSql, QStringLiteral("select * from GM_AREA\r\n"));
    const QStringList labels = {"区  号", "地  区", "省  会", "邮  编"};
    QStringList listed;
    for (int i = 0; i < panel.FCboBoxField->count(); ++i)
        listed << panel.FCboBoxField->itemText(i);
    EXPECT_EQ(listed, labels);
    EXPECT_EQ(panel.FCboBoxField->currentText(), QStringLiteral("区  号"));
    EXPECT_TRUE(panel.CheckBoxFind->isChecked());

    // The grid's columns: code, place, province, postal code, at their widths, titled by label.
    const QAbstractItemModel *m = panel.DBGrid_Area->model();
    ASSERT_EQ(m->columnCount(), 4);
    const int widths[] = {95, 147, 154, 114};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString(), labels[c]);
        EXPECT_EQ(panel.DBGrid_Area->columnWidth(c), widths[c]);
    }
    EXPECT_EQ(panel.DBGrid_Area->horizontalHeader()->defaultAlignment(), Qt::AlignCenter);
    EXPECT_EQ(areaHits(panel), (QStringList{"北京市", "杭州市", "甲镇", "乙镇", "O'Hara"}));

    // A second show neither runs the query again nor adds the labels again.
    search(panel, QStringLiteral("地  区"), QStringLiteral("杭州"), true);
    panel.FirstShow();
    EXPECT_EQ(panel.FCboBoxField->count(), 4);
    EXPECT_EQ(areaHits(panel), QStringList{"杭州市"});
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

TEST_F(LookupPanelsTest, AreaSearchMatchesContainedOrLeadingText)
{
    TAreaLookupPanel panel;
    panel.FirstShow();

    search(panel, QStringLiteral("区  号"), QStringLiteral(" 010 "), true);
    EXPECT_EQ(panel.FAreaField, QStringLiteral("areanumber"));
    EXPECT_EQ(dm->ADOAreaQuery->sqlText(),
              QStringLiteral("select * from GM_AREA\r\n WHERE (areanumber LIKE '%010%')\r\n"));
    EXPECT_EQ(areaHits(panel), (QStringList{"北京市", "甲镇", "乙镇"}));

    search(panel, QStringLiteral("区  号"), QStringLiteral("01"), false);
    EXPECT_EQ(dm->ADOAreaQuery->sqlText(),
              QStringLiteral("select * from GM_AREA\r\n WHERE (areanumber LIKE '01%')\r\n"));
    EXPECT_EQ(areaHits(panel), (QStringList{"北京市", "甲镇"}));
    search(panel, QStringLiteral("区  号"), QStringLiteral("01"), true);
    EXPECT_EQ(areaHits(panel), (QStringList{"北京市", "甲镇", "乙镇"}));

    search(panel, QStringLiteral("省  会"), QStringLiteral("浙江"), false);
    EXPECT_EQ(panel.FAreaField, QStringLiteral("province"));
    EXPECT_EQ(areaHits(panel), QStringList{"杭州市"});

    // An empty value lists the whole table, whatever the box says.
    search(panel, QStringLiteral("邮  编"), QStringLiteral("  "), false);
    EXPECT_EQ(dm->ADOAreaQuery->sqlText(), QStringLiteral("select * from GM_AREA\r\n"));
    EXPECT_EQ(areaHits(panel).size(), 5);
    EXPECT_EQ(panel.FAreaField, QStringLiteral("zipcode"));
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

// Enter in the search box searches; a search that finds nothing says so in
// the grid, without a box.
TEST_F(LookupPanelsTest, EnterInTheAreaBoxSearchesAndAnEmptyResultSaysSo)
{
    TAreaLookupPanel panel;
    panel.FirstShow();
    ASSERT_NO_FATAL_FAILURE(showActive(&panel));
    panel.FCboBoxField->setCurrentIndex(panel.FCboBoxField->findText(QStringLiteral("地  区")));
    panel.FFieldText->setFocus();
    typeText(panel.FFieldText, QStringLiteral("杭州"));
    QTest::keyClick(panel.FFieldText, Qt::Key_Return);
    EXPECT_EQ(areaHits(panel), QStringList{"杭州市"});
    panel.FFieldText->clear();
    typeText(panel.FFieldText, QStringLiteral("杭洲"));
    QTest::keyClick(panel.FFieldText, Qt::Key_Return);
    EXPECT_TRUE(areaHits(panel).isEmpty());
    EXPECT_EQ(panel.DBGrid_Area->emptyText(), QStringLiteral("没有找到符合条件的地区"));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(LookupPanelsTest, AreaSearchDoublesQuotesAndReportsFailures)
{
    TAreaLookupPanel panel;
    panel.FirstShow();

    search(panel, QStringLiteral("地  区"), QStringLiteral("O'Ha"), true);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    EXPECT_EQ(dm->ADOAreaQuery->sqlText(),
              QStringLiteral("select * from GM_AREA\r\n WHERE (keyw LIKE '%O''Ha%')\r\n"));
    EXPECT_EQ(areaHits(panel), QStringList{"O'Hara"});
    search(panel, QStringLiteral("地  区"), QStringLiteral("x') or ('1'='1"), true);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(areaHits(panel).isEmpty());

    // A NUL would cut the statement short in the engine: refused before it gets there.
    const QString before = dm->ADOAreaQuery->sqlText();
    search(panel, QStringLiteral("地  区"), QStringLiteral("甲") + QChar(0) + QStringLiteral("') or ('1'='1"),
           true);
    EXPECT_EQ(messages, QStringList{"Velmora|搜索失败！"});
    EXPECT_EQ(dm->ADOAreaQuery->sqlText(), before);

    // The table gone under the program: the statement fails and says so.
    messages.clear();
    testdb::run(dir.file(QStringLiteral("dorvak.dat")), testdb::kPassword, 4096,
                {QStringLiteral("DROP TABLE GM_AREA")});
    search(panel, QStringLiteral("地  区"), QStringLiteral("甲"), true);
    EXPECT_EQ(messages, QStringList{"Velmora|搜索失败！"});
    EXPECT_TRUE(areaHits(panel).isEmpty());
}

TEST_F(LookupPanelsTest, FirstShowWithoutTheAreaTableTellsTheUserAndTriesAgainLater)
{
    testdb::run(dir.file(QStringLiteral("dorvak.dat")), testdb::kPassword, 4096,
                {QStringLiteral("ALTER TABLE GM_AREA RENAME TO GM_AREA_OLD")});
    TAreaLookupPanel panel;
    panel.FirstShow();
    EXPECT_EQ(messages, QStringList{"Velmora|出现异常！"});
    EXPECT_FALSE(dm->ADOAreaQuery->active());
    EXPECT_EQ(panel.FCboBoxField->count(), 0);

    testdb::run(dir.file(QStringLiteral("dorvak.dat")), testdb::kPassword, 4096,
                {QStringLiteral("ALTER TABLE GM_AREA_OLD RENAME TO GM_AREA")});
    panel.FirstShow();
    EXPECT_TRUE(dm->ADOAreaQuery->active());
    EXPECT_EQ(panel.FCboBoxField->count(), 4);
}
