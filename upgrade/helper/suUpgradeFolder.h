#pragma once

#include "platform/os/FileSwap.h"

#include <QString>
#include <QStringList>

// The program folder's own upgrade folder: private (mode 0700, this user's)
// and inside the program folder, so on its file system and installing a
// download is a rename. Downloads never lie beside the program.
//
//   .velmora-upgrade/version     the version the last upgrade installed
//                                (INI: [SYS] UPDATESET=), written as part of
//                                its swap
//   .velmora-upgrade/downloads/  <sha256>.part while a file is downloaded,
//                                <sha256> once it is whole and matches; a
//                                part is never installed; beside a part
//                                that can be continued, <sha256>.validator:
//                                the ETag or Last-Modified of the answer it
//                                came from
//   .velmora-upgrade/swap.*      the plan, the lock and the backups of a swap
inline const QString kUpgradeFolderName = QStringLiteral(".velmora-upgrade");

// Folders are given and returned with their trailing '/'.
QString suUpgradeFolder(const QString &programFolder);
QString suDownloadFolder(const QString &programFolder);
// A whole, checked download, and one under way (key: its SHA-256, or
// another name where none is known beforehand).
QString suDownloadPath(const QString &programFolder, const QString &sha256);
QString suPartialDownloadPath(const QString &programFolder, const QString &key);
// What names the server's version of a part being downloaded (If-Range).
QString suResumeValidatorPath(const QString &programFolder, const QString &sha256);
QString suVersionRecordPath(const QString &programFolder);
platform::SwapJournal suSwapJournal(const QString &programFolder);

// Makes the upgrade folder and its download folder if needed (both private)
// and removes from the download folder every entry whose name is not in
// keep. False when either folder cannot be had as a private folder.
bool suPrepareDownloadFolder(const QString &programFolder, const QStringList &keep = {});

// The version the last upgrade recorded; empty when none did.
QString suReadVersionRecord(const QString &programFolder);

// What the program and its helper do first, before anything else touches
// the program's files: a swap cut short (the helper killed, the power gone)
// is put back or finished, and the downloads older helpers left beside the
// program ("*.uTMP") and their backups (".*.uOLD<pid>") are removed, so
// that none is ever installed. Returns what became of an unfinished swap.
platform::SwapRecovery suTidyProgramFolder(const QString &programFolder);
