#pragma once

#include <QString>

namespace platform {

// The system's default language as a Windows language identifier: the
// primary language in the low 10 bits, the sublanguage in the upper 6 bits
// (zh_CN gives Chinese 4 with sublanguage 2, pt_BR Portuguese 22 with 1).
// Read from the first non-empty of LC_ALL, LC_MESSAGES and LANG; the C and
// POSIX locales and an unset environment count as US English (0x0409).
int systemDefaultLangId();

// The identifier for one locale name ("de_DE.UTF-8", "zh_TW@euro", "C").
// A language without a Windows identifier gives 0 (neutral); a territory
// that has no sublanguage of its own gives sublanguage 1 (the default).
int langIdFromLocaleName(const QString &locale);

// The parts of an identifier.
constexpr int primaryLanguageOf(int langId)
{
    return langId & 0x3ff;
}
constexpr int subLanguageOf(int langId)
{
    return (langId >> 10) & 0x3f;
}

} // namespace platform
