// The single-instance lock in folders another local user may have prepared:
// a folder that is not the user's own with mode 0700, a link planted as the
// lock file or as the socket. None of them is used or followed, and nothing
// is created where a link points.

#include "platform/os/NamedMutex.h"
#include "support/QStringPrint.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <gtest/gtest.h>

#include <iostream>

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

// A uid no account of the test machine uses.
constexpr uid_t kOtherUser = 4242;

QString uniqueName(const char *what)
{
    return QStringLiteral("VelmoraLock%1-%2")
        .arg(QLatin1String(what))
        .arg(QCoreApplication::applicationPid());
}

// A folder of the given mode (and owner, when given), inside the test's folder.
QString makeFolder(const TempDir &dir, const QString &name, mode_t mode)
{
    const QString path = dir.file(name);
    EXPECT_TRUE(QDir().mkpath(path));
    EXPECT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
    return path;
}

QString entriesOf(const QString &folder)
{
    return QDir(folder)
        .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
        .join(QStringLiteral(", "));
}

bool isInside(const QString &path, const QString &folder)
{
    return !path.isEmpty() && QFileInfo(path).absolutePath() == QFileInfo(folder).absoluteFilePath();
}

} // namespace

// $XDG_RUNTIME_DIR and /tmp/velmora-<uid> are made by whoever comes first;
// one of another user, or one that others may write or enter, is passed
// over for the next folder, and nothing is made in it.
TEST(LockFolderTest, AFolderOfAnotherUserOrWithAnotherModeIsNeverUsed)
{
    TempDir dir;
    const QString good = makeFolder(dir, QStringLiteral("good"), 0700);

    struct Case
    {
        const char *name;
        mode_t mode;
        bool otherOwner;
    };
    for (const Case &c : {Case{"other-owner", 0700, true}, Case{"readable-by-others", 0755, false},
                          Case{"writable-by-all", 01777, false}, Case{"too-narrow", 0500, false}}) {
        SCOPED_TRACE(c.name);
        const QString folder = makeFolder(dir, QLatin1String(c.name), c.mode);
        if (c.otherOwner) {
            // Only root can give a folder to another user (the tests run as root in CI).
            if (::geteuid() != 0) {
                std::cout << "[  SKIPPED ] a folder of another user: the tests do not run as root\n";
                continue;
            }
            ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), kOtherUser, kOtherUser), 0);
        }
        {
            // As the program starts: the runtime folder from the environment.
            const ScopedEnv runtime("XDG_RUNTIME_DIR", QFile::encodeName(folder));
            NamedMutex mutex(uniqueName(c.name));
            EXPECT_FALSE(mutex.alreadyExists());
            EXPECT_FALSE(isInside(mutex.lockPath(), folder)) << mutex.lockPath().toStdString();
            EXPECT_TRUE(mutex.listenForRequests([] {}));
            EXPECT_FALSE(isInside(mutex.socketPath(), folder)) << mutex.socketPath().toStdString();
        }
        {
            NamedMutex first(uniqueName(c.name), {folder, good});
            EXPECT_TRUE(isInside(first.lockPath(), good)) << first.lockPath().toStdString();
            // Every copy passes over the same folder, so they still meet at one lock.
            NamedMutex second(uniqueName(c.name), {folder, good});
            EXPECT_TRUE(second.alreadyExists());
        }
        EXPECT_EQ(entriesOf(folder), QString());
        struct stat info
        {
        };
        ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.mode) << "left as it was";
    }

    // A link to a good folder is not a folder of the user's own either.
    const QString link = dir.file(QStringLiteral("link-to-good"));
    ASSERT_TRUE(QFile::link(good, link));
    NamedMutex throughLink(uniqueName("link"), {link, makeFolder(dir, QStringLiteral("last"), 0700)});
    EXPECT_TRUE(isInside(throughLink.lockPath(), dir.file(QStringLiteral("last"))));

    // Without any safe folder there is no lock: the program runs as the only copy.
    const QString open = makeFolder(dir, QStringLiteral("open"), 0777);
    NamedMutex none(uniqueName("none"), {open});
    EXPECT_FALSE(none.alreadyExists());
    EXPECT_TRUE(none.lockPath().isEmpty());
    EXPECT_FALSE(none.listenForRequests([] {}));
    EXPECT_EQ(entriesOf(open), QString());
}

// A link planted as the lock file is not followed: the file it points at
// is never created, and the lock goes to the next folder.
TEST(LockFolderTest, ALinkPlantedAsTheLockFileIsNotFollowed)
{
    TempDir dir;
    const QString runtime = makeFolder(dir, QStringLiteral("runtime"), 0700);
    const QString name = uniqueName("planted");
    const QString target = dir.file(QStringLiteral("installed-by-package-manager"));
    ASSERT_TRUE(QFile::link(target, runtime + QLatin1Char('/') + name + QStringLiteral(".lock")));
    const QString precious = dir.file(QStringLiteral("precious"));
    {
        QFile file(precious);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the user's own");
    }
    ASSERT_TRUE(QFile::link(precious, runtime + QLatin1Char('/') + name + QStringLiteral("-2.lock")));

    const ScopedEnv env("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    NamedMutex dangling(name);
    EXPECT_FALSE(QFileInfo::exists(target)) << "created through the link";
    EXPECT_FALSE(dangling.alreadyExists());
    EXPECT_FALSE(isInside(dangling.lockPath(), runtime));

    NamedMutex toFile(name + QStringLiteral("-2"));
    EXPECT_FALSE(isInside(toFile.lockPath(), runtime));
    // A lock taken through the link would hold the file the link points at.
    QFile file(precious);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(::flock(file.handle(), LOCK_EX | LOCK_NB), 0) << "locked through the link";
    EXPECT_EQ(file.readAll(), "the user's own");
}

// The holder's socket replaces a link planted under its name; a later copy
// asks only a socket of the user's own, never one a link leads to.
TEST(LockFolderTest, ALinkPlantedAsTheSocketIsNotFollowed)
{
    TempDir dir;
    const QString runtime = makeFolder(dir, QStringLiteral("runtime"), 0700);
    const ScopedEnv env("XDG_RUNTIME_DIR", QFile::encodeName(runtime));

    // Before the holder listens.
    {
        const QString name = uniqueName("socket");
        NamedMutex holder(name);
        ASSERT_TRUE(isInside(holder.lockPath(), runtime));
        const QString target = dir.file(QStringLiteral("made-through-the-link"));
        ASSERT_TRUE(QFile::link(target, holder.socketPath()));
        ASSERT_TRUE(holder.listenForRequests([] {}));
        EXPECT_FALSE(QFileInfo::exists(target));
        EXPECT_FALSE(QFileInfo(holder.socketPath()).isSymLink());
    }

    // A holder that does not listen, and a link to someone else's socket.
    const QString name = uniqueName("decoy");
    NamedMutex holder(name);
    ASSERT_TRUE(isInside(holder.lockPath(), runtime));
    QLocalServer decoy;
    ASSERT_TRUE(decoy.listen(dir.file(QStringLiteral("decoy"))));
    ASSERT_TRUE(QFile::link(decoy.fullServerName(), holder.socketPath()));
    NamedMutex later(name);
    ASSERT_TRUE(later.alreadyExists());
    EXPECT_FALSE(later.requestHolderToFront(500));
    // A connection would be waiting already: connecting ends before the request does.
    EXPECT_FALSE(decoy.waitForNewConnection(0)) << "the request went through the link";
}
