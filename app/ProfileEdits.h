#pragma once

#include "platform/db/KeptEdits.h"

#include <QString>

class QWidget;

namespace platform::db {
class DbConnection;
}

// The user's edits of the company profiles (公司简介, the one column the
// user writes into the vendor's database), kept a second time in a side
// file beside the database, so that they outlive it: a new database that
// takes the old one's place, from an online upgrade or a newer package,
// gets them carried over (see platform/db/KeptEdits.h).
//
// A company is found again by its Chinese name and Chinese address
// (cCorpCName, cCAdd): the vendor's tables have no key, and row numbers
// mean nothing in a table built anew. A company listed twice under one
// name and address gets the edit in each listing; one the new database no
// longer lists keeps its edit in the side file, for a later database that
// lists it again. Where the new database changed a profile the user had
// edited too, the user's text stays and the new text follows it, under a
// heading of its own, in the same profile.
namespace ProfileEdits {

// The side file of a database file: "dorvak.edits" beside "dorvak.dat".
QString sideFileFor(const QString &databaseFile);

platform::db::KeptEditsSettings settingsFor(const QString &databaseFile);

// The user's text with the new database's text after it.
QString mergedText(const QString &userText, const QString &newText);

// What the user is told after a new database took the edits over; empty
// when there is nothing to tell.
QString noticeText(const platform::db::CarryOverReport &report, const QString &sideFile);

// Tells the user, once, what the carrying of their edits did since they
// were last told.
void tellCarriedEdits(platform::db::DbConnection &connection, QWidget *parent);

} // namespace ProfileEdits
