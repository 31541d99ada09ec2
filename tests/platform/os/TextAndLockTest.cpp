#include "platform/os/ExecutablePath.h"
#include "platform/os/Gb2312.h"
#include "platform/os/NamedMutex.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <future>

#include <gtest/gtest.h>

using namespace platform;

TEST(Gb2312Test, ChineseCharactersCountTwoBytes)
{
    EXPECT_EQ(gb2312Length(QString()), 0);
    EXPECT_EQ(gb2312Length(QStringLiteral("abc")), 3);
    EXPECT_EQ(gb2312Length(QStringLiteral("省份")), 4);
    EXPECT_EQ(gb2312Length(QStringLiteral("法人、联系人")), 12);
    EXPECT_EQ(gb2312Length(QStringLiteral("北京市A1")), 8);
    // A character without a code in the page still counts, as one "?".
    EXPECT_EQ(toGb2312(QStringLiteral("a😀b")), QByteArray("a?b"));
}

TEST(Gb2312Test, ComparesInCodePageOrderNotUnicodeOrder)
{
    // 安 (B0B2) comes before 北 (B1B1) in the code page, after it in Unicode.
    EXPECT_LT(compareGb2312(QStringLiteral("安徽省"), QStringLiteral("北京市")), 0);
    EXPECT_GT(QStringLiteral("安徽省").compare(QStringLiteral("北京市")), 0);
    EXPECT_EQ(compareGb2312(QStringLiteral("浙江"), QStringLiteral("浙江")), 0);
    EXPECT_LT(compareGb2312(QStringLiteral("浙"), QStringLiteral("浙江")), 0);
}

TEST(NamedMutexTest, SecondHolderSeesTheFirstUntilItGoes)
{
    const QString name = QStringLiteral("VelmoraTest-%1").arg(QCoreApplication::applicationPid());
    auto first = std::make_unique<NamedMutex>(name);
    EXPECT_FALSE(first->alreadyExists());
    {
        NamedMutex second(name);
        EXPECT_TRUE(second.alreadyExists());
    }
    EXPECT_FALSE(NamedMutex(QStringLiteral("%1-other").arg(name)).alreadyExists());
    first.reset();
    NamedMutex third(name);
    EXPECT_FALSE(third.alreadyExists());
}

// A later copy asks the holder to come forward through the socket beside the
// lock; only the user reaches it, and without a holder the request fails at once.
TEST(NamedMutexTest, LaterCopyReachesTheHolderThroughItsPrivateSocket)
{
    const QString name = QStringLiteral("VelmoraFront-%1").arg(QCoreApplication::applicationPid());
    NamedMutex holder(name);
    ASSERT_FALSE(holder.alreadyExists());
    int requests = 0;
    ASSERT_TRUE(holder.listenForRequests([&] { ++requests; }));
    EXPECT_FALSE(holder.listenForRequests([] {})) << "one socket per holder";
    EXPECT_EQ(QFileInfo(holder.socketPath()).absolutePath(), QFileInfo(holder.lockPath()).absolutePath());
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFileInfo(holder.socketPath()).permissions() & others, QFile::Permissions());

    NamedMutex later(name);
    ASSERT_TRUE(later.alreadyExists());
    EXPECT_FALSE(later.listenForRequests([] {})) << "only the holder listens";
    for (int i = 1; i <= 2; ++i) {
        // The request waits for the holder's answer, which this thread's event loop gives.
        auto delivered = std::async(std::launch::async, [&] { return later.requestHolderToFront(5000); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return requests == i; }, 5000));
        EXPECT_TRUE(delivered.get());
    }

    NamedMutex alone(name + QStringLiteral("-alone"));
    EXPECT_FALSE(alone.requestHolderToFront(5000));
}

TEST(ExecutablePathTest, FolderOfTheRunningProgramEndsInASlash)
{
    const QString folder = executableFolder();
    EXPECT_TRUE(folder.endsWith(QLatin1Char('/')));
    EXPECT_EQ(QFileInfo(executablePath()).fileName(), QStringLiteral("test_platform_os"));
    EXPECT_EQ(folder, QFileInfo(executablePath()).absolutePath() + QLatin1Char('/'));
}
