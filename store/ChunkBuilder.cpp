#include "store/ChunkBuilder.h"

#include "store/ReadingMarks.h"
#include "store/Utf8Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

namespace store {

namespace {

// What the pairs of letters and digits of ASCII text cost a row.
constexpr std::size_t kPairMarkBytes = sizeof(std::uint64_t);

// Whether a text chunk's cells hold an ASCII letter.
bool holdsLetters(const TextChunk &t)
{
    for (char32_t c = U'A'; c <= U'Z'; ++c)
        if (t.mayHoldAscii(c) || t.mayHoldAscii(c + (U'a' - U'A')))
            return true;
    return false;
}

using CharacterCounts = std::unordered_map<char32_t, std::uint32_t>;

// Counts each character of a text that is no plain ASCII, in `bmp` below
// U+10000 and in `beyond` above, while it checks that the text reads as
// written (as readsAsWritten, in the same pass); a text that does not
// leaves the counts as they were and gives false.
bool countCharacters(std::string_view text, std::vector<std::uint32_t> &bmp, CharacterCounts &beyond)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    const std::size_t size = text.size();
    std::size_t at = 0;
    while (at < size) {
        const unsigned char b = bytes[at];
        if (b < 0x80) {
            ++bmp[b]; // only to tell which ASCII bytes the column holds
            ++at;
            continue;
        }
        if (isPlainThreeByteLead(b) && size - at >= 3 && isContinuationByte(bytes[at + 1]) &&
            isContinuationByte(bytes[at + 2])) { // most Chinese characters
            ++bmp[(b & 0x0Fu) << 12 | (bytes[at + 1] & 0x3Fu) << 6 | (bytes[at + 2] & 0x3Fu)];
            at += 3;
            continue;
        }
        if (wellFormedLength(bytes + at, bytes + size) == 0) {
            // Take back what the well-formed part before was counted for.
            for (std::size_t back = 0; back < at;) {
                if (bytes[back] < 0x80) {
                    ++back;
                    continue;
                }
                const char32_t ch = nextCharacter(text, back);
                if (ch < 0x10000)
                    --bmp[ch];
                else if (--beyond[ch] == 0)
                    beyond.erase(ch);
            }
            return false;
        }
        const char32_t ch = nextCharacter(text, at);
        if (ch < 0x10000)
            ++bmp[ch];
        else
            ++beyond[ch];
    }
    return true;
}

template <typename T> FixedArray<T> fixed(const std::vector<T> &v)
{
    return FixedArray<T>(v.data(), v.size());
}

FixedArray<std::uint64_t> bitsFor(const std::vector<std::uint64_t> &bits, int rows)
{
    FixedArray<std::uint64_t> out((std::size_t(rows) + 63) / 64);
    for (std::size_t w = 0; w < out.size(); ++w)
        out[w] = w < bits.size() ? bits[w] : 0;
    return out;
}

// Marks each byte value below 0x80 that the text holds.
void markAsciiBytes(std::string_view text, std::uint64_t (&present)[2])
{
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            present[b / 64] |= std::uint64_t(1) << (b % 64);
    }
}

// Bytes of a text at or above 0x80.
std::size_t highBytes(std::string_view s)
{
    std::size_t n = 0;
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        // The top bits moved to the bottom of their bytes, summed by the
        // multiplication in the top byte (no popcount instruction in the
        // baseline instruction set).
        n += std::size_t(((w & 0x8080808080808080ull) >> 7) * 0x0101010101010101ull >> 56);
    }
    for (; i < s.size(); ++i)
        n += static_cast<unsigned char>(s[i]) >> 7;
    return n;
}

// The first four bytes of each cell, for prefixes to be looked for there;
// none for short cells, which lie several to a cache line anyway.
FixedArray<std::uint32_t> headsOf(const FixedArray<char> &bytes, const FixedArray<std::uint32_t> &ends)
{
    constexpr std::size_t kShortCellBytes = 16;
    const std::size_t rows = ends.size();
    if (bytes.size() < rows * kShortCellBytes)
        return {};
    FixedArray<std::uint32_t> heads((rows + 63) / 64 * 64);
    std::uint32_t begin = 0;
    for (std::size_t r = 0; r < rows; ++r) {
        std::uint32_t head = 0;
        std::memcpy(&head, bytes.data() + begin, std::min<std::uint32_t>(4, ends[r] - begin));
        heads[r] = head;
        begin = ends[r];
    }
    for (std::size_t r = rows; r < heads.size(); ++r)
        heads[r] = 0;
    return heads;
}

