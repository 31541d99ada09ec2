#include "QueryFixture.h"

#include "platform/db/DbGrid.h"
#include "platform/os/Gb2312.h"
#include "query/ToolTitleStrip.h"
#include "query/uFmSearchs.h"
#include "support/TypeText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>

class QuickSearchTest : public QueryFixture
{
protected:
    void SetUp() override
    {
        QueryFixture::SetUp();
        openDatabase({
            testdb::companyInsert(QStringLiteral("北京电子"), QStringLiteral("北京市"), 1),
            testdb::companyInsert(QStringLiteral("电子北京"), QStringLiteral("北京市"), 0),
            testdb::companyInsert(QStringLiteral("北京机械"), QStringLiteral("北京市"), 0),
            testdb::companyInsert(QStringLiteral("O'Brien电子"), QStringLiteral("上海市"), 0),
        });
        loadList();
        grid = new platform::db::DbGrid(&owner);
        grid->setDataSource(source.get());
        search = new TFmSearchs(grid, &owner);
        search->ListSql = [this] { return listSql; };
        search->FCboBoxField->setCurrentIndex(1); // 公司名称
    }

    QString statement(const QString &clause) const { return listSql + clause + QLatin1String("\r\n"); }

    QWidget owner;
    platform::db::DbGrid *grid = nullptr;
    TFmSearchs *search = nullptr;
};

TEST_F(QuickSearchTest, WindowStartsWithTheGridsFieldsAndContainsChecked)
{
    EXPECT_EQ(search->size(), QSize(311, 131));
    EXPECT_EQ(search->windowTitle(), QStringLiteral("快速检索"));
    EXPECT_EQ(search->Image1->title(), QStringLiteral("快速查询"));
    const Qt::WindowFlags flags = search->windowFlags();
    EXPECT_TRUE(flags & Qt::FramelessWindowHint);
    // Above its owner only (a tool window transient for it), not above every program.
    EXPECT_EQ(search->windowType(), Qt::Tool);
    EXPECT_FALSE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(search->parentWidget(), &owner);

    TFmSearchs fresh(grid, &owner);
    ASSERT_EQ(fresh.FCboBoxField->count(), 19);
    EXPECT_EQ(fresh.FCboBoxField->currentIndex(), 0);
    EXPECT_EQ(fresh.FCboBoxField->itemText(0), QStringLiteral("类别名称"));
    EXPECT_EQ(fresh.FCboBoxField->itemText(13), QStringLiteral("省份"));
    EXPECT_TRUE(fresh.CheckBoxFind->isChecked());
    EXPECT_FALSE(fresh.CheckBox1->isChecked());
    EXPECT_EQ(fresh.CheckBox1->toolTip(), QStringLiteral("当匹配查询选择打钩时模糊查询则没有起作用"));
    EXPECT_TRUE(fresh.FFieldText->text().isEmpty());
}

TEST_F(QuickSearchTest, EveryChangeOfTheTextSearchesAndAnEmptyTextRestoresTheList)
{
    typeText(search->FFieldText, QStringLiteral("电"));
    EXPECT_EQ(companies->sqlText(), statement(QStringLiteral(" WHERE (cCorpCName LIKE '%电%')")));
    typeText(search->FFieldText, QStringLiteral("子"));
    EXPECT_EQ(companies->sqlText(), statement(QStringLiteral(" WHERE (cCorpCName LIKE '%电子%')")));
    EXPECT_EQ(names(), (QStringList{QStringLiteral("北京电子"), QStringLiteral("电子北京"),
                                    QStringLiteral("O'Brien电子")}));

    QTest::keyClick(search->FFieldText, Qt::Key_Backspace);
    EXPECT_EQ(companies->sqlText(), statement(QStringLiteral(" WHERE (cCorpCName LIKE '%电%')")));
    QTest::keyClick(search->FFieldText, Qt::Key_Backspace);
    EXPECT_EQ(companies->sqlText(), listSql);
    EXPECT_EQ(companies->recordCount(), 4);

    // Blanks alone count as an empty text.
    search->FFieldText->setText(QStringLiteral("  "));
    EXPECT_EQ(companies->sqlText(), listSql);
}

