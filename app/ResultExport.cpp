#include "app/ResultExport.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

ExportFormat exportFormatFor(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive) ? ExportFormat::Xlsx
                                                                          : ExportFormat::Csv;
}

ExportResult exportTable(const ExportTable &table, ExportFormat format, const QString &target,
                         ExportProgress &progress)
{
    const QFileInfo info(target);
    // A hidden name of its own beside the target, on the same file system,
    // so that the rename at the end replaces the target in one step.
    QTemporaryFile reserved(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                            QStringLiteral(".XXXXXX"));
    reserved.setAutoRemove(false);
    if (!reserved.open())
        return {ExportResult::Failed, QStringLiteral("无法在文件夹“%1”中写入文件：%2")
                                          .arg(info.absolutePath(), reserved.errorString())};
    const QString part = reserved.fileName();
    reserved.close();

    ExportResult result = format == ExportFormat::Xlsx ? exportwriters::writeXlsx(table, part, progress)
                                                       : exportwriters::writeCsv(table, part, progress);
    if (result.outcome == ExportResult::Written && progress.cancel)
        result = {ExportResult::Cancelled, {}};
    if (result.outcome != ExportResult::Written) {
        QFile::remove(part);
        return result;
    }
    // The reserved file is private to its owner; the export gets the
    // permissions of the file it replaces, or those of a new document.
    QFile::setPermissions(part, info.exists() ? QFile::permissions(target)
                                              : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                                    QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther);
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(part).toStdString(), QFile::encodeName(target).toStdString(),
                            error);
    if (error) {
        QFile::remove(part);
        return {ExportResult::Failed, QStringLiteral("无法保存为“%1”：%2")
                                          .arg(target, QString::fromLocal8Bit(error.message().c_str()))};
    }
    return {ExportResult::Written, {}};
}
