#include "platform/os/SystemLanguage.h"

#include <QByteArray>

namespace platform {

namespace {

constexpr int kUsEnglish = 0x0409;

constexpr int makeLangId(int primary, int sub)
{
    return (sub << 10) | primary;
}

struct Primary
{
    const char *iso; // ISO 639-1 code, or 639-2 where a language has none
    int id;
};

// Windows primary language identifiers of the languages a Linux locale can
// name. Anything missing maps to neutral, which no caller confuses with a
// real language.
constexpr Primary kPrimaries[] = {
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04},  {"cs", 0x05}, {"da", 0x06}, {"de", 0x07},
    {"el", 0x08}, {"en", 0x09}, {"es", 0x0a}, {"fi", 0x0b},  {"fr", 0x0c}, {"he", 0x0d}, {"hu", 0x0e},
    {"is", 0x0f}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12},  {"nl", 0x13}, {"nb", 0x14}, {"nn", 0x14},
    {"no", 0x14}, {"pl", 0x15}, {"pt", 0x16}, {"ro", 0x18},  {"ru", 0x19}, {"hr", 0x1a}, {"sr", 0x1a},
    {"bs", 0x1a}, {"sk", 0x1b}, {"sq", 0x1c}, {"sv", 0x1d},  {"th", 0x1e}, {"tr", 0x1f}, {"ur", 0x20},
    {"id", 0x21}, {"uk", 0x22}, {"be", 0x23}, {"sl", 0x24},  {"et", 0x25}, {"lv", 0x26}, {"lt", 0x27},
    {"fa", 0x29}, {"vi", 0x2a}, {"hy", 0x2b}, {"az", 0x2c},  {"eu", 0x2d}, {"mk", 0x2f}, {"af", 0x36},
    {"ka", 0x37}, {"fo", 0x38}, {"hi", 0x39}, {"mt", 0x3a},  {"ga", 0x3c}, {"ms", 0x3e}, {"kk", 0x3f},
    {"sw", 0x41}, {"uz", 0x43}, {"bn", 0x45}, {"ta", 0x49},  {"te", 0x4a}, {"mn", 0x50}, {"cy", 0x52},
    {"km", 0x53}, {"lo", 0x54}, {"gl", 0x56}, {"fil", 0x64}, {"tl", 0x64},
};

struct Sub
{
    const char *iso;
    const char *territory;
    int sub;
};

// Territories whose sublanguage is not the default one.
constexpr Sub kSubs[] = {
    {"zh", "TW", 1}, {"zh", "CN", 2}, {"zh", "HK", 3}, {"zh", "SG", 4}, {"zh", "MO", 5}, {"pt", "BR", 1},
    {"pt", "PT", 2}, {"en", "US", 1}, {"en", "GB", 2}, {"en", "AU", 3}, {"en", "CA", 4}, {"en", "NZ", 5},
    {"en", "IE", 6}, {"en", "ZA", 7}, {"de", "DE", 1}, {"de", "CH", 2}, {"de", "AT", 3}, {"de", "LU", 4},
    {"de", "LI", 5}, {"fr", "FR", 1}, {"fr", "BE", 2}, {"fr", "CA", 3}, {"fr", "CH", 4}, {"fr", "LU", 5},
    {"fr", "MC", 6}, {"es", "ES", 3}, {"es", "MX", 2}, {"it", "IT", 1}, {"it", "CH", 2}, {"nl", "NL", 1},
    {"nl", "BE", 2}, {"sv", "SE", 1}, {"sv", "FI", 2}, {"ms", "MY", 1}, {"ms", "BN", 2}, {"nn", "NO", 2},
    {"nb", "NO", 1}, {"no", "NO", 1},
};

} // namespace

int langIdFromLocaleName(const QString &locale)
{
    // language[_territory][.codeset][@modifier]
    QString name = locale.section(QLatin1Char('@'), 0, 0).section(QLatin1Char('.'), 0, 0);
    if (name.isEmpty() || name == QLatin1String("C") || name == QLatin1String("POSIX"))
        return kUsEnglish;
    name.replace(QLatin1Char('-'), QLatin1Char('_'));
    const QByteArray language = name.section(QLatin1Char('_'), 0, 0).toLower().toLatin1();
    const QByteArray territory = name.section(QLatin1Char('_'), 1, 1).toUpper().toLatin1();

    int primary = 0;
    for (const Primary &p : kPrimaries) {
        if (language == p.iso) {
            primary = p.id;
            break;
        }
    }
    if (primary == 0)
        return 0;
    int sub = 1;
    for (const Sub &s : kSubs) {
        if (language == s.iso && territory == s.territory) {
            sub = s.sub;
            break;
        }
    }
    return makeLangId(primary, sub);
}

int systemDefaultLangId()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return langIdFromLocaleName(value);
    }
    return kUsEnglish;
}

} // namespace platform
