#include "tools/LookupTables.h"
#include "tools/MobileSegments.h"
#include "tools/PlaceNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using tools::AreaRow;
using tools::CardRange;
using tools::PlaceName;

namespace {

const CardRange *rangeOf(const tools::LookupTables &tables, int prefix)
{
    const auto it = std::upper_bound(tables.cards.begin(), tables.cards.end(), prefix,
                                     [](int p, const CardRange &r) { return p < r.startnum; });
    if (it == tables.cards.begin())
        return nullptr;
    const CardRange &range = *(it - 1);
    return prefix <= range.endnum ? &range : nullptr;
}

const AreaRow *areaOf(const tools::LookupTables &tables, const std::string &place)
{
    for (const AreaRow &row : tables.areas) {
        if (row.keyw == place)
            return &row;
    }
    return nullptr;
}

TEST(PlaceNames, SplitsEveryShapeOfDescription)
{
    const auto split = [](const char *d) { return tools::splitPlaceDescription(d); };
    using Cities = std::vector<std::string>;

    EXPECT_EQ(split("浙江省杭州市")->province, "浙江省");
    EXPECT_EQ(split("浙江省杭州市")->cities, Cities{"杭州市"});
    EXPECT_EQ(split("黑龙江省大兴安岭地区")->cities, Cities{"大兴安岭地区"});
    // A municipality is its own province and city, with or without its 市.
    for (const char *d : {"北京市", "天津", "天津市", "重庆市"}) {
        const std::optional<PlaceName> p = split(d);
        ASSERT_TRUE(p) << d;
        EXPECT_EQ(p->province, p->cities.at(0)) << d;
        EXPECT_TRUE(p->province.ends_with("市")) << d;
        EXPECT_EQ(p->cities.size(), 1u);
    }
    // Autonomous regions come by their short or full names and leave by the full one.
    EXPECT_EQ(split("新疆乌鲁木齐市")->province, "新疆维吾尔自治区");
    EXPECT_EQ(split("新疆乌鲁木齐市")->cities, Cities{"乌鲁木齐市"});
    EXPECT_EQ(split("广西壮族自治区南宁市")->province, "广西壮族自治区");
    EXPECT_EQ(split("广西壮族自治区南宁市")->cities, Cities{"南宁市"});
    EXPECT_EQ(split("内蒙古锡林郭勒盟")->province, "内蒙古自治区");
    // Lists of cities, without repeats, in the usual spelling.
    EXPECT_EQ(split("辽宁省沈阳市、铁岭市、抚顺市")->cities, (Cities{"沈阳市", "铁岭市", "抚顺市"}));
    EXPECT_EQ(split("湖北省襄樊市、襄樊市")->cities, Cities{"襄樊市"});
    EXPECT_EQ(split("湖南省长沙市、湘潭市、株州市")->cities, (Cities{"长沙市", "湘潭市", "株洲市"}));
    // The country alone, a province alone and nothing are no place.
    for (const char *d : {"中国", "", "海南省", "新疆", "香港"})
        EXPECT_FALSE(split(d)) << d;
}

TEST(MobileSegments, GiveTheOperatorOfEachSegment)
{
    EXPECT_EQ(tools::cardTypeOfPrefix(1380013), "中国移动");
    EXPECT_EQ(tools::cardTypeOfPrefix(1300000), "中国联通");
    EXPECT_EQ(tools::cardTypeOfPrefix(1899999), "中国电信");
    EXPECT_EQ(tools::cardTypeOfPrefix(1345678), "中国移动");
    EXPECT_EQ(tools::cardTypeOfPrefix(1349123), "中国电信（卫星电话）");
    EXPECT_EQ(tools::cardTypeOfPrefix(1470000), "中国移动（上网卡）");
    EXPECT_EQ(tools::cardTypeOfPrefix(1700999), "中国电信（虚拟运营商）");
    EXPECT_EQ(tools::cardTypeOfPrefix(1705000), "中国移动（虚拟运营商）");
    EXPECT_EQ(tools::cardTypeOfPrefix(1709999), "中国联通（虚拟运营商）");
    EXPECT_EQ(tools::cardTypeOfPrefix(1740000), "中国电信（卫星电话）");
    // Segments without mobile numbers, and numbers that are no prefix.
    for (int prefix : {1741000, 1540000, 1600000, 1200000, 2000000, 138001, -1})
        EXPECT_EQ(tools::cardTypeOfPrefix(prefix), "") << prefix;
}

// Descriptions given by the test, so the merging and the choice of area
// codes can be seen at work on a handful of places.
class FixedPlaces : public tools::PlaceSource
{
public:
    std::map<int, std::string> mobile;
    std::map<int, std::string> fixed;

