#include "platform/os/BulkFileWriter.h"
#include "platform/os/FileSwap.h"
#include "platform/os/FreshFile.h"
#include "platform/os/IniFile.h"
#include "platform/os/PrivateFiles.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using testfiles::writeFile;

QByteArray readFile(const QString &path)
{
    return testfiles::readFileOrMissing(path);
}

mode_t modeOf(const QString &path)
{
    struct stat info
    {
    };
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
}

} // namespace

TEST(PrivateFiles, FolderIsPrivateAndAPlantedNameIsNeverFollowed)
{
    TempDir temp;
    const QString folder = platform::createPrivateFolder(temp.path(), QStringLiteral("upgrade-"));
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(folder.endsWith(u'/'));
    EXPECT_EQ(modeOf(folder.chopped(1)), 0700u);
    EXPECT_NE(platform::createPrivateFolder(temp.path(), QStringLiteral("upgrade-")), folder);

    const QString helper = folder + QStringLiteral("helper");
    ASSERT_TRUE(platform::writeNewFile(helper, "program", 0700));
    EXPECT_EQ(modeOf(helper), 0700u);
    EXPECT_FALSE(platform::writeNewFile(helper, "other", 0700)) << "an existing file is not overwritten";

    const QString victim = temp.file(QStringLiteral("victim"));
    writeFile(victim, "keep me");
    const QString planted = folder + QStringLiteral("planted");
    ASSERT_TRUE(QFile::link(victim, planted));
    EXPECT_FALSE(platform::writeNewFile(planted, "evil", 0700));
    EXPECT_EQ(readFile(victim), "keep me");
}

TEST(PrivateFiles, RemovesOnlyItsOwnFoldersAndNeverThroughALink)
{
    TempDir temp, elsewhere;
    const QString mine = platform::createPrivateFolder(temp.path(), QStringLiteral("upgrade-"));
    ASSERT_TRUE(platform::writeNewFile(mine + QStringLiteral("helper"), "x", 0700));
    // A link named like one of the folders, pointing at someone's files.
    writeFile(elsewhere.file(QStringLiteral("precious")), "keep");
    ASSERT_TRUE(QFile::link(elsewhere.path(), temp.file(QStringLiteral("upgrade-AAAAAA"))));
    ASSERT_TRUE(QDir(temp.path()).mkdir(QStringLiteral("upgrade-kept-longer")));

    platform::removePrivateFolders(temp.path(), QStringLiteral("upgrade-"));
    EXPECT_FALSE(QFileInfo::exists(mine));
    EXPECT_EQ(readFile(elsewhere.file(QStringLiteral("precious"))), "keep");
    EXPECT_TRUE(QFileInfo(temp.file(QStringLiteral("upgrade-kept-longer"))).isDir());
}

TEST(FileSwap, KeepsPermissionBitsAndMakesTheProgramRunnable)
{
    TempDir temp;
    const QString data = temp.file(QStringLiteral("data")), program = temp.file(QStringLiteral("program"));
    writeFile(data, "old");
    ::chmod(QFile::encodeName(data).constData(), 0640);
    writeFile(data + QStringLiteral(".new"), "new");
    writeFile(program + QStringLiteral(".new"), "#!/bin/sh\n");
    ::chmod(QFile::encodeName(program + QStringLiteral(".new")).constData(), 0644);

    const QString work = temp.file(QStringLiteral("work"));
    ASSERT_TRUE(QDir().mkpath(work));
    const platform::SwapJournal journal{work + QStringLiteral("/journal"), work + QStringLiteral("/backup"),
                                        work + QStringLiteral("/lock")};
    ASSERT_TRUE(platform::replaceFilesAtomically(
        {{data + QStringLiteral(".new"), data, false}, {program + QStringLiteral(".new"), program, true}},
        journal));
    EXPECT_EQ(readFile(data), "new");
    EXPECT_EQ(modeOf(data), 0640u) << "the bits of the file it replaced";
    EXPECT_EQ(modeOf(program), 0755u) << "a new program: runnable, writable by its owner only";
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    EXPECT_EQ(QDir(work).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"lock"}))
        << "neither the plan nor a backup is left";

    // A source that is not a file fails before anything changes.
    QString failed;
    EXPECT_FALSE(platform::replaceFilesAtomically({{temp.file(QStringLiteral("absent")), data, false}},
                                                  journal, &failed));
    EXPECT_EQ(failed, data);
    EXPECT_EQ(readFile(data), "new");
}

