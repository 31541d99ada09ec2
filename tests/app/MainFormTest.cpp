#include "MainFormFixture.h"

#include "app/LinkLabel.h"
#include "app/PictureBox.h"
#include "app/uBrowsePanel.h"
#include "app/uContentPanels.h"
#include "app/uLookupPanels.h"
#include "navbar/nbSideBar.h"
#include "platform/db/DbEdit.h"
#include "platform/db/DbGrid.h"
#include "platform/db/DbMemo.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/WindowDrag.h"
#include "platform/ui/WindowState.h"
#include "query/uFmPackContent.h"
#include "query/uFmSearchs.h"
#include "support/TypeText.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using platform::Rect;

using MainFormTest = MainFormFixture;

TEST_F(MainFormTest, WindowIsBorderlessWithTheDesignedLayout)
{
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form->size(), QSize(800, 600)) << "the designed size at the first start";
    EXPECT_EQ(form->minimumSize(), QSize(800, 600));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Velmora"));
    const QRect screen = form->screen()->availableGeometry();
    EXPECT_LE((form->geometry().center() - screen.center()).manhattanLength(), 2) << "centred";

    EXPECT_EQ(form->Image2->geometry(), QRect(0, 0, 800, 21));
    EXPECT_EQ(form->Label4->text(), QStringLiteral("Velmora"));
    // The title's whole line lies inside the strip, five pixels from its left.
    EXPECT_EQ(form->Label4->x(), 5);
    EXPECT_TRUE(form->Image2->rect().contains(form->Label4->geometry()));
    EXPECT_LE(form->Label4->fontMetrics().height(), form->Label4->height());
    EXPECT_EQ(form->SpeedButton7->geometry(), QRect(781, 3, 15, 15));
    EXPECT_EQ(form->SpeedButton7->text(), QStringLiteral("×"));
    EXPECT_EQ(form->Panel2->geometry(), QRect(0, 21, 800, 579));
    EXPECT_EQ(form->Image4->geometry(), QRect(8, 1, 180, 65));
    EXPECT_EQ(form->Image3->geometry(), QRect(216, 4, 439, 60));
    EXPECT_EQ(form->SpBtn_Exit->geometry(), QRect(720, 13, 65, 49));
    EXPECT_EQ(form->SpBtn_Exit->text(), QStringLiteral("退 出"));
    EXPECT_EQ(form->Pal_2->geometry(), QRect(8, 72, 781, 490));
    EXPECT_EQ(bar->geometry(), QRect(0, 0, 120, 490));
    for (QWidget *panel : form->ContentPanels())
        EXPECT_EQ(panel->geometry(), QRect(120, 0, 661, 490)) << panel->objectName().toStdString();

    // The status line: caption, then from the right the credit, the clock and the count.
    EXPECT_EQ(form->PanelA->geometry(), QRect(0, 561, 800, 18));
    EXPECT_EQ(form->PanelA->findChild<QLabel *>(QStringLiteral("PanelACaption"))->text(),
              QStringLiteral("准备就绪... ..."));
    EXPECT_EQ(form->LabelB->text(), QStringLiteral("    Kestrune设计  "));
    // Inside the line's one-pixel bevel, at the widths of the layout table.
    EXPECT_EQ(form->LabelB->geometry(), QRect(655, 1, 144, 16));
    EXPECT_EQ(form->PanelB->geometry(), QRect(526, 1, 129, 16));
    EXPECT_EQ(form->PanelC->geometry(), QRect(406, 1, 120, 16));
    EXPECT_EQ(form->PanelC->text(), QStringLiteral("| 总记录数：3 条"));

    EXPECT_EQ(visiblePanels(), QStringList{QStringLiteral("Pal_2_0")}) << "the about page at start";
    EXPECT_EQ(form->Pal_2_0->SpeedButton11->geometry(), QRect(440, 384, 161, 65));
    EXPECT_EQ(form->Pal_2_0->SpeedButton11->text(), QStringLiteral("在线升级"));
}

