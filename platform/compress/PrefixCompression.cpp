#include "platform/compress/PrefixCompression.h"

#include <zstd.h>

namespace platform::compress {

namespace {

// A window that holds a prefix of a few pages and the data after it.
constexpr int kWindowLog = 20;

struct Contexts
{
    ZSTD_CCtx *compress = ZSTD_createCCtx();
    ZSTD_DCtx *decompress = ZSTD_createDCtx();
    ~Contexts()
    {
        ZSTD_freeCCtx(compress);
        ZSTD_freeDCtx(decompress);
    }
};

// One pair per thread: pages are patched on several threads at once.
Contexts &contexts()
{
    thread_local Contexts local;
    return local;
}

} // namespace

qint64 frameBound(qint64 size)
{
    return qint64(ZSTD_compressBound(size_t(size)));
}

QByteArray compressAgainst(const QByteArray &data, const QByteArray &prefix, int level)
{
    ZSTD_CCtx *context = contexts().compress;
    ZSTD_CCtx_reset(context, ZSTD_reset_session_and_parameters);
    ZSTD_CCtx_setParameter(context, ZSTD_c_compressionLevel, level);
    ZSTD_CCtx_setParameter(context, ZSTD_c_windowLog, kWindowLog);
    ZSTD_CCtx_setParameter(context, ZSTD_c_checksumFlag, 1);
    if (!prefix.isEmpty())
        ZSTD_CCtx_refPrefix(context, prefix.constData(), size_t(prefix.size()));
    QByteArray frame(frameBound(data.size()), Qt::Uninitialized);
    const size_t written =
        ZSTD_compress2(context, frame.data(), size_t(frame.size()), data.constData(), size_t(data.size()));
    if (ZSTD_isError(written))
        return {};
    frame.truncate(qsizetype(written));
    return frame;
}

bool decompressAgainst(const char *frame, qint64 frameSize, const QByteArray &prefix, char *out, qint64 size)
{
    if (frameSize <= 0 || size < 0)
        return false;
    // The frame must say how much it holds, and hold exactly that.
    const unsigned long long content = ZSTD_getFrameContentSize(frame, size_t(frameSize));
    if (content == ZSTD_CONTENTSIZE_UNKNOWN || content == ZSTD_CONTENTSIZE_ERROR ||
        content != static_cast<unsigned long long>(size))
        return false;
    ZSTD_DCtx *context = contexts().decompress;
    ZSTD_DCtx_reset(context, ZSTD_reset_session_and_parameters);
    ZSTD_DCtx_setParameter(context, ZSTD_d_windowLogMax, kWindowLog);
    if (!prefix.isEmpty())
        ZSTD_DCtx_refPrefix(context, prefix.constData(), size_t(prefix.size()));
    const size_t written = ZSTD_decompressDCtx(context, out, size_t(size), frame, size_t(frameSize));
    return !ZSTD_isError(written) && written == size_t(size);
}

} // namespace platform::compress
