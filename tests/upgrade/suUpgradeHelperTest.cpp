#include "upgrade/helper/suUpgradeHelper.h"

#include "platform/os/PrivateFiles.h"
#include "platform/os/Processes.h"
#include "support/FileBytes.h"
#include "support/QStringPrint.h"
#include "support/TempDir.h"
#include "upgrade/helper/suUpgradeFolder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using testfiles::sha256;

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

mode_t modeOf(const QString &path)
{
    struct stat info
    {
    };
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
}

// A program that writes its arguments (each followed by '|') to a file.
QByteArray recorder(const QString &marker, const QByteArray &tag = {})
{
    return "#!/bin/sh\nprintf '" + tag + "%s|' \"$@\" > '" + marker.toUtf8() + "'\n";
}

// A folder set up as the program's folder after a download: the program, an
// old database, the downloads in the private download folder and the
// hand-over list beside a copy of the helper in a private folder.
struct ProgramFolder
{
    TempDir temp;
    QString folder;
    QString program, marker;
    TsuInstallList list;

    explicit ProgramFolder(const QString &subfolder = QStringLiteral("app"))
    {
        folder = temp.path() + u'/' + subfolder + u'/';
        EXPECT_TRUE(QDir().mkpath(folder));
        program = folder + QStringLiteral("Dorvak");
        marker = temp.file(QStringLiteral("started.txt"));
        placeFile(program, "#!/bin/sh\nexit 0\n", true);
        placeFile(folder + QStringLiteral("dorvak.dat"), "old database");
        EXPECT_TRUE(suPrepareDownloadFolder(folder));
    }
    QString file(const QString &name) const { return folder + name; }

