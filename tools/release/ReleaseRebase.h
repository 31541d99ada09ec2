#pragma once

#include <QString>

// Laying a new release's database out on the previous release's pages.
//
// The engine encrypts every page it writes with a fresh random IV, so a
// database the vendor rebuilt, or merely VACUUMed, shares no bytes with the
// previous release even where its rows did not change. The tool therefore
// does not publish the vendor's file as it stands but a copy of the
// previous release's file changed row by row, through the engine, until it
// holds exactly the vendor's rows in the vendor's order: rows that stay
// keep their rowids and their pages, so those pages stay the same bytes and
// a delta needs to carry only the pages that changed.
namespace release {

struct RebaseStatistics
{
    qint64 Rows = 0;     // of the new release, all tables
    qint64 Kept = 0;     // in place
    qint64 Updated = 0;  // a changed row written over a row of the previous release
    qint64 Inserted = 0; // at a rowid the previous release did not use
    qint64 Deleted = 0;  // rowids of the previous release no longer used
};

// Writes to outPath the previous release's database changed to hold the
// rows of newPath, and checks that its content (every row of every table,
// in the engine's order, and the user version) is newPath's. Rows are
// matched by their content in order (the longest chain of rows found once
// in each release, then the rows between): a row that stays where it was
// relative to its neighbours keeps its rowid; new rows share the free
// rowids between the kept rows around them. Where there are too few (rows
// put between rows whose rowids follow each other), the kept rows after
// them move too, up to a gap large enough, or to the end of the table, past
// which rows stand 64 rowids apart: such a release changes more pages once,
// and later ones find room. The schemas must be the same. Empty on success,
// the reason in English otherwise; outPath is removed on failure.
QString rebaseDatabase(const QString &previousPath, const QString &newPath, const QString &outPath,
                       const QString &passPhrase, RebaseStatistics *statistics = nullptr);

} // namespace release
