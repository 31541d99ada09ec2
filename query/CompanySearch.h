#pragma once

#include "platform/db/DbQuery.h"

#include <QString>
#include <QStringList>

#include <vector>

// The search box's search on the company list, shared by the browsing
// panel and the velmora-search command.

// The columns of the company table the search reads: what a user looks a
// company up by. The Chinese and English names, the addresses, the main
// products, the profile, the manager, the telephone and fax numbers, the
// area code and name, the postal code, the province, the category name,
// the web address and the mail address. The Chinese name, the Chinese
// address and the main products are read in pinyin too; the profile is
// not, where initials would match almost anything, nor the rest, which
// are Latin text, numbers or too short to need it. Matches in the names
// come first.
std::vector<platform::db::DbQuery::SearchField> CompanySearchFields();
// Those of them read in pinyin: the company list is read ahead with marks
// of their readings (DbConnection::setReadingColumns).
QStringList CompanyReadingColumns();

// Gives the company query the search of the typed text; a blank text (or
// one of blanks and lone minus signs) removes the search. Throws DbError
// when typed text in an edit cannot be posted first, as the row filter does.
void ApplyCompanySearch(platform::db::DbQuery *companies, const QString &text);
