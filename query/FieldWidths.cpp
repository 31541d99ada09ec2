#include "query/FieldWidths.h"

#include "platform/db/DbQuery.h"
#include "platform/os/Gb2312.h"

#include <QRegularExpression>

#include <algorithm>

void SizeFieldsToCurrentRow(platform::db::DbQuery *query)
{
    for (int i = 0; i < query->fieldCount(); ++i) {
        platform::db::DbField *f = query->field(i);
        const QString value = f->asString();
        f->setDisplayWidth(value.isEmpty() ? 10 : platform::gb2312Length(value) + 10);
    }
}

namespace {

QString firstLine(const QString &text)
{
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    return end < 0 ? text : text.left(end);
}

} // namespace

void SizeFieldsToFirstRows(platform::db::DbQuery *query, int rows)
{
    rows = std::min(std::max(rows, kFirstScreenRows), query->recordCount());
    for (int i = 0; i < query->fieldCount(); ++i) {
        platform::db::DbField *f = query->field(i);
        int widest = 0;
        for (int row = 0; row < rows; ++row)
            widest = std::max(widest, platform::gb2312Length(firstLine(query->cellText(row, i))));
        // The title with room for the arrow of a sorted column.
        const int title = platform::gb2312Length(f->displayLabel()) + 4;
        const int width = widest == 0 ? 10 : widest + 10;
        f->setDisplayWidth(std::clamp(std::max(width, title), 10, kMaxDisplayWidth));
    }
}
