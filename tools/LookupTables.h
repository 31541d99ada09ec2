#pragma once

#include <string>
#include <vector>

namespace tools {

// One row of the mobile-number range table: the seven-digit prefixes from
// startnum to endnum all lie in one place and have one card type.
struct CardRange
{
    int startnum = 0;
    int endnum = 0;
    std::string province;
    std::string city;
    std::string code; // the city's area code with its trunk 0 ("0571"); empty when unknown
    std::string cardtype;

    friend bool operator==(const CardRange &, const CardRange &) = default;
};

// One row of the area-code table.
struct AreaRow
{
    std::string keyw; // the place
    std::string province;
    std::string areanumber;
    std::string zipcode; // empty where no reliable postal code is known

    friend bool operator==(const AreaRow &, const AreaRow &) = default;
};

struct LookupTables
{
    std::vector<CardRange> cards; // ascending, not overlapping
    std::vector<AreaRow> areas;   // by area code
    int describedPrefixes = 0;    // mobile prefixes placed in a city
};

// Where the place descriptions come from: the phone-number library, or a
// fixed set in tests.
class PlaceSource
{
public:
    virtual ~PlaceSource() = default;
    // Description of a seven-digit mobile prefix ("浙江省杭州市", "中国", "").
    virtual std::string mobilePrefix(int prefix) const = 0;
    // Description of a fixed-line area code without its trunk 0.
    virtual std::string areaCode(int code) const = 0;
};

// The fixed-line area codes probed, without their trunk 0: 10, 20 to 29
// and 310 to 999.
std::vector<int> probedAreaCodes();

// Builds both tables from the descriptions of every mobile prefix of the
// known mobile segments and of every probed area code. A mobile prefix
// takes the area code of its city: a code that serves the city alone
// before one it shares, where it comes first before where it does not,
// and the lower code before the higher.
LookupTables buildLookupTables(const PlaceSource &source);

// The tables from the phone-number library's offline geocoder. Built once
// per process: it takes a second or two.
const LookupTables &phoneLookupTables();

} // namespace tools
