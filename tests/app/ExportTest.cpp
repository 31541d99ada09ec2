#include "AppFixture.h"

#include "app/ResultExport.h"
#include "app/uBrowsePanel.h"
#include "platform/db/DbGrid.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>

using namespace platform::db;

namespace {

// Reads an exported file back with the readers a user's scripts would use
// (Python's csv module, openpyxl) and prints its rows as JSON lists of text.
const char *const kReadBack = R"(
import csv, json, sys
path = sys.argv[1]
if path.endswith('.xlsx'):
    import openpyxl
    sheet = openpyxl.load_workbook(path, read_only=True).active
    def text(v):
        if v is None:
            return ''
        if isinstance(v, float) and v.is_integer():
            return str(int(v))
        return str(v)
    # A spreadsheet program reads _xHHHH_ in a cell's text as the character
    # U+HHHH, left to right; openpyxl leaves inline strings as they are.
    import re
    escape = re.compile('_x([0-9A-Fa-f]{4})_')
    def shown(t):
        return escape.sub(lambda m: chr(int(m.group(1), 16)), t)
    rows = [[shown(text(v)) for v in row] for row in sheet.iter_rows(values_only=True)]
else:
    raw = open(path, 'rb').read()
    if not raw.startswith(b'\xef\xbb\xbf'):
        sys.exit('no byte-order mark')
    with open(path, encoding='utf-8-sig', newline='') as f:
        rows = list(csv.reader(f))
json.dump(rows, sys.stdout, ensure_ascii=False)
)";

QList<QStringList> readBack(const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QLatin1String(kReadBack), path});
    EXPECT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    QList<QStringList> rows;
    for (const QJsonValue &row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        QStringList cells;
        for (const QJsonValue &cell : row.toArray())
            cells << cell.toString();
        rows << cells;
    }
    return rows;
}

} // namespace

class ExportTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(startMainForm({
            testdb::companyInsert(QStringLiteral("北京\"光明\",软件公司"), QStringLiteral("北京市"), 1,
                                  QStringLiteral("www.gm.cn"),
                                  QStringLiteral("第一行，\"引号\",逗号\r\n第二行\n第三行")),
            testdb::companyInsert(QStringLiteral("安徽机械厂"), QStringLiteral("安徽省"), 0),
            testdb::companyInsert(QStringLiteral("北京化工"), QStringLiteral("北京市"), 0, {},
                                  QStringLiteral("  前后空格 _x0041_ _X00e9__x005F_x0042_ __x0043_  ")),
            testdb::companyInsert(QStringLiteral("鑫达贸易"), QStringLiteral("北京市"), 1),
        }));
        form->SideBarHeaders0Buttons0Click();
        panel = form->Pal_1;
        companies = dm->ADOQryDVPack;
    }

    // What the grid shows now: its titles, then every row's whole text, the
    // columns in the grid's order.
    QList<QStringList> gridRows() const
    {
        DbGrid *grid = panel->DBGrid1;
        QStringList titles;
        QList<int> fields;
        for (int column : grid->shownColumns()) {
            titles << grid->model()->headerData(column, Qt::Horizontal).toString();
            fields << grid->columnField(column)->index();
        }
        QList<QStringList> rows{titles};
        for (int r = 0; r < companies->recordCount(); ++r) {
            QStringList cells;
            for (int f : fields)
                cells << (companies->cellIsNull(r, f) ? QString() : companies->cellText(r, f));
            rows << cells;
        }
        return rows;
    }

    TBrowsePanel *panel = nullptr;
    DbQuery *companies = nullptr;
};

// The files hold the rows shown, after the tree's filter and the sort, with
// the grid's titles, every text exactly: Chinese, quotes, commas, line breaks,
// and text that looks like a workbook's own escapes.
TEST_F(ExportTest, CsvAndWorkbookReadBackAsTheGridShowsTheRows)
{
    panel->TreeView1->setCurrentItem(
        panel->TreeView1->findItems(QStringLiteral("(010)北京市"), Qt::MatchExactly | Qt::MatchRecursive)
            .value(0));
    companies->setSort(QStringLiteral("cCorpCName DESC"));
    const QList<QStringList> expected = gridRows();
    ASSERT_EQ(expected.size(), 1 + 3);
    ASSERT_EQ(expected[1][1], QStringLiteral("鑫达贸易")) << "the sort is in force";

    // The closing word runs an event loop of its own, as a real message box does.
    platform::setMessageHandler(
        [this](const QString &caption, const QString &text, platform::MessageButtons) {
            QTest::qWait(300);
            messages << caption + QLatin1Char('|') + text;
            return int(platform::mrOk);
        });
    for (const QString &name : {QStringLiteral("名录.csv"), QStringLiteral("名录.xlsx")}) {
        const QString path = dir.file(name);
        ASSERT_TRUE(panel->ExportList(path)) << name.toStdString();
        const QList<QStringList> written = readBack(path);
        ASSERT_EQ(written.size(), expected.size()) << name.toStdString();
        for (int r = 0; r < expected.size(); ++r) {
            QStringList want = expected[r];
            // A workbook cell breaks its lines with a bare line feed.
            if (name.endsWith(QLatin1String(".xlsx")))
                for (QString &cell : want)
                    cell.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            EXPECT_EQ(written[r], want) << name.toStdString() << " row " << r;
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".tmp")),
                  QStringList());
    }
    EXPECT_EQ(messages.size(), 2) << "one word of success each";
}

// A cancelled export, early or late, leaves what the name held untouched and
// no file of its own beside it; a failed one says why.
TEST_F(ExportTest, CancelledOrFailedExportLeavesTheOldFileAsItWas)
{
    ExportTable table;
    table.columns = {{QStringLiteral("公司名称")}, {QStringLiteral("邮编"), true}};
    table.rowCount = 50;
    for (ExportFormat format : {ExportFormat::Csv, ExportFormat::Xlsx}) {
        for (int cancelAt : {0, 30}) {
            TempDir folder;
            const QString target = folder.file(QStringLiteral("old.out"));
            QFile old(target);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("the old file");
            old.close();

            ExportProgress progress;
            progress.cancel = cancelAt == 0;
            table.cell = [&](int row, int column) {
                if (row == cancelAt)
                    progress.cancel = true;
                return column == 0 ? QStringLiteral("公司%1").arg(row) : QString::number(100000 + row);
            };
            const ExportResult result = exportTable(table, format, target, progress);
            EXPECT_EQ(result.outcome, ExportResult::Cancelled);
            ASSERT_TRUE(old.open(QIODevice::ReadOnly));
            EXPECT_EQ(old.readAll(), QByteArray("the old file"));
            old.close();
            EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                      QStringList{QStringLiteral("old.out")});
        }
    }

    ExportProgress progress;
    table.cell = [](int, int) { return QStringLiteral("x"); };
    const ExportResult failed =
        exportTable(table, ExportFormat::Csv, dir.file(QStringLiteral("missing/folder/a.csv")), progress);
    EXPECT_EQ(failed.outcome, ExportResult::Failed);
    EXPECT_FALSE(failed.message.isEmpty());
}
