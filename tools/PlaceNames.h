#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

// A place as the lookup tables keep it: the province-level division by its
// full name, and the city or cities within it.
struct PlaceName
{
    std::string province;            // "浙江省", "新疆维吾尔自治区", "北京市"
    std::vector<std::string> cities; // "杭州市"; several where one area code serves them
};

// Splits a place description of the phone-number geocoder: "浙江省杭州市",
// "新疆乌鲁木齐市", "辽宁省沈阳市、铁岭市、抚顺市". A municipality ("北京市",
// "天津") is its own province and city. Nothing for a description that
// names only the country ("中国") or no city of a province-level division.
std::optional<PlaceName> splitPlaceDescription(std::string_view description);

} // namespace tools
