#pragma once

#include <QString>
#include <functional>

class QIODevice;

namespace platform::stream {

// Creates or replaces the file `path` with what `write` puts into the device. The file
// changes only once `write` has finished without an error, so a reader never finds half
// a stream and a failed save keeps the old file. A file that cannot be created or
// written raises FileError; what `write` raises passes through.
void SaveStreamFile(const QString &path, const std::function<void(QIODevice &)> &write);

// Reads the whole file `path` and hands it to `read` as a device, so that a writer
// working on the file meanwhile cannot change what is read. A file that cannot be opened
// or read raises FileError before `read` runs.
void LoadStreamFile(const QString &path, const std::function<void(QIODevice &)> &read);

} // namespace platform::stream
