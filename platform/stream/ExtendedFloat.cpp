#include "platform/stream/ExtendedFloat.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace platform::stream {

namespace {
constexpr int ExtendedBias = 16383;
constexpr int DoubleBias = 1023;
constexpr std::uint64_t IntegerBit = std::uint64_t(1) << 63;
// Weight of the last bit of a subnormal double.
constexpr int SubnormalExponent = -1074;
constexpr int MinNormalExponent = -1022;

// mantissa * 2^exponent rounded once to the nearest double, ties to even. Converting the
// mantissa to a double and scaling it would round twice where the result is subnormal:
// once to 53 bits, then again to the fewer bits a subnormal keeps.
double ScaledToDouble(std::uint64_t mantissa, int exponent)
{
    if (mantissa == 0)
        return 0.0;
    const int top = 63 - std::countl_zero(mantissa);
    const int shift = SubnormalExponent - exponent;
    if (top + exponent >= MinNormalExponent || shift <= 0)
        return std::ldexp(double(mantissa), exponent); // one rounding at most
    if (shift > 64)
        return 0.0; // below half the smallest subnormal
    const std::uint64_t kept = shift == 64 ? 0 : mantissa >> shift;
    const std::uint64_t rest = shift == 64 ? mantissa : mantissa & ((std::uint64_t(1) << shift) - 1);
    const std::uint64_t half = std::uint64_t(1) << (shift - 1);
    const bool up = rest > half || (rest == half && (kept & 1) != 0);
    return std::ldexp(double(kept + (up ? 1 : 0)), SubnormalExponent);
}

} // namespace

QByteArray ToExtended(double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const std::uint16_t sign = (bits >> 63) ? 0x8000 : 0;
    const int exponent = int((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);

    std::uint64_t mantissa = 0;
    int biased = 0;
    if (exponent == 0x7FF) {
        // Infinity keeps a bare integer bit; a NaN keeps its payload.
        biased = 0x7FFF;
        mantissa = IntegerBit | (fraction << 11);
    } else if (exponent == 0) {
        if (fraction != 0) {
            // A subnormal double is a normal extended float.
            const int top = 63 - std::countl_zero(fraction);
            mantissa = fraction << (63 - top);
            biased = top - 1074 + ExtendedBias;
        }
    } else {
        mantissa = IntegerBit | (fraction << 11);
        biased = exponent - DoubleBias + ExtendedBias;
    }

    QByteArray out(ExtendedSize, '\0');
    for (int i = 0; i < 8; ++i)
        out[i] = char((mantissa >> (8 * i)) & 0xFF);
    const std::uint16_t head = sign | std::uint16_t(biased);
    out[8] = char(head & 0xFF);
    out[9] = char(head >> 8);
    return out;
}

double FromExtended(const char *bytes)
{
    std::uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i)
        mantissa = (mantissa << 8) | static_cast<unsigned char>(bytes[i]);
    const std::uint16_t head =
        std::uint16_t(static_cast<unsigned char>(bytes[8]) | (static_cast<unsigned char>(bytes[9]) << 8));
    const bool negative = (head & 0x8000) != 0;
    const int biased = head & 0x7FFF;

    double result;
    if (biased == 0x7FFF) {
        result = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity()
                                      : std::numeric_limits<double>::quiet_NaN();
    } else {
        // The integer bit is explicit, so one formula serves normal and denormal values:
        // the value is mantissa * 2^exponent.
        result = ScaledToDouble(mantissa, biased - ExtendedBias - 63 + (biased == 0 ? 1 : 0));
    }
    return negative ? -result : result;
}

float ToSingle(double value)
{
    // Converting a double outside the float range is undefined, so saturate first.
    if (value > std::numeric_limits<float>::max())
        return std::numeric_limits<float>::infinity();
    if (value < -std::numeric_limits<float>::max())
        return -std::numeric_limits<float>::infinity();
    return float(value);
}

} // namespace platform::stream
