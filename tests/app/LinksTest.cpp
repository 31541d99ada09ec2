#include "MainFormFixture.h"

#include "app/LinkLabel.h"
#include "app/PictureBox.h"
#include "app/VendorLinks.h"
#include "app/uBrowsePanel.h"
#include "app/uContentPanels.h"
#include "app/uDMForm.h"
#include "platform/os/Shell.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QToolButton>

// Every link of the main window, with the desktop's opener replaced by a recorder.
class LinksTest : public MainFormFixture
{
protected:
    void SetUp() override
    {
        // A vendor address of the test's own, given the way a tester points the program at a local server.
        qputenv("VELMORA_VENDOR_URL", "http://127.0.0.1:8089/");
        platform::setShellOpenHandler([this](const QString &target) {
            opened << target;
            return true;
        });
        MainFormFixture::SetUp();
    }
    void TearDown() override
    {
        MainFormFixture::TearDown();
        platform::setShellOpenHandler({});
        qunsetenv("VELMORA_VENDOR_URL");
    }

    QString lastOpened() { return opened.isEmpty() ? QString() : opened.takeLast(); }

    QStringList opened;
};

TEST_F(LinksTest, EveryLinkOpensItsPageOnTheVendorSite)
{
    const QString base = QStringLiteral("http://127.0.0.1:8089");
    EXPECT_EQ(links::VendorBaseAddress(), base) << "the trailing slash is dropped";

    QTest::mouseClick(form->Image4, Qt::LeftButton);
    EXPECT_EQ(lastOpened(), base);
    QTest::mouseClick(form->Image3, Qt::LeftButton);
    EXPECT_EQ(lastOpened(), base);
    QTest::mousePress(form->LabelB, Qt::RightButton, {}, QPoint(60, 8));
    EXPECT_EQ(lastOpened(), base) << "any button on the credit";
    QTest::mouseRelease(form->LabelB, Qt::RightButton, {}, QPoint(60, 8));

    clickBarButton(1);
    QTest::mouseClick(form->Pal_2_1->SpBtn_IN, Qt::LeftButton);
    EXPECT_EQ(lastOpened(), base + QStringLiteral("/usemange/usemange/memberreg.asp"));

    clickBarButton(2);
    QTest::mouseClick(form->Pal_2_2->lbl_dlxx, Qt::LeftButton);
    EXPECT_EQ(lastOpened(), base + QStringLiteral("/aboutme/jmms.asp"));
    QTest::mouseClick(form->Pal_2_2->lbl_jmdl, Qt::LeftButton);
    EXPECT_EQ(lastOpened(), base + QStringLiteral("/aboutme/leagueinfo.asp"));

    clickBarButton(3);
    QTest::mouseClick(form->Pal_2_3->lbl_zxck, Qt::LeftButton);
    EXPECT_EQ(lastOpened(), base + QStringLiteral("/cpservice/wzgg.asp"));
    EXPECT_EQ(form->Pal_2_3->lbl_Email->text(), QStringLiteral("EMAIL：") + links::VendorEmail());
    QTest::mouseClick(form->Pal_2_3->lbl_Email, Qt::LeftButton);
    EXPECT_EQ(lastOpened(), QStringLiteral("mailto:") + links::VendorEmail());

    clickBarButton(4);
    const QStringList pages = {"/assistant/hotel.asp",       "/assistant/trans.asp",
                               "/assistant/office.asp",      "/modeling/index.asp",
                               "/cpservice/multi_about.asp", "/assistant/elcsample.asp",
                               "/cpservice/wzzz.asp"};
    const QStringList captions = {"酒店预订",   "商务翻译", "在线采购", "产品建模",
                                  "企业多媒体", "电子样本", "网站建设", "网站推广"};
    for (int i = 0; i < 8; ++i) {
        QToolButton *button = form->Pal_2_4->SpdBtn[i];
        EXPECT_EQ(button->objectName(), QStringLiteral("SpdBtn_%1").arg(i + 1));
        EXPECT_EQ(button->text(), captions[i]);
        EXPECT_EQ(button->size(), QSize(121, 97));
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(lastOpened(), i < 7 ? base + pages[i] : links::SecondSiteAddress()) << i;
    }
    EXPECT_NE(links::SecondSiteAddress(), base) << "the promotion button leaves the vendor's site";
    EXPECT_TRUE(opened.isEmpty()) << "one opening per click";
}

