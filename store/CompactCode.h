#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace store {

// A code for the characters of one chunk of a text column, which holds
// Chinese text in about 60 % of its UTF-8 bytes:
//
// - printable ASCII, tab, CR and LF keep their byte;
// - the byte values of the other control characters stand for the chunk's
//   30 most frequent other characters;
// - the next 3584 take two bytes, a lead 0xC0..0xF7 and a trail 0x80..0xBF;
// - the next 32768 three bytes, a lead 0xF8..0xFF and two trails.
//
// The lead byte tells the length, and trails never look like a first
// byte, so coded text is searched for a coded needle as bytes: a match
// starts and ends on character borders. ASCII letters keep their bytes, so
// they still match in either case. A text with a control character, with
// a character beyond the table, or that does not read as written is kept
// as it was read instead.
class CompactCode
{
public:
    static constexpr int kOneByte = 30;
    static constexpr int kTwoBytes = 3584;
    static constexpr int kThreeBytes = 32768;

    CompactCode() = default;
    // The code for characters with these counts: the most frequent get the
    // shortest codes; characters beyond the last code get none.
    static CompactCode forCounts(std::vector<std::pair<char32_t, std::uint32_t>> counts);

    // Appends the coding of a text that reads as written; false (with `out`
    // holding part of it) when a character has no code.
    bool encode(std::string_view utf8, std::string &out) const;
    // Appends the UTF-8 text of a coded text.
    void decode(std::string_view coded, std::string &out) const;
    // Bytes the coding of one character takes: 1 for ASCII, 0 for none.
    int codedLength(char32_t c) const;

    // Two positions of a coded needle (the first before the second, the
    // same when it has one byte) whose byte values are the least frequent
    // in the chunk's coded text, as the characters' counts tell: a search
    // that compares these first stops at fewer places. Bytes of plain ASCII
    // count as the most frequent, having no count of their own.
    std::pair<std::size_t, std::size_t> rarestBytes(std::string_view coded) const;

    std::size_t memoryBytes() const;

    // The characters with a code, by code index (see nextIndex).
    const std::vector<char32_t> &characters() const { return m_chars; }
    // Reads the character at `p` of coded text: returns its code index, or
    // -1 - b for a byte b of plain ASCII, and moves `p` past it.
    static int nextIndex(const unsigned char *&p);
    // Reads the character at `p` as nextIndex() does and moves `p` past
    // it, returning what tables give for it: ofByte[b] for a character of
    // one byte b (plain ASCII or a code index), ofIndex[index] for a code
    // index of several bytes. Nothing but a few comparisons and a load.
    template <typename T> static T nextValue(const unsigned char *&p, const T *ofByte, const T *ofIndex)
    {
        const unsigned char b = *p;
        if (b < 0x80) {
            ++p;
            return ofByte[b];
        }
        if (b < 0xF8) {
            const int index = kOneByte + ((b - 0xC0) << 6) + (p[1] - 0x80);
            p += 2;
            return ofIndex[index];
        }
        const int index = kOneByte + kTwoBytes + ((b - 0xF8) << 12) + ((p[1] - 0x80) << 6) + (p[2] - 0x80);
        p += 3;
        return ofIndex[index];
    }
    // What nextIndex() returns for a character of one byte b.
    static int indexOfByte(unsigned char b);

    // Codes a whole chunk fast: the code of every character below U+10000
    // looked up directly.
    class Encoder
    {
    public:
        explicit Encoder(const CompactCode &code);
        // Writes the coding of a text that reads as written at `out`, which
        // has room for 3/2 of its bytes; returns the end of what was
        // written, or nullptr when a character has no code.
        char *encode(std::string_view utf8, char *out) const;

    private:
        const CompactCode &m_code;
        // Per character: the bytes of its code from the lowest byte up,
        // their count in the top byte; 0 for none.
        std::vector<std::uint32_t> m_packed;
    };

    // The bytes of a code index from the first up, each in a byte of the
    // result, and their count in the top byte.
    static std::uint32_t packedCode(int index);

private:
    // The code's index of a character that is no plain ASCII; -1 for none.
    int indexOf(char32_t c) const;
    static void appendCode(std::string &out, int index);

    std::vector<char32_t> m_chars;                            // code index -> character
    std::vector<std::pair<char32_t, std::uint16_t>> m_byChar; // sorted by character
    // How often each byte value occurs in coded characters that are no
    // plain ASCII; empty for the code of no characters.
    std::vector<std::uint32_t> m_byteCounts;
};

} // namespace store