    std::string mobilePrefix(int prefix) const override
    {
        const auto it = mobile.find(prefix);
        return it == mobile.end() ? std::string() : it->second;
    }
    std::string areaCode(int code) const override
    {
        const auto it = fixed.find(code);
        return it == fixed.end() ? std::string() : it->second;
    }
};

TEST(LookupTables, MergeRunsOfOnePlaceAndGiveEachCityOneCode)
{
    FixedPlaces places;
    places.fixed = {{10, "北京市"},        {22, "天津"},  {24, "辽宁省沈阳市、铁岭市、抚顺市"},
                    {410, "辽宁省铁岭市"}, {400, "中国"}, {571, "浙江省杭州市"}};
    for (int p = 1380010; p <= 1380019; ++p)
        places.mobile[p] = "北京市";
    places.mobile[1380014] = "天津";   // splits the Beijing run
    places.mobile[1380020] = "中国";   // the country only: left out
    places.mobile[1380021] = "北京市"; // after a gap: a range of its own
    places.mobile[1349000] = "北京市"; // another card type in the same place
    places.mobile[1348999] = "北京市";
    places.mobile[1390000] = "辽宁省铁岭市"; // a city with a code of its own
    places.mobile[1390001] = "辽宁省抚顺市"; // a city that shares a code only
    places.mobile[1390002] = "浙江省宁波市"; // a city without a code
    places.mobile[1540000] = "北京市";       // no mobile segment

    const tools::LookupTables t = tools::buildLookupTables(places);
    const std::vector<CardRange> expected = {
        {1348999, 1348999, "北京市", "北京市", "010", "中国移动"},
        {1349000, 1349000, "北京市", "北京市", "010", "中国电信（卫星电话）"},
        {1380010, 1380013, "北京市", "北京市", "010", "中国移动"},
        {1380014, 1380014, "天津市", "天津市", "022", "中国移动"},
        {1380015, 1380019, "北京市", "北京市", "010", "中国移动"},
        {1380021, 1380021, "北京市", "北京市", "010", "中国移动"},
        {1390000, 1390000, "辽宁省", "铁岭市", "0410", "中国移动"},
        {1390001, 1390001, "辽宁省", "抚顺市", "024", "中国移动"},
        {1390002, 1390002, "浙江省", "宁波市", "", "中国移动"},
    };
    EXPECT_EQ(t.cards, expected);
    EXPECT_EQ(t.describedPrefixes, 16);

    // One row per city, by code; postal codes where they are known.
    const std::vector<AreaRow> areas = {
        {"北京市", "北京市", "010", "100000"}, {"天津市", "天津市", "022", "300000"},
        {"沈阳市", "辽宁省", "024", "110000"}, {"抚顺市", "辽宁省", "024", ""},
        {"铁岭市", "辽宁省", "0410", ""},      {"杭州市", "浙江省", "0571", "310000"},
    };
    EXPECT_EQ(t.areas, areas);
}

// The tables as the demo database gets them, from the phone-number library.
TEST(LookupTables, FromThePhoneLibraryPlaceRealNumbers)
{
    const tools::LookupTables &t = tools::phoneLookupTables();

    const CardRange *beijing = rangeOf(t, 1380013);
    ASSERT_NE(beijing, nullptr);
    EXPECT_EQ(beijing->province, "北京市");
    EXPECT_EQ(beijing->city, "北京市");
    EXPECT_EQ(beijing->code, "010");
    EXPECT_EQ(beijing->cardtype, "中国移动");

    const CardRange *hangzhou = rangeOf(t, 1390650);
    ASSERT_NE(hangzhou, nullptr);
    EXPECT_EQ(hangzhou->province, "浙江省");
    EXPECT_EQ(hangzhou->city, "杭州市");
    EXPECT_EQ(hangzhou->code, "0571");

    const CardRange *urumqi = rangeOf(t, 1390000);
    ASSERT_NE(urumqi, nullptr);
    EXPECT_EQ(urumqi->province, "新疆维吾尔自治区");
    EXPECT_EQ(urumqi->city, "乌鲁木齐市");
    EXPECT_EQ(urumqi->code, "0991");

    // Sorted, not overlapping, fully merged, each of one mobile segment's card type.
    ASSERT_GT(t.cards.size(), 1000u);
    long long prefixes = 0;
    for (std::size_t i = 0; i < t.cards.size(); ++i) {
        const CardRange &r = t.cards[i];
        ASSERT_LE(r.startnum, r.endnum);
        ASSERT_FALSE(r.province.empty() || r.city.empty());
        ASSERT_EQ(r.cardtype, tools::cardTypeOfPrefix(r.startnum)) << r.startnum;
        ASSERT_EQ(r.cardtype, tools::cardTypeOfPrefix(r.endnum)) << r.endnum;
        prefixes += r.endnum - r.startnum + 1;
        if (i == 0)
            continue;
        const CardRange &before = t.cards[i - 1];
        ASSERT_LT(before.endnum, r.startnum);
        const bool samePlace = before.province == r.province && before.city == r.city &&
                               before.code == r.code && before.cardtype == r.cardtype;
        ASSERT_FALSE(samePlace && before.endnum + 1 == r.startnum) << "unmerged at " << r.startnum;
    }
    EXPECT_EQ(prefixes, t.describedPrefixes);
    // Most places know their area code.
    const auto withCode = std::count_if(t.cards.begin(), t.cards.end(), [](const CardRange &r) {
        return r.code.size() >= 3 && r.code[0] == '0';
    });
    EXPECT_GT(withCode, long(t.cards.size() * 9 / 10));

    // Every provincial capital and every city of the category tree, with its postal code.
    const std::map<std::string, std::string> capitals = {
        {"北京市", "010"},      {"上海市", "021"},  {"天津市", "022"},     {"重庆市", "023"},
        {"广州市", "020"},      {"沈阳市", "024"},  {"南京市", "025"},     {"武汉市", "027"},
        {"成都市", "028"},      {"西安市", "029"},  {"石家庄市", "0311"},  {"太原市", "0351"},
        {"呼和浩特市", "0471"}, {"长春市", "0431"}, {"哈尔滨市", "0451"},  {"杭州市", "0571"},
        {"合肥市", "0551"},     {"福州市", "0591"}, {"南昌市", "0791"},    {"济南市", "0531"},
        {"郑州市", "0371"},     {"长沙市", "0731"}, {"南宁市", "0771"},    {"海口市", "0898"},
        {"贵阳市", "0851"},     {"昆明市", "0871"}, {"拉萨市", "0891"},    {"兰州市", "0931"},
        {"西宁市", "0971"},     {"银川市", "0951"}, {"乌鲁木齐市", "0991"}};
    for (const auto &[city, code] : capitals) {
        const AreaRow *row = areaOf(t, city);
        ASSERT_NE(row, nullptr) << city;
        EXPECT_EQ(row->areanumber, code) << city;
        EXPECT_EQ(row->zipcode.size(), 6u) << city;
    }
    EXPECT_EQ(areaOf(t, "北京市")->province, "北京市");
    EXPECT_EQ(areaOf(t, "乌鲁木齐市")->province, "新疆维吾尔自治区");
    EXPECT_GT(t.areas.size(), 300u);
    for (const AreaRow &row : t.areas)
        EXPECT_TRUE(row.areanumber.starts_with('0') && row.areanumber.size() <= 4) << row.keyw;
}

} // namespace
