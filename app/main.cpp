#include "app/AppTitle.h"
#include "app/DataLocation.h"
#include "app/uDMForm.h"
#include "app/uFmMainForm.h"
#include "platform/os/AllocatorArenas.h"
#include "platform/os/ExecutablePath.h"
#include "platform/os/NamedMutex.h"
#include "platform/ui/DisplayPlatform.h"
#include "platform/ui/FontSubstitution.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QtTranslations.h"
#include "platform/ui/WindowStacking.h"
#include "resources/AppIcon.h"
#include "upgrade/helper/suUpgradeFolder.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    platform::limitAllocatorArenas();
    platform::useDisplayPlatformFromEnvironment();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
    // Every window's icon, the tool and upgrade windows' too.
    QApplication::setWindowIcon(resources::applicationIcon());
    platform::installFontSubstitutions();
    platform::installQtTranslations();

    // One running copy per user session. A second copy says why it ends and
    // then brings the running one forward, as starting a program from the
    // desktop's menu again does. In that order: raised while the notice
    // shows, the running copy could cover the notice, and the second copy
    // would wait unseen for an OK nobody can give.
    platform::NamedMutex mutex(QString::fromUtf8(kApplicationTitle));
    if (mutex.alreadyExists()) {
        platform::messageBox(QStringLiteral("Velmora已运行\r\n请用 Alt + Esc (或 Alt + Tab) 键切换！"),
                             QStringLiteral("提示"), platform::MessageButtons::Ok);
        // The notice is taken down first, so that the display gives the
        // focus back before the running copy asks for it.
        QApplication::processEvents();
        mutex.requestHolderToFront();
        return 0;
    }
    mutex.listenForRequests([] { platform::bringToFront(FmMainForm); });

    // An upgrade cut short is put back (or finished) before any of the
    // program's files is opened.
    suTidyProgramFolder(platform::executableFolder());

    TDMForm dataModule(DatabaseFolder(platform::executableFolder()));
    dataModule.DataModuleCreate();
    if (dataModule.FOpenFailed)
        return 0;

    TFmMainForm mainForm;
    mainForm.FormCreate();
    mainForm.show();
    // Once the main window is up: what a new database took over of the user's edits.
    QTimer::singleShot(0, &mainForm, [&] { dataModule.TellCarriedEdits(&mainForm); });
    return application.exec();
}
