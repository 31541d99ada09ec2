#include "query/uFindCheckSetModel.h"

#include <algorithm>

namespace findquery {

namespace {

// Entry `text` of a list, where text is a decimal position; empty when the
// text is no position of the list.
QString entryAt(const QStringList &list, const QString &text, int offset = 0)
{
    bool ok = false;
    const int i = text.trimmed().toInt(&ok) + offset;
    return ok && i >= 0 && i < list.size() ? list[i] : QString();
}

} // namespace

bool sameText(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    auto fold = [](QChar c) { return c >= u'a' && c <= u'z' ? QChar(c.unicode() - 32) : c; };
    for (qsizetype i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i]))
            return false;
    return true;
}

TypeClass typeClassOf(const QString &code)
{
    const QString c = code.trimmed();
    for (const char *numeric : {"2", "3", "6", "7", "25"})
        if (sameText(c, QLatin1String(numeric)))
            return TypeClass::Numeric;
    if (sameText(c, QLatin1String("9")) || sameText(c, QLatin1String("11")))
        return TypeClass::Date;
    return TypeClass::Text;
}

QStringList comparisonWords()
{
    return {QStringLiteral("等于"), QStringLiteral("大于"),     QStringLiteral("大于等于"),
            QStringLiteral("小于"), QStringLiteral("小于等于"), QStringLiteral("不等于"),
            QStringLiteral("包含")};
}

QString comparisonOperator(const QString &word)
{
    static const char *const operators[] = {"=", ">", ">=", "<", "<=", "<>", "like"};
    const qsizetype i = comparisonWords().indexOf(word);
    return i < 0 ? QString() : QLatin1String(operators[i]);
}

QStringList connectorItems()
{
    return {QString(),
            QStringLiteral("and"),
            QStringLiteral("or"),
            QStringLiteral("and ("),
            QStringLiteral(") and"),
            QStringLiteral("or ("),
            QStringLiteral(") or"),
            QStringLiteral(")")};
}

QString normaliseNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    // toInt stops reading at a NUL character and still reports success, so
    // the text itself must be a sign and ASCII digits and nothing else.
    const qsizetype first = trimmed.startsWith(u'+') || trimmed.startsWith(u'-') ? 1 : 0;
    const bool digitsOnly =
        trimmed.size() > first &&
        std::all_of(trimmed.begin() + first, trimmed.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    bool ok = false;
    if (digitsOnly)
        trimmed.toInt(&ok, 10);
    return ok ? trimmed : QStringLiteral("0");
}

QString escapeQuotes(const QString &text)
{
    QString escaped = text;
    escaped.remove(QChar(0));
    return escaped.replace(QLatin1Char('\''), QLatin1String("''"));
}

bool isComplete(const ConditionRow &row)
{
    return !row[ccLabel].trimmed().isEmpty() && !row[ccCompare].trimmed().isEmpty() &&
           !row[ccValue].trimmed().isEmpty();
}

QString buildWhereText(std::vector<ConditionRow> &rows, const QStringList &fieldNames)
{
    const int last = int(rows.size());
    QString conditions;
    QString op;
    for (int r = 1; r <= last; ++r) {
        ConditionRow &row = rows[r - 1];
        if (!isComplete(row))
            continue;
        const QString field = entryAt(fieldNames, row[ccFieldIndex]);

        const QString value = row[ccValue].trimmed();
        QString literal;
        // A numeric row's value may still hold text typed while the row had
        // a text field, or pasted past the editor's filter.
        if (isNumericCode(row[ccType]))
            literal = normaliseNumber(value);
        else if (row[ccCompare].trimmed() == QStringLiteral("包含"))
            literal = QStringLiteral("'%") + escapeQuotes(value) + QStringLiteral("%'");
        else
            literal = QLatin1Char('\'') + escapeQuotes(value) + QLatin1Char('\'');

        QString connector = row[ccConnector].trimmed();
        if (connector.isEmpty() && r < last) {
            for (int next = r + 1; next <= last; ++next) {
                if (isComplete(rows[next - 1])) {
                    row[ccConnector] = connector = QStringLiteral("and");
                    break;
                }
            }
        }

        // An unknown comparison keeps the operator of the row before.
        if (const QString o = comparisonOperator(row[ccCompare].trimmed()); !o.isEmpty())
            op = o;

        const QString condition =
            QLatin1Char(' ') + field + QLatin1Char(' ') + op + QLatin1Char(' ') + literal;
        // The grid's last row drops its connector, except a closing parenthesis.
        if (r == last && connector != QLatin1String(")"))
            conditions += condition + QLatin1Char(' ');
        else
            conditions += condition + QLatin1Char(' ') + connector + QLatin1Char(' ');
    }
    return conditions.isEmpty() ? QString() : QStringLiteral(" Where ") + conditions;
}

