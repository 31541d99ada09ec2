// The search box at the size of a large directory: every keystroke of
// queries of one to three words in each form the box takes (characters,
// traditional characters, full pinyin, initials, a mix, several words, an
// excluded word, digits), timed as the window runs it: the search set on
// the company query, a grid following it. Medians and 95th percentiles,
// each beside the engine's own time for the same words as LIKE conditions
// over the same columns where the engine has an equivalent (none for
// pinyin). Also the keystrokes that take characters back to the empty box
// and whole words pasted into it (no keystroke before them to narrow
// from), the first keystroke after the list has loaded, large answers,
// and the memory: the process's peak against the table's text,
// and what the pinyin and folding tables and the reading marks add.
//
//   build/bench/bench_search [--companies N] [benchmark options]
//
// The database is written once to $VELMORA_BENCH_DIR (default /tmp) and reused.

#include "BenchDatabase.h"

#include "platform/db/Database.h"
#include "platform/db/DbGrid.h"
#include "query/CompanySearch.h"
#include "store/ChineseText.h"
#include "store/ColumnStore.h"
#include "store/PinyinMatcher.h"
#include "store/SearchQuery.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

using namespace platform::db;

namespace {

struct Companies
{
    DbConnection connection;
    DbQuery query;
    DataSource source;
    DbGrid grid;
    double firstKeystrokeMs = 0;

    Companies()
    {
        connection.setConnectionString(bench::connectionString());
        connection.setConnected(true);
        query.setConnection(&connection);
        query.setSearchedAsTyped(true); // as the window's list is
        source.setDataSet(&query);
        grid.resize(800, 500);
        grid.setDataSource(&source);
        connection.setReadingColumns(CompanyReadingColumns());
        connection.preload(QString::fromLatin1(bench::kListSql));
        query.setSqlText(QString::fromLatin1(bench::kListSql));
        query.open();
        QEventLoop loop;
        QObject::connect(&connection, &DbConnection::loadProgressed, &loop,
                         [&](int, double, bool finished, bool) {
                             if (finished)
                                 loop.quit();
                         });
        if (connection.loading())
            loop.exec();
        // Whatever the list takes in last is in before the first keystroke.
        QCoreApplication::processEvents();
        const auto start = std::chrono::steady_clock::now();
        ApplyCompanySearch(&query, QStringLiteral("zgyh"));
        firstKeystrokeMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        ApplyCompanySearch(&query, QString());
    }
};

Companies &shared()
{
    static std::unique_ptr<Companies> companies;
    if (!companies) {
        bench::resetPeakResident();
        companies = std::make_unique<Companies>();
    }
    return *companies;
}

// The WHERE clause an engine would need for the words typed: each word
// (as typed) in any of the columns the search reads; an excluded word in none.
QString likeEquivalent(const QString &typed)
{
    const store::SearchQuery q = store::SearchQuery::parse(typed.toStdString());
    QStringList conditions;
    for (const store::SearchWord &w : q.words) {
        std::string utf8;
        for (char32_t c : w.folded)
            if (c < 0x80)
                utf8 += char(c);
            else {
                const QString s = QString::fromUcs4(&c, 1);
                utf8 += s.toStdString();
            }
        QStringList any;
        for (const DbQuery::SearchField &f : CompanySearchFields())
            any << f.name + QStringLiteral(" LIKE '%") + QString::fromStdString(utf8) + QStringLiteral("%'");
        conditions << (w.excluded ? QStringLiteral("NOT (") : QStringLiteral("(")) +
                          any.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    }
    return QString::fromLatin1(bench::kListSql) + QStringLiteral(" WHERE ") +
           conditions.join(QStringLiteral(" AND "));
}

// Sets each text in the box in turn, timing each keystroke.
void timeKeystrokes(Companies &c, const QStringList &texts, std::vector<double> &ms)
{
    for (const QString &typed : texts) {
        const auto start = std::chrono::steady_clock::now();
        ApplyCompanySearch(&c.query, typed);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (qEnvironmentVariableIsSet("VELMORA_BENCH_KEYSTROKES"))
            fprintf(stderr, "  %-16s %8.1f ms %9d rows\n", typed.toUtf8().constData(), ms.back(),
                    int(c.query.recordCount()));
    }
}

void reportKeystrokes(benchmark::State &state, std::vector<double> ms, int rows)
{
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p95_ms"] = ms[std::min(ms.size() - 1, ms.size() * 95 / 100)];
    state.counters["max_ms"] = ms.back();
    state.counters["rows"] = rows;
}

// Types the text one character at a time (and once more from the start,
// to have enough keystrokes), timing each keystroke.
void typing(benchmark::State &state, const QString &text, bool engineEquivalent)
{
    Companies &c = shared();
    QStringList prefixes;
    for (qsizetype n = 1; n <= text.size(); ++n)
        prefixes << text.left(n);
    std::vector<double> ms;
    int rows = 0;
    for (auto _ : state) {
        timeKeystrokes(c, prefixes, ms);
        rows = c.query.recordCount();
        state.PauseTiming();
        ApplyCompanySearch(&c.query, QString());
        state.ResumeTiming();
    }
    reportKeystrokes(state, ms, rows);
    if (engineEquivalent && !qEnvironmentVariableIsSet("VELMORA_BENCH_NO_ENGINE")) {
        const double engine = bench::engineMilliseconds(likeEquivalent(text).toUtf8().constData());
        state.counters["engine_like_ms"] = engine;
        state.counters["per_engine"] = engine > 0 ? state.counters["median_ms"] / engine : 0;
    }
}

// The text typed a character at a time (not timed), then taken back a
// character at a time to the empty box, timing each deletion: the list
// grows back, to answers the box had on the way.
void erasing(benchmark::State &state, const QString &text)
{
    Companies &c = shared();
    QStringList prefixes, shorter;
    for (qsizetype n = 1; n <= text.size(); ++n)
        prefixes << text.left(n);
    for (qsizetype n = text.size() - 1; n >= 0; --n)
        shorter << text.left(n);
    std::vector<double> ms;
    for (auto _ : state) {
        state.PauseTiming();
        for (const QString &typed : prefixes)
            ApplyCompanySearch(&c.query, typed);
        state.ResumeTiming();
        timeKeystrokes(c, shorter, ms);
    }
    reportKeystrokes(state, ms, c.query.recordCount());
}

// The whole text at once into the empty box, as pasted: no keystroke
// before it to narrow from. Another word is searched for in between: the
// same text again would be answered from the answer before.
void pasting(benchmark::State &state, const QString &text)
{
    Companies &c = shared();
    std::vector<double> ms;
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ApplyCompanySearch(&c.query, QStringLiteral("q"));
        ApplyCompanySearch(&c.query, QString());
        state.ResumeTiming();
        timeKeystrokes(c, {text}, ms);
        rows = c.query.recordCount();
    }
    ApplyCompanySearch(&c.query, QString()); // the box as the next benchmark expects it
    reportKeystrokes(state, ms, rows);
}

