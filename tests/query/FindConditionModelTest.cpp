#include "query/uFindCheckSetModel.h"

#include "support/QStringPrint.h"
#include "support/TestDatabase.h"

#include <sqlcipher/sqlite3.h>

#include <gtest/gtest.h>

using namespace findquery;

namespace {

// The nineteen company columns in list order.
const QStringList kCompanyFields = QStringLiteral("cTypeName,cCorpCName,cCAdd,cZip,cTel,cFax,cHttp,cEmail,"
                                                  "cCorpEName,cEAdd,cAreaNo,cTypeNo,cArea,cProvince,cManager,"
                                                  "cMainProd,cCorpMemo,iFlag,cRemark")
                                       .split(QLatin1Char(','));

int indexOf(const char *field)
{
    return int(kCompanyFields.indexOf(QLatin1String(field)));
}

// A condition row as the editors leave it.
ConditionRow row(const QString &label, const QString &compare, const QString &value, const QString &connector,
                 const char *field, const char *type = "24")
{
    return {QString(),
            label,
            compare,
            value,
            connector,
            QString::fromLatin1(type),
            QString::number(indexOf(field))};
}

ConditionRow emptyRow()
{
    return {};
}

} // namespace

TEST(FindConditionModel, WorkedExampleGivesTheStatementByteForByte)
{
    std::vector<ConditionRow> rows{
        row(QStringLiteral("公司名称"), QStringLiteral("包含"), QStringLiteral("电子"), QString(),
            "cCorpCName"),
        row(QStringLiteral("省份"), QStringLiteral("等于"), QStringLiteral("浙江"), QString(), "cProvince"),
    };
    const QString where = buildWhereText(rows, kCompanyFields);
    QStringList names, labels;
    chooseItems(displayRowsFor(kCompanyFields), kCompanyFields, names, labels);
    const QStringList lines =
        composeSqlLines(names.join(QLatin1Char(',')), QStringLiteral(" FROM  Dorvak "), where);

    QString text;
    for (const QString &line : lines)
        text += line + QLatin1String("\r\n");
    const QByteArray expected =
        "SELECT \r\n"
        "cTypeName,cCorpCName,cCAdd,cZip,cTel,cFax,cHttp,cEmail,cCorpEName,cEAdd,cAreaNo,"
        "cTypeNo,cArea,cProvince,cManager,cMainProd,cCorpMemo,iFlag,cRemark\r\n"
        " FROM  Dorvak \r\n"
        " Where  cCorpCName like '%\xE7\x94\xB5\xE5\xAD\x90%' and  cProvince = "
        "'\xE6\xB5\x99\xE6\xB1\x9F' \r\n";
    EXPECT_EQ(text.toUtf8(), expected);
    // The missing connector is written back into the first row.
    EXPECT_EQ(rows[0][ccConnector], QStringLiteral("and"));
    EXPECT_EQ(rows[1][ccConnector], QString());
}

TEST(FindConditionModel, ConnectorRules)
{
    const QString name = QStringLiteral("公司名称");
    const QString eq = QStringLiteral("等于");
    {
        // Only incomplete rows: no WHERE clause at all.
        std::vector<ConditionRow> rows{row(name, eq, QString(), QString(), "cCorpCName")};
        EXPECT_EQ(buildWhereText(rows, kCompanyFields), QString());
    }
    {
        // A complete row followed only by incomplete ones keeps its empty connector (two spaces).
        std::vector<ConditionRow> rows{row(name, eq, QStringLiteral("甲"), QString(), "cCorpCName"),
                                       emptyRow(), emptyRow()};
        EXPECT_EQ(buildWhereText(rows, kCompanyFields), QStringLiteral(" Where  cCorpCName = '甲'  "));
        EXPECT_EQ(rows[0][ccConnector], QString());
    }
    {
        // "or" before incomplete rows dangles at the end.
        std::vector<ConditionRow> rows{
            row(name, eq, QStringLiteral("甲"), QStringLiteral("or"), "cCorpCName"), emptyRow()};
        EXPECT_EQ(buildWhereText(rows, kCompanyFields), QStringLiteral(" Where  cCorpCName = '甲' or "));
    }
    {
        // The grid's last row drops "and" but keeps ")".
        std::vector<ConditionRow> rows{
            row(name, eq, QStringLiteral("甲"), QStringLiteral("and ("), "cCorpCName"),
            row(name, eq, QStringLiteral("乙"), QStringLiteral("or"), "cCorpCName"),
            row(name, eq, QStringLiteral("丙"), QStringLiteral(")"), "cCorpCName"),
        };
        EXPECT_EQ(
            buildWhereText(rows, kCompanyFields),
            QStringLiteral(" Where  cCorpCName = '甲' and (  cCorpCName = '乙' or  cCorpCName = '丙' ) "));
        rows[2][ccConnector] = QStringLiteral("and");
        EXPECT_EQ(
            buildWhereText(rows, kCompanyFields),
            QStringLiteral(" Where  cCorpCName = '甲' and (  cCorpCName = '乙' or  cCorpCName = '丙' "));
    }
    {
        // An incomplete row in between is skipped; the empty connector looks past it.
        std::vector<ConditionRow> rows{row(name, eq, QStringLiteral("甲"), QString(), "cCorpCName"),
                                       emptyRow(),
                                       row(name, eq, QStringLiteral("乙"), QString(), "cCorpCName")};
        EXPECT_EQ(buildWhereText(rows, kCompanyFields),
                  QStringLiteral(" Where  cCorpCName = '甲' and  cCorpCName = '乙' "));
        EXPECT_EQ(rows[0][ccConnector], QStringLiteral("and"));
        EXPECT_EQ(rows[1][ccConnector], QString());
    }
}

