#pragma once

#include "platform/os/FileSwap.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The replacement helper: started by the updater after the program has
// closed, it waits until the program no longer runs, installs every
// downloaded ".uTMP" file of the program's folder and starts the program
// again.

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
    std::vector<platform::FileReplacement> Files;
    // The downloaded setup program (external-setup mode); empty otherwise.
    QString SetupProgram;
    // ".uTMP" files that name no installable file (".uTMP", "..uTMP").
    QStringList Ignored;
};

// Which ".uTMP" file of the program's folder goes where. A downloaded
// executable ("…exe") replaces the program under the program's own name
// unless a file named after the program itself was downloaded; in
// external-setup mode it is the setup program instead, installed under its
// own name.
TsuHelperPlan suPlanReplacement(const TsuHelperCommand &command);

// Waits until the program file no longer runs, checking every pollMs.
// False when boundMs ran out first.
bool suWaitUntilFree(const QString &program, int boundMs, int pollMs = 200);

// How long the helper waits for the program to end before giving up.
inline constexpr int kHelperWaitBoundMs = 60000;

// What the helper did.
enum class TsuHelperOutcome {
    Installed,    // every file in place, the program (or setup) started
    NothingToDo,  // no downloaded file: the program was started again
    StillRunning, // the wait ran out: nothing installed, nothing started
    RolledBack,   // a file could not be installed: everything put back
    StartFailed,  // installed, but the program could not be started
};

// The whole run: wait, install all or nothing, start the program with R (or
// the setup program, then the program). After a wait that ran out or a
// failed install the downloaded files are removed, so that no stale part of
// this release is ever installed with a later one; after a failed install
// the unchanged program is started again without R.
TsuHelperOutcome suRunHelper(const TsuHelperCommand &command, int waitBoundMs = kHelperWaitBoundMs);
