#include "tools/DemoDatabase.h"

#include "support/TempDir.h"

#include <sqlcipher/sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

using tools::DemoError;
using tools::DemoOptions;

namespace {

using Table = std::vector<std::vector<std::string>>;
const std::string kNull = "<null>";

// An encrypted file opened the way the data layer opens it.
class Cipher
{
public:
    Cipher(const QString &path, const std::string &key, int pageSize = 0)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        run("PRAGMA key = '" + key + "'");
        if (pageSize)
            run("PRAGMA cipher_page_size = " + std::to_string(pageSize));
    }
    ~Cipher() { sqlite3_close_v2(m_db); }

    // Rows of a statement as text; throws when the statement fails.
    Table run(const std::string &sql) const
    {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(m_db));
        Table rows;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
                row.push_back(text ? text : kNull);
            }
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(m_db));
        return rows;
    }
    long long count(const std::string &sql) const { return std::stoll(run(sql).at(0).at(0)); }

private:
    sqlite3 *m_db = nullptr;
};

class DemoDatabaseTest : public ::testing::Test
{
protected:
    QString write(int companies, std::uint64_t seed = 1, const QString &name = "dorvak.dat")
    {
        DemoOptions options;
        options.out = dir.file(name);
        options.companies = companies;
        options.seed = seed;
        tools::writeDemoDatabase(options);
        return options.out;
    }

    TempDir dir;
};

// Column names and declared types of a table, "name TYPE" each.
std::vector<std::string> columns(const Cipher &db, const std::string &table)
{
    std::vector<std::string> out;
    for (const auto &row : db.run("PRAGMA table_info(" + table + ")"))
        out.push_back(row[1] + " " + row[2]);
    return out;
}

TEST_F(DemoDatabaseTest, HoldsTheThreeTablesWithTheirColumns)
{
    const Cipher db(write(120), tools::kDatabasePassword, platform::db::kBuilderPageSize);

    const std::vector<std::string> names = {"cTypeName", "cCorpCName", "cCAdd",  "cZip",       "cTel",
                                            "cFax",      "cHttp",      "cEmail", "cCorpEName", "cEAdd",
                                            "cAreaNo",   "cTypeNo",    "cArea",  "cProvince",  "cManager",
                                            "cMainProd", "cCorpMemo",  "iFlag",  "cRemark"};
    const auto company = columns(db, "Dorvak");
    ASSERT_EQ(company.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string &column = company[i];
        EXPECT_EQ(column.substr(0, column.find(' ')), names[i]);
        // The data layer reads the declared type: text, memo or integer.
        const std::string type = column.substr(column.find(' ') + 1);
        if (names[i] == "cCorpMemo")
            EXPECT_EQ(type, "LONGTEXT");
        else if (names[i] == "iFlag")
            EXPECT_EQ(type, "INTEGER");
        else
            EXPECT_EQ(type.rfind("VARCHAR(", 0), 0u) << column;
    }
    EXPECT_EQ(
        columns(db, "GM_Card"),
        (std::vector<std::string>{"startnum INTEGER", "endnum INTEGER", "province NVARCHAR(100)",
                                  "city NVARCHAR(150)", "code NVARCHAR(10)", "cardtype NVARCHAR(100)"}));
    EXPECT_EQ(columns(db, "GM_AREA"),
              (std::vector<std::string>{"keyw VARCHAR(50)", "province VARCHAR(50)", "areanumber VARCHAR(10)",
                                        "zipcode VARCHAR(6)"}));

    EXPECT_EQ(db.count("SELECT count(*) FROM Dorvak"), 120);
    EXPECT_EQ(db.count("SELECT count(*) FROM GM_Card WHERE startnum > endnum OR startnum < 1300000 "
                       "OR endnum > 1999999"),
              0);
    EXPECT_EQ(db.count("SELECT count(*) FROM GM_AREA WHERE length(zipcode) > 6 OR length(areanumber) > 10"),
              0);
}

