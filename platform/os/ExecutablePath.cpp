#include "platform/os/ExecutablePath.h"

#include <QFile>
#include <QFileInfo>

namespace platform {

QString executablePath()
{
    return QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
}

QString executableFolder()
{
    QString folder = QFileInfo(executablePath()).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace platform
