#pragma once

#include "platform/db/CipherSettings.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <stdexcept>

namespace tools {

// The password the program opens its database with.
inline constexpr const char *kDatabasePassword = platform::db::kDirectoryPassPhrase;

struct DemoOptions
{
    QString out;                                   // file to write; an existing one is replaced
    int companies = 5000;                          // rows of the company table
    std::uint64_t seed = 1;                        // the same seed gives the same rows
    QString password = kDatabasePassword;          // database key
    int pageSize = platform::db::kBuilderPageSize; // cipher page size in bytes
    bool help = false;                             // --help: print the usage, write nothing
    // Called now and then with the companies written so far and in all.
    std::function<void(int done, int total)> progress;
};

struct DemoSummary
{
    int companies = 0;
    int cardRanges = 0;
    int cardPrefixes = 0; // seven-digit prefixes the ranges cover
    int areaCodes = 0;
};

class DemoError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Writes the demo directory database: the company table, the mobile-number
// ranges and the area codes (from the phone-number library's geocoder),
// encrypted with the options' password.
// Throws DemoError on any failure; a half-written file is removed.
DemoSummary writeDemoDatabase(const DemoOptions &options);

// Reads the command-line options (without the program name).
// Throws DemoError on an unknown option, a missing or malformed value, or no
// --out; with --help (or -h) nothing else is needed.
DemoOptions parseDemoArguments(const QStringList &args);

// The command line's usage, one line per option.
const char *demoUsage();

} // namespace tools
