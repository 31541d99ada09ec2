// The CSV writer of the export.

#include "app/ResultExport.h"

#include <QFile>

namespace {

// RFC 4180: a field holding a comma, a quote or a line break goes in
// quotes, its quotes doubled; the line break stays inside.
void appendField(QByteArray &out, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    if (!utf8.contains(',') && !utf8.contains('"') && !utf8.contains('\r') && !utf8.contains('\n')) {
        out += utf8;
        return;
    }
    out += '"';
    for (char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendLine(QByteArray &out, const QStringList &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        appendField(out, fields[i]);
    }
    out += "\r\n";
}

} // namespace

namespace exportwriters {

ExportResult writeCsv(const ExportTable &table, const QString &path, ExportProgress &progress)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {ExportResult::Failed, QStringLiteral("无法写入文件：%1").arg(file.errorString())};
    const auto failed = [&file] {
        return ExportResult{ExportResult::Failed, QStringLiteral("写入文件失败：%1").arg(file.errorString())};
    };

    constexpr qsizetype kChunk = 1 << 20;
    QByteArray out;
    out.reserve(kChunk + 4096);
    // The byte-order mark tells spreadsheet programs on Chinese systems that the text is UTF-8.
    out += "\xEF\xBB\xBF";
    QStringList fields;
    for (const ExportTable::Column &c : table.columns)
        fields << c.title;
    appendLine(out, fields);
    for (int row = 0; row < table.rowCount; ++row) {
        if (progress.cancel)
            return {ExportResult::Cancelled, {}};
        fields.clear();
        for (int c = 0; c < table.columns.size(); ++c)
            fields << table.cell(row, c);
        appendLine(out, fields);
        if (out.size() >= kChunk) {
            if (file.write(out) != out.size())
                return failed();
            out.clear();
        }
        progress.rowsDone = row + 1;
    }
    progress.finishing = true;
    if (file.write(out) != out.size() || !file.flush())
        return failed();
    file.close();
    if (file.error() != QFileDevice::NoError)
        return failed();
    return {ExportResult::Written, {}};
}

} // namespace exportwriters
