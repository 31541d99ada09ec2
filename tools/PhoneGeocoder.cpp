#include "tools/PhoneGeocoder.h"

#include <phonenumbers/geocoding/phonenumber_offline_geocoder.h>
#include <phonenumbers/phonenumber.pb.h>
#include <phonenumbers/phonenumberutil.h>

namespace tools {

namespace pn = i18n::phonenumbers;

namespace {

constexpr int kChina = 86;

pn::PhoneNumber mainlandNumber(unsigned long long national)
{
    pn::PhoneNumber number;
    number.set_country_code(kChina);
    number.set_national_number(national);
    return number;
}

} // namespace

struct PhoneGeocoder::Library
{
    pn::PhoneNumberOfflineGeocoder geocoder;
    const pn::PhoneNumberUtil &util = *pn::PhoneNumberUtil::GetInstance();
    const icu::Locale chinese{"zh", "CN"};
};

PhoneGeocoder::PhoneGeocoder() : m_library(std::make_unique<Library>()) {}

PhoneGeocoder::~PhoneGeocoder() = default;

std::string PhoneGeocoder::describeMobilePrefix(int prefix) const
{
    // The geocoder keys mobile numbers by their first seven digits; the
    // validity check that its checked variant adds changes no description
    // of a prefix here and costs three times the lookup.
    const pn::PhoneNumber number = mainlandNumber(static_cast<unsigned long long>(prefix) * 10000);
    return m_library->geocoder.GetDescriptionForValidNumber(number, m_library->chinese);
}

std::string PhoneGeocoder::describeAreaCode(int code) const
{
    // Local numbers have eight digits behind the large cities' codes and
    // seven behind most others; the first form the library accepts as a
    // fixed line names the place.
    for (const unsigned long long local : {23456789ull, 2345678ull}) {
        const unsigned long long scale = local > 9999999 ? 100000000ull : 10000000ull;
        const pn::PhoneNumber number = mainlandNumber(static_cast<unsigned long long>(code) * scale + local);
        const pn::PhoneNumberUtil::PhoneNumberType type = m_library->util.GetNumberType(number);
        if (type == pn::PhoneNumberUtil::FIXED_LINE || type == pn::PhoneNumberUtil::FIXED_LINE_OR_MOBILE) {
            std::string description = m_library->geocoder.GetDescriptionForNumber(number, m_library->chinese);
            if (!description.empty())
                return description;
        }
    }
    return {};
}

} // namespace tools
