#include "upgrade/suSelfUpdaterNotices.h"

#include "upgrade/suSelfUpdaterMessages.h"

namespace {

// Identifiers of message 0 of the two Chinese tables.
constexpr int kChineseTraditionalBase = 42000;
constexpr int kChineseSimplifiedBase = 42050;

const char *const English[] = {
    "The file %s could not be written to the program folder.\r\rThe upgrade has been stopped; nothing was "
    "installed.",
    "The downloaded file %s is damaged or has been altered (its checksum does not match).\r\rThe upgrade has "
    "been stopped; nothing was installed.",
    "The upgrade program could not be started.\r\rThe upgrade has been stopped; nothing was installed.",
};

const char *const ChineseSimplified[] = {
    "无法在程序目录中写入文档%s，\r\r升级操作已停止，没有安装任何文档。",
    "下载的文档%s已损坏或被改动（校验和不符），\r\r升级操作已停止，没有安装任何文档。",
    "无法启动升级程序，\r\r升级操作已停止，没有安装任何文档。",
};

const char *const ChineseTraditional[] = {
    "無法在程式目錄中寫入文件%s，\r\r升級操作已停止，沒有安裝任何文件。",
    "下載的文件%s已損壞或被改動（校驗和不符），\r\r升級操作已停止，沒有安裝任何文件。",
    "無法啟動升級程式，\r\r升級操作已停止，沒有安裝任何文件。",
};

} // namespace

QString suUpdaterNotice(TsuUpdaterNotice notice)
{
    const int index = static_cast<int>(notice);
    switch (suMessageBase()) {
    case kChineseSimplifiedBase:
        return QString::fromUtf8(ChineseSimplified[index]);
    case kChineseTraditionalBase:
        return QString::fromUtf8(ChineseTraditional[index]);
    default:
        return QString::fromUtf8(English[index]);
    }
}
