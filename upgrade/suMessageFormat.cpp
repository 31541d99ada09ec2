#include "upgrade/suMessageFormat.h"

#include <vector>

QString suFormatMessage(const QString &format, std::initializer_list<QVariant> arguments)
{
    const std::vector<QVariant> values(arguments);
    size_t next = 0;
    QString out;
    out.reserve(format.size());
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != u'%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        if (format.at(i + 1) == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        // Flags, width and precision, then the conversion.
        qsizetype end = i + 1;
        while (end < format.size() && QStringLiteral("-+ 0#").contains(format.at(end)))
            ++end;
        while (end < format.size() && format.at(end).isDigit())
            ++end;
        if (end < format.size() && format.at(end) == u'.') {
            ++end;
            while (end < format.size() && format.at(end).isDigit())
                ++end;
        }
        if (end >= format.size() || !QStringLiteral("sdf").contains(format.at(end))) {
            out += c;
            continue;
        }
        const QChar conversion = format.at(end);
        const QByteArray spec = format.mid(i, end - i + 1).toLatin1();
        i = end;
        if (next >= values.size())
            continue;
        const QVariant &value = values[next++];
        if (conversion == u's')
            out += value.toString();
        else if (conversion == u'd')
            out += QString::asprintf(spec.constData(), value.toInt());
        else
            out += QString::asprintf(spec.constData(), value.toDouble());
    }
    return out;
}
