#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Starts a program in a session of its own (it outlives this process and
// its terminal), without a shell; arguments are passed as given. Returns
// its process id, or -1 when it could not be started.
qint64 spawnProcess(const QString &program, const QStringList &arguments);

// Waits until a child process started by spawnProcess has ended. Returns
// false when pid is not a child of this process.
bool waitForProcessExit(qint64 pid);

// Lets a write to a pipe or socket whose reader has gone fail with an error
// instead of ending this process (SIGPIPE is ignored). Programs started
// afterwards inherit this.
void ignoreBrokenPipes();

// Whether a program file is being run: the system refuses to open it for
// writing ("text file busy"), or a process of this user runs it.
bool executableInUse(const QString &path);

} // namespace platform
