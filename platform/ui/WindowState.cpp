#include "platform/ui/WindowState.h"

#include "platform/ui/WindowDrag.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

#include <algorithm>

namespace platform {

QString WindowState::fileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
           QStringLiteral("/window.ini");
}

void WindowState::save(const QWidget *window, const QString &key)
{
    QSettings settings(fileName(), QSettings::IniFormat);
    settings.beginGroup(key);
    const QRect normal =
        window->isMaximized() || window->isFullScreen() ? window->normalGeometry() : window->geometry();
    if (normal.isValid())
        settings.setValue(QStringLiteral("size"), normal.size());
    settings.setValue(QStringLiteral("maximized"), window->isMaximized());
    if (windowPositionsHonoured() && normal.isValid())
        settings.setValue(QStringLiteral("position"), normal.topLeft());
    else
        settings.remove(QStringLiteral("position"));
    settings.endGroup();
    settings.sync();
}

bool WindowState::restore(QWidget *window, const QString &key)
{
    QSettings settings(fileName(), QSettings::IniFormat);
    settings.beginGroup(key);
    const QSize kept = settings.value(QStringLiteral("size")).toSize();
    if (!kept.isValid())
        return false;
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(), kept);
    const QSize size =
        kept.expandedTo(window->minimumSize()).boundedTo(area.size().expandedTo(window->minimumSize()));
    window->resize(size);
    const QVariant position = settings.value(QStringLiteral("position"));
    if (windowPositionsHonoured() && position.isValid()) {
        // A position kept on a screen that is gone or smaller comes back onto this one.
        QRect placed(position.toPoint(), size);
        placed.moveLeft(std::max(area.left(), std::min(placed.left(), area.right() + 1 - size.width())));
        placed.moveTop(std::max(area.top(), std::min(placed.top(), area.bottom() + 1 - size.height())));
        window->move(placed.topLeft());
    }
    if (settings.value(QStringLiteral("maximized")).toBool())
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    return true;
}

} // namespace platform
