// What a user waits for on a 1,000,000-company database: a keystroke of
// the quick search (contains, starts-with and exact, on the company name
// and on the profile memo), the compound query of the dialog's worked
// example, "刷新" and clearing the search on an unchanged database, and
// the start: from the splash window's close to the first screen of rows;
// and the profile edit posted, with and without its record kept beside the
// database, and the one pass at a start after the database was replaced
// that carries the kept edits over.
// Each statement comes from the program's own builders and runs on the
// company query the way the windows run it (statement, open, labels,
// widths, a grid following the query). For comparison, the same keystroke
// with the engine reading the table itself.
//
//   build/bench/bench_company_list [--companies N] [benchmark options]
//
// The database is written once to $VELMORA_BENCH_DIR (default /tmp) and reused.

#include "BenchDatabase.h"

#include "platform/db/Database.h"
#include "platform/db/DbGrid.h"
#include "platform/os/Files.h"
#include "query/FieldWidths.h"
#include "query/uFindCheckSetModel.h"
#include "query/uFmSearchs.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

using namespace platform::db;
using bench::kListSql;

namespace {

// Lets the connection's reading ahead run to its end.
void waitForWholeList(DbConnection &connection)
{
    QEventLoop loop;
    QObject::connect(&connection, &DbConnection::loadProgressed, &loop,
                     [&](int, double, bool finished, bool) {
                         if (finished)
                             loop.quit();
                     });
    if (connection.loading())
        loop.exec();
}

// The company query with the list loaded, a grid on it, as the main window has them.
struct Companies
{
    DbConnection connection;
    DbQuery query;
    DataSource source;
    DbGrid grid;
    QString listSql;
    QStringList labels;