    // A download of the release, and its line in the list.
    void stage(const QString &name, const QByteArray &bytes, TsuInstallRole role = TsuInstallRole::File)
    {
        placeFile(suDownloadPath(folder, sha256(bytes)), bytes);
        list.Files << TsuInstallEntry{name, bytes.size(), sha256(bytes), role};
    }
    // The helper and its list in a private folder, as the program leaves them.
    QString handOver() const
    {
        const QString helperFolder = platform::createPrivateFolder(temp.path(), QStringLiteral("helper-"));
        EXPECT_FALSE(helperFolder.isEmpty());
        EXPECT_TRUE(QFile::copy(helperProgram(), helperFolder + QStringLiteral("Updater.exe")));
        EXPECT_TRUE(platform::writeNewFile(helperFolder + kInstallListName, suWriteInstallList(list), 0600));
        return helperFolder;
    }
    int runHelper(const QStringList &arguments) const
    {
        return QProcess::execute(handOver() + QStringLiteral("Updater.exe"), arguments);
    }
    bool started() const
    {
        return QTest::qWaitFor([&] { return QFileInfo(marker).size() > 0; }, 15000);
    }
    QByteArray read(const QString &name) const { return testfiles::readFileOrMissing(file(name)); }
    // The program folder's files and contents, its upgrade folder left out.
    QMap<QString, QByteArray> contents() const
    {
        QMap<QString, QByteArray> files;
        for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
            files.insert(name, read(name));
        return files;
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

TEST(SuInstallList, ReadsBackWhatIsWrittenAndRefusesWhatCannotBeInstalled)
{
    const QString hash = sha256("x");
    TsuInstallList list;
    list.Version = QStringLiteral("2.1");
    list.Files = {{QStringLiteral("dorvak.dat"), 5000000000, hash, TsuInstallRole::File},
                  {QStringLiteral("Dorvak"), 3, sha256("abc"), TsuInstallRole::Program}};
    const std::optional<TsuInstallList> back = suReadInstallList(suWriteInstallList(list));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Version, list.Version);
    ASSERT_EQ(back->Files.size(), 2);
    EXPECT_EQ(back->Files.at(0).Size, 5000000000) << "64-bit sizes";
    EXPECT_EQ(back->Files.at(1).Role, TsuInstallRole::Program);

    const auto refused = [&](const QByteArray &lines) {
        return !suReadInstallList("velmora-install 1\n" + lines + "end\n").has_value();
    };
    const QByteArray line = "file\tfile\t1\t" + hash.toLatin1() + '\t';
    EXPECT_FALSE(refused(line + "a.dat\n"));
    for (const char *name : {".velmora-upgrade", "..", "a/b", "../Dorvak", ""})
        EXPECT_TRUE(refused(line + name + '\n')) << name;
    EXPECT_TRUE(refused(line + "a.dat\n" + line + "a.dat\n")) << "a name twice";
    EXPECT_TRUE(
        refused("file\tprogram\t1\t" + hash.toLatin1() + "\ta\nfile\tsetup\t1\t" + hash.toLatin1() + "\tb\n"))
        << "two programs";
    EXPECT_TRUE(refused("file\tfile\t-1\t" + hash.toLatin1() + "\ta.dat\n"));
    EXPECT_TRUE(refused("file\tfile\t1\t" + hash.toUpper().toLatin1() + "\ta.dat\n"));
    EXPECT_TRUE(refused("version\t2 beta\n"));
    EXPECT_FALSE(suReadInstallList("velmora-install 1\n" + line + "a.dat\n").has_value()) << "not whole";
}

TEST(SuHelperPlan, TheProgramEntryReplacesTheProgramAndRepeatedContentIsCopied)
{
    ProgramFolder app;
    app.stage(QStringLiteral("dorvak.dat"), "d");
    app.stage(QStringLiteral("Dorvak"), "p", TsuInstallRole::Program);
    app.stage(QStringLiteral("same.dat"), "d");
    const TsuHelperPlan plan =
        suPlanReplacement({app.program, QStringLiteral("/afterupgrade"), false}, app.list);
    ASSERT_EQ(plan.Files.size(), 3u);
    EXPECT_EQ(plan.Files[0].source, suDownloadPath(app.folder, sha256("d")));
    EXPECT_EQ(plan.Files[0].target, app.file(QStringLiteral("dorvak.dat")));
    EXPECT_EQ(plan.Files[1].target, app.program);
    EXPECT_TRUE(plan.Files[1].executable);
    ASSERT_EQ(plan.Copies.size(), 1u) << "one download, moved in under one name only";
    EXPECT_EQ(plan.Files[2].source, plan.Copies[0].second);
    EXPECT_TRUE(plan.SetupProgram.isEmpty());
}

TEST(SuHelper, InstallsExactlyTheListAndRecordsItsVersion)
{
    ProgramFolder app;
    app.stage(QStringLiteral("dorvak.dat"), "new database");
    app.stage(QStringLiteral("softup.dll"), "[SYS]\nUPDATESET=2\n");
    app.stage(QStringLiteral("Dorvak"), recorder(app.marker), TsuInstallRole::Program);
    app.list.Version = QStringLiteral("2");
    // What lies about from other upgrades is never installed: a download
    // left beside the program by an older version, a part and a whole file
    // of the download folder that the list does not name.
    placeFile(app.file(QStringLiteral("Dorvak.exe.uTMP")), "#!/bin/sh\necho stale partial\n");
    placeFile(suPartialDownloadPath(app.folder, sha256("evil")), "evil");
    placeFile(suDownloadPath(app.folder, sha256("other")), "other");
    ::chmod(QFile::encodeName(app.program).constData(), 0750);

    EXPECT_EQ(app.runHelper({app.program, QStringLiteral("+/afterupgrade0")}), 0);
    ASSERT_TRUE(app.started());
    EXPECT_EQ(testfiles::readFileOrMissing(app.marker), "/afterupgrade|");
    EXPECT_EQ(app.contents(),
              (QMap<QString, QByteArray>{{QStringLiteral("Dorvak"), recorder(app.marker)},
                                         {QStringLiteral("dorvak.dat"), "new database"},
                                         {QStringLiteral("softup.dll"), "[SYS]\nUPDATESET=2\n"}}));
    EXPECT_EQ(modeOf(app.program), 0750u) << "the mode of the program it replaced";
    EXPECT_EQ(suReadVersionRecord(app.folder), QStringLiteral("2"));
    EXPECT_FALSE(QFileInfo::exists(suSwapJournal(app.folder).journalFile));
    EXPECT_FALSE(QFileInfo::exists(suSwapJournal(app.folder).backupFolder)) << "no backup is left";
}

TEST(SuHelper, ADownloadChangedAfterItWasCheckedIsNotInstalled)
{
    ProgramFolder app;
    placeFile(app.program, recorder(app.marker), true);
    app.stage(QStringLiteral("dorvak.dat"), "new database");
    app.stage(QStringLiteral("softup.dll"), "[SYS]\nUPDATESET=2\n");
    app.list.Version = QStringLiteral("2");
    const auto before = app.contents();
    // Rewritten between the program's check and the helper's swap.
    placeFile(suDownloadPath(app.folder, sha256("[SYS]\nUPDATESET=2\n")), "[SYS]\nUPDATESET=9\n");

    EXPECT_EQ(app.runHelper({app.program, QStringLiteral("+/afterupgrade0")}), 5);
    ASSERT_TRUE(app.started());
    EXPECT_EQ(testfiles::readFileOrMissing(app.marker), "|") << "the unchanged program, without R";
    EXPECT_EQ(app.contents(), before);
    EXPECT_EQ(suReadVersionRecord(app.folder), QString());
}

namespace {

// Runs the helper with its standard output and error on a pipe whose
// reader is gone; returns its exit code, or -1 when a signal ended it.
int runHelperWithUnreadOutput(const ProgramFolder &app, const QStringList &arguments)
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
    helper.start(app.handOver() + QStringLiteral("Updater.exe"), arguments);
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
    app.stage(QStringLiteral("Dorvak"),
              "#!/bin/sh\necho 'a warning' >&2\nprintf '%s|' \"$@\" > '" + app.marker.toUtf8() + "'\n",
              TsuInstallRole::Program);
    EXPECT_EQ(runHelperWithUnreadOutput(app, {app.program, QStringLiteral("+/afterupgrade0")}), 0);
    ASSERT_TRUE(app.started()) << "the new program ran past its warning";
    EXPECT_EQ(testfiles::readFileOrMissing(app.marker), "/afterupgrade|");

