#include "platform/compress/PrefixCompression.h"

#include <gtest/gtest.h>

namespace compress = platform::compress;

namespace {

QByteArray noise(int size, quint32 seed)
{
    QByteArray out(size, Qt::Uninitialized);
    for (char &c : out) {
        seed = seed * 1664525u + 1013904223u;
        c = char(seed >> 24);
    }
    return out;
}

} // namespace

// A page that differs from its former content by one moved run and a few
// new bytes compresses to little more than the new bytes, and reads back
// whole against the same prefix.
TEST(PrefixCompression, WhatThePrefixHoldsCostsAlmostNothing)
{
    const QByteArray before = noise(60000, 1);
    const QByteArray after =
        before.mid(30000) + QByteArray("new bytes of a changed row") + before.left(29000);
    const QByteArray frame = compress::compressAgainst(after, before, 3);
    ASSERT_FALSE(frame.isEmpty());
    EXPECT_LT(frame.size(), 200);
    QByteArray out(after.size(), '\0');
    ASSERT_TRUE(compress::decompressAgainst(frame.constData(), frame.size(), before, out.data(), out.size()));
    EXPECT_EQ(out, after);
    // Without the prefix the same data is noise.
    EXPECT_GT(compress::compressAgainst(after, {}, 3).size(), 50000);
}

// A frame read against another prefix, cut short, of another size or with
// a flipped bit is refused; nothing is written past the output.
TEST(PrefixCompression, RefusesFramesThatDoNotReadBackWhole)
{
    const QByteArray before = noise(20000, 2);
    const QByteArray after = before.left(10000) + noise(100, 3) + before.mid(10000);
    const QByteArray frame = compress::compressAgainst(after, before, 3);
    QByteArray out(after.size() + 16, 'G');
    EXPECT_FALSE(compress::decompressAgainst(frame.constData(), frame.size(), noise(20000, 4), out.data(),
                                             after.size()));
    EXPECT_FALSE(
        compress::decompressAgainst(frame.constData(), frame.size() - 3, before, out.data(), after.size()));
    EXPECT_FALSE(
        compress::decompressAgainst(frame.constData(), frame.size(), before, out.data(), after.size() - 1));
    QByteArray flipped = frame;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x10);
    EXPECT_FALSE(
        compress::decompressAgainst(flipped.constData(), flipped.size(), before, out.data(), after.size()));
    EXPECT_EQ(out.right(16), QByteArray(16, 'G'));
    EXPECT_FALSE(compress::decompressAgainst(frame.constData(), 0, before, out.data(), after.size()));
}
