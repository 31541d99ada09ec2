#include "upgrade/suSelfUpdaterWizard.h"

#include "platform/ui/MessageBox.h"
#include "resources/UpgradePictures.h"
#include "upgrade/suGroupFrame.h"
#include "upgrade/suSelfUpdaterMessages.h"
#include "upgrade/suWindowSetup.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

TsuSelfUpdaterWizardForm *suSelfUpdaterWizardForm = nullptr;

namespace {

constexpr int kStringHiddenLabel = 40999;

QProgressBar *makeProgressBar(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setGeometry(geometry);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

QGroupBox *makeGroup(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *group = new su::GroupFrame(parent);
    group->setObjectName(name);
    group->setGeometry(geometry);
    return group;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

// A number of the tables' C formats with its arguments.
template <typename... Args> QString formatted(int message, Args... args)
{
    return QString::asprintf(suMessage(message).toUtf8().constData(), args...);
}

} // namespace

TsuSelfUpdaterWizardForm::TsuSelfUpdaterWizardForm(QWidget *parent) : QDialog(parent)
{
    su::setUpDialog(this, QStringLiteral("suSelfUpdaterWizardForm"), QSize(463, 281));
    setAttribute(Qt::WA_DeleteOnClose);

    PicturePanel = new QFrame(this);
    PicturePanel->setObjectName(QStringLiteral("PicturePanel"));
    PicturePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PicturePanel->setLineWidth(1);
    PicturePanel->setGeometry(10, 10, 120, 220);
    Image1 = new QLabel(PicturePanel);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(1, 1, 118, 218);
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap::fromImage(resources::upgradePicture(resources::UpgradePicture::Wizard)));

    WizardTitle = su::makeLabel(this, QStringLiteral("WizardTitle"), 136, 10);
    QFont titleFont;
    titleFont.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("DejaVu Serif"),
                           QStringLiteral("AR PL UMing CN")});
    titleFont.setStyleHint(QFont::Serif);
    titleFont.setPixelSize(19);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    WizardTitle->setFont(titleFont);

    AfterNote = su::makeLabel(this, QStringLiteral("AfterNote"), 136, 44);
    AfterNote->setWordWrap(true);
    AfterNote->resize(319, 13);
    AfterNote->hide();

    CurrentFileGroup = makeGroup(this, QStringLiteral("CurrentFileGroup"), QRect(136, 34, 319, 125));
    LDownloadingFileFrom = su::makeLabel(CurrentFileGroup, QStringLiteral("LDownloadingFileFrom"), 6, 14);
    URLEdit = new QLineEdit(CurrentFileGroup);
    URLEdit->setObjectName(QStringLiteral("URLEdit"));
    URLEdit->setGeometry(10, 28, 301, 13);
    URLEdit->setFrame(false);
    URLEdit->setReadOnly(true);
    URLEdit->setTextMargins(0, 0, 0, 0);
    URLEdit->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; padding: 0px; }"));
    URLEdit->installEventFilter(this);
    URLEdit->hide();
    FileSizeLab = su::makeLabel(CurrentFileGroup, QStringLiteral("FileSizeLab"), 6, 44);
    TransferRateLab = su::makeLabel(CurrentFileGroup, QStringLiteral("TransferRateLab"), 6, 60);
    EstimatedTimeLeftLab = su::makeLabel(CurrentFileGroup, QStringLiteral("EstimatedTimeLeftLab"), 6, 76);
    ProgressCurrentFile =
        makeProgressBar(CurrentFileGroup, QStringLiteral("ProgressCurrentFile"), QRect(6, 96, 307, 22));

    AllFilesGroup = makeGroup(this, QStringLiteral("AllFilesGroup"), QRect(136, 162, 319, 67));
    AllDownloading = su::makeLabel(AllFilesGroup, QStringLiteral("AllDownloading"), 6, 16);
    ProgressAllFiles =
        makeProgressBar(AllFilesGroup, QStringLiteral("ProgressAllFiles"), QRect(6, 38, 307, 22));

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setGeometry(10, 238, 447, 2);

    FinishBtn = makeButton(this, QStringLiteral("FinishBtn"), QRect(296, 248, 75, 25));
    FinishBtn->setEnabled(false);
    CancelBtn = makeButton(this, QStringLiteral("CancelBtn"), QRect(380, 248, 75, 25));
    CancelBtn->setDefault(true);
    connect(FinishBtn, &QPushButton::clicked, this, &TsuSelfUpdaterWizardForm::FinishBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TsuSelfUpdaterWizardForm::CancelBtnClick);

    Label1 = su::makeLabel(this, QStringLiteral("Label1"), 10, 262);
    Label1->hide();
    Label2 = su::makeLabel(this, QStringLiteral("Label2"), 10, 250);
    Label2->hide();
}

