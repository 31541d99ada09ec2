#include "app/AppTitle.h"
#include "app/uDMForm.h"
#include "app/uFmMainForm.h"
#include "platform/os/ExecutablePath.h"
#include "platform/os/NamedMutex.h"
#include "platform/ui/FontSubstitution.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QtTranslations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
    platform::installFontSubstitutions();
    platform::installQtTranslations();

    // One running copy per user session.
    platform::NamedMutex mutex(QString::fromUtf8(kApplicationTitle));
    if (mutex.alreadyExists()) {
        platform::messageBox(QStringLiteral("Velmora已运行\r\n请用 Alt + Esc (或 Alt + Tab) 键切换！"),
                             QStringLiteral("提示"), platform::MessageButtons::Ok);
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
