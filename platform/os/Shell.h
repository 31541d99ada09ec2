#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// Opens a web address, mail address or document with the desktop's default
// handler (the stand-in for ShellExecute with the default verb). Returns
// whether a handler was started; callers that ignore the result may.
bool shellOpen(const QString &target);

// Opens a target as shellOpen does and tells, later and on this thread,
// whether it was opened: false when the desktop's opener could not be
// started or ended in failure (as it does where no browser or mail program
// is set up). A handler set below answers at once. The opener is left to
// finish on its own when the program ends first.
using ShellOpenResult = std::function<void(bool opened)>;
void shellOpenReporting(const QString &target, ShellOpenResult result);

// Replaces the desktop's handler (for example by a recorder in tests); an
// empty function restores it. The handler gets the target and returns what
// shellOpen reports.
using ShellOpenHandler = std::function<bool(const QString &target)>;
void setShellOpenHandler(ShellOpenHandler handler);

// Starts a program detached from this process, without a shell. Returns
// false when the program could not be started.
bool startDetached(const QString &program, const QStringList &arguments);

} // namespace platform