// A plan left by a swap that was cut short puts every target back; with
// the plan gone, the backups it left are only removed.
TEST(FileSwap, RecoveryPutsBackWhatAnUnfinishedSwapChanged)
{
    TempDir temp;
    const QString a = temp.file(QStringLiteral("a")), b = temp.file(QStringLiteral("b"));
    writeFile(a, "old a");
    writeFile(a + QStringLiteral(".new"), "new a");
    writeFile(b + QStringLiteral(".new"), "new b");
    const platform::SwapJournal journal{temp.file(QStringLiteral("journal")),
                                        temp.file(QStringLiteral("backup")),
                                        temp.file(QStringLiteral("lock"))};
    // Stopped right after the first file went in: a throw stands for the crash.
    struct Crash
    {
    };
    try {
        platform::replaceFilesAtomically(
            {{a + QStringLiteral(".new"), a, false}, {b + QStringLiteral(".new"), b, false}}, journal,
            nullptr, [](int step) {
                if (step == 3)
                    throw Crash{};
            });
        FAIL() << "the swap was not stopped";
    } catch (const Crash &) {
    }
    EXPECT_EQ(readFile(a), "new a") << "the swap had begun";
    EXPECT_EQ(platform::recoverUnfinishedSwap(journal), platform::SwapRecovery::RolledBack);
    EXPECT_EQ(readFile(a), "old a");
    EXPECT_FALSE(QFile::exists(b));
    EXPECT_FALSE(QFile::exists(journal.journalFile));
    EXPECT_EQ(platform::recoverUnfinishedSwap(journal), platform::SwapRecovery::NothingToDo);

    // A plan that is not whole is not acted on.
    writeFile(journal.journalFile, "velmora-swap 1\nfile\t");
    EXPECT_EQ(platform::recoverUnfinishedSwap(journal), platform::SwapRecovery::Failed);
}

TEST(FreshFile, IsTheOwnersAloneWhateverTheUmask)
{
    TempDir temp;
    const mode_t saved = ::umask(0);
    const std::unique_ptr<QFile> file = platform::createFreshFile(temp.file(QStringLiteral("download")));
    ::umask(saved);
    ASSERT_TRUE(file);
    EXPECT_EQ(modeOf(temp.file(QStringLiteral("download"))), 0600u);
}

// Blocks go to the disk directly and whatever is not aligned through the
// cache, in order; on a file system without direct writes (tmpfs) all of it
// goes through the cache. A link planted under the name is replaced, never
// written through.
TEST(BulkFileWriter, WritesEveryByteInOrderDirectOrNot)
{
    TempDir temp, elsewhere;
    QStringList folders{temp.path()};
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        folders << QStringLiteral("/dev/shm");
    for (const QString &folder : std::as_const(folders)) {
        const QString path = folder + QStringLiteral("/velmora-bulk-%1").arg(::getpid());
        const QString target = elsewhere.file(QStringLiteral("target"));
        writeFile(target, "kept");
        ASSERT_TRUE(QFile::link(target, path));
        const std::unique_ptr<platform::BulkFileWriter> out = platform::BulkFileWriter::create(path);
        ASSERT_TRUE(out) << qPrintable(folder);
        const qint64 block = platform::BulkFileWriter::kAlignment;
        const platform::BulkFileWriter::AlignedBuffer aligned =
            platform::BulkFileWriter::alignedBuffer(3 * block);
        QByteArray expected;
        for (qint64 i = 0; i < 3 * block; ++i)
            aligned.get()[i] = char(i * 7 + 1);
        EXPECT_TRUE(out->write(aligned.get(), 2 * block));
        expected.append(aligned.get(), 2 * block);
        // A tail that is not whole blocks, then whole blocks again.
        EXPECT_TRUE(out->write(aligned.get() + 1, 1000));
        expected.append(aligned.get() + 1, 1000);
        EXPECT_TRUE(out->write(aligned.get(), block));
        expected.append(aligned.get(), block);
        EXPECT_TRUE(out->close());
        EXPECT_EQ(readFile(path), expected) << qPrintable(folder);
        EXPECT_EQ(modeOf(path), 0600u);
        EXPECT_FALSE(QFileInfo(path).isSymLink());
        EXPECT_EQ(readFile(target), "kept");
        QFile::remove(path);
    }
}

