#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Opens a web address, mail address or document with the desktop's default
// handler (the stand-in for ShellExecute with the default verb). Returns
// whether a handler was started; callers that ignore the result may.
bool shellOpen(const QString &target);

// Starts a program detached from this process, without a shell. Returns
// false when the program could not be started.
bool startDetached(const QString &program, const QStringList &arguments);

} // namespace platform
