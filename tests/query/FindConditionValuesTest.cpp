#include "query/uFindCheckSetModel.h"

#include "support/QStringPrint.h"

#include <gtest/gtest.h>

using namespace findquery;

namespace {

const QStringList kFields{QStringLiteral("cCorpCName"), QStringLiteral("iFlag")};

ConditionRow numericRow(const QString &value, const QString &connector = QString())
{
    return {QString(), QStringLiteral("诚信企业"), QStringLiteral("等于"), value,
            connector, QStringLiteral("3"),        QStringLiteral("1")};
}

ConditionRow nameRow(const QString &value)
{
    return {QString(), QStringLiteral("公司名称"), QStringLiteral("等于"), value,
            QString(), QStringLiteral("24"),       QStringLiteral("0")};
}

} // namespace

// Whatever a numeric row's cell holds (typed into a text field before the
// row was switched, or pasted with a NUL inside), the statement gets a
// whole number; and no text value carries a NUL into the statement.
TEST(FindConditionValues, NumericRowsAlwaysGiveAWholeNumber)
{
    QString pasted = QStringLiteral("0");
    pasted += QChar(0);
    pasted += QStringLiteral("' or 'x'='x");
    EXPECT_EQ(normaliseNumber(pasted), QStringLiteral("0"));
    EXPECT_EQ(normaliseNumber(QStringLiteral("+5")), QStringLiteral("+5"));
    EXPECT_EQ(normaliseNumber(QStringLiteral("-")), QStringLiteral("0"));
    EXPECT_EQ(normaliseNumber(QStringLiteral("１２")), QStringLiteral("0")) << "only ASCII digits";

    for (const QString &raw : {QStringLiteral("O'Brien"), QStringLiteral("0) or (1=1"), pasted}) {
        std::vector<ConditionRow> rows{numericRow(raw), nameRow(QStringLiteral("甲"))};
        EXPECT_EQ(buildWhereText(rows, kFields), QStringLiteral(" Where  iFlag = 0 and  cCorpCName = '甲' "));
    }
    std::vector<ConditionRow> kept{numericRow(QStringLiteral(" 12 "))};
    EXPECT_EQ(buildWhereText(kept, kFields), QStringLiteral(" Where  iFlag = 12 "));

    QString nul = QStringLiteral("电");
    nul += QChar(0);
    nul += QStringLiteral("子");
    std::vector<ConditionRow> text{nameRow(nul)};
    const QString where = buildWhereText(text, kFields);
    EXPECT_FALSE(where.contains(QChar(0)));
    EXPECT_EQ(where, QStringLiteral(" Where  cCorpCName = '电子' "));
}
