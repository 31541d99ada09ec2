#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The hand-over list: what the program tells its helper to install, in the
// helper's private folder beside it. Each file is named by its SHA-256: the
// helper takes it from the download folder under that name, checks its size
// and hash once more just before the swap, and installs it under its name in
// the program folder. Nothing that is not on the list is ever installed.

// What a listed file is to the helper.
enum class TsuInstallRole {
    File,    // installed under its name
    Program, // the new program: installed over the running one (its name is the program's)
    Setup,   // a setup program: installed under its name, run, then removed
};

struct TsuInstallEntry
{
    QString Name; // plain file name in the program folder
    qint64 Size = 0;
    QString SHA256; // 64 lower-case hexadecimal digits
    TsuInstallRole Role = TsuInstallRole::File;
};

struct TsuInstallList
{
    // The version of the release, as its information file gives it; empty
    // when it gave none that reads. Recorded once the swap stands.
    QString Version;
    QList<TsuInstallEntry> Files;
};

// The list's file name in the helper's folder.
inline const QString kInstallListName = QStringLiteral("install.list");

// A name the helper may install: a plain file name (no path separator, no
// control character, not hidden: the program folder's own upgrade folder
// starts with a dot), at most 255 bytes.
bool suIsInstallableName(const QString &name);
// 64 lower-case hexadecimal digits.
bool suIsSha256(const QString &text);

QByteArray suWriteInstallList(const TsuInstallList &list);
// Nothing for a list that is not whole or names a file it may not install
// (a bad name, a name twice, a negative size, a bad hash, more than one
// program).
std::optional<TsuInstallList> suReadInstallList(const QByteArray &bytes);
