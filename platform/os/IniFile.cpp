#include "platform/os/IniFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace platform {

namespace {

QString withoutQuotes(const QString &value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// Blanks around a line or a name, as the profile reader drops them: spaces
// and tabs only.
QByteArray trimmedBlanks(QByteArray text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && (text[from] == ' ' || text[from] == '\t'))
        ++from;
    while (to > from && (text[to - 1] == ' ' || text[to - 1] == '\t'))
        --to;
    return text.mid(from, to - from);
}

bool sameName(const QByteArray &name, const QString &wanted)
{
    return QString::fromUtf8(name).compare(wanted, Qt::CaseInsensitive) == 0;
}

} // namespace

QString readProfileString(const QString &path, const QString &section, const QString &key,
                          const QString &defaultValue)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info
    {
    };
    if (path.isEmpty() || (::stat(name.constData(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)))
        return defaultValue;
    QFile file(path);
    if (!S_ISREG(info.st_mode) || !file.open(QIODevice::ReadOnly)) {
        const int error = S_ISREG(info.st_mode) ? errno : EISDIR;
        throw IniReadError(std::string("cannot read ") + name.constData() + ": " + std::strerror(error));
    }
    QByteArray text = file.readAll();
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);

    // Line by line, as the system's profile reader reads: every line whole,
    // blanks around it dropped (so an indented line is a line like any
    // other), "[name]" opens a section, "key=value" splits at the first "="
    // and the value is everything after it, a ";" inside included. Only a
    // line that starts with ";" is a comment.
    bool inSection = false;
    for (const QByteArray &raw : text.split('\n')) {
        QByteArray line = raw;
        line.replace('\r', ' ');
        line = trimmedBlanks(line);
        if (line.isEmpty() || line.startsWith(';'))
            continue;
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            inSection = sameName(trimmedBlanks(line.mid(1, close < 0 ? -1 : close - 1)), section);
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inSection || equals < 0 || !sameName(trimmedBlanks(line.left(equals)), key))
            continue;
        return withoutQuotes(QString::fromUtf8(trimmedBlanks(line.mid(equals + 1))));
    }
    return defaultValue;
}

} // namespace platform