TEST_F(MainFormTest, SideBarIsConfiguredAsDesignedAndItsLabelsAreWhole)
{
    EXPECT_EQ(bar->HeaderCount(), 1);
    EXPECT_EQ(bar->ActiveIndex(), 0);
    TnbHeader *header = bar->Header(0);
    EXPECT_EQ(header->Caption(), QStringLiteral("Kestrune"));
    EXPECT_TRUE(header->Opened());
    EXPECT_EQ(header->Options(), (TnbHeaderOptions{hoActivateOnSelect, hoButtonDown}));
    EXPECT_EQ(header->FirstButtonTop(), 10);
    EXPECT_EQ(bar->Settings()->ButtonView(), bvWindows2000);
    EXPECT_EQ(bar->Settings()->LargeWidth(), 60);
    EXPECT_EQ(bar->Settings()->LargeHeight(), 60);
    // The window's own look: its Song font at 12 pixels, bold captions, hot texts in navy.
    const platform::Font song(QStringLiteral("新宋体"), 9); // 12 pixels
    const platform::Font bold(song.name(), 9, platform::clWindowText, platform::Font::Bold);
    EXPECT_EQ(bar->Settings()->Font(), bold);
    EXPECT_EQ(bar->Settings()->HighlightFont(),
              platform::Font(song.name(), 9, platform::clNavy, bold.style()));
    EXPECT_EQ(bar->Settings()->ButtonFont(), song);
    EXPECT_EQ(bar->Settings()->ButtonHighlightFont(), platform::Font(song.name(), 9, platform::clNavy));
    EXPECT_EQ(bar->Settings()->GlyphTop(), 4);
    EXPECT_EQ(bar->Settings()->PicLabDistance(), 2);
    EXPECT_EQ(bar->Align(), platform::alLeft);
    EXPECT_EQ(bar->BevelOuter(), platform::bvLowered);
    EXPECT_EQ(bar->BorderStyle(), platform::bsNone);
    for (int side = 1; side <= 4; ++side)
        EXPECT_EQ(bar->Border()->Value(side), 5);
    EXPECT_EQ(bar->Options(), (TnbBarOptions{boAcceptOLEDrop, boAutoScroll, boAutoChangeHeader,
                                             boFocusOnMouseEnter, boHeaderFrame, boInternalDrop}));
    EXPECT_EQ(header->Images()->NormalList(), form->Img32);
    EXPECT_EQ(form->Img32->Width(), 32);
    EXPECT_EQ(form->Img32->Count(), 7);

    const QStringList captions = {"Velmora",  "免费加入", "诚招代理", "广告征订",
                                  "商务助手", "手机查询", "地区查询"};
    ASSERT_EQ(header->ButtonCount(), 7);
    for (int i = 0; i < 7; ++i) {
        const TnbButton *b = header->Button(i);
        EXPECT_EQ(b->Caption(), captions[i]);
        EXPECT_EQ(b->ImageIndex(), i);
        EXPECT_EQ(b->EffectiveStyle(), bsLarge);
        EXPECT_EQ(b->Width(), 100);
        EXPECT_EQ(b->Height(), 60);
        EXPECT_EQ(b->Cursor(), platform::crHandPoint);
        EXPECT_EQ(b->Options(), (TnbButtonOptions{boAutoWidthLabel, boUnderlineFont}));

        // The label is drawn whole below the icon and inside the button.
        const Rect text(b->LabelRect.Left, b->LabelRect.Top + 4, b->LabelRect.Right, b->LabelRect.Bottom - 4);
        const QFontMetrics metrics(b->LabelFont(false).toQFont());
        EXPECT_GE(text.Height(), metrics.height()) << captions[i].toStdString();
        EXPECT_GE(text.Top, b->ImageRect.Bottom) << captions[i].toStdString();
        EXPECT_LE(text.Bottom, b->ButtonRect.Bottom) << captions[i].toStdString();
        EXPECT_LE(metrics.horizontalAdvance(captions[i]), text.Width()) << captions[i].toStdString();

        // The hand shows over the button.
        QTest::mouseMove(bar, centre(b->ButtonRect));
        EXPECT_EQ(bar->cursor().shape(), Qt::PointingHandCursor) << captions[i].toStdString();
    }
}

TEST_F(MainFormTest, EachBarButtonShowsItsPanelAndTheHeaderTheAboutPage)
{
    const QStringList expected = {"Pal_1", "Pal_2_1", "Pal_2_2", "Pal_2_3", "Pal_2_4", "Pal_2_5", "Pal_2_6"};
    for (int i = 0; i < 7; ++i) {
        clickBarButton(i);
        EXPECT_EQ(visiblePanels(), QStringList{expected[i]}) << "button " << i;
    }
    // The buttons never bring the about page back; a click on the header does.
    clickBar(centre(bar->Header(0)->CaptionRect));
    EXPECT_EQ(visiblePanels(), QStringList{QStringLiteral("Pal_2_0")});
    clickBarButton(3);
    clickBarButton(3);
    EXPECT_EQ(visiblePanels(), QStringList{QStringLiteral("Pal_2_3")});
}

