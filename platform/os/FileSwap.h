#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace platform {

// One file to install: source is moved over target. Both lie on one file
// system, so that the move is a rename.
struct FileReplacement
{
    QString source;
    QString target;
    // The installed file must be runnable: execute bits are added wherever
    // its read bits are set.
    bool executable = false;
};

// Where a swap keeps what it needs to survive being cut short, on the file
// system of the targets.
struct SwapJournal
{
    // The plan of the swap: written (whole, then renamed into place) before
    // the first target changes, removed once every target holds its new
    // file. While it exists the swap has not happened.
    QString journalFile;
    // The files the swap replaces wait here until it stands (created with
    // mode 0700 when needed).
    QString backupFolder;
    // Held (flock) while a swap or a recovery runs, so that a program
    // started meanwhile waits instead of undoing a swap under way.
    QString lockFile;
};

// Called after each step of a swap that has reached the disk, numbered from
// 1: the plan written, each backup taken, each file moved in, the plan
// removed, each backup removed. Tests end the process there to see what a
// crash at that step leaves.
using SwapStepHook = std::function<void(int step)>;

// Installs every source over its target, all or nothing, even across a
// crash or a power loss: the plan is on disk before the first target
// changes, and whoever runs recoverUnfinishedSwap next puts every target
// back as it was. Each target is replaced by an atomic rename, so it is
// never missing, and keeps the permission bits of the file it replaced; a
// new file gets 0644 (0755 when executable). When a file cannot be installed
// (its source is not a regular file, its target is a folder, a rename
// fails) everything is put back at once. The replaced files are removed
// once the swap stands. Returns false on failure, with the target that
// failed in failedTarget when given.
bool replaceFilesAtomically(const std::vector<FileReplacement> &files, const SwapJournal &journal,
                            QString *failedTarget = nullptr, const SwapStepHook &afterStep = {});

enum class SwapRecovery {
    NothingToDo, // no swap was cut short
    RolledBack,  // a swap had not finished: every target is as before it
    Completed,   // a swap had finished but not tidied up: its backups are gone now
    Failed,      // the plan could not be read or the lock not had
};

// Finishes what a swap cut short left: with its plan still on disk every
// target goes back to the file it had (the swap had not happened); without
// a plan, backups left behind are removed (it had). Waits up to waitMs for
// a swap that is running to end.
SwapRecovery recoverUnfinishedSwap(const SwapJournal &journal, int waitMs = 30000);

} // namespace platform
