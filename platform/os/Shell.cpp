#include "platform/os/Shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace platform {

namespace {

ShellOpenHandler &handler()
{
    static ShellOpenHandler h;
    return h;
}

} // namespace

void setShellOpenHandler(ShellOpenHandler h)
{
    handler() = std::move(h);
}

bool shellOpen(const QString &target)
{
    if (target.isEmpty())
        return false;
    if (handler())
        return handler()(target);
    return QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

bool startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

} // namespace platform
