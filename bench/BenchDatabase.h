#pragma once

// What the benchmarks share: the company database they run on and their main().

#include <QString>

#include <cstddef>

namespace bench {

// The full-list statement of the company table, as the browsing panel loads it.
extern const char kListSql[];

// The database file the benchmarks run on; set by runBenchmarks() before any runs.
QString databasePath();
// Its cipher page size: the builder's unless `--page-size BYTES` says
// otherwise (1024 is the engine's default, a file a vendor may well ship).
int pageSize();
// The connection string that opens that file through the data layer.
QString connectionString();
// How long writing that file took, when it was written (0 if unknown).
double databaseBuildSeconds();

// The process's peak resident memory since the last reset, in bytes.
std::size_t peakResidentBytes();
void resetPeakResident();

// Milliseconds the engine itself takes to run a statement on the database
// file and step through its rows, reading every column.
double engineMilliseconds(const char *sql);

// The whole main() of a benchmark program: an application on the offscreen
// platform (unless QT_QPA_PLATFORM says otherwise), the demo database of
// `--companies N` companies (default 1,000,000) with cipher pages of
// `--page-size BYTES` (default the builder's), written once to
// $VELMORA_BENCH_DIR (default /tmp) and reused, then the benchmarks named by
// the remaining options.
int runBenchmarks(int argc, char **argv);

} // namespace bench
