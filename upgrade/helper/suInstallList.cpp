#include "upgrade/helper/suInstallList.h"

#include "upgrade/helper/suVersion.h"

#include <QSet>

namespace {

constexpr char kHeader[] = "velmora-install 1";
constexpr char kEnd[] = "end";

QByteArray roleText(TsuInstallRole role)
{
    switch (role) {
    case TsuInstallRole::Program:
        return "program";
    case TsuInstallRole::Setup:
        return "setup";
    case TsuInstallRole::File:
        break;
    }
    return "file";
}

std::optional<TsuInstallRole> roleOf(const QByteArray &text)
{
    if (text == "file")
        return TsuInstallRole::File;
    if (text == "program")
        return TsuInstallRole::Program;
    if (text == "setup")
        return TsuInstallRole::Setup;
    return std::nullopt;
}

} // namespace

bool suIsInstallableName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(u'.') || name.toUtf8().size() > 255)
        return false;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c.unicode() < 32 || c.unicode() == 127)
            return false;
    }
    return true;
}

bool suIsSha256(const QString &text)
{
    if (text.size() != 64)
        return false;
    for (const QChar c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    }
    return true;
}

QByteArray suWriteInstallList(const TsuInstallList &list)
{
    QByteArray text = QByteArray(kHeader) + '\n';
    if (!list.Version.isEmpty())
        text += "version\t" + list.Version.toUtf8() + '\n';
    for (const TsuInstallEntry &file : list.Files) {
        text += "file\t" + roleText(file.Role) + '\t' + QByteArray::number(file.Size) + '\t' +
                file.SHA256.toLatin1() + '\t' + file.Name.toUtf8() + '\n';
    }
    return text + kEnd + '\n';
}

std::optional<TsuInstallList> suReadInstallList(const QByteArray &bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 3 || lines.first() != kHeader || lines.at(lines.size() - 2) != kEnd ||
        !lines.last().isEmpty())
        return std::nullopt;
    TsuInstallList list;
    QSet<QString> names;
    int programs = 0;
    for (qsizetype i = 1; i < lines.size() - 2; ++i) {
        const QList<QByteArray> fields = lines.at(i).split('\t');
        if (fields.size() == 2 && fields.at(0) == "version" && i == 1) {
            list.Version = QString::fromUtf8(fields.at(1));
            if (!suParseVersion(list.Version))
                return std::nullopt;
            continue;
        }
        if (fields.size() != 5 || fields.at(0) != "file")
            return std::nullopt;
        bool sized = false;
        TsuInstallEntry file;
        const std::optional<TsuInstallRole> role = roleOf(fields.at(1));
        file.Size = fields.at(2).toLongLong(&sized);
        file.SHA256 = QString::fromLatin1(fields.at(3));
        file.Name = QString::fromUtf8(fields.at(4));
        if (!role || !sized || file.Size < 0 || !suIsSha256(file.SHA256) || !suIsInstallableName(file.Name) ||
            names.contains(file.Name))
            return std::nullopt;
        file.Role = *role;
        if (file.Role != TsuInstallRole::File && ++programs > 1)
            return std::nullopt;
        names.insert(file.Name);
        list.Files << file;
    }
    return list;
}
