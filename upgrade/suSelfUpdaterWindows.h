#pragma once

#include "upgrade/suUpgradeWindows.h"

#include <QPointer>
#include <QWidget>

// The self-updater's own windows: the download wizard, the question window
// announcing a newer version, the password window, and the error and
// lost-file boxes. Each window exists at most once at a time, is created
// when first needed and frees itself when it closes.
class TsuSelfUpdaterWindows : public TsuUpgradeWindows
{
public:
    // owner: the window the upgrade belongs to (the main window). Every
    // window and box of the upgrade stands above the window it belongs to
    // (ParentWindow) and takes the keyboard, rather than hiding behind it.
    explicit TsuSelfUpdaterWindows(QWidget *owner = nullptr);

    // What a window or box shown now belongs to: the wizard while it is
    // open, else the owner while it is shown; none without either.
    QWidget *ParentWindow() const;

    void ShowError(const QString &text) override;
    bool AskLostFile(const QString &text, const QString &caption) override;
    bool AskUpgrade(const QString &message) override;
    bool AskPassword(const QString &fileName, QString &user, QString &password) override;

    void OpenWizard(const TsuSelfUpdaterWizard &options, std::function<void()> onAbort) override;
    bool WizardOpen() const override;
    void WizardShowFile(const QString &url, int number, int count) override;
    void WizardShowFileSize(double kilobytes) override;
    void WizardShowResume(double kilobytesToCome) override;
    void WizardShowProgress(int filePercent, int totalPercent, double rate, int secondsLeft) override;
    void WizardFinish() override;

    void CloseWindows() override;

private:
    QPointer<QWidget> m_owner;
};
