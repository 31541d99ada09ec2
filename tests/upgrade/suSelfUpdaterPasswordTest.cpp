#include "UpgradeWindowsFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class SelfUpdaterPasswordTest : public UpgradeWindowsFixture
{
protected:
    TsuSelfUpdaterPasswordForm *open(const QString &user)
    {
        suSelfUpdaterPasswordForm = new TsuSelfUpdaterPasswordForm;
        suSelfUpdaterPasswordForm->OnStore = [this](const QString &u, const QString &p) { stored << u << p; };
        suSelfUpdaterPasswordForm->FormOpen(QStringLiteral("dorvak.dat"), user);
        return suSelfUpdaterPasswordForm;
    }
    QStringList stored;
};

} // namespace

TEST_F(SelfUpdaterPasswordTest, LayoutAndTexts)
{
    suSetLanguage(wlChineseSimplified);
    TsuSelfUpdaterPasswordForm *f = open(QStringLiteral("zhang"));
    EXPECT_EQ(
        f->Label1->text(),
        QStringLiteral(
            "远端的文档\"dorvak.dat\"被密码保护，\n\n请输入您的帐号及密码[注册用户]来继续进行升级操作。"));
    EXPECT_EQ(f->windowTitle(), QStringLiteral("请输入密码"));
    EXPECT_EQ(f->UsernameLab->text(), QStringLiteral("帐号"));
    EXPECT_EQ(f->PasswordLab->text(), QStringLiteral("密码"));
    EXPECT_EQ(f->OKBtn->text(), QStringLiteral("[&O]确定"));
    EXPECT_EQ(f->CancelBtn->text(), QStringLiteral("[&C]取消"));
    EXPECT_EQ(f->UsernameEdit->text(), QStringLiteral("zhang"));
    EXPECT_TRUE(f->PasswordEdit->text().isEmpty());
    EXPECT_EQ(f->PasswordEdit->echoMode(), QLineEdit::Password);

    EXPECT_EQ(f->width(), 297);
    EXPECT_EQ(f->height(), 5 + f->Label1->height() + 98);
    EXPECT_EQ(f->Image1->geometry(), QRect(7, 5, 32, 32));
    EXPECT_EQ(f->Label1->pos(), QPoint(45, 5));
    EXPECT_EQ(f->Panel1->geometry(), QRect(0, f->height() - 98, 297, 98));
    EXPECT_EQ(f->UsernameLab->pos(), QPoint(45, 14));
    EXPECT_EQ(f->PasswordLab->pos(), QPoint(45, 38));
    EXPECT_EQ(f->UsernameEdit->geometry(), QRect(122, 10, 157, 21));
    EXPECT_EQ(f->PasswordEdit->geometry(), QRect(122, 34, 157, 21));
    EXPECT_EQ(f->OKBtn->geometry(), QRect(114, 68, 75, 23));
    EXPECT_EQ(f->CancelBtn->geometry(), QRect(204, 68, 75, 23));
    EXPECT_TRUE(f->OKBtn->isDefault());
}

TEST_F(SelfUpdaterPasswordTest, OkStoresWhatWasTyped)
{
    TsuSelfUpdaterPasswordForm *f = open(QStringLiteral("old"));
    f->UsernameEdit->setText(QStringLiteral("li"));
    QTest::keyClicks(f->PasswordEdit, QStringLiteral("s3cret"));
    f->OKBtn->click();
    EXPECT_EQ(stored, (QStringList{QStringLiteral("li"), QStringLiteral("s3cret")}));
    EXPECT_EQ(f->result(), QDialog::Accepted);
}

TEST_F(SelfUpdaterPasswordTest, CancelStoresNothing)
{
    TsuSelfUpdaterPasswordForm *f = open(QStringLiteral("old"));
    QTest::keyClicks(f->PasswordEdit, QStringLiteral("s3cret"));
    f->CancelBtn->click();
    EXPECT_TRUE(stored.isEmpty());
    EXPECT_EQ(f->result(), QDialog::Rejected);
}

// Every language's labels end before the edits, and the buttons hold their
// captions.
TEST_F(SelfUpdaterPasswordTest, TextsFitInEveryLanguage)
{
    TsuSelfUpdaterPasswordForm *f = open({});
    const QFontMetrics text(f->font());
    for (int language = wlEnglish; language <= wlIcelandic; ++language) {
        suSetLanguage(TsuSelfUpdaterLanguage(language));
        f->FormOpen(QStringLiteral("dorvak.dat"), {});
        SCOPED_TRACE("language " + std::to_string(language));
        for (QLabel *label : {f->UsernameLab, f->PasswordLab})
            EXPECT_LE(label->x() + text.horizontalAdvance(label->text()), f->UsernameEdit->x() - 4)
                << label->text().toStdString();
        for (int i : {14, 16, 17, 19}) {
            const QString caption = suMessage(i).remove(QLatin1Char('&'));
            EXPECT_LE(text.horizontalAdvance(caption), f->OKBtn->width() - 8) << caption.toStdString();
        }
    }
}
