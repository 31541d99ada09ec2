#include "DbFixture.h"

#include "platform/db/DbMemo.h"

#include <QTest>

using namespace platform::db;

namespace {

const char kList[] = "select cCorpCName, cCorpEName, cCorpMemo from Dorvak";

QString englishNamed(const QString &chinese, const QString &english)
{
    return QStringLiteral(
               "INSERT INTO Dorvak (cCorpCName, cCorpEName, cCorpMemo, iFlag) VALUES ('%1', '%2', '旧', 0)")
        .arg(chinese, english);
}

} // namespace

class DbQueryEditTest : public DbFixture
{
protected:
    void SetUp() override
    {
        openDatabase({englishNamed(QStringLiteral("联合"), QStringLiteral("Union Trading")),
                      englishNamed(QStringLiteral("集团"), QStringLiteral("Group By Design")),
                      englishNamed(QStringLiteral("合资"), QStringLiteral("Joint Venture"))});
        query->postErrorHandler = [this](const QString &m) { postErrors << m; };
        query->editDiscardedHandler = [this](const QString &m) { discarded << m; };
    }

    QString storedMemo(const QString &name) const
    {
        return testdb::scalar(path, testdb::kPassword, 4096,
                              QStringLiteral("select cCorpMemo from Dorvak where cCorpCName='%1'").arg(name));
    }
    int memo() const { return query->fieldByName(QStringLiteral("cCorpMemo"))->index(); }

    QStringList postErrors;
    QStringList discarded;
};

TEST_F(DbQueryEditTest, WordsInsideValuesNamesAndCommentsDoNotStopTheEdit)
{
    const QString list = QString::fromLatin1(kList);
    const struct
    {
        const char *where;
        const char *company;
    } cases[] = {
        {" WHERE (cCorpEName LIKE '%Union%')", "联合"},
        {" WHERE (cCorpEName LIKE '%Group By%')", "集团"},
        {" WHERE (cCorpEName LIKE 'Join%') -- distinct rows", "合资"},
        {" /* top, union */ WHERE cCorpEName = 'Union Trading'", "联合"},
    };
    int n = 0;
    for (const auto &c : cases) {
        openSql(list + QLatin1String(c.where));
        ASSERT_EQ(query->recordCount(), 1) << c.where;
        const QString typed = QStringLiteral("新简介%1").arg(++n);
        query->setFieldText(memo(), typed);
        // Clearing the search: the typed text is posted before the list comes back.
        query->setSqlText(list);
        EXPECT_EQ(storedMemo(QString::fromUtf8(c.company)), typed) << c.where;
        EXPECT_TRUE(postErrors.isEmpty()) << c.where;
    }
}

TEST_F(DbQueryEditTest, TextThatCannotBePostedStaysUntilItIsDiscarded)
{
    openSql(QStringLiteral("select distinct cCorpCName, cCorpMemo from Dorvak"));
    query->setFieldText(memo(), QStringLiteral("不能保存"));

    // A new statement cannot take the text away: the old one stays, and so does the text.
    const QString before = query->sqlText();
    EXPECT_THROW(query->setSqlText(QString::fromLatin1(kList)), DbError);
    EXPECT_EQ(postErrors.size(), 1);
    EXPECT_TRUE(query->active());
    EXPECT_TRUE(query->modified());
    EXPECT_EQ(query->sqlText(), before);
    EXPECT_EQ(column(QStringLiteral("cCorpMemo")), QStringLiteral("不能保存"));
    EXPECT_THROW(query->close(), DbError);
    EXPECT_TRUE(query->active());

    // Typing the stored value back leaves nothing to post.
    query->setFieldText(memo(), QStringLiteral("旧"));
    EXPECT_FALSE(query->modified());
    query->setFieldText(memo(), QStringLiteral("再次输入"));
    query->cancel();
    EXPECT_EQ(column(QStringLiteral("cCorpMemo")), QStringLiteral("旧"));
    query->setSqlText(QString::fromLatin1(kList));
    EXPECT_FALSE(query->active());
    EXPECT_TRUE(discarded.isEmpty());
}

TEST_F(DbQueryEditTest, DisconnectingSaysWhenTypedTextIsLost)
{
    openSql(QStringLiteral("select distinct cCorpCName, cCorpMemo from Dorvak"));
    query->setFieldText(memo(), QStringLiteral("不能保存"));
    connection->setConnected(false);
    EXPECT_FALSE(query->active());
    EXPECT_EQ(discarded.size(), 1);
    EXPECT_TRUE(postErrors.isEmpty()) << "no message may claim the text is kept";
}

TEST_F(DbQueryEditTest, StatementWithANulCharacterIsRefused)
{
    // The engine would stop reading at the NUL and drop the second condition.
    QString sql = QString::fromLatin1(kList) + QStringLiteral(" where iFlag = 0");
    sql += QChar(0);
    sql += QStringLiteral(" and cCorpCName = '联合'");
    query->setSqlText(sql);
    EXPECT_THROW(query->open(), DbError);
    EXPECT_FALSE(query->active());
}

TEST_F(DbQueryEditTest, EscInTheBoundMemoDropsWhatWasTyped)
{
    openSql(QString::fromLatin1(kList));
    DataSource source;
    source.setDataSet(query.get());
    DbMemo memoEdit;
    memoEdit.setDataSource(&source);
    memoEdit.setDataField(QStringLiteral("cCorpMemo"));
    memoEdit.show();
    QTest::keyClicks(&memoEdit, QStringLiteral("x"));
    EXPECT_TRUE(query->modified());
    QTest::keyClick(&memoEdit, Qt::Key_Escape);
    EXPECT_FALSE(query->modified());
    EXPECT_EQ(memoEdit.toPlainText(), QStringLiteral("旧"));
    EXPECT_EQ(column(QStringLiteral("cCorpMemo")), QStringLiteral("旧"));
}
