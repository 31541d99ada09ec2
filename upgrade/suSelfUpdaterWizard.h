#pragma once

#include <QDialog>

#include <functional>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// The download wizard: the progress of the current file and of all files,
// then a final page that tells the user the upgrade is complete. Modeless;
// it frees itself when it closes. Closing it any way but through the final
// page's button asks first whether to give up the upgrade.
class TsuSelfUpdaterWizardForm : public QDialog
{
    Q_OBJECT
public:
    explicit TsuSelfUpdaterWizardForm(QWidget *parent = nullptr);
    ~TsuSelfUpdaterWizardForm() override;

    // Texts of the downloading page from the current message table, and the
    // left picture: `picture` when it is not null, else the built-in one.
    void FormOpen(const QImage &picture);
    // The URL field and the all-files line for file `number` of `count`.
    void ShowFile(const QString &url, int number, int count);
    // The file-size line.
    void ShowFileSize(double kilobytes);
    // A download that stopped is continued: the title says so and the
    // file-size line shows what is still to come.
    void ShowResume(double kilobytesToCome);
    // Both bars (0..100), the rate line and the time line.
    void ShowProgress(int filePercent, int totalPercent, double rate, int secondsLeft);
    // Switches to the final page: title, note, the finish button enabled
    // and focused, the groups hidden, cancelling no longer offered.
    void ShowFinalPage();
    bool FinalPage() const { return m_finalPage; }
    // Closes the wizard without asking (the upgrade is being cancelled).
    void CloseWithoutAsking();

    // Runs when the user has confirmed giving up the upgrade, after the
    // window has let itself close.
    std::function<void()> OnAbort;

    // Handlers.
    void FinishBtnClick();
    void CancelBtnClick();
    void URLEditKeyPress(QKeyEvent *event);

    QFrame *PicturePanel;
    QLabel *Image1;
    QLabel *WizardTitle;
    QLabel *AfterNote;
    QGroupBox *CurrentFileGroup;
    QLabel *LDownloadingFileFrom;
    QLineEdit *URLEdit;
    QLabel *FileSizeLab;
    QLabel *TransferRateLab;
    QLabel *EstimatedTimeLeftLab;
    QProgressBar *ProgressCurrentFile;
    QGroupBox *AllFilesGroup;
    QLabel *AllDownloading;
    QProgressBar *ProgressAllFiles;
    QFrame *Bevel1;
    QPushButton *FinishBtn;
    QPushButton *CancelBtn;
    QLabel *Label1; // hidden, string 40999
    QLabel *Label2; // hidden, string 40999

signals:
    // The window has accepted to close (it is deleted later).
    void closed();

public slots:
    // Esc and the cancel button ask to close, as the close box does.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_closeWithoutAsking = false;
    bool m_finalPage = false;
};

// The open wizard; empty when there is none.
extern TsuSelfUpdaterWizardForm *suSelfUpdaterWizardForm;
