#include "app/DataLocation.h"

#include "app/DatabaseFile.h"
#include "app/ProfileEdits.h"
#include "app/uDMForm.h"
#include "platform/db/DatabaseFingerprint.h"
#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"
#include "platform/os/InstallLocation.h"

#include <QFileInfo>

#include <optional>

using platform::db::DatabaseFingerprint;

namespace {

const QString kFolderName = QStringLiteral("velmora");
// The side file's record of the package database the copy was made from.
const QString kOriginState = QStringLiteral("origin");

std::optional<DatabaseFingerprint> originOf(const QString &copy)
{
    const QString text = platform::db::readKeptState(ProfileEdits::sideFileFor(copy),
                                                     QLatin1String(kDatabasePassword), kOriginState);
    if (text.isEmpty())
        return std::nullopt;
    return DatabaseFingerprint::fromText(text);
}

void recordOrigin(const QString &copy, const DatabaseFingerprint &origin)
{
    platform::db::writeKeptState(ProfileEdits::sideFileFor(copy), QLatin1String(kDatabasePassword),
                                 kOriginState, origin.toText());
}

// The copy opened with its side file: a write cut short is rolled back in
// both, and the edits are carried as far as they can be.
class OpenCopy
{
public:
    explicit OpenCopy(const QString &copy)
    {
        m_connection.setConnectionString(TDMForm::ConnectionStringFor(copy));
        m_connection.setKeptEdits(ProfileEdits::settingsFor(copy));
        m_connection.setConnected(true);
    }
    ~OpenCopy()
    {
        // Closing records the file as the one the edits are in.
        try {
            m_connection.setConnected(false);
        } catch (const platform::db::DbError &) {
        }
    }
    OpenCopy(const OpenCopy &) = delete;
    OpenCopy &operator=(const OpenCopy &) = delete;
    platform::db::DbConnection &connection() { return m_connection; }

private:
    platform::db::DbConnection m_connection;
};

bool replaceCopy(const QString &shared, const QString &copy)
{
    // A journal left by a write cut short belongs to the old file; the new
    // one must not meet it.
    if (QFileInfo::exists(copy + QStringLiteral("-journal")))
        OpenCopy recovered(copy);
    return platform::replaceWithCopy(shared, copy);
}

} // namespace

void RefreshUserCopy(const QString &shared, const QString &copy)
{
    const DatabaseFingerprint offered = DatabaseFingerprint::of(shared);
    try {
        if (!QFileInfo::exists(copy)) {
            // A failed copy leaves no database, and the program says so as
            // for any missing database.
            if (platform::copyIfMissing(shared, copy))
                recordOrigin(copy, offered);
            return;
        }
        if (!offered.exists())
            return;
        const std::optional<DatabaseFingerprint> origin = originOf(copy);
        if (!origin) {
            // Made before its edits were kept: they are found first.
            const bool sameOrigin = DatabaseFingerprint::of(copy).sameOrigin(offered);
            {
                OpenCopy open(copy);
                open.connection().keepDifferencesFrom(shared, sameOrigin);
            }
            if (!sameOrigin && !replaceCopy(shared, copy))
                return;
            recordOrigin(copy, offered);
            return;
        }
        // Only a newer database: one the package went back to stays unused.
        if (offered.sameContent(*origin) || offered.modifiedNs <= origin->modifiedNs)
            return;
        // Recorded after the copy is in place: cut short before, the next start replaces it again.
        if (replaceCopy(shared, copy))
            recordOrigin(copy, offered);
    } catch (const platform::db::DbError &) {
        // The copy stays as it is, and the next start tries again.
    }
}

QString DatabaseFolder(const QString &programFolder)
{
    if (!platform::isPackageInstall(programFolder))
        return programFolder;
    const QString folder = platform::userDataFolder(kFolderName);
    RefreshUserCopy(platform::sharedDataFolder(programFolder, kFolderName) + QLatin1String(kDatabaseFileName),
                    folder + QLatin1String(kDatabaseFileName));
    return folder;
}
