// Installs the built program into temporary folders, as a user would with
// `cmake --install build --prefix ~/.local`, and checks where the files land.

#include "platform/db/CipherSettings.h"
#include "platform/os/IniFile.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

const QString kSourceDir = QStringLiteral(VELMORA_SOURCE_DIR);
const QString kBuildDir = QStringLiteral(VELMORA_BUILD_DIR);
const int kIconSizes[] = {16, 32, 48, 64, 128, 256};

struct Outcome
{
    int exitCode = -1;
    QString output;
};

Outcome run(const QString &program, const QStringList &args, const QProcessEnvironment &env = {})
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!env.isEmpty())
        process.setProcessEnvironment(env);
    process.start(program, args);
    Outcome result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        result.output = QStringLiteral("did not finish: ") + program;
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromLocal8Bit(process.readAll());
    return result;
}

Outcome install(const QString &prefix, const QProcessEnvironment &env = {})
{
    return run(QStringLiteral("cmake"),
               {QStringLiteral("--install"), kBuildDir, QStringLiteral("--prefix"), prefix}, env);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The value of a key of the entry's main group.
QString entryValue(const QString &entryPath, const QString &key)
{
    for (const QString &line : QString::fromUtf8(contents(entryPath)).split(QLatin1Char('\n'))) {
        if (line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    }
    return {};
}

class InstallTest : public ::testing::Test
{
protected:
    TempDir dir;
};

TEST_F(InstallTest, PutsTheProgramItsDatabaseTheMenuEntryAndTheIconInPlace)
{
    // A prefix with a blank, as a home folder may have.
    const QString prefix = dir.file(QStringLiteral("my home/.local"));
    const Outcome installed = install(prefix);
    ASSERT_EQ(installed.exitCode, 0) << installed.output.toStdString();

    const QString program = prefix + QStringLiteral("/lib/velmora/Dorvak");
    const QFileInfo programInfo(program);
    EXPECT_TRUE(programInfo.isFile() && programInfo.isExecutable());
    EXPECT_TRUE(QFileInfo(programInfo.absolutePath()).isWritable())
        << "the updater replaces the program and its database in their folder";
    // The tests' demo key, whose private half is public, is in no form in
    // the installed program: it cannot verify, so it cannot be trusted.
    QFile binary(program);
    ASSERT_TRUE(binary.open(QIODevice::ReadOnly));
    const QByteArray bytes = binary.readAll();
    const QByteArray demoKey =
        QByteArray::fromHex("624c1f4d37b589356a48c1efb043b1bff74a05dc9604e103cb8f2a703c1e2640");
    for (const QByteArray &text : {demoKey.toBase64(), demoKey.toHex(), demoKey.toHex().toUpper()}) {
        const QString wide = QString::fromLatin1(text);
        const QByteArray utf16(reinterpret_cast<const char *>(wide.utf16()), wide.size() * 2);
        EXPECT_FALSE(bytes.contains(text)) << "the demo key as " << text.toStdString();
        EXPECT_FALSE(bytes.contains(utf16)) << "the demo key in UTF-16 as " << text.toStdString();
    }
    EXPECT_FALSE(bytes.contains(demoKey)) << "the demo key's bytes";
    const QString database = prefix + QStringLiteral("/lib/velmora/dorvak.dat");
    EXPECT_GT(testdb::scalar(database, testdb::kPassword, platform::db::kBuilderPageSize,
                             QStringLiteral("SELECT count(*) FROM GM_Card"))
                  .toInt(),
              1000);
    EXPECT_EQ(testdb::scalar(database, testdb::kPassword, platform::db::kBuilderPageSize,
                             QStringLiteral("SELECT count(*) FROM Dorvak")),
              QStringLiteral("5000"));

    const QString entry = prefix + QStringLiteral("/share/applications/velmora.desktop");
    ASSERT_TRUE(QFile::exists(entry));
    const Outcome validated = run(QStringLiteral("desktop-file-validate"), {entry});
    EXPECT_EQ(validated.exitCode, 0) << validated.output.toStdString();
    EXPECT_TRUE(validated.output.trimmed().isEmpty()) << validated.output.toStdString();
    EXPECT_EQ(entryValue(entry, QStringLiteral("Exec")), QLatin1Char('"') + program + QLatin1Char('"'));
    EXPECT_EQ(entryValue(entry, QStringLiteral("TryExec")), program);
    EXPECT_EQ(entryValue(entry, QStringLiteral("Icon")), QStringLiteral("velmora"));
    EXPECT_EQ(entryValue(entry, QStringLiteral("Name")), QStringLiteral("Velmora"));
    EXPECT_EQ(entryValue(entry, QStringLiteral("Type")), QStringLiteral("Application"));

    // Each icon drawn for the program lands in the hicolor theme under the entry's icon name.
    const QString icons = prefix + QStringLiteral("/share/icons/hicolor/");
    const QString scalable = kSourceDir + QStringLiteral("/resources/icons/velmora.svg");
    if (QFile::exists(scalable)) {
        EXPECT_EQ(contents(icons + QStringLiteral("scalable/apps/velmora.svg")), contents(scalable));
    }
    for (int size : kIconSizes) {
        const QString source = kSourceDir + QStringLiteral("/resources/icons/velmora-%1.png").arg(size);
        if (QFile::exists(source)) {
            EXPECT_EQ(contents(icons + QStringLiteral("%1x%1/apps/velmora.png").arg(size)), contents(source))
                << size;
        }
    }

    // None of the package's own parts: a user's install upgrades itself.
    for (const char *packageOnly :
         {"/lib/velmora/installed-by-package-manager", "/bin/velmora", "/share/velmora", "/share/metainfo"})
        EXPECT_FALSE(QFileInfo::exists(prefix + QLatin1String(packageOnly))) << packageOnly;

    // The version file, without which no numbered release is ever offered.
    const QString versionFile = prefix + QStringLiteral("/lib/velmora/softup.dll");
    EXPECT_EQ(
        platform::readProfileString(versionFile, QStringLiteral("SYS"), QStringLiteral("UPDATESET"), {}),
        QStringLiteral("1"));
    EXPECT_TRUE(contents(kBuildDir + QStringLiteral("/install_manifest.txt")).contains(versionFile.toUtf8()));

    // Installing again keeps the database and the version file that are
    // there: the user's data, and what an upgrade brought.
    const auto overwrite = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    };
    ASSERT_TRUE(overwrite(database, "the user's own data"));
    ASSERT_TRUE(overwrite(versionFile, "[SYS]\nUPDATESET=2.3\n"));
    const Outcome again = install(prefix);
    ASSERT_EQ(again.exitCode, 0) << again.output.toStdString();
    EXPECT_EQ(contents(database), QByteArray("the user's own data"));
    EXPECT_EQ(contents(versionFile), QByteArray("[SYS]\nUPDATESET=2.3\n"));
}

TEST_F(InstallTest, StagedInstallNamesTheFinalPlaceInTheMenuEntry)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString stage = dir.file(QStringLiteral("stage"));
    env.insert(QStringLiteral("DESTDIR"), stage);
    const Outcome installed = install(QStringLiteral("/opt/velmora-test"), env);
    ASSERT_EQ(installed.exitCode, 0) << installed.output.toStdString();

    EXPECT_FALSE(QFile::exists(QStringLiteral("/opt/velmora-test")));
    EXPECT_TRUE(QFile::exists(stage + QStringLiteral("/opt/velmora-test/lib/velmora/Dorvak")));
    EXPECT_TRUE(QFile::exists(stage + QStringLiteral("/opt/velmora-test/lib/velmora/dorvak.dat")));
    EXPECT_TRUE(QFile::exists(stage + QStringLiteral("/opt/velmora-test/lib/velmora/softup.dll")));
    const QString entry = stage + QStringLiteral("/opt/velmora-test/share/applications/velmora.desktop");
    EXPECT_EQ(entryValue(entry, QStringLiteral("Exec")),
              QStringLiteral("\"/opt/velmora-test/lib/velmora/Dorvak\""));
}

} // namespace
