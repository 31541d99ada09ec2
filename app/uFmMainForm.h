#pragma once

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QSize>
#include <QWidget>
#include <memory>

class LinkLabel;
class PictureBox;
class QFrame;
class QLabel;
class QTimer;
class QToolButton;
class TAboutPanel;
class TAdvertPanel;
class TAgentPanel;
class TAreaLookupPanel;
class TAssistantPanel;
class TBrowsePanel;
class TJoinPanel;
class TMobileLookupPanel;
class TnbSideBar;
class TsuSelfUpdater;
class TUpdateHook;

namespace platform {
class FormOwner;
class ImageList;
class WindowEdges;
} // namespace platform

// The main window: borderless, 800 × 600 as designed and at the first
// start, larger as the user makes it (its edges, a double click on the title
// strip, the window manager's keys, "全屏"), with its own title strip, the
// side bar switching eight content panels, and the status line with the
// record count and a clock. It creates the splash, loads the company list
// and the tree, and closes the database when it goes; its size and state
// are kept for the next start.
class TFmMainForm : public QWidget
{
    Q_OBJECT
public:
    // The designed size, the least the window takes.
    static constexpr QSize kDesignedSize{800, 600};
    // The window's entry among the kept window states.
    static constexpr const char *kStateKey = "MainWindow";

    explicit TFmMainForm(QWidget *parent = nullptr);
    ~TFmMainForm() override;

    // The creation steps, in order: the splash (modal, once), the sizes,
    // the panels, the installed version, the company list, the tree and
    // the record count.
    void FormCreate();

    // Sets up the side bar: fills Img32, publishes the bar's handlers below
    // by name and loads the bar from its stored form.
    void SetUpSideBar();
    // Loads the side bar from a stored form, binding its events to the
    // published handlers. When the form does not load, SideBar is replaced
    // by a new bar with the design from code, and the result is false.
    bool LoadSideBarForm(const QByteArray &form);

    // The eight content panels: Pal_1, then Pal_2_0 to Pal_2_6.
    QList<QWidget *> ContentPanels() const;
    // Shows `panel` and hides the seven others.
    void ShowContentPanel(QWidget *panel);
    // The content panel that is showing, or none.
    QWidget *VisibleContentPanel() const;

    // The clock's caption for a time: "| 现在时间：" and the time in the
    // locale's long time format without its time-zone name, which would not
    // fit the clock's 129 pixels.
    static QString ClockCaption(const QTime &time, const QLocale &locale);

    // Handlers.
    void Image2MouseDown(Qt::MouseButton button, const QPointF &globalPos);
    // A double click on the title strip maximises the window or restores it.
    void Image2DblClick();
    void SpeedButton7Click();
    void SpBtn_ExitClick();
    void SpeedButton4Click();
    void Timer1Timer();
    // Shows a clock caption, widening the clock when the caption needs it.
    void ShowClock(const QString &caption);
    // The record count's caption: "| 总记录数：" n " 条".
    static QString RecordCountCaption(qint64 count);
    // Shows a text in one of the status line's panels (PanelB, PanelC,
    // LabelB) or in its caption PanelACaption; a panel whose text needs more
    // room than it has grows to the left, the panels left of it move along
    // and the caption gives up room.
    void ShowStatusText(QLabel *panel, const QString &text);
    // The company list's reading behind the window: its progress in the
    // status line, and the record count once the whole list is read.
    void ShowLoadProgress(int rows, double fraction, bool finished, bool failed);
    void SideBarHeaders0Change();
    void SideBarHeaders0Buttons0Click();
    void SideBarHeaders0Buttons1Click();
    void SideBarHeaders0Buttons2Click();
    void SideBarHeaders0Buttons3Click();
    void SideBarHeaders0Buttons4Click();
    void SideBarHeaders0Buttons5Click();
    void SideBarHeaders0Buttons6Click();
    // Links (all open vendor pages through the desktop's browser).
    void Image3Click();
    void Image4Click();
    void LabelBMouseDown(Qt::MouseButton button);
    void LabelBMouseMove();
    void LabelBMouseLeave();
    void SpBtn_INClick();
    void lbl_dlxxClick();
    void lbl_jmdlClick();
    void lbl_zxckClick();
    void lbl_EmailClick();
    void SpdBtn_1Click();
    void SpdBtn_2Click();
    void SpdBtn_3Click();
    void SpdBtn_4Click();
    void SpdBtn_5Click();
    void SpdBtn_6Click();
    void SpdBtn_7Click();
    void SpdBtn_8Click();
    // The underline of the panel links follows the mouse.
    void lbl_dlxxMouseMove();
    void lbl_dlxxMouseLeave();
    void lbl_jmdlMouseMove();
    void lbl_jmdlMouseLeave();
    void lbl_zxckMouseMove();
    void lbl_zxckMouseLeave();
    void lbl_EmailMouseMove();
    void lbl_EmailMouseLeave();

    // The online upgrade, through the update hook: the button "在线升级"
    // (ask, close the database, start the check, open it again), the
    // version step of the creation, and the two events that only change the
    // window's caption.
    void SpeedButton11Click();
    void ReadInstalledVersion();
    void SoftUpdateAborted();
    void SoftUpdateNoUpdateAvailable();

    // Title strip.
    PictureBox *Image2;
    QLabel *Label4;
    QToolButton *SpeedButton7;
    // Everything below the strip.
    QWidget *Panel2;
    PictureBox *Image1;
    PictureBox *Image4;
    PictureBox *Image3;
    QToolButton *SpBtn_Exit;
    QWidget *Pal_2;
    TnbSideBar *SideBar;
    platform::ImageList *Img32;
    // The window as the bar's stored form sees it: its components and the
    // handlers it publishes.
    std::unique_ptr<platform::FormOwner> SideBarOwner;
    // Content panels.
    TBrowsePanel *Pal_1;
    TAboutPanel *Pal_2_0;
    TJoinPanel *Pal_2_1;
    TAgentPanel *Pal_2_2;
    TAdvertPanel *Pal_2_3;
    TAssistantPanel *Pal_2_4;
    TMobileLookupPanel *Pal_2_5;
    TAreaLookupPanel *Pal_2_6;
    // Status line.
    QFrame *PanelA;
    QLabel *PanelACaption;
    LinkLabel *LabelB;
    QLabel *PanelB;
    QLabel *PanelC;
    QTimer *Timer1;
    // The upgrade component, set up with the vendor's addresses; it lives
    // as long as the window.
    TsuSelfUpdater *SoftUpdate;
    TUpdateHook *UpdateHook;
    // The version file the creation reads; a bare name is looked up beside
    // the program.
    QString VersionFile = QStringLiteral("softup.dll");

protected:
    // FormClose: every close disconnects the database, ignoring a failure.
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void BuildTitleStrip();
    // Places everything for the window's size.
    void LayOutWindow();
    void CentreOnScreen();
    void BuildHeaderArea();
    void BuildContentPanels();
    void BuildStatusLine();
    // Places the status line's panels from its right edge inward.
    void LayOutStatusLine();
    // Replaces SideBar by a new, unconfigured bar in its place.
    void RenewSideBar();
    void ConnectLinks();
    // Makes every content panel fill the part of Pal_2 the bar leaves.
    void LayOutContentPanels();
    void DisconnectDatabase();

    platform::WindowEdges *Edges = nullptr;
    bool m_maximizedBeforeFullScreen = false;
    QTimer *m_stateSaver = nullptr;
};

// The one main window, set while it exists.
extern TFmMainForm *FmMainForm;
