#include "store/SearchQuery.h"

#include "store/ChineseText.h"

namespace store {

namespace {

constexpr std::size_t kLongestPinyin = 63;

bool isQuote(char32_t c)
{
    return c == U'"' || c == 0x201C || c == 0x201D;
}

bool isBlank(char32_t c)
{
    return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r';
}

std::string pinyinLetters(const std::u32string &folded)
{
    if (folded.size() > kLongestPinyin)
        return {};
    std::string letters;
    bool letter = false;
    for (char32_t c : folded) {
        if (c >= U'a' && c <= U'z')
            letter = true;
        else if (!(c >= U'0' && c <= U'9'))
            return {};
        letters += char(c);
    }
    return letter ? letters : std::string();
}

} // namespace

SearchQuery SearchQuery::parse(std::string_view utf8)
{
    const std::u32string text = foldedText(utf8);
    SearchQuery query;
    std::size_t i = 0;
    while (i < text.size()) {
        if (isBlank(text[i])) {
            ++i;
            continue;
        }
        SearchWord word;
        if (text[i] == U'-') {
            word.excluded = true;
            ++i;
        }
        if (i < text.size() && isQuote(text[i])) {
            word.quoted = true;
            const std::size_t end = [&] {
                for (std::size_t j = i + 1; j < text.size(); ++j)
                    if (isQuote(text[j]))
                        return j;
                return text.size();
            }();
            word.folded = text.substr(i + 1, end - i - 1);
            i = end + 1;
        } else {
            std::size_t end = i;
            while (end < text.size() && !isBlank(text[end]))
                ++end;
            word.folded = text.substr(i, end - i);
            i = end;
        }
        if (word.folded.empty())
            continue;
        if (!word.quoted)
            word.pinyin = pinyinLetters(word.folded);
        query.words.push_back(std::move(word));
    }
    return query;
}

bool SearchQuery::hasPositiveWord() const
{
    for (const SearchWord &w : words)
        if (!w.excluded)
            return true;
    return false;
}

} // namespace store
