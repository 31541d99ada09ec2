#include "upgrade/suSelfUpdaterMessages.h"

#include <QCoreApplication>

// Interim table: English and Simplified Chinese only, wlAuto gives English.
// The full set of languages and the system-language choice replace this.
namespace {

const char *const English[31] = {
    "Application update wizard",
    "Downloading files...",
    "Upgrade completed!",
    "Current file",
    "All files",
    "Downloading file from",
    "File size: %.1f Kb",
    "Transfer rate: %.1f Kb/s",
    "Estimated time left: %d:%.2d:%.2d",
    "Downloading %d of %d",
    "The update of %s has been successfully completed.\r\rPress the OK button to restart program.",
    "Enter password",
    "User Name",
    "Password",
    "&Yes",
    "&No",
    "&OK",
    "&Cancel",
    "&Next >",
    "&Later",
    "Warning",
    "Error",
    "Preparing. . .",
    "A newer version of %s was released.\n%s\nDo you want to update your version with the latest one?",
    "Newer version not found. You actually are\rusing most recent version of this program.",
    "File which contains upgrade information was not found on developer's site.",
    "Host %s unreachable.\r\rPlease check your Internet connection and\rtry to upgrade this software again later.",
    "The update is not completed.\rWould you like to abort upgrading?",
    "File %s not found or inaccessible.\r\rTry to skip this file and continue upgrade?",
    "Access to remote file \"%s\" is password protected.\n\nPlease enter your username and password (received "
    "after registration) to continue software upgrade.",
    "Connection with remote server lost.\r\rPlease restore connection and try to\rupgrade this software again "
    "later.",
};

const char *const ChineseSimplified[31] = {
    "软件升级精灵",
    "文档下载中",
    "升级完成！",
    "当前的文档",
    "全部的文档",
    "文档下载源",
    "文档大小:%.1f Kb",
    "传输速率:%.1f Kb/s",
    "估计剩余时间: %d:%.2d:%.2d",
    "当前正在下载:%d of %d",
    "%s 已经升级完成，\r\r请按[确定]键重新启动程序",
    "请输入密码",
    "帐号",
    "密码",
    "[&Y]是",
    "[&N]否",
    "[&O]确定",
    "[&C]取消",
    "[&N]下一个>",
    "[&L]稍等一下",
    "警告",
    "错误",
    "准备中",
    "%s已经有新版本推出，\n%s\n您要升级到新版本吗？",
    "没有发现新的版本，您目前已经是最新版本。",
    "在服务器中无法找到升级的相关信息。",
    "无法与服务器%s连接。\r\r请检查您的internet设定之后再进行升级操作。",
    "升级操作尚未完成，\r您确定要放弃升级吗？",
    "文档%s找不到或者发生错误，\r\r您要忽略这个文档并且继续升级操作吗？",
    "远端的文档\"%s\"被密码保护，\n\n请输入您的帐号及密码[注册用户]来继续进行升级操作。",
    "与远端服务器的连接中断，\r\r请重新连接后再进行升级操作。",
};

int g_base = 41000;

} // namespace

void suSetLanguage(TsuSelfUpdaterLanguage language)
{
    if (language == wlAuto)
        language = wlEnglish;
    g_base = 41000 + 50 * (int(language) - 1);
}

int suMessageBase() { return g_base; }

QString suString(int id)
{
    if (id >= 41000 && id <= 41030)
        return QString::fromUtf8(English[id - 41000]);
    if (id >= 42050 && id <= 42080)
        return QString::fromUtf8(ChineseSimplified[id - 42050]);
    if (id == 40997)
        return QStringLiteral("<AppTitle>");
    return {};
}

QString suMessage(int i)
{
    const QString text = suString(suMessageBase() + i);
    return text.isEmpty() ? suString(41000 + i) : text;
}

QString suApplicationTitle() { return QCoreApplication::applicationName(); }
