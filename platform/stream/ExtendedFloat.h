#pragma once

#include <QByteArray>

namespace platform::stream {

// Size in bytes of an 80-bit x87 extended float.
inline constexpr int ExtendedSize = 10;

// `value` as an 80-bit extended float, little-endian (the 64-bit mantissa with its
// explicit integer bit, then sign and 15-bit exponent). Every double converts exactly.
QByteArray ToExtended(double value);

// The extended float in `bytes` (ten bytes) as the nearest double; values beyond the
// range of a double become infinities or zeros.
double FromExtended(const char *bytes);

// `value` rounded to a 32-bit float; values beyond its range become infinities.
float ToSingle(double value);

} // namespace platform::stream
