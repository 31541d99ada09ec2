#include "upgrade/suSelfUpdaterPassword.h"

#include "resources/UpgradePictures.h"
#include "upgrade/suSelfUpdaterMessages.h"
#include "upgrade/suWindowSetup.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TsuSelfUpdaterPasswordForm *suSelfUpdaterPasswordForm = nullptr;

namespace {
constexpr int kPasswordClientWidth = 297;
constexpr int kPasswordPanelHeight = 98;
constexpr int kPasswordLabelRightMargin = 11;
} // namespace

TsuSelfUpdaterPasswordForm::TsuSelfUpdaterPasswordForm(QWidget *parent) : QDialog(parent)
{
    su::setUpDialog(this, QStringLiteral("suSelfUpdaterPasswordForm"), QSize(kPasswordClientWidth, 141));
    setAttribute(Qt::WA_DeleteOnClose);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(7, 5, 32, 32);
    Image1->setPixmap(QPixmap::fromImage(resources::upgradePicture(resources::UpgradePicture::Key)));

    Label1 = su::makeLabel(this, QStringLiteral("Label1"), 45, 5);
    Label1->setWordWrap(true);
    Label1->resize(kPasswordClientWidth - Label1->x() - kPasswordLabelRightMargin, 13);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, height() - kPasswordPanelHeight, kPasswordClientWidth, kPasswordPanelHeight);
    UsernameLab = su::makeLabel(Panel1, QStringLiteral("UsernameLab"), 45, 14);
    PasswordLab = su::makeLabel(Panel1, QStringLiteral("PasswordLab"), 45, 38);
    UsernameEdit = new QLineEdit(Panel1);
    UsernameEdit->setObjectName(QStringLiteral("UsernameEdit"));
    UsernameEdit->setGeometry(122, 10, 157, 21);
    PasswordEdit = new QLineEdit(Panel1);
    PasswordEdit->setObjectName(QStringLiteral("PasswordEdit"));
    PasswordEdit->setGeometry(122, 34, 157, 21);
    PasswordEdit->setEchoMode(QLineEdit::Password);
    // One asterisk per character, whatever the style would choose.
    PasswordEdit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    UsernameLab->setBuddy(UsernameEdit);
    PasswordLab->setBuddy(PasswordEdit);
    OKBtn = new QPushButton(Panel1);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(114, 68, 75, 23);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(Panel1);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(204, 68, 75, 23);
    connect(OKBtn, &QPushButton::clicked, this, &TsuSelfUpdaterPasswordForm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TsuSelfUpdaterPasswordForm::CancelBtnClick);
}

TsuSelfUpdaterPasswordForm::~TsuSelfUpdaterPasswordForm()
{
    if (suSelfUpdaterPasswordForm == this)
        suSelfUpdaterPasswordForm = nullptr;
}

void TsuSelfUpdaterPasswordForm::FormOpen(const QString &fileName, const QString &userName)
{
    su::setLabelText(Label1,
                     QString::asprintf(suMessage(29).toUtf8().constData(), fileName.toUtf8().constData()));
    setWindowTitle(suMessage(11));
    su::setLabelText(UsernameLab, suMessage(12));
    UsernameEdit->setText(userName);
    su::setLabelText(PasswordLab, suMessage(13));
    PasswordEdit->clear();
    OKBtn->setText(suMessage(16));
    CancelBtn->setText(suMessage(17));

    setFixedSize(kPasswordClientWidth, Label1->y() + Label1->height() + kPasswordPanelHeight);
    Panel1->move(0, height() - kPasswordPanelHeight);
    (userName.isEmpty() ? UsernameEdit : PasswordEdit)->setFocus();
}

void TsuSelfUpdaterPasswordForm::OKBtnClick()
{
    if (OnStore)
        OnStore(UsernameEdit->text(), PasswordEdit->text());
    accept();
}

void TsuSelfUpdaterPasswordForm::CancelBtnClick()
{
    reject();
}
