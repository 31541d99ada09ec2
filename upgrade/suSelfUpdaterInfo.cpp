#include "upgrade/suSelfUpdaterInfo.h"

#include "upgrade/helper/suVersion.h"

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

namespace {

// A size in bytes: decimal digits only; -1 for anything else.
qint64 sizeValue(const QString &text, const QString &key)
{
    const QString value = suInfoValue(text, key).trimmed();
    bool sized = !value.isEmpty();
    for (const QChar c : value)
        sized = sized && c.isDigit() && c.unicode() < 128;
    const qint64 size = sized ? value.toLongLong(&sized) : -1;
    return sized ? size : -1;
}

QList<TsuInfoDelta> deltasOf(const QString &text, const QString &suffix)
{
    QList<TsuInfoDelta> deltas;
    for (int n = 1; n <= kMaxInfoDeltas; ++n) {
        const QString key = suffix + u'-' + QString::number(n);
        TsuInfoDelta delta{suInfoValue(text, QStringLiteral("delta") + key).trimmed(),
                           suInfoValue(text, QStringLiteral("deltafrom") + key).trimmed(),
                           suInfoValue(text, QStringLiteral("deltasha256") + key).trimmed(),
                           sizeValue(text, QStringLiteral("deltasize") + key)};
        if (delta.URL.isEmpty())
            break;
        if (!delta.From.isEmpty() && !delta.SHA256.isEmpty() && delta.Size >= 0)
            deltas << delta;
    }
    return deltas;
}

} // namespace

QList<TsuInfoFileEntry> suInfoFiles(const QString &text)
{
    QList<TsuInfoFileEntry> files;
    const auto take = [&](const QString &suffix) {
        const QString url = suInfoValue(text, QStringLiteral("url") + suffix);
        if (url.isEmpty())
            return false;
        files.append({url, suInfoValue(text, QStringLiteral("sha256") + suffix).trimmed(),
                      sizeValue(text, QStringLiteral("size") + suffix), deltasOf(text, suffix)});
        return true;
    };
    take(QString());
    take(QStringLiteral("0"));
    for (qsizetype n = files.size() + 1; take(QString::number(n)); ++n) {
    }
    return files;
}

std::optional<int> CompareVersions(const QString &remote, const QString &local)
{
    const std::optional<TsuVersion> r = suParseVersion(remote);
    if (!r)
        return std::nullopt;
    const std::optional<TsuVersion> l = suParseVersion(local);
    if (!l || *r > *l)
        return 1;
    return *r < *l ? -1 : 0;
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
