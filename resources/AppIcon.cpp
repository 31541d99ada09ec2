#include "resources/AppIcon.h"

#include <mutex>

// See Pictures.cpp: a compiled-in resource has to be asked for by name.
static void registerIconResources()
{
    Q_INIT_RESOURCE(velmora_icons);
}

namespace resources {

QIcon applicationIcon()
{
    static std::once_flag once;
    std::call_once(once, registerIconResources);
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/velmora-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace resources
