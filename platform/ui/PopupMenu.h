#pragma once

#include <QObject>
#include <QPoint>

class QMenu;

namespace platform {

// A context menu that controls reference (never own). With AutoPopup the control that
// references it shows it on a right click.
class PopupMenu : public QObject
{
    Q_OBJECT
public:
    explicit PopupMenu(QObject *parent = nullptr);
    ~PopupMenu() override;

    bool AutoPopup() const { return m_autoPopup; }
    void SetAutoPopup(bool value) { m_autoPopup = value; }

    // The menu whose actions are shown; created with the object.
    QMenu *Menu() const { return m_menu; }

    // Shows the menu at a screen position.
    void Popup(const QPoint &screenPos);

private:
    QMenu *m_menu;
    bool m_autoPopup = true;
};

} // namespace platform
