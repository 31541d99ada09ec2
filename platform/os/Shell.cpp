#include "platform/os/Shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
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

void shellOpenReporting(const QString &target, ShellOpenResult result)
{
    const auto report = [&result](bool opened) {
        if (result)
            result(opened);
    };
    if (target.isEmpty() || handler()) {
        report(shellOpen(target));
        return;
    }
    // The desktop's opener tells by its exit code whether it found a
    // program for the target; Qt's own call only tells that it started.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        report(QDesktopServices::openUrl(QUrl::fromUserInput(target)));
        return;
    }
    // Without a parent: a browser started in the opener's foreground keeps
    // it running, and ending the program must not end the opener with it.
    auto *process = new QProcess;
    process->setProgram(opener);
    process->setArguments({QString::fromUtf8(QUrl::fromUserInput(target).toEncoded())});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, result](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (result)
                             result(status == QProcess::NormalExit && code == 0);
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, result](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         process->deleteLater();
                         if (result)
                             result(false);
                     });
    process->start();
}

bool startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

} // namespace platform
