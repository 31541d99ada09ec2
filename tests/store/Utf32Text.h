#pragma once

#include "store/Utf8Text.h"

#include <string>
#include <string_view>

// The UTF-8 bytes of a text written as characters.
inline std::string utf8(std::u32string_view text)
{
    std::string out;
    for (char32_t c : text)
        store::appendUtf8(out, c);
    return out;
}
