#include "platform/ui/FontSubstitution.h"

#include <QApplication>
#include <QFont>

namespace platform {

void installFontSubstitutions()
{
    const QStringList song{QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
                           QStringLiteral("WenQuanYi Micro Hei")};
    for (const char *name : {"新宋体", "宋体", "NSimSun", "SimSun"})
        QFont::insertSubstitutions(QString::fromUtf8(name), song);
    const QStringList sans{QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei")};
    for (const char *name : {"Tahoma", "MS Sans Serif", "Arial", "Verdana"})
        QFont::insertSubstitutions(QLatin1String(name), sans);

    QFont font(QStringLiteral("新宋体"));
    font.setPixelSize(12);
    QApplication::setFont(font);
}

} // namespace platform
