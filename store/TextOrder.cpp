#include "store/TextOrder.h"

#include "store/Utf8Text.h"

#include <QChar>

#include <unicode/ucol.h>
#include <unicode/uset.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <bitset>
#include <memory>
#include <numeric>
#include <string>
#include <unordered_map>
#include <vector>

namespace store {

namespace {

// A run of characters the collation orders as one (a contraction): "重庆"
// sorts as chong qing although "重" alone is zhong.
struct Contraction
{
    std::string rest; // UTF-8 of the characters after the first
    std::uint16_t place = 0;
};

struct CharacterTable
{
    // The place of each character of the plane in the collation, from 1;
    // 0 for one the collation ignores. Characters the collation holds
    // equal (a letter and its capital) share a place; every decimal digit
    // has the place of "0".
    std::vector<std::uint16_t> place;
    // The value of each decimal digit; kStartsContraction for the first
    // character of a contraction; -1 for other characters.
    std::vector<std::int8_t> kind;
    std::uint16_t digitPlace = 0;
    // The contractions by first character, the longest first, and the
    // bytes their second characters begin with (most characters that begin
    // one, the vowels of pinyin, are seldom followed by one of those).
    struct Starting
    {
        std::bitset<256> nextBytes;
        std::vector<Contraction> list;
    };
    std::unordered_map<char16_t, Starting> contractions;
};

constexpr std::int8_t kStartsContraction = -2;

// Places stop short of this mark, which stands for a character beyond the plane.
constexpr std::uint32_t kBeyondPlane = TextElements::kBound - 1;

bool isSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

std::string sortKey(const UCollator *collator, const std::u16string &text)
{
    std::string key(64, '\0');
    for (;;) {
        const int32_t length = ucol_getSortKey(collator, text.data(), int32_t(text.size()),
                                               reinterpret_cast<uint8_t *>(key.data()), int32_t(key.size()));
        if (length <= int32_t(key.size())) {
            key.resize(std::size_t(std::max(length, 1)) - 1); // without the closing NUL
            return key;
        }
        key.assign(std::size_t(length), '\0');
    }
}

std::string toUtf8(const std::u16string &text)
{
    std::string utf8(text.size() * 3, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8(utf8.data(), int32_t(utf8.size()), &length, text.data(), int32_t(text.size()), &status);
    utf8.resize(U_SUCCESS(status) ? std::size_t(length) : 0);
    return utf8;
}

// The characters of the plane and the collation's contractions in ICU's
// Chinese collation (pinyin, the one QCollator uses for zh_CN), case
// ignored. Sorting them once takes some tens of milliseconds; a sort key
// per cell instead would take seconds for a million rows, and QCollator
// tells nothing of contractions.
CharacterTable buildTable()
{
    CharacterTable table;
    table.place.assign(0x10000, 0);
    table.kind.assign(0x10000, -1);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCollator, decltype(&ucol_close)> collator(ucol_open("zh", &status), &ucol_close);
    if (U_FAILURE(status))
        return table; // no ICU data: every text compares as equal, in the rows' own order
    ucol_setStrength(collator.get(), UCOL_SECONDARY);

    std::vector<std::u16string> items;
    items.reserve(0x10000 + 2048);
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (!isSurrogate(c))
            items.emplace_back(1, char16_t(c));
    }
    const std::size_t characters = items.size();
    std::unique_ptr<USet, decltype(&uset_close)> contractions(uset_openEmpty(), &uset_close);
    ucol_getContractionsAndExpansions(collator.get(), contractions.get(), nullptr, false, &status);
    for (int32_t i = 0; U_SUCCESS(status) && i < uset_getItemCount(contractions.get()); ++i) {
        UChar buffer[16];
        UChar32 first = 0;
        UChar32 last = 0;
        UErrorCode itemStatus = U_ZERO_ERROR;
        const int32_t length = uset_getItem(contractions.get(), i, &first, &last, buffer, 16, &itemStatus);
        const std::u16string text(reinterpret_cast<const char16_t *>(buffer),
                                  std::size_t(std::max(length, 0)));
        // Strings of the plane only (a range item has length 0).
        if (U_SUCCESS(itemStatus) && length >= 2 &&
            std::none_of(text.begin(), text.end(), [](char16_t u) { return isSurrogate(u); }))
            items.push_back(text);
    }

    std::vector<std::string> keys;
    keys.reserve(items.size());
    for (const std::u16string &item : items)
        keys.push_back(sortKey(collator.get(), item));
    const std::string nothing = sortKey(collator.get(), std::u16string());
    std::vector<std::size_t> order(items.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });

