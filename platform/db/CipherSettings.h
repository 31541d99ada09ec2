#pragma once

namespace platform::db {

// The pass phrase the directory's database is keyed with: the program opens
// it with this, the demo builder writes it, and the release tool and the
// upgrade work on its pages with it.
inline constexpr char kDirectoryPassPhrase[] = "zxc3k9p2lumentra@mwq";

// Cipher page size of the files our builder writes. Every page is
// decrypted and checked on its own, so larger pages make reading a whole
// table much cheaper: a million companies read in about 2.4 s with
// 4096-byte pages and 1.4 s with 65536-byte pages (the engine's default
// 1024-byte pages cost about twice as much again).
inline constexpr int kBuilderPageSize = 65536;

// The page sizes a file is tried with when it is opened, in this order:
// the builder's, the one it wrote before, the engine's default (0).
inline constexpr int kKnownPageSizes[] = {kBuilderPageSize, 4096, 0};

} // namespace platform::db
