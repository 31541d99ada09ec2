#include "AppFixture.h"

#include "app/SearchCommand.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

struct Outcome
{
    int status;
    QString out;
    QString err;
};

} // namespace

class SearchCommandTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        writeDatabase({
            testdb::companyInsert(QStringLiteral("浙江中国银行代理"), QStringLiteral("浙江省"), 1, {},
                                  QStringLiteral("第一行\r\n第二行\t制表")),
            testdb::companyInsert(QStringLiteral("中国银行北京分行"), QStringLiteral("北京市"), 0),
            testdb::companyInsert(QStringLiteral("安徽机械厂"), QStringLiteral("安徽省"), 0, {},
                                  QStringLiteral("兼营中国银行卡, \"代办\"")),
        });
    }
    Outcome run(const QStringList &arguments)
    {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int status = RunSearchCommand(arguments, folder(), o, e);
        o.flush();
        e.flush();
        return {status, out, err};
    }
    static QStringList names(const QString &tsv)
    {
        QStringList lines = tsv.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QStringList found;
        for (qsizetype i = 1; i < lines.size(); ++i)
            found << lines[i].section(QLatin1Char('\t'), 1, 1);
        return found;
    }
};

TEST_F(SearchCommandTest, PrintsTheWindowsAnswerAsTsvWithTheCountOnStderr)
{
    const Outcome o = run({QStringLiteral("zgyh")});
    EXPECT_EQ(o.status, 0);
    EXPECT_TRUE(o.out.startsWith(QStringLiteral("类别名称\t公司名称\t中文地址\t")));
    EXPECT_EQ(names(o.out),
              (QStringList{QStringLiteral("浙江中国银行代理"), QStringLiteral("中国银行北京分行")}))
        << "the program's own database, as the window finds it";
    EXPECT_TRUE(o.out.contains(QStringLiteral("第一行\\r\\n第二行\\t制表"))) << "one line per company";
    EXPECT_EQ(o.err, QStringLiteral("找到 2 家企业\n"));

    const Outcome words = run({QStringLiteral("中国银行"), QStringLiteral("厂")});
    EXPECT_EQ(names(words.out), QStringList{QStringLiteral("安徽机械厂")}) << "every word, in any field";
    const Outcome names1 = run({QStringLiteral("中国银行")});
    EXPECT_EQ(names(names1.out),
              (QStringList{QStringLiteral("浙江中国银行代理"), QStringLiteral("中国银行北京分行"),
                           QStringLiteral("安徽机械厂")}))
        << "name matches first";
}

TEST_F(SearchCommandTest, ExcludedWordsFollowTheEndOfOptions)
{
    const Outcome o = run({QStringLiteral("--"), QStringLiteral("中国银行"), QStringLiteral("-浙江")});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(names(o.out), (QStringList{QStringLiteral("中国银行北京分行"), QStringLiteral("安徽机械厂")}));
    const Outcome unknown = run({QStringLiteral("中国银行"), QStringLiteral("-浙江")});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("未知的选项 -浙江")));
    EXPECT_TRUE(unknown.out.isEmpty());
    const Outcome nothing = run({QStringLiteral("--"), QStringLiteral("没有这家")});
    EXPECT_EQ(nothing.status, 1);
    EXPECT_EQ(nothing.err, QStringLiteral("找到 0 家企业\n"));
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({QStringLiteral("--help")}).status, 0);
}

TEST_F(SearchCommandTest, WritesCsvAndJson)
{
    const Outcome csv = run({QStringLiteral("--csv"), QStringLiteral("jxc")});
    EXPECT_EQ(csv.status, 0);
    EXPECT_TRUE(csv.out.contains(QStringLiteral("\"兼营中国银行卡, \"\"代办\"\"\"")));
    EXPECT_TRUE(csv.out.startsWith(QStringLiteral("类别名称,公司名称,")));

    const Outcome json = run({QStringLiteral("--json"), QStringLiteral("yh")});
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json.out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out.toStdString();
    ASSERT_EQ(doc.array().size(), 2) << "the profile is not read in pinyin";
    EXPECT_EQ(doc.array()[0].toObject()[QStringLiteral("cCorpCName")].toString(),
              QStringLiteral("浙江中国银行代理"));
    EXPECT_EQ(doc.array()[0].toObject()[QStringLiteral("cCorpMemo")].toString(),
              QStringLiteral("第一行\r\n第二行\t制表"));
    const Outcome none = run({QStringLiteral("--json"), QStringLiteral("qqqqq")});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(QJsonDocument::fromJson(none.out.toUtf8()).array().size(), 0);
}

TEST_F(SearchCommandTest, SaysWhyTheDatabaseCannotBeSearched)
{
    const Outcome missing =
        run({QStringLiteral("--db"), dir.file(QStringLiteral("none.dat")), QStringLiteral("x")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("找不到数据库文件")));

    const QString other = dir.file(QStringLiteral("other.dat"));
    testdb::create(other, QStringLiteral("another password"), 4096, {testdb::companyTableSql()});
    const Outcome wrong = run({QStringLiteral("--db=") + other, QStringLiteral("x")});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("无法打开数据库"))) << wrong.err.toStdString();

    const QString junk = dir.file(QStringLiteral("junk.dat"));
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'x'));
    file.close();
    EXPECT_EQ(run({QStringLiteral("--db"), junk, QStringLiteral("x")}).status, 2);

    const Outcome folderGiven = run({QStringLiteral("--db"), dir.path(), QStringLiteral("x")});
    EXPECT_EQ(folderGiven.status, 2);
    EXPECT_TRUE(folderGiven.err.contains(QStringLiteral("无法读取数据库文件")));
    EXPECT_EQ(run({QStringLiteral("--db")}).status, 2);
}
