// Writes the pinyin and folding tables of the search as a C++ source, from
// the Unihan database of the unicode-data package and the short list of
// corrections kept beside this file:
//
//   make_pinyin_table Unihan_Readings.txt Unihan_Variants.txt corrections.txt out.cpp
//
// Readings: a character's modern readings are those of the two modern
// dictionaries Unihan cites (kXHC1983, the Xiandai Hanyu Cidian; kTGHZ2013,
// the Tongyong Guifan Hanzi Zidian), so 行 reads háng and xíng and 六 liù
// and lù, while the historical sources' rare readings (kHanyuPinyin) stay
// out. A character neither dictionary lists takes its kMandarin reading.
// A traditional character also reads as its simplified form does.
//
// Folding: a character folds to its simplified form only when Unihan names
// exactly one simplified variant and it is another character; 乾, whose
// variants are 乾 itself and 干, keeps its own form, so 乾安县 and 干安县 stay
// two names.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The toneless spelling of a reading: tone marks dropped, ü written v.
// Empty for a reading without a vowel (the interjections m, n, ng, hm),
// which would let a lone consonant stand for a syllable.
std::string toneless(const std::string &utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned char b = utf8[i];
        char32_t c;
        int n;
        if (b < 0x80) {
            c = b;
            n = 1;
        } else if ((b & 0xE0) == 0xC0) {
            c = ((b & 0x1F) << 6) | (utf8[i + 1] & 0x3F);
            n = 2;
        } else {
            c = ((b & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) | (utf8[i + 2] & 0x3F);
            n = 3;
        }
        i += n;
        static const std::map<char32_t, char> marks = {
            {0xE0, 'a'},  {0xE1, 'a'},  {0x101, 'a'}, {0x1CE, 'a'},  {0xE8, 'e'},   {0xE9, 'e'},
            {0x113, 'e'}, {0x11B, 'e'}, {0xEA, 'e'},  {0x1EBF, 'e'}, {0x1EC1, 'e'}, {0xEC, 'i'},
            {0xED, 'i'},  {0x12B, 'i'}, {0x1D0, 'i'}, {0xF2, 'o'},   {0xF3, 'o'},   {0x14D, 'o'},
            {0x1D2, 'o'}, {0xF9, 'u'},  {0xFA, 'u'},  {0x16B, 'u'},  {0x1D4, 'u'},  {0xFC, 'v'},
            {0x1D6, 'v'}, {0x1D8, 'v'}, {0x1DA, 'v'}, {0x1DC, 'v'},  {0x144, 'n'},  {0x148, 'n'},
            {0x1F9, 'n'}, {0x1E3F, 'm'}};
        if (c < 0x80)
            out += char(c);
        else if (auto it = marks.find(c); it != marks.end())
            out += it->second;
        else
            return {}; // a spelling this table does not know
    }
    if (out.find_first_of("aeiouv") == std::string::npos)
        return {};
    return out;
}

char32_t parseCodePoint(const std::string &text)
{
    return char32_t(std::stoul(text.substr(2), nullptr, 16));
}

