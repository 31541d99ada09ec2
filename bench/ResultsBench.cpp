// What a user waits for when working with a result of 1,000,000 companies:
// the first sort of a column by a title click (its order worked out), a
// later sort or reversal of it, and writing the whole list to CSV and XLSX
// as the export does.
//
//   build/bench/bench_results [--companies N] [benchmark options]
//
// The database is written once to $VELMORA_BENCH_DIR (default /tmp) and
// reused; the exported files go there too and are removed afterwards.

#include "BenchDatabase.h"

#include "app/ResultExport.h"
#include "platform/db/Database.h"

#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

using namespace platform::db;

namespace {

// The company query with the full list loaded, as the browsing panel has it.
struct Companies
{
    DbConnection connection;
    DbQuery query;

    Companies()
    {
        connection.setConnectionString(bench::connectionString());
        connection.setConnected(true);
        query.setConnection(&connection);
        query.setSqlText(QString::fromLatin1(bench::kListSql));
        query.open();
    }
};

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The first sort of a column on a freshly loaded list: its order is worked
// out from the column's values. The load is not timed.
void firstSort(benchmark::State &state, const char *field)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto c = std::make_unique<Companies>();
        c->query.setCurrentRow(c->query.recordCount() / 2);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        c->query.setSort(QLatin1String(field));
        state.SetIterationTime(msSince(start) / 1000.0);
        state.PauseTiming();
        c.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = 1000000;
}

// Later clicks on the same title: reversal and back.
void laterSort(benchmark::State &state, const char *field)
{
    Companies c;
    c.query.setSort(QLatin1String(field));
    bool descending = false;
    for (auto _ : state) {
        descending = !descending;
        c.query.setSort(QLatin1String(field) + (descending ? QLatin1String(" DESC") : QLatin1String(" ASC")));
    }
    state.counters["rows"] = c.query.recordCount();
}

void BM_FirstSortChineseName(benchmark::State &s)
{
    firstSort(s, "cCorpCName");
}
void BM_FirstSortZip(benchmark::State &s)
{
    firstSort(s, "cZip");
}
void BM_FirstSortCredibleFlag(benchmark::State &s)
{
    firstSort(s, "iFlag");
}
void BM_LaterSortChineseName(benchmark::State &s)
{
    laterSort(s, "cCorpCName");
}
void BM_LaterSortZip(benchmark::State &s)
{
    laterSort(s, "cZip");
}

// The whole list, every column, as the export writes it.
void exportList(benchmark::State &state, ExportFormat format, const char *suffix)
{
    Companies c;
    ExportTable table;
    for (int f = 0; f < c.query.fieldCount(); ++f)
        table.columns.append({c.query.field(f)->fieldName(), isNumericType(c.query.field(f)->dataType()),
                              std::min(c.query.field(f)->displayWidth(), 60)});
    table.rowCount = c.query.recordCount();
    const DbQuery *query = &c.query;
    table.cell = [query](int row, int field) {
        return query->cellIsNull(row, field) ? QString() : query->cellText(row, field);
    };
    const QString target = QFileInfo(bench::databasePath()).absolutePath() +
                           QStringLiteral("/velmora-bench-export.") + QLatin1String(suffix);
    qint64 bytes = 0;
    for (auto _ : state) {
        ExportProgress progress;
        const ExportResult result = exportTable(table, format, target, progress);
        if (result.outcome != ExportResult::Written)
            state.SkipWithError(result.message.toStdString().c_str());
        bytes = QFileInfo(target).size();
    }
    QFile::remove(target);
    state.counters["rows"] = table.rowCount;
    state.counters["MB"] = double(bytes) / (1024 * 1024);
}

void BM_ExportCsv(benchmark::State &s)
{
    exportList(s, ExportFormat::Csv, "csv");
}
void BM_ExportXlsx(benchmark::State &s)
{
    exportList(s, ExportFormat::Xlsx, "xlsx");
}

BENCHMARK(BM_FirstSortChineseName)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();
BENCHMARK(BM_FirstSortZip)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();
BENCHMARK(BM_FirstSortCredibleFlag)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();
BENCHMARK(BM_LaterSortChineseName)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LaterSortZip)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ExportXlsx)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv);
}
