#pragma once

#include <QString>

// Where the program's database lives, with its trailing "/".
//
// As designed, dorvak.dat lies beside the executable: in the build, and in
// a per-user install (~/.local/lib/velmora), where the upgrade replaces it.
// A package install keeps its files under /usr, which belong to the package
// manager and which the user cannot write; there the package ships a
// read-only demo database in <prefix>/share/velmora, and the program copies
// it on its first start into the user's data folder (~/.local/share/velmora),
// where the edits of the profile memo are written. A copy that is there
// already is the user's and is never replaced.
QString DatabaseFolder(const QString &programFolder);
