#pragma once

#include "platform/ui/Colors.h"

#include <QByteArray>
#include <optional>

namespace platform {

// The identifier a stored form writes for a named colour ("clBtnFace", "clWhite"), or an
// empty array for a colour without a name.
QByteArray ColorToIdent(TColor color);

// The colour an identifier names (compared without case); none for an unknown name.
std::optional<TColor> IdentToColor(const QByteArray &ident);

} // namespace platform
