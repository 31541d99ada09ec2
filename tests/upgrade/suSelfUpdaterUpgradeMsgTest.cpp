#include "UpgradeWindowsFixture.h"

#include <QLabel>
#include <QPushButton>

namespace {

class SelfUpdaterUpgradeMsgTest : public UpgradeWindowsFixture
{
protected:
    TsuSelfUpdaterUpgradeMessageForm *open(const QString &message)
    {
        suSelfUpdaterUpgradeMessageForm = new TsuSelfUpdaterUpgradeMessageForm;
        suSelfUpdaterUpgradeMessageForm->FormOpen(message);
        return suSelfUpdaterUpgradeMessageForm;
    }
};

} // namespace

TEST_F(SelfUpdaterUpgradeMsgTest, QuestionAroundTheMessage)
{
    TsuSelfUpdaterUpgradeMessageForm *f = open(QStringLiteral("Faster searches."));
    EXPECT_EQ(f->Label1->text(),
              QStringLiteral("A newer version of Velmora was released.\n\nFaster searches.\n\n"
                             "Do you want to update your version with the latest one?"));
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Application update wizard"));
    EXPECT_EQ(f->YesBtn->text(), QStringLiteral("&Yes"));
    EXPECT_EQ(f->LaterBtn->text(), QStringLiteral("&Later"));
    EXPECT_TRUE(f->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(f->YesBtn->isDefault());

    // The message is never read as markup, nor as a format.
    f->FormOpen(QStringLiteral("<b>50%</b> faster %s"));
    EXPECT_EQ(f->Label1->textFormat(), Qt::PlainText);
    EXPECT_TRUE(f->Label1->text().contains(QStringLiteral("\n<b>50%</b> faster %s\n")));
}

TEST_F(SelfUpdaterUpgradeMsgTest, HeightFollowsTheText)
{
    TsuSelfUpdaterUpgradeMessageForm *f = open(QStringLiteral("One line"));
    EXPECT_EQ(f->Image1->geometry(), QRect(7, 5, 63, 58));
    EXPECT_EQ(f->Label1->geometry().topLeft(), QPoint(77, 5));
    EXPECT_EQ(f->Label1->width(), 318 - 77 - 11);
    EXPECT_EQ(f->width(), 318);
    const int shortHeight = f->height();
    EXPECT_EQ(shortHeight, 5 + f->Label1->height() + 45);
    EXPECT_EQ(f->Panel1->geometry(), QRect(0, shortHeight - 45, 318, 45));
    EXPECT_EQ(f->YesBtn->geometry(), QRect(78, 13, 75, 23));
    EXPECT_EQ(f->LaterBtn->geometry(), QRect(167, 13, 75, 23));

    // A long message wraps and the window grows with it.
    f->FormOpen(QString(QStringLiteral("word ")).repeated(60));
    EXPECT_GT(f->height(), shortHeight + 3 * f->Label1->fontMetrics().lineSpacing());
    EXPECT_EQ(f->height(), 5 + f->Label1->height() + 45);
}

TEST_F(SelfUpdaterUpgradeMsgTest, EmptyMessageLeavesOneEmptyLine)
{
    suSetLanguage(wlChineseSimplified);
    TsuSelfUpdaterUpgradeMessageForm *f = open({});
    EXPECT_EQ(f->Label1->text(), QStringLiteral("Velmora已经有新版本推出，\n\n您要升级到新版本吗？"));
    EXPECT_EQ(f->windowTitle(), QStringLiteral("软件升级精灵"));
    EXPECT_EQ(f->YesBtn->text(), QStringLiteral("[&Y]是"));
    EXPECT_EQ(f->LaterBtn->text(), QStringLiteral("[&L]稍等一下"));
    // The picture is never cut by the button panel.
    EXPECT_GE(f->Panel1->y(), f->Image1->geometry().bottom() + 1);
}

TEST_F(SelfUpdaterUpgradeMsgTest, UntitledApplicationShowsThePlaceholderTitle)
{
    QCoreApplication::setApplicationName(suString(40998) + QStringLiteral(" app"));
    TsuSelfUpdaterUpgradeMessageForm *f = open(QStringLiteral("news"));
    EXPECT_TRUE(f->Label1->text().startsWith(QStringLiteral("A newer version of <AppTitle> was released.")));
}
