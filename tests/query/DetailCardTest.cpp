#include "QueryFixture.h"

#include "platform/db/DbEdit.h"
#include "platform/db/DbMemo.h"
#include "platform/ui/PopupMenu.h"
#include "query/ToolTitleStrip.h"
#include "query/uFmPackContent.h"
#include "support/TypeText.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

class DetailCardTest : public QueryFixture
{
protected:
    void SetUp() override
    {
        QueryFixture::SetUp();
        openDatabase({
            testdb::companyInsert(QStringLiteral("北京电子"), QStringLiteral("北京市"), 1,
                                  QStringLiteral("www.a.cn"), QStringLiteral("简介一")),
            testdb::companyInsert(QStringLiteral("上海机械"), QStringLiteral("上海市"), 0),
        });
        loadList();
        card = new TFmPackContent(source.get(), &owner);
    }

    // Whether a right click on the control pops up any menu.
    static bool rightClickShowsMenu(QWidget *control)
    {
        bool shown = false;
        QTimer::singleShot(0, [&shown] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                shown = true;
                popup->close();
            }
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), control->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(control, &event);
        QApplication::processEvents();
        return shown;
    }

    QWidget owner;
    TFmPackContent *card = nullptr;
};

TEST_F(DetailCardTest, ShowsEveryFieldOfTheCurrentRowInItsPlace)
{
    EXPECT_EQ(card->size(), QSize(507, 322));
    EXPECT_EQ(card->windowTitle(), QStringLiteral("企业信息"));
    EXPECT_EQ(card->Image1->title(), QStringLiteral("企业信息"));
    EXPECT_TRUE(card->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(card->windowType(), Qt::Tool);
    EXPECT_FALSE(card->windowFlags() & Qt::WindowStaysOnTopHint);

    const char *const fields[] = {"cAreaNo", "cArea",  "cCorpCName", "cCorpEName", "cCAdd",
                                  "cEAdd",   "cZip",   "cManager",   "cTel",       "cFax",
                                  "cHttp",   "cEmail", "cProvince",  "cTypeName",  "cMainProd"};
    for (const char *f : fields) {
        platform::db::DbEdit *box = card->Box(QLatin1String(f));
        ASSERT_NE(box, nullptr) << f;
        EXPECT_EQ(box->objectName(), QLatin1String(f));
        EXPECT_TRUE(box->isReadOnly()) << f;
        EXPECT_EQ(box->palette().color(QPalette::Text), QColor(Qt::blue)) << f;
    }
    // Left, right and full-width boxes, rows 24 pixels apart.
    EXPECT_EQ(card->Box(QStringLiteral("cAreaNo"))->geometry().topLeft().x(), 64);
    EXPECT_EQ(card->Box(QStringLiteral("cAreaNo"))->width(), 185);
    EXPECT_EQ(card->Box(QStringLiteral("cArea"))->geometry().x(), 312);
    EXPECT_EQ(card->Box(QStringLiteral("cArea"))->width(), 185);
    EXPECT_EQ(card->Box(QStringLiteral("cCorpCName"))->width(), 433);
    const int top = card->Box(QStringLiteral("cAreaNo"))->y();
    EXPECT_EQ(card->Box(QStringLiteral("cCorpCName"))->y(), top + 24);
    EXPECT_EQ(card->Box(QStringLiteral("cProvince"))->y(), top + 8 * 24);
    EXPECT_EQ(card->cCorpMemo->geometry(), QRect(64, top + 10 * 24, 433, card->cCorpMemo->height()));
    EXPECT_LE(card->cCorpMemo->geometry().bottom(), 322);
    // Every caption and value whole; the memo shows two whole lines and nothing of a third.
    for (const QLabel *label : card->findChildren<QLabel *>()) {
        EXPECT_GE(label->height(), label->fontMetrics().height()) << label->text().toStdString();
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
    }
    for (const char *f : {"cAreaNo", "cCorpCName", "cMainProd"}) {
        const platform::db::DbEdit *box = card->Box(QLatin1String(f));
        const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
        EXPECT_GE(box->height() - 2 * frame, box->fontMetrics().height()) << f;
        EXPECT_LE(box->height(), 24) << f;
    }
    card->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(card));
    const int margin = int(card->cCorpMemo->document()->documentMargin());
    const int lines = card->cCorpMemo->viewport()->height() - margin;
    EXPECT_GE(lines, 2 * card->cCorpMemo->fontMetrics().lineSpacing());
    EXPECT_LE(lines - 2 * card->cCorpMemo->fontMetrics().lineSpacing(), 1);
    EXPECT_FALSE(card->cCorpMemo->isReadOnly());
    int rightLabels = 0;
    for (QLabel *label : card->findChildren<QLabel *>()) {
        EXPECT_TRUE(label->x() == 9 || label->x() == 257) << label->text().toStdString();
        rightLabels += label->x() == 257;
    }
    EXPECT_EQ(rightLabels, 5);

    EXPECT_EQ(card->Box(QStringLiteral("cCorpCName"))->text(), QStringLiteral("北京电子"));
    EXPECT_EQ(card->cCorpMemo->toPlainText(), QStringLiteral("简介一"));
    companies->setCurrentRow(1);
    EXPECT_EQ(card->Box(QStringLiteral("cCorpCName"))->text(), QStringLiteral("上海机械"));
    EXPECT_EQ(card->Box(QStringLiteral("cProvince"))->text(), QStringLiteral("上海市"));
}

TEST_F(DetailCardTest, BoxesTakeNoKeysAndOfferNoMenu)
{
    card->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(card));
    platform::db::DbEdit *areaNo = card->Box(QStringLiteral("cAreaNo"));
    areaNo->setReadOnly(false); // the key handler alone must hold
    QTest::keyClicks(areaNo, QStringLiteral("99"));
    EXPECT_EQ(areaNo->text(), QStringLiteral("010"));
    // The product box is read-only without the key handler.
    platform::db::DbEdit *product = card->Box(QStringLiteral("cMainProd"));
    product->setReadOnly(false);
    QTest::keyClicks(product, QStringLiteral("x"));
    EXPECT_TRUE(product->text().contains(QLatin1Char('x')));

    EXPECT_TRUE(card->PopupMenu1->Menu()->actions().isEmpty());
    EXPECT_FALSE(rightClickShowsMenu(areaNo));
    EXPECT_FALSE(rightClickShowsMenu(product));
    // A control that is given the menu loses its own; it returns when the card goes.
    QLineEdit other(&owner);
    EXPECT_TRUE(rightClickShowsMenu(&other)) << "the control's own menu";
    card->UsePopupMenu(&other);
    EXPECT_FALSE(rightClickShowsMenu(&other));
    delete card;
    EXPECT_TRUE(rightClickShowsMenu(&other));
}

TEST_F(DetailCardTest, ProfileTypedIntoTheMemoIsPostedWhenTheRowMoves)
{
    card->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(card));
    card->cCorpMemo->moveCursor(QTextCursor::End);
    typeText(card->cCorpMemo, QStringLiteral("，补充"));
    companies->setCurrentRow(1);
    EXPECT_EQ(testdb::scalar(path, testdb::kPassword, 4096,
                             QStringLiteral("select cCorpMemo from Dorvak where cCorpCName='北京电子'")),
              QStringLiteral("简介一，补充"));
}

TEST_F(DetailCardTest, ClosingOnlyHidesTheCard)
{
    card->show();
    QPointer<TFmPackContent> alive(card);
    QTest::mouseClick(card->SpeedButton4, Qt::LeftButton);
    ASSERT_TRUE(alive);
    EXPECT_FALSE(card->isVisible());
}
