#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// How a release is installed (the "method" of the information file).
enum TsuUpgradeMethod { umSelfUpgrade = 0, umUseExternalSetup = 1, umRedirectToURL = 2 };

// What the program compares with the information file.
enum TsuSelfUpdaterVersionControl { byDate = 0, byNumber = 1 };

// The upgrade information file is read by searching, not by parsing lines:
// a key is found wherever "#key=" stands (without regard to case), the
// first occurrence wins, and a value runs to the first control character.

// The single-line value of a key; empty when the key is missing.
QString suInfoValue(const QString &text, const QString &key);
// The text between "#message={" and the next "}" (line breaks included).
QString suInfoMessage(const QString &text);
// "1" gives umUseExternalSetup, "2" umRedirectToURL, anything else
// umSelfUpgrade.
TsuUpgradeMethod suInfoMethod(const QString &text);

// One file the information file lists, with the SHA-256 and the size in
// bytes it may carry beside it ("#sha256=" and "#size=" beside "#url=",
// "#sha2560=" and "#size0=" beside "#url0=", "#sha2562=" and "#size2="
// beside "#url2=" …). The SHA-256 is empty and the size -1 when missing; a
// size that is not a whole number of bytes counts as missing.
//
// A file may carry deltas: "#delta-1=", "#deltafrom-1=", "#deltasha256-1="
// and "#deltasize-1=" (the suffix of the file, a dash and the delta's
// number from 1: "#delta2-1=" for the file of "#url2="): where the delta
// lies, the version of the release whose file it applies to, its SHA-256
// and size. Only deltas with all four are taken.
struct TsuInfoDelta
{
    QString URL;
    QString From;
    QString SHA256;
    qint64 Size = -1;
};

struct TsuInfoFileEntry
{
    QString URL;
    QString SHA256;
    qint64 Size = -1;
    QList<TsuInfoDelta> Deltas;
};

// The most deltas read for one file.
inline constexpr int kMaxInfoDeltas = 8;

// The files in download order: "url" and "url0" when non-empty, then "url"
// + n from (the number of those two) + 1 upwards while the key has a value.
QList<TsuInfoFileEntry> suInfoFiles(const QString &text);

// Compares dotted version numbers of up to four 64-bit parts (1 equals
// 1.0.0.0, see suParseVersion); greater than 0 when remote is the newer.
// Nothing when the remote version does not read: such a file is refused. A
// local version that does not read (a lost version file) is older than any.
std::optional<int> CompareVersions(const QString &remote, const QString &local);

// A month/day/year date ("01/07/2004"); today's date when it cannot be read.
QDate ParseInfoDate(const QString &text);
