#include "UpgradeWindowsFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

class SelfUpdaterPasswordTest : public UpgradeWindowsFixture
{
protected:
    TsuSelfUpdaterPasswordForm *open(const QString &user)
    {
        suSelfUpdaterPasswordForm = new TsuSelfUpdaterPasswordForm;
        suSelfUpdaterPasswordForm->FormOpen(QStringLiteral("dorvak.dat"), user);
        return suSelfUpdaterPasswordForm;
    }
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

    EXPECT_EQ(f->size(), QSize(297, 5 + f->Label1->height() + 98));
    const std::pair<QWidget *, QRect> places[] = {
        {f->Image1, {7, 5, 32, 32}},           {f->Panel1, {0, f->height() - 98, 297, 98}},
        {f->UsernameEdit, {122, 10, 157, 21}}, {f->PasswordEdit, {122, 34, 157, 21}},
        {f->OKBtn, {114, 68, 75, 23}},         {f->CancelBtn, {204, 68, 75, 23}}};
    for (const auto &[widget, rect] : places)
        EXPECT_EQ(widget->geometry(), rect) << widget->objectName().toStdString();
    EXPECT_EQ(f->Label1->pos(), QPoint(45, 5));
    EXPECT_EQ(f->UsernameLab->pos(), QPoint(45, 14));
    EXPECT_EQ(f->PasswordLab->pos(), QPoint(45, 38));
    EXPECT_TRUE(f->OKBtn->isDefault());
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
