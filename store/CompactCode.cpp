#include "store/CompactCode.h"

#include "store/Utf8Text.h"

#include <algorithm>
#include <array>

namespace store {

namespace {

// The control characters whose byte values stand for frequent characters.
constexpr std::array<unsigned char, CompactCode::kOneByte> kSlotBytes = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x0B, 0x0C, 0x0E, 0x0F, 0x10, 0x11,
    0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x7F};

constexpr std::array<signed char, 128> slotTable()
{
    std::array<signed char, 128> t{};
    for (auto &v : t)
        v = -1;
    for (std::size_t i = 0; i < kSlotBytes.size(); ++i)
        t[kSlotBytes[i]] = static_cast<signed char>(i);
    return t;
}
constexpr std::array<signed char, 128> kSlotOf = slotTable();

constexpr int kFirstTwo = CompactCode::kOneByte;
constexpr int kFirstThree = kFirstTwo + CompactCode::kTwoBytes;
constexpr int kCodes = kFirstThree + CompactCode::kThreeBytes;

// ASCII that keeps its byte.
bool keepsByte(unsigned char c)
{
    return c < 0x80 && kSlotOf[c] < 0;
}

} // namespace

CompactCode CompactCode::forCounts(std::vector<std::pair<char32_t, std::uint32_t>> counts)
{
    // ASCII never gets a code: it keeps its byte, or the text is kept as read.
    std::erase_if(counts, [](const auto &c) { return c.first < 0x80; });
    std::sort(counts.begin(), counts.end(), [](const auto &a, const auto &b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    if (counts.size() > std::size_t(kCodes))
        counts.resize(std::size_t(kCodes));
    CompactCode code;
    code.m_chars.reserve(counts.size());
    code.m_byChar.reserve(counts.size());
    for (const auto &[c, n] : counts) {
        code.m_byChar.emplace_back(c, std::uint16_t(code.m_chars.size()));
        code.m_chars.push_back(c);
    }
    std::sort(code.m_byChar.begin(), code.m_byChar.end());
    if (!counts.empty()) {
        code.m_byteCounts.assign(256, 0);
        for (std::size_t i = 0; i < counts.size(); ++i) {
            const std::uint32_t packed = packedCode(int(i));
            for (std::uint32_t b = 0; b < packed >> 24; ++b) {
                std::uint32_t &n = code.m_byteCounts[(packed >> (8 * b)) & 0xFF];
                n = std::max(n, n + counts[i].second); // saturates instead of wrapping
            }
        }
    }
    return code;
}

std::pair<std::size_t, std::size_t> CompactCode::rarestBytes(std::string_view coded) const
{
    const std::size_t k = coded.size();
    if (k < 2 || m_byteCounts.empty())
        return {0, k == 0 ? 0 : k - 1};
    const auto weight = [&](std::size_t at) -> std::uint64_t {
        const auto b = static_cast<unsigned char>(coded[at]);
        // Plain ASCII weighs more than any coded byte, so a coded byte is
        // picked whenever there is one; ties keep the needle's ends.
        return keepsByte(b) ? std::uint64_t(1) << 32 : m_byteCounts[b];
    };
    std::size_t first = 0, second = k - 1;
    if (weight(second) < weight(first))
        std::swap(first, second);
    for (std::size_t at = 1; at + 1 < k; ++at) {
        const std::uint64_t w = weight(at);
        if (w < weight(first)) {
            second = first;
            first = at;
        } else if (w < weight(second)) {
            second = at;
        }
    }
    return std::minmax(first, second);
}

int CompactCode::indexOf(char32_t c) const
{
    const auto it = std::lower_bound(m_byChar.begin(), m_byChar.end(), std::make_pair(c, std::uint16_t(0)));
    return it != m_byChar.end() && it->first == c ? it->second : -1;
}

void CompactCode::appendCode(std::string &out, int index)
{
    if (index < kFirstTwo) {
        out += char(kSlotBytes[std::size_t(index)]);
    } else if (index < kFirstThree) {
        const int j = index - kFirstTwo;
        out += char(0xC0 + (j >> 6));
        out += char(0x80 + (j & 63));
    } else {
        const int j = index - kFirstThree;
        out += char(0xF8 + (j >> 12));
        out += char(0x80 + ((j >> 6) & 63));
        out += char(0x80 + (j & 63));
    }
}

int CompactCode::codedLength(char32_t c) const
{
    if (c < 0x80 && keepsByte(static_cast<unsigned char>(c)))
        return 1;
    const int index = indexOf(c);
    return index < 0 ? 0 : index < kFirstTwo ? 1 : index < kFirstThree ? 2 : 3;
}

bool CompactCode::encode(std::string_view utf8, std::string &out) const
{
    for (std::size_t at = 0; at < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[at]);
        if (b < 0x80) {
            if (!keepsByte(b))
                return false;
            out += char(b);
            ++at;
            continue;
        }
        const int index = indexOf(nextCharacter(utf8, at));
        if (index < 0)
            return false;
        appendCode(out, index);
    }
    return true;
}

void CompactCode::decode(std::string_view coded, std::string &out) const
{
    const auto *p = reinterpret_cast<const unsigned char *>(coded.data());
    const auto *end = p + coded.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            const int slot = kSlotOf[b];
            if (slot < 0)
                out += char(b);
            else
                appendUtf8(out, m_chars[std::size_t(slot)]);
            ++p;
        } else if (b < 0xF8) {
            appendUtf8(out, m_chars[std::size_t(kFirstTwo + ((b - 0xC0) << 6) + (p[1] - 0x80))]);
            p += 2;
        } else {
            appendUtf8(out, m_chars[std::size_t(kFirstThree + ((b - 0xF8) << 12) + ((p[1] - 0x80) << 6) +
                                                (p[2] - 0x80))]);
            p += 3;
        }
    }
}

