// The README's "Publishing an upgrade", followed as a vendor with a fresh
// clone would: its commands run as they stand (the build of step 1 aside,
// whose options are checked), and the release they make is served and
// installed by the updater trusting the key keygen printed, taken as the
// build takes it.

#include "../upgrade/SelfUpdaterFixture.h"
#include "upgrade/suUpgradeTrust.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>

namespace {

// The shell commands of the README's section: the indented lines of its
// code blocks that start a command, continuation lines joined.
QStringList publishingCommands()
{
    const QString readme =
        QString::fromUtf8(testfiles::readFile(QStringLiteral(VELMORA_SOURCE_DIR "/README.md")));
    const qsizetype start = readme.indexOf(QStringLiteral("## Publishing an upgrade"));
    if (start < 0)
        return {};
    qsizetype end = readme.indexOf(QStringLiteral("\n## "), start + 1);
    const QStringList lines = readme.mid(start, end < 0 ? -1 : end - start).split(u'\n');
    static const QRegularExpression command(
        QStringLiteral("^ {4,}(build/|bash |mkdir |cp |printf |openssl )"));
    QStringList commands;
    bool continued = false;
    for (const QString &line : lines) {
        if (continued) {
            commands.last() += u' ' + line.trimmed();
        } else if (command.match(line).hasMatch()) {
            commands << line.trimmed();
        } else {
            continue;
        }
        continued = commands.last().endsWith(u'\\');
        if (continued)
            commands.last().chop(1);
    }
    return commands;
}

} // namespace

TEST_F(SuSelfUpdater, TheReadmesStepsMakeAReleaseTheBuiltProgramInstalls)
{
    const QStringList commands = publishingCommands();
    ASSERT_GE(commands.size(), 7) << commands.join(u'\n').toStdString();

    // A vendor's working folder: the build beside it, the new database, the
    // program of the release build; the home folder for the keys.
    TempDir work;
    QString build = qEnvironmentVariable("VELMORA_BUILD_DIR");
    if (build.isEmpty())
        build = QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/..")).canonicalFilePath();
    ASSERT_TRUE(QFile::link(build, work.file(QStringLiteral("build"))));
    const QByteArray database = "the new directory " + QByteArray(4000, 'd');
    const QByteArray releaseProgram = "#!/bin/sh\nexit 0\n# release 2.1\n";
    testfiles::writeFileMakingFolders(work.file(QStringLiteral("new/dorvak.dat")), database);
    testfiles::writeFileMakingFolders(work.file(QStringLiteral("build-release/app/Dorvak")), releaseProgram);
    ASSERT_TRUE(QDir().mkpath(work.file(QStringLiteral("home/velmora-keys"))));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), work.file(QStringLiteral("home")));
    const auto run = [&](const QString &line, QByteArray *out = nullptr) {
        QProcess shell;
        shell.setWorkingDirectory(work.path());
        shell.setProcessEnvironment(env);
        shell.start(QStringLiteral("bash"), {QStringLiteral("-c"), line});
        shell.waitForFinished(60000);
        if (out)
            *out = shell.readAllStandardOutput();
        EXPECT_EQ(shell.exitCode(), 0) << line.toStdString() << '\n'
                                       << shell.readAllStandardError().toStdString();
    };

    QString publicKey;
    for (QString line : commands) {
        SCOPED_TRACE(line.toStdString());
        if (line.startsWith(QStringLiteral("bash scripts/build.sh"))) {
            // The build itself is the vendor's; its options are the README's.
            EXPECT_TRUE(line.contains(QStringLiteral("-DVELMORA_UPGRADE_KEY=<the printed key>")));
            EXPECT_FALSE(line.contains(QStringLiteral("UNSIGNED")));
            continue;
        }
        // Served from here and valid from now on, whatever the day.
        line.replace(QStringLiteral("http://www.kestrune.example/download"), url(QString()).chopped(1));
        line.replace(QRegularExpression(QStringLiteral("--expires [0-9-]+")),
                     QStringLiteral("--expires ") +
                         QDateTime::currentDateTimeUtc().date().addDays(30).toString(Qt::ISODate));
        QByteArray out;
        run(line, &out);
        const QRegularExpressionMatch printed =
            QRegularExpression(QStringLiteral("-DVELMORA_UPGRADE_KEY=(\\S+)")).match(QString::fromUtf8(out));
        if (line.contains(QStringLiteral(" keygen ")) && printed.hasMatch())
            publicKey = printed.captured(1);
    }
    // The form the build checks (CMakeLists.txt) and then compiles in.
    ASSERT_TRUE(QRegularExpression(QStringLiteral("^[A-Za-z0-9+/]{43}=$")).match(publicKey).hasMatch())
        << publicKey.toStdString();

    // The folder goes to the server as it is.
    ASSERT_TRUE(
        server.server.set_mount_point("/download", work.file(QStringLiteral("release")).toStdString()));
    info = QString::fromUtf8(readFile(work.file(QStringLiteral("release/dorvak.inf"))));

    // The program built with that key.
    updater->SetAcceptUnsigned(false);
    updater->SetUpgradeKeys(suUpgradeKeysFromTexts({publicKey}));
    updater->SetInfoFileURL(url(QStringLiteral("dorvak.inf")));
    writeFile(program, "#!/bin/sh\nexit 0\n# release 2.0\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeFile(dir.file(QStringLiteral("dorvak.dat")), "the old directory");
    ASSERT_TRUE(checkUntil(QStringLiteral("close"))) << log.join(u'\n').toStdString();
    EXPECT_TRUE(log.contains("question:新增企业数据三万余条。"));
    ASSERT_TRUE(installed());
    EXPECT_EQ(readFile(dir.file(QStringLiteral("dorvak.dat"))), database);
    EXPECT_EQ(readFile(dir.file(QStringLiteral("softup.dll"))), "[SYS]\r\nUPDATESET=2.1\r\n");
    EXPECT_EQ(readFile(program), releaseProgram) << "Dorvak.exe, under the program's name";
    EXPECT_EQ(suReadVersionRecord(dir.path()), QStringLiteral("2.1"));
}
