// The browsing panel's export of the company list.

#include "app/ResultExport.h"
#include "app/uBrowsePanel.h"

#include "platform/db/Database.h"
#include "platform/db/DbGrid.h"
#include "platform/db/DbGridModel.h"
#include "platform/ui/MessageBox.h"

#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

using namespace platform::db;

namespace {

const QString kCsvFilter = QStringLiteral("CSV 文件（逗号分隔）(*.csv)");
const QString kXlsxFilter = QStringLiteral("Excel 工作簿 (*.xlsx)");

// How long an export runs before its progress shows: a short one is over
// before a window could be read.
constexpr int kProgressDelayMs = 400;

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

void TBrowsePanel::SpBtn_ExportClick()
{
    if (m_companies->recordCount() == 0) {
        platform::showMessage(QStringLiteral("当前没有可以导出的企业。"), this);
        return;
    }
    QFileDialog dialog(this, QStringLiteral("导出企业名录"), documentsFolder());
    dialog.setObjectName(QStringLiteral("ExportDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({kCsvFilter, kXlsxFilter});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.selectFile(QStringLiteral("企业名录.csv"));
    // The name follows the chosen type, so the file gets the extension of its format.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        const QString suffix = filter == kXlsxFilter ? QStringLiteral("xlsx") : QStringLiteral("csv");
        dialog.setDefaultSuffix(suffix);
        const QStringList chosen = dialog.selectedFiles();
        const QString name = chosen.isEmpty() ? QString() : QFileInfo(chosen.first()).completeBaseName();
        if (!name.isEmpty())
            dialog.selectFile(name + QLatin1Char('.') + suffix);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString fileName = dialog.selectedFiles().first();
    // A name with the other type's extension keeps it; one with neither gets the chosen type's.
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix != QLatin1String("csv") && suffix != QLatin1String("xlsx"))
        fileName +=
            dialog.selectedNameFilter() == kXlsxFilter ? QStringLiteral(".xlsx") : QStringLiteral(".csv");
    ExportList(fileName);
}

bool TBrowsePanel::ExportList(const QString &fileName)
{
    const ExportFormat format = exportFormatFor(fileName);
    const int rows = m_companies->recordCount();
    if (format == ExportFormat::Xlsx && rows > kMaxXlsxRows) {
        platform::showMessage(QStringLiteral("当前显示 %1 家企业，超过 Excel 工作簿可容纳的 1,048,575 行。"
                                             "请缩小范围，或导出为 CSV 文件。")
                                  .arg(QLocale(QLocale::Chinese, QLocale::China).toString(rows)),
                              this);
        return false;
    }

    ExportTable table;
    QList<int> fields;
    for (int column : DBGrid1->shownColumns()) {
        const DbField *f = DBGrid1->columnField(column);
        if (!f)
            continue;
        fields << f->index();
        table.columns.append({DBGrid1->model()->headerData(column, Qt::Horizontal).toString(),
                              isNumericType(f->dataType()), std::min(f->displayWidth(), 60)});
    }
    table.rowCount = rows;
    // Read on the worker while this thread only shows the progress: the
    // window is modal and nothing else changes the query meanwhile.
    const DbQuery *companies = m_companies;
    table.cell = [companies, fields](int row, int column) {
        const int field = fields[column];
        return companies->cellIsNull(row, field) ? QString() : companies->cellText(row, field);
    };

    ExportProgress progress;
    ExportResult result;
    QThread *worker = QThread::create([&] { result = exportTable(table, format, fileName, progress); });
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(100);
    QProgressDialog *window = nullptr;
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (worker->isFinished()) {
            loop.quit();
            return;
        }
        if (!window)
            return;
        window->setValue(progress.rowsDone);
        if (progress.finishing)
            window->setLabelText(QStringLiteral("正在完成文件“%1”……").arg(QFileInfo(fileName).fileName()));
    });
    connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    worker->start();
    poll.start();

    // A short export ends before anything shows; the user's input waits meanwhile.
    QTimer::singleShot(kProgressDelayMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!worker->isFinished()) {
        window = new QProgressDialog(QStringLiteral("正在导出 %1 家企业到“%2”……")
                                         .arg(QLocale(QLocale::Chinese, QLocale::China).toString(rows),
                                              QFileInfo(fileName).fileName()),
                                     QStringLiteral("取消"), 0, rows, this);
        window->setObjectName(QStringLiteral("ExportProgress"));
        window->setWindowTitle(QStringLiteral("导出"));
        window->setWindowModality(Qt::ApplicationModal);
        window->setMinimumDuration(0);
        window->setAutoClose(false);
        window->setAutoReset(false);
        // Cancelling keeps the window up (and the program's other windows
        // closed to the user) until the worker has stopped.
        disconnect(window, &QProgressDialog::canceled, window, &QProgressDialog::cancel);
        connect(window, &QProgressDialog::canceled, window, [&progress, window] {
            progress.cancel = true;
            window->setLabelText(QStringLiteral("正在取消……"));
        });
        window->setValue(progress.rowsDone);
        window->show();
        if (!worker->isFinished())
            loop.exec();
    }
    // The message boxes below run event loops of their own: nothing may ask
    // after the worker once it is gone.
    poll.stop();
    worker->wait();
    delete worker;
    delete window;
    QGuiApplication::restoreOverrideCursor();

    if (result.outcome == ExportResult::Failed)
        platform::showMessage(QStringLiteral("导出失败。") + QLatin1Char('\r') + result.message, this);
    else if (result.outcome == ExportResult::Written)
        platform::showMessage(QStringLiteral("已将 %1 家企业导出到“%2”。")
                                  .arg(QLocale(QLocale::Chinese, QLocale::China).toString(rows),
                                       QDir::toNativeSeparators(fileName)),
                              this);
    return result.outcome == ExportResult::Written;
}