TEST_F(LinksTest, LinksAnswerTheMouse)
{
    clickBarButton(2);
    LinkLabel *link = form->Pal_2_2->lbl_dlxx;
    const QColor red = link->color();
    QTest::mouseMove(link, link->rect().center());
    EXPECT_TRUE(link->underlined());
    QTest::mouseMove(form->Pal_2_2, QPoint(10, 470));
    EXPECT_FALSE(link->underlined());
    EXPECT_EQ(link->color(), red) << "the colour stays";
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);

    LinkLabel *credit = form->LabelB;
    const QColor text = credit->color();
    QTest::mouseMove(credit, QPoint(60, 8));
    EXPECT_EQ(credit->color(), QColor(Qt::blue));
    EXPECT_EQ(credit->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(form->PanelA, QPoint(10, 8));
    EXPECT_EQ(credit->color(), text);
    EXPECT_FALSE(credit->testAttribute(Qt::WA_SetCursor)) << "the default cursor again";
}

// Where the desktop cannot open a link (no browser or mail program set up)
// the user hears so and finds the address on the clipboard to paste.
TEST_F(LinksTest, ALinkTheDesktopCannotOpenGivesTheAddressToCopy)
{
    platform::setShellOpenHandler([this](const QString &target) {
        opened << target;
        return false;
    });
    const QString base = QStringLiteral("http://127.0.0.1:8089");
    const auto expectTold = [&](const QString &opened, const QString &copied, const char *what) {
        EXPECT_EQ(lastOpened(), opened) << what;
        ASSERT_EQ(messages.size(), 1) << what;
        const QString message = messages.takeFirst();
        EXPECT_TRUE(message.startsWith(QStringLiteral("Velmora|无法打开"))) << what;
        EXPECT_TRUE(message.contains(QStringLiteral("已复制到剪贴板"))) << what;
        EXPECT_TRUE(message.endsWith(QStringLiteral("\r\n") + copied)) << what;
        EXPECT_EQ(QGuiApplication::clipboard()->text(), copied) << what;
    };

    QTest::mouseClick(form->Image3, Qt::LeftButton);
    expectTold(base, base, "the banner");
    clickBarButton(1);
    QTest::mouseClick(form->Pal_2_1->SpBtn_IN, Qt::LeftButton);
    expectTold(base + QStringLiteral("/usemange/usemange/memberreg.asp"),
               base + QStringLiteral("/usemange/usemange/memberreg.asp"), "在线注册");
    clickBarButton(3);
    QTest::mouseClick(form->Pal_2_3->lbl_Email, Qt::LeftButton);
    expectTold(QStringLiteral("mailto:") + links::VendorEmail(), links::VendorEmail(), "the mail address");
    clickBarButton(4);
    QTest::mouseClick(form->Pal_2_4->SpdBtn[0], Qt::LeftButton);
    expectTold(base + QStringLiteral("/assistant/hotel.asp"), base + QStringLiteral("/assistant/hotel.asp"),
               "商务助手");

    // The company's own web site, from the browsing panel's toolbar.
    testdb::run(dir.file(QStringLiteral("dorvak.dat")), testdb::kPassword, 4096,
                {QStringLiteral("UPDATE Dorvak SET cHttp = 'www.guangming.example' WHERE rowid = 1")});
    clickBarButton(0);
    form->Pal_1->LoadCompanyList();
    DMForm->ADOQryDVPack->setCurrentRow(0);
    QTest::mouseClick(form->Pal_1->SpeedButton5, Qt::LeftButton);
    expectTold(QStringLiteral("http://www.guangming.example"), QStringLiteral("http://www.guangming.example"),
               "进入企业网站");
}
