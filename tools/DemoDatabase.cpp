#include "tools/DemoDatabase.h"

#include "tools/DemoWords.h"
#include "tools/LookupTables.h"

#include <sqlcipher/sqlite3.h>

#include <QFile>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <string_view>

namespace tools {

namespace {

// splitmix64: tiny, fast and the same everywhere, unlike the standard
// library's distributions, whose output differs between implementations.
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number in [0, n).
    int below(int n) { return int(next() % std::uint64_t(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool percent(int p) { return below(100) < p; }

    template <typename T> const T &pick(std::span<const T> pool)
    {
        return pool[std::size_t(below(int(pool.size())))];
    }

private:
    std::uint64_t m_state;
};

void appendNumber(std::string &s, long long value, int width = 0)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, value);
    s += buf;
}

// "杭州市" -> "杭州": the name prefix a company takes from its town.
std::string_view shortCity(std::string_view city)
{
    constexpr std::string_view shi = "市";
    if (city.size() > shi.size() && city.ends_with(shi))
        city.remove_suffix(shi.size());
    return city;
}

std::string upper(std::string_view s)
{
    std::string out(s);
    for (char &c : out) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return out;
}

std::string capitalized(std::string_view s)
{
    std::string out(s);
    if (!out.empty() && out[0] >= 'a' && out[0] <= 'z')
        out[0] = char(out[0] - 'a' + 'A');
    return out;
}

// The company table's columns, in the order the program lists them.
enum Column {
    cTypeName,
    cCorpCName,
    cCAdd,
    cZip,
    cTel,
    cFax,
    cHttp,
    cEmail,
    cCorpEName,
    cEAdd,
    cAreaNo,
    cTypeNo,
    cArea,
    cProvince,
    cManager,
    cMainProd,
    cCorpMemo,
    iFlag,
    cRemark,
    ColumnCount
};

const char *const kCreateCompanies = "CREATE TABLE Dorvak ("
                                     "cTypeName VARCHAR(50), "
                                     "cCorpCName VARCHAR(255), "
                                     "cCAdd VARCHAR(255), "
                                     "cZip VARCHAR(10), "
                                     "cTel VARCHAR(100), "
                                     "cFax VARCHAR(100), "
                                     "cHttp VARCHAR(100), "
                                     "cEmail VARCHAR(100), "
                                     "cCorpEName VARCHAR(255), "
                                     "cEAdd VARCHAR(255), "
                                     "cAreaNo VARCHAR(10), "
                                     "cTypeNo VARCHAR(10), "
                                     "cArea VARCHAR(50), "
                                     "cProvince VARCHAR(50), "
                                     "cManager VARCHAR(100), "
                                     "cMainProd VARCHAR(255), "
                                     // LONGTEXT rather than MEMO: SQLite gives a declared
                                     // MEMO numeric affinity, LONGTEXT keeps text as text.
                                     "cCorpMemo LONGTEXT, "
                                     "iFlag INTEGER, "
                                     "cRemark VARCHAR(255))";

const char *const kCreateCards = "CREATE TABLE GM_Card (startnum INTEGER, endnum INTEGER, "
                                 "province NVARCHAR(100), city NVARCHAR(150), code NVARCHAR(10), "
                                 "cardtype NVARCHAR(100))";

const char *const kCreateAreas = "CREATE TABLE GM_AREA (keyw VARCHAR(50), province VARCHAR(50), "
                                 "areanumber VARCHAR(10), zipcode VARCHAR(6))";

// One row being composed; the strings are reused from row to row.
struct Row
{
    std::array<std::string, ColumnCount> text;
    std::array<bool, ColumnCount> null{};
    int flag = 0;

    std::string &set(Column c)
    {
        null[c] = false;
        text[c].clear();
        return text[c];
    }
    void setNull(Column c)
    {
        null[c] = true;
        text[c].clear();
    }
};

class CompanyMaker
{
public:
    explicit CompanyMaker(std::uint64_t seed) : m_rng(seed) {}

