// The start as a user waits for it, on a large company database: from the
// program's launch to the splash window on screen, to the first rows of the
// company list on screen, and to the whole list read. Each run launches the
// program's start afresh in a process of its own (this program again, with
// `--start-child`), which goes through the steps of Dorvak's main() over
// the benchmark database and reports when each moment came; the splash is
// passed at once through its button ("进入Velmora") and the bar's "Velmora"
// shows the list, as an impatient user would. "Cold" runs first drop the
// database file's pages from the system's cache, as after a reboot.
//
//   build/bench/bench_start [--companies N] [--page-size BYTES] [--runs N] [--first-rows-only]
//                           [benchmark options]
//
// For example `--companies 10000000 --page-size 1024` for ten million
// companies in a file with the engine's default cipher pages. The database
// is written once to $VELMORA_BENCH_DIR (default /tmp) and reused.

#include "BenchDatabase.h"

#include "app/AppTitle.h"
#include "app/uBrowsePanel.h"
#include "app/uDMForm.h"
#include "app/uFmMainForm.h"
#include "app/uFmflash.h"
#include "platform/db/Database.h"
#include "platform/db/DbGrid.h"
#include "platform/ui/FontSubstitution.h"
#include "platform/ui/QtTranslations.h"
#include "resources/AppIcon.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Whether a start ends once the first rows are on screen, without waiting
// for the whole list (`--first-rows-only`: minutes saved at ten million).
bool g_firstRowsOnly = false;

double msSince(std::int64_t launchNs)
{
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
    return double(now - launchNs) / 1e6;
}

// Watches the start: the splash's first paint (and then presses its
// button), the company grid's first paint with rows in it.
class StartWatch : public QObject
{
public:
    explicit StartWatch(std::int64_t launchNs) : m_launch(launchNs) {}

    double splashMs = -1;
    double firstRowsMs = -1;
    int rowsAtFirst = 0;
    QWidget *grid = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        if (splashMs < 0 && Fmflash && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == Fmflash) {
            splashMs = msSince(m_launch);
            QTimer::singleShot(0, Fmflash, [] { Fmflash->SpdBtn_In->click(); });
        } else if (firstRowsMs < 0 && grid && watched == grid) {
            auto *view = static_cast<platform::db::DbGrid *>(grid->parentWidget());
            if (const int rows = view->model()->rowCount(); rows > 0) {
                firstRowsMs = msSince(m_launch);
                rowsAtFirst = rows;
            }
        }
        return false;
    }

private:
    std::int64_t m_launch;
};

// The program's start, as Dorvak's main() makes it (without the
// single-instance lock, which would stop a second run while one lingers),
// over the database in `folder`. Prints what it saw on one line.
int runStart(int argc, char **argv, const QString &folder, std::int64_t launchNs, bool firstRowsOnly)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
    QApplication::setWindowIcon(resources::applicationIcon());
    platform::installFontSubstitutions();
    platform::installQtTranslations();

    StartWatch watch(launchNs);
    application.installEventFilter(&watch);

    TDMForm dataModule(folder);
    dataModule.DataModuleCreate();
    if (dataModule.FOpenFailed) {
        std::fprintf(stderr, "the database did not open\n");
        return 1;
    }
    const double openedMs = msSince(launchNs);
    double wholeMs = -1;
    int rows = 0;
    QEventLoop loop;
    QObject::connect(dataModule.ADOContAccess, &platform::db::DbConnection::loadProgressed, &loop,
                     [&](int count, double, bool finished, bool) {
                         if (!finished)
                             return;
                         wholeMs = msSince(launchNs);
                         rows = count;
                     });

    TFmMainForm mainForm;
    watch.grid = mainForm.Pal_1->DBGrid1->viewport();
    mainForm.FormCreate();
    mainForm.show();
    mainForm.SideBarHeaders0Buttons0Click();
    if (!dataModule.ADOContAccess->loading() && wholeMs < 0) {
        wholeMs = msSince(launchNs);
        rows = dataModule.ADOQryDVPack->recordCount();
    }
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (watch.firstRowsMs >= 0 && (wholeMs >= 0 || firstRowsOnly))
            loop.quit();
    });
    check.start(10);
    loop.exec();
    std::printf("opened_ms=%.1f splash_ms=%.1f first_rows_ms=%.1f rows_at_first=%d", openedMs, watch.splashMs,
                watch.firstRowsMs, watch.rowsAtFirst);
    if (wholeMs >= 0)
        std::printf(" whole_ms=%.1f rows=%d", wholeMs, rows);
    std::printf("\n");
    std::fflush(stdout);
    // Not waiting for the rest of the list: the reading is cut short.
    if (wholeMs < 0)
        std::_Exit(0);
    return 0;
}

// Drops the file's pages from the system's cache (its own pages only).
void dropFromCache(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void start(benchmark::State &state, bool cold)
{
    // The program looks for dorvak.dat in its folder.
    QTemporaryDir folder;
    const QString data = QDir(folder.path()).filePath(QStringLiteral("dorvak.dat"));
    if (!QFile::link(bench::databasePath(), data)) {
        state.SkipWithError("cannot link the database");
        return;
    }
    std::map<std::string, std::vector<double>> seen;
    for (auto _ : state) {
        if (cold)
            dropFromCache(bench::databasePath());
        const std::int64_t launch =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--start-child"), folder.path(), QString::number(launch),
                     g_firstRowsOnly ? QStringLiteral("first-rows") : QStringLiteral("whole")});
        if (!child.waitForFinished(30 * 60 * 1000) || child.exitCode() != 0) {
            state.SkipWithError("the start did not finish");
            return;
        }
        std::map<std::string, double> values;
        for (const QByteArray &pair : child.readAllStandardOutput().trimmed().split(' ')) {
            const qsizetype equals = pair.indexOf('=');
            if (equals > 0)
                values[pair.left(equals).toStdString()] = pair.mid(equals + 1).toDouble();
        }
        for (const auto &[name, value] : values)
            seen[name].push_back(value);
        state.SetIterationTime(values["first_rows_ms"] / 1000);
    }
    for (const auto &[name, values] : seen)
        state.counters[name] = median(values);
    state.counters["page_size"] = bench::pageSize();
}

void BM_StartWarm(benchmark::State &state)
{
    start(state, false);
}

void BM_StartCold(benchmark::State &state)
{
    start(state, true);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 5 && std::strcmp(argv[1], "--start-child") == 0) {
        const QString folder = QString::fromLocal8Bit(argv[2]) + QLatin1Char('/');
        const std::int64_t launch = std::strtoll(argv[3], nullptr, 10);
        int childArgc = 1;
        return runStart(childArgc, argv, folder, launch, std::strcmp(argv[4], "first-rows") == 0);
    }
    // `--runs N` starts the program N times for each benchmark (default 3;
    // each start of ten million companies reads them all).
    int runs = 3;
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--first-rows-only") == 0)
            g_firstRowsOnly = true;
        else
            rest.push_back(argv[i]);
    }
    benchmark::RegisterBenchmark("BM_StartCold", BM_StartCold)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(runs)
        ->UseManualTime();
    benchmark::RegisterBenchmark("BM_StartWarm", BM_StartWarm)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(runs)
        ->UseManualTime();
    return bench::runBenchmarks(int(rest.size()), rest.data());
}
