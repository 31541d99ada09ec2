#pragma once

#include <QByteArray>

// Stored forms of components, compiled in.
namespace resources {

// The main window's side bar "SideBar" as a binary form stream. It is written from the
// bar's design (app/MainSideBarDesign) by make_sidebar_form resources/forms/SideBar.frm.
// Empty when the resource is missing.
QByteArray sideBarForm();

} // namespace resources