void fail(const std::string &message)
{
    std::cerr << "make_pinyin_table: " << message << "\n";
    std::exit(1);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5)
        fail("usage: make_pinyin_table Unihan_Readings.txt Unihan_Variants.txt corrections.txt out.cpp");

    std::map<char32_t, std::set<std::string>> modern, mandarin;
    {
        std::ifstream in(argv[1]);
        if (!in)
            fail(std::string("cannot read ") + argv[1]);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("U+", 0) != 0)
                continue;
            std::istringstream fields(line);
            std::string cp, key, value;
            std::getline(fields, cp, '\t');
            std::getline(fields, key, '\t');
            std::getline(fields, value);
            const bool dictionary = key == "kXHC1983" || key == "kTGHZ2013";
            if (!dictionary && key != "kMandarin")
                continue;
            std::istringstream items(value);
            std::string item;
            while (items >> item) {
                // The dictionaries write "page.position:reading" (several
                // positions joined by commas before the colon).
                const auto colon = item.find(':');
                const std::string reading = colon == std::string::npos ? item : item.substr(colon + 1);
                const std::string spelled = toneless(reading);
                if (!spelled.empty())
                    (dictionary ? modern : mandarin)[parseCodePoint(cp)].insert(spelled);
            }
        }
    }

    std::map<char32_t, char32_t> folds;
    {
        std::ifstream in(argv[2]);
        if (!in)
            fail(std::string("cannot read ") + argv[2]);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("U+", 0) != 0)
                continue;
            std::istringstream fields(line);
            std::string cp, key, value;
            std::getline(fields, cp, '\t');
            std::getline(fields, key, '\t');
            std::getline(fields, value);
            if (key != "kSimplifiedVariant")
                continue;
            std::istringstream items(value);
            std::vector<char32_t> variants;
            std::string item;
            while (items >> item)
                variants.push_back(parseCodePoint(item));
            const char32_t from = parseCodePoint(cp);
            if (variants.size() == 1 && variants[0] != from)
                folds[from] = variants[0];
        }
    }

    std::map<char32_t, std::set<std::string>> readings = modern;
    for (const auto &[c, r] : mandarin)
        if (!modern.count(c))
            readings[c] = r;

    // The corrections by hand: "U+XXXX +reading" adds, "U+XXXX -reading" removes.
    {
        std::ifstream in(argv[3]);
        if (!in)
            fail(std::string("cannot read ") + argv[3]);
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#')
                continue;
            std::istringstream fields(line);
            std::string cp, change;
            fields >> cp >> change;
            if (cp.rfind("U+", 0) != 0 || change.size() < 2 || (change[0] != '+' && change[0] != '-'))
                fail("unreadable correction: " + line);
            auto &set = readings[parseCodePoint(cp)];
            if (change[0] == '+')
                set.insert(change.substr(1));
            else if (!set.erase(change.substr(1)))
                fail("correction removes a reading the data does not have: " + line);
        }
    }

    // A traditional character reads as its simplified form too.
    for (const auto &[from, to] : folds)
        if (auto it = readings.find(to); it != readings.end()) {
            std::set<std::string> merged = it->second;
            if (auto own = readings.find(from); own != readings.end())
                merged.insert(own->second.begin(), own->second.end());
            readings[from] = merged;
        }

    std::set<std::string> syllableSet;
    for (const auto &[c, r] : readings)
        syllableSet.insert(r.begin(), r.end());
    const std::vector<std::string> syllables(syllableSet.begin(), syllableSet.end());
    auto syllableId = [&](const std::string &s) {
        return int(std::lower_bound(syllables.begin(), syllables.end(), s) - syllables.begin());
    };

    // Distinct sets of readings, each written once.
    std::map<std::vector<int>, int> setIds;
    std::vector<int> setStarts, setItems;
    std::vector<std::pair<char32_t, int>> charSets;
    for (const auto &[c, r] : readings) {
        if (r.empty())
            continue;
        std::vector<int> ids;
        for (const std::string &s : r)
            ids.push_back(syllableId(s));
        auto [it, added] = setIds.emplace(ids, int(setStarts.size()));
        if (added) {
            setStarts.push_back(int(setItems.size()));
            setItems.insert(setItems.end(), ids.begin(), ids.end());
        }
        charSets.emplace_back(c, it->second);
    }
    setStarts.push_back(int(setItems.size()));

    std::ofstream out(argv[4]);
    if (!out)
        fail(std::string("cannot write ") + argv[4]);
    out << "// Generated by make_pinyin_table from Unihan; do not edit.\n"
           "#include \"store/PinyinData.h\"\n\nnamespace store::pinyin_data {\n\n";
    out << "const char *const kSyllables[] = {";
    for (std::size_t i = 0; i < syllables.size(); ++i)
        out << (i % 12 ? " " : "\n    ") << '"' << syllables[i] << "\",";
    out << "\n};\nconst int kSyllableCount = " << syllables.size() << ";\n\n";
    auto writeInts = [&](const char *type, const char *name, const std::vector<long> &values) {
        out << "const " << type << ' ' << name << "[] = {";
        for (std::size_t i = 0; i < values.size(); ++i)
            out << (i % 16 ? " " : "\n    ") << values[i] << ',';
        out << "\n};\n";
    };
    writeInts("std::uint16_t", "kSetStarts", std::vector<long>(setStarts.begin(), setStarts.end()));
    writeInts("std::uint16_t", "kSetItems", std::vector<long>(setItems.begin(), setItems.end()));
    out << "const int kSetCount = " << setStarts.size() - 1 << ";\n\n";
    std::vector<long> chars, sets, foldFrom, foldTo;
    for (const auto &[c, s] : charSets) {
        chars.push_back(long(c));
        sets.push_back(s);
    }
    for (const auto &[from, to] : folds) {
        foldFrom.push_back(long(from));
        foldTo.push_back(long(to));
    }
    writeInts("char32_t", "kReadingChars", chars);
    writeInts("std::uint16_t", "kReadingSets", sets);
    out << "const int kReadingCharCount = " << chars.size() << ";\n\n";
    writeInts("char32_t", "kFoldFrom", foldFrom);
    writeInts("char32_t", "kFoldTo", foldTo);
    out << "const int kFoldCount = " << foldFrom.size() << ";\n\n} // namespace store::pinyin_data\n";
    std::cerr << "make_pinyin_table: " << chars.size() << " characters, " << syllables.size()
              << " syllables, " << setStarts.size() - 1 << " reading sets, " << foldFrom.size() << " folds\n";
    return 0;
}
