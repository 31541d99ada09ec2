#pragma once

#include <QString>

// Languages of the upgrade texts.
enum TsuSelfUpdaterLanguage {
    wlAuto = 0,
    wlEnglish,
    wlRussian,
    wlGerman,
    wlFrench,
    wlSpanish,
    wlPortuguese,
    wlPortugueseBrazilian,
    wlItalian,
    wlDutch,
    wlDanish,
    wlSwedish,
    wlFinnish,
    wlEstonian,
    wlUkrainian,
    wlCzech,
    wlHungarian,
    wlRomanian,
    wlCatalan,
    wlBasque,
    wlAfrikaans,
    wlChineseTraditional,
    wlChineseSimplified,
    wlIndonesian,
    wlMalay,
    wlIcelandic
};

// Chooses the language of every upgrade text; wlAuto follows the system
// language. The choice is shared by all updaters.
void suSetLanguage(TsuSelfUpdaterLanguage language);
// The language wlAuto means on a system whose default language has the
// given Windows identifier (primary language in the low 10 bits, sublanguage
// above): Portuguese and Chinese by their sublanguage, the others by the
// primary language alone, English for a language without a table.
TsuSelfUpdaterLanguage suLanguageForLangId(int langId);
// Identifier of message 0 of the current language (41000 + 50 x (L - 1)).
int suMessageBase();
// Message i of the current language: 0..30 for the windows and boxes, 31..47
// for the updater's own notices; "\r" and "\n" are kept as they are in the
// table.
QString suMessage(int i);
// The string with the given identifier (the message tables and 40997..40999);
// empty for an unknown identifier.
QString suString(int id);
// The application title for the texts: the application's display name, or
// string 40997 when it holds the marker word of string 40998.
QString suApplicationTitle();
