#include "upgrade/suSelfUpdaterUpgradeMsg.h"

#include "resources/UpgradePictures.h"
#include "upgrade/suSelfUpdaterMessages.h"
#include "upgrade/suWindowSetup.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>

TsuSelfUpdaterUpgradeMessageForm *suSelfUpdaterUpgradeMessageForm = nullptr;

namespace {
constexpr int kQuestionClientWidth = 318;
constexpr int kQuestionPanelHeight = 45;
constexpr int kQuestionLabelRightMargin = 11;
} // namespace

TsuSelfUpdaterUpgradeMessageForm::TsuSelfUpdaterUpgradeMessageForm(QWidget *parent) : QDialog(parent)
{
    su::setUpDialog(this, QStringLiteral("suSelfUpdaterUpgradeMessageForm"),
                    QSize(kQuestionClientWidth, 119));
    setAttribute(Qt::WA_DeleteOnClose);
    // Above every other window, so that the question is not missed.
    setWindowFlag(Qt::WindowStaysOnTopHint);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(7, 5, 63, 58);
    Image1->setPixmap(QPixmap::fromImage(resources::upgradePicture(resources::UpgradePicture::Question)));

    Label1 = su::makeLabel(this, QStringLiteral("Label1"), 77, 5);
    Label1->setWordWrap(true);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, height() - kQuestionPanelHeight, kQuestionClientWidth, kQuestionPanelHeight);
    YesBtn = new QPushButton(Panel1);
    YesBtn->setObjectName(QStringLiteral("YesBtn"));
    YesBtn->setGeometry(78, 13, 75, 23);
    YesBtn->setDefault(true);
    LaterBtn = new QPushButton(Panel1);
    LaterBtn->setObjectName(QStringLiteral("LaterBtn"));
    LaterBtn->setGeometry(167, 13, 75, 23);
    connect(YesBtn, &QPushButton::clicked, this, &TsuSelfUpdaterUpgradeMessageForm::YesBtnClick);
    connect(LaterBtn, &QPushButton::clicked, this, &TsuSelfUpdaterUpgradeMessageForm::LaterBtnClick);
}

TsuSelfUpdaterUpgradeMessageForm::~TsuSelfUpdaterUpgradeMessageForm()
{
    if (suSelfUpdaterUpgradeMessageForm == this)
        suSelfUpdaterUpgradeMessageForm = nullptr;
}

void TsuSelfUpdaterUpgradeMessageForm::FormOpen(const QString &message)
{
    const QString wrapped = message.isEmpty() ? message : QLatin1Char('\n') + message + QLatin1Char('\n');
    Label1->resize(kQuestionClientWidth - Label1->x() - kQuestionLabelRightMargin, Label1->height());
    const QString text =
        QString::asprintf(suMessage(23).toUtf8().constData(), suApplicationTitle().toUtf8().constData(),
                          wrapped.toUtf8().constData());
    su::setLabelText(Label1, text);
    setWindowTitle(suMessage(0));
    YesBtn->setText(suMessage(14));
    LaterBtn->setText(suMessage(19));

    // The icon stays whole even beside a short text.
    const int textBottom = std::max(Label1->y() + Label1->height(), Image1->y() + Image1->height());
    setFixedSize(kQuestionClientWidth, textBottom + kQuestionPanelHeight);
    Panel1->move(0, height() - kQuestionPanelHeight);
}

void TsuSelfUpdaterUpgradeMessageForm::YesBtnClick()
{
    accept();
}

void TsuSelfUpdaterUpgradeMessageForm::LaterBtnClick()
{
    reject();
}

void TsuSelfUpdaterUpgradeMessageForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    raise();
}
