#include "platform/os/BulkFileWriter.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::unique_ptr<BulkFileWriter> BulkFileWriter::create(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    ::unlink(name.constData());
    constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    bool direct = true;
    int fd = ::open(name.constData(), flags | O_DIRECT, 0600);
    if (fd < 0 && errno == EINVAL) {
        // A file system without direct writes (tmpfs, some network file systems).
        direct = false;
        fd = ::open(name.constData(), flags, 0600);
    }
    if (fd < 0)
        return nullptr;
    if (::fchmod(fd, 0600) != 0) {
        ::close(fd);
        ::unlink(name.constData());
        return nullptr;
    }
    return std::unique_ptr<BulkFileWriter>(new BulkFileWriter(fd, direct));
}

BulkFileWriter::~BulkFileWriter()
{
    close();
}

void BulkFileWriter::stopDirect()
{
    if (!m_direct)
        return;
    m_direct = false;
    const int flags = ::fcntl(m_fd, F_GETFL);
    if (flags < 0 || ::fcntl(m_fd, F_SETFL, flags & ~O_DIRECT) != 0)
        m_ok = false;
}

bool BulkFileWriter::writeAll(const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno == EINVAL && m_direct) {
            // The device wants a larger alignment than the one assumed.
            stopDirect();
            continue;
        }
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

bool BulkFileWriter::write(const char *data, qint64 size)
{
    if (m_fd < 0 || !m_ok)
        return false;
    if (m_direct && (reinterpret_cast<quintptr>(data) % kAlignment != 0 || size % kAlignment != 0))
        stopDirect();
    m_ok = m_ok && writeAll(data, size);
    return m_ok;
}

bool BulkFileWriter::close()
{
    if (m_fd < 0)
        return m_ok;
    if (::close(m_fd) != 0)
        m_ok = false;
    m_fd = -1;
    return m_ok;
}

void BulkFileWriter::FreeAligned::operator()(char *p) const
{
    std::free(p);
}

BulkFileWriter::AlignedBuffer BulkFileWriter::alignedBuffer(qint64 size)
{
    const qint64 rounded = (size + kAlignment - 1) / kAlignment * kAlignment;
    return AlignedBuffer(static_cast<char *>(std::aligned_alloc(size_t(kAlignment), size_t(rounded))));
}

} // namespace platform
