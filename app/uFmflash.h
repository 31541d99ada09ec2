#pragma once

#include <QDialog>

class PictureBox;
class QLabel;
class QTimer;
class QToolButton;

// The splash window "Kestrune-->Velmora": borderless, 492 × 334, centred on
// the screen, shown modally once while the main window is being created. Its
// timer closes it two seconds after it was created, or "进入Velmora" at once;
// it then stays hidden until its owner goes.
class TFmflash : public QDialog
{
    Q_OBJECT
public:
    explicit TFmflash(QWidget *owner);
    ~TFmflash() override;

    // Handlers.
    void Timer1Timer();
    void SpdBtn_InClick();
    void SpdBtn_LoginClick();

    PictureBox *Image1;
    // "进入Velmora": 97 × 25 at (352, 285).
    QToolButton *SpdBtn_In;
    // An invisible hot area over the picture (169 × 41 at (152, 226)) that
    // opens the vendor's home page.
    QToolButton *SpdBtn_Login;
    QTimer *Timer1;
    // The installed version, at the top right of the picture: "版本 " and
    // the version as the about panel shows it.
    QLabel *LabelVersion;

    // Shows the installed version (the version file's text, see InstalledVersion()).
    void ShowVersion(const QString &installed);

protected:
    void showEvent(QShowEvent *event) override;
};

// The splash window once the main window has created it; empty before and
// after it is gone.
extern TFmflash *Fmflash;
