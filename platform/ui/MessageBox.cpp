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
    if (handler())
        return handler()(caption, text, buttons);

    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(shownText(text));
    switch (buttons) {
    case MessageButtons::Ok:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (icon) {
    case MessageIcon::Standard:
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Error:
        box.setIcon(QMessageBox::Critical);
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
