#pragma once

#include "upgrade/suSelfUpdaterNotices.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// A signed information file: the vendor signs its exact bytes with Ed25519
// and publishes the 64-byte signature beside it, as the file's name plus
// ".sig". Inside the signed bytes, "#expires=YYYY-MM-DD" is the last day
// (UTC) the file may be used, so an old signed file cannot be served for
// ever, and every listed file carries its "#sha256…=" and "#size…=" lines.

// What makes an information file unacceptable, with the argument of its
// notice (a date or a file name; empty when the notice takes none).
struct TsuInfoRefusal
{
    TsuUpdaterNotice Notice;
    QString Argument;
};

// The file's expiry date; invalid when the key is missing or unreadable.
QDate suInfoExpiry(const QString &text);

// Checks a file against its signature and the keys (32 raw bytes each), in
// this order: signed by one of the keys, an expiry date that has not passed
// on today (UTC), a checksum and a size for every listed file. Nothing when
// it passes.
std::optional<TsuInfoRefusal> suCheckSignedInfo(const QByteArray &info, const QByteArray &signature,
                                                const QList<QByteArray> &keys, const QDate &today);
