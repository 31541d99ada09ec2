#include "platform/db/DatabaseFingerprint.h"

#include <QFile>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::db {

namespace {

// The salt of an encrypted database (or the text "SQLite format 3" of a plain one).
constexpr int kHeadBytes = 16;

} // namespace

DatabaseFingerprint DatabaseFingerprint::of(const QString &path)
{
    DatabaseFingerprint print;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return print;
    struct stat info
    {
    };
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        print.device = std::uint64_t(info.st_dev);
        print.inode = std::uint64_t(info.st_ino);
        print.size = std::int64_t(info.st_size);
        print.modifiedNs = std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
        char head[kHeadBytes];
        const ssize_t read = ::pread(fd, head, kHeadBytes, 0);
        if (read > 0)
            print.head = QByteArray(head, int(read));
    }
    ::close(fd);
    return print;
}

QString DatabaseFingerprint::toText() const
{
    return QStringLiteral("%1:%2:%3:%4:%5")
        .arg(device)
        .arg(inode)
        .arg(size)
        .arg(modifiedNs)
        .arg(QString::fromLatin1(head.toHex()));
}

DatabaseFingerprint DatabaseFingerprint::fromText(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    DatabaseFingerprint print;
    if (parts.size() != 5)
        return print;
    bool ok[4] = {};
    print.device = parts[0].toULongLong(&ok[0]);
    print.inode = parts[1].toULongLong(&ok[1]);
    print.size = parts[2].toLongLong(&ok[2]);
    print.modifiedNs = parts[3].toLongLong(&ok[3]);
    print.head = QByteArray::fromHex(parts[4].toLatin1());
    if (!ok[0] || !ok[1] || !ok[2] || !ok[3])
        return {};
    return print;
}

} // namespace platform::db
