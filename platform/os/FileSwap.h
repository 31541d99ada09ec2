#pragma once

#include <QString>

#include <vector>

namespace platform {

// One file to install: source is moved over target.
struct FileReplacement
{
    QString source;
    QString target;
    // The installed file must be runnable: execute bits are added wherever
    // its read bits are set.
    bool executable = false;
};

// Installs every source over its target, all or nothing. Each target is
// replaced by an atomic rename, so it is never missing, and what it replaced
// is kept until every file is in. When one file cannot be installed (its
// source is not a regular file, its target is a folder, a rename fails)
// every target is put back as it was and every installed source returns to
// its own name: nothing has changed. An installed file keeps the permission
// bits of the file it replaced (a new one those of its source), and is on
// disk before it takes the target's name. Returns false on failure, with
// the target that failed in failedTarget when given.
bool replaceFilesAtomically(const std::vector<FileReplacement> &files, QString *failedTarget = nullptr);

} // namespace platform
