#include "store/Utf8Text.h"

#include <cstring>

namespace store {

bool isAscii(std::string_view text)
{
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if (word & 0x8080808080808080ull)
            return false;
    }
    for (; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    }
    return true;
}

int wellFormedLength(const unsigned char *p, const unsigned char *end)
{
    const unsigned char c = *p;
    if (c < 0x80)
        return 1;
    const std::ptrdiff_t left = end - p;
    const auto cont = [&](std::ptrdiff_t i, unsigned char lo = 0x80, unsigned char hi = 0xBF) {
        return i < left && p[i] >= lo && p[i] <= hi;
    };
    if (c >= 0xC2 && c <= 0xDF)
        return cont(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned char lo = c == 0xE0 ? 0xA0 : 0x80;
        const unsigned char hi = c == 0xED ? 0x9F : 0xBF;
        if (!cont(1, lo, hi) || !cont(2))
            return 0;
        // U+FFFE and U+FFFF read as U+FFFD.
        if (c == 0xEF && p[1] == 0xBF && p[2] >= 0xBE)
            return 0;
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned char lo = c == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = c == 0xF4 ? 0x8F : 0xBF;
        return cont(1, lo, hi) && cont(2) && cont(3) ? 4 : 0;
    }
    return 0;
}

bool readsAsWritten(std::string_view text)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const auto *end = p + text.size();
    while (p < end) {
        // Runs of ASCII, eight bytes at a time.
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ull)
                break;
            p += 8;
        }
        if (p == end)
            break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
        } else if (isPlainThreeByteLead(c) && end - p >= 3 && isContinuationByte(p[1]) &&
                   isContinuationByte(p[2])) {
            p += 3; // most Chinese characters
        } else {
            const int n = wellFormedLength(p, end);
            if (n == 0)
                return false;
            p += n;
        }
    }
    return true;
}

char32_t nextCharacter(std::string_view text, std::size_t &at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data()) + at;
    const unsigned char c = p[0];
    if (c < 0x80) {
        at += 1;
        return c;
    }
    if (c < 0xE0) {
        at += 2;
        return char32_t(c & 0x1F) << 6 | (p[1] & 0x3F);
    }
    if (c < 0xF0) {
        at += 3;
        return char32_t(c & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
    }
    at += 4;
    return char32_t(c & 0x07) << 18 | char32_t(p[1] & 0x3F) << 12 | char32_t(p[2] & 0x3F) << 6 |
           (p[3] & 0x3F);
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace store