#define TYPING(name, text, engine)                                                                           \
    void BM_Type_##name(benchmark::State &s)                                                                 \
    {                                                                                                        \
        typing(s, QStringLiteral(text), engine);                                                             \
    }                                                                                                        \
    BENCHMARK(BM_Type_##name)->Unit(benchmark::kMillisecond)->Iterations(3)

TYPING(Hanzi, "电子", true);
TYPING(Traditional, "電子", true);
TYPING(TwoWords, "杭州 软件", true);
TYPING(ThreeWords, "北京 电子 科技", true);
TYPING(Excluded, "软件 -北京", true);
TYPING(Initials, "zgyh", false);
TYPING(FullPinyin, "changsha", false);
TYPING(Mixed, "zhongguoyh", false);
TYPING(PinyinTwoWords, "hangzhou rj", false);
TYPING(Digits, "0571", true);
TYPING(EnglishName, "software", true);
TYPING(CommonProfileWord, "出口", true);

// A benchmark `kind`_`name` of `run` (erasing or pasting) over one text.
#define KEYSTROKES(kind, run, name, text, iterations)                                                        \
    void BM_##kind##_##name(benchmark::State &s)                                                             \
    {                                                                                                        \
        run(s, QStringLiteral(text));                                                                        \
    }                                                                                                        \
    BENCHMARK(BM_##kind##_##name)->Unit(benchmark::kMillisecond)->Iterations(iterations)

KEYSTROKES(Erase, erasing, Mixed, "zhongguoyh", 3);
KEYSTROKES(Erase, erasing, PinyinTwoWords, "hangzhou rj", 3);
KEYSTROKES(Erase, erasing, Digits, "0571", 3);

KEYSTROKES(Paste, pasting, FullPinyin, "changsha", 5);
KEYSTROKES(Paste, pasting, LongPinyin, "zhongguoyinhang", 5);
KEYSTROKES(Paste, pasting, TwoWords, "杭州 软件", 5);
KEYSTROKES(Paste, pasting, EnglishName, "software", 5);

void BM_FirstKeystrokeAfterLoad(benchmark::State &state)
{
    Companies &c = shared();
    for (auto _ : state)
        benchmark::DoNotOptimize(c.firstKeystrokeMs);
    state.counters["ms"] = c.firstKeystrokeMs;
}
BENCHMARK(BM_FirstKeystrokeAfterLoad)->Iterations(1);

void BM_Memory(benchmark::State &state)
{
    Companies &c = shared();
    ApplyCompanySearch(&c.query, QStringLiteral("zhongguoyh 北京"));
    for (auto _ : state)
        benchmark::DoNotOptimize(c.query.recordCount());
    const double text = double(c.query.snapshot()->textBytes());
    // What the search adds: the generated readings and foldings and the
    // direct tables built from them at the first search, one matcher's
    // table of a word of ten letters, and the reading marks of the rows.
    const store::ColumnStore &table = *c.query.snapshot();
    double marks = 0, characters = 0, asciiPairs = 0;
    for (int k = 0; k < table.chunkCount(); ++k)
        for (const store::StoreChunk::Column &column : table.chunk(k).columns) {
            marks += double(column.text.readingMarks.memoryBytes());
            characters += double(column.text.characters.memoryBytes());
            asciiPairs += double(column.text.pairMarks.memoryBytes());
        }
    const double tables = double(store::pinyinTableBytes()) +
                          double(store::PinyinMatcher(std::string(10, 'a')).memoryBytes()) + marks;
    state.counters["text_MiB"] = text / 1048576.0;
    state.counters["store_per_text"] = double(c.query.snapshot()->memoryBytes()) / text;
    state.counters["search_extra_per_text"] = tables / text;
    state.counters["search_extra_KiB"] = tables / 1024.0;
    state.counters["reading_marks_per_text"] = marks / text;
    // Not pinyin nor folding: the rows of each character, for every search.
    state.counters["character_index_per_text"] = characters / text;
    state.counters["ascii_pair_marks_per_text"] = asciiPairs / text;
    state.counters["peak_rss_per_text"] = double(bench::peakResidentBytes()) / text;
    state.counters["peak_rss_MiB"] = double(bench::peakResidentBytes()) / 1048576.0;
}
BENCHMARK(BM_Memory)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv);
}
