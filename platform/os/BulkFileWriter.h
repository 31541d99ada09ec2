#pragma once

#include <QString>

#include <memory>

namespace platform {

// Writes a large new file front to back past the page cache (O_DIRECT)
// where the file system allows it, and through the cache where it does not.
// A file of gigabytes that nobody reads until it is checked and swapped in
// would otherwise push everything else out of the cache, and filling fresh
// cache pages costs more than the writing itself on some machines.
//
// The file is created as createFreshFile creates it (a name freed first,
// O_EXCL, O_NOFOLLOW, mode 0600). Blocks handed to write() go to the disk
// directly when they start on a 4 KiB boundary in memory and are a whole
// number of 4 KiB blocks long (alignedBuffer() gives such memory); any
// other write, and every write after it, goes through the cache.
class BulkFileWriter
{
public:
    static constexpr qint64 kAlignment = 4096;

    // Nothing when the file cannot be created.
    static std::unique_ptr<BulkFileWriter> create(const QString &path);
    ~BulkFileWriter();
    BulkFileWriter(const BulkFileWriter &) = delete;
    BulkFileWriter &operator=(const BulkFileWriter &) = delete;

    bool write(const char *data, qint64 size);
    // Closes the file; false when a write or the closing failed.
    bool close();

    // Memory for blocks of write(), aligned for the disk.
    struct FreeAligned
    {
        void operator()(char *p) const;
    };
    using AlignedBuffer = std::unique_ptr<char[], FreeAligned>;
    static AlignedBuffer alignedBuffer(qint64 size);

private:
    explicit BulkFileWriter(int fd, bool direct) : m_fd(fd), m_direct(direct) {}
    bool writeAll(const char *data, qint64 size);
    void stopDirect();

    int m_fd = -1;
    bool m_direct = false;
    bool m_ok = true;
};

} // namespace platform