// "全屏" gives the list the bar's width and the whole screen; "返回" brings
// the bar and the window the user had back.
TEST_F(MainFormTest, FullScreenToggleHidesTheBarAndFillsTheScreen)
{
    clickBarButton(0);
    QToolButton *toggle = form->Pal_1->SpeedButton4;
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(toggle->text(), QStringLiteral("返回"));
    EXPECT_TRUE(form->isFullScreen());
    const QRect screen = form->screen()->geometry();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->geometry() == screen; }));
    EXPECT_EQ(form->Pal_1->geometry(), QRect(0, 0, screen.width() - 19, screen.height() - 21 - 89));
    EXPECT_EQ(visiblePanels(), QStringList{QStringLiteral("Pal_1")});

    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_FALSE(form->isFullScreen());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->size() == QSize(800, 600); }));
    EXPECT_EQ(form->Pal_1->geometry(), QRect(120, 0, 661, 490));
    EXPECT_EQ(toggle->text(), QStringLiteral("全屏"));
}

// A larger window gives the grid, the tree's column and the detail strip's
// boxes the room; the pictures keep their places and sizes, "退 出" and "×"
// keep their distance from the right edge, and the window never gets smaller
// than designed.
TEST_F(MainFormTest, ALargerWindowGrowsTheListWhileThePicturesStay)
{
    clickBarButton(0);
    form->Pal_1->SpeedButton8->click(); // the detail strip
    const int gridWidth = form->Pal_1->DBGrid1->width();
    const int gridHeight = form->Pal_1->DBGrid1->height();
    const int addressWidth = form->Pal_1->DetailEdit(QStringLiteral("cHttp"))->width();
    form->resize(1280, 800);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->size() == QSize(1280, 800); }));
    EXPECT_EQ(form->Image2->geometry(), QRect(0, 0, 1280, 21));
    EXPECT_EQ(form->SpeedButton7->geometry(), QRect(1261, 3, 15, 15));
    EXPECT_EQ(form->Image4->geometry(), QRect(8, 1, 180, 65));
    EXPECT_EQ(form->Image3->geometry(), QRect(216, 4, 439, 60));
    EXPECT_EQ(form->Image1->geometry(), QRect(0, 0, 1280, form->Image1->picture().height()));
    EXPECT_EQ(form->SpBtn_Exit->geometry(), QRect(1200, 13, 65, 49));
    EXPECT_EQ(form->Pal_2->geometry(), QRect(8, 72, 1261, 690));
    EXPECT_EQ(form->PanelA->geometry(), QRect(0, 761, 1280, 18));
    EXPECT_EQ(form->LabelB->geometry().right(), 1278);
    EXPECT_EQ(bar->geometry(), QRect(0, 0, 120, 690));
    QApplication::processEvents();
    EXPECT_EQ(form->Pal_1->DBGrid1->width(), gridWidth + 480);
    EXPECT_EQ(form->Pal_1->DBGrid1->height(), gridHeight + 200);
    EXPECT_GT(form->Pal_1->DetailEdit(QStringLiteral("cHttp"))->width(), addressWidth + 100);

    form->resize(600, 400);
    EXPECT_EQ(form->size(), QSize(800, 600)) << "never below the designed size";
}

// A double click on the title strip maximises the window and a second one
// restores it; a drag does nothing while it is maximised.
TEST_F(MainFormTest, DoubleClickOnTheTitleStripMaximisesAndRestores)
{
    const QRect normal = form->geometry();
    QTest::mouseDClick(form->Image2, Qt::LeftButton, {}, QPoint(300, 10));
    EXPECT_TRUE(form->isMaximized());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->geometry() == form->screen()->availableGeometry(); }));
    EXPECT_FALSE(platform::windowDragRunning()) << "no drag of a maximised window";
    QTest::mouseDClick(form->Image2, Qt::LeftButton, {}, QPoint(300, 10));
    EXPECT_FALSE(form->isMaximized());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->geometry() == normal; }));
}

// The size and state the window had when it closed come back at the next
// start; the first start is 800 × 600.
TEST_F(MainFormTest, SizeAndStateAreKeptForTheNextStart)
{
    form->resize(1100, 700);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->size() == QSize(1100, 700); }));
    // Kept as it changes, for a session that ends without closing the window.
    EXPECT_TRUE(QTest::qWaitFor([] {
        return QSettings(platform::WindowState::fileName(), QSettings::IniFormat)
                   .value(QStringLiteral("MainWindow/size")) == QSize(1100, 700);
    }));
    form->close();
    form = createMainForm();
    EXPECT_EQ(form->size(), QSize(1100, 700));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->isMaximized(); }));
    form->close();
    form = createMainForm();
    form->show();
    EXPECT_TRUE(form->isMaximized());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->geometry() == form->screen()->availableGeometry(); }));
}

