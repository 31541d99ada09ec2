#pragma once

namespace platform::stream {

// The four bytes every component stream starts with.
inline constexpr char FormSignature[] = {'T', 'P', 'F', '0'};
inline constexpr int FormSignatureSize = 4;

} // namespace platform::stream
