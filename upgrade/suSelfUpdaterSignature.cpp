// The signed information file: fetched with its signature, and believed
// only once one of the build's keys has signed its exact bytes.
#include "upgrade/suSelfUpdater.h"

#include "platform/crypto/Ed25519.h"
#include "upgrade/suInfoSignature.h"
#include "upgrade/suMessageFormat.h"
#include "upgrade/suUpgradeKeys.h"

#include <QDateTime>

#include <utility>

QList<QByteArray> TsuSelfUpdater::BuildUpgradeKeys()
{
    QList<QByteArray> keys;
    for (const char *text : kBuildUpgradeKeys) {
        if (*text == '\0')
            continue;
        // A configured text that is no key still demands a signature, which
        // then never verifies: a mistyped key must not switch the check off.
        const QByteArray key = platform::crypto::publicKeyFromText(QString::fromLatin1(text));
        keys << (key.isEmpty() ? QByteArray("invalid key") : key);
    }
    return keys;
}

void TsuSelfUpdater::infoFileArrived(const QByteArray &bytes)
{
    if (m_upgradeKeys.isEmpty()) {
        evaluateInfoFile(QString::fromUtf8(bytes));
        return;
    }
    // Nothing in the file is acted on before its signature is checked.
    m_infoBytes = bytes;
    m_signatureMode = true;
    SetURL(SignatureURL());
    StartTransfer();
}

void TsuSelfUpdater::signatureArrived(const QByteArray &signature)
{
    m_signatureMode = false;
    const QByteArray info = std::exchange(m_infoBytes, QByteArray());
    const std::optional<TsuInfoRefusal> refusal =
        suCheckSignedInfo(info, signature, m_upgradeKeys, QDateTime::currentDateTimeUtc().date());
    if (!refusal) {
        evaluateInfoFile(QString::fromUtf8(info));
        return;
    }
    const QString notice = suUpdaterNotice(refusal->Notice);
    stopWithNotice(refusal->Argument.isEmpty() ? notice : suFormatMessage(notice, {refusal->Argument}));
}
