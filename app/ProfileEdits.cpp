#include "app/ProfileEdits.h"

#include "app/DatabaseFile.h"
#include "platform/db/DbConnection.h"
#include "platform/ui/MessageBox.h"

#include <QFileInfo>

namespace ProfileEdits {

QString sideFileFor(const QString &databaseFile)
{
    const QFileInfo database(databaseFile);
    return database.path() + QLatin1Char('/') + database.completeBaseName() + QStringLiteral(".edits");
}

platform::db::KeptEditsSettings settingsFor(const QString &databaseFile)
{
    platform::db::KeptEditsSettings settings;
    settings.path = sideFileFor(databaseFile);
    settings.table = QStringLiteral("Dorvak");
    settings.column = QStringLiteral("cCorpMemo");
    settings.keyColumns = {QStringLiteral("cCorpCName"), QStringLiteral("cCAdd")};
    settings.merge = mergedText;
    return settings;
}

QString mergedText(const QString &userText, const QString &newText)
{
    return userText + QStringLiteral("\r\n\r\n【新数据库中的公司简介】\r\n") + newText;
}

QString noticeText(const platform::db::CarryOverReport &report, const QString &sideFile)
{
    if (report.empty())
        return {};
    QString text;
    if (report.carried > 0) {
        text = QStringLiteral("数据库已更新，您修改过的 %1 条公司简介已转入新的数据库。").arg(report.carried);
        if (report.newTextKept > 0)
            text +=
                QStringLiteral("\r\n其中 %1 条公司简介在新的数据库中也有改动，新的内容已附在您的文字之后。")
                    .arg(report.newTextKept);
        if (report.missing > 0)
            text += QStringLiteral("\r\n另有 %1 条修改所属的公司在新的数据库中找不到，").arg(report.missing);
    } else {
        text = QStringLiteral("数据库已更新，您修改过的公司简介中有 %1 条所属的公司在新的数据库中找不到，")
                   .arg(report.missing);
    }
    if (report.missing > 0)
        text += QStringLiteral("这些修改仍保存在“%1”中，待数据库中再有这些公司时自动转入。").arg(sideFile);
    return text;
}

void tellCarriedEdits(platform::db::DbConnection &connection, QWidget *parent)
{
    const platform::db::CarryOverReport report = connection.carriedEditsNotice();
    if (report.empty())
        return;
    platform::showMessage(noticeText(report, connection.keptEdits().path), parent);
    connection.clearCarriedEditsNotice();
}

} // namespace ProfileEdits
