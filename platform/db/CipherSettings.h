#pragma once

namespace platform::db {

// Cipher page size of the files our builder writes. Reading an encrypted
// table costs about five times a plain one with the engine's default
// 1024-byte pages and about 2.3 times with 4096-byte pages.
inline constexpr int kBuilderPageSize = 4096;

} // namespace platform::db
