#include "platform/ui/MessageBox.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>

namespace platform {

namespace {

MessageHandler &handler()
{
    static MessageHandler h;
    return h;
}

IconMessageHandler &iconHandler()
{
    static IconMessageHandler h;
    return h;
}

QMessageBox::Icon boxIcon(MessageIcon icon, MessageButtons buttons)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Standard:
        break;
    }
    return buttons == MessageButtons::Ok ? QMessageBox::Information : QMessageBox::Question;
}

QString shownText(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace

void setMessageHandler(MessageHandler h)
{
    handler() = std::move(h);
}

void setIconMessageHandler(IconMessageHandler h)
{
    iconHandler() = std::move(h);
}

void showMessage(const QString &text, QWidget *parent)
{
    messageBox(text, QCoreApplication::applicationName(), MessageButtons::Ok, parent);
}

int messageBox(const QString &text, const QString &caption, MessageButtons buttons, QWidget *parent)
{
    return messageBox(text, caption, buttons, MessageIcon::Standard, parent);
}

int messageBox(const QString &text, const QString &caption, MessageButtons buttons, MessageIcon icon,
               QWidget *parent)
{
    if (iconHandler())
        return iconHandler()(caption, text, buttons, icon);
    if (handler())
        return handler()(caption, text, buttons);

    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(shownText(text));
    box.setIcon(boxIcon(icon, buttons));
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    const std::pair<QMessageBox::StandardButton, const char *> captions[] = {{QMessageBox::Ok, "确定"},
                                                                             {QMessageBox::Cancel, "取消"},
                                                                             {QMessageBox::Yes, "是"},
                                                                             {QMessageBox::No, "否"}};
    for (const auto &[button, caption] : captions) {
        if (QAbstractButton *b = box.button(button))
            b->setText(QString::fromUtf8(caption));
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return mrOk;
    case QMessageBox::Yes:
        return mrYes;
    case QMessageBox::No:
        return mrNo;
    default:
        return mrCancel;
    }
}

} // namespace platform