namespace {

// Whether the database engine takes a WHERE clause on the company table.
bool engineTakes(const QString &where)
{
    sqlite3 *db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_exec(db, testdb::companyTableSql().toUtf8().constData(), nullptr, nullptr, nullptr);
    sqlite3_stmt *statement = nullptr;
    const QByteArray sql = ("SELECT * FROM  Dorvak " + where).toUtf8();
    const bool ok = sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) == SQLITE_OK;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return ok;
}

} // namespace

// Conditions that would make no statement, or one that quietly drops what
// the user began, are named with their row; the connector cases agree with
// what the engine takes.
TEST(FindConditionModel, IncompleteConditionsAreFoundWithTheirRow)
{
    const QString name = QStringLiteral("公司名称");
    const QString eq = QStringLiteral("等于");
    const auto complete = [&](const char *connector) {
        return row(name, eq, QStringLiteral("甲"), QString::fromUtf8(connector), "cCorpCName");
    };
    struct Case
    {
        const char *what;
        std::vector<ConditionRow> rows;
        int row;                // 0: no problem
        const char *message;    // the start of the message
        bool connectors = true; // a case of connectors, which the engine decides too
    };
    const Case cases[] = {
        {"one empty row", {emptyRow()}, 0, ""},
        {"a field chosen in passing",
         {complete(""), row(name, QString(), QString(), QString(), "cCorpCName")},
         0,
         ""},
        {"no comparison",
         {row(name, QString(), QStringLiteral("甲"), QString(), "cCorpCName")},
         1,
         "查询条件不完整：第1行缺少“搜索条件”，请补全后再查询！",
         false},
        {"a value alone",
         {complete(""), row(QString(), QString(), QStringLiteral("乙"), QString(), "cCorpCName")},
         2,
         "查询条件不完整：第2行缺少“搜索主题”和“搜索条件”，请补全后再查询！",
         false},
        {"no value",
         {row(name, eq, QString(), QString(), "cCorpCName")},
         1,
         "查询条件不完整：第1行缺少“搜索内容”，请补全后再查询！",
         false},
        {"a begun row before a dangling connector",
         {complete("or"), row(name, QString(), QStringLiteral("乙"), QString(), "cCorpCName")},
         2,
         "查询条件不完整：第2行缺少“搜索条件”",
         false},
        {"and before an empty row",
         {complete("and"), emptyRow()},
         1,
         "查询条件不完整：第1行的条件关系“and”后面缺少条件，请补全后再查询！"},
        {"or ( before empty rows",
         {complete(""), complete("or ("), emptyRow(), emptyRow()},
         2,
         "查询条件不完整：第2行的条件关系“or (”后面缺少条件"},
        {"an unclosed (",
         {complete("and ("), complete("")},
         1,
         "查询条件不完整：第1行的“(”没有对应的“)”，请补全后再查询！"},
        {"the last of two unclosed",
         {complete("and ("), complete("or ("), complete("and"), complete("")},
         2,
         "查询条件不完整：第2行的“(”"},
        {"a ) too many", {complete(")"), emptyRow()}, 1, "查询条件有误：第1行的“)”没有对应的“(”，请核实！"},
        {") then a condition",
         {complete("and ("), complete(")"), complete("")},
         2,
         "查询条件不完整：第2行的“)”与下一个条件之间缺少“and”或“or”"},
        {"the last row's ) and",
         {complete("and ("), complete(") and")},
         2,
         "查询条件不完整：第2行的条件关系“) and”后面缺少条件"},
        {"an unknown connector",
         {complete("xor"), complete("")},
         1,
         "查询条件有误：第1行的条件关系“xor”无法识别"},
        {"balanced", {complete("or ("), complete(") and"), complete("")}, 0, ""},
        {"closed on the last row", {complete("and ("), complete("or"), complete(")")}, 0, ""},
        {"the last row's connector dropped", {complete(""), complete("and (")}, 0, ""},
        {"a stray ) and on the last row", {complete(""), complete(") and")}, 0, ""},
        {"an incomplete row between", {complete("and ("), emptyRow(), complete(")")}, 0, ""},
    };
    for (const Case &c : cases) {
        const std::optional<ConditionProblem> problem = findConditionProblem(c.rows);
        EXPECT_EQ(problem ? problem->row : 0, c.row) << c.what;
        if (problem) {
            EXPECT_TRUE(problem->message.startsWith(QString::fromUtf8(c.message)))
                << c.what << ": " << problem->message.toStdString();
        }
        if (c.connectors) {
            std::vector<ConditionRow> rows = c.rows;
            EXPECT_EQ(engineTakes(buildWhereText(rows, kCompanyFields)), !problem) << c.what;
        }
    }
}

