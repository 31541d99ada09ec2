#include "upgrade/suInfoSignature.h"

#include "platform/crypto/Ed25519.h"
#include "upgrade/suSelfUpdaterInfo.h"
#include "upgrade/suUtils.h"

QDate suInfoExpiry(const QString &text)
{
    return QDate::fromString(suInfoValue(text, QStringLiteral("expires")).trimmed(), Qt::ISODate);
}

std::optional<TsuInfoRefusal> suCheckSignedInfo(const QByteArray &info, const QByteArray &signature,
                                                const QList<QByteArray> &keys, const QDate &today)
{
    if (signature.isEmpty())
        return TsuInfoRefusal{TsuUpdaterNotice::SignatureMissing, {}};
    bool signedByKey = false;
    for (const QByteArray &key : keys)
        signedByKey = signedByKey || platform::crypto::verifySignature(key, info, signature);
    if (!signedByKey)
        return TsuInfoRefusal{TsuUpdaterNotice::SignatureInvalid, {}};

    // Only now is the text worth reading.
    const QString text = QString::fromUtf8(info);
    const QDate expiry = suInfoExpiry(text);
    if (!expiry.isValid())
        return TsuInfoRefusal{TsuUpdaterNotice::ExpiryMissing, {}};
    if (today > expiry)
        return TsuInfoRefusal{TsuUpdaterNotice::InfoExpired, expiry.toString(Qt::ISODate)};
    for (const TsuInfoFileEntry &entry : suInfoFiles(text)) {
        if (entry.SHA256.isEmpty())
            return TsuInfoRefusal{TsuUpdaterNotice::ChecksumMissing, FileNameOfURL(entry.URL)};
        if (entry.Size < 0)
            return TsuInfoRefusal{TsuUpdaterNotice::SizeMissing, FileNameOfURL(entry.URL)};
    }
    return std::nullopt;
}
