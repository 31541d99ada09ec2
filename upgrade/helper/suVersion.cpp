#include "upgrade/helper/suVersion.h"

#include <QStringList>

std::optional<TsuVersion> suParseVersion(const QString &text)
{
    const QStringList parts = text.trimmed().split(u'.');
    TsuVersion version{};
    for (qsizetype i = 0; i < std::min<qsizetype>(parts.size(), 4); ++i) {
        const QString &part = parts.at(i);
        // toULongLong also takes a sign and blanks; a part is digits only.
        bool ok = !part.isEmpty();
        for (const QChar c : part)
            ok = ok && c >= u'0' && c <= u'9';
        if (ok)
            version[size_t(i)] = part.toULongLong(&ok);
        if (!ok)
            return std::nullopt;
    }
    return version;
}

QString suHigherVersion(const QString &first, const QString &second)
{
    const std::optional<TsuVersion> a = suParseVersion(first);
    const std::optional<TsuVersion> b = suParseVersion(second);
    if (!a)
        return b ? second : first;
    return b && *b > *a ? second : first;
}
