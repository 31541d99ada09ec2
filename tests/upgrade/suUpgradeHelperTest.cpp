#include "upgrade/helper/suUpgradeHelper.h"

#include "platform/os/Processes.h"
#include "support/FileBytes.h"
#include "support/QStringPrint.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

QString helperProgram()
{
    QString build = qEnvironmentVariable("VELMORA_BUILD_DIR");
    if (build.isEmpty())
        build = QCoreApplication::applicationDirPath() + QStringLiteral("/..");
    return build + QStringLiteral("/upgrade/Updater");
}

// Writes a file of the program's folder; a runnable one as the program would be.
void placeFile(const QString &path, const QByteArray &bytes, bool runnable = false)
{
    testfiles::writeFile(path, bytes);
    if (runnable)
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
}

// A program that writes its arguments (each followed by '|') to a file.
QByteArray recorder(const QString &marker, const QByteArray &tag = {})
{
    return "#!/bin/sh\nprintf '" + tag + "%s|' \"$@\" > '" + marker.toUtf8() + "'\n";
}

// A folder set up as the program's folder after a download: the program,
// an old database and the downloaded files.
struct ProgramFolder
{
    TempDir temp;
    QString folder;
    QString program, marker;

    explicit ProgramFolder(const QString &subfolder = QStringLiteral("app"))
    {
        folder = temp.path() + u'/' + subfolder + u'/';
        EXPECT_TRUE(QDir().mkpath(folder));
        program = folder + QStringLiteral("Dorvak");
        marker = temp.file(QStringLiteral("started.txt"));
        placeFile(program, "#!/bin/sh\nexit 0\n", true);
        placeFile(folder + QStringLiteral("dorvak.dat"), "old database");
    }
    QString file(const QString &name) const { return folder + name; }
    QStringList downloads() const
    {
        return QDir(folder).entryList({QStringLiteral("*.uTMP")}, QDir::Files | QDir::Hidden);
    }
    bool runHelper(const QStringList &arguments) const
    {
        return QProcess::execute(helperProgram(), arguments) >= 0;
    }
    bool started() const
    {
        return QTest::qWaitFor([&] { return QFileInfo(marker).size() > 0; }, 15000);
    }
};

} // namespace

TEST(SuHelperArguments, RebuildsThePathAndReadsParametersAndMethod)
{
    EXPECT_FALSE(suParseHelperArguments({}).has_value());

    auto command = suParseHelperArguments({"/opt/my", "apps/Dorvak", "+/afterupgrade0"});
    ASSERT_TRUE(command);
    EXPECT_EQ(command->Executable, QStringLiteral("/opt/my apps/Dorvak"))
        << "split at its space, joined again";
    EXPECT_EQ(command->RestartParams, QStringLiteral("/afterupgrade"));
    EXPECT_FALSE(command->ExternalSetup);

    command = suParseHelperArguments({"/opt/a  b+c/Dorvak", "+/x y1"});
    ASSERT_TRUE(command);
    EXPECT_EQ(command->Executable, QStringLiteral("/opt/a  b+c/Dorvak")) << "a whole path is taken exactly";
    EXPECT_EQ(command->RestartParams, QStringLiteral("/x y"));
    EXPECT_TRUE(command->ExternalSetup);

    command = suParseHelperArguments({"/opt/Dorvak", "+", "0"});
    ASSERT_TRUE(command);
    EXPECT_EQ(command->Executable, QStringLiteral("/opt/Dorvak"));
    EXPECT_EQ(command->RestartParams, QStringLiteral(" ")) << "an empty restart text travels as a space";

    command = suParseHelperArguments({"/opt/Dorvak"});
    ASSERT_TRUE(command);
    EXPECT_EQ(command->Executable, QStringLiteral("/opt/Dorvak"));
    EXPECT_EQ(command->RestartParams, QString());
}

TEST(SuHelperPlan, NamesTheNewProgramAndSkipsNamelessDownloads)
{
    ProgramFolder app;
    placeFile(app.file(QStringLiteral("dorvak.dat.uTMP")), "d");
    placeFile(app.file(QStringLiteral("Dorvak.exe.uTMP")), "p");
    placeFile(app.file(QStringLiteral("..uTMP")), "x");
    TsuHelperPlan plan = suPlanReplacement({app.program, QStringLiteral("/afterupgrade"), false});
    ASSERT_EQ(plan.Files.size(), 2u);
    EXPECT_EQ(plan.Files[0].target, app.program) << "the downloaded executable takes the program's name";
    EXPECT_TRUE(plan.Files[0].executable);
    EXPECT_EQ(plan.Files[1].target, app.file(QStringLiteral("dorvak.dat")));
    EXPECT_FALSE(plan.Files[1].executable);
    EXPECT_EQ(plan.Ignored, QStringList({app.file(QStringLiteral("..uTMP"))}));

    // A download named after the program itself is the new program; the
    // other executable keeps its name.
    placeFile(app.file(QStringLiteral("Dorvak.uTMP")), "q");
    plan = suPlanReplacement({app.program, {}, false});
    ASSERT_EQ(plan.Files.size(), 3u);
    EXPECT_EQ(plan.Files[0].target, app.file(QStringLiteral("Dorvak.exe")));
    EXPECT_EQ(plan.Files[1].target, app.program);
    EXPECT_TRUE(plan.Files[1].executable);
    EXPECT_TRUE(plan.SetupProgram.isEmpty());
}

