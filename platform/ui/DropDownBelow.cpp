#include "platform/ui/DropDownBelow.h"

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QProxyStyle>

namespace platform {

namespace {

class ListBelowStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void openListBelow(QComboBox *box)
{
    // One style for every such box, living as long as the application.
    static QPointer<QStyle> style;
    if (!style) {
        style = new ListBelowStyle;
        style->setParent(qApp);
    }
    box->setStyle(style);
}

} // namespace platform
