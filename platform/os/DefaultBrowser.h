#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Folders searched for mimeapps.list, most important first: the user's
// configuration, the system configuration, then the applications folders
// of the user's and the system's data folders (XDG base directories).
QStringList mimeAppsListFiles();

// Folders holding .desktop files, most important first.
QStringList applicationFolders();

// The Exec line of the desktop entry that is the default handler of a MIME
// type ("text/html"), as found in the XDG mimeapps.list files; the first
// listed entry that is installed wins. Empty when there is none.
QString defaultHandlerCommand(const QString &mimeType);

// The MIME type registered for a file-name extension (".html" -> "text/html");
// empty for an unknown extension.
QString mimeTypeOfExtension(const QString &extension);

} // namespace platform
