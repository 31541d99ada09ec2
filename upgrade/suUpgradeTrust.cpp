#include "upgrade/suUpgradeTrust.h"

#include "platform/crypto/Ed25519.h"

namespace {

TsuUpgradeTrust &programTrust()
{
    static TsuUpgradeTrust trust;
    return trust;
}

} // namespace

const TsuUpgradeTrust &suProgramUpgradeTrust()
{
    return programTrust();
}

void suSetProgramUpgradeTrust(const TsuUpgradeTrust &trust)
{
    programTrust() = trust;
}

QList<QByteArray> suUpgradeKeysFromTexts(const QStringList &texts)
{
    QList<QByteArray> keys;
    for (const QString &text : texts) {
        if (text.trimmed().isEmpty())
            continue;
        const QByteArray key = platform::crypto::publicKeyFromText(text);
        keys << (key.isEmpty() ? QByteArray("invalid key") : key);
    }
    return keys;
}
