#include "app/SearchCommand.h"

#include "app/DataLocation.h"
#include "app/uBrowsePanel.h"
#include "app/uDMForm.h"
#include "platform/db/Database.h"
#include "query/CompanySearch.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTextStream>

using namespace platform::db;

namespace {

enum class Format { Tsv, Csv, Json };

// A value as one field of a TSV line: tabs, line breaks and backslashes
// written as \t, \n, \r and \\, so each company stays one line.
QString tsvField(QString value)
{
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    value.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    value.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return value;
}

// RFC 4180: a field holding a comma, a quote or a line break goes in
// quotes, its quotes doubled.
QString csvField(const QString &value)
{
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) &&
        !value.contains(QLatin1Char('\r')) && !value.contains(QLatin1Char('\n')))
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString line(const QStringList &fields, Format format)
{
    QStringList written;
    for (const QString &f : fields)
        written << (format == Format::Csv ? csvField(f) : tsvField(f));
    return written.join(format == Format::Csv ? QLatin1Char(',') : QLatin1Char('\t')) +
           (format == Format::Csv ? QLatin1String("\r\n") : QLatin1String("\n"));
}

} // namespace

QString SearchCommandUsage()
{
    return QStringLiteral("用法：velmora-search [--db 文件] [--csv|--json] [--] 词...\n"
                          "按输入框的规则查找企业（名称、拼音、首字母、地址、电话…），按窗口中的顺序列出。\n"
                          "  --db 文件   查找这个数据库（默认：程序使用的数据库）\n"
                          "  --csv       以 CSV 输出（默认：制表符分隔，第一行为标题）\n"
                          "  --json      以 JSON 输出\n"
                          "  --          其后都是查找词（如要排除的 -词）\n"
                          "退出状态：找到为 0，未找到为 1，出错为 2。\n");
}

int RunSearchCommand(const QStringList &arguments, const QString &programFolder, QTextStream &out,
                     QTextStream &err)
{
    QString database;
    Format format = Format::Tsv;
    QStringList words;
    bool options = true;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            out << SearchCommandUsage();
            return 0;
        } else if (options && a == QLatin1String("--db")) {
            if (i + 1 >= arguments.size()) {
                err << "velmora-search: --db 后面缺少数据库文件\n";
                return 2;
            }
            database = arguments[++i];
        } else if (options && a.startsWith(QLatin1String("--db="))) {
            database = a.mid(5);
        } else if (options && a == QLatin1String("--csv")) {
            format = Format::Csv;
        } else if (options && a == QLatin1String("--json")) {
            format = Format::Json;
        } else if (options && a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            err << QStringLiteral("velmora-search: 未知的选项 %1（要排除的词请写在 -- 之后）\n").arg(a);
            err << SearchCommandUsage();
            return 2;
        } else {
            words << a;
        }
    }
    if (words.join(QString()).trimmed().isEmpty()) {
        err << "velmora-search: 缺少查找词\n" << SearchCommandUsage();
        return 2;
    }
    if (database.isEmpty())
        database = DatabaseFolder(programFolder) + QStringLiteral("dorvak.dat");
    const QFileInfo file(database);
    if (!file.exists()) {
        err << QStringLiteral("velmora-search: 找不到数据库文件 %1\n").arg(database);
        return 2;
    }
    if (!file.isFile() || !file.isReadable()) {
        err << QStringLiteral("velmora-search: 无法读取数据库文件 %1\n").arg(database);
        return 2;
    }

    DbConnection connection;
    DbQuery companies;
    try {
        connection.setLoginPrompt(false);
        connection.setConnectionString(TDMForm::ConnectionStringFor(file.absoluteFilePath()));
        connection.setConnected(true);
        companies.setConnection(&connection);
        companies.setSqlText(QString::fromUtf8(TBrowsePanel::kCompanyListSql));
        companies.open();
    } catch (const DbError &e) {
        err << QStringLiteral(
                   "velmora-search: 无法打开数据库 %1（口令不符、文件已损坏或不是企业数据库）：%2\n")
                   .arg(database, e.message());
        return 2;
    }
    try {
        ApplyCompanySearch(&companies, words.join(QLatin1Char(' ')));
    } catch (const DbError &e) {
        err << QStringLiteral("velmora-search: 查找失败：%1\n").arg(e.message());
        return 2;
    }

    const int fields = companies.fieldCount();
    const int rows = companies.recordCount();
    if (format == Format::Json) {
        out << "[";
        for (int r = 0; r < rows; ++r) {
            QJsonObject company;
            for (int f = 0; f < fields; ++f)
                company.insert(companies.field(f)->fieldName(), companies.cellIsNull(r, f)
                                                                    ? QJsonValue()
                                                                    : QJsonValue(companies.cellText(r, f)));
            out << (r ? ",\n " : "\n ")
                << QString::fromUtf8(QJsonDocument(company).toJson(QJsonDocument::Compact));
        }
        out << (rows ? "\n]\n" : "]\n");
    } else {
        QStringList titles;
        for (int f = 0; f < fields; ++f)
            titles << TBrowsePanel::DisplayLabelOf(companies.field(f)->fieldName());
        out << line(titles, format);
        for (int r = 0; r < rows; ++r) {
            QStringList values;
            for (int f = 0; f < fields; ++f)
                values << companies.cellText(r, f);
            out << line(values, format);
        }
    }
    out.flush();
    err << QStringLiteral("找到 %1 家企业\n").arg(QLocale(QLocale::Chinese, QLocale::China).toString(rows));
    return rows > 0 ? 0 : 1;
}