// The window's edges take a resize; where the platform does not resize it
// (as here), the window follows the pointer itself.
TEST_F(MainFormTest, EdgesResizeTheWindow)
{
    QList<QWidget *> grips;
    for (QWidget *w : form->findChildren<QWidget *>(QStringLiteral("EdgeGrip")))
        if (w->parentWidget() == form.get())
            grips << w;
    ASSERT_EQ(grips.size(), 8);
    QWidget *corner = nullptr;
    for (QWidget *grip : grips)
        if (grip->geometry().bottomRight() == form->rect().bottomRight() && grip->width() == 4 &&
            grip->height() == 4)
            corner = grip;
    ASSERT_TRUE(corner);
    EXPECT_EQ(corner->cursor().shape(), Qt::SizeFDiagCursor);
    const QPointF at = corner->mapToGlobal(QPointF(2, 2));
    auto send = [&](QEvent::Type type, Qt::MouseButton which, Qt::MouseButtons held, QPointF p) {
        QMouseEvent event(type, corner->mapFromGlobal(p), p, which, held, Qt::NoModifier);
        QApplication::sendEvent(corner, &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, at);
    send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, at + QPointF(150, 90));
    send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, at + QPointF(150, 90));
    EXPECT_EQ(form->size(), QSize(950, 690));
    form->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->isMaximized(); }));
    EXPECT_FALSE(corner->isVisible()) << "no grips on a maximised window";
}

TEST_F(MainFormTest, ClockTicksWithTheLongTimeWithoutTimeZone)
{
    EXPECT_EQ(form->Timer1->interval(), 1000);
    EXPECT_TRUE(form->Timer1->isActive());
    const QString before = form->PanelB->text();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->PanelB->text() != before; }, 3000));
    EXPECT_TRUE(form->PanelB->text().startsWith(QStringLiteral("| 现在时间：")));

    const QTime time(22, 5, 7);
    EXPECT_EQ(TFmMainForm::ClockCaption(time, QLocale::c()), QStringLiteral("| 现在时间：22:05:07"));
    const QFontMetrics metrics(form->PanelB->font());
    for (const QLocale &locale : {QLocale::c(), QLocale(QLocale::Chinese, QLocale::China)}) {
        const QString caption = TFmMainForm::ClockCaption(time, locale);
        EXPECT_TRUE(caption.contains(QStringLiteral("05:07"))) << caption.toStdString();
        EXPECT_LE(metrics.horizontalAdvance(caption), form->PanelB->width()) << caption.toStdString();
        const QString zone = locale.toString(QDateTime(QDate(2024, 1, 1), time), QStringLiteral("t"));
        EXPECT_FALSE(caption.contains(zone)) << caption.toStdString();
    }

    // A twelve-hour locale writes a longer time: the clock grows to the left
    // and pushes the count along instead of cutting the time off.
    const QRect clock = form->PanelB->geometry();
    const QString wide = TFmMainForm::ClockCaption(time, QLocale(QLocale::English, QLocale::UnitedStates));
    form->ShowClock(wide);
    EXPECT_GE(form->PanelB->width(), metrics.horizontalAdvance(wide)) << wide.toStdString();
    EXPECT_EQ(form->PanelB->geometry().right(), clock.right());
    EXPECT_EQ(form->PanelC->geometry().right() + 1, form->PanelB->x());
    form->ShowClock(TFmMainForm::ClockCaption(time, QLocale::c()));
    EXPECT_EQ(form->PanelB->geometry().right(), clock.right());
}

// Any count up to 99,999,999 shows whole: the count grows to the left, the
// credit and the clock keep their places and the caption gives up room.
TEST_F(MainFormTest, RecordCountOfEveryLengthFitsTheStatusLine)
{
    const QRect credit = form->LabelB->geometry();
    const QRect clock = form->PanelB->geometry();
    const auto *caption = form->PanelA->findChild<QLabel *>(QStringLiteral("PanelACaption"));
    for (const qint64 count : {qint64(200000), qint64(1000000), qint64(10000000), qint64(99999999)}) {
        const QString text = TFmMainForm::RecordCountCaption(count);
        form->ShowStatusText(form->PanelC, text);
        EXPECT_EQ(form->PanelC->text(), text);
        EXPECT_LE(form->PanelC->fontMetrics().horizontalAdvance(text), form->PanelC->contentsRect().width())
            << text.toStdString();
        EXPECT_EQ(form->PanelC->geometry().right() + 1, form->PanelB->x()) << text.toStdString();
        EXPECT_LE(caption->geometry().right(), form->PanelC->x()) << text.toStdString();
        EXPECT_GE(caption->width(), caption->fontMetrics().horizontalAdvance(caption->text()));
    }
    EXPECT_EQ(form->LabelB->geometry(), credit);
    EXPECT_EQ(form->PanelB->geometry(), clock);
}