TEST(PrivateFiles, AnExistingFolderIsMadePrivateAndALinkIsRefused)
{
    TempDir temp, elsewhere;
    const QString folder = temp.file(QStringLiteral("upgrade"));
    ASSERT_TRUE(platform::ensurePrivateFolder(folder));
    EXPECT_EQ(modeOf(folder), 0700u);
    ::chmod(QFile::encodeName(folder).constData(), 0777);
    ASSERT_TRUE(platform::ensurePrivateFolder(folder + u'/'));
    EXPECT_EQ(modeOf(folder), 0700u);

    const QString link = temp.file(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(elsewhere.path(), link));
    EXPECT_FALSE(platform::ensurePrivateFolder(link));
    writeFile(temp.file(QStringLiteral("file")), "x");
    EXPECT_FALSE(platform::ensurePrivateFolder(temp.file(QStringLiteral("file"))));
}

TEST(IniFile, ReadsLikeTheProfileReader)
{
    TempDir temp;
    const QString path = temp.file(QStringLiteral("softup.dll"));
    writeFile(path, "[other]\nUPDATESET=9\n[sys]\nupdateset = \"2.1\" \nUpdateSet=3\nempty=\n");
    EXPECT_EQ(platform::readProfileString(path, QStringLiteral("SYS"), QStringLiteral("UPDATESET"), "Error"),
              QStringLiteral("2.1"));
    EXPECT_EQ(platform::readProfileString(path, QStringLiteral("SYS"), QStringLiteral("empty"), "Error"),
              QString());
    EXPECT_EQ(platform::readProfileString(path, QStringLiteral("SYS"), QStringLiteral("missing"), "Error"),
              QStringLiteral("Error"));
    EXPECT_EQ(platform::readProfileString(temp.file(QStringLiteral("none.ini")), QStringLiteral("SYS"),
                                          QStringLiteral("UPDATESET"), "Error"),
              QStringLiteral("Error"));
    EXPECT_THROW(
        platform::readProfileString(temp.path(), QStringLiteral("SYS"), QStringLiteral("UPDATESET"), "E"),
        platform::IniReadError)
        << "a folder in place of the file cannot be read";
}

// What the profile reader keeps that a general INI parser takes away: a
// value's text after " ;", an indented line as a key of its own, a long
// line read whole (and its tail never read as a line of its own).
TEST(IniFile, KeepsWhatTheProfileReaderKeeps)
{
    TempDir temp;
    const QString path = temp.file(QStringLiteral("softup.dll"));
    const QByteArray padding(300, 'x');
    writeFile(path, "\xEF\xBB\xBF[SYS]\r\n"
                    "UPDATESET=2.1 ;beta\r\n"
                    "NOTE=first\r\n"
                    "   INDENTED = own key\r\n"
                    "LONG=" +
                        padding +
                        "end\r\n"
                        // 199 bytes: where a reader of 200-byte lines breaks it.
                        "TAIL=" +
                        QByteArray(194, 'x') +
                        "FAKE=from the tail of a long line\r\n"
                        "COLON: not a key\r\n"
                        "\t[  Next ]\r\n"
                        "key=next section\r\n");
    const auto read = [&](const char *section, const char *key) {
        return platform::readProfileString(path, QLatin1String(section), QLatin1String(key), "Error");
    };
    EXPECT_EQ(read("SYS", "UPDATESET"), QStringLiteral("2.1 ;beta"));
    EXPECT_EQ(read("SYS", "NOTE"), QStringLiteral("first")) << "the indented line is no continuation";
    EXPECT_EQ(read("SYS", "INDENTED"), QStringLiteral("own key"));
    EXPECT_EQ(read("SYS", "LONG"), QString::fromLatin1(padding + "end"));
    EXPECT_EQ(read("SYS", "FAKE"), QStringLiteral("Error"));
    EXPECT_EQ(read("SYS", "COLON"), QStringLiteral("Error")) << "only \"=\" separates a key";
    EXPECT_EQ(read("Next", "key"), QStringLiteral("next section"));
    EXPECT_EQ(read("SYS", "key"), QStringLiteral("Error"));
}
