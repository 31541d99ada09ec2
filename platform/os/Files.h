#pragma once

#include <optional>

#include <QString>

namespace platform {

// The folder for temporary files: $TMPDIR, or /tmp when it is unset, always
// with a trailing '/'. The folder is not checked for existence.
QString tempFolder();

// Whether the path names an existing directory.
bool isDirectory(const QString &path);

// Sets the last-access and last-modification times (milliseconds since the
// epoch, UTC) of an existing file that can be opened for writing; a missing
// value keeps the file's time. Linux has no settable creation time.
// Returns false when the file cannot be opened or its times not written.
bool setFileTimes(const QString &path, std::optional<qint64> accessMs, std::optional<qint64> modifyMs);

// Size in bytes of a regular file; -1 when it does not exist, cannot be
// examined or is not a regular file.
qint64 fileSize64(const QString &path);

} // namespace platform
