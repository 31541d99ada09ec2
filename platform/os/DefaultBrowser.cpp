#include "platform/os/DefaultBrowser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QTextStream>

namespace platform {

namespace {

QString envOr(const char *name, const QString &fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

QStringList envList(const char *name, const QString &fallback)
{
    return envOr(name, fallback).split(u':', Qt::SkipEmptyParts);
}

// Reads one key of one group of an INI-like XDG file (desktop entries,
// mimeapps.list). Lines starting with '#' are comments; values are kept whole.
QString readXdgValue(const QString &file, const QString &group, const QString &key,
                     bool *groupFound = nullptr)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream stream(&in);
    bool inGroup = false;
    while (!stream.atEnd()) {
        const QString line = stream.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inGroup = line == u'[' + group + u']';
            if (inGroup && groupFound)
                *groupFound = true;
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0 && line.left(equals).trimmed() == key)
            return line.mid(equals + 1).trimmed();
    }
    return {};
}

// Finds the file of a desktop-file id; "org-foo.desktop" may also live in
// the subfolder "org/foo.desktop".
QString desktopFilePath(const QString &id)
{
    for (const QString &folder : applicationFolders()) {
        QString candidate = folder + id;
        if (QFileInfo::exists(candidate))
            return candidate;
        QString nested = id;
        for (qsizetype dash = nested.indexOf(u'-'); dash >= 0; dash = nested.indexOf(u'-', dash + 1)) {
            nested[dash] = u'/';
            candidate = folder + nested;
            if (QFileInfo::exists(candidate))
                return candidate;
        }
    }
    return {};
}

} // namespace

QStringList mimeAppsListFiles()
{
    const QString home = QDir::homePath();
    QStringList desktops;
    for (const QString &desktop : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts))
        desktops << desktop.toLower();

    QStringList folders;
    folders << envOr("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    folders << envList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    folders << envOr("XDG_DATA_HOME", home + QStringLiteral("/.local/share")) +
                   QStringLiteral("/applications");
    for (const QString &data : envList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share")))
        folders << data + QStringLiteral("/applications");

    QStringList files;
    for (const QString &folder : folders) {
        for (const QString &desktop : desktops)
            files << folder + u'/' + desktop + QStringLiteral("-mimeapps.list");
        files << folder + QStringLiteral("/mimeapps.list");
    }
    return files;
}

QStringList applicationFolders()
{
    QStringList folders;
    folders << envOr("XDG_DATA_HOME", QDir::homePath() + QStringLiteral("/.local/share")) +
                   QStringLiteral("/applications/");
    for (const QString &data : envList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share")))
        folders << data + QStringLiteral("/applications/");
    return folders;
}

QString defaultHandlerCommand(const QString &mimeType)
{
    if (mimeType.isEmpty())
        return {};
    for (const QString &list : mimeAppsListFiles()) {
        const QString ids = readXdgValue(list, QStringLiteral("Default Applications"), mimeType);
        for (const QString &id : ids.split(u';', Qt::SkipEmptyParts)) {
            const QString file = desktopFilePath(id.trimmed());
            if (file.isEmpty())
                continue;
            const QString exec = readXdgValue(file, QStringLiteral("Desktop Entry"), QStringLiteral("Exec"));
            if (!exec.isEmpty())
                return exec;
        }
    }
    return {};
}

QString mimeTypeOfExtension(const QString &extension)
{
    QString suffix = extension;
    if (suffix.startsWith(u'.'))
        suffix.remove(0, 1);
    if (suffix.isEmpty())
        return {};
    const QMimeDatabase database;
    const QList<QMimeType> types = database.mimeTypesForFileName(QStringLiteral("x.") + suffix);
    if (!types.isEmpty())
        return types.first().name();
    // Without a MIME database the web page extensions are still known.
    const QString lower = suffix.toLower();
    if (lower == QStringLiteral("html") || lower == QStringLiteral("htm"))
        return QStringLiteral("text/html");
    return {};
}

} // namespace platform
