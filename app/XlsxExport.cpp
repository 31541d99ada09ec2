// The XLSX writer of the export, over libxlsxwriter.

#include "app/ResultExport.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <xlsxwriter.h>

namespace {

// The library's own texts are English; the user reads these.
ExportResult failure(lxw_error error)
{
    QString why;
    switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        why = QStringLiteral("内存不足");
        break;
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        why = QStringLiteral("无法写入文件，请检查文件夹的写入权限和磁盘空间");
        break;
    case LXW_ERROR_CREATING_TMPFILE:
        why = QStringLiteral("无法创建临时文件，请检查磁盘空间");
        break;
    default:
        why = QStringLiteral("错误代码 %1").arg(int(error));
        break;
    }
    return {ExportResult::Failed, QStringLiteral("写入 Excel 工作簿失败：%1。").arg(why)};
}

} // namespace

namespace exportwriters {

ExportResult writeXlsx(const ExportTable &table, const QString &path, ExportProgress &progress)
{
    if (table.rowCount > kMaxXlsxRows)
        return {ExportResult::Failed,
                QStringLiteral("Excel 工作簿一页最多容纳 1,048,575 行，请缩小范围，或导出为 CSV 文件。")};

    // Rows go to temporary files as they are written (a million rows would
    // not fit in memory otherwise); they are kept beside the export rather
    // than in /tmp, which may be small or held in memory.
    QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = folder.data();
    options.use_zip64 = LXW_TRUE;
    lxw_workbook *book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!book)
        return {ExportResult::Failed, QStringLiteral("无法创建 Excel 工作簿。")};
    lxw_worksheet *sheet = workbook_add_worksheet(book, "企业名录");
    lxw_format *titleFormat = workbook_add_format(book);
    if (!sheet || !titleFormat) {
        lxw_workbook_free(book);
        return {ExportResult::Failed, QStringLiteral("无法创建 Excel 工作簿。")};
    }
    format_set_bold(titleFormat);
    worksheet_freeze_panes(sheet, 1, 0);
    for (int c = 0; c < table.columns.size(); ++c) {
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), table.columns[c].width, nullptr);
        worksheet_write_string(sheet, 0, lxw_col_t(c), table.columns[c].title.toUtf8().constData(),
                               titleFormat);
    }

    for (int row = 0; row < table.rowCount; ++row) {
        if (progress.cancel) {
            lxw_workbook_free(book);
            return {ExportResult::Cancelled, {}};
        }
        const lxw_row_t at = lxw_row_t(row) + 1;
        for (int c = 0; c < table.columns.size(); ++c) {
            QString value = table.cell(row, c);
            if (value.isEmpty())
                continue; // a blank cell
            // A cell's line break is a bare line feed; a carriage return
            // would be stored as an escape that only some readers decode.
            value.replace(QLatin1String("\r\n"), QLatin1String("\n"))
                .replace(QLatin1Char('\r'), QLatin1Char('\n'));
            // A spreadsheet program reads _xHHHH_ in a cell as the character
            // U+HHHH; an underscore that would start one is written as its
            // own escape, _x005F_, so the text reads back as it is.
            static const QRegularExpression startsAnEscape(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
            value.replace(startsAnEscape, QStringLiteral("_x005F_"));
            bool isNumber = false;
            const double number = table.columns[c].numeric ? value.toDouble(&isNumber) : 0;
            const lxw_error error =
                isNumber
                    ? worksheet_write_number(sheet, at, lxw_col_t(c), number, nullptr)
                    : worksheet_write_string(sheet, at, lxw_col_t(c), value.toUtf8().constData(), nullptr);
            if (error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED) {
                lxw_workbook_free(book);
                return {ExportResult::Failed,
                        QStringLiteral("第 %1 行“%2”一栏的文字超过 Excel 单元格可容纳的 32,767 个字符，"
                                       "请改为导出 CSV 文件。")
                            .arg(row + 1)
                            .arg(table.columns[c].title)};
            }
            if (error != LXW_NO_ERROR) {
                lxw_workbook_free(book);
                return failure(error);
            }
        }
        progress.rowsDone = row + 1;
    }
    // Compressing the sheet takes a while for many rows and cannot be cut short.
    progress.finishing = true;
    const lxw_error error = workbook_close(book);
    if (error != LXW_NO_ERROR)
        return failure(error);
    return {ExportResult::Written, {}};
}

} // namespace exportwriters
