#include "app/DataLocation.h"
#include "platform/os/InstallLocation.h"
#include "support/FileBytes.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using testfiles::writeFile;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// A package install opens the user's copy of the shared demo, made on the
// first start and kept afterwards; any other install the database beside it.
TEST(DataLocation, APackageInstallWorksOnTheUsersCopyOfTheSharedDemo)
{
    TempDir dir;
    const QString program = dir.file(QStringLiteral("usr/lib/velmora/"));
    const QString shared = dir.file(QStringLiteral("usr/share/velmora/"));
    ASSERT_TRUE(QDir().mkpath(program));
    ASSERT_TRUE(QDir().mkpath(shared));
    writeFile(shared + QStringLiteral("dorvak.dat"), "demo");
    const ScopedEnv data("XDG_DATA_HOME", QFile::encodeName(dir.file(QStringLiteral("home data"))));
    const QString user = dir.file(QStringLiteral("home data/velmora/"));

    EXPECT_EQ(DatabaseFolder(program), program) << "without the package's mark";
    EXPECT_FALSE(QFileInfo::exists(user));

    writeFile(program + QLatin1String(platform::kPackageMarkerName), "");
    EXPECT_EQ(DatabaseFolder(program), user);
    EXPECT_EQ(contents(user + QStringLiteral("dorvak.dat")), "demo");
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFileInfo(user + QStringLiteral("dorvak.dat")).permissions() & others, QFile::Permissions())
        << "the user's database is the user's alone";
    EXPECT_FALSE(QFileInfo::exists(user + QStringLiteral("dorvak.dat.part")));

    // The user's edits stay: a later start does not copy the demo again.
    writeFile(user + QStringLiteral("dorvak.dat"), "edited");
    writeFile(shared + QStringLiteral("dorvak.dat"), "newer demo");
    EXPECT_EQ(DatabaseFolder(program), user);
    EXPECT_EQ(contents(user + QStringLiteral("dorvak.dat")), "edited");

    // Without a shared demo nothing is made up; the program then reports the missing database.
    QFile::remove(user + QStringLiteral("dorvak.dat"));
    QFile::remove(shared + QStringLiteral("dorvak.dat"));
    EXPECT_EQ(DatabaseFolder(program), user);
    EXPECT_FALSE(QFileInfo::exists(user + QStringLiteral("dorvak.dat")));
}
