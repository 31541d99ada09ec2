#include "tools/DemoDatabase.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <unistd.h>

namespace {

// A bar on the terminal: "[#########-----------]  45%  4500000/10000000, 41 s".
void showProgress(int done, int total, std::chrono::steady_clock::time_point start)
{
    constexpr int kWidth = 40;
    const int filled = total > 0 ? int(std::int64_t(done) * kWidth / total) : kWidth;
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i)
        bar[i] = i < filled ? '#' : '-';
    bar[kWidth] = '\0';
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "\r[%s] %3d%%  %d/%d companies, %lld s", bar,
                 total > 0 ? int(std::int64_t(done) * 100 / total) : 100, done, total,
                 static_cast<long long>(seconds));
    if (done == total)
        std::fputc('\n', stderr);
    std::fflush(stderr);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    try {
        tools::DemoOptions options = tools::parseDemoArguments(args);
        if (options.help) {
            std::fputs(tools::demoUsage(), stdout);
            return 0;
        }
        // Only a terminal gets the bar; a log gets the summary line alone.
        if (isatty(fileno(stderr))) {
            const auto start = std::chrono::steady_clock::now();
            options.progress = [start](int done, int total) { showProgress(done, total, start); };
        }
        const tools::DemoSummary summary = tools::writeDemoDatabase(options);
        std::printf("%s: %d companies, %d card ranges of %d mobile prefixes, %d area codes\n",
                    qPrintable(options.out), summary.companies, summary.cardRanges, summary.cardPrefixes,
                    summary.areaCodes);
        return 0;
    } catch (const tools::DemoError &e) {
        std::fprintf(stderr, "make_demo_db: %s\n", e.what());
        std::fputs(tools::demoUsage(), stderr);
        return 1;
    }
}
