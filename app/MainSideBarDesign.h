#pragma once

#include <QByteArray>
#include <QList>

class TnbSideBar;
namespace platform {
class FormOwner;
}

// The design of the main window's side bar "SideBar", kept as code so that its stored
// form (resources/forms/SideBar.frm, loaded by the main window at start-up) can be
// written again after a change: make_sidebar_form writes it.
namespace tools {

// The main window's handlers the bar's events are bound to, in the order: the header's
// OnChange, then the OnClick of buttons 0 to 6.
QList<QByteArray> mainSideBarHandlers();

// Gives `bar` the main window's design. Its events are bound to `owner`'s methods of
// the names above and its button images to the owner's 32 × 32 image list "Img32".
void configureMainSideBar(TnbSideBar &bar, const platform::FormOwner &owner);

// The stored form of that bar, as the main window's resource holds it.
QByteArray mainSideBarForm();

} // namespace tools
