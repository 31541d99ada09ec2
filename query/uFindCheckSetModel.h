#pragma once

// The condition model of the compound query: field-type classes, comparison
// words, connectors, and the pieces of the SELECT statement built from the
// condition rows and the display items. The dialog keeps its rows in string
// grids; these functions work on copies of the grid rows so that the rules
// can be checked without a window.

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace findquery {

// How a field's values are edited and written into the statement.
enum class TypeClass { Numeric, Date, Text };

// The class of a type code (the decimal text of the data layer's type
// number); codes are compared as text without the case of ASCII letters.
TypeClass typeClassOf(const QString &code);
inline bool isNumericCode(const QString &code)
{
    return typeClassOf(code) == TypeClass::Numeric;
}
inline bool isDateCode(const QString &code)
{
    return typeClassOf(code) == TypeClass::Date;
}

// Whether two texts are equal when ASCII letters are compared without case.
bool sameText(const QString &a, const QString &b);

// The comparison chooser's words, in order ("等于" … "包含").
QStringList comparisonWords();
// The operator written for a comparison word; empty for any other text.
QString comparisonOperator(const QString &word);
// The connector chooser's items, in order, the empty connector first.
QStringList connectorItems();

// A value as it is committed from the text box of a numeric field: the
// trimmed text when it is a 32-bit whole number, else "0".
QString normaliseNumber(const QString &text);

// A text put between single quotes in a statement or a row filter: every
// quote inside it doubled, so that it stays part of the value, and every
// NUL character dropped, since the database would stop reading there.
QString escapeQuotes(const QString &text);

// Column numbers of a condition row.
enum ConditionColumn {
    ccNumber = 0,
    ccLabel = 1,
    ccCompare = 2,
    ccValue = 3,
    ccConnector = 4,
    ccType = 5,
    ccFieldIndex = 6,
};
using ConditionRow = std::array<QString, 7>;

// Whether the row enters the statement: field, comparison and value all set.
bool isComplete(const ConditionRow &row);

// The conditions of the WHERE clause, " Where " + conditions, or empty when
// no row is complete. rows[0] is condition row 1; a complete row without a
// connector that is followed by another complete row gets "and" written
// into its connector cell.
QString buildWhereText(std::vector<ConditionRow> &rows, const QStringList &fieldNames);

// Why the condition rows make no statement the database can run: the
// condition row it concerns (1 for the first) and the message that says it.
struct ConditionProblem
{
    int row = 0;
    QString message;
};

// The first fault of the condition rows that would leave the statement
// incomplete, in the order the user reads the rows: a row begun but not
// finished (a value without its field or comparison, or a field and a
// comparison without a value), a connector with no condition after it, a
// ")" with no "(" before it, a ")" followed by a condition without "and" or
// "or", an unknown connector, or a "(" left open. A row with nothing but a
// field, a comparison or a connector in it is skipped as the builder skips
// it; so is an empty row. The connectors are read as buildWhereText writes
// them.
std::optional<ConditionProblem> findConditionProblem(const std::vector<ConditionRow> &rows);

// Column numbers of a display-items row: two fields per row.
enum DisplayColumn { dcMark1 = 0, dcLabel1 = 1, dcMark2 = 2, dcLabel2 = 3, dcPosition = 4 };
using DisplayRow = std::array<QString, 5>;

// The mark of a chosen field ("√").
QString checkMark();

// At most this many fields are chosen.
inline constexpr int kMaxChosenItems = 100;

// The display-items rows for a field catalogue of the given labels.
std::vector<DisplayRow> displayRowsFor(const QStringList &labels);

// The chosen fields' names and labels, read from the marks row by row.
void chooseItems(const std::vector<DisplayRow> &rows, const QStringList &fieldNames, QStringList &names,
                 QStringList &labels);

// The four lines of the statement.
QStringList composeSqlLines(const QString &selectList, const QString &fromText, const QString &whereText);

} // namespace findquery