TEST_F(DemoDatabaseTest, LooksUpRealMobileNumbersAndAreaCodes)
{
    const Cipher db(write(10), tools::kDatabasePassword, platform::db::kBuilderPageSize);
    // The statement the mobile lookup runs, for the first seven digits of a number.
    const auto card = [&](const std::string &prefix) {
        return db.run("select province,city,code,cardtype from GM_Card WHERE (startnum <=" + prefix +
                      " and endnum >=" + prefix + ")");
    };
    EXPECT_EQ(card("1380013"), (Table{{"北京市", "北京市", "010", "中国移动"}}));
    EXPECT_EQ(card("1390650"), (Table{{"浙江省", "杭州市", "0571", "中国移动"}}));
    EXPECT_EQ(card("1390000"), (Table{{"新疆维吾尔自治区", "乌鲁木齐市", "0991", "中国移动"}}));
    EXPECT_EQ(card("1540000"), Table{});
    // The ranges are stored in order and do not overlap.
    EXPECT_EQ(db.count("SELECT count(*) FROM GM_Card a JOIN GM_Card b ON b.rowid = a.rowid + 1 "
                       "WHERE b.startnum <= a.endnum"),
              0);

    EXPECT_EQ(db.run("SELECT keyw, province, areanumber, zipcode FROM GM_AREA WHERE keyw = '杭州市'"),
              (Table{{"杭州市", "浙江省", "0571", "310000"}}));
    EXPECT_EQ(db.run("SELECT province, areanumber FROM GM_AREA WHERE keyw = '上海市'"),
              (Table{{"上海市", "021"}}));
    EXPECT_GT(db.count("SELECT count(*) FROM GM_AREA WHERE zipcode IS NULL"), 0);
}

TEST_F(DemoDatabaseTest, SameSeedGivesTheSameRows)
{
    const std::string all = "SELECT * FROM Dorvak ORDER BY rowid";
    const Table first =
        Cipher(write(150, 7, "a.dat"), tools::kDatabasePassword, platform::db::kBuilderPageSize).run(all);
    const Table again =
        Cipher(write(150, 7, "b.dat"), tools::kDatabasePassword, platform::db::kBuilderPageSize).run(all);
    const Table other =
        Cipher(write(150, 8, "c.dat"), tools::kDatabasePassword, platform::db::kBuilderPageSize).run(all);
    ASSERT_EQ(first.size(), 150u);
    EXPECT_EQ(first, again);
    EXPECT_NE(first, other);
}

