#include "tools/MobileSegments.h"

#include <array>

namespace tools {

namespace {

constexpr std::string_view kMobile = "中国移动";
constexpr std::string_view kUnicom = "中国联通";
constexpr std::string_view kTelecom = "中国电信";
constexpr std::string_view kBroadnet = "中国广电";
constexpr std::string_view kMobileData = "中国移动（上网卡）";
constexpr std::string_view kUnicomData = "中国联通（上网卡）";
constexpr std::string_view kTelecomData = "中国电信（上网卡）";
constexpr std::string_view kMobileResale = "中国移动（虚拟运营商）";
constexpr std::string_view kUnicomResale = "中国联通（虚拟运营商）";
constexpr std::string_view kTelecomResale = "中国电信（虚拟运营商）";
constexpr std::string_view kTelecomSatellite = "中国电信（卫星电话）";

struct Segment
{
    int digits; // the segment: three digits (139) or four (1349)
    std::string_view cardType;
};

// The published allotment of the mainland's mobile number segments. A
// four-digit entry overrides the three-digit segment it lies in.
constexpr Segment kSegments[] = {
    {130, kUnicom},         {131, kUnicom},
    {132, kUnicom},         {133, kTelecom},
    {134, kMobile},         {1349, kTelecomSatellite},
    {135, kMobile},         {136, kMobile},
    {137, kMobile},         {138, kMobile},
    {139, kMobile},         {145, kUnicomData},
    {147, kMobileData},     {149, kTelecomData},
    {150, kMobile},         {151, kMobile},
    {152, kMobile},         {153, kTelecom},
    {155, kUnicom},         {156, kUnicom},
    {157, kMobile},         {158, kMobile},
    {159, kMobile},         {162, kTelecomResale},
    {165, kMobileResale},   {166, kUnicom},
    {167, kUnicomResale},   {1700, kTelecomResale},
    {1701, kTelecomResale}, {1702, kTelecomResale},
    {1703, kMobileResale},  {1704, kUnicomResale},
    {1705, kMobileResale},  {1706, kMobileResale},
    {1707, kUnicomResale},  {1708, kUnicomResale},
    {1709, kUnicomResale},  {171, kUnicomResale},
    {173, kTelecom},        {1740, kTelecomSatellite},
    {175, kUnicom},         {176, kUnicom},
    {177, kTelecom},        {178, kMobile},
    {180, kTelecom},        {181, kTelecom},
    {182, kMobile},         {183, kMobile},
    {184, kMobile},         {185, kUnicom},
    {186, kUnicom},         {187, kMobile},
    {188, kMobile},         {189, kTelecom},
    {190, kTelecom},        {191, kTelecom},
    {192, kBroadnet},       {193, kTelecom},
    {195, kMobile},         {196, kUnicom},
    {197, kMobile},         {198, kMobile},
    {199, kTelecom},
};

std::string_view find(int digits)
{
    for (const Segment &s : kSegments) {
        if (s.digits == digits)
            return s.cardType;
    }
    return {};
}

} // namespace

std::string_view cardTypeOfPrefix(int prefix)
{
    if (prefix < 1300000 || prefix > 1999999)
        return {};
    if (const std::string_view four = find(prefix / 1000); !four.empty())
        return four;
    // 170 and 174 are split by their fourth digit only.
    const int three = prefix / 10000;
    if (three == 170 || three == 174)
        return {};
    return find(three);
}

} // namespace tools
