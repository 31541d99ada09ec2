#include "UpgradeWindowsFixture.h"

#include "upgrade/suSelfUpdaterWindows.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class SelfUpdaterWindowsTest : public UpgradeWindowsFixture
{
protected:
    // Runs `action` once the modal loop that the next call starts is running.
    static void whenShown(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }

    TsuSelfUpdaterWindows windows;
    TsuSelfUpdaterWizard options;
    int aborts = 0;
};

} // namespace

TEST_F(SelfUpdaterWindowsTest, ErrorAndLostFileBoxes)
{
    suSetLanguage(wlChineseSimplified);
    windows.ShowError(QStringLiteral("在服务器中无法找到升级的相关信息。"));
    answers << platform::mrNo << platform::mrYes;
    EXPECT_FALSE(windows.AskLostFile(QStringLiteral("lost"), QStringLiteral("错误 #404")));
    EXPECT_TRUE(windows.AskLostFile(QStringLiteral("lost"), QStringLiteral("错误 #404")));
    ASSERT_EQ(boxes.size(), 3);
    EXPECT_EQ(boxes[0].caption, QStringLiteral("软件升级精灵"));
    EXPECT_EQ(boxes[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(boxes[0].buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(boxes[1].caption, QStringLiteral("错误 #404"));
    EXPECT_EQ(boxes[1].icon, platform::MessageIcon::Warning);
    EXPECT_EQ(boxes[1].buttons, platform::MessageButtons::YesNo);
}

TEST_F(SelfUpdaterWindowsTest, AskUpgradeAnswersAndFreesTheWindow)
{
    QPointer<TsuSelfUpdaterUpgradeMessageForm> shown;
    whenShown([&shown] {
        shown = suSelfUpdaterUpgradeMessageForm;
        shown->YesBtn->click();
    });
    EXPECT_TRUE(windows.AskUpgrade(QStringLiteral("news")));
    EXPECT_TRUE(shown.isNull());
    EXPECT_EQ(suSelfUpdaterUpgradeMessageForm, nullptr);

    whenShown([] {
        EXPECT_TRUE(suSelfUpdaterUpgradeMessageForm->isModal());
        QTest::mouseClick(suSelfUpdaterUpgradeMessageForm->LaterBtn, Qt::LeftButton);
    });
    EXPECT_FALSE(windows.AskUpgrade(QStringLiteral("news")));
    EXPECT_EQ(suSelfUpdaterUpgradeMessageForm, nullptr);
}

TEST_F(SelfUpdaterWindowsTest, AskPasswordPrefillsTheUserAndStoresOnOk)
{
    QString user = QStringLiteral("zhang");
    QString password = QStringLiteral("kept");
    whenShown([] {
        TsuSelfUpdaterPasswordForm *f = suSelfUpdaterPasswordForm;
        EXPECT_EQ(f->UsernameEdit->text(), QStringLiteral("zhang"));
        EXPECT_TRUE(f->PasswordEdit->text().isEmpty());
        QTest::keyClicks(f->PasswordEdit, QStringLiteral("pw"));
        f->CancelBtn->click();
    });
    EXPECT_FALSE(windows.AskPassword(QStringLiteral("a.dat"), user, password));
    EXPECT_EQ(password, QStringLiteral("kept"));
    EXPECT_EQ(suSelfUpdaterPasswordForm, nullptr);

    whenShown([] {
        TsuSelfUpdaterPasswordForm *f = suSelfUpdaterPasswordForm;
        f->UsernameEdit->setText(QStringLiteral("li"));
        QTest::keyClicks(f->PasswordEdit, QStringLiteral("pw"));
        QTest::keyClick(f->PasswordEdit, Qt::Key_Return);
    });
    EXPECT_TRUE(windows.AskPassword(QStringLiteral("a.dat"), user, password));
    EXPECT_EQ(user, QStringLiteral("li"));
    EXPECT_EQ(password, QStringLiteral("pw"));
}

TEST_F(SelfUpdaterWindowsTest, OneWizardFollowingItsOptions)
{
    EXPECT_FALSE(windows.WizardOpen());
    windows.OpenWizard(options, [this] { ++aborts; });
    TsuSelfUpdaterWizardForm *first = suSelfUpdaterWizardForm;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(windows.WizardOpen());
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(first->windowFlags() & Qt::WindowStaysOnTopHint);

    options.SetStayOnTop(false);
    windows.OpenWizard(options, [this] { ++aborts; });
    EXPECT_EQ(suSelfUpdaterWizardForm, first);
    EXPECT_FALSE(first->windowFlags() & Qt::WindowStaysOnTopHint);

    windows.WizardShowFile(QStringLiteral("http://h/b.exe"), 1, 2);
    EXPECT_EQ(first->AllDownloading->text(), QStringLiteral("Downloading 1 of 2"));

    // Cancelling the upgrade frees the wizard without asking.
    QPointer<TsuSelfUpdaterWizardForm> guard = first;
    windows.CloseWindows();
    EXPECT_FALSE(windows.WizardOpen());
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(aborts, 0);
    QTRY_VERIFY(guard.isNull());
    // Without a wizard the calls do nothing.
    windows.WizardShowProgress(10, 5, 1.5, 61);
    windows.WizardFinish();
}

TEST_F(SelfUpdaterWindowsTest, FinishWaitsForTheFinishButton)
{
    windows.OpenWizard(options, [this] { ++aborts; });
    whenShown([] {
        ASSERT_TRUE(suSelfUpdaterWizardForm->FinalPage());
        EXPECT_TRUE(suSelfUpdaterWizardForm->FinishBtn->hasFocus() ||
                    !suSelfUpdaterWizardForm->isActiveWindow());
        suSelfUpdaterWizardForm->FinishBtn->click();
    });
    windows.WizardFinish();
    EXPECT_FALSE(windows.WizardOpen());
    EXPECT_EQ(aborts, 0);
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(SelfUpdaterWindowsTest, FinishEndsWhenTheUserGivesUp)
{
    windows.OpenWizard(options, [this] {
        ++aborts;
        // The updater cancels everything in answer.
        windows.CloseWindows();
    });
    answers << platform::mrNo << platform::mrYes;
    whenShown([] { suSelfUpdaterWizardForm->close(); });
    QTimer::singleShot(10, [] { suSelfUpdaterWizardForm->close(); });
    windows.WizardFinish();
    EXPECT_EQ(boxes.size(), 2);
    EXPECT_EQ(aborts, 1);
    EXPECT_FALSE(windows.WizardOpen());
}