TEST_F(DemoDatabaseTest, CompaniesCoverTheTreeAndLookReal)
{
    const int n = 800;
    const Cipher db(write(n, 3), tools::kDatabasePassword, platform::db::kBuilderPageSize);

    const char *tree[] = {
        "北京市",         "广州市", "上海市",     "天津市", "重庆市",   "沈阳市",       "南京市",
        "武汉市",         "成都市", "西安市",     "安徽省", "福建省",   "甘肃省",       "广东省",
        "广西壮族自治区", "贵州省", "河南省",     "河北省", "黑龙江省", "湖南省",       "湖北省",
        "海南省",         "吉林省", "江苏省",     "江西省", "辽宁省",   "内蒙古自治区", "宁夏回族自治区",
        "青海省",         "山东省", "山西省",     "陕西省", "四川省",   "西藏自治区",   "新疆维吾尔自治区",
        "云南省",         "浙江省", "香港自治区", "台湾省"};
    std::map<std::string, long long> perProvince;
    for (const auto &row : db.run("SELECT cProvince, count(*) FROM Dorvak GROUP BY cProvince"))
        perProvince[row[0]] = std::stoll(row[1]);
    std::string treeValues;
    for (const char *value : tree) {
        EXPECT_GT(perProvince[value], 0) << value;
        treeValues += (treeValues.empty() ? "'" : ",'") + std::string(value) + "'";
    }
    // Every company is reachable from a node of the tree, which selects by
    // exactly these texts.
    EXPECT_EQ(db.count("SELECT count(*) FROM Dorvak WHERE cProvince IS NULL OR cProvince NOT IN (" +
                       treeValues + ")"),
              0);

    // Addresses lie in their own province and town: a province's companies
    // start with the province and the town, a city's with the city.
    EXPECT_EQ(
        db.count("SELECT count(*) FROM Dorvak WHERE cCAdd NOT LIKE "
                 "(CASE WHEN cProvince LIKE '%省' OR cProvince LIKE '%自治区' AND cProvince <> '香港自治区' "
                 "THEN cProvince ELSE '' END) || cArea || '_%'"),
        0);
    // The districts are those of the town: Nanshan lies in Shenzhen alone, and
    // the capital's companies lie in its own districts.
    EXPECT_EQ(db.count("SELECT count(*) FROM Dorvak WHERE cCAdd LIKE '%南山区%' AND cArea <> '深圳市'"), 0);
    const char *beijing[] = {"东城区",   "西城区", "朝阳区", "丰台区", "石景山区", "海淀区",
                             "门头沟区", "房山区", "通州区", "顺义区", "昌平区",   "大兴区",
                             "怀柔区",   "平谷区", "密云区", "延庆区"};
    std::string inBeijing;
    for (const char *district : beijing)
        inBeijing += std::string(" AND cCAdd NOT LIKE '北京市") + district + "%'";
    EXPECT_GT(perProvince["北京市"], 0);
    EXPECT_EQ(db.count("SELECT count(*) FROM Dorvak WHERE cProvince = '北京市'" + inBeijing), 0);
    // Taipei and Hong Kong have streets of their own, not the mainland's.
    EXPECT_EQ(db.count("SELECT count(*) FROM Dorvak WHERE cProvince IN ('台湾省', '香港自治区') AND "
                       "(cCAdd LIKE '%人民路%' OR cCAdd LIKE '%解放路%' OR cCAdd LIKE '%开发大道%')"),
              0);

    // About one in ten credible; the flag is 1, 0 or empty.
    const long long credible = db.count("SELECT count(*) FROM Dorvak WHERE iFlag = 1");
    EXPECT_GT(credible, n / 20);
    EXPECT_LT(credible, n * 3 / 20);
    EXPECT_EQ(db.count("SELECT count(*) FROM Dorvak WHERE iFlag NOT IN (0, 1)"), 0);
    EXPECT_EQ(db.count("SELECT count(*) FROM Dorvak WHERE typeof(iFlag) NOT IN ('integer', 'null')"), 0);

    // Web sites with and without the scheme, in both cases.
    EXPECT_GT(db.count("SELECT count(*) FROM Dorvak WHERE cHttp LIKE 'www.%'"), 0);
    EXPECT_GT(db.count("SELECT count(*) FROM Dorvak WHERE cHttp GLOB 'http://*'"), 0);
    EXPECT_GT(db.count("SELECT count(*) FROM Dorvak WHERE cHttp GLOB 'HTTP://*'"), 0);
    EXPECT_GT(db.count("SELECT count(*) FROM Dorvak WHERE cHttp IS NULL"), 0);

    EXPECT_EQ(db.count("SELECT count(*) FROM Dorvak WHERE cEmail IS NOT NULL AND cEmail NOT LIKE '%_@_%._%'"),
              0);
    // Telephone numbers start with the company's area code.
    EXPECT_EQ(db.count("SELECT count(*) FROM Dorvak WHERE cTel NOT LIKE cAreaNo || '-%' "
                       "AND cTel NOT LIKE '(' || cAreaNo || ')%'"),
              0);
    EXPECT_GT(db.count("SELECT count(*) FROM Dorvak WHERE cFax IS NOT NULL"), n / 2);
    EXPECT_EQ(db.count("SELECT count(*) FROM Dorvak WHERE typeof(cZip) NOT IN ('text', 'null') "
                       "OR (length(cZip) <> 6 AND cProvince <> '台湾省')"),
              0);
    EXPECT_EQ(db.count("SELECT count(*) FROM Dorvak WHERE cCorpCName NOT GLOB '*[公厂]*'"), 0);
    EXPECT_EQ(
        db.count("SELECT count(*) FROM Dorvak WHERE cCorpEName IS NOT NULL AND cEAdd NOT LIKE '%, China'"),
        0);

    // Profiles of several lines joined with CR LF; some cells left empty.
    EXPECT_GT(db.count("SELECT count(*) FROM Dorvak WHERE instr(cCorpMemo, char(13, 10)) > 0"), n / 2);
    EXPECT_EQ(db.count("SELECT count(*) FROM Dorvak WHERE instr(replace(cCorpMemo, char(13, 10), ''), "
                       "char(10)) > 0"),
              0);
    EXPECT_GT(db.count("SELECT count(*) FROM Dorvak WHERE cRemark IS NULL"), 0);
    EXPECT_GT(db.count("SELECT count(*) FROM Dorvak WHERE cRemark = ''"), 0);
    EXPECT_GT(db.count("SELECT count(*) FROM Dorvak WHERE cRemark <> ''"), 0);
    EXPECT_GT(db.count("SELECT count(DISTINCT cTypeName) FROM Dorvak"), 5);
    EXPECT_GT(db.count("SELECT count(DISTINCT cCorpCName) FROM Dorvak"), n / 2);
}

