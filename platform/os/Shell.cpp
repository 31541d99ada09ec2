#include "platform/os/Shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace platform {

bool shellOpen(const QString &target)
{
    if (target.isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

bool startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

} // namespace platform
