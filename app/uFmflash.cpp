#include "app/uFmflash.h"

#include "app/PictureBox.h"
#include "app/VendorLinks.h"
#include "app/uContentTexts.h"
#include "resources/Pictures.h"

#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

TFmflash *Fmflash = nullptr;

TFmflash::TFmflash(QWidget *owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Fmflash"));
    setWindowTitle(QStringLiteral("Kestrune-->Velmora"));
    setFixedSize(492, 334);
    QFont song(QStringLiteral("新宋体"));
    song.setPixelSize(12);
    setFont(song);

    Image1 = new PictureBox(resources::picture(resources::Picture::Splash), this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 492, 334);

    SpdBtn_In = new QToolButton(this);
    SpdBtn_In->setObjectName(QStringLiteral("SpdBtn_In"));
    SpdBtn_In->setText(QStringLiteral("进入Velmora"));
    SpdBtn_In->setAutoRaise(true);
    SpdBtn_In->setCursor(Qt::PointingHandCursor);
    SpdBtn_In->setFocusPolicy(Qt::NoFocus);
    SpdBtn_In->setGeometry(352, 285, 97, 25);
    // Light on the picture: a pane that lets the picture show through.
    SpdBtn_In->setStyleSheet(
        QStringLiteral("QToolButton { color: #123d7a; background-color: rgba(255,255,255,190);"
                       " border: 1px solid rgba(18,61,122,120); border-radius: 3px; }"
                       "QToolButton:hover { background-color: rgba(255,255,255,235); border-color: #123d7a; }"
                       "QToolButton:pressed { background-color: rgba(200,215,240,235); }"));

    // Nothing is drawn: the picture shows what the area is.
    SpdBtn_Login = new QToolButton(this);
    SpdBtn_Login->setObjectName(QStringLiteral("SpdBtn_Login"));
    SpdBtn_Login->setCursor(Qt::PointingHandCursor);
    SpdBtn_Login->setFocusPolicy(Qt::NoFocus);
    SpdBtn_Login->setGeometry(152, 226, 169, 41);
    SpdBtn_Login->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; }"));

    // Drawn as the picture's own texts are: light blue on the sky, no background.
    LabelVersion = new QLabel(this);
    LabelVersion->setObjectName(QStringLiteral("LabelVersion"));
    LabelVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LabelVersion->setGeometry(246, 28, 220, 16);
    LabelVersion->setStyleSheet(QStringLiteral(
        "QLabel { color: #cfe2f8; background: transparent; font: 12px \"WenQuanYi Micro Hei\"; }"));
    ShowVersion(QString());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(2000);

    connect(Timer1, &QTimer::timeout, this, &TFmflash::Timer1Timer);
    connect(SpdBtn_In, &QToolButton::clicked, this, &TFmflash::SpdBtn_InClick);
    connect(SpdBtn_Login, &QToolButton::clicked, this, &TFmflash::SpdBtn_LoginClick);
    Timer1->start();
}

TFmflash::~TFmflash()
{
    if (Fmflash == this)
        Fmflash = nullptr;
}

void TFmflash::showEvent(QShowEvent *event)
{
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

void TFmflash::ShowVersion(const QString &installed)
{
    LabelVersion->setText(QStringLiteral("版本 ") + contenttext::ShownVersion(installed));
}

void TFmflash::Timer1Timer()
{
    Timer1->stop();
    close();
}

void TFmflash::SpdBtn_InClick()
{
    close();
}

void TFmflash::SpdBtn_LoginClick()
{
    links::Open(links::Link::Home, this);
}