    void make(int index, Row &row)
    {
        const auto tree = words::treeRegions();
        // Every company lies under a node of the tree. The first rows visit
        // every node once, so that even a small file fills each of them;
        // after that the choice is random.
        const words::Region &region = index < int(tree.size()) ? tree[std::size_t(index)] : m_rng.pick(tree);
        const words::Place &place = m_rng.pick(region.places);
        const words::Category &category = m_rng.pick(words::categories());
        const words::Brand &brand = pickBrand();
        // The address names a district and a street of the company's own town.
        const words::Road &road = m_rng.pick(place.roads.empty() ? words::roads() : place.roads);
        const std::string_view district = m_rng.pick(words::districtsOf(place));
        const int houseNumber = m_rng.between(1, 999);

        row.set(cTypeName) = category.name;
        row.set(cTypeNo) = category.number;
        row.set(cProvince) = region.province;
        row.set(cArea) = place.city;
        row.set(cAreaNo) = place.areaCode;

        std::string &name = row.set(cCorpCName);
        if (m_rng.percent(85))
            name += shortCity(place.city);
        name += brand.name;
        name += category.industry;
        name += m_rng.pick(words::companySuffixes());

        std::string &address = row.set(cCAdd);
        if (*region.provinceEn)
            address += region.province;
        address += place.city;
        address += district;
        address += road.name;
        appendNumber(address, houseNumber);
        address += "号";
        if (m_rng.percent(20)) {
            appendNumber(address, m_rng.between(2, 28));
            address += "楼";
        }

        makeZip(place, row);
        makePhone(place, row.set(cTel));
        if (m_rng.percent(75))
            makePhone(place, row.set(cFax));
        else
            row.setNull(cFax);

        std::string domain = brand.pinyin;
        if (m_rng.percent(50))
            appendNumber(domain, m_rng.between(1, 99));
        domain += m_rng.percent(50) ? ".com" : ".com.cn";
        makeWebAndMail(domain, row);

        if (m_rng.percent(80)) {
            std::string &en = row.set(cCorpEName);
            en += place.cityEn;
            en += ' ';
            en += capitalized(brand.pinyin);
            en += ' ';
            en += category.industryEn;
            en += m_rng.percent(70) ? " Co., Ltd." : " Industrial Co., Ltd.";
            std::string &enAddress = row.set(cEAdd);
            enAddress += "No.";
            appendNumber(enAddress, houseNumber);
            enAddress += ' ';
            enAddress += road.en;
            enAddress += ", ";
            enAddress += place.cityEn;
            if (*region.provinceEn) {
                enAddress += ", ";
                enAddress += region.provinceEn;
            }
            enAddress += ", China";
        } else {
            row.setNull(cCorpEName);
            row.setNull(cEAdd);
        }

        makeManager(row.set(cManager));
        makeProducts(category, row.set(cMainProd));
        if (m_rng.percent(96))
            makeProfile(row.text[cCorpCName], place, district, category, row.text[cMainProd],
                        row.set(cCorpMemo));
        else
            row.setNull(cCorpMemo);

        // About one company in ten is a credible enterprise; a few ordinary
        // ones leave the flag empty.
        row.null[iFlag] = false;
        if (m_rng.below(10) == 0)
            row.flag = 1;
        else if (m_rng.percent(2))
            row.setNull(iFlag);
        else
            row.flag = 0;

        const int remark = m_rng.below(100);
        if (remark < 55)
            row.setNull(cRemark);
        else if (remark < 70)
            row.set(cRemark);
        else
            row.set(cRemark) = m_rng.pick(words::remarks());
    }

private:
    // A well-known trade name now and then; mostly one of thousands made of
    // two characters, so that millions of companies keep distinct names.
    const words::Brand &pickBrand()
    {
        if (m_rng.percent(30))
            return m_rng.pick(words::brands());
        const words::Brand &a = m_rng.pick(words::tradeSyllables());
        const words::Brand *b = &m_rng.pick(words::tradeSyllables());
        while (b == &a)
            b = &m_rng.pick(words::tradeSyllables());
        m_brandName = std::string(a.name) + b->name;
        m_brandPinyin = std::string(a.pinyin) + b->pinyin;
        m_brand = {m_brandName.c_str(), m_brandPinyin.c_str()};
        return m_brand;
    }