// Many companies keep distinct names, while they share categories,
// provinces, cities and area codes as a real directory's do; the builder
// tells how far it has got as it writes.
TEST_F(DemoDatabaseTest, ManyCompaniesKeepDistinctNamesAndSharePlaces)
{
    const int n = 30000;
    DemoOptions options;
    options.out = dir.file("many.dat");
    options.companies = n;
    std::vector<int> done;
    options.progress = [&](int d, int total) {
        EXPECT_EQ(total, n);
        done.push_back(d);
    };
    tools::writeDemoDatabase(options);
    ASSERT_GT(done.size(), 100u);
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_EQ(done.back(), n);

    const Cipher db(options.out, tools::kDatabasePassword, platform::db::kBuilderPageSize);
    EXPECT_GT(db.count("SELECT count(DISTINCT cCorpCName) FROM Dorvak"), n * 9 / 10);
    EXPECT_GT(db.count("SELECT count(DISTINCT cCorpMemo) FROM Dorvak"), n * 9 / 10);
    EXPECT_LE(db.count("SELECT count(DISTINCT cTypeName) FROM Dorvak"), 12);
    EXPECT_EQ(db.count("SELECT count(DISTINCT cProvince) FROM Dorvak"), 39)
        << "the tree's values and no other";
    EXPECT_LT(db.count("SELECT count(DISTINCT cArea) FROM Dorvak"), 100);
    EXPECT_LT(db.count("SELECT count(DISTINCT cAreaNo) FROM Dorvak"), 100);
}

TEST_F(DemoDatabaseTest, OnlyTheRightKeyAndPageSizeOpenTheFile)
{
    const QString path = write(50);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.read(16).startsWith("SQLite format 3")) << "the file must be encrypted";
    file.close();

    EXPECT_EQ(Cipher(path, tools::kDatabasePassword, platform::db::kBuilderPageSize)
                  .count("SELECT count(*) FROM Dorvak"),
              50);
    EXPECT_THROW(Cipher(path, "zxc3k9p2lumentra@mwQ", platform::db::kBuilderPageSize)
                     .run("SELECT count(*) FROM Dorvak"),
                 std::runtime_error);
    EXPECT_THROW(Cipher(path, tools::kDatabasePassword, 1024).run("SELECT count(*) FROM Dorvak"),
                 std::runtime_error);

    // Another password and the engine's default page size, as tests of the data layer need.
    DemoOptions options;
    options.out = dir.file("other.dat");
    options.companies = 10;
    options.password = "an'other";
    options.pageSize = 1024;
    tools::writeDemoDatabase(options);
    EXPECT_EQ(Cipher(options.out, "an''other").count("SELECT count(*) FROM Dorvak"), 10);
    EXPECT_THROW(Cipher(options.out, tools::kDatabasePassword).run("SELECT count(*) FROM Dorvak"),
                 std::runtime_error);
}

