#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace store {

// Finds where a word of letters spells consecutive characters in pinyin:
// each character gives a non-empty beginning of one of its readings, so
// whole syllables, initials and any mix of them run together ("zgyh",
// "zhongguoyinhang", "zhongguoyh" for 中国银行), and a word still being
// typed matches as it grows ("changs"). An ASCII letter or digit in the
// text stands for itself ("qqyinyue" for QQ音乐).
//
// The matcher keeps, for every set of readings and every letter of the
// word, the letters of the word a character can take it to; one pass over
// a text follows every way of reading it at once.
class PinyinMatcher
{
public:
    // `letters`: lower-case ASCII letters and digits, 1 to 63 of them.
    explicit PinyinMatcher(std::string_view letters);

    // Whether the word spells some run of the folded text's characters.
    bool matches(std::u32string_view folded) const;
    // The runs it spells, as [first, last) character positions: for each
    // first character where a run starts, the shortest run from there.
    void spans(std::u32string_view folded, std::vector<std::pair<int, int>> &out) const;

    // The positions of the word a character can reach from the positions
    // in `state` (bit j: the first j letters are spelled).
    std::uint64_t step(char32_t folded, std::uint64_t state) const;
    std::uint64_t done() const { return m_done; }

    // The positions one folded character takes each position of the word
    // to (entry j: from position j); nullptr for a character that spells
    // nothing of it.
    const std::uint64_t *transitions(char32_t folded) const;
    // Whether the word spells a run of characters given by their
    // transitions (nullptr for one that spells nothing).
    template <typename Next> bool matchesRun(Next next) const
    {
        std::uint64_t state = 0;
        while (const std::uint64_t *const *row = next()) {
            if (!*row) {
                state = 0;
                continue;
            }
            std::uint64_t from = state | 1;
            std::uint64_t to = 0;
            while (from) {
                to |= (*row)[std::countr_zero(from)];
                from &= from - 1;
            }
            if (to & m_done)
                return true;
            state = to & (m_done - 1);
        }
        return false;
    }

    // A word of at most kAutomatonLetters letters is also read by an
    // automaton, one step a character: a state (below automatonStates())
    // stands for the positions of the word reached, and row r of
    // automaton() gives, at entry s, the state a character of that row
    // takes state s to, or kSpelled once the whole word is spelled. A run
    // of text is read from state 0, and a character that spells nothing of
    // the word takes every state back to 0.
    static constexpr int kAutomatonLetters = 6;
    static constexpr std::uint8_t kSpelled = 0xFF;
    bool hasAutomaton() const { return !m_automaton.empty(); }
    int automatonStates() const { return m_states; }
    const std::uint8_t *automaton() const { return m_automaton.data(); }
    // Where a folded character's row starts in automaton().
    std::uint32_t automatonRow(char32_t folded) const;

    std::size_t memoryBytes() const
    {
        return m_table.capacity() * sizeof(std::uint64_t) + m_automaton.capacity();
    }

private:
    std::string m_letters;
    std::uint64_t m_done = 0;
    // Per reading set, then per ASCII letter or digit ('0'..'9', 'a'..'z'):
    // for each position j of the word, the positions one character reaches.
    std::vector<std::uint64_t> m_table;
    int m_width = 0; // positions per entry: the word's length
    // Per row of m_table, then one for characters that spell nothing:
    // m_states entries (state s: positions 1 + the bits of s reached).
    std::vector<std::uint8_t> m_automaton;
    int m_states = 0;
};

} // namespace store
