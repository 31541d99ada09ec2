#include "platform/ui/JpegDecoder.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio> // jpeglib.h uses FILE and size_t without including their headers

#include <jpeglib.h>

namespace platform {

namespace {

// libjpeg reports faults by calling error_exit, which by default ends the
// process. Ours jumps back into the decoding step that is running instead;
// the steps below hold no C++ objects, so the jump skips no destructor.
struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

struct Session
{
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    // Safe on a struct that never got as far as jpeg_create_decompress: it
    // only frees what the memory manager holds.
    ~Session() { jpeg_destroy_decompress(&cinfo); }
};

[[noreturn]] void jumpWithMessage(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    err->pub.format_message(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Level -1 is a warning about corrupt or missing data, after which libjpeg
// would go on with made-up pixels; for us that is a failed decode. Higher
// levels are trace output and are dropped, as is any printing to stderr.
void warningIsFatal(j_common_ptr cinfo, int level)
{
    if (level < 0)
        jumpWithMessage(cinfo);
}

void printNothing(j_common_ptr) {}

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr J_COLOR_SPACE kRgb32Space = JCS_EXT_BGRA; // bytes B G R A = 0xAARRGGBB
#else
constexpr J_COLOR_SPACE kRgb32Space = JCS_EXT_ARGB;
#endif

// Reads the header and settles the output format. False on any fault, with
// the reason in err.message.
bool readHeader(Session &s, const unsigned char *bytes, unsigned long size)
{
    if (setjmp(s.err.jump))
        return false;
    jpeg_create_decompress(&s.cinfo);
    jpeg_mem_src(&s.cinfo, bytes, size);
    jpeg_read_header(&s.cinfo, TRUE);
    if (s.cinfo.jpeg_color_space == JCS_GRAYSCALE)
        s.cinfo.out_color_space = JCS_GRAYSCALE;
    else if (s.cinfo.jpeg_color_space == JCS_YCbCr || s.cinfo.jpeg_color_space == JCS_RGB)
        s.cinfo.out_color_space = kRgb32Space;
    jpeg_calc_output_dimensions(&s.cinfo);
    return true;
}

// Decodes every scan line into `bits`, which has room for output_height rows
// of `bytesPerLine` bytes. False on any fault.
bool readPixels(Session &s, unsigned char *bits, std::size_t bytesPerLine)
{
    if (setjmp(s.err.jump))
        return false;
    jpeg_start_decompress(&s.cinfo);
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        JSAMPROW row = bits + std::size_t(s.cinfo.output_scanline) * bytesPerLine;
        jpeg_read_scanlines(&s.cinfo, &row, 1);
    }
    jpeg_finish_decompress(&s.cinfo);
    return true;
}

QString failure(const Session &s)
{
    return QStringLiteral("JPEG picture cannot be decoded: %1").arg(QString::fromLatin1(s.err.message));
}

} // namespace

QImage decodeJpeg(QByteArrayView data)
{
    if (data.isEmpty())
        throw JpegError(QStringLiteral("JPEG picture cannot be decoded: no data"));

    Session s;
    s.cinfo.err = jpeg_std_error(&s.err.pub);
    s.err.pub.error_exit = jumpWithMessage;
    s.err.pub.emit_message = warningIsFatal;
    s.err.pub.output_message = printNothing;

    const auto *bytes = reinterpret_cast<const unsigned char *>(data.data());
    if (!readHeader(s, bytes, static_cast<unsigned long>(data.size())))
        throw JpegError(failure(s));

    QImage::Format format;
    if (s.cinfo.out_color_space == JCS_GRAYSCALE && s.cinfo.output_components == 1)
        format = QImage::Format_Grayscale8;
    else if (s.cinfo.out_color_space == kRgb32Space && s.cinfo.output_components == 4)
        format = QImage::Format_RGB32;
    else
        throw JpegError(QStringLiteral("JPEG picture cannot be decoded: colour space %1 is not supported")
                            .arg(int(s.cinfo.jpeg_color_space)));

    const qint64 width = s.cinfo.output_width;
    const qint64 height = s.cinfo.output_height;
    if (width * height > maxJpegPixels)
        throw JpegError(QStringLiteral("JPEG picture cannot be decoded: %1 x %2 pixels is too large")
                            .arg(width)
                            .arg(height));

    QImage image(int(width), int(height), format);
    if (image.isNull())
        throw JpegError(QStringLiteral("JPEG picture cannot be decoded: out of memory"));
    if (!readPixels(s, image.bits(), std::size_t(image.bytesPerLine())))
        throw JpegError(failure(s));
    return image;
}

} // namespace platform
