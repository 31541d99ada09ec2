#include "tools/PlaceNames.h"

#include <algorithm>

namespace tools {

namespace {

constexpr std::string_view kMunicipalities[] = {"北京", "上海", "天津", "重庆"};
constexpr std::string_view kCity = "市";
constexpr std::string_view kProvince = "省";
constexpr std::string_view kListSeparator = "、";

// The geocoder calls the autonomous regions by their short names.
struct Region
{
    std::string_view shortName;
    std::string_view fullName;
};
constexpr Region kRegions[] = {
    {"内蒙古", "内蒙古自治区"},   {"广西", "广西壮族自治区"}, {"宁夏", "宁夏回族自治区"},
    {"新疆", "新疆维吾尔自治区"}, {"西藏", "西藏自治区"},
};

// City names that the geocoder's data spells in another way in some entries.
struct Spelling
{
    std::string_view variant;
    std::string_view usual;
};
constexpr Spelling kSpellings[] = {{"株州市", "株洲市"}};

bool consume(std::string_view &text, std::string_view head)
{
    if (!text.starts_with(head))
        return false;
    text.remove_prefix(head.size());
    return true;
}

std::vector<std::string> splitCities(std::string_view rest)
{
    std::vector<std::string> cities;
    while (!rest.empty()) {
        const std::size_t end = rest.find(kListSeparator);
        std::string_view city = rest.substr(0, end);
        for (const Spelling &s : kSpellings) {
            if (city == s.variant)
                city = s.usual;
        }
        if (!city.empty() && std::find(cities.begin(), cities.end(), city) == cities.end())
            cities.emplace_back(city);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + kListSeparator.size());
    }
    return cities;
}

} // namespace

std::optional<PlaceName> splitPlaceDescription(std::string_view description)
{
    for (std::string_view name : kMunicipalities) {
        if (description.starts_with(name)) {
            const std::string full = std::string(name) + std::string(kCity);
            return PlaceName{full, {full}};
        }
    }

    PlaceName place;
    std::string_view rest = description;
    if (const std::size_t end = rest.find(kProvince); end != std::string_view::npos) {
        place.province = rest.substr(0, end + kProvince.size());
        rest.remove_prefix(end + kProvince.size());
    } else {
        for (const Region &region : kRegions) {
            if (consume(rest, region.fullName) || consume(rest, region.shortName)) {
                place.province = region.fullName;
                break;
            }
        }
    }
    if (place.province.empty())
        return std::nullopt;
    place.cities = splitCities(rest);
    if (place.cities.empty())
        return std::nullopt;
    return place;
}

} // namespace tools
