#include "BenchDatabase.h"

#include "platform/db/CipherSettings.h"
#include "tools/DemoDatabase.h"

#include <QApplication>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>
#include <vector>

namespace bench {

namespace {

QString g_path;

} // namespace

const char kListSql[] =
    "select cTypeName,cCorpCName,cCAdd,cZip,cTel,cFax,cHttp,cEmail,cCorpEName,cEAdd,cAreaNo,"
    "cTypeNo,cArea,cProvince,cManager,cMainProd,cCorpMemo,iFlag,cRemark from Dorvak";

QString databasePath()
{
    return g_path;
}

QString connectionString()
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + g_path +
           QStringLiteral(";Jet OLEDB:Database Password=") + QLatin1String(tools::kDatabasePassword);
}

int runBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    int companies = 1000000;
    std::vector<char *> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--companies") == 0 && i + 1 < argc)
            companies = std::atoi(argv[++i]);
        else
            rest.push_back(argv[i]);
    }
    const QString folder = qEnvironmentVariableIsEmpty("VELMORA_BENCH_DIR")
                               ? QStringLiteral("/tmp")
                               : qEnvironmentVariable("VELMORA_BENCH_DIR");
    // The name carries the cipher page size: a file written with another one is not reused.
    g_path = QStringLiteral("%1/velmora-bench-%2-p%3.dat")
                 .arg(folder)
                 .arg(companies)
                 .arg(platform::db::kBuilderPageSize);
    if (!QFileInfo::exists(g_path)) {
        std::cerr << "writing " << g_path.toStdString() << " ...\n";
        tools::DemoOptions options;
        options.out = g_path;
        options.companies = companies;
        tools::writeDemoDatabase(options);
    }

    int restCount = int(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
