#include "upgrade/helper/suUpgradeFolder.h"

#include "platform/os/IniFile.h"
#include "platform/os/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString withSlash(const QString &folder)
{
    return folder.endsWith(u'/') || folder.isEmpty() ? folder : folder + u'/';
}

// Removes a name that is not a folder, never following a link.
void removeFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info
    {
    };
    if (::lstat(name.constData(), &info) == 0 && !S_ISDIR(info.st_mode))
        ::unlink(name.constData());
}

} // namespace

QString suUpgradeFolder(const QString &programFolder)
{
    return withSlash(programFolder) + kUpgradeFolderName + u'/';
}

QString suDownloadFolder(const QString &programFolder)
{
    return suUpgradeFolder(programFolder) + QStringLiteral("downloads/");
}

QString suDownloadPath(const QString &programFolder, const QString &sha256)
{
    return suDownloadFolder(programFolder) + sha256;
}

QString suPartialDownloadPath(const QString &programFolder, const QString &key)
{
    return suDownloadFolder(programFolder) + key + QStringLiteral(".part");
}

QString suResumeValidatorPath(const QString &programFolder, const QString &sha256)
{
    return suDownloadFolder(programFolder) + sha256 + QStringLiteral(".validator");
}

QString suVersionRecordPath(const QString &programFolder)
{
    return suUpgradeFolder(programFolder) + QStringLiteral("version");
}

platform::SwapJournal suSwapJournal(const QString &programFolder)
{
    const QString folder = suUpgradeFolder(programFolder);
    return {folder + QStringLiteral("swap.journal"), folder + QStringLiteral("swap.backup"),
            folder + QStringLiteral("swap.lock")};
}

bool suPrepareDownloadFolder(const QString &programFolder, const QStringList &keep)
{
    if (!platform::ensurePrivateFolder(suUpgradeFolder(programFolder)) ||
        !platform::ensurePrivateFolder(suDownloadFolder(programFolder)))
        return false;
    const QDir downloads(suDownloadFolder(programFolder));
    const QStringList entries =
        downloads.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : entries) {
        if (keep.contains(name))
            continue;
        const QString path = downloads.filePath(name);
        removeFile(path);
        // A folder nobody made here goes too, with what it holds.
        if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
            QDir(path).removeRecursively();
    }
    return true;
}

QString suReadVersionRecord(const QString &programFolder)
{
    try {
        return platform::readProfileString(suVersionRecordPath(programFolder), QStringLiteral("SYS"),
                                           QStringLiteral("UPDATESET"), QString());
    } catch (...) {
        return {};
    }
}

platform::SwapRecovery suTidyProgramFolder(const QString &programFolder)
{
    const platform::SwapRecovery recovery = platform::recoverUnfinishedSwap(suSwapJournal(programFolder));
    static const QRegularExpression oldBackup(QStringLiteral("^\\..+\\.uOLD[0-9]+$"));
    const QDir folder(programFolder.isEmpty() ? QStringLiteral(".") : programFolder);
    const QStringList entries =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : entries) {
        if (name.endsWith(QStringLiteral(".uTMP")) || oldBackup.match(name).hasMatch())
            removeFile(folder.filePath(name));
    }
    return recovery;
}
