#include "platform/db/ConnectionString.h"

#include "platform/db/DbError.h"

namespace platform::db {

ConnectionString ConnectionString::parse(const QString &text)
{
    ConnectionString result;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        // Key: up to "=", or a piece without "=" which breaks the string.
        const qsizetype keyStart = i;
        while (i < n && text[i] != u'=' && text[i] != u';')
            ++i;
        const QString key = text.mid(keyStart, i - keyStart).trimmed();
        if (i >= n || text[i] == u';') {
            if (!key.isEmpty())
                throw DbError(QStringLiteral("连接字符串格式错误：\"%1\"").arg(key));
            ++i; // an empty piece (";;" or a trailing ";") is allowed
            continue;
        }
        if (key.isEmpty())
            throw DbError(QStringLiteral("连接字符串格式错误：缺少关键字"));
        ++i; // "="

        while (i < n && text[i] == u' ')
            ++i;
        QString value;
        if (i < n && (text[i] == u'"' || text[i] == u'\'')) {
            const QChar quote = text[i++];
            bool closed = false;
            while (i < n) {
                if (text[i] == quote) {
                    if (i + 1 < n && text[i + 1] == quote) {
                        value += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += text[i++];
            }
            if (!closed)
                throw DbError(QStringLiteral("连接字符串格式错误：引号未闭合"));
            while (i < n && text[i] == u' ')
                ++i;
            if (i < n && text[i] != u';')
                throw DbError(QStringLiteral("连接字符串格式错误：\"%1\"").arg(key));
        } else {
            const qsizetype valueStart = i;
            while (i < n && text[i] != u';')
                ++i;
            value = text.mid(valueStart, i - valueStart).trimmed();
        }
        ++i; // ";"
        result.m_pairs.emplace_back(key, value);
    }
    return result;
}

QString ConnectionString::value(const QString &key) const
{
    for (auto it = m_pairs.rbegin(); it != m_pairs.rend(); ++it) {
        if (it->first.compare(key, Qt::CaseInsensitive) == 0)
            return it->second;
    }
    return QString();
}

bool ConnectionString::contains(const QString &key) const
{
    for (const auto &p : m_pairs) {
        if (p.first.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QStringList ConnectionString::keys() const
{
    QStringList result;
    for (const auto &p : m_pairs)
        result << p.first;
    return result;
}

} // namespace platform::db
