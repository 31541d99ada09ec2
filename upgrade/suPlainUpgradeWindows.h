#pragma once

#include "upgrade/suUpgradeWindows.h"

// The upgrade shown with plain means: message boxes for the errors, the
// lost file and the question, a small prompt for user name and password,
// and no download wizard. Texts come from the upgrade message table.
class TsuPlainUpgradeWindows : public TsuUpgradeWindows
{
public:
    void ShowError(const QString &text) override;
    bool AskLostFile(const QString &text, const QString &caption) override;
    bool AskUpgrade(const QString &message) override;
    bool AskPassword(const QString &fileName, QString &user, QString &password) override;

    void OpenWizard(const TsuSelfUpdaterWizard &, std::function<void()>) override {}
    bool WizardOpen() const override { return false; }
    void WizardShowFile(const QString &, int, int) override {}
    void WizardShowFileSize(double) override {}
    void WizardShowProgress(int, int, double, int) override {}
    void WizardFinish() override {}
    void CloseWindows() override {}

    // The text of the question for an information-file message.
    static QString QuestionText(const QString &message);
};
