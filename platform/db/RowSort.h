#pragma once

#include "platform/db/StoreNames.h"
#include "store/SortKeys.h"

#include <QString>

#include <vector>

namespace platform::db {

// One key of a query's sort: a field and its direction.
struct SortTerm
{
    QString field;
    bool descending = false;
};

// Reads a sort text: field names separated by commas, each optionally
// followed by ASC or DESC in any letter case ("cProvince, cCorpCName DESC").
// A blank text gives no terms. Throws DbError for a text that cannot be read.
std::vector<SortTerm> parseSortText(const QString &text);
// The text of the terms, as parseSortText reads it.
QString sortText(const std::vector<SortTerm> &terms);

// A column to order by: its places and the direction.
struct SortColumn
{
    const ColumnPlaces *places;
    bool descending;
};

// Orders store rows by the columns, the first column first. Stable: rows
// equal in every column keep their order. Empty and null cells come last
// in either direction.
void orderRows(std::vector<int> &rows, const std::vector<SortColumn> &columns);

} // namespace platform::db
