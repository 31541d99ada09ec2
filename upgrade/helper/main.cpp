// The replacement helper of the online upgrade ("Updater.exe"): written out
// and started by the program as it closes for an upgrade.
#include "upgrade/helper/suUpgradeHelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {

const char *const kAbout = "本程序由软件的在线升级功能自动启动，\n"
                           "在软件关闭后安装新版本的文件，\n"
                           "然后重新启动软件。请不要直接运行它。";

// Started by hand, without arguments: say what this is and end.
int explain(int argc, char **argv)
{
    const bool graphical = !qEnvironmentVariableIsEmpty("DISPLAY") ||
                           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
                           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (!graphical) {
        std::fprintf(stderr, "Updater v1.0\n%s\n", kAbout);
        return 0;
    }
    QApplication application(argc, argv);
    QMessageBox box(QMessageBox::Information, QStringLiteral("Updater v1.0"), QString::fromUtf8(kAbout),
                    QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const std::optional<TsuHelperCommand> command = suParseHelperArguments(arguments);
    if (!command)
        return explain(argc, argv);
    const TsuHelperOutcome outcome = suRunHelper(*command);
    return outcome == TsuHelperOutcome::Installed || outcome == TsuHelperOutcome::NothingToDo ? 0 : 1;
}