std::optional<ConditionProblem> findConditionProblem(const std::vector<ConditionRow> &rows)
{
    const int last = int(rows.size());
    const auto problem = [](int row, const QString &text) { return ConditionProblem{row, text.arg(row)}; };

    // A row the user began: what it lacks is named with the grid's own titles.
    for (int r = 1; r <= last; ++r) {
        const ConditionRow &row = rows[r - 1];
        const bool label = !row[ccLabel].trimmed().isEmpty();
        const bool compare = !row[ccCompare].trimmed().isEmpty();
        const bool value = !row[ccValue].trimmed().isEmpty();
        if (isComplete(row) || !(value || (label && compare)))
            continue;
        QStringList missing;
        if (!label)
            missing << QStringLiteral("“搜索主题”");
        if (!compare)
            missing << QStringLiteral("“搜索条件”");
        if (!value)
            missing << QStringLiteral("“搜索内容”");
        return problem(r, QStringLiteral("查询条件不完整：第%1行缺少") + missing.join(QStringLiteral("和")) +
                              QStringLiteral("，请补全后再查询！"));
    }

    // The connectors of the complete rows, as the builder writes them.
    std::vector<int> complete;
    for (int r = 1; r <= last; ++r)
        if (isComplete(rows[r - 1]))
            complete.push_back(r);
    std::vector<int> open; // rows whose "(" is not closed yet
    int awaiting = 0;      // a row whose connector waits for a condition
    QString awaitingText;
    for (std::size_t i = 0; i < complete.size(); ++i) {
        const int r = complete[i];
        const bool more = i + 1 < complete.size();
        QString connector = rows[r - 1][ccConnector].trimmed();
        if (connector.isEmpty() && more)
            connector = QStringLiteral("and");
        if (r == last && connector != QLatin1String(")")) {
            // The builder drops the grid's last connector: with it goes the
            // ")" of ") and" and ") or", which a "(" may still wait for.
            if (connector.startsWith(QLatin1Char(')')) && !open.empty())
                return problem(r, QStringLiteral("查询条件不完整：第%1行的条件关系“") + connector +
                                      QStringLiteral("”后面缺少条件，请补全后再查询！"));
            connector.clear();
        }
        awaiting = 0;

        const bool opens = connector == QLatin1String("and (") || connector == QLatin1String("or (");
        const bool closes = connector.startsWith(QLatin1Char(')'));
        const bool joins = connector == QLatin1String("and") || connector == QLatin1String("or") ||
                           connector == QLatin1String(") and") || connector == QLatin1String(") or");
        if (!connector.isEmpty() && !opens && !joins && connector != QLatin1String(")"))
            return problem(r, QStringLiteral("查询条件有误：第%1行的条件关系“") + connector +
                                  QStringLiteral("”无法识别，请重新选择！"));
        if (closes) {
            if (open.empty())
                return problem(r, QStringLiteral("查询条件有误：第%1行的“)”没有对应的“(”，请核实！"));
            open.pop_back();
            if (connector == QLatin1String(")") && more)
                return problem(r, QStringLiteral("查询条件不完整：第%1行的“)”与下一个条件之间缺少"
                                                 "“and”或“or”，请补全后再查询！"));
        }
        if (opens)
            open.push_back(r);
        if (opens || joins) {
            awaiting = r;
            awaitingText = connector;
        }
    }
    if (awaiting > 0)
        return problem(awaiting, QStringLiteral("查询条件不完整：第%1行的条件关系“") + awaitingText +
                                     QStringLiteral("”后面缺少条件，请补全后再查询！"));
    if (!open.empty())
        return problem(open.back(),
                       QStringLiteral("查询条件不完整：第%1行的“(”没有对应的“)”，请补全后再查询！"));
    return std::nullopt;
}

QString checkMark()
{
    return QStringLiteral("√");
}

std::vector<DisplayRow> displayRowsFor(const QStringList &labels)
{
    const int n = int(labels.size());
    std::vector<DisplayRow> rows(std::max(1, (n + 1) / 2));
    for (int p = 0; p <= n - 1; p += 2) {
        DisplayRow &row = rows[p / 2];
        row[dcMark1] = checkMark();
        row[dcLabel1] = labels[p];
        if (p < n - 1) {
            row[dcMark2] = checkMark();
            row[dcLabel2] = labels[p + 1];
        }
        row[dcPosition] = QString::number(p);
    }
    return rows;
}

void chooseItems(const std::vector<DisplayRow> &rows, const QStringList &fieldNames, QStringList &names,
                 QStringList &labels)
{
    names.clear();
    labels.clear();
    auto add = [&](const QString &name, const QString &label) {
        if (names.size() < kMaxChosenItems) {
            names << name;
            labels << label;
        }
    };
    for (const DisplayRow &row : rows) {
        const QString first = row[dcLabel1].trimmed();
        if (row[dcMark1].trimmed() == checkMark() && !first.isEmpty())
            add(entryAt(fieldNames, row[dcPosition]), first);
        const QString second = row[dcLabel2].trimmed();
        if (row[dcMark2].trimmed() == checkMark() && !second.isEmpty())
            add(entryAt(fieldNames, row[dcPosition], 1), second);
    }
}

QStringList composeSqlLines(const QString &selectList, const QString &fromText, const QString &whereText)
{
    return {QStringLiteral("SELECT "), selectList.isEmpty() ? QStringLiteral("*") : selectList, fromText,
            whereText};
}

} // namespace findquery
