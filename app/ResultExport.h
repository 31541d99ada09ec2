#pragma once

#include <QList>
#include <QString>

#include <atomic>
#include <functional>

// Writing the rows a grid shows to a file a spreadsheet opens: CSV (UTF-8
// with a byte-order mark, quoted as RFC 4180 says, line breaks kept inside
// the quotes) or XLSX (through libxlsxwriter). The file is written beside
// its name and renamed into place when complete, so a cancelled or failed
// export leaves no half file and whatever the name held before stays.

// What an export writes: titled columns and rows of text.
struct ExportTable
{
    struct Column
    {
        QString title;
        bool numeric = false; // written to a workbook as numbers
        int width = 10;       // in characters, for a workbook's column
    };
    QList<Column> columns;
    int rowCount = 0;
    // The whole text of a cell; a null string for a null cell. Called on
    // the export's worker thread while the caller waits.
    std::function<QString(int row, int column)> cell;
};

enum class ExportFormat { Csv, Xlsx };

// The format a file name asks for: XLSX for a name ending in ".xlsx" (any
// letter case), CSV otherwise.
ExportFormat exportFormatFor(const QString &fileName);

// The rows a workbook sheet holds beside its title row.
constexpr int kMaxXlsxRows = 1048576 - 1;
// The characters a workbook cell holds.
constexpr int kMaxXlsxCellLength = 32767;

// Shared by the worker and the window that shows how far it is.
struct ExportProgress
{
    std::atomic<int> rowsDone{0};
    // Set when every row is written and the file is being completed (a
    // workbook is compressed then), which cannot be cut short.
    std::atomic<bool> finishing{false};
    std::atomic<bool> cancel{false};
};

struct ExportResult
{
    enum Outcome { Written, Cancelled, Failed };
    Outcome outcome = Failed;
    // For a failure: what went wrong, in words for the user.
    QString message;
};

// Writes the table to `target`. Blocks until done; meant for a worker
// thread, with `progress` read and its cancel flag set by another.
ExportResult exportTable(const ExportTable &table, ExportFormat format, const QString &target,
                         ExportProgress &progress);

// The writers, to a file that exists (empty) at `path`; they check the
// cancel flag after each row.
namespace exportwriters {
ExportResult writeCsv(const ExportTable &table, const QString &path, ExportProgress &progress);
ExportResult writeXlsx(const ExportTable &table, const QString &path, ExportProgress &progress);
} // namespace exportwriters
