#pragma once

#include <QString>

#include <functional>

class QWidget;

// Message boxes. Results keep the numbers the program's windows expect
// (OK 1, Cancel 2, Yes 6, No 7); a CR in a text is a line break.
namespace platform {

enum MessageResult { mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };
enum class MessageButtons { Ok, OkCancel, YesNo };
// The icon beside the text; Standard picks one from the buttons
// (information for OK, a question otherwise).
enum class MessageIcon { Standard, Information, Question, Warning, Error };

// A plain message with the application's name as caption and an OK button.
void showMessage(const QString &text, QWidget *parent = nullptr);

// A message with its own caption and buttons; returns the button chosen.
int messageBox(const QString &text, const QString &caption, MessageButtons buttons,
               QWidget *parent = nullptr);
// The same with a chosen icon.
int messageBox(const QString &text, const QString &caption, MessageButtons buttons, MessageIcon icon,
               QWidget *parent = nullptr);

// Replaces the boxes (for example by a recorder in tests); an empty
// function restores them. The handler gets caption and text and returns
// the result to report.
using MessageHandler =
    std::function<int(const QString &caption, const QString &text, MessageButtons buttons)>;
void setMessageHandler(MessageHandler handler);

// A replacement that also learns the icon; while set it is asked before the
// plain handler.
using IconMessageHandler =
    std::function<int(const QString &caption, const QString &text, MessageButtons buttons, MessageIcon icon)>;
void setIconMessageHandler(IconMessageHandler handler);

} // namespace platform
