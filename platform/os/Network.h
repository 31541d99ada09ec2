#pragma once

#include <QStringList>

namespace platform {

// The IPv4 addresses that this machine's own host name resolves to, in the
// resolver's order, as dotted text. Empty when the name cannot be resolved.
QStringList hostAddresses();

} // namespace platform
