#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

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

// One file the information file lists, with the SHA-256 it may carry
// beside it ("#sha256=" beside "#url=", "#sha2560=" beside "#url0=",
// "#sha2562=" beside "#url2=" …; empty when there is none).
struct TsuInfoFileEntry
{
    QString URL;
    QString SHA256;
};

// The files in download order: "url" and "url0" when non-empty, then "url"
// + n from (the number of those two) + 1 upwards while the key has a value.
QList<TsuInfoFileEntry> suInfoFiles(const QString &text);

// Compares dotted version numbers of up to four parts (1 equals 1.0.0.0);
// greater than 0 when remote is the newer. When a part of either is not a
// number, the whole texts are compared character by character instead.
int CompareVersions(const QString &remote, const QString &local);

// A month/day/year date ("01/07/2004"); today's date when it cannot be read.
QDate ParseInfoDate(const QString &text);
