#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Creates a folder only this user can enter (mode 0700) with an
// unpredictable name, prefix + six random characters, inside parent.
// Returns its path with a trailing '/', or an empty text on failure.
QString createPrivateFolder(const QString &parent, const QString &prefix);

// Makes sure a folder of this name exists that only this user can enter:
// created with mode 0700 when missing; an existing one must be a real
// folder (never a link) owned by this user, and is set to 0700. False when
// the name is taken by anything else or the folder cannot be made.
bool ensurePrivateFolder(const QString &path);

// Writes a new file with the given permission bits. Fails, writing
// nothing, when anything (a file or a planted link) already has that name.
bool writeNewFile(const QString &path, const QByteArray &bytes, int mode);

// Removes the folders made by createPrivateFolder with this prefix in
// parent, with the files in them: only real folders (never links) owned by
// this user; entries of other kinds inside are left alone (and with them
// the folder).
void removePrivateFolders(const QString &parent, const QString &prefix);

} // namespace platform
