#include "BenchDatabase.h"

#include "platform/db/CipherSettings.h"
#include "platform/os/AllocatorArenas.h"
#include "tools/DemoDatabase.h"

#include <sqlcipher/sqlite3.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <unistd.h>
#include <vector>

namespace bench {

namespace {

QString g_path;
double g_buildSeconds = 0;
int g_pageSize = platform::db::kBuilderPageSize;

// The builder's generation: a file written by another one is not reused.
constexpr int kGeneration = 3;

void showProgress(int done, int total)
{
    std::fprintf(stderr, "\r  %3d%%  %d/%d companies", int(std::int64_t(done) * 100 / std::max(1, total)),
                 done, total);
    if (done == total)
        std::fputc('\n', stderr);
}

} // namespace

double databaseBuildSeconds()
{
    return g_buildSeconds;
}

std::size_t peakResidentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return std::size_t(line.mid(6).trimmed().split(' ').value(0).toULongLong()) * 1024;
    }
    return 0;
}

void resetPeakResident()
{
    // Writing 5 resets the peak to what is resident now.
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

double engineMilliseconds(const char *sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(g_path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const std::string key = std::string("PRAGMA key = '") + tools::kDatabasePassword + "'";
    sqlite3_exec(db, key.c_str(), nullptr, nullptr, nullptr);
    const std::string pages = "PRAGMA cipher_page_size = " + std::to_string(g_pageSize);
    sqlite3_exec(db, pages.c_str(), nullptr, nullptr, nullptr);
    const auto start = std::chrono::steady_clock::now();
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    std::size_t bytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            bytes += std::size_t(sqlite3_column_bytes(stmt, c));
    }
    sqlite3_finalize(stmt);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    sqlite3_close(db);
    benchmark::DoNotOptimize(bytes);
    return ms;
}

const char kListSql[] =
    "select cTypeName,cCorpCName,cCAdd,cZip,cTel,cFax,cHttp,cEmail,cCorpEName,cEAdd,cAreaNo,"
    "cTypeNo,cArea,cProvince,cManager,cMainProd,cCorpMemo,iFlag,cRemark from Dorvak";

QString databasePath()
{
    return g_path;
}

int pageSize()
{
    return g_pageSize;
}

QString connectionString()
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + g_path +
           QStringLiteral(";Jet OLEDB:Database Password=") + QLatin1String(tools::kDatabasePassword);
}

int runBenchmarks(int argc, char **argv)
{
    platform::limitAllocatorArenas(); // as the program does
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    int companies = 1000000;
    std::vector<char *> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--companies") == 0 && i + 1 < argc)
            companies = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--page-size") == 0 && i + 1 < argc)
            g_pageSize = std::atoi(argv[++i]);
        else
            rest.push_back(argv[i]);
    }
    const QString folder = qEnvironmentVariableIsEmpty("VELMORA_BENCH_DIR")
                               ? QStringLiteral("/tmp")
                               : qEnvironmentVariable("VELMORA_BENCH_DIR");
    // The name carries the cipher page size and the builder's generation:
    // a file written with others is not reused.
    g_path = QStringLiteral("%1/velmora-bench-%2-p%3-v%4.dat")
                 .arg(folder)
                 .arg(companies)
                 .arg(g_pageSize)
                 .arg(kGeneration);
    // The time it took to write the file is kept beside it.
    QFile buildTime(g_path + QStringLiteral(".build-seconds"));
    if (!QFileInfo::exists(g_path)) {
        std::cerr << "writing " << g_path.toStdString() << " ...\n";
        tools::DemoOptions options;
        options.out = g_path;
        options.companies = companies;
        options.pageSize = g_pageSize;
        if (isatty(fileno(stderr)))
            options.progress = showProgress;
        const auto start = std::chrono::steady_clock::now();
        tools::writeDemoDatabase(options);
        g_buildSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (buildTime.open(QIODevice::WriteOnly))
            buildTime.write(QByteArray::number(g_buildSeconds));
    } else if (buildTime.open(QIODevice::ReadOnly)) {
        g_buildSeconds = buildTime.readAll().toDouble();
    }

    int restCount = int(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
