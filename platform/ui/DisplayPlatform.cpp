#include "platform/ui/DisplayPlatform.h"

#include <QtGlobal>

namespace platform {

QByteArray chooseDisplayPlatform(const QByteArray &qtQpaPlatform, const QByteArray &waylandDisplay)
{
    if (!qtQpaPlatform.isEmpty() || waylandDisplay.isEmpty())
        return {};
    // Qt tries the plugins in order; "xcb" serves where qt6-wayland is missing.
    return QByteArrayLiteral("wayland;xcb");
}

void useDisplayPlatformFromEnvironment()
{
    const QByteArray chosen = chooseDisplayPlatform(qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"));
    if (!chosen.isEmpty())
        qputenv("QT_QPA_PLATFORM", chosen);
}

} // namespace platform
