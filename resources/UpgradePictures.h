#pragma once

#include <QImage>

// The built-in pictures of the upgrade windows, drawn in code in the sixteen
// colours of the classic palette, without smoothing.
namespace resources {

enum class UpgradePicture {
    Wizard,   // 118 x 218: a desktop computer with compact discs and
              // diskettes, linked by a cable to a globe, on teal
    Question, // 63 x 58, transparent: two computers linked by a green cable
              // across an envelope
    Key,      // 32 x 32: a yellow key in front of a page with a globe
};

QImage upgradePicture(UpgradePicture which);

} // namespace resources