TsuSelfUpdaterWizardForm::~TsuSelfUpdaterWizardForm()
{
    if (suSelfUpdaterWizardForm == this)
        suSelfUpdaterWizardForm = nullptr;
}

void TsuSelfUpdaterWizardForm::FormOpen(const QImage &picture)
{
    const QString hidden = QLatin1Char(' ') + suString(kStringHiddenLabel) + QLatin1Char(' ');
    su::setLabelText(Label1, hidden);
    su::setLabelText(Label2, hidden);
    if (!picture.isNull())
        Image1->setPixmap(QPixmap::fromImage(picture));

    su::setLabelText(EstimatedTimeLeftLab, suMessage(22));
    setWindowTitle(suMessage(0));
    su::setLabelText(WizardTitle, suMessage(1));
    CurrentFileGroup->setTitle(QLatin1Char(' ') + suMessage(3) + QLatin1Char(' '));
    AllFilesGroup->setTitle(QLatin1Char(' ') + suMessage(4) + QLatin1Char(' '));
    su::setLabelText(LDownloadingFileFrom, suMessage(5));
    FinishBtn->setText(suMessage(18));
    CancelBtn->setText(suMessage(17));
}

void TsuSelfUpdaterWizardForm::ShowFile(const QString &url, int number, int count)
{
    su::setLabelText(WizardTitle, suMessage(1));
    URLEdit->setText(url);
    URLEdit->setCursorPosition(0);
    URLEdit->show();
    su::setLabelText(AllDownloading, formatted(9, number, count));
}

void TsuSelfUpdaterWizardForm::ShowFileSize(double kilobytes)
{
    su::setLabelText(FileSizeLab, formatted(6, kilobytes));
}

void TsuSelfUpdaterWizardForm::ShowResume(double kilobytesToCome)
{
    su::setLabelText(WizardTitle, suMessage(48));
    su::setLabelText(FileSizeLab, formatted(49, kilobytesToCome));
}

void TsuSelfUpdaterWizardForm::ShowProgress(int filePercent, int totalPercent, double rate, int secondsLeft)
{
    ProgressCurrentFile->setValue(std::clamp(filePercent, 0, 100));
    ProgressAllFiles->setValue(std::clamp(totalPercent, 0, 100));
    su::setLabelText(TransferRateLab, formatted(7, rate));
    su::setLabelText(EstimatedTimeLeftLab,
                     formatted(8, secondsLeft / 3600, (secondsLeft / 60) % 60, secondsLeft % 60));
}

void TsuSelfUpdaterWizardForm::ShowFinalPage()
{
    m_finalPage = true;
    su::setLabelText(WizardTitle, suMessage(2));
    su::setLabelText(AfterNote, formatted(10, suApplicationTitle().toUtf8().constData()));
    AfterNote->show();
    CurrentFileGroup->hide();
    AllFilesGroup->hide();
    CancelBtn->setEnabled(false);
    CancelBtn->setDefault(false);
    FinishBtn->setText(suMessage(16));
    FinishBtn->setEnabled(true);
    FinishBtn->setDefault(true);
    activateWindow();
    FinishBtn->setFocus();
}

void TsuSelfUpdaterWizardForm::CloseWithoutAsking()
{
    m_closeWithoutAsking = true;
    close();
}

void TsuSelfUpdaterWizardForm::FinishBtnClick()
{
    CloseWithoutAsking();
}

void TsuSelfUpdaterWizardForm::CancelBtnClick()
{
    // Posted, as a system close command would be, so that the button's
    // click has finished before the question appears.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TsuSelfUpdaterWizardForm::reject()
{
    if (CancelBtn->isEnabled())
        CancelBtnClick();
}

void TsuSelfUpdaterWizardForm::URLEditKeyPress(QKeyEvent *event)
{
    event->accept();
}

bool TsuSelfUpdaterWizardForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == URLEdit && event->type() == QEvent::KeyPress) {
        URLEditKeyPress(static_cast<QKeyEvent *>(event));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TsuSelfUpdaterWizardForm::closeEvent(QCloseEvent *event)
{
    bool abort = false;
    if (!m_closeWithoutAsking) {
        const int answer =
            platform::messageBox(suMessage(27), QCoreApplication::applicationName(),
                                 platform::MessageButtons::YesNo, platform::MessageIcon::Question, this);
        if (answer != platform::mrYes) {
            event->ignore();
            return;
        }
        abort = true;
    }
    event->accept();
    if (suSelfUpdaterWizardForm == this)
        suSelfUpdaterWizardForm = nullptr;
    emit closed();
    if (abort && OnAbort)
        OnAbort();
}
