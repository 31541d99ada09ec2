#pragma once

class QComboBox;

namespace platform {

// Makes a drop-down list open under its box, as a list that stands in for
// a cell of a grid must, instead of over it where the desktop style would
// put it (Qt's Fusion style lays the list over the box, its current item on
// the box). Under a Wayland compositor the list is a popup placed relative
// to the box's window, so it opens under the box there too.
void openListBelow(QComboBox *box);

} // namespace platform