    std::vector<std::uint16_t> placeOfItem(items.size(), 0);
    std::uint32_t place = 0;
    const std::string *previous = nullptr;
    for (std::size_t i : order) {
        if (keys[i] == nothing)
            continue; // ignored by the collation
        if (!previous || keys[i] != *previous)
            place = std::min(place + 1, kBeyondPlane - 1);
        placeOfItem[i] = std::uint16_t(place);
        previous = &keys[i];
    }
    for (std::size_t i = 0; i < characters; ++i)
        table.place[items[i][0]] = placeOfItem[i];
    for (char32_t c = 0xD800; c <= 0xDFFF; ++c)
        table.place[c] = table.place[kReplacementCharacter];
    table.digitPlace = table.place[u'0'];
    for (char32_t c = 1; c < 0x10000; ++c) {
        const QChar ch{char16_t(c)};
        if (!isSurrogate(c) && ch.category() == QChar::Number_DecimalDigit) {
            table.kind[c] = std::int8_t(ch.digitValue());
            table.place[c] = table.digitPlace;
        }
    }
    for (std::size_t i = characters; i < items.size(); ++i) {
        const char16_t first = items[i][0];
        if (table.kind[first] >= 0 || placeOfItem[i] == 0)
            continue; // a number stays a number
        Contraction k{toUtf8(items[i].substr(1)), placeOfItem[i]};
        if (k.rest.empty())
            continue;
        table.kind[first] = kStartsContraction;
        CharacterTable::Starting &starting = table.contractions[first];
        starting.nextBytes.set(static_cast<unsigned char>(k.rest[0]));
        starting.list.push_back(std::move(k));
    }
    for (auto &[first, starting] : table.contractions)
        std::sort(starting.list.begin(), starting.list.end(),
                  [](const Contraction &a, const Contraction &b) { return a.rest.size() > b.rest.size(); });
    return table;
}

const CharacterTable &characterTable()
{
    static const CharacterTable table = buildTable();
    return table;
}

// Any sequence, malformed ones included (each bad byte reads as U+FFFD).
char32_t decodeAny(std::string_view text, std::uint32_t &pos)
{
    const auto byte = [&](std::uint32_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    std::uint32_t length = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        c = lead & 0x07;
    } else {
        ++pos;
        return kReplacementCharacter;
    }
    if (pos + length > text.size()) {
        ++pos;
        return kReplacementCharacter;
    }
    for (std::uint32_t i = 1; i < length; ++i) {
        const unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return kReplacementCharacter;
        }
        c = (c << 6) | (b & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    pos += length;
    if (c < kSmallest[length] || c > 0x10FFFF || isSurrogate(c))
        return kReplacementCharacter;
    return c;
}

} // namespace

// ASCII and the three-byte sequences of Chinese text take the short way.
inline char32_t TextElements::decode(std::uint32_t &pos) const
{
    const auto *p = reinterpret_cast<const unsigned char *>(m_text.data()) + pos;
    if (p[0] < 0x80) {
        ++pos;
        return p[0];
    }
    if ((p[0] & 0xF0) == 0xE0 && pos + 3 <= m_text.size() && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
        const char32_t c = (char32_t(p[0] & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
        if (c >= 0x800 && !isSurrogate(c)) {
            pos += 3;
            return c;
        }
    }
    return decodeAny(m_text, pos);
}

std::uint32_t TextElements::next()
{
    const CharacterTable &table = characterTable();
    Position &at = m_at;
    switch (at.stage) {
    case 1:
        at.stage = 2;
        return at.value + 1;
    case 2:
        if (at.pos < at.runEnd)
            return std::uint32_t(table.kind[decode(at.pos)]) + 1;
        break;
    case 3:
        at.stage = 4;
        return (at.value >> 10) + 1;
    case 4:
        at.stage = 0;
        return (at.value & 0x3FF) + 1;
    }
    at.stage = 0;
    while (at.pos < m_text.size()) {
        std::uint32_t after = at.pos;
        const char32_t c = decode(after);
        if (c >= 0x10000) {
            // Beyond the plane: after every character of it, in code-point order.
            at.pos = after;
            at.value = c - 0x10000;
            at.stage = 3;
            return kBeyondPlane;
        }
        const std::int8_t kind = table.kind[c];
        if (kind >= 0) {
            // A number: its digits without leading zeros, longer numbers later.
            constexpr std::uint32_t kNone = UINT32_MAX;
            std::uint32_t end = at.pos;
            std::uint32_t significant = kNone;
            std::uint32_t count = 0;
            while (end < m_text.size()) {
                std::uint32_t following = end;
                const char32_t d = decode(following);
                if (d >= 0x10000 || table.kind[d] < 0)
                    break;
                if (significant == kNone && table.kind[d] != 0)
                    significant = end;
                if (significant != kNone)
                    ++count;
                end = following;
            }
            at.pos = significant == kNone ? end : significant;
            at.runEnd = end;
            at.value = std::min(count, kBound - 2);
            at.stage = 1;
            return table.digitPlace;
        }
        if (kind == kStartsContraction && after < m_text.size()) {
            const CharacterTable::Starting &starting = table.contractions.at(char16_t(c));
            if (starting.nextBytes.test(static_cast<unsigned char>(m_text[after]))) {
                const std::string_view rest = m_text.substr(after);
                for (const Contraction &k : starting.list) {
                    if (rest.substr(0, k.rest.size()) == k.rest) {
                        at.pos = after + std::uint32_t(k.rest.size());
                        return k.place;
                    }
                }
            }
        }
        at.pos = after;
        if (const std::uint32_t place = table.place[c])
            return place;
    }
    return 0;
}

int compareText(std::string_view a, std::string_view b)
{
    TextElements x(a);
    TextElements y(b);
    for (;;) {
        const std::uint32_t p = x.next();
        const std::uint32_t q = y.next();
        if (p != q)
            return p < q ? -1 : 1;
        if (p == 0)
            return 0;
    }
}

} // namespace store