TEST(FindConditionModel, ValuesFollowTheTypeClass)
{
    EXPECT_EQ(typeClassOf(QStringLiteral("2")), TypeClass::Numeric);
    EXPECT_EQ(typeClassOf(QStringLiteral("3")), TypeClass::Numeric);
    EXPECT_EQ(typeClassOf(QStringLiteral("6")), TypeClass::Numeric);
    EXPECT_EQ(typeClassOf(QStringLiteral("7")), TypeClass::Numeric);
    EXPECT_EQ(typeClassOf(QStringLiteral("25")), TypeClass::Numeric);
    EXPECT_EQ(typeClassOf(QStringLiteral("9")), TypeClass::Date);
    EXPECT_EQ(typeClassOf(QStringLiteral("11")), TypeClass::Date);
    // Unsigned 16-bit, BCD and auto-increment are quoted like text.
    for (const char *code : {"0", "1", "4", "5", "8", "10", "14", "16", "24", "", "37"})
        EXPECT_EQ(typeClassOf(QLatin1String(code)), TypeClass::Text) << code;

    const QString flag = QStringLiteral("诚信企业");
    std::vector<ConditionRow> numeric{
        row(flag, QStringLiteral("大于等于"), QStringLiteral("1"), QString(), "iFlag", "3")};
    EXPECT_EQ(buildWhereText(numeric, kCompanyFields), QStringLiteral(" Where  iFlag >= 1 "));
    std::vector<ConditionRow> numericLike{
        row(flag, QStringLiteral("包含"), QStringLiteral("1"), QString(), "iFlag", "3")};
    EXPECT_EQ(buildWhereText(numericLike, kCompanyFields), QStringLiteral(" Where  iFlag like 1 "));
    std::vector<ConditionRow> word{
        row(flag, QStringLiteral("不等于"), QStringLiteral("1"), QString(), "iFlag", "4")};
    EXPECT_EQ(buildWhereText(word, kCompanyFields), QStringLiteral(" Where  iFlag <> '1' "));
    std::vector<ConditionRow> date{row(QStringLiteral("日期"), QStringLiteral("等于"),
                                       QStringLiteral("2003-06-18"), QString(), "cRemark", "11")};
    EXPECT_EQ(buildWhereText(date, kCompanyFields), QStringLiteral(" Where  cRemark = '2003-06-18' "));

    // Every comparison word has its operator; others keep the previous row's.
    const QStringList words = comparisonWords();
    const QStringList ops{QStringLiteral("="),   QStringLiteral(">"),  QStringLiteral(">="),
                          QStringLiteral("<"),   QStringLiteral("<="), QStringLiteral("<>"),
                          QStringLiteral("like")};
    ASSERT_EQ(words.size(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(comparisonOperator(words[i]), ops[i]);
    std::vector<ConditionRow> keep{
        row(flag, QStringLiteral("小于"), QStringLiteral("5"), QString(), "iFlag", "3"),
        row(flag, QStringLiteral("近似"), QStringLiteral("6"), QString(), "iFlag", "3"),
    };
    EXPECT_EQ(buildWhereText(keep, kCompanyFields), QStringLiteral(" Where  iFlag < 5 and  iFlag < 6 "));
}

TEST(FindConditionModel, QuotesInsideValuesAreDoubled)
{
    EXPECT_EQ(escapeQuotes(QStringLiteral("O'Neil's")), QStringLiteral("O''Neil''s"));
    EXPECT_EQ(escapeQuotes(QStringLiteral("无引号")), QStringLiteral("无引号"));
    std::vector<ConditionRow> rows{
        row(QStringLiteral("公司名称"), QStringLiteral("包含"), QStringLiteral("a'b"), QString(),
            "cCorpCName"),
        row(QStringLiteral("公司名称"), QStringLiteral("等于"), QStringLiteral("'"), QString(), "cCorpCName"),
    };
    EXPECT_EQ(buildWhereText(rows, kCompanyFields),
              QStringLiteral(" Where  cCorpCName like '%a''b%' and  cCorpCName = '''' "));
}

TEST(FindConditionModel, NumbersAreWholeThirtyTwoBitValuesOrZero)
{
    EXPECT_EQ(normaliseNumber(QStringLiteral(" 12 ")), QStringLiteral("12"));
    EXPECT_EQ(normaliseNumber(QStringLiteral("-7")), QStringLiteral("-7"));
    EXPECT_EQ(normaliseNumber(QStringLiteral("2147483647")), QStringLiteral("2147483647"));
    EXPECT_EQ(normaliseNumber(QStringLiteral("2147483648")), QStringLiteral("0"));
    EXPECT_EQ(normaliseNumber(QStringLiteral("1.5")), QStringLiteral("0"));
    EXPECT_EQ(normaliseNumber(QStringLiteral("")), QStringLiteral("0"));
    EXPECT_EQ(normaliseNumber(QStringLiteral("12a")), QStringLiteral("0"));
}

TEST(FindConditionModel, DisplayItemsPairFieldsAndChooseMarkedOnes)
{
    const QStringList labels{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")};
    const QStringList names{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    std::vector<DisplayRow> rows = displayRowsFor(labels);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (DisplayRow{checkMark(), labels[0], checkMark(), labels[1], QStringLiteral("0")}));
    // An odd count leaves the last row half empty; its field is still chosen.
    EXPECT_EQ(rows[1], (DisplayRow{checkMark(), labels[2], QString(), QString(), QStringLiteral("2")}));
    QStringList chosen, chosenLabels;
    chooseItems(rows, names, chosen, chosenLabels);
    EXPECT_EQ(chosen, names);
    EXPECT_EQ(chosenLabels, labels);

    // The mark must be exactly "√"; the partner follows the row's first field.
    rows[0][dcMark1] = QStringLiteral("v");
    chooseItems(rows, names, chosen, chosenLabels);
    EXPECT_EQ(chosen, (QStringList{QStringLiteral("b"), QStringLiteral("c")}));

    // Nothing marked: the select list is "*".
    for (DisplayRow &r : rows)
        r[dcMark1] = r[dcMark2] = QString();
    chooseItems(rows, names, chosen, chosenLabels);
    EXPECT_TRUE(chosen.isEmpty());
    EXPECT_EQ(composeSqlLines(chosen.join(QLatin1Char(',')), QStringLiteral(" FROM  Dorvak "), QString()),
              (QStringList{QStringLiteral("SELECT "), QStringLiteral("*"), QStringLiteral(" FROM  Dorvak "),
                           QString()}));

    // No fields: still one (empty) item row.
    EXPECT_EQ(displayRowsFor({}).size(), 1u);
}

TEST(FindConditionModel, AtMostOneHundredItemsAreChosen)
{
    QStringList names, labels;
    for (int i = 0; i < 130; ++i) {
        names << QStringLiteral("f%1").arg(i);
        labels << QStringLiteral("L%1").arg(i);
    }
    QStringList chosen, chosenLabels;
    chooseItems(displayRowsFor(labels), names, chosen, chosenLabels);
    ASSERT_EQ(chosen.size(), kMaxChosenItems);
    EXPECT_EQ(chosen.last(), QStringLiteral("f99"));
    EXPECT_EQ(chosenLabels.size(), kMaxChosenItems);
}
