#include "platform/stream/FormFile.h"

#include "platform/stream/StreamError.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>

namespace platform::stream {

void SaveStreamFile(const QString &path, const std::function<void(QIODevice &)> &write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("无法创建文件 %1：%2").arg(path, file.errorString()));
    write(file);
    if (!file.commit())
        throw FileError(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
}

void LoadStreamFile(const QString &path, const std::function<void(QIODevice &)> &read)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("无法打开文件 %1：%2").arg(path, file.errorString()));
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("无法读取文件 %1：%2").arg(path, file.errorString()));
    file.close();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    read(buffer);
}

} // namespace platform::stream