std::string_view cell(const std::string &bytes, const std::vector<std::uint32_t> &ends, std::size_t r)
{
    const std::uint32_t b = r == 0 ? 0 : ends[r - 1];
    return std::string_view(bytes.data() + b, ends[r] - b);
}

} // namespace

std::string_view writeNumber(double value, char (&buf)[64])
{
    std::to_chars_result r;
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value));
    else
        r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return std::string_view(buf, std::size_t(r.ptr - buf));
}

ChunkBuilder::ChunkBuilder(std::vector<bool> numeric, std::vector<bool> readings)
{
    m_columns.resize(numeric.size());
    for (std::size_t c = 0; c < numeric.size(); ++c) {
        m_columns[c].numeric = numeric[c];
        m_columns[c].readings = c < readings.size() && readings[c];
    }
}

void ChunkBuilder::setBit(std::vector<std::uint64_t> &bits, int row)
{
    const std::size_t word = std::size_t(row) / 64;
    if (bits.size() <= word)
        bits.resize(word + 1, 0);
    bits[word] |= std::uint64_t(1) << (row % 64);
}

void ChunkBuilder::appendNull(int col)
{
    Column &c = m_columns[std::size_t(col)];
    setBit(c.nullBits, m_rows);
    if (c.numeric)
        c.values.push_back(0);
    else
        c.ends.push_back(std::uint32_t(c.bytes.size()));
}

void ChunkBuilder::appendText(int col, std::string_view utf8)
{
    Column &c = m_columns[std::size_t(col)];
    if (c.bytes.size() + utf8.size() > 0xFFFFFFFFu)
        throw std::length_error("the text of a column chunk exceeds 4 GiB");
    c.bytes.append(utf8);
    c.ends.push_back(std::uint32_t(c.bytes.size()));
}

void ChunkBuilder::appendInteger(int col, std::int64_t value)
{
    m_columns[std::size_t(col)].values.push_back(value);
}

void ChunkBuilder::appendReal(int col, double value)
{
    Column &c = m_columns[std::size_t(col)];
    setBit(c.realBits, m_rows);
    c.values.push_back(std::bit_cast<std::int64_t>(value));
}

void ChunkBuilder::appendRowId(std::int64_t id)
{
    m_rowIds.push_back(id);
}

