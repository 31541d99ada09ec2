#include "platform/os/ExecutablePath.h"
#include "platform/os/Gb2312.h"
#include "platform/os/NamedMutex.h"

#include <QCoreApplication>
#include <QFileInfo>

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

TEST(ExecutablePathTest, FolderOfTheRunningProgramEndsInASlash)
{
    const QString folder = executableFolder();
    EXPECT_TRUE(folder.endsWith(QLatin1Char('/')));
    EXPECT_EQ(QFileInfo(executablePath()).fileName(), QStringLiteral("test_platform_os"));
    EXPECT_EQ(folder, QFileInfo(executablePath()).absolutePath() + QLatin1Char('/'));
}