TEST_F(QuickSearchTest, ExactMatchComesBeforeContainsWhichComesBeforeStartsWith)
{
    search->CheckBox1->setChecked(true);
    search->FFieldText->setText(QStringLiteral("北京"));
    EXPECT_EQ(companies->sqlText(), statement(QStringLiteral(" WHERE (cCorpCName = '北京')")));
    EXPECT_EQ(companies->recordCount(), 0);
    search->FFieldText->setText(QStringLiteral("北京电子"));
    EXPECT_EQ(names(), QStringList{QStringLiteral("北京电子")});

    search->CheckBox1->setChecked(false);
    QTest::mouseClick(search->SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(companies->sqlText(), statement(QStringLiteral(" WHERE (cCorpCName LIKE '%北京电子%')")));

    search->CheckBoxFind->setChecked(false);
    search->FFieldText->setText(QStringLiteral("北"));
    EXPECT_EQ(companies->sqlText(), statement(QStringLiteral(" WHERE (cCorpCName LIKE '北%')")));
    EXPECT_EQ(names(), (QStringList{QStringLiteral("北京电子"), QStringLiteral("北京机械")}));

    // A quote in the text is part of the value.
    search->CheckBoxFind->setChecked(true);
    search->FFieldText->setText(QStringLiteral("O'Brien"));
    EXPECT_EQ(companies->sqlText(), statement(QStringLiteral(" WHERE (cCorpCName LIKE '%O''Brien%')")));
    EXPECT_EQ(names(), QStringList{QStringLiteral("O'Brien电子")});
}

TEST_F(QuickSearchTest, LabelsAndWidthsComeBackAfterEachSearch)
{
    search->FFieldText->setText(QStringLiteral("机械"));
    ASSERT_TRUE(companies->active());
    EXPECT_EQ(companies->fieldByName(QStringLiteral("cProvince"))->displayLabel(), QStringLiteral("省份"));
    EXPECT_EQ(companies->fieldByName(QStringLiteral("iFlag"))->displayLabel(), QStringLiteral("诚信企业"));
    EXPECT_EQ(companies->fieldByName(QStringLiteral("cCorpCName"))->displayWidth(),
              platform::gb2312Length(QStringLiteral("北京机械")) + 10);
    EXPECT_EQ(companies->fieldByName(QStringLiteral("cFax"))->displayWidth(), 10) << "empty value";
    // A second search still finds the field by its label.
    search->FFieldText->setText(QStringLiteral("电子"));
    EXPECT_EQ(companies->recordCount(), 3);
}

TEST_F(QuickSearchTest, UnknownLabelFailsAndExtraFieldsKeepTheirLabels)
{
    companies->fieldByName(QStringLiteral("cCorpCName"))->setDisplayLabel(QStringLiteral("别名"));
    search->FFieldText->setText(QStringLiteral("北京"));
    EXPECT_EQ(companies->sqlText(), statement(QStringLiteral(" WHERE ( LIKE '%北京%')")));
    EXPECT_FALSE(companies->active()) << "the statement fails and the list stays closed";
    search->FFieldText->clear();
    EXPECT_TRUE(companies->active());
    EXPECT_EQ(companies->recordCount(), 4);

    listSql =
        QString::fromLatin1(kListSql).replace(QLatin1String(" from"), QLatin1String(",cZip AS cExtra from")) +
        QLatin1String("\r\n");
    search->FFieldText->setText(QStringLiteral("北京"));
    ASSERT_EQ(companies->fieldCount(), 20);
    EXPECT_EQ(companies->field(18)->displayLabel(), QStringLiteral("备注"));
    EXPECT_EQ(companies->field(19)->displayLabel(), QStringLiteral("cExtra"));
}

TEST_F(QuickSearchTest, ClosingOnlyHidesTheWindowWithItsState)
{
    search->show();
    search->CheckBox1->setChecked(true);
    search->FFieldText->setText(QStringLiteral("北京电子"));
    QPointer<TFmSearchs> alive(search);
    QTest::mouseClick(search->SpeedButton4, Qt::LeftButton);
    ASSERT_TRUE(alive);
    EXPECT_FALSE(search->isVisible());
    search->show();
    QTest::mouseClick(search->SpeedButton2, Qt::LeftButton);
    ASSERT_TRUE(alive);
    EXPECT_FALSE(search->isVisible());
    search->show();
    EXPECT_EQ(search->FFieldText->text(), QStringLiteral("北京电子"));
    EXPECT_TRUE(search->CheckBox1->isChecked());
}