TextChunk ChunkBuilder::finishText(const Column &c) const
{
    TextChunk t;
    const std::size_t rows = c.ends.size();
    t.textBytes = c.bytes.size();
    t.hasNul = !c.bytes.empty() && std::memchr(c.bytes.data(), 0, c.bytes.size()) != nullptr;
    const std::size_t plainCost = c.bytes.size() + 4 * rows;

    // A dictionary, unless the texts are too many to repeat much.
    const std::size_t maxValues = std::min<std::size_t>(65535, std::max<std::size_t>(64, rows / 4));
    std::unordered_map<std::string_view, std::uint16_t> values;
    values.reserve(std::min<std::size_t>(maxValues, 4096));
    std::vector<std::uint16_t> codes(rows);
    std::vector<std::string_view> distinct;
    bool dictionary = true;
    for (std::size_t r = 0; r < rows && dictionary; ++r) {
        const auto [it, added] = values.try_emplace(cell(c.bytes, c.ends, r), std::uint16_t(distinct.size()));
        if (added) {
            distinct.push_back(it->first);
            dictionary = distinct.size() <= maxValues;
        }
        codes[r] = it->second;
        // Texts that mostly differ (names, profiles) are told early,
        // before thousands of them are hashed.
        if (r == 1023 && distinct.size() > 768)
            dictionary = false;
    }
    if (dictionary) {
        std::size_t valueBytes = 0;
        for (std::string_view v : distinct)
            valueBytes += v.size();
        const std::size_t width = distinct.size() <= 256 ? 1 : 2;
        if (valueBytes + 4 * distinct.size() + width * rows < plainCost) {
            t.encoding = TextEncoding::Dictionary;
            std::string bytes;
            std::vector<std::uint32_t> ends;
            bytes.reserve(valueBytes);
            for (std::size_t v = 0; v < distinct.size(); ++v) {
                bytes.append(distinct[v]);
                ends.push_back(std::uint32_t(bytes.size()));
                if (!readsAsWritten(distinct[v]))
                    t.irregular.push_back(std::uint16_t(v));
            }
            t.bytes = FixedArray<char>(bytes.data(), bytes.size());
            t.ends = fixed(ends);
            if (width == 1) {
                t.codes8 = FixedArray<std::uint8_t>(rows);
                for (std::size_t r = 0; r < rows; ++r)
                    t.codes8[r] = std::uint8_t(codes[r]);
            } else {
                t.codes16 = fixed(codes);
            }
            return t;
        }
    }

    // The compact code pays for text that is mostly Chinese. Its characters
    // are counted as each cell is checked, while the cell is at hand.
    const std::size_t high = highBytes(c.bytes);
    const bool chinese = high * 2 >= c.bytes.size() && !c.bytes.empty();
    std::vector<std::uint32_t> bmp(chinese ? 0x10000 : 0, 0);
    std::unordered_map<char32_t, std::uint32_t> beyond;
    std::vector<bool> regular(rows);
    for (std::size_t r = 0; r < rows; ++r) {
        const std::string_view text = cell(c.bytes, c.ends, r);
        regular[r] = chinese ? countCharacters(text, bmp, beyond) : readsAsWritten(text);
        if (!regular[r])
            t.irregular.push_back(std::uint16_t(r));
    }

    if (chinese) {
        std::vector<std::pair<char32_t, std::uint32_t>> counts(beyond.begin(), beyond.end());
        for (char32_t ch = 0x80; ch < 0x10000; ++ch) {
            if (bmp[ch])
                counts.emplace_back(ch, bmp[ch]);
        }
        CompactCode code = CompactCode::forCounts(std::move(counts));
        const CompactCode::Encoder encoder(code);
        // No text codes to more than 3/2 of its bytes, nor is kept longer.
        // Not filled first: the pages the code does not reach are never
        // touched, and those of a long column are the system's again when
        // the block is freed.
        const auto coded = std::make_unique_for_overwrite<char[]>(c.bytes.size() + c.bytes.size() / 2);
        char *out = coded.get();
        std::vector<std::uint32_t> ends;
        ends.reserve(rows);
        std::vector<std::uint16_t> raw;
        for (std::size_t r = 0; r < rows; ++r) {
            const std::string_view text = cell(c.bytes, c.ends, r);
            char *end = regular[r] ? encoder.encode(text, out) : nullptr;
            if (end == nullptr) {
                std::memcpy(out, text.data(), text.size());
                end = out + text.size();
                raw.push_back(std::uint16_t(r));
            }
            out = end;
            ends.push_back(std::uint32_t(out - coded.get()));
        }
        const std::size_t codedBytes = std::size_t(out - coded.get());
        if (codedBytes * 10 < c.bytes.size() * 9) {
            t.encoding = TextEncoding::Compact;
            t.code = std::move(code);
            t.bytes = FixedArray<char>(coded.get(), codedBytes);
            t.ends = fixed(ends);
            t.heads = headsOf(t.bytes, t.ends);
            t.rawRows = std::move(raw);
            // The ASCII bytes were counted with the characters, but for the
            // rest of a cell that stopped reading as written.
            t.asciiBytes[0] = t.asciiBytes[1] = 0;
            for (unsigned b = 0; b < 0x80; ++b)
                if (bmp[b])
                    t.asciiBytes[b / 64] |= std::uint64_t(1) << (b % 64);
            for (std::uint16_t r : t.rawRows)
                markAsciiBytes(cell(c.bytes, c.ends, r), t.asciiBytes);
            return t;
        }
    }
    t.encoding = TextEncoding::Plain;
    t.ascii = high == 0;
    t.asciiBytes[0] = t.asciiBytes[1] = 0;
    markAsciiBytes(std::string_view(c.bytes.data(), c.bytes.size()), t.asciiBytes);
    t.bytes = FixedArray<char>(c.bytes.data(), c.bytes.size());
    t.ends = fixed(c.ends);
    t.heads = headsOf(t.bytes, t.ends);
    return t;
}

