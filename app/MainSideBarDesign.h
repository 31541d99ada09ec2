#pragma once

#include <QByteArray>
#include <QList>

class TnbSideBar;
namespace platform {
class FormOwner;
}

// The design of the main window's side bar "SideBar". The window loads the bar from its
// stored form (resources/forms/SideBar.frm); make_sidebar_form writes that form again
// from this design after a change, and the window falls back to the design itself when
// the stored form cannot be loaded.
namespace mainsidebar {

// The main window's handlers the bar's events are bound to, in the order: the header's
// OnChange, then the OnClick of buttons 0 to 6.
QList<QByteArray> HandlerNames();

// Gives `bar` the design, replacing its headers. The events are bound to `owner`'s
// methods of the names above (an unpublished one leaves its event empty) and the button
// images to the owner's 32 × 32 image list "Img32". The first header becomes active
// directly, as a loaded bar's does, without an OnChange.
void Configure(TnbSideBar &bar, const platform::FormOwner &owner);

// The stored form of the designed bar, byte for byte as the resource must hold it.
QByteArray StoredForm();

} // namespace mainsidebar
