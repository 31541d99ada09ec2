#include "platform/crypto/Sha256.h"

#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace crypto = platform::crypto;

// The standard test vectors, and a hash fed in pieces agrees with the one
// of the whole.
TEST(Sha256, StandardVectorsAndPieces)
{
    EXPECT_EQ(crypto::sha256(QByteArray()).toHex(),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(crypto::sha256(QByteArray("abc")).toHex(),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    QByteArray data;
    for (int i = 0; i < 100000; ++i)
        data += char(i * 7);
    crypto::Sha256 pieces;
    for (qsizetype at = 0; at < data.size(); at += 4097)
        pieces.add(data.mid(at, 4097));
    EXPECT_EQ(pieces.result(), crypto::sha256(data));
    EXPECT_EQ(pieces.result(), crypto::sha256(QByteArray()));

    TempDir dir;
    testfiles::writeFile(dir.file(QStringLiteral("f")), data);
    EXPECT_EQ(crypto::sha256OfFile(dir.file(QStringLiteral("f"))), testfiles::sha256(data));
    EXPECT_TRUE(crypto::sha256OfFile(dir.file(QStringLiteral("missing"))).isEmpty());
}