TEST_F(DemoDatabaseTest, ReplacesAnExistingFileAndRemovesAFailedOne)
{
    const QString path = dir.file("dorvak.dat");
    {
        QFile junk(path);
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
        junk.write("not a database at all");
    }
    write(5);
    EXPECT_EQ(Cipher(path, tools::kDatabasePassword, platform::db::kBuilderPageSize)
                  .count("SELECT count(*) FROM Dorvak"),
              5);

    DemoOptions options;
    options.out = dir.file("missing-folder/dorvak.dat");
    EXPECT_THROW(tools::writeDemoDatabase(options), DemoError);
    options.out = dir.file("bad.dat");
    options.pageSize = 1000;
    EXPECT_THROW(tools::writeDemoDatabase(options), DemoError);
    options.pageSize = 4096;
    options.password.clear();
    EXPECT_THROW(tools::writeDemoDatabase(options), DemoError);
    EXPECT_FALSE(QFile::exists(options.out));
}

TEST(DemoArguments, ReadsEveryOptionAndRejectsBadOnes)
{
    const DemoOptions defaults = tools::parseDemoArguments({"--out", "x.dat"});
    EXPECT_EQ(defaults.out, "x.dat");
    EXPECT_EQ(defaults.companies, 5000);
    EXPECT_EQ(defaults.seed, 1u);
    EXPECT_EQ(defaults.password, "zxc3k9p2lumentra@mwq");
    EXPECT_EQ(defaults.pageSize, platform::db::kBuilderPageSize);

    const DemoOptions set = tools::parseDemoArguments({"--companies", "1000000", "--seed", "42", "--password",
                                                       "p", "--page-size", "1024", "--out", "y.dat"});
    EXPECT_EQ(set.out, "y.dat");
    EXPECT_EQ(set.companies, 1000000);
    EXPECT_EQ(set.seed, 42u);
    EXPECT_EQ(set.password, "p");
    EXPECT_EQ(set.pageSize, 1024);

    // Help needs nothing else and writes nothing.
    for (const char *help : {"--help", "-h"}) {
        const DemoOptions asked = tools::parseDemoArguments({QString::fromLatin1(help)});
        EXPECT_TRUE(asked.help) << help;
        EXPECT_TRUE(asked.out.isEmpty());
    }
    EXPECT_FALSE(defaults.help);

    const QStringList bad[] = {{},
                               {"--companies", "10"},
                               {"--out"},
                               {"--out", "x", "--companies", "ten"},
                               {"--out", "x", "--companies", "-1"},
                               {"--out", "x", "--seed", "s"},
                               {"--out", "x", "--page-size", "100"},
                               {"--out", "x", "--verbose"},
                               {"x.dat"}};
    for (const QStringList &args : bad)
        EXPECT_THROW(tools::parseDemoArguments(args), DemoError) << args.join(' ').toStdString();
}

// The command line as a user first tries it: --help prints the usage to the
// standard output and succeeds; a mistake prints it to the error output.
TEST(DemoCommandLine, HelpPrintsTheUsageAndSucceeds)
{
    const QString program = QStringLiteral(VELMORA_MAKE_DEMO_DB);
    ASSERT_TRUE(QFileInfo(program).isExecutable()) << program.toStdString();
    const auto run = [&](const QStringList &args) {
        QProcess process;
        process.start(program, args);
        EXPECT_TRUE(process.waitForFinished(30000));
        return std::tuple(process.exitCode(), process.readAllStandardOutput(),
                          process.readAllStandardError());
    };
    for (const char *help : {"--help", "-h"}) {
        const auto [code, out, err] = run({QString::fromLatin1(help)});
        EXPECT_EQ(code, 0) << help;
        EXPECT_TRUE(out.startsWith("usage: make_demo_db --out PATH")) << out.toStdString();
        EXPECT_TRUE(out.contains("--page-size")) << help;
        EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    }
    const auto [code, out, err] = run({QStringLiteral("--verbose")});
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_TRUE(err.startsWith("make_demo_db: unknown option --verbose\nusage: make_demo_db"))
        << err.toStdString();
}

} // namespace
