#pragma once

#include "store/CharacterIndex.h"
#include "store/CompactCode.h"
#include "store/FixedArray.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace store {

// How the text cells of a column are held in one chunk.
enum class TextEncoding : std::uint8_t {
    Plain,      // the bytes as read, end to end
    Dictionary, // each distinct text once, and a one- or two-byte number per row
    Compact,    // end to end in the chunk's CompactCode
};

// The text cells of one column in one chunk of rows.
struct TextChunk
{
    TextEncoding encoding = TextEncoding::Plain;
    // Plain and Compact: the cells, row r at [begin(r), ends[r]).
    // Dictionary: the distinct texts, value v at [begin(v), ends[v]).
    FixedArray<char> bytes;
    FixedArray<std::uint32_t> ends;
    // Dictionary: the value of each row, in one byte up to 256 values, else in two.
    FixedArray<std::uint8_t> codes8;
    FixedArray<std::uint16_t> codes16;
    // Compact: the code, and the rows whose cell is kept as read (ascending).
    CompactCode code;
    std::vector<std::uint16_t> rawRows;
    // Plain and Compact: the first four stored bytes of each row, zeros
    // past the end of a shorter cell, for a whole number of 64-row words.
    // A prefix is looked for here first, 16 rows to a cache line, instead
    // of in a cache line of each cell.
    FixedArray<std::uint32_t> heads;
    // Rows (Plain, Compact) or values (Dictionary) whose text does not read
    // as written (see readsAsWritten), ascending.
    std::vector<std::uint16_t> irregular;
    // Compact, in a column also read in pinyin: what each row's readings
    // can begin a word with (see readingMarks).
    FixedArray<std::uint64_t> readingMarks;
    // Plain ASCII holding letters: the pairs of letters and digits each row
    // holds, and each pair's mark (see AsciiPairMarks).
    FixedArray<std::uint64_t> pairMarks;
    FixedArray<std::uint8_t> pairMarkOf;
    // Compact: the rows holding each character (see CharacterIndex).
    CharacterIndex characters;
    // Plain and Compact: bit b (of 128) tells that byte value b below 0x80
    // may be among the stored bytes; a value it lacks is in no cell, so a
    // word needing that ASCII character passes the column over unread.
    std::uint64_t asciiBytes[2] = {~std::uint64_t(0), ~std::uint64_t(0)};
    bool hasNul = false;       // a cell holds a NUL byte
    bool ascii = false;        // Plain: no byte of the cells lies beyond ASCII
    std::size_t textBytes = 0; // the bytes of the cells as read

    std::uint32_t begin(std::size_t i) const { return i == 0 ? 0 : ends[i - 1]; }
    // Cell i (Plain, Compact) or value i (Dictionary) as stored.
    std::string_view stored(std::size_t i) const
    {
        const std::uint32_t b = begin(i);
        return std::string_view(bytes.data() + b, ends[i] - b);
    }
    int valueOf(int row) const
    {
        return codes8.empty() ? codes16[std::size_t(row)] : codes8[std::size_t(row)];
    }
    std::size_t valueCount() const { return ends.size(); }
    bool mayHoldAscii(char32_t c) const { return c < 0x80 && ((asciiBytes[c / 64] >> (c % 64)) & 1); }
    bool isRaw(int row) const
    {
        return !rawRows.empty() && std::binary_search(rawRows.begin(), rawRows.end(), std::uint16_t(row));
    }
    // The UTF-8 text of a row: where it lies, or decoded into `scratch`.
    std::string_view text(int row, std::string &scratch) const
    {
        switch (encoding) {
        case TextEncoding::Plain:
            return stored(std::size_t(row));
        case TextEncoding::Dictionary:
            return stored(std::size_t(valueOf(row)));
        case TextEncoding::Compact:
            break;
        }
        if (isRaw(row))
            return stored(std::size_t(row));
        scratch.clear();
        code.decode(stored(std::size_t(row)), scratch);
        return scratch;
    }
    std::size_t memoryBytes() const;
};

// The number cells of one column in one chunk: whole numbers exactly, and
// floating-point numbers by their bits.
struct NumberChunk
{
    // Per row, or per value when `codes` holds each row's value.
    FixedArray<std::int64_t> values;
    FixedArray<std::uint64_t> realBits; // bit i: values[i] holds a double's bits
    FixedArray<std::uint8_t> codes;
    std::size_t textBytes = 0; // the bytes of the numbers written as text

    int slot(int row) const { return codes.empty() ? row : codes[std::size_t(row)]; }
    bool isRealSlot(int i) const { return (realBits[std::size_t(i) / 64] >> (i % 64)) & 1; }
    double slotNumber(int i) const
    {
        return isRealSlot(i) ? std::bit_cast<double>(values[std::size_t(i)]) : double(values[std::size_t(i)]);
    }
    double number(int row) const { return slotNumber(slot(row)); }
    bool isReal(int row) const { return isRealSlot(slot(row)); }
    std::int64_t integer(int row) const { return values[std::size_t(slot(row))]; }
    std::size_t valueCount() const { return values.size(); }
    std::size_t memoryBytes() const
    {
        return values.memoryBytes() + realBits.memoryBytes() + codes.memoryBytes();
    }
};

// A run of consecutive rows of a column store, as it was read: it never
// changes after it is finished, so readers need no lock.
struct StoreChunk
{
    struct Column
    {
        TextChunk text;      // text columns
        NumberChunk numbers; // numeric columns
        FixedArray<std::uint64_t> nullBits;
        bool isNull(int row) const { return (nullBits[std::size_t(row) / 64] >> (row % 64)) & 1; }
    };

    int rows = 0;
    std::vector<Column> columns;
    // The engine's row id of each row; none when `rowIds` and `firstRowId` are unused.
    bool hasRowIds = false;
    std::int64_t firstRowId = 0;     // when the ids run on by one from here
    FixedArray<std::int64_t> rowIds; // otherwise

    std::int64_t rowId(int row) const { return rowIds.empty() ? firstRowId + row : rowIds[std::size_t(row)]; }
    std::size_t memoryBytes() const;
};

} // namespace store
