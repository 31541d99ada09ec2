#pragma once

#include <memory>
#include <string>

namespace tools {

// Where a mainland telephone number is from, in Simplified Chinese, as the
// phone-number library's offline geocoder describes it ("浙江省杭州市",
// "北京市", "中国" when it knows only the country, empty when nothing).
class PhoneGeocoder
{
public:
    PhoneGeocoder();
    ~PhoneGeocoder();
    PhoneGeocoder(const PhoneGeocoder &) = delete;
    PhoneGeocoder &operator=(const PhoneGeocoder &) = delete;

    // A seven-digit mobile prefix (1380013).
    std::string describeMobilePrefix(int prefix) const;
    // A fixed-line area code without its trunk 0 (10 for 010, 571 for 0571).
    std::string describeAreaCode(int code) const;

private:
    struct Library;
    std::unique_ptr<Library> m_library;
};

} // namespace tools