int CompactCode::nextIndex(const unsigned char *&p)
{
    const unsigned char b = *p;
    if (b < 0x80) {
        ++p;
        const int slot = kSlotOf[b];
        return slot < 0 ? -1 - int(b) : slot;
    }
    if (b < 0xF8) {
        const int index = kFirstTwo + ((b - 0xC0) << 6) + (p[1] - 0x80);
        p += 2;
        return index;
    }
    const int index = kFirstThree + ((b - 0xF8) << 12) + ((p[1] - 0x80) << 6) + (p[2] - 0x80);
    p += 3;
    return index;
}

int CompactCode::indexOfByte(unsigned char b)
{
    const int slot = b < 0x80 ? kSlotOf[b] : -1;
    return slot < 0 ? -1 - int(b) : slot;
}

std::size_t CompactCode::memoryBytes() const
{
    return m_chars.capacity() * sizeof(char32_t) + m_byChar.capacity() * sizeof(m_byChar[0]) +
           m_byteCounts.capacity() * sizeof(std::uint32_t);
}

std::uint32_t CompactCode::packedCode(int index)
{
    if (index < kFirstTwo)
        return 1u << 24 | kSlotBytes[std::size_t(index)];
    if (index < kFirstThree) {
        const int j = index - kFirstTwo;
        return 2u << 24 | std::uint32_t(0x80 + (j & 63)) << 8 | std::uint32_t(0xC0 + (j >> 6));
    }
    const int j = index - kFirstThree;
    return 3u << 24 | std::uint32_t(0x80 + (j & 63)) << 16 | std::uint32_t(0x80 + ((j >> 6) & 63)) << 8 |
           std::uint32_t(0xF8 + (j >> 12));
}

CompactCode::Encoder::Encoder(const CompactCode &code) : m_code(code), m_packed(0x10000, 0)
{
    for (unsigned c = 0; c < 0x80; ++c) {
        if (keepsByte(static_cast<unsigned char>(c)))
            m_packed[c] = 1u << 24 | c;
    }
    for (std::size_t i = 0; i < code.m_chars.size(); ++i) {
        if (code.m_chars[i] < 0x10000)
            m_packed[code.m_chars[i]] = packedCode(int(i));
    }
}

char *CompactCode::Encoder::encode(std::string_view utf8, char *out) const
{
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    const auto *end = p + utf8.size();
    while (p < end) {
        const unsigned char b = *p;
        char32_t c;
        if (b < 0x80) {
            c = b;
            p += 1;
        } else if (b < 0xE0) {
            c = char32_t(b & 0x1F) << 6 | (p[1] & 0x3F);
            p += 2;
        } else if (b < 0xF0) {
            c = char32_t(b & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
            p += 3;
        } else {
            c = char32_t(b & 0x07) << 18 | char32_t(p[1] & 0x3F) << 12 | char32_t(p[2] & 0x3F) << 6 |
                (p[3] & 0x3F);
            p += 4;
        }
        std::uint32_t code;
        if (c < 0x10000) {
            code = m_packed[c];
        } else {
            const int index = m_code.indexOf(c);
            code = index < 0 ? 0 : packedCode(index);
        }
        if (code == 0)
            return nullptr;
        out[0] = char(code);
        out[1] = char(code >> 8);
        out[2] = char(code >> 16);
        out += code >> 24;
    }
    return out;
}

} // namespace store