TEST_F(MainFormTest, CloseButtonAndExitDisconnectWithoutAMessageAndPostTheProfile)
{
    clickBarButton(0);
    form->Pal_1->SpeedButton8Click();
    form->Pal_1->DBMemo_cCorpMemo->setFocus();
    typeText(form->Pal_1->DBMemo_cCorpMemo, QStringLiteral("退出前"));
    QTest::mouseClick(form->SpBtn_Exit, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(dm->ADOContAccess->connected());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(testdb::scalar(
                  dir.file(QStringLiteral("dorvak.dat")), testdb::kPassword, 4096,
                  QStringLiteral("select cCorpMemo from Dorvak where cCorpCName='北京光明软件实业有限公司'")),
              QStringLiteral("退出前"));

    // "×" on a window shown again: the database is already closed, and closing stays silent.
    form->show();
    QTest::mouseClick(form->SpeedButton7, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(dm->ADOContAccess->connected());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainFormTest, TitleStripDragsTheWindowWithAnyButton)
{
    for (const Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton}) {
        const QPoint start = form->pos();
        const QPointF grip = form->Image2->mapToGlobal(QPointF(300, 10));
        auto send = [&](QEvent::Type type, Qt::MouseButton which, Qt::MouseButtons held, QPointF at) {
            QMouseEvent event(type, form->Image2->mapFromGlobal(at), at, which, held, Qt::NoModifier);
            QApplication::sendEvent(form->Image2, &event);
        };
        send(QEvent::MouseButtonPress, button, button, grip);
        send(QEvent::MouseMove, Qt::NoButton, button, grip + QPointF(-30, 20));
        send(QEvent::MouseButtonRelease, button, Qt::NoButton, grip + QPointF(-30, 20));
        EXPECT_EQ(form->pos(), start + QPoint(-30, 20)) << button;
        EXPECT_FALSE(platform::windowDragRunning());
    }
    // A press on the title text drags too.
    EXPECT_TRUE(form->Label4->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(MainFormTest, ToolWindowsOpenCentredOnTheMainWindowAndOnScreen)
{
    clickBarButton(0);
    form->move(40, 30);
    QTest::mouseClick(form->Pal_1->SpeedButton1, Qt::LeftButton);
    ASSERT_NE(FmSearchs, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FmSearchs));
    EXPECT_EQ(FmSearchs->frameGeometry().center(), form->frameGeometry().center());

    // The main window dragged to the screen's corner: the card still opens wholly on screen.
    const QRect screen = form->screen()->availableGeometry();
    form->move(screen.right() - 200, screen.bottom() - 100);
    form->Pal_1->DBGrid1DblClick();
    ASSERT_NE(FmPackContent, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FmPackContent));
    EXPECT_TRUE(screen.contains(FmPackContent->frameGeometry()));
}

TEST_F(MainFormTest, ContentPanelTextsAreWholeAndInsideTheirPanels)
{
    for (QWidget *panel : {static_cast<QWidget *>(form->Pal_2_0), static_cast<QWidget *>(form->Pal_2_1),
                           static_cast<QWidget *>(form->Pal_2_2), static_cast<QWidget *>(form->Pal_2_3),
                           static_cast<QWidget *>(form->Pal_2_4)}) {
        for (QWidget *child : panel->findChildren<QWidget *>()) {
            const std::string name =
                (panel->objectName() + QLatin1Char('.') + child->objectName()).toStdString();
            EXPECT_TRUE(panel->rect().contains(child->geometry())) << name;
            if (auto *label = qobject_cast<QLabel *>(child)) {
                if (label->wordWrap())
                    EXPECT_LE(label->heightForWidth(label->width()), label->height()) << name;
                else
                    EXPECT_LE(label->sizeHint().width(), label->width()) << name;
            }
            if (auto *button = qobject_cast<QToolButton *>(child)) {
                EXPECT_LE(button->sizeHint().width(), button->width()) << name;
                EXPECT_LE(button->sizeHint().height(), button->height()) << name;
            }
        }
    }
}
