// The query's sort, checked against orderings worked out here independently:
// QCollator's Chinese collation for text, plain numbers for numbers.

#include "DbFixture.h"

#include "platform/db/DbGrid.h"
#include "platform/db/DbGridModel.h"
#include "platform/db/DbMemo.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCollator>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <numeric>

using namespace platform::db;

namespace {

// Names as Chinese users sort them: 鑫 (xin, a GB2312 level-two character,
// so after every level-one character in code order) before 张 (zhang),
// digits as numbers, letters without regard to case, and empty and null
// names, which go last.
const QStringList kNames = {
    QStringLiteral("张三贸易"),
    QStringLiteral("鑫达电子"),
    QStringLiteral("第10分厂"),
    QStringLiteral("安徽机械"),
    QString(),
    QStringLiteral("第9分厂"),
    QStringLiteral("abc"),
    QStringLiteral("ABC"),
    QStringLiteral("北京化工"),
    QStringLiteral(""),
    QStringLiteral("重庆火锅"),
    QStringLiteral("Alpha 2"),
    QStringLiteral("alpha 10"),
    QStringLiteral("第100分厂"),
    QStringLiteral("阿里"),
    QStringLiteral("北京"),
    QStringLiteral("北京化工"),
    QStringLiteral("（集团）"),
    QStringLiteral("中国"),
    QStringLiteral("座山"),
};
// Numbers in iFlag, in the same rows; a null where the list has none.
const QList<QVariant> kFlags = {10, 9,          -1, 0, 1, QVariant(), 100, 2, 0, 3,
                                1,  QVariant(), 0,  5, 1, 1,          1,   2, 7, 8};

QString literal(const QString &text)
{
    if (text.isNull())
        return QStringLiteral("NULL");
    QString quoted = text;
    return QLatin1Char('\'') + quoted.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

QStringList sortRows()
{
    QStringList rows;
    for (qsizetype i = 0; i < kNames.size(); ++i)
        rows << QStringLiteral("INSERT INTO Dorvak (cCorpCName, cProvince, iFlag, cRemark) "
                               "VALUES (%1, %2, %3, '%4')")
                    .arg(literal(kNames[i]), i % 2 ? QStringLiteral("'北京市'") : QStringLiteral("'安徽省'"),
                         kFlags[i].isNull() ? QStringLiteral("NULL") : kFlags[i].toString())
                    .arg(i);
    return rows;
}

// The rows' original numbers (cRemark) in the order the query shows them.
QList<int> shownOrder(const DbQuery &query)
{
    QList<int> order;
    const int remark = query.fieldByName(QStringLiteral("cRemark"))->index();
    for (int r = 0; r < query.recordCount(); ++r)
        order << query.cellText(r, remark).toInt();
    return order;
}

// The independent ordering: a stable sort of the rows with a comparison,
// values first, empty ones after in their own order.
template <typename Less>
QList<int> expectedOrder(const QList<int> &rows, const std::function<bool(int)> &empty, Less less)
{
    QList<int> values;
    QList<int> empties;
    for (int r : rows)
        (empty(r) ? empties : values) << r;
    std::stable_sort(values.begin(), values.end(), less);
    return values + empties;
}

QCollator chineseCollator()
{
    QCollator c{QLocale(QLocale::Chinese, QLocale::China)};
    c.setCaseSensitivity(Qt::CaseInsensitive);
    c.setNumericMode(true);
    return c;
}

} // namespace

class SortTest : public DbFixture
{
protected:
    void SetUp() override
    {
        openDatabase(sortRows());
        openSql(QStringLiteral("select * from Dorvak"));
    }
    QList<int> allRows() const
    {
        QList<int> rows(kNames.size());
        std::iota(rows.begin(), rows.end(), 0);
        return rows;
    }
    static bool emptyName(int r) { return kNames[r].isEmpty(); }
};

TEST_F(SortTest, TextSortsInChineseOrderWithNumbersAsNumbersAndEmptiesLast)
{
    const QCollator collator = chineseCollator();
    query->setSort(QStringLiteral("cCorpCName"));
    EXPECT_EQ(shownOrder(*query), expectedOrder(allRows(), emptyName, [&](int a, int b) {
                  return collator.compare(kNames[a], kNames[b]) < 0;
              }));
    const QStringList firstFew = {query->cellText(0, 1), query->cellText(1, 1), query->cellText(2, 1)};
    // Punctuation, then Chinese by pinyin (before Latin letters, as ICU's Chinese order has it).
    EXPECT_EQ(firstFew,
              (QStringList{QStringLiteral("（集团）"), QStringLiteral("阿里"), QStringLiteral("安徽机械")}));

    query->setSort(QStringLiteral("cCorpCName DESC"));
    EXPECT_EQ(shownOrder(*query),
              expectedOrder(allRows(), emptyName,
                            [&](int a, int b) { return collator.compare(kNames[b], kNames[a]) < 0; }))
        << "reversed, with equal names in their order and the empty ones still last";

    // The pinyin order is not GB2312's code order, which puts 鑫 after 张.
    const auto at = [&](const QString &name) {
        return shownOrder(*query).indexOf(int(kNames.indexOf(name)));
    };
    EXPECT_GT(at(QStringLiteral("鑫达电子")), at(QStringLiteral("张三贸易")));
    EXPECT_LT(at(QStringLiteral("第100分厂")), at(QStringLiteral("第10分厂")));
    EXPECT_LT(at(QStringLiteral("第10分厂")), at(QStringLiteral("第9分厂")));
}

TEST_F(SortTest, NumbersSortByValueAndSeveralKeysEachInTheirDirection)
{
    const auto flag = [](int r) { return kFlags[r].toInt(); };
    query->setSort(QStringLiteral("iFlag DESC"));
    EXPECT_EQ(shownOrder(*query), expectedOrder(
                                      allRows(), [](int r) { return kFlags[r].isNull(); },
                                      [&](int a, int b) { return flag(a) > flag(b); }));
    EXPECT_EQ(query->cellText(0, query->fieldByName(QStringLiteral("iFlag"))->index()),
              QStringLiteral("100"));

    const QCollator collator = chineseCollator();
    query->setSort(QStringLiteral("cProvince, iflag asc, cCorpCName desc"));
    EXPECT_EQ(query->sortTerms().size(), 3u);
    const auto province = [](int r) { return r % 2 ? 1 : 0; }; // 安徽省 before 北京市
    EXPECT_EQ(shownOrder(*query), expectedOrder(
                                      allRows(), [](int) { return false; },
                                      [&](int a, int b) {
                                          if (province(a) != province(b))
                                              return province(a) < province(b);
                                          // Within a flag, null flags last; then names descending, empty
                                          // names last.
                                          const bool na = kFlags[a].isNull(), nb = kFlags[b].isNull();
                                          if (na != nb)
                                              return nb;
                                          if (!na && flag(a) != flag(b))
                                              return flag(a) < flag(b);
                                          if (emptyName(a) != emptyName(b))
                                              return emptyName(b);
                                          return collator.compare(kNames[b], kNames[a]) < 0;
                                      }));

    EXPECT_THROW(query->setSort(QStringLiteral("noSuchField")), DbError);
    EXPECT_THROW(query->setSort(QStringLiteral("cProvince sideways")), DbError);
    EXPECT_EQ(query->sort(), QStringLiteral("cProvince, iflag asc, cCorpCName desc"))
        << "a bad sort changes nothing";
    query->setSort(QString());
    EXPECT_EQ(shownOrder(*query), allRows()) << "no sort: the result's own order";
}

TEST_F(SortTest, SortKeepsTheCurrentRowAndStaysThroughFiltersAndStatements)
{
    query->setCurrentRow(int(kNames.indexOf(QStringLiteral("中国"))));
    QSignalSpy resets(query.get(), &DbQuery::dataReset);
    query->setSort(QStringLiteral("cCorpCName DESC"));
    EXPECT_EQ(query->fieldByName(QStringLiteral("cCorpCName"))->asString(), QStringLiteral("中国"));
    EXPECT_EQ(resets.count(), 0) << "a sort reorders the rows without resetting them";

    // The filter narrows the sorted rows; they stay sorted.
    query->setFilter(QStringLiteral("cProvince='北京市'"));
    query->setFiltered(true);
    QList<int> odd;
    for (int r : shownOrder(*query))
        odd << r;
    EXPECT_EQ(query->recordCount(), 10);
    const QCollator collator = chineseCollator();
    QList<int> oddRows;
    for (int r = 1; r < kNames.size(); r += 2)
        oddRows << r;
    EXPECT_EQ(odd, expectedOrder(oddRows, emptyName,
                                 [&](int a, int b) { return collator.compare(kNames[b], kNames[a]) < 0; }));

    // A new statement with the field keeps the sort; one without drops it.
    openSql(QStringLiteral("select cCorpCName, cRemark, cProvince from Dorvak where iFlag >= 1"));
    EXPECT_EQ(query->sort(), QStringLiteral("cCorpCName DESC"));
    ASSERT_GT(query->recordCount(), 3);
    for (int r = 1; r < query->recordCount(); ++r)
        EXPECT_GE(collator.compare(query->cellText(r - 1, 0), query->cellText(r, 0)), 0) << r;
    openSql(QStringLiteral("select cRemark, cProvince from Dorvak"));
    EXPECT_EQ(query->sort(), QString());
    query->setFiltered(false);
    EXPECT_EQ(shownOrder(*query), allRows());
}

TEST_F(SortTest, EditedTextSortsByItsNewValueAndPendingEditsSurviveASort)
{
    openSql(QStringLiteral("select cCorpCName, cRemark, cCorpMemo from Dorvak"));
    query->setSort(QStringLiteral("cCorpMemo"));
    query->setCurrentRow(3);
    const int remark = query->cellText(3, 1).toInt();
    query->setFieldText(2, QStringLiteral("啊，一段简介"));
    query->setSort(QStringLiteral("cCorpMemo DESC"));
    EXPECT_TRUE(query->modified()) << "the current row did not move, so nothing was posted";
    EXPECT_EQ(query->cellText(query->currentRow(), 1).toInt(), remark);
    query->setSort(QStringLiteral("cCorpMemo"));
    EXPECT_EQ(query->cellText(0, 2), QStringLiteral("啊，一段简介")) << "the only profile, first";
    query->cancel();
    query->setSort(QStringLiteral("cCorpMemo DESC"));
    EXPECT_EQ(query->cellText(0, 2), QString()) << "cancelled: every profile empty again";
}

TEST_F(SortTest, GridTitleClicksSortReverseAndShowTheArrow)
{
    DataSource source;
    source.setDataSet(query.get());
    DbGrid grid;
    QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    grid.setDataSource(&source);
    grid.resize(600, 300);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QHeaderView *header = grid.horizontalHeader();
    const int nameColumn = 1;
    const auto clickTitle = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    query->setCurrentRow(4);
    const QString current = query->fieldByName(QStringLiteral("cRemark"))->asString();

    clickTitle(nameColumn);
    EXPECT_EQ(query->sort(), QStringLiteral("cCorpCName ASC"));
    EXPECT_EQ(header->sortIndicatorSection(), nameColumn);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(grid.model()->data(grid.model()->index(0, nameColumn)).toString(), QStringLiteral("（集团）"));
    EXPECT_EQ(query->fieldByName(QStringLiteral("cRemark"))->asString(), current);
    EXPECT_EQ(grid.currentIndex().row(), query->currentRow()) << "the grid follows the kept row";

    clickTitle(nameColumn);
    EXPECT_EQ(query->sort(), QStringLiteral("cCorpCName DESC"));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    clickTitle(nameColumn);
    EXPECT_EQ(query->sort(), QStringLiteral("cCorpCName ASC"));

    // A statement without the field drops the sort and the arrow with it.
    openSql(QStringLiteral("select cProvince, cRemark from Dorvak"));
    EXPECT_EQ(header->sortIndicatorSection(), -1);
}

// A column scrolled into view and sorted stays where it was, under the
// mouse: a second click on the same place reverses the same column.
TEST_F(SortTest, SortingKeepsTheColumnsWhereTheUserScrolledThem)
{
    DataSource source;
    source.setDataSet(query.get());
    DbGrid grid;
    grid.setDataSource(&source);
    grid.resize(300, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QHeaderView *header = grid.horizontalHeader();
    QScrollBar *across = grid.horizontalScrollBar();
    ASSERT_GT(across->maximum(), 0) << "the columns are wider than the grid";
    query->setCurrentRow(2);

    across->setValue(across->maximum());
    const int scrolled = across->value();
    const QPoint place(header->viewport()->width() / 2, header->height() / 2);
    const int column = header->logicalIndexAt(place);
    ASSERT_GT(header->sectionViewportPosition(column) + header->sectionSize(column), 0);
    ASSERT_GT(header->sectionPosition(column), grid.viewport()->width()) << "a column out of the first view";

    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, place);
    EXPECT_EQ(header->sortIndicatorSection(), column);
    EXPECT_EQ(across->value(), scrolled);
    EXPECT_EQ(header->logicalIndexAt(place), column);
    EXPECT_EQ(grid.currentIndex().row(), query->currentRow()) << "the grid follows the kept row";

    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, place);
    EXPECT_EQ(header->sortIndicatorSection(), column);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(across->value(), scrolled);
    QApplication::processEvents();
    EXPECT_EQ(across->value(), scrolled) << "nothing scrolls it back later";
}
