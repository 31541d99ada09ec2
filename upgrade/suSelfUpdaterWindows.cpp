#include "upgrade/suSelfUpdaterWindows.h"

#include "platform/ui/MessageBox.h"
#include "upgrade/suSelfUpdaterPassword.h"
#include "upgrade/suSelfUpdaterUpgradeMsg.h"
#include "upgrade/suSelfUpdaterWizard.h"
#include "upgrade/suWindowSetup.h"

#include <QEventLoop>
#include <QPointer>

TsuSelfUpdaterWindows::TsuSelfUpdaterWindows(QWidget *owner) : m_owner(owner) {}

QWidget *TsuSelfUpdaterWindows::ParentWindow() const
{
    if (suSelfUpdaterWizardForm)
        return suSelfUpdaterWizardForm;
    if (m_owner && m_owner->isVisible())
        return m_owner->window();
    return nullptr;
}

void TsuSelfUpdaterWindows::ShowError(const QString &text)
{
    platform::messageBox(text, suMessage(0), platform::MessageButtons::Ok, platform::MessageIcon::Error,
                         ParentWindow());
}

bool TsuSelfUpdaterWindows::AskLostFile(const QString &text, const QString &caption)
{
    return platform::messageBox(text, caption, platform::MessageButtons::YesNo,
                                platform::MessageIcon::Warning, ParentWindow()) == platform::mrYes;
}

bool TsuSelfUpdaterWindows::AskUpgrade(const QString &message)
{
    if (!suSelfUpdaterUpgradeMessageForm)
        suSelfUpdaterUpgradeMessageForm = new TsuSelfUpdaterUpgradeMessageForm(ParentWindow());
    QPointer<TsuSelfUpdaterUpgradeMessageForm> form = suSelfUpdaterUpgradeMessageForm;
    form->FormOpen(message);
    su::centreOnScreen(form);
    // exec() deletes the window on its way out.
    return form->exec() == QDialog::Accepted;
}

bool TsuSelfUpdaterWindows::AskPassword(const QString &fileName, QString &user, QString &password)
{
    if (!suSelfUpdaterPasswordForm)
        suSelfUpdaterPasswordForm = new TsuSelfUpdaterPasswordForm(ParentWindow());
    TsuSelfUpdaterPasswordForm *form = suSelfUpdaterPasswordForm;
    form->OnStore = [&user, &password](const QString &typedUser, const QString &typedPassword) {
        user = typedUser;
        password = typedPassword;
    };
    form->FormOpen(fileName, user);
    su::centreOnScreen(form);
    return form->exec() == QDialog::Accepted;
}

void TsuSelfUpdaterWindows::OpenWizard(const TsuSelfUpdaterWizard &options, std::function<void()> onAbort)
{
    const bool created = !suSelfUpdaterWizardForm;
    if (created)
        suSelfUpdaterWizardForm = new TsuSelfUpdaterWizardForm(ParentWindow());
    TsuSelfUpdaterWizardForm *wizard = suSelfUpdaterWizardForm;
    wizard->OnAbort = std::move(onAbort);
    wizard->setWindowFlag(Qt::WindowStaysOnTopHint, options.StayOnTop());
    wizard->FormOpen(options.Pic118x218());
    if (created)
        su::centreOnScreen(wizard);
    wizard->show();
}

bool TsuSelfUpdaterWindows::WizardOpen() const
{
    return suSelfUpdaterWizardForm != nullptr;
}

void TsuSelfUpdaterWindows::WizardShowFile(const QString &url, int number, int count)
{
    if (suSelfUpdaterWizardForm)
        suSelfUpdaterWizardForm->ShowFile(url, number, count);
}

void TsuSelfUpdaterWindows::WizardShowFileSize(double kilobytes)
{
    if (suSelfUpdaterWizardForm)
        suSelfUpdaterWizardForm->ShowFileSize(kilobytes);
}

void TsuSelfUpdaterWindows::WizardShowResume(double kilobytesToCome)
{
    if (suSelfUpdaterWizardForm)
        suSelfUpdaterWizardForm->ShowResume(kilobytesToCome);
}

void TsuSelfUpdaterWindows::WizardShowProgress(int filePercent, int totalPercent, double rate,
                                               int secondsLeft)
{
    if (suSelfUpdaterWizardForm)
        suSelfUpdaterWizardForm->ShowProgress(filePercent, totalPercent, rate, secondsLeft);
}

void TsuSelfUpdaterWindows::WizardFinish()
{
    QPointer<TsuSelfUpdaterWizardForm> wizard = suSelfUpdaterWizardForm;
    if (!wizard)
        return;
    wizard->ShowFinalPage();
    QEventLoop loop;
    QObject::connect(wizard, &TsuSelfUpdaterWizardForm::closed, &loop, &QEventLoop::quit);
    QObject::connect(wizard, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}

void TsuSelfUpdaterWindows::CloseWindows()
{
    if (suSelfUpdaterUpgradeMessageForm)
        suSelfUpdaterUpgradeMessageForm->reject();
    if (suSelfUpdaterWizardForm)
        suSelfUpdaterWizardForm->CloseWithoutAsking();
}