    explicit Companies(bool load = true)
    {
        connection.setConnectionString(bench::connectionString());
        connection.setConnected(true);
        query.setConnection(&connection);
        source.setDataSet(&query);
        grid.resize(800, 500);
        grid.setDataSource(&source);
        if (load)
            loadList();
    }
    // As the program starts: the list read ahead, shown at once, and whole
    // when the reading ends.
    void readAheadAndWait()
    {
        connection.preload(QString::fromLatin1(kListSql));
        loadList();
        waitForWholeList(connection);
    }
    // LoadCompanyList: no filter, the list statement, labels and widths.
    void loadList()
    {
        query.setFilter(QString());
        query.setFiltered(false);
        query.setSqlText(QString::fromLatin1(kListSql));
        listSql = query.sqlText();
        if (!query.active())
            query.open();
        labels.clear();
        for (int i = 0; i < query.fieldCount(); ++i)
            labels << query.field(i)->fieldName();
        SizeFieldsToCurrentRow(&query);
    }
    // RunQuickSearch and the compound query's caller: statement, open, labels, widths.
    void run(const QString &statement)
    {
        query.setSqlText(statement);
        query.open();
        for (int i = 0; i < query.fieldCount() && i < labels.size(); ++i)
            query.field(i)->setDisplayLabel(labels[i]);
        SizeFieldsToCurrentRow(&query);
    }
};

// The company list every answer below works on, read once.
Companies &shared()
{
    static std::unique_ptr<Companies> companies;
    if (!companies) {
        companies = std::make_unique<Companies>(false);
        companies->readAheadAndWait();
    }
    return *companies;
}

// The engine's own time for a statement, as the base of an answer's time.
void reportEngine(benchmark::State &state, const QString &sql, double medianMs)
{
    const double engine = bench::engineMilliseconds(sql.toUtf8().constData());
    state.counters["engine_ms"] = engine;
    state.counters["per_engine"] = engine > 0 ? medianMs / engine : 0;
}

// The median of the timed parts of the iterations, in milliseconds: the
// targets are medians, and a busy machine drags the mean.
class Median
{
public:
    template <typename F> void time(F &&timed)
    {
        const auto start = std::chrono::steady_clock::now();
        timed();
        m_ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    double report(benchmark::State &state)
    {
        if (m_ms.empty())
            return 0;
        std::nth_element(m_ms.begin(), m_ms.begin() + std::ptrdiff_t(m_ms.size() / 2), m_ms.end());
        state.counters["median_ms"] = m_ms[m_ms.size() / 2];
        return m_ms[m_ms.size() / 2];
    }

private:
    std::vector<double> m_ms;
};

enum Mode { Contains, StartsWith, Exact };

// Keystrokes alternate between two texts so that every one changes the statement.
void keystrokes(benchmark::State &state, const char *field, Mode mode, const QString &a, const QString &b,
                const char *suffix = "")
{
    Companies &c = shared();
    int i = 0;
    bool fromSnapshot = true;
    int rowsA = 0;
    int rowsB = 0;
    Median median;
    const auto statement = [&](const QString &text) {
        return c.listSql +
               TFmSearchs::SearchClause(QLatin1String(field), text, mode == Exact, mode == Contains) +
               QLatin1String(suffix);
    };
    for (auto _ : state) {
        const bool second = i++ % 2;
        const QString sql = statement(second ? b : a);
        median.time([&] { c.run(sql); });
        fromSnapshot = fromSnapshot && c.query.answeredFromSnapshot();
        (second ? rowsB : rowsA) = c.query.recordCount();
    }
    reportEngine(state, statement(a), median.report(state));
    state.counters["rows_a"] = rowsA;
    state.counters["rows_b"] = rowsB;
    state.counters["from_snapshot"] = fromSnapshot;
}

void BM_KeystrokeNameContains(benchmark::State &s)
{
    keystrokes(s, "cCorpCName", Contains, QStringLiteral("电子"), QStringLiteral("电子科"));
}
void BM_KeystrokeNameStartsWith(benchmark::State &s)
{
    keystrokes(s, "cCorpCName", StartsWith, QStringLiteral("北京"), QStringLiteral("北京光"));
}
void BM_KeystrokeNameExact(benchmark::State &s)
{
    keystrokes(s, "cCorpCName", Exact, QStringLiteral("北京光明软件实业有限公司"),
               QStringLiteral("和平化工制品厂"));
}
void BM_KeystrokeEnglishNameContains(benchmark::State &s)
{
    keystrokes(s, "cCorpEName", Contains, QStringLiteral("software"), QStringLiteral("Union"));
}
void BM_KeystrokeMemoContains(benchmark::State &s)
{
    keystrokes(s, "cCorpMemo", Contains, QStringLiteral("软件研发"), QStringLiteral("软件研"));
}
// A common word: the answer holds a good part of the list.
void BM_KeystrokeMemoContainsCommonWord(benchmark::State &s)
{
    keystrokes(s, "cCorpMemo", Contains, QStringLiteral("出口"), QStringLiteral("进出口"));
}
// A word half the profiles hold: an answer of millions of companies at 10M.
void BM_KeystrokeMemoContainsWordOfHalfTheList(benchmark::State &s)
{
    keystrokes(s, "cCorpMemo", Contains, QStringLiteral("热忱欢迎"), QStringLiteral("欢迎"));
}
void BM_KeystrokeMemoStartsWith(benchmark::State &s)
{
    keystrokes(s, "cCorpMemo", StartsWith, QStringLiteral("北京"), QStringLiteral("北京光"));
}
void BM_KeystrokeMemoExact(benchmark::State &s)
{
    keystrokes(s, "cCorpMemo", Exact, QStringLiteral("北京光明"), QStringLiteral("北京光明软件"));
}
// The same keystroke with the engine reading the table (the statement made
// to leave the snapshot's grammar without changing its rows or order).
void BM_KeystrokeNameContainsThroughEngine(benchmark::State &s)
{
    keystrokes(s, "cCorpCName", Contains, QStringLiteral("电子"), QStringLiteral("电子科"),
               " ORDER BY rowid");
}

// The dialog's worked example: 公司名称 包含 电子, then 省份 等于 浙江.
void BM_CompoundWorkedExample(benchmark::State &state)
{
    Companies &c = shared();
    using namespace findquery;
    QStringList names;
    for (int i = 0; i < c.query.fieldCount(); ++i)
        names << c.query.field(i)->fieldName();
    std::vector<ConditionRow> rows{
        {QStringLiteral("1"), QStringLiteral("公司名称"), QStringLiteral("包含"), QStringLiteral("电子"),
         QString(), QStringLiteral("24"), QString::number(names.indexOf(QStringLiteral("cCorpCName")))},
        {QStringLiteral("2"), QStringLiteral("省份"), QStringLiteral("等于"), QStringLiteral("浙江"),
         QString(), QStringLiteral("24"), QString::number(names.indexOf(QStringLiteral("cProvince")))},
    };
    const QString where = buildWhereText(rows, names);
    const QString sql = composeSqlLines(names.join(QLatin1Char(',')), QStringLiteral(" FROM  Dorvak "), where)
                            .join(QLatin1String("\r\n")) +
                        QLatin1String("\r\n");
    bool fromSnapshot = true;
    int found = 0;
    Median median;
    for (auto _ : state) {
        median.time([&] { c.run(sql); });
        fromSnapshot = fromSnapshot && c.query.answeredFromSnapshot();
        state.PauseTiming();
        found = c.query.recordCount();
        c.run(c.listSql);
        state.ResumeTiming();
    }
    reportEngine(state, sql, median.report(state));
    state.counters["rows"] = found;
    state.counters["from_snapshot"] = fromSnapshot;
}

// Times `timed` on the company query, each time after a search of the
// company names for `text`.
void afterSearch(benchmark::State &state, const QString &text, const std::function<void(Companies &)> &timed)
{
    Companies &c = shared();
    const QString search =
        c.listSql + TFmSearchs::SearchClause(QStringLiteral("cCorpCName"), text, false, true);
    bool fromSnapshot = true;
    Median median;
    for (auto _ : state) {
        state.PauseTiming();
        c.run(search);
        state.ResumeTiming();
        median.time([&] { timed(c); });
        fromSnapshot = fromSnapshot && c.query.answeredFromSnapshot();
    }
    reportEngine(state, QString::fromLatin1(kListSql), median.report(state));
    state.counters["rows"] = c.query.recordCount();
    state.counters["from_snapshot"] = fromSnapshot;
}

// "刷新" on an unchanged database, after a search.
void BM_Refresh(benchmark::State &state)
{
    afterSearch(state, QStringLiteral("电子"), [](Companies &c) { c.loadList(); });
}

// Deleting the search text: the statement is the list statement again.
void BM_ClearSearch(benchmark::State &state)
{
    afterSearch(state, QStringLiteral("电"), [](Companies &c) { c.run(c.listSql); });
}

// Start-up: the data module opens the database and starts reading the
// list ahead; the splash window stays two seconds; then the main window
// loads the list and the grid paints its first screen. Timed: from the
// splash's close to the first screen; and to the whole list read.
void BM_FirstScreenAfterSplash(benchmark::State &state)
{
    double wholeSeconds = 0;
    for (auto _ : state) {
        auto companies = std::make_unique<Companies>(false);
        Companies &c = *companies;
        c.connection.preload(QString::fromLatin1(kListSql));
        std::this_thread::sleep_for(std::chrono::seconds(2)); // the splash window
        const auto splashClosed = std::chrono::steady_clock::now();
        c.loadList();
        QPixmap screen = c.grid.grab();
        benchmark::DoNotOptimize(screen);
        const auto painted = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(painted - splashClosed).count());
        state.counters["rows_at_first_screen"] = c.query.recordCount();
        waitForWholeList(c.connection);
        wholeSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - splashClosed).count();
        state.counters["rows"] = c.query.recordCount();
    }
    state.counters["whole_list_past_splash_s"] = wholeSeconds;
}

