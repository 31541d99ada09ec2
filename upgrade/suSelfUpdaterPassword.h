#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The user-name and password window for a protected download. Modal; it
// frees itself when it closes.
class TsuSelfUpdaterPasswordForm : public QDialog
{
    Q_OBJECT
public:
    explicit TsuSelfUpdaterPasswordForm(QWidget *parent = nullptr);
    ~TsuSelfUpdaterPasswordForm() override;

    // Texts from the current message table for the protected file
    // `fileName`; the user name is shown pre-filled, the password never.
    void FormOpen(const QString &fileName, const QString &userName);

    // Receives what was typed when the user presses OK.
    std::function<void(const QString &userName, const QString &password)> OnStore;

    // Handlers.
    void OKBtnClick();
    void CancelBtnClick();

    QLabel *Image1;
    QLabel *Label1;
    QWidget *Panel1;
    QLabel *UsernameLab;
    QLabel *PasswordLab;
    QLineEdit *UsernameEdit;
    QLineEdit *PasswordEdit;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};

// The open password window; empty when there is none.
extern TsuSelfUpdaterPasswordForm *suSelfUpdaterPasswordForm;
