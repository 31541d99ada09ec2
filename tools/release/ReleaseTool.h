#pragma once

#include "platform/db/CipherSettings.h"

#include <QDate>
#include <QString>
#include <QStringList>

// The vendor's release tool: a key pair for signing upgrades, and a signed
// information file for a folder of release files. Every function returns
// an empty text on success and the reason in English otherwise; nothing is
// written when it fails.
namespace release {

// The names of the information file and its signature, as the program
// fetches them.
inline const QString kInfoFileName = QStringLiteral("dorvak.inf");
inline const QString kSignatureFileName = QStringLiteral("dorvak.inf.sig");

// Writes a new private key to privateKeyFile (PKCS#8 PEM, mode 0600; an
// existing file is never overwritten) and its public key beside it as
// privateKeyFile + ".pub". publicKeyText receives the public key as the
// build's VELMORA_UPGRADE_KEY takes it.
QString generateKeys(const QString &privateKeyFile, QString *publicKeyText);

// The build's form of the public key of a PEM private or public key file.
QString publicKeyOfFile(const QString &keyFile, QString *publicKeyText);

// How far ahead an expiry may lie unless allowed explicitly: an old signed
// file can be replayed to users until it expires, so the window stays short.
inline constexpr int kMaxExpiryDays = 366;

struct ReleaseSpec
{
    QString folder;               // the release files; the information file is written here
    QString version;              // one to four dotted 64-bit numbers, compared with the installed version
    QString message;              // shown to the user when the upgrade is offered
    QString baseUrl;              // where the folder is served ("http://host/download")
    QDate expires;                // the last day (UTC) the release may be offered
    bool allowLongExpiry = false; // an expiry more than kMaxExpiryDays ahead is accepted
    QString privateKeyFile;
    QByteArray passPhrase; // of a protected private key; empty for a plain one
    // Folders of earlier releases as published, for deltas of the database
    // (see ReleaseDeltas.h); none for a release without deltas.
    QStringList previousFolders;
    // What the database is keyed with.
    QString databasePassPhrase = QString::fromLatin1(platform::db::kDirectoryPassPhrase);
};

// A warning about the private key file (it can be read by other users);
// empty when there is nothing to say.
QString keyFileWarning(const QString &keyFile);

// Whether the key file holds a private key protected by a pass phrase.
bool keyNeedsPassPhrase(const QString &keyFile);

// The files of the release in download order: those the main window's
// settings name (dorvak.dat, softup.dll, Dorvak.exe) in that order, then the
// others by name; deltas are no files of their own. Fails for anything in
// the folder that is not a plain file with a name that needs no escaping in
// an address.
QString releaseFiles(const QString &folder, QStringList *files);

// Writes dorvak.inf (version, expiry, every file's address, SHA-256 and
// size, message) and its Ed25519 signature dorvak.inf.sig into the folder.
// With previous releases, first lays dorvak.dat out on the newest one's
// pages and writes the deltas from them, which the information file lists
// after the database ("#delta-1=", "#deltafrom-1=", "#deltasha256-1=",
// "#deltasize-1=", ...). notes receives what was done, for the vendor.
QString signRelease(const ReleaseSpec &spec, QStringList *notes = nullptr);

} // namespace release