TEST(SuHelper, ReplacesEveryFileAndRestartsTheProgram)
{
    ProgramFolder app;
    placeFile(app.file(QStringLiteral("dorvak.dat.uTMP")), "new database");
    placeFile(app.file(QStringLiteral("softup.dll.uTMP")), "[SYS]\nUPDATESET=2\n");
    placeFile(app.file(QStringLiteral("Dorvak.exe.uTMP")), recorder(app.marker));
    ASSERT_TRUE(app.runHelper({app.program, QStringLiteral("+/afterupgrade0")}));
    ASSERT_TRUE(app.started());
    EXPECT_EQ(testfiles::readFileOrMissing(app.marker), "/afterupgrade|");
    EXPECT_EQ(testfiles::readFileOrMissing(app.file(QStringLiteral("dorvak.dat"))), "new database");
    EXPECT_EQ(testfiles::readFileOrMissing(app.file(QStringLiteral("softup.dll"))), "[SYS]\nUPDATESET=2\n");
    EXPECT_EQ(testfiles::readFileOrMissing(app.program), recorder(app.marker));
    EXPECT_TRUE(QFileInfo(app.program).isExecutable());
    EXPECT_TRUE(app.downloads().isEmpty());
    EXPECT_EQ(QDir(app.folder).entryList(QDir::Files | QDir::Hidden).size(), 3) << "no backup is left";
}

namespace {

// Runs the helper with its standard output and error on a pipe whose
// reader is gone; returns its exit code, or -1 when a signal ended it.
int runHelperWithUnreadOutput(const QStringList &arguments)
{
    int unread[2];
    if (::pipe(unread) != 0)
        return -2;
    ::close(unread[0]);
    QProcess helper;
    helper.setChildProcessModifier([out = unread[1]] {
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
    });
    helper.start(helperProgram(), arguments);
    const bool finished = helper.waitForFinished(30000);
    ::close(unread[1]);
    return finished && helper.exitStatus() == QProcess::NormalExit ? helper.exitCode() : -1;
}

} // namespace

TEST(SuHelper, AnOutputNobodyReadsEndsNeitherTheHelperNorTheRestartedProgram)
{
    // Whoever started the old program stopped reading its output when it
    // ended; the helper and the new program still write there.
    ProgramFolder app;
    placeFile(app.file(QStringLiteral("Dorvak.exe.uTMP")),
              "#!/bin/sh\necho 'a warning' >&2\nprintf '%s|' \"$@\" > '" + app.marker.toUtf8() + "'\n");
    EXPECT_EQ(runHelperWithUnreadOutput({app.program, QStringLiteral("+/afterupgrade0")}), 0);
    ASSERT_TRUE(app.started()) << "the new program ran past its warning";
    EXPECT_EQ(testfiles::readFileOrMissing(app.marker), "/afterupgrade|");

    // A release that cannot be installed: the helper's own line about it.
    ProgramFolder blocked;
    ASSERT_TRUE(QDir().mkpath(blocked.file(QStringLiteral("a.dat/inside"))));
    placeFile(blocked.file(QStringLiteral("a.dat.uTMP")), "new a");
    EXPECT_EQ(runHelperWithUnreadOutput({blocked.program, QStringLiteral("+/afterupgrade0")}), 3)
        << "rolled back, and told so";
}

TEST(SuHelper, APathWithSpacesIsRebuilt)
{
    ProgramFolder app(QStringLiteral("Program Files/Velmora  2"));
    placeFile(app.file(QStringLiteral("dorvak.dat.uTMP")), "new database");
    placeFile(app.file(QStringLiteral("Dorvak.exe.uTMP")), recorder(app.marker));
    // The program hands its path over whole; two spaces in a row survive.
    ASSERT_TRUE(app.runHelper({app.program, QStringLiteral("+/afterupgrade0")}));
    ASSERT_TRUE(app.started());
    EXPECT_EQ(testfiles::readFileOrMissing(app.file(QStringLiteral("dorvak.dat"))), "new database");

    // Split at every space, as a command line is, the single spaces of a
    // path are rebuilt.
    ProgramFolder split(QStringLiteral("My Apps/Velmora"));
    placeFile(split.file(QStringLiteral("Dorvak.exe.uTMP")), recorder(split.marker));
    QStringList arguments = split.program.split(u' ');
    arguments << QStringLiteral("+/afterupgrade0");
    ASSERT_TRUE(split.runHelper(arguments));
    ASSERT_TRUE(split.started());
    EXPECT_EQ(testfiles::readFileOrMissing(split.marker), "/afterupgrade|");
}