NumberChunk ChunkBuilder::finishNumbers(const Column &c) const
{
    NumberChunk n;
    const std::size_t rows = c.values.size();
    const auto isReal = [&](std::size_t r) {
        return r / 64 < c.realBits.size() && (c.realBits[r / 64] >> (r % 64)) & 1;
    };
    const auto isNull = [&](std::size_t r) {
        return r / 64 < c.nullBits.size() && (c.nullBits[r / 64] >> (r % 64)) & 1;
    };
    char buf[64];
    for (std::size_t r = 0; r < rows; ++r) {
        if (isNull(r))
            continue;
        if (isReal(r)) {
            n.textBytes += writeNumber(std::bit_cast<double>(c.values[r]), buf).size();
        } else {
            const auto w = std::to_chars(buf, buf + sizeof buf, c.values[r]);
            n.textBytes += std::size_t(w.ptr - buf);
        }
    }
    // A real and a whole number of the same bits are different values.
    std::unordered_map<std::int64_t, std::uint8_t> wholes, reals;
    std::vector<std::pair<std::int64_t, bool>> distinct;
    FixedArray<std::uint8_t> codes(rows);
    bool dictionary = rows >= 64;
    for (std::size_t r = 0; r < rows && dictionary; ++r) {
        auto &map = isReal(r) ? reals : wholes;
        const auto [it, added] = map.try_emplace(c.values[r], std::uint8_t(distinct.size()));
        if (added) {
            distinct.emplace_back(c.values[r], isReal(r));
            dictionary = distinct.size() <= 256;
        }
        codes[r] = it->second;
    }
    const std::size_t entries = dictionary ? distinct.size() : rows;
    n.realBits = FixedArray<std::uint64_t>((entries + 63) / 64);
    for (std::size_t w = 0; w < n.realBits.size(); ++w)
        n.realBits[w] = 0;
    if (dictionary) {
        n.values = FixedArray<std::int64_t>(distinct.size());
        for (std::size_t i = 0; i < distinct.size(); ++i) {
            n.values[i] = distinct[i].first;
            if (distinct[i].second)
                n.realBits[i / 64] |= std::uint64_t(1) << (i % 64);
        }
        n.codes = std::move(codes);
    } else {
        n.values = fixed(c.values);
        for (std::size_t w = 0; w < n.realBits.size() && w < c.realBits.size(); ++w)
            n.realBits[w] = c.realBits[w];
    }
    return n;
}

std::unique_ptr<StoreChunk> ChunkBuilder::finish()
{
    auto chunk = std::make_unique<StoreChunk>();
    chunk->rows = m_rows;
    chunk->columns.resize(m_columns.size());
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        Column &c = m_columns[i];
        StoreChunk::Column &out = chunk->columns[i];
        out.nullBits = bitsFor(c.nullBits, m_rows);
        if (c.numeric)
            out.numbers = finishNumbers(c);
        else
            out.text = finishText(c);
        if (out.text.encoding == TextEncoding::Compact) {
            if (c.readings)
                out.text.readingMarks = readingMarks(out.text, m_rows);
            out.text.characters = CharacterIndex::build(out.text, m_rows);
        } else if (out.text.encoding == TextEncoding::Plain && out.text.ascii && !out.text.hasNul &&
                   holdsLetters(out.text)) {
            // English names and addresses, web and mail addresses: a letter
            // is answered from its rows, a longer word read only where all
            // its letters and digits are, and its rarest pairs of them (see
            // CharacterIndex::knowsPair). Numbers (telephones, postal codes)
            // hold every digit in about every row: not worth the memory.
            out.text.characters = CharacterIndex::build(out.text, m_rows);
            // The pairs cost 8 bytes a row: kept where that is at most a
            // third of the text (names and addresses, not the short web and
            // mail addresses, which are read about as fast as the marks).
            if (out.text.textBytes >= std::size_t(m_rows) * kPairMarkBytes * 3) {
                AsciiPairMarks marks = asciiPairMarks(out.text, m_rows);
                out.text.pairMarks = std::move(marks.rows);
                out.text.pairMarkOf = std::move(marks.markOf);
            }
        }
        c.bytes.clear();
        c.ends.clear();
        c.values.clear();
        c.realBits.clear();
        c.nullBits.clear();
    }
    if (!m_rowIds.empty()) {
        chunk->hasRowIds = true;
        chunk->firstRowId = m_rowIds.front();
        bool consecutive = true;
        for (std::size_t r = 1; r < m_rowIds.size() && consecutive; ++r)
            consecutive = m_rowIds[r] == m_rowIds[0] + std::int64_t(r);
        if (!consecutive)
            chunk->rowIds = fixed(m_rowIds);
        m_rowIds.clear();
    }
    m_rows = 0;
    return chunk;
}

} // namespace store
