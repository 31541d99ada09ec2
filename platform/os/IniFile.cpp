#include "platform/os/IniFile.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ini.h>
#include <sys/stat.h>

namespace platform {

namespace {

struct Lookup
{
    QString section;
    QString key;
    QString value;
    bool found = false;
};

int takeFirstMatch(void *user, const char *section, const char *name, const char *value)
{
    auto *lookup = static_cast<Lookup *>(user);
    if (!lookup->found && QString::fromUtf8(section).compare(lookup->section, Qt::CaseInsensitive) == 0 &&
        QString::fromUtf8(name).compare(lookup->key, Qt::CaseInsensitive) == 0) {
        lookup->value = QString::fromUtf8(value);
        lookup->found = true;
    }
    return 1; // keep reading; a later line never replaces the first match
}

QString withoutQuotes(const QString &value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
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
    FILE *file = std::fopen(name.constData(), "re");
    if (!file || !S_ISREG(info.st_mode)) {
        const int error = file ? EISDIR : errno;
        if (file)
            std::fclose(file);
        throw IniReadError(std::string("cannot read ") + name.constData() + ": " + std::strerror(error));
    }
    Lookup lookup{section, key, {}, false};
    ini_parse_file(file, &takeFirstMatch, &lookup);
    std::fclose(file);
    return lookup.found ? withoutQuotes(lookup.value.trimmed()) : defaultValue;
}

} // namespace platform
