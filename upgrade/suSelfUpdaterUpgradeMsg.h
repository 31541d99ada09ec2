#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QWidget;

// The question window that announces a newer version: the application title
// and the information file's message, "yes" or "later". Modal and topmost;
// it frees itself when it closes.
class TsuSelfUpdaterUpgradeMessageForm : public QDialog
{
    Q_OBJECT
public:
    explicit TsuSelfUpdaterUpgradeMessageForm(QWidget *parent = nullptr);
    ~TsuSelfUpdaterUpgradeMessageForm() override;

    // Texts from the current message table around `message` (which may be
    // empty), and the height that fits them.
    void FormOpen(const QString &message);

    // Handlers.
    void YesBtnClick();
    void LaterBtnClick();

    QLabel *Image1;
    QLabel *Label1;
    QWidget *Panel1;
    QPushButton *YesBtn;
    QPushButton *LaterBtn;

protected:
    void showEvent(QShowEvent *event) override;
};

// The open question window; empty when there is none.
extern TsuSelfUpdaterUpgradeMessageForm *suSelfUpdaterUpgradeMessageForm;
