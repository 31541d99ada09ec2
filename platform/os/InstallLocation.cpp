#include "platform/os/InstallLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

namespace platform {

bool isPackageInstall(const QString &programFolder)
{
    return QFileInfo::exists(programFolder + QLatin1String(kPackageMarkerName));
}

bool isSystemManagedFolder(const QString &programFolder)
{
    return isPackageInstall(programFolder) ||
           ::access(QFile::encodeName(programFolder).constData(), W_OK) != 0;
}

QString userDataFolder(const QString &name)
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    // The base directory specification ignores a relative value.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QLatin1Char('/') + name) + QLatin1Char('/');
}

QString sharedDataFolder(const QString &programFolder, const QString &name)
{
    return QDir::cleanPath(programFolder + QStringLiteral("/../../share/") + name) + QLatin1Char('/');
}

bool copyIfMissing(const QString &source, const QString &target)
{
    if (QFileInfo::exists(target))
        return true;
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Copied under a temporary name first, so that a copy cut short never
    // stands as the user's database.
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(source, part))
        return false;
    QFile::setPermissions(part, QFile::ReadOwner | QFile::WriteOwner);
    if (!QFile::rename(part, target)) {
        QFile::remove(part);
        return QFileInfo::exists(target);
    }
    return true;
}

bool replaceWithCopy(const QString &source, const QString &target)
{
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(source, part))
        return false;
    QFile::setPermissions(part, QFile::ReadOwner | QFile::WriteOwner);
    {
        // On disk before it takes the name: a power loss then leaves the old file or the whole new one.
        QFile written(part);
        if (!written.open(QIODevice::ReadWrite) || ::fsync(written.handle()) != 0) {
            QFile::remove(part);
            return false;
        }
    }
    // QFile::rename refuses an existing target; rename(2) replaces it whole.
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(part);
        return false;
    }
    return true;
}

} // namespace platform