// The process's peak resident memory against the text of the table: from
// the start of the reading to the list whole and shown, and the answers
// below on it (the benchmarks that follow run on the same rows).
void BM_PeakMemory(benchmark::State &state)
{
    for (auto _ : state) {
        bench::resetPeakResident();
        const auto start = std::chrono::steady_clock::now();
        Companies &c = shared();
        state.counters["read_s"] =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        c.run(c.listSql +
              TFmSearchs::SearchClause(QStringLiteral("cCorpMemo"), QStringLiteral("软件研发"), false, true));
        c.run(c.listSql +
              TFmSearchs::SearchClause(QStringLiteral("cCorpCName"), QStringLiteral("电子"), false, true));
        c.query.setFilter(QStringLiteral("cProvince='北京市'"));
        c.query.setFiltered(true);
        c.loadList();
        QPixmap screen = c.grid.grab();
        benchmark::DoNotOptimize(screen);
        const double text = double(c.query.snapshot()->textBytes());
        const double peak = double(bench::peakResidentBytes());
        state.counters["text_MiB"] = text / (1 << 20);
        state.counters["store_MiB"] = double(c.query.snapshot()->memoryBytes()) / (1 << 20);
        state.counters["peak_rss_MiB"] = peak / (1 << 20);
        state.counters["peak_per_text"] = peak / text;
        state.counters["database_build_s"] = bench::databaseBuildSeconds();
    }
}

