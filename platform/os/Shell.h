#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// Opens a web address, mail address or document with the desktop's default
// handler (the stand-in for ShellExecute with the default verb). Returns
// whether a handler was started; callers that ignore the result may.
bool shellOpen(const QString &target);

// Replaces the desktop's handler (for example by a recorder in tests); an
// empty function restores it. The handler gets the target and returns what
// shellOpen reports.
using ShellOpenHandler = std::function<bool(const QString &target)>;
void setShellOpenHandler(ShellOpenHandler handler);

// Starts a program detached from this process, without a shell. Returns
// false when the program could not be started.
bool startDetached(const QString &program, const QStringList &arguments);

} // namespace platform
