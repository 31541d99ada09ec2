#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The text in the GB2312 code page (GBK for characters beyond it); a
// character that has no code there becomes "?".
QByteArray toGb2312(const QString &text);

// Text stored in that code page (GBK) back as Unicode; a byte sequence that has no
// character there becomes U+FFFD.
QString fromGb2312(const QByteArray &bytes);

// Length in bytes of the text in that code page: a Chinese character counts two.
int gb2312Length(const QString &text);

// Compares two texts byte by byte in that code page (<0, 0, >0).
int compareGb2312(const QString &a, const QString &b);

} // namespace platform
