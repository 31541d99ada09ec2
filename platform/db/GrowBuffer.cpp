#include "platform/db/GrowBuffer.h"

#include <sys/mman.h>
#include <unistd.h>

namespace platform::db::detail {

std::size_t pageRounded(std::size_t bytes)
{
    static const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

void *remapStorage(void *old, std::size_t oldBytes, std::size_t newBytes)
{
    if (newBytes == 0) {
        if (old)
            munmap(old, oldBytes);
        return nullptr;
    }
    void *p = old ? mremap(old, oldBytes, newBytes, MREMAP_MAYMOVE)
                  : mmap(nullptr, newBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    // Large buffers use huge pages where the system offers them, and the
    // new part is mapped in one call instead of one fault per page.
    if (newBytes >= (std::size_t(4) << 20))
        madvise(p, newBytes, MADV_HUGEPAGE);
    if (newBytes > oldBytes) {
#ifdef MADV_POPULATE_WRITE
        madvise(static_cast<char *>(p) + oldBytes, newBytes - oldBytes, MADV_POPULATE_WRITE);
#endif
    }
    return p;
}

} // namespace platform::db::detail
