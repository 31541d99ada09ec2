#include "tools/DemoDatabase.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    try {
        const tools::DemoOptions options = tools::parseDemoArguments(args);
        const tools::DemoSummary summary = tools::writeDemoDatabase(options);
        std::printf("%s: %d companies, %d card ranges of %d mobile prefixes, %d area codes\n",
                    qPrintable(options.out), summary.companies, summary.cardRanges, summary.cardPrefixes,
                    summary.areaCodes);
        return 0;
    } catch (const tools::DemoError &e) {
        std::fprintf(stderr, "make_demo_db: %s\n", e.what());
        std::fprintf(stderr, "usage: make_demo_db --out PATH [--companies N] [--seed S] [--password P] "
                             "[--page-size BYTES]\n");
        return 1;
    }
}
