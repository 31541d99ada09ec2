#include "platform/ui/JpegDecoder.h"

#include <QColor>
#include <QImage>
#include <QRandomGenerator>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <jpeglib.h>

using platform::decodeJpeg;
using platform::JpegError;

namespace {

// Encodes test pictures with libjpeg itself, so that the decoder is checked
// against the reference encoder in every mode it has to read.
QByteArray encode(const QImage &source, bool grey, bool progressive)
{
    const QImage image = source.convertToFormat(grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = image.width();
    cinfo.image_height = image.height();
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uchar *>(image.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char *>(out), qsizetype(size));
    std::free(out);
    return bytes;
}

// Red left half, blue right half, a white bar across the bottom.
QImage testCard()
{
    QImage image(40, 24, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, y,
                                y >= 16  ? Qt::white
                                : x < 20 ? QColor(200, 30, 30)
                                         : QColor(30, 60, 200));
    return image;
}

void expectNear(QColor actual, QColor expected)
{
    EXPECT_NEAR(actual.red(), expected.red(), 12);
    EXPECT_NEAR(actual.green(), expected.green(), 12);
    EXPECT_NEAR(actual.blue(), expected.blue(), 12);
}

void expectCard(const QImage &image)
{
    ASSERT_EQ(image.size(), QSize(40, 24));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    expectNear(image.pixelColor(4, 4), QColor(200, 30, 30));
    expectNear(image.pixelColor(35, 4), QColor(30, 60, 200));
    expectNear(image.pixelColor(20, 21), Qt::white);
    EXPECT_EQ(qAlpha(image.pixel(35, 4)), 255);
}

bool hasMarker(const QByteArray &jpeg, uchar marker)
{
    return jpeg.contains(QByteArray("\xFF") + char(marker));
}

} // namespace

TEST(JpegDecoder, DecodesBaselineAndProgressiveColourPictures)
{
    const QByteArray baseline = encode(testCard(), false, false);
    const QByteArray progressive = encode(testCard(), false, true);
    ASSERT_TRUE(hasMarker(progressive, 0xC2)) << "the encoder must really have written a progressive frame";
    ASSERT_FALSE(hasMarker(baseline, 0xC2));
    expectCard(decodeJpeg(baseline));
    expectCard(decodeJpeg(progressive));
}

TEST(JpegDecoder, GreyScalePicturesStayGrey)
{
    QImage ramp(64, 8, QImage::Format_Grayscale8);
    for (int y = 0; y < ramp.height(); ++y)
        for (int x = 0; x < ramp.width(); ++x)
            ramp.scanLine(y)[x] = uchar(x * 4);
    for (bool progressive : {false, true}) {
        const QImage image = decodeJpeg(encode(ramp, true, progressive));
        ASSERT_EQ(image.size(), QSize(64, 8));
        EXPECT_EQ(image.format(), QImage::Format_Grayscale8);
        EXPECT_NEAR(image.constScanLine(4)[8], 32, 6);
        EXPECT_NEAR(image.constScanLine(4)[56], 224, 6);
    }
}

TEST(JpegDecoder, TruncatedStreamsFailInsteadOfInventingPixels)
{
    for (bool progressive : {false, true}) {
        const QByteArray whole = encode(testCard(), false, progressive);
        // Inside the header, inside the scan data, and only the end marker missing.
        for (qsizetype keep : {qsizetype(12), whole.size() / 2, whole.size() - 2}) {
            // A copy of exactly `keep` bytes, so that a read past the end is caught by the sanitizer.
            const QByteArray cut(whole.constData(), keep);
            try {
                decodeJpeg(cut);
                ADD_FAILURE() << "a stream cut to " << keep << " of " << whole.size()
                              << " bytes was accepted";
            } catch (const JpegError &e) {
                EXPECT_FALSE(e.message().isEmpty());
            }
        }
    }
}

TEST(JpegDecoder, RejectsDataThatIsNotAUsableJpeg)
{
    EXPECT_THROW(decodeJpeg(QByteArray()), JpegError);
    EXPECT_THROW(decodeJpeg(QByteArray("\x89PNG\r\n\x1a\n0000IHDR")), JpegError);
    QByteArray noise(4096, Qt::Uninitialized);
    QRandomGenerator random(7);
    for (char &c : noise)
        c = char(random.bounded(256));
    EXPECT_THROW(decodeJpeg(noise), JpegError);
    // A start-of-image marker followed by noise is still no picture.
    EXPECT_THROW(decodeJpeg(QByteArray("\xFF\xD8") + noise), JpegError);

    // A header claiming 65000 x 65000 pixels is refused before any memory is taken for it.
    QByteArray huge = encode(testCard(), false, false);
    const qsizetype sof = huge.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    for (int i : {5, 7}) { // height, then width, big-endian
        huge[sof + i] = char(0xFD);
        huge[sof + i + 1] = char(0xE8);
    }
    try {
        decodeJpeg(huge);
        ADD_FAILURE() << "an oversized picture was accepted";
    } catch (const JpegError &e) {
        EXPECT_TRUE(e.message().contains("too large")) << e.what();
    }
}