    void makeZip(const words::Place &place, Row &row)
    {
        const std::string_view zip = place.zip;
        if (zip.empty() || m_rng.percent(5)) {
            row.setNull(cZip);
            return;
        }
        std::string &out = row.set(cZip);
        if (zip.size() == 6) {
            out += zip.substr(0, 4);
            appendNumber(out, m_rng.below(100), 2);
        } else {
            out += zip;
        }
    }

    void localNumber(const words::Place &place, std::string &out)
    {
        // Cities with a three-digit code have eight-digit numbers; smaller towns
        // often still have seven.
        const bool eight = std::string_view(place.areaCode).size() == 3 || m_rng.percent(50);
        appendNumber(out, m_rng.between(2, 8));
        appendNumber(out, m_rng.below(eight ? 10000000 : 1000000), eight ? 7 : 6);
    }

    void makePhone(const words::Place &place, std::string &out)
    {
        const bool parens = m_rng.percent(30);
        if (parens)
            out += '(';
        out += place.areaCode;
        out += parens ? ")" : "-";
        localNumber(place, out);
        if (m_rng.percent(15)) {
            out += m_rng.percent(50) ? "," : " ";
            localNumber(place, out);
        }
    }

    void makeWebAndMail(const std::string &domain, Row &row)
    {
        const int web = m_rng.below(100);
        if (web < 35) {
            row.setNull(cHttp);
        } else if (web < 60) {
            row.set(cHttp) = "www." + domain;
        } else if (web < 92) {
            row.set(cHttp) = "http://www." + domain;
        } else {
            row.set(cHttp) = "HTTP://WWW." + upper(domain);
        }
        if (m_rng.percent(25)) {
            row.setNull(cEmail);
            return;
        }
        std::string &mail = row.set(cEmail);
        if (!row.null[cHttp] && m_rng.percent(70)) {
            mail += m_rng.percent(60) ? "info@" : "sales@";
            mail += domain;
        } else {
            mail += domain.substr(0, domain.find('.'));
            mail += '@';
            mail += m_rng.pick(words::mailHosts());
        }
    }

    void personName(std::string &out)
    {
        out += m_rng.pick(words::surnames());
        out += m_rng.pick(words::givenNames());
    }

    void makeManager(std::string &out)
    {
        personName(out);
        const int kind = m_rng.below(10);
        if (kind < 4) {
            out += "、";
            personName(out);
        } else if (kind < 6) {
            out += m_rng.percent(50) ? "（总经理）" : "（厂长）";
        }
    }

    void makeProducts(const words::Category &category, std::string &out)
    {
        const auto products = category.products;
        const int count = m_rng.between(1, 3);
        const int first = m_rng.below(int(products.size()));
        for (int i = 0; i < count; ++i) {
            if (i)
                out += "、";
            out += products[std::size_t(first + i) % products.size()];
        }
    }

    void makeProfile(const std::string &name, const words::Place &place, std::string_view district,
                     const words::Category &category, const std::string &products, std::string &out)
    {
        static const char *const kinds[] = {"民营企业", "国有企业", "中外合资企业", "股份制企业",
                                            "外商独资企业"};
        out += name;
        out += "成立于";
        appendNumber(out, m_rng.between(1980, 2004));
        out += "年，位于";
        out += place.city;
        out += district;
        out += "，是一家专业从事";
        out += category.name;
        out += "研发、生产和销售的";
        out += kinds[m_rng.below(5)];
        out += "。\r\n公司现有员工";
        const int staff = m_rng.between(12, 3000);
        appendNumber(out, staff);
        out += "人，其中工程技术人员";
        appendNumber(out, staff / m_rng.between(4, 12) + 1);
        out += "人，厂房面积";
        appendNumber(out, m_rng.between(3, 400) * 100);
        out += "平方米。\r\n主要产品有";
        out += products;
        out += "，产品销往";
        out += m_rng.pick(words::markets());
        out += "。";
        if (m_rng.percent(40))
            out += "\r\n公司已通过ISO9001质量体系认证。";
        if (m_rng.percent(50))
            out += "\r\n热忱欢迎国内外客商来人来函洽谈业务！";
    }

