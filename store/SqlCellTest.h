#pragma once

#include "store/RowPredicate.h"
#include "store/SnapshotSelect.h"

#include <memory>

namespace store {

// How the engine sees a snapshot column when it compares its cells.
enum class SqlColumnClass {
    // Text affinity, binary collation, only text (or null) stored: compared
    // byte by byte; a number compared with it is first written as text.
    Text,
    // Integer or numeric affinity, only whole numbers (or null) stored:
    // compared as numbers, exactly; a text that reads as a number is taken
    // as that number, any other text is greater than every number; LIKE
    // compares the numbers written out.
    Integer,
};

// The comparison `column op literal` over a column of that class with the
// engine's rules (a null cell never passes), or nullptr when this pair is
// one whose result could differ from the engine's in some corner.
std::unique_ptr<CellTest> makeSqlCellTest(SqlColumnClass columnClass, SqlOp op, const SqlLiteral &literal);

} // namespace store
