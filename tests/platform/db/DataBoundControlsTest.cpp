#include "DbFixture.h"

#include "platform/db/DbEdit.h"
#include "platform/db/DbGrid.h"
#include "platform/db/DbGridModel.h"
#include "platform/db/DbMemo.h"
#include "platform/db/SearchHighlight.h"
#include "store/TableSearch.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QTest>

using namespace platform::db;

class DataBoundControlsTest : public DbFixture
{
protected:
    void SetUp() override
    {
        openDatabase({testdb::companyInsert(QStringLiteral("甲公司"), QStringLiteral("北京市"), 1, {},
                                            QStringLiteral("甲简介")),
                      testdb::companyInsert(QStringLiteral("乙公司"), QStringLiteral("安徽省"), 0, {},
                                            QStringLiteral("乙简介")),
                      testdb::companyInsert(QStringLiteral("丙公司"), QStringLiteral("北京市"), 0)});
        openSql(QStringLiteral("select cCorpCName, cProvince, cCorpMemo from Dorvak"));
        source.setDataSet(query.get());
    }

    DataSource source;
};

TEST_F(DataBoundControlsTest, GridModelFollowsTheQueryAndPassesTheModelTester)
{
    DbGridModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setDataSource(&source);
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("cCorpCName"));
    query->field(0)->setDisplayLabel(QStringLiteral("公司名称"));
    query->field(0)->setDisplayWidth(14);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("公司名称"));
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, DbGridModel::DisplayWidthRole).toInt(), 14);
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), QStringLiteral("乙公司"));
    EXPECT_EQ(model.headerData(0, Qt::Vertical).toString(), QStringLiteral("▶"))
        << "indicator on the current row";

    query->setFilter(QStringLiteral("cProvince='北京市'"));
    query->setFiltered(true);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), QStringLiteral("丙公司"));
    query->close();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);
}

TEST_F(DataBoundControlsTest, GridSelectionAndQueryRowMoveTogether)
{
    DbGrid grid;
    grid.setDataSource(&source);
    grid.resize(400, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    EXPECT_EQ(grid.currentIndex().row(), 0);

    query->field(1)->setDisplayWidth(12);
    EXPECT_EQ(grid.columnWidth(1), grid.columnWidthFor(12));

    const QRect second = grid.visualRect(grid.model()->index(1, 0));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(query->currentRow(), 1);
    query->setCurrentRow(2);
    EXPECT_EQ(grid.currentIndex().row(), 2);
    EXPECT_TRUE(grid.selectionModel()->isRowSelected(2, {}));
}

TEST_F(DataBoundControlsTest, GridShowsChosenColumnsInTheirOrderAndWidths)
{
    DbGrid grid;
    QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    grid.setDataSource(&source);
    grid.setColumns({{QStringLiteral("cprovince"), 95},
                     {QStringLiteral("cCorpCName"), 0},
                     {QStringLiteral("noSuchField"), 50}});
    ASSERT_EQ(grid.model()->columnCount(), 2);
    EXPECT_EQ(grid.columnField(0)->fieldName(), QStringLiteral("cProvince"));
    EXPECT_EQ(grid.columnField(1)->fieldName(), QStringLiteral("cCorpCName"));
    EXPECT_EQ(grid.columnField(2), nullptr);
    EXPECT_EQ(grid.model()->data(grid.model()->index(1, 0)).toString(), QStringLiteral("安徽省"));
    EXPECT_EQ(grid.model()->data(grid.model()->index(1, 1)).toString(), QStringLiteral("乙公司"));
    EXPECT_EQ(grid.columnWidth(0), 95);
    EXPECT_EQ(grid.columnWidth(1), grid.columnWidthFor(query->field(0)->displayWidth()));

    // A label set later reaches the column that shows the field; the widths survive a new statement.
    query->field(1)->setDisplayLabel(QStringLiteral("省份"));
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("省份"));
    openSql(QStringLiteral("select cCorpCName, cProvince from Dorvak where cProvince = '北京市'"));
    EXPECT_EQ(grid.model()->rowCount(), 2);
    EXPECT_EQ(grid.columnWidth(0), 95);
    EXPECT_EQ(grid.columnField(0)->fieldName(), QStringLiteral("cProvince"));

    grid.setColumns({});
    EXPECT_EQ(grid.model()->columnCount(), 2);
    EXPECT_EQ(grid.columnField(0)->fieldName(), QStringLiteral("cCorpCName"));
}

