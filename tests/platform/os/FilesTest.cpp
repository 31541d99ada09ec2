#include "platform/os/Files.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

TEST(Files, TempFolderFollowsTmpdirWithATrailingSlash)
{
    const QByteArray old = qgetenv("TMPDIR");
    const bool had = qEnvironmentVariableIsSet("TMPDIR");
    qputenv("TMPDIR", "/var/tmp");
    EXPECT_EQ(platform::tempFolder(), QStringLiteral("/var/tmp/"));
    qunsetenv("TMPDIR");
    EXPECT_EQ(platform::tempFolder(), QStringLiteral("/tmp/"));
    if (had)
        qputenv("TMPDIR", old);
}

TEST(Files, SetsTimesAndReadsSizes)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("t.bin"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4321, 'q'));
    }
    EXPECT_EQ(platform::fileSize64(path), 4321);
    EXPECT_EQ(platform::fileSize64(dir.path()), -1) << "a folder has no file size";
    EXPECT_EQ(platform::fileSize64(dir.file(QStringLiteral("none"))), -1);
    EXPECT_TRUE(platform::isDirectory(dir.path()));
    EXPECT_FALSE(platform::isDirectory(path));

    const qint64 modified = 1000000000123; // 2001-09-09, milliseconds
    const qint64 accessed = QFileInfo(path).lastRead().toMSecsSinceEpoch();
    ASSERT_TRUE(platform::setFileTimes(path, std::nullopt, modified));
    QFileInfo info(path);
    EXPECT_EQ(info.lastModified().toMSecsSinceEpoch(), modified);
    EXPECT_EQ(info.lastRead().toMSecsSinceEpoch(), accessed);

    ASSERT_TRUE(platform::setFileTimes(path, modified - 5000, std::nullopt));
    info.refresh();
    EXPECT_EQ(info.lastRead().toMSecsSinceEpoch(), modified - 5000);
    EXPECT_EQ(info.lastModified().toMSecsSinceEpoch(), modified);

    EXPECT_FALSE(platform::setFileTimes(dir.file(QStringLiteral("none")), modified, modified));
}
