#pragma once

#include <QByteArray>

// Stored forms of components, compiled in.
namespace resources {

// The main window's side bar "SideBar" as a binary form stream. It is written by
// tools/sidebarform (make_sidebar_form resources/forms/SideBar.frm) from the bar's design.
QByteArray sideBarForm();

} // namespace resources
