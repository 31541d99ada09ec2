#include "app/AppMessages.h"
#include "app/uDMForm.h"
#include "app/uFmMainForm.h"
#include "platform/os/ExecutablePath.h"
#include "platform/os/NamedMutex.h"
#include "platform/ui/FontSubstitution.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(app::kApplicationTitle));
    platform::installFontSubstitutions();

    // One running copy per user session.
    platform::NamedMutex mutex(QString::fromUtf8(app::kApplicationTitle));
    if (mutex.alreadyExists()) {
        app::messageBox(QStringLiteral("Velmora已运行\r\n请用 Alt + Esc (或 Alt + Tab) 键切换！"),
                        QStringLiteral("提示"), app::MessageButtons::Ok);
        return 0;
    }

    TDMForm dataModule(platform::executableFolder());
    dataModule.DataModuleCreate();
    if (dataModule.FOpenFailed)
        return 0;

    TFmMainForm mainForm;
    mainForm.FormCreate();
    mainForm.show();
    return application.exec();
}
