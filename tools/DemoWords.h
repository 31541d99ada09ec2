#pragma once

#include <span>
#include <string_view>

// Word pools from which the demo database composes its companies, places
// and mobile-number ranges. Every pool is fixed, so a seed always yields
// the same file.
namespace tools::words {

struct Road
{
    const char *name; // "人民路"
    const char *en;   // "Renmin Road"
};

// A town with its telephone area code and postal code, in Chinese and in
// the spelling of the English addresses, and the districts (or towns) that
// lie in it, so that an address names a district of its own city.
struct Place
{
    const char *city;      // "杭州市"
    const char *cityEn;    // "Hangzhou"
    const char *areaCode;  // "0571"
    const char *zip;       // "310000"; empty where the place has none
    const char *districts; // "上城区 西湖区 …", separated by blanks
    // The town's own streets; empty for the common road names of the mainland.
    std::span<const Road> roads = {};
};

// The districts of a place, one by one.
std::span<const std::string_view> districtsOf(const Place &place);

// One value of the province column with the towns that lie in it.
struct Region
{
    const char *province;   // as the category tree spells it
    const char *provinceEn; // empty for the cities that stand on their own
    std::span<const Place> places;
};

// The ten cities and twenty-nine provinces of the category tree, in its
// order; every company lies in one of them, under the text its node selects.
std::span<const Region> treeRegions();

struct Category
{
    const char *name;     // "电子电器"
    const char *number;   // "0103"
    const char *industry; // word in the company name: "电子"
    const char *industryEn;
    std::span<const char *const> products;
};
std::span<const Category> categories();

// A trade name and its spelling for web and mail addresses.
struct Brand
{
    const char *name;   // "华远"
    const char *pinyin; // "huayuan"
};
std::span<const Brand> brands();
// Characters of trade names with their spelling: two of them make one of
// the many less known trade names ("华" "达" -> "华达", "huada").
std::span<const Brand> tradeSyllables();

// The road names common to the towns of the mainland.
std::span<const Road> roads();

std::span<const char *const> companySuffixes();
std::span<const char *const> surnames();
std::span<const char *const> givenNames();
std::span<const char *const> mailHosts();
std::span<const char *const> remarks();
std::span<const char *const> markets();

} // namespace tools::words
