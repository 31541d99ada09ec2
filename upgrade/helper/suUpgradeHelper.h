#pragma once

#include "platform/os/FileSwap.h"
#include "upgrade/helper/suInstallList.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

// The replacement helper: started by the updater after the program has
// closed, it waits until the program no longer runs, installs exactly the
// files of the hand-over list the program left beside it (each checked once
// more just before the swap), all or nothing, and starts the program again.

// What the command line says: the program E, the restart parameters R and
// whether a downloaded setup program is to be run first.
struct TsuHelperCommand
{
    QString Executable;
    QString RestartParams;
    bool ExternalSetup = false;
};

// Reads the arguments (without the helper's own name): E, then "+", R and
// the method digit. A path split at its spaces into several arguments is
// joined again with single spaces; E given whole as the first of exactly two
// arguments is taken exactly as it is (double spaces, '+' and all). Nothing
// for an empty list.
std::optional<TsuHelperCommand> suParseHelperArguments(const QStringList &arguments);

// The files to install and the program to run.
struct TsuHelperPlan
{
    // From the download folder to the program folder; the new program over
    // E; the version record last.
    std::vector<platform::FileReplacement> Files;
    // Second names for downloads the list names more than once (a release
    // holding two identical files): each file is moved in only once.
    std::vector<std::pair<QString, QString>> Copies;
    // The setup program to run (external-setup mode); empty otherwise.
    QString SetupProgram;
};

// Where each listed file goes. The program entry replaces E (it carries E's
// name); a setup entry is installed under its own name and run.
TsuHelperPlan suPlanReplacement(const TsuHelperCommand &command, const TsuInstallList &list);

// Checks every listed download once more, as it lies in the download folder
// now: a regular file (never a link) of the listed size with the listed
// SHA-256. Returns the name of the first that fails; empty when all pass.
QString suCheckDownloads(const QString &programFolder, const TsuInstallList &list);

// Waits until the program file no longer runs, checking every pollMs.
// False when boundMs ran out first.
bool suWaitUntilFree(const QString &program, int boundMs, int pollMs = 200);

// How long the helper waits for the program to end before giving up.
inline constexpr int kHelperWaitBoundMs = 60000;

// What the helper did.
enum class TsuHelperOutcome {
    Installed,    // every file in place, the program (or setup) started
    NothingToDo,  // no list, or an empty one: the program was started again
    StillRunning, // the wait ran out: nothing installed, nothing started
    Refused,      // the list or a download failed its check: nothing installed
    RolledBack,   // a file could not be installed: everything put back
    StartFailed,  // installed, but the program could not be started
};

// The whole run: wait, settle a swap an earlier helper left unfinished,
// check and install the list at listFile all or nothing, start the program
// with R (or the setup program, then the program). After a refused or
// failed install the unchanged program is started again without R.
TsuHelperOutcome suRunHelper(const TsuHelperCommand &command, const QString &listFile,
                             int waitBoundMs = kHelperWaitBoundMs);
