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
// where the edits of the profile memo are written.
//
// The copy is the user's, and the package's database the vendor's: when a
// newer package brings a newer database (one changed later than the one
// the copy was made from, which the side file of the profile edits
// records), the copy is replaced by it, and the user's edits are carried
// over into it as after an online upgrade (see ProfileEdits.h). A copy made
// before its edits were kept has them found by comparison with the
// package's database: exactly, when that is still the database it was
// copied from; otherwise every profile that differs is kept as the user's,
// with the package's text after it, so that neither side loses a word.
QString DatabaseFolder(const QString &programFolder);

// The refreshing of the user's copy on its own: `copy` from the package's
// database `shared`.
void RefreshUserCopy(const QString &shared, const QString &copy);
