#pragma once

// The directory database's file name and the password it is opened with.
inline constexpr char kDatabaseFileName[] = "dorvak.dat";
inline constexpr char kDatabasePassword[] = "zxc3k9p2lumentra@mwq";