TEST_F(DataBoundControlsTest, BoundEditsShowTheCurrentRowAndTheMemoWritesBack)
{
    DbEdit name;
    name.setReadOnly(true);
    name.setDataSource(&source);
    name.setDataField(QStringLiteral("cCorpCName"));
    DbMemo memo;
    memo.setDataSource(&source);
    memo.setDataField(QStringLiteral("cCorpMemo"));
    EXPECT_EQ(name.text(), QStringLiteral("甲公司"));
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("甲简介"));

    query->next();
    EXPECT_EQ(name.text(), QStringLiteral("乙公司"));
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("乙简介"));

    memo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&memo));
    memo.moveCursor(QTextCursor::End);
    QTest::keyClicks(&memo, QStringLiteral("X"));
    QTest::keyClick(&memo, Qt::Key_Return);
    QTest::keyClicks(&memo, QStringLiteral("Y"));
    EXPECT_TRUE(query->modified());
    EXPECT_EQ(query->field(2)->asString(), QStringLiteral("乙简介X\r\nY"))
        << "line breaks are stored as CR LF";

    query->next();
    EXPECT_EQ(memo.toPlainText(), QString());
    EXPECT_EQ(testdb::scalar(path, testdb::kPassword, 4096,
                             QStringLiteral("select cCorpMemo from Dorvak where cCorpCName='乙公司'")),
              QStringLiteral("乙简介X\r\nY"));

    // Bound to a field the query lacks, or to a closed query, an edit is empty.
    name.setDataField(QStringLiteral("nope"));
    EXPECT_EQ(name.text(), QString());
    name.setDataField(QStringLiteral("cProvince"));
    EXPECT_EQ(name.text(), QStringLiteral("北京市"));
    query->close();
    EXPECT_EQ(name.text(), QString());
}

namespace {

// The number of pixels of an image in the marker colour, within a few steps.
int markerPixels(const QImage &image, const QRect &area)
{
    const QColor marker = searchHighlightColor();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - marker.red()) < 8 && std::abs(c.green() - marker.green()) < 8 &&
                     std::abs(c.blue() - marker.blue()) < 8;
        }
    return count;
}

} // namespace

// The grid and a bound edit mark the characters the search found, only those.
TEST_F(DataBoundControlsTest, TheGridAndTheEditsMarkWhatTheSearchFound)
{
    DbGrid grid;
    grid.setDataSource(&source);
    grid.resize(500, 200);
    DbEdit edit;
    edit.setDataSource(&source);
    edit.setDataField(QStringLiteral("cCorpCName"));
    edit.resize(200, 24);
    grid.show();
    edit.show();
    auto marks = [&] {
        const QImage image = grid.viewport()->grab().toImage();
        return std::make_pair(markerPixels(image, grid.visualRect(grid.model()->index(0, 0))),
                              markerPixels(image, grid.visualRect(grid.model()->index(0, 1))));
    };
    EXPECT_EQ(marks(), std::make_pair(0, 0));
    EXPECT_EQ(markerPixels(edit.grab().toImage(), edit.rect()), 0);

    query->setSearch(std::make_shared<store::TableSearch>(store::SearchQuery::parse("gongsi")),
                     {{QStringLiteral("cCorpCName"), true, true}});
    ASSERT_EQ(query->recordCount(), 3);
    query->setCurrentRow(1); // not the row the grid's marks are looked for in
    const auto [name, province] = marks();
    EXPECT_GT(name, 20) << "公司 is marked in the first row's name";
    EXPECT_EQ(province, 0) << "the province is no field of the search";
    EXPECT_EQ(edit.searchHighlights(), (QList<QPair<int, int>>{{1, 2}}));
    const QImage shown = edit.grab().toImage();
    const int half = edit.width() / 2;
    EXPECT_GT(markerPixels(shown, QRect(0, 0, edit.width(), edit.height())), 20);
    EXPECT_EQ(markerPixels(shown, QRect(half, 0, edit.width() - half, edit.height())), 0)
        << "nothing past the name's last character";
}
