#include "platform/os/Gb2312.h"

#include <gtest/gtest.h>

using namespace platform;

// Characters without a code in the code page count as one "?" byte each,
// also those that the converter would silently drop.
TEST(Gb2312UnmappedTest, CharactersWithoutACodeCountAsOneQuestionMark)
{
    const QString tagged =
        QStringLiteral("a") + QString::fromUcs4(U"\U000E0041\U000E007F") + QStringLiteral("b");
    EXPECT_EQ(toGb2312(tagged), QByteArray("a??b"));
    EXPECT_EQ(gb2312Length(tagged), 4);
    EXPECT_EQ(gb2312Length(QStringLiteral("北京") + QString::fromUcs4(U"\U000E0001")), 5);
    EXPECT_GT(compareGb2312(QStringLiteral("a") + QString::fromUcs4(U"\U000E0020"), QStringLiteral("a")), 0)
        << "a text is longer than its prefix even when the rest has no code";
    QString broken = QStringLiteral("x");
    broken += QChar(0xD800);
    EXPECT_EQ(toGb2312(broken), QByteArray("x?"));
}
