#include "resources/UpgradeStrings.h"

#include <QDir>
#include <QFile>

// The tables are compiled into this static library; the registration has to
// be pulled in by name, outside any namespace.
static void registerUpgradeMessages()
{
    Q_INIT_RESOURCE(UpgradeMessages);
}

namespace resources {

namespace {

QString unescaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text.at(++i);
        if (next == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else if (next == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (next == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        else // not an escape: kept as written
            out += QString(c) + next;
    }
    return out;
}

const QHash<int, QString> &table()
{
    static const QHash<int, QString> strings = [] {
        registerUpgradeMessages();
        QHash<int, QString> all;
        const QDir folder(QStringLiteral(":/upgrade-messages"));
        for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
            QFile file(folder.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                parseUpgradeStrings(file.readAll(), all);
        }
        return all;
    }();
    return strings;
}

} // namespace

void parseUpgradeStrings(const QByteArray &file, QHash<int, QString> &into)
{
    const QString text = QString::fromUtf8(file);
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        bool ok = false;
        const int id = tab > 0 ? line.left(tab).toInt(&ok) : 0;
        if (!ok)
            continue;
        QString value = line.mid(tab + 1);
        if (value.endsWith(QLatin1Char('\r'))) // a file saved with CRLF line ends
            value.chop(1);
        into.insert(id, unescaped(value));
    }
}

QString upgradeString(int id)
{
    return table().value(id);
}

} // namespace resources
