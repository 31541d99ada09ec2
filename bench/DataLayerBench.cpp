// The data layer on a 1,000,000-company database: loading the list
// snapshot against merely stepping the statement, the snapshot's memory
// against its text, switching row filters, and the grid's first screen.
//
//   build/bench/bench_data_layer [--companies N] [benchmark options]
//
// The database is written once to $VELMORA_BENCH_DIR (default /tmp) and reused.

#include "BenchDatabase.h"

#include "platform/db/CipherSettings.h"
#include "platform/db/Database.h"
#include "platform/db/DbGrid.h"
#include "tools/DemoDatabase.h"

#include <sqlcipher/sqlite3.h>

#include <QPixmap>

#include <benchmark/benchmark.h>

using bench::kListSql;

namespace {

struct Open
{
    platform::db::DbConnection connection;
    platform::db::DbQuery query;
    Open()
    {
        connection.setConnectionString(bench::connectionString());
        connection.setConnected(true);
        query.setConnection(&connection);
        query.setSqlText(QString::fromUtf8(kListSql));
    }
};

// The engine alone: step through the statement, reading nothing.
void BM_StepStatement(benchmark::State &state)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(bench::databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const std::string key = std::string("PRAGMA key = '") + tools::kDatabasePassword + "'";
    sqlite3_exec(db, key.c_str(), nullptr, nullptr, nullptr);
    const std::string pages = "PRAGMA cipher_page_size = " + std::to_string(bench::pageSize());
    sqlite3_exec(db, pages.c_str(), nullptr, nullptr, nullptr);
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, kListSql, -1, &stmt, nullptr);
        rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            ++rows;
        sqlite3_finalize(stmt);
    }
    state.counters["rows"] = rows;
    sqlite3_close(db);
}

// The data layer: run the list statement into a snapshot.
void BM_LoadSnapshot(benchmark::State &state)
{
    Open open;
    for (auto _ : state) {
        open.query.open();
        state.PauseTiming();
        const platform::db::ColumnStore *store = open.query.snapshot();
        state.counters["rows"] = store->rowCount();
        state.counters["memory_MiB"] = double(store->memoryBytes()) / (1 << 20);
        state.counters["text_MiB"] = double(store->textBytes()) / (1 << 20);
        state.counters["memory_per_text"] = double(store->memoryBytes()) / double(store->textBytes());
        open.query.close();
        state.ResumeTiming();
    }
}

// Switching the tree's province filter and the credible filter.
void BM_SwitchFilter(benchmark::State &state)
{
    Open open;
    open.query.open();
    open.query.setFiltered(true);
    const QStringList filters{QStringLiteral("cProvince='北京市'"), QStringLiteral("iFlag=1"),
                              QStringLiteral("cProvince='新疆维吾尔自治区'")};
    int i = 0;
    for (auto _ : state) {
        open.query.setFilter(filters[i++ % filters.size()]);
        benchmark::DoNotOptimize(open.query.recordCount());
    }
}

// A grid over the whole list drawing its first screen.
void BM_GridFirstScreen(benchmark::State &state)
{
    Open open;
    open.query.open();
    platform::db::DataSource source;
    source.setDataSet(&open.query);
    for (auto _ : state) {
        platform::db::DbGrid grid;
        grid.resize(800, 500);
        grid.setDataSource(&source);
        QPixmap screen = grid.grab();
        benchmark::DoNotOptimize(screen);
    }
}

BENCHMARK(BM_StepStatement)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadSnapshot)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SwitchFilter)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_GridFirstScreen)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv);
}
