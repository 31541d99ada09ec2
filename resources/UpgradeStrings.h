#pragma once

#include <QHash>
#include <QString>

// The string tables of the self-updater: 39 messages for each of its 25
// languages (message i of language L at 41000 + 50 x (L - 1) + i) and the
// strings 40997 to 40999, read from the files in upgrade-messages/.
namespace resources {

// The string with the given identifier; empty when there is none.
QString upgradeString(int id);

// Reads one table file: lines "identifier<TAB>text", '#' starting a comment
// line; "\r", "\n" and "\\" in a text stand for CR, LF and a backslash.
// Lines that do not follow the form are skipped.
void parseUpgradeStrings(const QByteArray &file, QHash<int, QString> &into);

} // namespace resources
