#pragma once

#include <functional>

#include <QImage>
#include <QString>

#include "upgrade/suSelfUpdaterMessages.h"

// The wizard options of the self-updater (its Wizard property).
class TsuSelfUpdaterWizard
{
public:
    // Show the download wizard during downloads.
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value) { m_enabled = value; }
    // Picture for the wizard's left panel (118 x 218); a null image keeps
    // the built-in one.
    const QImage &Pic118x218() const { return m_picture; }
    void SetPic118x218(const QImage &value) { m_picture = value; }
    // Language of every upgrade text; setting it changes the message base
    // shared by all updaters (see suSetLanguage).
    TsuSelfUpdaterLanguage Language() const { return m_language; }
    void SetLanguage(TsuSelfUpdaterLanguage value)
    {
        m_language = value;
        suSetLanguage(value);
    }
    // Keep the wizard above other windows.
    bool StayOnTop() const { return m_stayOnTop; }
    void SetStayOnTop(bool value) { m_stayOnTop = value; }

private:
    bool m_enabled = true;
    QImage m_picture;
    TsuSelfUpdaterLanguage m_language = wlAuto;
    bool m_stayOnTop = true;
};

// Everything the self-updater shows the user goes through this interface:
// the updater holds one and never opens a window itself. The upgrade windows
// (TsuSelfUpdaterWindows: wizard, question window, password window)
// implement it in full; tests put a recording stand-in in their place.
// Texts handed in are final (already formatted from the message table).
class TsuUpgradeWindows
{
public:
    virtual ~TsuUpgradeWindows() = default;

    // Error box: caption message 0, error icon, OK.
    virtual void ShowError(const QString &text) = 0;
    // The lost-file box: yes/no, warning icon; true for Yes.
    virtual bool AskLostFile(const QString &text, const QString &caption) = 0;
    // The question window announcing a newer version; message is the
    // information file's message (may be empty). True for "yes".
    virtual bool AskUpgrade(const QString &message) = 0;
    // The password window for the file fileName: user is shown pre-filled,
    // the password field starts empty. True for OK, with user and password
    // then holding what was typed.
    virtual bool AskPassword(const QString &fileName, QString &user, QString &password) = 0;

    // Opens the download wizard (or keeps the open one). onAbort runs when
    // the user confirms giving up the upgrade (message 27 answered yes).
    virtual void OpenWizard(const TsuSelfUpdaterWizard &options, std::function<void()> onAbort) = 0;
    virtual bool WizardOpen() const = 0;
    // The URL field and the all-files line ("Downloading %d of %d").
    virtual void WizardShowFile(const QString &url, int number, int count) = 0;
    // The file-size line; kilobytes = size / 1024.
    virtual void WizardShowFileSize(double kilobytes) = 0;
    // The wizard continues a download that stopped: its title says so
    // (message 48 of the table) and the file-size line what is still to come
    // (message 49); the next file's ShowFile puts the title back.
    virtual void WizardShowResume(double kilobytesToCome) { (void)kilobytesToCome; }
    // Both bars (0..100), the rate line (KB/s) and the time line.
    virtual void WizardShowProgress(int filePercent, int totalPercent, double rate, int secondsLeft) = 0;
    // Switches the wizard to its final page and returns once the user has
    // closed it (handling events meanwhile). Returns at once when no wizard
    // is open.
    virtual void WizardFinish() = 0;

    // Frees the question window and the wizard if they exist (cancelling an
    // upgrade); onAbort is not called.
    virtual void CloseWindows() = 0;
};
