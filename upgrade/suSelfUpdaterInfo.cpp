#include "upgrade/suSelfUpdaterInfo.h"

#include <optional>

namespace {

// Lower case one code unit at a time, so that positions in the folded text
// are positions in the original.
QString folded(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        c = c.toLower();
    return out;
}

// The position just after "#key=" (the key in lower case), or -1.
qsizetype valueStart(const QString &foldedText, const QString &pattern)
{
    const qsizetype at = foldedText.indexOf(pattern);
    return at < 0 ? -1 : at + pattern.size();
}

std::optional<int> versionPart(const QString &part)
{
    bool ok = false;
    const int value = part.toInt(&ok);
    // -1 is what the conversion gives up with, so it counts as no number.
    if (!ok || value == -1)
        return std::nullopt;
    return value;
}

QStringList fourParts(const QString &version)
{
    QString rest = version + u'.';
    QStringList parts;
    for (int i = 0; i < 4; ++i) {
        const qsizetype dot = rest.indexOf(u'.');
        if (dot < 0) {
            parts << QStringLiteral("0");
            continue;
        }
        parts << rest.left(dot);
        rest = rest.mid(dot + 1);
    }
    return parts;
}

// Character codes compared in order, then the lengths; the difference kept
// in a signed byte.
int ordinalCompare(const QString &a, const QString &b)
{
    const qsizetype common = std::min(a.size(), b.size());
    int difference = int(a.size() - b.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (a.at(i) != b.at(i)) {
            difference = int(a.at(i).unicode()) - int(b.at(i).unicode());
            break;
        }
    }
    return static_cast<qint8>(static_cast<quint8>(difference & 0xFF));
}

} // namespace

QString suInfoValue(const QString &text, const QString &key)
{
    const qsizetype start = valueStart(folded(text), u'#' + key.toLower() + u'=');
    if (start < 0)
        return {};
    qsizetype end = start;
    while (end < text.size() && text.at(end).unicode() >= 32)
        ++end;
    return text.mid(start, end - start);
}

QString suInfoMessage(const QString &text)
{
    const qsizetype start = valueStart(folded(text), QStringLiteral("#message={"));
    if (start < 0)
        return {};
    const qsizetype end = text.indexOf(u'}', start);
    return text.mid(start, end < 0 ? -1 : end - start);
}

TsuUpgradeMethod suInfoMethod(const QString &text)
{
    const QString method = suInfoValue(text, QStringLiteral("method"));
    if (method.startsWith(u'1'))
        return umUseExternalSetup;
    if (method.startsWith(u'2'))
        return umRedirectToURL;
    return umSelfUpgrade;
}

QList<TsuInfoFileEntry> suInfoFiles(const QString &text)
{
    QList<TsuInfoFileEntry> files;
    const auto take = [&](const QString &suffix) {
        const QString url = suInfoValue(text, QStringLiteral("url") + suffix);
        if (url.isEmpty())
            return false;
        files.append({url, suInfoValue(text, QStringLiteral("sha256") + suffix).trimmed()});
        return true;
    };
    take(QString());
    take(QStringLiteral("0"));
    for (qsizetype n = files.size() + 1; take(QString::number(n)); ++n) {
    }
    return files;
}

int CompareVersions(const QString &remote, const QString &local)
{
    const QStringList remoteParts = fourParts(remote);
    const QStringList localParts = fourParts(local);
    for (int i = 0; i < 4; ++i) {
        const std::optional<int> r = versionPart(remoteParts.at(i));
        const std::optional<int> l = versionPart(localParts.at(i));
        if (!r || !l)
            return ordinalCompare(remote, local);
        if (*r != *l)
            return *r > *l ? 1 : -1;
    }
    return 0;
}

QDate ParseInfoDate(const QString &text)
{
    const qsizetype first = text.indexOf(u'/');
    const qsizetype second = first < 0 ? -1 : text.indexOf(u'/', first + 1);
    if (second < 0)
        return QDate::currentDate();
    bool monthOk = false, dayOk = false, yearOk = false;
    const int month = text.left(first).trimmed().toInt(&monthOk);
    const int day = text.mid(first + 1, second - first - 1).trimmed().toInt(&dayOk);
    const int year = text.mid(second + 1).trimmed().toInt(&yearOk);
    const QDate date(year, month, day);
    return monthOk && dayOk && yearOk && date.isValid() ? date : QDate::currentDate();
}
