// The golden set: company names rich in place names and in characters with
// several readings, each with the queries a user would type for it. What
// every query must find is worked out here from readings typed by hand
// (the modern ones, as a dictionary of today gives them), not from the
// program's tables: a company found only through a reading not listed
// here, or missed through one listed, fails the test.

#include "Utf32Text.h"
#include "store/ChineseText.h"
#include "store/ColumnStore.h"
#include "store/TableSearch.h"
#include "store/Utf8Text.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace store;

namespace {

// Every modern reading of each character the names use, toneless.
const std::map<std::u32string, std::string> kReadingsByHand = {
    {U"长", "chang zhang"},
    {U"沙", "sha"},
    {U"重", "chong zhong"},
    {U"庆", "qing"},
    {U"厦", "sha xia"},
    {U"门", "men"},
    {U"六", "liu lu"},
    {U"安", "an"},
    {U"乐", "le yue"},
    {U"山", "shan"},
    {U"朝", "chao zhao"},
    {U"阳", "yang"},
    {U"单", "chan dan shan"},
    {U"县", "xian"},
    {U"蚌", "bang beng"},
    {U"埠", "bu"},
    {U"杭", "hang"},
    {U"州", "zhou"},
    {U"南", "nan"},
    {U"京", "jing"},
    {U"北", "bei"},
    {U"上", "shang"},
    {U"海", "hai"},
    {U"广", "guang"},
    {U"深", "shen"},
    {U"圳", "zhen"},
    {U"成", "cheng"},
    {U"都", "dou du"},
    {U"西", "xi"},
    {U"武", "wu"},
    {U"汉", "han"},
    {U"天", "tian"},
    {U"津", "jin"},
    {U"苏", "su"},
    {U"宁", "ning"},
    {U"波", "bo"},
    {U"温", "wen"},
    {U"无", "wu"},
    {U"锡", "xi"},
    {U"青", "qing"},
    {U"岛", "dao"},
    {U"济", "ji"},
    {U"合", "ge he"},
    {U"肥", "fei"},
    {U"福", "fu"},
    {U"春", "chun"},
    {U"郑", "zheng"},
    {U"沈", "shen"},
    {U"东", "dong"},
    {U"莞", "guan wan"},
    {U"番", "fan pan"},
    {U"禺", "yu"},
    {U"曲", "qu"},
    {U"阜", "fu"},
    {U"台", "tai"},
    {U"丽", "li"},
    {U"水", "shui"},
    {U"清", "qing"},
    {U"铅", "qian yan"},
    {U"蔚", "wei yu"},
    {U"莘", "shen xin"},
    {U"乾", "gan qian"},
    {U"大", "da dai"},
    {U"连", "lian"},
    {U"中", "zhong"},
    {U"兴", "xing"},
    {U"华", "hua"},
    {U"夏", "xia"},
    {U"恒", "heng"},
    {U"通", "tong"},
    {U"城", "cheng"},
    {U"宏", "hong"},
    {U"达", "da"},
    {U"鑫", "xin"},
    {U"源", "yuan"},
    {U"晖", "hui"},
    {U"行", "hang heng xing"},
    {U"健", "jian"},
    {U"会", "hui kuai"},
    {U"曾", "ceng zeng"},
    {U"氏", "shi"},
    {U"国", "guo"},
    {U"银", "yin"},
    {U"软", "ruan"},
    {U"件", "jian"},
    {U"电", "dian"},
    {U"子", "zi"},
    {U"贸", "mao"},
    {U"易", "yi"},
    {U"计", "ji"},
    {U"师", "shi"},
    {U"事", "shi"},
    {U"务", "wu"},
    {U"所", "suo"},
    {U"建", "jian"},
    {U"筑", "zhu"},
    {U"工", "gong"},
    {U"程", "cheng"},
    {U"食", "shi"},
    {U"品", "pin"},
    {U"服", "fu"},
    {U"装", "zhuang"},
    {U"机", "ji"},
    {U"械", "xie"},
    {U"音", "yin"},
    {U"有", "you"},
    {U"限", "xian"},
    {U"公", "gong"},
    {U"司", "si"},
    {U"干", "gan"},
    {U"粮", "liang"},
    {U"文", "wen"},
    {U"化", "hua"},
    {U"许", "xu"},
    {U"分", "fen"},
};

// Traditional forms typed by hand (the simplified form each stands for).
// Not 瀋, which stands for 沈 in 瀋陽 and for 渖 elsewhere: a character with
// two simplified forms is compared as it is.
const std::map<char32_t, char32_t> kTraditionalByHand = {
    {U'长', U'長'}, {U'庆', U'慶'}, {U'厦', U'廈'}, {U'门', U'門'}, {U'乐', U'樂'}, {U'阳', U'陽'},
    {U'单', U'單'}, {U'县', U'縣'}, {U'广', U'廣'}, {U'汉', U'漢'}, {U'苏', U'蘇'}, {U'宁', U'寧'},
    {U'温', U'溫'}, {U'无', U'無'}, {U'锡', U'錫'}, {U'岛', U'島'}, {U'济', U'濟'}, {U'郑', U'鄭'},
    {U'东', U'東'}, {U'丽', U'麗'}, {U'铅', U'鉛'}, {U'连', U'連'}, {U'兴', U'興'}, {U'华', U'華'},
    {U'达', U'達'}, {U'晖', U'暉'}, {U'会', U'會'}, {U'国', U'國'}, {U'银', U'銀'}, {U'软', U'軟'},
    {U'电', U'電'}, {U'贸', U'貿'}, {U'计', U'計'}, {U'师', U'師'}, {U'务', U'務'}, {U'筑', U'築'},
    {U'装', U'裝'}, {U'机', U'機'}, {U'粮', U'糧'},
};

struct Part
{
    std::u32string hanzi;
    std::string pinyin; // as the place or word is read
};

const std::vector<Part> kPlaces = {
    {U"长沙", "changsha"},  {U"重庆", "chongqing"}, {U"厦门", "xiamen"},    {U"六安", "luan"},
    {U"乐山", "leshan"},    {U"朝阳", "chaoyang"},  {U"单县", "shanxian"},  {U"蚌埠", "bengbu"},
    {U"杭州", "hangzhou"},  {U"南京", "nanjing"},   {U"北京", "beijing"},   {U"上海", "shanghai"},
    {U"广州", "guangzhou"}, {U"深圳", "shenzhen"},  {U"成都", "chengdu"},   {U"西安", "xian"},
    {U"武汉", "wuhan"},     {U"天津", "tianjin"},   {U"苏州", "suzhou"},    {U"宁波", "ningbo"},
    {U"温州", "wenzhou"},   {U"无锡", "wuxi"},      {U"青岛", "qingdao"},   {U"济南", "jinan"},
    {U"合肥", "hefei"},     {U"福州", "fuzhou"},    {U"长春", "changchun"}, {U"郑州", "zhengzhou"},
    {U"沈阳", "shenyang"},  {U"东莞", "dongguan"},  {U"番禺", "panyu"},     {U"曲阜", "qufu"},
    {U"台州", "taizhou"},   {U"丽水", "lishui"},    {U"乐清", "yueqing"},   {U"铅山", "yanshan"},
    {U"蔚县", "yuxian"},    {U"莘县", "shenxian"},  {U"大连", "dalian"},    {U"重华", "chonghua"},
};
const std::vector<Part> kTrades = {
    {U"中兴", "zhongxing"}, {U"华夏", "huaxia"},  {U"恒通", "hengtong"}, {U"长城", "changcheng"},
    {U"宏达", "hongda"},    {U"鑫源", "xinyuan"}, {U"朝晖", "zhaohui"},  {U"行健", "xingjian"},
    {U"乐天", "letian"},    {U"会通", "huitong"}, {U"曾氏", "zengshi"},  {U"大华", "dahua"},
};
const std::vector<Part> kTradesOfWork = {
    {U"银行", "yinhang"},
    {U"软件", "ruanjian"},
    {U"电子", "dianzi"},
    {U"贸易", "maoyi"},
    {U"会计师事务所", "kuaijishishiwusuo"},
    {U"建筑工程", "jianzhugongcheng"},
    {U"食品", "shipin"},
    {U"服装", "fuzhuang"},
    {U"机械", "jixie"},
    {U"音乐", "yinyue"},
};

// The hand-made reading of a text: what each character folds to, and what it reads as.
char32_t foldByHand(char32_t c)
{
    if (c >= U'A' && c <= U'Z')
        return c - U'A' + U'a';
    for (const auto &[simplified, traditional] : kTraditionalByHand)
        if (c == traditional)
            return simplified;
    return c;
}

std::vector<std::string> readingsByHand(char32_t c)
{
    if ((c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9'))
        return {std::string(1, char(c))};
    const auto it = kReadingsByHand.find(std::u32string(1, c));
    if (it == kReadingsByHand.end())
        return {};
    std::vector<std::string> out;
    std::string word;
    for (char ch : it->second + " ") {
        if (ch == ' ') {
            if (!word.empty())
                out.push_back(word);
            word.clear();
        } else {
            word += ch;
        }
    }
    return out;
}

// Whether letters[from..] is spelled by characters from `at` on, each giving
// the beginning of one of its readings.
bool spells(const std::string &letters, std::size_t from, const std::u32string &text, std::size_t at)
{
    if (from == letters.size())
        return true;
    if (at == text.size())
        return false;
    for (const std::string &reading : readingsByHand(text[at]))
        for (std::size_t k = 1; k <= reading.size() && from + k <= letters.size(); ++k) {
            if (letters.compare(from, k, reading, 0, k) != 0)
                break;
            if (spells(letters, from + k, text, at + 1))
                return true;
        }
    return false;
}

// Whether a name matches a query, by the hand-made readings.
bool matchesByHand(const std::u32string &name, const std::u32string &query)
{
    std::u32string folded;
    for (char32_t c : name)
        folded += foldByHand(c);
    std::vector<std::u32string> words;
    std::u32string word;
    for (char32_t c : query + U" ") {
        if (c == U' ') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += foldByHand(c);
        }
    }
    for (std::u32string w : words) {
        const bool excluded = w[0] == U'-';
        if (excluded)
            w.erase(0, 1);
        const bool quoted = w.size() >= 2 && w.front() == U'"' && w.back() == U'"';
        if (quoted)
            w = w.substr(1, w.size() - 2);
        bool found = folded.find(w) != std::u32string::npos;
        bool letters = !quoted;
        for (char32_t c : w)
            letters = letters && ((c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9'));
        if (!found && letters) {
            const std::string l = utf8(w);
            for (std::size_t at = 0; at < folded.size() && !found; ++at)
                found = spells(l, 0, folded, at);
        }
        if (found == excluded)
            return false;
    }
    return true;
}

std::u32string traditional(const std::u32string &text)
{
    std::u32string out;
    for (char32_t c : text) {
        const auto it = kTraditionalByHand.find(c);
        out += it == kTraditionalByHand.end() ? c : it->second;
    }
    return out;
}

std::string initialsOf(const std::u32string &hanzi)
{
    std::string out;
    for (char32_t c : hanzi) {
        const std::vector<std::string> r = readingsByHand(c);
        out += r.empty() ? '?' : r.front()[0];
    }
    return out;
}

struct Golden
{
    std::vector<std::u32string> names;
    std::vector<std::pair<std::u32string, int>> queries; // query and the company it is typed for
};

Golden goldenSet()
{
    Golden g;
    const std::u32string suffix = U"有限公司";
    for (int i = 0; i < 320; ++i) {
        const Part &place = kPlaces[std::size_t(i) % kPlaces.size()];
        const Part &trade = kTrades[std::size_t(i / 7 + i) % kTrades.size()];
        const Part &work = kTradesOfWork[std::size_t(i * 3 + i / 40) % kTradesOfWork.size()];
        std::u32string name = place.hanzi + trade.hanzi + work.hanzi + suffix;
        // Some companies are stored in traditional characters.
        if (i % 9 == 4)
            name = traditional(name);
        const int company = int(g.names.size());
        g.names.push_back(name);
        auto typed = [&](const std::string &q) { g.queries.emplace_back(utf32Text(q), company); };
        auto typed32 = [&](const std::u32string &q) { g.queries.emplace_back(q, company); };
        typed32(place.hanzi);                                   // 长沙
        typed32(traditional(place.hanzi + trade.hanzi));        // 長沙中興
        typed(place.pinyin);                                    // changsha
        typed(initialsOf(place.hanzi + trade.hanzi));           // cszx
        typed(place.pinyin + initialsOf(trade.hanzi));          // changshazx
        typed(initialsOf(place.hanzi) + trade.pinyin);          // cszhongxing
        typed(place.pinyin.substr(0, place.pinyin.size() - 1)); // still being typed
        typed32(place.hanzi + U" " + work.hanzi);               // 长沙 软件
        typed(place.pinyin + " " + work.pinyin);                // changsha ruanjian
        typed32(U"\"" + work.hanzi + U"\"");                    // "软件"
        typed(utf8(trade.hanzi) + " -" + place.pinyin);         // 中兴 -changsha
        typed(initialsOf(work.hanzi) + " " + initialsOf(place.hanzi));
    }
    const std::u32string specials[] = {
        U"中国银行长沙分行", U"QQ音乐文化有限公司", U"乾安县粮食有限公司",       U"干安县粮食有限公司",
        U"许氏食品有限公司", U"長沙會計師事務所",   U"重庆朝阳建筑工程有限公司",
    };
    for (const std::u32string &s : specials)
        g.names.push_back(s);
    const int first = 320;
    const std::pair<const char *, int> extra[] = {
        {"zgyh", first},
        {"zhongguoyh", first},
        {"zgyinhang", first},
        {"zhongguoyinhang", first},
        {"yinxing", first},
        {"zgyhcsfh", first},
        {"qqyinyue", first + 1},
        {"QQyy", first + 1},
        {"乾安县", first + 2},
        {"干安县", first + 3},
        {"qiananxian", first + 2},
        {"ganan", first + 3},
        {"xsspyxgs", first + 4},
        {"长沙会计", first + 5},
        {"kuaiji", first + 5},
        {"changshakjs", first + 5},
        {"chongqingchaoyang", first + 6},
        {"cqcy", first + 6},
        {"重慶", first + 6},
        {"zhongqing", first + 6},
    };
    for (const auto &[q, company] : extra)
        g.queries.emplace_back(utf32Text(q), company);
    return g;
}

std::set<int> engineFinds(const ColumnStore &store, const std::u32string &query)
{
    const TableSearch search(SearchQuery::parse(utf8(query)));
    const TableSearch::Matches m = search.run(store, {{0, true, true}}, allRows(store.rowCount()));
    const std::vector<int> rows = rowList(m.rows);
    return {rows.begin(), rows.end()};
}

} // namespace

TEST(SearchGoldenTest, EveryQueryFindsItsCompanyAndNothingARareReadingWouldAdd)
{
    const Golden g = goldenSet();
    ASSERT_GE(g.names.size(), 300u);
    for (const std::u32string &name : g.names)
        for (char32_t c : name)
            ASSERT_FALSE(readingsByHand(foldByHand(c)).empty())
                << "no reading typed for " << utf8(std::u32string(1, c));

    ColumnStore::setDefaultChunkRows(64); // several chunks, each coded on its own
    ColumnStore store({{QStringLiteral("cCorpCName"), FieldType::WideString}});
    ColumnStore::setDefaultChunkRows(ColumnStore::kDefaultChunkRows);
    for (const std::u32string &name : g.names) {
        store.appendText(0, utf8(name));
        store.finishRow();
    }
    store.finishLoading();

    std::set<std::u32string> seen;
    int checked = 0;
    for (const auto &[query, company] : g.queries) {
        std::set<int> expected;
        for (int i = 0; i < int(g.names.size()); ++i)
            if (matchesByHand(g.names[std::size_t(i)], query))
                expected.insert(i);
        const bool excludesItsOwn = query.find(U" -") != std::u32string::npos;
        if (!excludesItsOwn) {
            EXPECT_TRUE(expected.count(company))
                << "the query " << utf8(query) << " is not one for " << utf8(g.names[std::size_t(company)]);
        }
        if (!seen.insert(query).second)
            continue;
        const std::set<int> found = engineFinds(store, query);
        if (found != expected) {
            std::string missing, extra;
            for (int i : expected)
                if (!found.count(i))
                    missing += " " + utf8(g.names[std::size_t(i)]);
            for (int i : found)
                if (!expected.count(i))
                    extra += " " + utf8(g.names[std::size_t(i)]);
            ADD_FAILURE() << "query " << utf8(query) << ": missing" << missing << "; found besides" << extra;
        }
        ++checked;
    }
    EXPECT_GE(checked, 1000);
}