    // A release that cannot be installed: the helper's own line about it.
    ProgramFolder blocked;
    ASSERT_TRUE(QDir().mkpath(blocked.file(QStringLiteral("a.dat/inside"))));
    blocked.stage(QStringLiteral("a.dat"), "new a");
    EXPECT_EQ(runHelperWithUnreadOutput(blocked, {blocked.program, QStringLiteral("+/afterupgrade0")}), 3)
        << "rolled back, and told so";
}

TEST(SuHelper, APathWithSpacesIsRebuilt)
{
    ProgramFolder app(QStringLiteral("Program Files/Velmora  2"));
    app.stage(QStringLiteral("dorvak.dat"), "new database");
    app.stage(QStringLiteral("Dorvak"), recorder(app.marker), TsuInstallRole::Program);
    // The program hands its path over whole; two spaces in a row survive.
    EXPECT_EQ(app.runHelper({app.program, QStringLiteral("+/afterupgrade0")}), 0);
    ASSERT_TRUE(app.started());
    EXPECT_EQ(app.read(QStringLiteral("dorvak.dat")), "new database");

    // Split at every space, as a command line is, the single spaces of a
    // path are rebuilt.
    ProgramFolder split(QStringLiteral("My Apps/Velmora"));
    split.stage(QStringLiteral("Dorvak"), recorder(split.marker), TsuInstallRole::Program);
    QStringList arguments = split.program.split(u' ');
    arguments << QStringLiteral("+/afterupgrade0");
    EXPECT_EQ(split.runHelper(arguments), 0);
    ASSERT_TRUE(split.started());
    EXPECT_EQ(testfiles::readFileOrMissing(split.marker), "/afterupgrade|");
}

TEST(SuHelper, RunsAnExternalSetupThenTheProgram)
{
    ProgramFolder app;
    const QString setupMarker = app.temp.file(QStringLiteral("setup.txt"));
    placeFile(app.program, recorder(app.marker), true);
    app.stage(QStringLiteral("setup.exe"), recorder(setupMarker, "setup:"), TsuInstallRole::Setup);
    app.stage(QStringLiteral("dorvak.dat"), "new database");
    EXPECT_EQ(app.runHelper({app.program, QStringLiteral("+/afterupgrade1")}), 0);
    ASSERT_TRUE(app.started());
    EXPECT_EQ(testfiles::readFileOrMissing(setupMarker), "setup:/afterupgrade|") << "the setup ran first";
    EXPECT_EQ(testfiles::readFileOrMissing(app.marker), "/afterupgrade|") << "then the unchanged program";
    EXPECT_EQ(testfiles::readFileOrMissing(app.program), recorder(app.marker));
    EXPECT_FALSE(QFile::exists(app.file(QStringLiteral("setup.exe")))) << "the setup is removed after it ran";
    EXPECT_EQ(app.read(QStringLiteral("dorvak.dat")), "new database");
}

TEST(SuHelper, AFailureInTheMiddlePutsEveryFileBack)
{
    ProgramFolder app;
    placeFile(app.program, recorder(app.marker), true);
    placeFile(app.file(QStringLiteral("a.dat")), "old a");
    placeFile(app.file(QStringLiteral("c.dat")), "old c");
    // b.dat cannot be replaced: a folder of that name is in the way.
    ASSERT_TRUE(QDir().mkpath(app.file(QStringLiteral("b.dat/inside"))));
    app.stage(QStringLiteral("a.dat"), "new a");
    app.stage(QStringLiteral("b.dat"), "new b");
    app.stage(QStringLiteral("c.dat"), "new c");
    app.stage(QStringLiteral("Dorvak"), "#!/bin/sh\necho broken release\n", TsuInstallRole::Program);
    app.list.Version = QStringLiteral("3");
    const auto before = app.contents();
    EXPECT_EQ(app.runHelper({app.program, QStringLiteral("+/afterupgrade0")}), 3);
    // The unchanged program is started again, without the restart argument.
    ASSERT_TRUE(app.started());
    EXPECT_EQ(testfiles::readFileOrMissing(app.marker), "|");
    EXPECT_EQ(app.contents(), before) << "installed in part, then put back";
    EXPECT_TRUE(QFileInfo(app.file(QStringLiteral("b.dat/inside"))).isDir());
    EXPECT_EQ(suReadVersionRecord(app.folder), QString())
        << "no version recorded for a release not installed";
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
    app.stage(QStringLiteral("dorvak.dat"), "new database");
    const QString list = app.handOver() + kInstallListName;

    EXPECT_FALSE(suWaitUntilFree(app.program, 300, 50));
    EXPECT_EQ(suRunHelper({app.program, QStringLiteral("/afterupgrade"), false}, list, 300),
              TsuHelperOutcome::StillRunning);
    EXPECT_EQ(app.read(QStringLiteral("dorvak.dat")), "old database") << "nothing installed";

    ::kill(static_cast<pid_t>(pid), SIGTERM);
    platform::waitForProcessExit(pid);
    EXPECT_TRUE(suWaitUntilFree(app.program, 10000, 50));
}

namespace {

// The releases of the kill test: a program that says which it is, its
// database and version file.
const QMap<QString, QByteArray> kOldRelease = {{QStringLiteral("Dorvak"), "#!/bin/sh\necho release 1\n"},
                                               {QStringLiteral("dorvak.dat"), "database 1"},
                                               {QStringLiteral("softup.dll"), "[SYS]\nUPDATESET=1\n"}};
const QMap<QString, QByteArray> kNewRelease = {{QStringLiteral("Dorvak"), "#!/bin/sh\necho release 2\n"},
                                               {QStringLiteral("dorvak.dat"), "database 2"},
                                               {QStringLiteral("softup.dll"), "[SYS]\nUPDATESET=2\n"},
                                               {QStringLiteral("notes.txt"), "new in release 2"}};

// Sets up release 1 with release 2 downloaded and listed.
void prepareUpgrade(ProgramFolder &app)
{
    for (auto it = kOldRelease.begin(); it != kOldRelease.end(); ++it)
        placeFile(app.file(it.key()), it.value(), it.key() == QStringLiteral("Dorvak"));
    for (auto it = kNewRelease.begin(); it != kNewRelease.end(); ++it)
        app.stage(it.key(), it.value(),
                  it.key() == QStringLiteral("Dorvak") ? TsuInstallRole::Program : TsuInstallRole::File);
    app.list.Version = QStringLiteral("2");
}

// Runs the helper in a child process that is killed (SIGKILL) right after
// the swap's step `killAt`; returns how many steps the swap reached.
int runHelperKilledAt(const ProgramFolder &app, int killAt)
{
    const QString list = app.handOver() + kInstallListName;
    int steps[2];
    if (::pipe(steps) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(steps[0]);
        const platform::SwapStepHook hook = [&](int step) {
            const char reached = char(step);
            (void)!::write(steps[1], &reached, 1);
            if (step == killAt)
                ::raise(SIGKILL);
        };
        // Only the swap, as the helper runs it: no program is started here.
        const TsuInstallList installList = *suReadInstallList(testfiles::readFile(list));
        TsuHelperPlan plan = suPlanReplacement({app.program, {}, false}, installList);
        const QString record = suVersionRecordPath(app.folder);
        platform::writeNewFile(record + QStringLiteral(".new"), "[SYS]\r\nUPDATESET=2\r\n", 0600);
        plan.Files.push_back({record + QStringLiteral(".new"), record, false});
        platform::replaceFilesAtomically(plan.Files, suSwapJournal(app.folder), nullptr, hook);
        ::_exit(0);
    }
    ::close(steps[1]);
    int reached = 0;
    char step = 0;
    while (::read(steps[0], &step, 1) == 1)
        reached = step;
    ::close(steps[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return reached;
}

QByteArray runProgram(const QString &program)
{
    QProcess run;
    run.start(program, {});
    run.waitForFinished(10000);
    return run.readAllStandardOutput();
}

} // namespace

// The helper killed after each step of its swap, then the program started
// as a user would start it: every time the folder holds exactly the old
// release or exactly the new one, with its version, and the program runs.
TEST(SuHelper, KilledAtAnyStepOfTheSwapTheNextStartFindsOneWholeRelease)
{
    int total = 0;
    {
        ProgramFolder whole;
        prepareUpgrade(whole);
        total = runHelperKilledAt(whole, -1);
        EXPECT_EQ(whole.contents(), kNewRelease);
    }
    // The plan, three backups, four files and the record moved in, the plan
    // removed, four backups removed (the record's too).
    ASSERT_GE(total, 10);
    bool sawOld = false, sawNew = false;
    for (int killAt = 1; killAt <= total; ++killAt) {
        SCOPED_TRACE(killAt);
        ProgramFolder app;
        prepareUpgrade(app);
        ASSERT_EQ(runHelperKilledAt(app, killAt), killAt);

        // What Dorvak does first when it starts.
        suTidyProgramFolder(app.folder);
        const QMap<QString, QByteArray> now = app.contents();
        const bool isOld = now == kOldRelease, isNew = now == kNewRelease;
        EXPECT_TRUE(isOld || isNew) << now.keys().join(u' ').toStdString();
        sawOld |= isOld;
        sawNew |= isNew;
        EXPECT_EQ(suReadVersionRecord(app.folder), isNew ? QStringLiteral("2") : QString());
        EXPECT_EQ(runProgram(app.program), isNew ? "release 2\n" : "release 1\n") << "the program starts";
        EXPECT_FALSE(QFileInfo::exists(suSwapJournal(app.folder).journalFile));
        EXPECT_FALSE(QFileInfo::exists(suSwapJournal(app.folder).backupFolder));
    }
    EXPECT_TRUE(sawOld && sawNew) << "killed before the swap stood and after";
}
