#pragma once

#include "upgrade/suUpgradeWindows.h"

// The self-updater's own windows: the download wizard, the question window
// announcing a newer version, the password window, and the error and
// lost-file boxes. Each window exists at most once at a time, is created
// when first needed and frees itself when it closes.
class TsuSelfUpdaterWindows : public TsuUpgradeWindows
{
public:
    void ShowError(const QString &text) override;
    bool AskLostFile(const QString &text, const QString &caption) override;
    bool AskUpgrade(const QString &message) override;
    bool AskPassword(const QString &fileName, QString &user, QString &password) override;

    void OpenWizard(const TsuSelfUpdaterWizard &options, std::function<void()> onAbort) override;
    bool WizardOpen() const override;
    void WizardShowFile(const QString &url, int number, int count) override;
    void WizardShowFileSize(double kilobytes) override;
    void WizardShowProgress(int filePercent, int totalPercent, double rate, int secondsLeft) override;
    void WizardFinish() override;

    void CloseWindows() override;
};
