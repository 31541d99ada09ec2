#include "StreamSamples.h"

#include "platform/stream/ExtendedFloat.h"
#include "platform/stream/StreamError.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

using namespace platform::stream;
using samples::Bytes;
using samples::Parse;

TEST(FormStream, EveryKindOfValueSurvivesARoundTrip)
{
    const FormComponent root = samples::EveryKind();
    const QByteArray written = Bytes(root);
    const FormComponent read = Parse(written);
    EXPECT_EQ(read, root);
    // Values keep the kind they were read with, so writing them again gives the same bytes.
    EXPECT_EQ(Bytes(read), written);

    EXPECT_EQ(read.Find("GbString")->ToText(), QStringLiteral("免费加入"));
    EXPECT_EQ(read.Find("GbString")->Bytes(), QByteArray("\xC3\xE2\xB7\xD1\xBC\xD3\xC8\xEB"));
    EXPECT_EQ(read.Find("WString")->ToText(), QStringLiteral("诚招代理 & 广告征订"));
    EXPECT_EQ(read.Find("Utf8String")->ToText(), QStringLiteral("商务助手"));
    EXPECT_EQ(read.Find("Currency")->ToInteger(), -123456789);
    EXPECT_EQ(read.Find("Date")->ToFloat(), 45000.75);
    ASSERT_EQ(read.children.size(), 2u);
    EXPECT_EQ(read.children[1].position.ToInteger(), 5);
    EXPECT_EQ(read.children[1].children[0].flags, FormComponent::Inherited);
}

TEST(FormStream, LayoutOfASmallComponent)
{
    FormComponent root;
    root.className = "TX";
    root.name = "A";
    root.properties = {{"I", FormValue::Integer(5)},
                       {"S", FormValue::Text(QStringLiteral("ab"))},
                       {"C", FormValue::Collection({samples::Item({{"T", FormValue::Boolean(true)}})})}};
    const QByteArray expected("TPF0"
                              "\x02TX\x01"
                              "A"
                              "\x01I\x02\x05"
                              "\x01S\x06\x02"
                              "ab"
                              "\x01"
                              "C\x0E\x01\x01T\x09\x00\x00"
                              "\x00"
                              "\x00",
                              30);
    EXPECT_EQ(Bytes(root), expected);
}

TEST(FormStream, WritersChooseTheSmallestKind)
{
    const struct
    {
        qint64 value;
        ValueType kind;
    } integers[] = {{-128, ValueType::Int8},           {127, ValueType::Int8},
                    {128, ValueType::Int16},           {-129, ValueType::Int16},
                    {32767, ValueType::Int16},         {32768, ValueType::Int32},
                    {-2147483648LL, ValueType::Int32}, {2147483648LL, ValueType::Int64}};
    for (const auto &c : integers)
        EXPECT_EQ(FormValue::Integer(c.value).Type(), c.kind) << c.value;

    EXPECT_EQ(FormValue::Text(QString(255, QLatin1Char('a'))).Type(), ValueType::String);
    EXPECT_EQ(FormValue::Text(QString(256, QLatin1Char('a'))).Type(), ValueType::LString);
    EXPECT_EQ(FormValue::Text(QStringLiteral("地区查询")).Type(), ValueType::WString);
    EXPECT_THROW(FormValue::Integer(200, ValueType::Int8), std::invalid_argument);
}

TEST(FormStream, ExtendedFloats)
{
    // 1.0: mantissa with only the integer bit, exponent 0x3FFF.
    EXPECT_EQ(ToExtended(1.0), QByteArray("\0\0\0\0\0\0\0\x80\xFF\x3F", 10));
    // -2.5 = -1.25 * 2^1.
    EXPECT_EQ(ToExtended(-2.5), QByteArray("\0\0\0\0\0\0\0\xA0\x00\xC0", 10));
    EXPECT_EQ(ToExtended(0.0), QByteArray(10, '\0'));

    for (double v : {1.0, -2.5, 0.1, 1e300, -1e-300, 5e-324, 2.2250738585072014e-308, -0.0,
                     std::numeric_limits<double>::infinity(), std::numeric_limits<double>::max()}) {
        const double back = FromExtended(ToExtended(v).constData());
        EXPECT_EQ(back, v);
        EXPECT_EQ(std::signbit(back), std::signbit(v));
    }
    EXPECT_TRUE(std::isnan(FromExtended(ToExtended(std::nan("")).constData())));
    // Beyond the range of a double: -2^16000 and 2^-16000.
    EXPECT_EQ(FromExtended(QByteArray("\0\0\0\0\0\0\0\x80\x7F\xFE", 10).constData()),
              -std::numeric_limits<double>::infinity());
    EXPECT_EQ(FromExtended(QByteArray("\0\0\0\0\0\0\0\x80\x7F\x01", 10).constData()), 0.0);
    // A Single holds what a float holds; beyond that range it is infinite.
    EXPECT_EQ(FormValue::Float(0.1, ValueType::Single).ToFloat(), double(0.1f));
    EXPECT_EQ(FormValue::Float(-1e300, ValueType::Single).ToFloat(),
              -std::numeric_limits<double>::infinity());
}

TEST(FormStream, ValuesReadAreWrittenBackByteForByte)
{
    // A signalling NaN Single and a UTF8String that is not valid UTF-8: a reader
    // that converts them would write other bytes back.
    const QByteArray stored("TPF0\x02TX\x00"
                            "\x01S\x0F\x01\x00\x80\x7F"
                            "\x01U\x14\x03\x00\x00\x00\xFF\xC3\x28"
                            "\x00\x00",
                            27);
    const FormComponent read = Parse(stored);
    EXPECT_TRUE(std::isnan(read.Find("S")->ToFloat()));
    EXPECT_EQ(read.Find("U")->Bytes(), QByteArray("\xFF\xC3\x28"));
    EXPECT_EQ(Bytes(read), stored);
}

TEST(FormStream, ExtendedFloatsRoundOnceToTheNearestDouble)
{
    // The x87 extended type is this platform's long double, converted to double by the
    // hardware with one rounding to nearest, ties to even.
    static_assert(sizeof(long double) >= 10 && std::numeric_limits<long double>::digits == 64);
    const auto hardware = [](const QByteArray &bytes) {
        long double value = 0;
        std::memcpy(&value, bytes.constData(), 10);
        return double(value);
    };
    const QByteArray example("\xFF\xFF\xFF\xFF\xFF\xFF\x5F\x80\xD6\x3B", 10);
    EXPECT_EQ(FromExtended(example.constData()), std::ldexp(double(0x201), -1074));

    std::mt19937_64 random(20261209);
    for (int i = 0; i < 20000; ++i) {
        // Exponents around the subnormal range of a double, and ties made often.
        const int biased = 16383 - 1022 - 70 + int(random() % 90);
        std::uint64_t mantissa = random() | (std::uint64_t(1) << 63);
        if (i % 3 == 0)
            mantissa &= ~((std::uint64_t(1) << (random() % 60)) - 1);
        const std::uint16_t head = std::uint16_t(biased | ((i & 1) ? 0x8000 : 0));
        QByteArray bytes(10, '\0');
        std::memcpy(bytes.data(), &mantissa, 8);
        std::memcpy(bytes.data() + 8, &head, 2);
        const double ours = FromExtended(bytes.constData());
        const double theirs = hardware(bytes);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(ours), std::bit_cast<std::uint64_t>(theirs))
            << bytes.toHex().constData();
    }
}