    Random m_rng;
    std::string m_brandName;
    std::string m_brandPinyin;
    words::Brand m_brand{};
};

// A connection that is closed on every path out.
class Database
{
public:
    explicit Database(const QString &path)
    {
        const QByteArray file = QFile::encodeName(path);
        if (sqlite3_open_v2(file.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
            SQLITE_OK) {
            // The handle exists even when opening failed, and no destructor will run.
            const std::string message = "cannot create " + path.toStdString() + ": " +
                                        (m_db ? sqlite3_errmsg(m_db) : "out of memory");
            sqlite3_close_v2(m_db);
            throw DemoError(message);
        }
    }
    ~Database() { sqlite3_close_v2(m_db); }
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    sqlite3 *handle() const { return m_db; }

    void exec(const std::string &sql)
    {
        char *error = nullptr;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : sqlite3_errmsg(m_db);
            sqlite3_free(error);
            throw DemoError(message + " (in: " + sql.substr(0, 60) + ")");
        }
    }

    [[noreturn]] void fail(const std::string &what) const
    {
        throw DemoError(what + ": " + (m_db ? sqlite3_errmsg(m_db) : "out of memory"));
    }

private:
    sqlite3 *m_db = nullptr;
};

class Statement
{
public:
    Statement(Database &db, const char *sql) : m_db(db)
    {
        if (sqlite3_prepare_v2(db.handle(), sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            db.fail(std::string("cannot prepare ") + sql);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // The text must live until step().
    void text(int column, std::string_view value)
    {
        sqlite3_bind_text(m_stmt, column, value.data(), int(value.size()), SQLITE_STATIC);
    }
    void integer(int column, long long value) { sqlite3_bind_int64(m_stmt, column, value); }
    void null(int column) { sqlite3_bind_null(m_stmt, column); }

    void run()
    {
        if (sqlite3_step(m_stmt) != SQLITE_DONE)
            m_db.fail("cannot insert a row");
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

private:
    Database &m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

std::string quoted(const QString &text)
{
    std::string out = "'";
    for (char c : text.toStdString()) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out + "'";
}

void writeCompanies(Database &db, const DemoOptions &options)
{
    Statement insert(db, "INSERT INTO Dorvak VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    CompanyMaker maker(options.seed);
    Row row;
    const int step = std::max(1, options.companies / 200);
    for (int i = 0; i < options.companies; ++i) {
        if (options.progress && i % step == 0)
            options.progress(i, options.companies);
        maker.make(i, row);
        for (int c = 0; c < ColumnCount; ++c) {
            if (row.null[std::size_t(c)])
                insert.null(c + 1);
            else if (c == iFlag)
                insert.integer(c + 1, row.flag);
            else
                insert.text(c + 1, row.text[std::size_t(c)]);
        }
        insert.run();
    }
    if (options.progress)
        options.progress(options.companies, options.companies);
}

int writeAreas(Database &db, const LookupTables &tables)
{
    Statement insert(db, "INSERT INTO GM_AREA VALUES (?,?,?,?)");
    for (const AreaRow &row : tables.areas) {
        insert.text(1, row.keyw);
        insert.text(2, row.province);
        insert.text(3, row.areanumber);
        if (row.zipcode.empty())
            insert.null(4);
        else
            insert.text(4, row.zipcode);
        insert.run();
    }
    return int(tables.areas.size());
}

int writeCards(Database &db, const LookupTables &tables)
{
    Statement insert(db, "INSERT INTO GM_Card VALUES (?,?,?,?,?,?)");
    for (const CardRange &range : tables.cards) {
        insert.integer(1, range.startnum);
        insert.integer(2, range.endnum);
        insert.text(3, range.province);
        insert.text(4, range.city);
        insert.text(5, range.code);
        insert.text(6, range.cardtype);
        insert.run();
    }
    return int(tables.cards.size());
}

} // namespace

DemoSummary writeDemoDatabase(const DemoOptions &options)
{
    if (options.out.isEmpty())
        throw DemoError("no output file given");
    if (options.companies < 0)
        throw DemoError("the number of companies cannot be negative");
    if (options.password.isEmpty())
        throw DemoError("an empty password would leave the file unencrypted");
    if (options.pageSize < 512 || options.pageSize > 65536 ||
        (options.pageSize & (options.pageSize - 1)) != 0)
        throw DemoError("the page size must be a power of two from 512 to 65536");

    if (QFile::exists(options.out) && !QFile::remove(options.out))
        throw DemoError("cannot replace " + options.out.toStdString());
    QFile::remove(options.out + "-journal");

    DemoSummary summary;
    try {
        Database db(options.out);
        // The key and the page size must come before anything reads the file.
        db.exec("PRAGMA key = " + quoted(options.password));
        // Pages of 4096 bytes by default: reading an encrypted table costs about
        // 2.3 times a plain one with them, against about 5 times with the
        // engine's default of 1024.
        db.exec("PRAGMA cipher_page_size = " + std::to_string(options.pageSize));
        // A fresh file that is either finished or deleted needs no journal.
        db.exec("PRAGMA journal_mode = OFF");
        db.exec("PRAGMA synchronous = OFF");
        db.exec(kCreateCompanies);
        db.exec(kCreateCards);
        db.exec(kCreateAreas);
        db.exec("BEGIN");
        writeCompanies(db, options);
        summary.companies = options.companies;
        const LookupTables &lookups = phoneLookupTables();
        summary.cardRanges = writeCards(db, lookups);
        summary.cardPrefixes = lookups.describedPrefixes;
        summary.areaCodes = writeAreas(db, lookups);
        db.exec("COMMIT");
    } catch (...) {
        QFile::remove(options.out);
        throw;
    }
    return summary;
}

DemoOptions parseDemoArguments(const QStringList &args)
{
    DemoOptions options;
    bool haveOut = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                throw DemoError(arg.toStdString() + " needs a value");
            return args[++i];
        };
        const auto number = [&](long long lo, long long hi) -> long long {
            const QString text = value();
            bool ok = false;
            const long long n = text.toLongLong(&ok);
            if (!ok || n < lo || n > hi)
                throw DemoError(arg.toStdString() + ": invalid value " + text.toStdString());
            return n;
        };
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
        } else if (arg == QLatin1String("--out")) {
            options.out = value();
            haveOut = !options.out.isEmpty();
        } else if (arg == QLatin1String("--companies")) {
            options.companies = int(number(0, 100'000'000));
        } else if (arg == QLatin1String("--seed")) {
            const QString text = value();
            bool ok = false;
            options.seed = text.toULongLong(&ok);
            if (!ok)
                throw DemoError("--seed: invalid value " + text.toStdString());
        } else if (arg == QLatin1String("--password")) {
            options.password = value();
        } else if (arg == QLatin1String("--page-size")) {
            options.pageSize = int(number(512, 65536));
        } else {
            throw DemoError("unknown option " + arg.toStdString());
        }
    }
    if (!haveOut && !options.help)
        throw DemoError("--out PATH is required");
    return options;
}

const char *demoUsage()
{
    return "usage: make_demo_db --out PATH [--companies N] [--seed S] [--password P] [--page-size BYTES]\n"
           "Writes the demo directory database: N companies (default 5000), the mobile-number ranges\n"
           "and the area codes, encrypted with the program's password.\n"
           "  --out PATH          the file to write; an existing one is replaced\n"
           "  --companies N       companies to write, 0 to 100000000 (default 5000)\n"
           "  --seed S            the same seed writes the same companies (default 1)\n"
           "  --password P        the database key (default: the program's)\n"
           "  --page-size BYTES   cipher page size, a power of two from 512 to 65536 (default 65536)\n"
           "  --help, -h          print this and exit\n";
}

} // namespace tools
