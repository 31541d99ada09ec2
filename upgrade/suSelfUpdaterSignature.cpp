// The signed information file: fetched with its signature, and believed
// only once one of the build's keys has signed its exact bytes.
#include "upgrade/suSelfUpdater.h"

#include "platform/crypto/Ed25519.h"
#include "upgrade/suInfoSignature.h"
#include "upgrade/suMessageFormat.h"

#include <QDateTime>

#include <utility>

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
    // An Ed25519 signature is 64 bytes: anything longer is cut off unread.
    SetMaxBytes(platform::crypto::kSignatureSize);
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
    stopWithNotice(refusal->Notice, refusal->Argument);
}
