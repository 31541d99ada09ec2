#pragma once

#include <QAccessible>

class TnbButton;
class TnbHeader;
class TnbSideBar;

// What a screen reader finds in the side bar, which draws its headers and
// buttons itself: the bar holds each visible header as a page tab list named
// by its caption, and each header its visible buttons as page tabs named by
// theirs (their hint where a button shows no caption), with their own
// rectangles, states (the active header and the header's selected button are
// selected; the item the keyboard is on is focused) and a press action that
// does what a click does. Modelled on Qt's own tab bar.
//
// Installs the factory that gives every TnbSideBar this interface; the bar
// calls it when the first bar is made.
void nbInstallAccessibility();

// Tells an assistive technology that the active header, the selected button
// or the keyboard's item changed (`event` Selection or Focus): `button` none
// names the header itself. Nothing happens while no screen reader listens.
void nbNotifyAccessible(TnbSideBar *bar, TnbHeader *header, TnbButton *button, QAccessible::Event event);
