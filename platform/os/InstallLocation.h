#pragma once

#include <QString>

namespace platform {

// The file a package install puts beside the program: the folder then
// belongs to the system's package manager, whatever the user may write.
inline constexpr const char *kPackageMarkerName = "installed-by-package-manager";

// True when the program folder (with its trailing "/") holds the package
// marker.
bool isPackageInstall(const QString &programFolder);

// True when files in the program folder are not the program's to replace:
// a package install, or a folder this user cannot write.
bool isSystemManagedFolder(const QString &programFolder);

// The user's own data folder for the program, with its trailing "/":
// $XDG_DATA_HOME/<name>/, by default ~/.local/share/<name>/.
QString userDataFolder(const QString &name);

// The shared read-only data of a program installed as <prefix>/lib/<name>/:
// <prefix>/share/<name>/, with its trailing "/".
QString sharedDataFolder(const QString &programFolder, const QString &name);

// Copies `source` to `target` unless `target` exists, creating the target's
// folder (mode 0700) and giving the copy the mode 0600. True when `target`
// exists afterwards.
bool copyIfMissing(const QString &source, const QString &target);

// Puts a copy of `source` in the place of `target` in one rename, so that
// the target is always whole (the old file or the new), with mode 0600.
// False, with the target untouched, when the copy cannot be made.
bool replaceWithCopy(const QString &source, const QString &target);

} // namespace platform
