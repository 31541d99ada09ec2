// The company list answered from its loaded rows against the database
// engine itself: random company tables, and random statements from the
// quick search and the compound-query builder, must give the same rows in
// the same order (or fail alike).

#include "platform/db/Database.h"
#include "query/uFindCheckSetModel.h"
#include "query/uFmSearchs.h"
#include "support/EngineReader.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"

#include "support/QStringPrint.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace platform::db;

namespace {

const char kListSql[] =
    "select cTypeName,cCorpCName,cCAdd,cZip,cTel,cFax,cHttp,cEmail,cCorpEName,cEAdd,cAreaNo,"
    "cTypeNo,cArea,cProvince,cManager,cMainProd,cCorpMemo,iFlag,cRemark from Dorvak";

// The company table as the demo database declares it; `memoType` varies
// the profile column's declaration.
QString tableSql(const char *memoType)
{
    return QStringLiteral(
               "CREATE TABLE Dorvak (cTypeName VARCHAR(50), cCorpCName VARCHAR(255), cCAdd VARCHAR(255), "
               "cZip VARCHAR(10), cTel VARCHAR(100), cFax VARCHAR(100), cHttp VARCHAR(100), "
               "cEmail VARCHAR(100), cCorpEName VARCHAR(255), cEAdd VARCHAR(255), cAreaNo VARCHAR(10), "
               "cTypeNo VARCHAR(10), cArea VARCHAR(50), cProvince VARCHAR(50), cManager VARCHAR(100), "
               "cMainProd VARCHAR(255), cCorpMemo %1, iFlag INTEGER, cRemark VARCHAR(255))")
        .arg(QLatin1String(memoType));
}

// Texts that meet every rule of the comparison: empty, blanks, quotes,
// wildcards in data and in values, letters in both cases, Chinese, numbers
// written as text.
const QStringList kWords = {
    QString(),
    QStringLiteral(" "),
    QStringLiteral("O'Brien"),
    QStringLiteral("100%"),
    QStringLiteral("a_b"),
    QStringLiteral("Union"),
    QStringLiteral("union"),
    QStringLiteral("UNION Trading"),
    QStringLiteral("电子"),
    QStringLiteral("北京电子"),
    QStringLiteral("北京市"),
    QStringLiteral("浙江省"),
    QStringLiteral("Ltd."),
    QStringLiteral("0"),
    QStringLiteral("1"),
    QStringLiteral("007"),
    QStringLiteral("1.0"),
    QStringLiteral("-5"),
    QStringLiteral("100000"),
    QStringLiteral("É"),
    QStringLiteral("é"),
    QStringLiteral("z"),
    QStringLiteral("Z"),
    QStringLiteral("公司"),
    QStringLiteral("%"),
    QStringLiteral("_"),
    QStringLiteral("''"),
    QStringLiteral("1e0"),
    QStringLiteral("abc"),
    QStringLiteral("ABC"),
    QStringLiteral("Ā"),
    QStringLiteral("\u0085"),
    QStringLiteral("ǔ"),
    QStringLiteral("\uFFFD"),
};

class Random
{
public:
    explicit Random(unsigned seed) : m_rng(seed) {}
    int below(int n) { return int(m_rng() % unsigned(n)); }
    bool chance(int percent) { return below(100) < percent; }
    const QString &word() { return kWords[below(int(kWords.size()))]; }
    QString text()
    {
        QString t;
        for (int n = below(3) + 1; n > 0; --n)
            t += word();
        return t;
    }

private:
    std::mt19937 m_rng;
};

QString quoted(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

// Bytes that are no well-formed UTF-8, as the engine reads them: a cut-off
// character (read as U+01D4), stray continuation bytes (U+0085, U+0080),
// overlong forms of U+0100 and of U+00E9, and U+FFFE (read as U+FFFD).
const char *const kMalformed[] = {"E794", "85", "80", "E08480", "C3A9BF", "C1A9", "EFBFBE"};

// Whole numbers at the edge of what a double holds exactly, and beyond.
const char *const kEdgeIntegers[] = {"9007199254740992", "-9007199254740992", "9007199254740991",
                                     "-9007199254740993"};

// One company row: nulls, texts, and now and then a NUL byte or malformed
// UTF-8 inside a text.
QString randomInsert(Random &r)
{
    QStringList values;
    for (int c = 0; c < 19; ++c) {
        if (r.chance(10)) {
            values << QStringLiteral("NULL");
        } else if (c == 17) { // iFlag
            values << (r.chance(5) ? QLatin1String(kEdgeIntegers[r.below(4)])
                                   : QString::number(r.below(4) - 1));
        } else if (c == 13) { // cProvince: few values, as in a real directory
            values << quoted(QStringList{QStringLiteral("北京市"), QStringLiteral("浙江省"),
                                         QStringLiteral("Union")}[r.below(3)]);
        } else if (c == 16 && r.chance(70)) { // cCorpMemo: mostly Chinese
            values << quoted(r.text() + QStringLiteral("公司成立于北京，主要产品有电子元件") + r.text());
        } else if (r.chance(3)) {
            values << quoted(r.text()) + QStringLiteral(" || char(0) || ") + quoted(r.word());
        } else if (r.chance(6)) {
            values << QStringLiteral("CAST(X'%1' AS TEXT) || ").arg(QLatin1String(kMalformed[r.below(7)])) +
                          quoted(r.text());
        } else {
            values << quoted(r.text());
        }
    }
    return QStringLiteral("INSERT INTO Dorvak VALUES (%1)").arg(values.join(QLatin1Char(',')));
}

// A value as a user would type it, sometimes a piece of a stored value.
// Whole numbers beyond 2^53 come only as numbers: written as text, how the
// engine reads them depends on its release, and the snapshot leaves them
// to it.
QString typedValue(Random &r, bool wideNumbers = true)
{
    static const QStringList numberish = {
        QStringLiteral("1"), QStringLiteral("1.0"), QStringLiteral("1e0"), QStringLiteral("+1"),
        QStringLiteral("-0"), QStringLiteral(".5"), QStringLiteral("1a"), QStringLiteral("01"),
        QStringLiteral("2147483648"), QStringLiteral("１"), QStringLiteral("-1"), QStringLiteral("0x1"),
        // Beyond 2^53, where a double no longer tells neighbours apart.
        QStringLiteral("9007199254740993"), QStringLiteral("-9007199254740993"),
        QStringLiteral("9007199254740992"), QStringLiteral(" 9007199254740993 ")};
    if (r.chance(15))
        return numberish[r.below(int(numberish.size()) - (wideNumbers ? 0 : 4))];
    QString v = r.text();
    if (r.chance(30) && v.size() > 1)
        v = v.mid(r.below(int(v.size())), r.below(4) + 1);
    return v.trimmed();
}

class SnapshotDifferential : public ::testing::Test
{
protected:
    // Chunks of 64 rows: statements cross chunk borders, and each chunk
    // chooses its own encodings.
    void SetUp() override { ColumnStore::setDefaultChunkRows(64); }
    void TearDown() override { ColumnStore::setDefaultChunkRows(ColumnStore::kDefaultChunkRows); }

    // How often each text encoding holds a column chunk of the list.
    std::map<TextEncoding, int> encodings() const
    {
        std::map<TextEncoding, int> seen;
        const ColumnStore &store = *query->snapshot();
        for (int k = 0; k < store.chunkCount(); ++k) {
            for (int c = 0; c < store.columnCount(); ++c) {
                if (!store.isNumeric(c))
                    ++seen[store.chunk(k).columns[std::size_t(c)].text.encoding];
            }
        }
        return seen;
    }

    void open(const char *memoType, unsigned seed, int rows)
    {
        Random r(seed);
        path = dir.file(QStringLiteral("d%1.dat").arg(seed));
        QStringList statements{tableSql(memoType)};
        for (int i = 0; i < rows; ++i)
            statements << randomInsert(r);
        testdb::create(path, testdb::kPassword, 4096, statements);
        connection = std::make_unique<DbConnection>();
        connection->setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                                        path + QStringLiteral(";Jet OLEDB:Database Password=") +
                                        testdb::kPassword);
        connection->setConnected(true);
        engine = std::make_unique<testdb::EngineReader>(path, testdb::kPassword, 4096);
        query = std::make_unique<DbQuery>();
        query->setConnection(connection.get());
        query->setSqlText(QString::fromLatin1(kListSql));
        listSql = query->sqlText();
        query->open();
        fieldNames.clear();
        fieldTypes.clear();
        for (int f = 0; f < query->fieldCount(); ++f) {
            fieldNames << query->field(f)->fieldName();
            fieldTypes << QString::number(int(query->field(f)->dataType()));
        }
    }

    QString quickSearch(Random &r) const
    {
        QString text = typedValue(r, false);
        if (text.isEmpty())
            text = QStringLiteral("电");
        return listSql + TFmSearchs::SearchClause(fieldNames[r.below(int(fieldNames.size()))], text,
                                                  r.chance(30), r.chance(60));
    }

    QString compound(Random &r) const
    {
        using namespace findquery;
        std::vector<ConditionRow> rows(std::size_t(r.below(4) + 1));
        const QStringList words = comparisonWords();
        const QStringList connectors = connectorItems();
        for (ConditionRow &row : rows) {
            const int f = r.below(int(fieldNames.size()));
            row[ccLabel] = fieldNames[f];
            row[ccType] = fieldTypes[f];
            row[ccFieldIndex] = QString::number(f);
            row[ccCompare] = words[r.below(int(words.size()))];
            row[ccValue] = r.chance(8) ? QString() : typedValue(r);
            // Mostly no connector or a plain one: parentheses unbalance most statements.
            row[ccConnector] = r.chance(60) ? QString() : connectors[r.below(int(connectors.size()))];
        }
        std::vector<DisplayRow> display = displayRowsFor(fieldNames);
        for (DisplayRow &d : display) {
            if (r.chance(20))
                d[dcMark1].clear();
            if (r.chance(20))
                d[dcMark2].clear();
        }
        QStringList names, labels;
        chooseItems(display, fieldNames, names, labels);
        const QString where = buildWhereText(rows, fieldNames);
        return composeSqlLines(names.join(QLatin1Char(',')), QStringLiteral(" FROM  Dorvak "), where)
                   .join(QLatin1String("\r\n")) +
               QLatin1String("\r\n");
    }

    struct Tally
    {
        int statements = 0;
        int answered = 0;
        int rejected = 0;
        int rows = 0;
    };

    // Runs the statement both ways and compares; returns whether it was answered from the snapshot.
    void check(const QString &statement, Tally &tally)
    {
        ++tally.statements;
        query->setSqlText(statement);
        const testdb::EngineResult expected = engine->select(query->sql().join(QLatin1Char('\n')));
        bool opened = true;
        try {
            query->open();
        } catch (const DbError &) {
            opened = false;
        }
        ASSERT_EQ(opened, expected.error.isEmpty())
            << statement.toStdString() << expected.error.toStdString();
        if (!opened) {
            ++tally.rejected;
            return;
        }
        tally.answered += query->answeredFromSnapshot();
        ASSERT_EQ(query->fieldCount(), int(expected.columns.size())) << statement.toStdString();
        ASSERT_EQ(query->recordCount(), int(expected.rows.size())) << statement.toStdString();
        tally.rows += query->recordCount();
        for (int row = 0; row < query->recordCount(); ++row) {
            for (int f = 0; f < query->fieldCount(); ++f) {
                const std::optional<QString> &cell = expected.rows[std::size_t(row)][std::size_t(f)];
                ASSERT_EQ(query->cellIsNull(row, f), !cell.has_value())
                    << statement.toStdString() << " row " << row;
                ASSERT_EQ(query->cellText(row, f), cell.value_or(QString()))
                    << statement.toStdString() << " row " << row;
            }
        }
    }

    TempDir dir;
    QString path;
    QString listSql;
    QStringList fieldNames;
    QStringList fieldTypes;
    std::unique_ptr<DbConnection> connection;
    std::unique_ptr<testdb::EngineReader> engine;
    std::unique_ptr<DbQuery> query;
};

} // namespace

