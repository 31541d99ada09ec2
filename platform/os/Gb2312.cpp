#include "platform/os/Gb2312.h"

#include <cerrno>
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
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    if (cd == iconv_t(-1)) // no converter: count every non-ASCII character as two bytes
    {
        for (QChar c : text)
            out += c.unicode() < 0x80 ? QByteArray(1, char(c.unicode())) : QByteArray("??");
        return out;
    }
    std::lock_guard guard(lock);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.resize(utf8.size() * 2 + 4);
    char *in = const_cast<char *>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char *dst = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != size_t(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // Skip one UTF-8 character that has no code and write "?".
        int skip = 1;
        const unsigned char lead = static_cast<unsigned char>(*in);
        if (lead >= 0xF0)
            skip = 4;
        else if (lead >= 0xE0)
            skip = 3;
        else if (lead >= 0xC0)
            skip = 2;
        skip = std::min<int>(skip, int(inLeft));
        in += skip;
        inLeft -= size_t(skip);
        *dst++ = '?';
        --outLeft;
    }
    out.truncate(dst - out.data());
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
