#include "upgrade/suWindowSetup.h"

#include "platform/ui/Font.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

namespace su {

void setUpDialog(QWidget *window, const QString &objectName, QSize clientSize)
{
    window->setObjectName(objectName);
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window->setFixedSize(clientSize);
    window->setFont(platform::Font().toQFont());
}

void centreOnScreen(QWidget *window)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect area(QPoint(), window->size());
    area.moveCenter(screen->availableGeometry().center());
    window->move(area.topLeft());
}

QLabel *makeLabel(QWidget *parent, const QString &objectName, int left, int top)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    // Texts come from the tables and the information file: never markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->move(left, top);
    return label;
}

QString withLineBreaks(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

void setLabelText(QLabel *label, const QString &text)
{
    label->setText(withLineBreaks(text));
    if (label->wordWrap())
        label->resize(label->width(), label->heightForWidth(label->width()));
    else
        label->resize(label->sizeHint());
}

} // namespace su
