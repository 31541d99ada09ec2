#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// velmora-search [--db FILE] [--csv|--json] [--] WORD...
//
// The search box's search from the terminal: prints the companies the
// words find, in the window's order (names first), every field of the
// company list; TSV with a title line by default, CSV (RFC 4180) or JSON
// (an array of objects named by the fields) on request. The count goes to
// `err`. Returns the exit status: 0 when something matched, 1 when nothing
// did, 2 on an error (told on `err`). Without --db it opens the database
// the program would open from `programFolder`.
int RunSearchCommand(const QStringList &arguments, const QString &programFolder, QTextStream &out,
                     QTextStream &err);

// The usage text of the command.
QString SearchCommandUsage();
