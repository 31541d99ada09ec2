#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

// What an executable's online upgrade believes: the Ed25519 public keys one
// of which must have signed the upgrade information, or, only in a build
// configured for it on purpose, unsigned information as it comes. With
// neither, online upgrade is switched off.
struct TsuUpgradeTrust
{
    QList<QByteArray> Keys; // 32 raw bytes each
    bool AcceptUnsigned = false;
};

// The trust of the running executable, which each executable sets as it
// starts (the program its vendor's keys, from the build's configuration;
// only test programs carry the demo key of the tests). Nothing is trusted
// until one is set: an executable that sets none has upgrades switched off.
const TsuUpgradeTrust &suProgramUpgradeTrust();
void suSetProgramUpgradeTrust(const TsuUpgradeTrust &trust);

// Sets the executable's trust while static objects are made, before main
// runs; one such object lives in a source of the executable itself.
struct TsuUpgradeTrustRegistration
{
    explicit TsuUpgradeTrustRegistration(const TsuUpgradeTrust &trust) { suSetProgramUpgradeTrust(trust); }
};

// Keys written as the build configuration takes them (base64 of the 32
// bytes, or 64 hexadecimal digits); empty texts are skipped. A text that is
// no key still demands a signature, which then never verifies: a mistyped
// key must not switch the check off.
QList<QByteArray> suUpgradeKeysFromTexts(const QStringList &texts);
