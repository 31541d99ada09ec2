#include "store/PinyinMatcher.h"

#include "store/AlnumSlot.h"
#include "store/ChineseText.h"

#include <bit>

namespace store {

PinyinMatcher::PinyinMatcher(std::string_view letters) : m_letters(letters)
{
    m_width = int(m_letters.size());
    m_done = std::uint64_t(1) << m_width;
    const int sets = readingSetCount();
    m_table.assign(std::size_t(sets + kAlnumSlots) * std::size_t(m_width), 0);
    for (int s = 0; s < sets; ++s) {
        std::uint64_t *row = &m_table[std::size_t(s) * std::size_t(m_width)];
        for (std::uint16_t id : readingSet(s)) {
            const std::string_view reading = syllable(id);
            for (int j = 0; j < m_width; ++j) {
                for (std::size_t k = 0; k < reading.size() && j + int(k) < m_width &&
                                        m_letters[std::size_t(j) + k] == reading[k];
                     ++k)
                    row[j] |= std::uint64_t(1) << (j + int(k) + 1);
            }
        }
    }
    for (int a = 0; a < kAlnumSlots; ++a) {
        const char c = a < 10 ? char('0' + a) : char('a' + a - 10);
        std::uint64_t *row = &m_table[std::size_t(sets + a) * std::size_t(m_width)];
        for (int j = 0; j < m_width; ++j)
            if (m_letters[std::size_t(j)] == c)
                row[j] = std::uint64_t(1) << (j + 1);
    }
    if (m_width > kAutomatonLetters)
        return;
    m_states = 1 << (m_width - 1);
    const std::size_t rows = std::size_t(sets + kAlnumSlots);
    m_automaton.assign((rows + 1) * std::size_t(m_states), 0); // the last row: back to 0
    for (std::size_t r = 0; r < rows; ++r) {
        const std::uint64_t *row = &m_table[r * std::size_t(m_width)];
        for (int s = 0; s < m_states; ++s) {
            std::uint64_t to = 0;
            for (std::uint64_t from = 1 | std::uint64_t(s) << 1; from; from &= from - 1)
                to |= row[std::countr_zero(from)];
            m_automaton[r * std::size_t(m_states) + std::size_t(s)] =
                to & m_done ? kSpelled : std::uint8_t(to >> 1);
        }
    }
}

std::uint32_t PinyinMatcher::automatonRow(char32_t folded) const
{
    const int sets = readingSetCount();
    int row = sets + kAlnumSlots; // spells nothing
    if (folded < 0x80) {
        const int slot = alnumSlot(folded);
        if (slot >= 0)
            row = sets + slot;
    } else if (const int set = readingSetOf(folded); set >= 0) {
        row = set;
    }
    return std::uint32_t(row) * std::uint32_t(m_states);
}

const std::uint64_t *PinyinMatcher::transitions(char32_t folded) const
{
    if (folded < 0x80) {
        const int slot = alnumSlot(folded);
        return slot < 0 ? nullptr : &m_table[std::size_t(readingSetCount() + slot) * std::size_t(m_width)];
    }
    const int set = readingSetOf(folded);
    return set < 0 ? nullptr : &m_table[std::size_t(set) * std::size_t(m_width)];
}

std::uint64_t PinyinMatcher::step(char32_t folded, std::uint64_t state) const
{
    const std::uint64_t *row = transitions(folded);
    if (!row)
        return 0;
    std::uint64_t next = 0;
    state &= m_done - 1;
    while (state) {
        next |= row[std::countr_zero(state)];
        state &= state - 1;
    }
    return next;
}

bool PinyinMatcher::matches(std::u32string_view folded) const
{
    std::uint64_t state = 0;
    for (char32_t c : folded) {
        state = step(c, state | 1);
        if (state & m_done)
            return true;
    }
    return false;
}

void PinyinMatcher::spans(std::u32string_view folded, std::vector<std::pair<int, int>> &out) const
{
    for (std::size_t first = 0; first < folded.size(); ++first) {
        std::uint64_t state = 1;
        for (std::size_t k = first; k < folded.size() && state; ++k) {
            state = step(folded[k], state);
            if (state & m_done) {
                out.emplace_back(int(first), int(k + 1));
                break;
            }
        }
    }
}

} // namespace store
