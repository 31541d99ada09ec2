#include "tools/LookupTables.h"

#include "tools/DemoWords.h"
#include "tools/MobileSegments.h"
#include "tools/PhoneGeocoder.h"
#include "tools/PlaceNames.h"

#include <map>
#include <utility>

namespace tools {

namespace {

constexpr int kFirstPrefix = 1300000;
constexpr int kLastPrefix = 1999999;

using CityKey = std::pair<std::string, std::string>; // province, city

// The best area code found so far for a city.
struct CityCode
{
    std::string code;
    int rank; // 0: the code serves the city alone; 1: it comes first of several; 2: it is listed later
};

std::string withTrunk(int code)
{
    return '0' + std::to_string(code);
}

// Postal codes of the towns that the demo companies use, among them every
// provincial capital and the ten cities of the category tree.
std::string postalCode(const std::string &city)
{
    for (const words::Region &region : words::treeRegions()) {
        for (const words::Place &place : region.places) {
            if (city == place.city && std::string_view(place.zip).size() == 6)
                return place.zip;
        }
    }
    return {};
}

class PhoneLibrarySource : public PlaceSource
{
public:
    std::string mobilePrefix(int prefix) const override { return m_geocoder.describeMobilePrefix(prefix); }
    std::string areaCode(int code) const override { return m_geocoder.describeAreaCode(code); }

private:
    PhoneGeocoder m_geocoder;
};

} // namespace

std::vector<int> probedAreaCodes()
{
    std::vector<int> codes{10};
    for (int code = 20; code <= 29; ++code)
        codes.push_back(code);
    for (int code = 310; code <= 999; ++code)
        codes.push_back(code);
    return codes;
}

LookupTables buildLookupTables(const PlaceSource &source)
{
    LookupTables tables;

    std::map<CityKey, CityCode> cityCodes;
    std::vector<CityKey> citiesInCodeOrder;
    for (const int code : probedAreaCodes()) {
        const std::optional<PlaceName> place = splitPlaceDescription(source.areaCode(code));
        if (!place)
            continue;
        for (std::size_t i = 0; i < place->cities.size(); ++i) {
            const int rank = place->cities.size() == 1 ? 0 : (i == 0 ? 1 : 2);
            const CityKey key{place->province, place->cities[i]};
            auto [it, added] = cityCodes.try_emplace(key, CityCode{withTrunk(code), rank});
            if (added)
                citiesInCodeOrder.push_back(key);
            else if (rank < it->second.rank)
                it->second = CityCode{withTrunk(code), rank};
        }
    }

    // One row per city, ordered by the code it was given.
    std::multimap<std::string, const CityKey *> byCode;
    for (const CityKey &key : citiesInCodeOrder)
        byCode.emplace(cityCodes.at(key).code, &key);
    for (const auto &[code, key] : byCode)
        tables.areas.push_back({key->second, key->first, code, postalCode(key->second)});

    for (int prefix = kFirstPrefix; prefix <= kLastPrefix; ++prefix) {
        const std::string_view cardType = cardTypeOfPrefix(prefix);
        if (cardType.empty())
            continue;
        const std::optional<PlaceName> place = splitPlaceDescription(source.mobilePrefix(prefix));
        if (!place)
            continue;
        ++tables.describedPrefixes;

        CardRange range;
        range.startnum = range.endnum = prefix;
        range.province = place->province;
        range.city = place->cities.front();
        for (std::size_t i = 1; i < place->cities.size(); ++i)
            range.city += "、" + place->cities[i];
        if (const auto it = cityCodes.find({place->province, place->cities.front()}); it != cityCodes.end())
            range.code = it->second.code;
        range.cardtype = cardType;

        if (!tables.cards.empty()) {
            CardRange &last = tables.cards.back();
            if (last.endnum + 1 == prefix && last.province == range.province && last.city == range.city &&
                last.code == range.code && last.cardtype == range.cardtype) {
                last.endnum = prefix;
                continue;
            }
        }
        tables.cards.push_back(std::move(range));
    }
    return tables;
}

const LookupTables &phoneLookupTables()
{
    static const LookupTables tables = buildLookupTables(PhoneLibrarySource());
    return tables;
}

} // namespace tools
