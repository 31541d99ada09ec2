#include "app/DataLocation.h"

#include "platform/os/InstallLocation.h"

namespace {

const QString kFolderName = QStringLiteral("velmora");
const QString kDatabaseName = QStringLiteral("dorvak.dat");

} // namespace

QString DatabaseFolder(const QString &programFolder)
{
    if (!platform::isPackageInstall(programFolder))
        return programFolder;
    const QString folder = platform::userDataFolder(kFolderName);
    // A failed copy leaves no database, and the program says so as for any
    // missing database.
    platform::copyIfMissing(platform::sharedDataFolder(programFolder, kFolderName) + kDatabaseName,
                            folder + kDatabaseName);
    return folder;
}