TEST_F(SnapshotDifferential, BuilderStatementsGiveTheEnginesRowsInItsOrder)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        open("LONGTEXT", seed, 300);
        const std::map<TextEncoding, int> seen = encodings();
        for (TextEncoding e : {TextEncoding::Plain, TextEncoding::Dictionary, TextEncoding::Compact})
            EXPECT_GT(seen.count(e), 0u) << "every encoding must come up, seed " << seed;
        Random r(seed * 7919);
        Tally tally;
        for (int i = 0; i < 1500; ++i) {
            check(r.chance(50) ? quickSearch(r) : compound(r), tally);
            if (HasFatalFailure())
                return;
        }
        // Every statement the engine accepts is one the loaded rows answer.
        EXPECT_EQ(tally.answered, tally.statements - tally.rejected) << "seed " << seed;
        EXPECT_GT(tally.rows, tally.statements) << "the statements must find rows";
        EXPECT_GT(tally.rejected, 0) << "dangling connectors and parentheses must come up";
        EXPECT_LT(tally.rejected * 3, tally.statements);
    }
}

// A profile column declared MEMO has numeric affinity yet holds text: its
// comparisons go to the engine, everything else is still answered.
TEST_F(SnapshotDifferential, ColumnsOfOtherRulesGoToTheEngine)
{
    open("MEMO", 9, 200);
    Random r(99);
    Tally tally;
    for (int i = 0; i < 1000; ++i) {
        check(r.chance(50) ? quickSearch(r) : compound(r), tally);
        if (HasFatalFailure())
            return;
    }
    EXPECT_GT(tally.answered, tally.statements / 2);
    EXPECT_LT(tally.answered, tally.statements - tally.rejected);
}