// The list read straight from the engine, as a refresh of a changed database would.
void BM_LoadListFromEngine(benchmark::State &state)
{
    for (auto _ : state) {
        Companies c(false);
        c.loadList();
        benchmark::DoNotOptimize(c.query.recordCount());
    }
}

// The profile edits kept beside the database, in a side file of the bench's own.
KeptEditsSettings keptProfiles()
{
    KeptEditsSettings settings;
    settings.path = QFileInfo(bench::databasePath()).absolutePath() + QStringLiteral("/bench-profiles.edits");
    settings.table = QStringLiteral("Dorvak");
    settings.column = QStringLiteral("cCorpMemo");
    settings.keyColumns = {QStringLiteral("cCorpCName"), QStringLiteral("cCAdd")};
    return settings;
}

// A few companies across the table, to edit.
struct EditedRows
{
    DbConnection connection;
    DbQuery query;
    std::vector<QString> originals;

    EditedRows(bool keep, int count)
    {
        connection.setConnectionString(bench::connectionString());
        if (keep)
            connection.setKeptEdits(keptProfiles());
        connection.setConnected(true);
        query.setConnection(&connection);
        query.setSqlText(
            QStringLiteral("select cCorpCName, cCAdd, cCorpMemo from Dorvak where rowid % 9973 = 1"));
        query.open();
        for (int row = 0; row < std::min(count, query.recordCount()); ++row)
            originals.push_back(query.cellText(row, 2));
    }
    void write(int row, const QString &text)
    {
        query.setCurrentRow(row);
        query.setFieldText(2, text);
        query.post();
    }
    // Puts the database's texts back, which leaves the side file without edits.
    void restore()
    {
        for (int row = 0; row < int(originals.size()); ++row)
            write(row, originals[std::size_t(row)]);
    }
};

// Typing a profile and moving on: the edit posted back to its row, without
// (0) and with (1) its record kept in the side file in the same transaction.
void BM_ProfileEditPosted(benchmark::State &state)
{
    QFile::remove(keptProfiles().path);
    EditedRows edited(state.range(0) != 0, 2);
    int i = 0;
    for (auto _ : state) {
        edited.write(i % 2, QStringLiteral("基准测试写入的公司简介 %1").arg(i));
        ++i;
    }
    edited.restore();
    edited.connection.setConnected(false);
    QFile::remove(keptProfiles().path);
}

// The start after the database was replaced, with ten kept edits: the one
// pass over the table that finds their companies (here all in place
// already, so nothing is written).
void BM_EditsCarriedAtStart(benchmark::State &state)
{
    QFile::remove(keptProfiles().path);
    {
        EditedRows edited(true, 10);
        for (int row = 0; row < int(edited.originals.size()); ++row)
            edited.write(row, QStringLiteral("基准测试写入的公司简介 %1").arg(row));
    }
    const QString database = bench::databasePath();
    qint64 stamp = QDateTime::currentMSecsSinceEpoch();
    for (auto _ : state) {
        state.PauseTiming();
        // Another file time: the database no longer has the fingerprint the edits were carried into.
        platform::setFileTimes(database, std::nullopt, stamp += 1000);
        DbConnection connection;
        connection.setConnectionString(bench::connectionString());
        connection.setKeptEdits(keptProfiles());
        state.ResumeTiming();
        connection.setConnected(true);
        state.PauseTiming();
        connection.setConnected(false);
        state.ResumeTiming();
    }
    EditedRows edited(true, 10);
    edited.restore();
    edited.connection.setConnected(false);
    QFile::remove(keptProfiles().path);
}

BENCHMARK(BM_PeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_KeystrokeNameContains)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KeystrokeNameStartsWith)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KeystrokeNameExact)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KeystrokeEnglishNameContains)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KeystrokeMemoContains)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KeystrokeMemoContainsCommonWord)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KeystrokeMemoContainsWordOfHalfTheList)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KeystrokeMemoStartsWith)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KeystrokeMemoExact)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KeystrokeNameContainsThroughEngine)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CompoundWorkedExample)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Refresh)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ClearSearch)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FirstScreenAfterSplash)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();
BENCHMARK(BM_LoadListFromEngine)->Unit(benchmark::kMillisecond)->Iterations(2);
// Last: they write to the database, which the answers above hold snapshots of.
BENCHMARK(BM_ProfileEditPosted)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_EditsCarriedAtStart)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv);
}
