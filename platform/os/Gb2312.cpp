#include "platform/os/Gb2312.h"

#include <QList>

#include <algorithm>
#include <cstring>
#include <iconv.h>
#include <mutex>

namespace platform {

QByteArray toGb2312(const QString &text)
{
    // GBK is a superset of GB2312 that keeps its codes; it also covers the
    // rarer characters of company names.
    static std::mutex lock;
    static iconv_t cd = iconv_open("GBK", "UTF-8");
    QByteArray out;
    out.reserve(text.size() * 2);
    std::lock_guard guard(lock);
    // One character at a time: iconv turns some characters without a code
    // (the tag characters U+E0000..U+E007F) into nothing, without an error.
    for (const char32_t code : text.toUcs4()) {
        if (code < 0x80) {
            out += char(code);
            continue;
        }
        if (cd == iconv_t(-1)) { // no converter: count every non-ASCII character as two bytes
            out += "??";
            continue;
        }
        if (code >= 0xD800 && code <= 0xDFFF) { // half of a broken pair
            out += '?';
            continue;
        }
        const QByteArray utf8 = QString::fromUcs4(&code, 1).toUtf8();
        char *in = const_cast<char *>(utf8.constData());
        size_t inLeft = size_t(utf8.size());
        char buffer[8];
        char *dst = buffer;
        size_t outLeft = sizeof buffer;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) == size_t(-1) || dst == buffer)
            out += '?';
        else
            out.append(buffer, dst - buffer);
    }
    return out;
}

QString fromGb2312(const QByteArray &bytes)
{
    static std::mutex lock;
    static iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == iconv_t(-1))
        return QString::fromLatin1(bytes);
    std::lock_guard guard(lock);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    // Every GBK byte becomes at most three UTF-8 bytes.
    QByteArray out(bytes.size() * 3 + 4, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *dst = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != size_t(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // Skip one undecodable byte (a lead byte without its trail, or a stray byte).
        ++in;
        --inLeft;
        static const char replacement[] = "\xEF\xBF\xBD";
        std::memcpy(dst, replacement, 3);
        dst += 3;
        outLeft -= 3;
    }
    return QString::fromUtf8(out.constData(), dst - out.data());
}

int gb2312Length(const QString &text)
{
    return int(toGb2312(text).size());
}

int compareGb2312(const QString &a, const QString &b)
{
    const QByteArray x = toGb2312(a);
    const QByteArray y = toGb2312(b);
    const int n = std::memcmp(x.constData(), y.constData(), size_t(std::min(x.size(), y.size())));
    if (n != 0)
        return n;
    return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
}

} // namespace platform
