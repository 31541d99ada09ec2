#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

namespace testfiles {

// The bytes of a file; `ifMissing` when it cannot be read.
inline QByteArray readFile(const QString &path, const QByteArray &ifMissing = {})
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : ifMissing;
}

// The bytes of a file; a text no file of the tests holds when it is missing.
inline QByteArray readFileOrMissing(const QString &path)
{
    return readFile(path, "<missing>");
}

// Writes a file whole, replacing what it held; fails the test when it cannot.
inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Writes a file whole, making the folders it lies in first.
inline void writeFileMakingFolders(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    writeFile(path, bytes);
}

// The SHA-256 of some bytes in lower-case hexadecimal.
inline QString sha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

} // namespace testfiles
