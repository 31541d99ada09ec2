#include "store/SnapshotSelect.h"

#include <gtest/gtest.h>

using namespace store;

namespace {

std::optional<SnapshotSelect> parse(std::string_view sql)
{
    return SnapshotSelect::parse(tokenizeSql(sql));
}

} // namespace

TEST(SqlTokenizer, QuotedTextNamesAndCommentsAreNoWords)
{
    const auto tokens = tokenizeSql("select 'it''s -- no comment' /* join */ \"group\" [top] -- union\n x");
    ASSERT_EQ(tokens.size(), 5u);
    EXPECT_TRUE(tokens[0].isWord("SELECT"));
    EXPECT_EQ(tokens[1].kind, SqlToken::Kind::String);
    EXPECT_EQ(tokens[1].text, "it's -- no comment");
    EXPECT_EQ(tokens[2].kind, SqlToken::Kind::QuotedName);
    EXPECT_EQ(tokens[3].kind, SqlToken::Kind::QuotedName);
    EXPECT_TRUE(tokens[4].isWord("X"));

    // The engine reads up to a NUL byte; an open quote or a number running
    // into a name is no token it accepts.
    EXPECT_EQ(tokenizeSql(std::string_view("a = 1\0 or 1=1", 13)).size(), 3u);
    EXPECT_EQ(tokenizeSql("'open").front().kind, SqlToken::Kind::Illegal);
    EXPECT_EQ(tokenizeSql("12ab").front().kind, SqlToken::Kind::Illegal);
    EXPECT_EQ(tokenizeSql("<> != <= >= == ||").size(), 6u);
    EXPECT_TRUE(isSqlKeyword("Where"));
    EXPECT_TRUE(isSqlKeyword("current_date"));
    EXPECT_FALSE(isSqlKeyword("cCorpCName"));
}

TEST(SnapshotSelect, ReadsTheStatementsOfTheListTheQuickSearchAndTheCompoundQuery)
{
    const auto list = parse("select cTypeName,cCorpCName,iFlag from Dorvak\n");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->columns, (std::vector<std::string>{"cTypeName", "cCorpCName", "iFlag"}));
    EXPECT_EQ(list->table, "Dorvak");
    EXPECT_FALSE(list->where);
    EXPECT_TRUE(parse("SELECT \r\n*\r\n FROM  Dorvak \r\n\r\n")->allColumns);

    const auto quick = parse("select cCorpCName from Dorvak\n WHERE (cCorpCName LIKE '%O''Brien%')");
    ASSERT_TRUE(quick && quick->where);
    EXPECT_EQ(quick->where->kind, SqlCondition::Kind::Compare);
    EXPECT_EQ(quick->where->op, SqlOp::Like);
    EXPECT_EQ(quick->where->literal.text, "%O'Brien%");

    // Connectors with parentheses: AND binds closer than OR.
    const auto compound =
        parse("SELECT \r\ncCorpCName,iFlag\r\n FROM  Dorvak \r\n Where  cCorpCName like '%电子%' or ( "
              " iFlag >= -3 and  cZip <> '100000'  )  ");
    ASSERT_TRUE(compound && compound->where);
    const SqlCondition &top = *compound->where;
    ASSERT_EQ(top.kind, SqlCondition::Kind::Or);
    ASSERT_EQ(top.parts.size(), 2u);
    EXPECT_EQ(top.parts[1].kind, SqlCondition::Kind::And);
    EXPECT_EQ(top.parts[1].parts[0].literal.kind, SqlLiteral::Kind::Integer);
    EXPECT_EQ(top.parts[1].parts[0].literal.integer, -3);
    EXPECT_EQ(top.parts[1].parts[1].op, SqlOp::Ne);
    EXPECT_EQ(parse("select a from t where a = 1 or b = 2 and c = 3")->where->parts[1].kind,
              SqlCondition::Kind::And);

    const auto real = parse("select a from t where a < 1.25");
    ASSERT_TRUE(real);
    EXPECT_EQ(real->where->literal.kind, SqlLiteral::Kind::Real);
    EXPECT_DOUBLE_EQ(real->where->literal.real, 1.25);
}

TEST(SnapshotSelect, LeavesEverythingElseToTheEngine)
{
    for (const char *sql : {
             "select distinct a from t",
             "select a as b from t",
             "select t.a from t",
             "select \"a\" from t",
             "select a from t where \"a\" = 1",
             "select a from t x",
             "select a from t, u",
             "select a from t where a = b",
             "select a from t where 1 = a",
             "select a from t where not a = 1",
             "select a from t where a not like 'x'",
             "select a from t where a like 'x' escape '!'",
             "select a from t where a is null",
             "select a from t where a in (1, 2)",
             "select a from t where a between 1 and 2",
             "select a from t where a = 1 order by a",
             "select a from t where a = 1;",
             "select a from t where a = 1 collate nocase",
             "select a from t where a = x'00'",
             "select a from t where a = ?",
             "select a from t where a = 1e3",
             "select a from t where a = 0x10",
             "select a from t where a = - -1",
             "select a from t where a = -'1'",
             "select a from t where a = 1234567890123456789",
             "select a from t where a = 1.2345678901234567",
             "select a from t where a = 'x' || 'y'",
             "select a from t where (a = 1",
             "select a from t where a = 1)",
             "select a from t where null = 1",
             "select a from t where current_date = '2003-06-18'",
             "select count(*) from t",
             "select a from where",
             "with x as (select 1) select a from t",
             "",
         })
        EXPECT_FALSE(parse(sql)) << sql;
}