TEST(SuHelper, RunsAnExternalSetupThenTheProgram)
{
    ProgramFolder app;
    const QString setupMarker = app.temp.file(QStringLiteral("setup.txt"));
    placeFile(app.program, recorder(app.marker), true);
    placeFile(app.file(QStringLiteral("setup.exe.uTMP")), recorder(setupMarker, "setup:"));
    placeFile(app.file(QStringLiteral("dorvak.dat.uTMP")), "new database");
    ASSERT_TRUE(app.runHelper({app.program, QStringLiteral("+/afterupgrade1")}));
    ASSERT_TRUE(app.started());
    EXPECT_EQ(testfiles::readFileOrMissing(setupMarker), "setup:/afterupgrade|") << "the setup ran first";
    EXPECT_EQ(testfiles::readFileOrMissing(app.marker), "/afterupgrade|") << "then the unchanged program";
    EXPECT_EQ(testfiles::readFileOrMissing(app.program), recorder(app.marker));
    EXPECT_FALSE(QFile::exists(app.file(QStringLiteral("setup.exe")))) << "the setup is removed after it ran";
    EXPECT_EQ(testfiles::readFileOrMissing(app.file(QStringLiteral("dorvak.dat"))), "new database");
}

TEST(SuHelper, AFailureInTheMiddlePutsEveryFileBack)
{
    ProgramFolder app;
    placeFile(app.program, recorder(app.marker), true);
    placeFile(app.file(QStringLiteral("a.dat")), "old a");
    placeFile(app.file(QStringLiteral("c.dat")), "old c");
    // b.dat cannot be replaced: a folder of that name is in the way.
    ASSERT_TRUE(QDir().mkpath(app.file(QStringLiteral("b.dat/inside"))));
    placeFile(app.file(QStringLiteral("a.dat.uTMP")), "new a");
    placeFile(app.file(QStringLiteral("b.dat.uTMP")), "new b");
    placeFile(app.file(QStringLiteral("c.dat.uTMP")), "new c");
    placeFile(app.file(QStringLiteral("Dorvak.exe.uTMP")), "#!/bin/sh\necho broken release\n");
    ASSERT_TRUE(app.runHelper({app.program, QStringLiteral("+/afterupgrade0")}));
    // The unchanged program is started again, without the restart argument.
    ASSERT_TRUE(app.started());
    EXPECT_EQ(testfiles::readFileOrMissing(app.marker), "|");
    EXPECT_EQ(testfiles::readFileOrMissing(app.file(QStringLiteral("a.dat"))), "old a") << "installed first, then put back";
    EXPECT_EQ(testfiles::readFileOrMissing(app.file(QStringLiteral("c.dat"))), "old c");
    EXPECT_EQ(testfiles::readFileOrMissing(app.program), recorder(app.marker));
    EXPECT_TRUE(QFileInfo(app.file(QStringLiteral("b.dat/inside"))).isDir());
    EXPECT_TRUE(app.downloads().isEmpty()) << "no part of the failed release waits to be installed later";
    EXPECT_EQ(testfiles::readFileOrMissing(app.file(QStringLiteral("dorvak.dat"))), "old database");
}

TEST(SuHelper, WaitsForTheProgramOnlyUpToItsBound)
{
    ProgramFolder app;
    // A copy of a real program, running from the program folder.
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), app.program + QStringLiteral(".run")));
    ASSERT_TRUE(QFile::remove(app.program));
    ASSERT_TRUE(QFile::rename(app.program + QStringLiteral(".run"), app.program));
    const qint64 pid = platform::spawnProcess(app.program, {QStringLiteral("30")});
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return platform::executableInUse(app.program); }, 10000));
    placeFile(app.file(QStringLiteral("dorvak.dat.uTMP")), "new database");

    EXPECT_FALSE(suWaitUntilFree(app.program, 300, 50));
    EXPECT_EQ(suRunHelper({app.program, QStringLiteral("/afterupgrade"), false}, 300),
              TsuHelperOutcome::StillRunning);
    EXPECT_EQ(testfiles::readFileOrMissing(app.file(QStringLiteral("dorvak.dat"))), "old database") << "nothing installed";
    EXPECT_TRUE(app.downloads().isEmpty());

    ::kill(static_cast<pid_t>(pid), SIGTERM);
    platform::waitForProcessExit(pid);
    EXPECT_TRUE(suWaitUntilFree(app.program, 10000, 50));
}
