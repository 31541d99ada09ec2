#include "upgrade/suPlainUpgradeWindows.h"

#include "platform/ui/MessageBox.h"
#include "upgrade/suMessageFormat.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A CR in the table's texts is a line break on screen.
QString shown(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
}

} // namespace

void TsuPlainUpgradeWindows::ShowError(const QString &text)
{
    platform::messageBox(text, suMessage(0), platform::MessageButtons::Ok, platform::MessageIcon::Error);
}

bool TsuPlainUpgradeWindows::AskLostFile(const QString &text, const QString &caption)
{
    return platform::messageBox(text, caption, platform::MessageButtons::YesNo,
                                platform::MessageIcon::Warning) == platform::mrYes;
}

QString TsuPlainUpgradeWindows::QuestionText(const QString &message)
{
    const QString wrapped = message.isEmpty() ? message : u'\n' + message + u'\n';
    return suFormatMessage(suMessage(23), {suApplicationTitle(), wrapped});
}

bool TsuPlainUpgradeWindows::AskUpgrade(const QString &message)
{
    return platform::messageBox(QuestionText(message), suMessage(0), platform::MessageButtons::YesNo,
                                platform::MessageIcon::Question) == platform::mrYes;
}

bool TsuPlainUpgradeWindows::AskPassword(const QString &fileName, QString &user, QString &password)
{
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("PlainPasswordPrompt"));
    dialog.setWindowTitle(suMessage(11));
    auto *column = new QVBoxLayout(&dialog);
    auto *note = new QLabel(shown(suFormatMessage(suMessage(29), {fileName})), &dialog);
    note->setWordWrap(true);
    column->addWidget(note);

    auto *fields = new QFormLayout;
    auto *userEdit = new QLineEdit(user, &dialog);
    userEdit->setObjectName(QStringLiteral("UsernameEdit"));
    auto *passwordEdit = new QLineEdit(&dialog);
    passwordEdit->setObjectName(QStringLiteral("PasswordEdit"));
    passwordEdit->setEchoMode(QLineEdit::Password);
    fields->addRow(suMessage(12), userEdit);
    fields->addRow(suMessage(13), passwordEdit);
    column->addLayout(fields);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(suMessage(16));
    buttons->button(QDialogButtonBox::Cancel)->setText(suMessage(17));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    column->addWidget(buttons);
    dialog.setMinimumWidth(360);

    if (dialog.exec() != QDialog::Accepted)
        return false;
    user = userEdit->text();
    password = passwordEdit->text();
    return true;
}
