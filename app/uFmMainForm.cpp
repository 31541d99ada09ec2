#include "app/uFmMainForm.h"

#include "app/AppTitle.h"
#include "app/LinkLabel.h"
#include "app/PictureBox.h"
#include "app/VendorLinks.h"
#include "app/WindowLook.h"
#include "app/uBrowsePanel.h"
#include "app/uContentPanels.h"
#include "app/uContentTexts.h"
#include "app/uDMForm.h"
#include "app/uFmflash.h"
#include "app/uLookupPanels.h"
#include "app/uUpdateHook.h"
#include "navbar/nbSideBar.h"
#include "platform/db/Database.h"
#include "platform/ui/FormOwner.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/WindowDrag.h"
#include "platform/ui/WindowEdges.h"
#include "platform/ui/WindowState.h"
#include "resources/Glyphs.h"
#include "resources/Pictures.h"
#include "upgrade/suSelfUpdater.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QScreen>
#include <QShortcut>
#include <QTime>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

TFmMainForm *FmMainForm = nullptr;

namespace {

const QColor kPanelLight(241, 241, 241);

using look::setBackground;
using look::setTextColor;
using look::songFont;

// A time format without its time-zone field ("t"), so the clock stays short.
QString withoutTimeZone(const QString &format)
{
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    // Some locales bracket the zone: "Bh:mm:ss [t]".
    out.remove(QLatin1String("[]")).remove(QLatin1String("()"));
    return out.simplified();
}

} // namespace

TFmMainForm::TFmMainForm(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    FmMainForm = this;
    setObjectName(QStringLiteral("FmMainForm"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The designed size is the least: the window grows, the pictures keep their places.
    setMinimumSize(kDesignedSize);
    resize(kDesignedSize);
    setFont(songFont(12));
    setBackground(this, palette().color(QPalette::Button));

    BuildTitleStrip();
    BuildHeaderArea();
    BuildContentPanels();
    BuildStatusLine();
    SetUpSideBar();
    ConnectLinks();
    Edges = new platform::WindowEdges(this);
    LayOutWindow();

    // Alt+F4 closes the program where no window manager takes the key.
    auto *altF4 = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), this);
    connect(altF4, &QShortcut::activated, this, &TFmMainForm::SpeedButton7Click);

    // The size and state are kept as they change, not only at a close: a
    // session that ends kills the program without closing its window.
    m_stateSaver = new QTimer(this);
    m_stateSaver->setSingleShot(true);
    m_stateSaver->setInterval(500);
    connect(m_stateSaver, &QTimer::timeout, this, [this] {
        if (isVisible())
            platform::WindowState::save(this, QString::fromLatin1(kStateKey));
    });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TFmMainForm::Timer1Timer);
    Timer1->start();

    // The upgrade component: its addresses come from the same base address
    // as the links; the database is closed around a check and the queries
    // the panels show are opened again after it. OnAfterRestart stays
    // unassigned: a program restarted by an upgrade starts like any other.
    UpdateHook = new TUpdateHook(this, DMForm->ADOContAccess,
                                 {DMForm->ADOQryDVPack, DMForm->ADOQryCard, DMForm->ADOAreaQuery},
                                 links::VendorBaseAddress());
    SoftUpdate = UpdateHook->SoftUpdate;
    SoftUpdate->OnAborted = [this](QObject *) { SoftUpdateAborted(); };
    SoftUpdate->OnNoUpdateAvailable = [this](QObject *) { SoftUpdateNoUpdateAvailable(); };

    CentreOnScreen();
}

void TFmMainForm::CentreOnScreen()
{
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

TFmMainForm::~TFmMainForm()
{
    // The bar references the image list and the published handlers; let the bar go first.
    delete SideBar;
    SideBar = nullptr;
    if (FmMainForm == this)
        FmMainForm = nullptr;
}

void TFmMainForm::BuildTitleStrip()
{
    Image2 = new PictureBox(resources::picture(resources::Picture::TitleStrip), this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setStretch(true);
    Image2->setGeometry(0, 0, 800, 21);
    Image2->setAccessibleRole(QAccessible::TitleBar);
    Image2->setAccessibleName(QString::fromUtf8(kApplicationTitle));

    Label4 = new QLabel(QString::fromUtf8(kApplicationTitle), Image2);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setFont(songFont(13, true));
    setTextColor(Label4, Qt::white);
    // A press on the title drags the window like one beside it.
    Label4->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Five pixels from the left; the line of text centred in the strip, which keeps it
    // whole whatever the height of the font's line.
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label4->setGeometry(5, 0, Label4->sizeHint().width(), Image2->height());
    // The strip shows the window's caption, so what it says and what the
    // desktop's task bar says (the update hook writes its outcome there)
    // are always the same.
    connect(this, &QWidget::windowTitleChanged, Label4, [this](const QString &title) {
        Label4->setText(title);
        Label4->resize(Label4->sizeHint().width(), Label4->height());
    });

    SpeedButton7 = new QToolButton(Image2);
    SpeedButton7->setObjectName(QStringLiteral("SpeedButton7"));
    SpeedButton7->setText(QStringLiteral("×"));
    SpeedButton7->setToolTip(QStringLiteral("关闭"));
    SpeedButton7->setAccessibleName(QStringLiteral("关闭"));
    SpeedButton7->setAutoRaise(true);
    SpeedButton7->setFocusPolicy(Qt::NoFocus);
    SpeedButton7->setGeometry(781, 3, 15, 15);
    SpeedButton7->setStyleSheet(
        QStringLiteral("QToolButton { color: white; border: none; font: bold 14px \"WenQuanYi Micro Hei\"; }"
                       "QToolButton:hover { border: 1px solid white; }"));

    connect(Image2, &PictureBox::pressed, this, &TFmMainForm::Image2MouseDown);
    connect(Image2, &PictureBox::doubleClicked, this, &TFmMainForm::Image2DblClick);
    connect(SpeedButton7, &QToolButton::clicked, this, &TFmMainForm::SpeedButton7Click);
}

void TFmMainForm::BuildHeaderArea()
{
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(0, 21, 800, 579);
    setBackground(Panel2, kPanelLight);

    Image1 = new PictureBox(resources::picture(resources::Picture::Background), Panel2);
    Image1->setObjectName(QStringLiteral("Image1"));
    // The decoration at the right stays beside "退 出" however wide the window.
    Image1->setFixedEnds(640, 160);
    Image1->setGeometry(0, 0, 800, 579);
    Image1->setAccessibleName(QStringLiteral("Velmora背景图片"));

    Image4 = new PictureBox(resources::picture(resources::Picture::Logo), Panel2);
    Image4->setObjectName(QStringLiteral("Image4"));
    Image4->setStretch(true);
    Image4->setCursor(Qt::PointingHandCursor);
    Image4->setGeometry(8, 1, 180, 65);
    Image4->setAccessibleRole(QAccessible::Link);
    Image4->setAccessibleName(QStringLiteral("Kestrune标志：访问Kestrune网站"));

    Image3 = new PictureBox(resources::picture(resources::Picture::Banner), Panel2);
    Image3->setObjectName(QStringLiteral("Image3"));
    Image3->setCursor(Qt::PointingHandCursor);
    Image3->setGeometry(216, 4, 439, 60);
    Image3->setAccessibleRole(QAccessible::Link);
    Image3->setAccessibleName(QStringLiteral("Kestrune横幅：访问Kestrune网站"));

    SpBtn_Exit = new QToolButton(Panel2);
    SpBtn_Exit->setObjectName(QStringLiteral("SpBtn_Exit"));
    SpBtn_Exit->setText(QStringLiteral("退 出"));
    SpBtn_Exit->setToolTip(QStringLiteral("退出Velmora"));
    SpBtn_Exit->setIcon(QIcon(resources::glyph(resources::Glyph::Exit, 24)));
    SpBtn_Exit->setIconSize(QSize(24, 24));
    SpBtn_Exit->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    SpBtn_Exit->setAutoRaise(true);
    SpBtn_Exit->setCursor(Qt::PointingHandCursor);
    SpBtn_Exit->setGeometry(720, 13, 65, 49);

    Pal_2 = new QWidget(Panel2);
    Pal_2->setObjectName(QStringLiteral("Pal_2"));
    Pal_2->setGeometry(8, 72, 781, 490);
    setBackground(Pal_2, kPanelLight);

    connect(Image4, &PictureBox::clicked, this, &TFmMainForm::Image4Click);
    connect(Image3, &PictureBox::clicked, this, &TFmMainForm::Image3Click);
    connect(SpBtn_Exit, &QToolButton::clicked, this, &TFmMainForm::SpBtn_ExitClick);
}

void TFmMainForm::BuildContentPanels()
{
    SideBar = new TnbSideBar(Pal_2);
    SideBar->setObjectName(QStringLiteral("SideBar"));
    SideBar->setGeometry(0, 0, 120, Pal_2->height());

    Pal_1 = new TBrowsePanel(DMForm->ADOQryDVPack, DMForm->DSQryDVPack, Pal_2);
    Pal_2_0 = new TAboutPanel(Pal_2);
    Pal_2_1 = new TJoinPanel(Pal_2);
    Pal_2_2 = new TAgentPanel(Pal_2);
    Pal_2_3 = new TAdvertPanel(Pal_2);
    Pal_2_4 = new TAssistantPanel(Pal_2);
    Pal_2_5 = new TMobileLookupPanel(Pal_2);
    Pal_2_6 = new TAreaLookupPanel(Pal_2);

    // A screen reader names each panel after the bar button that shows it
    // (the browsing panel after what it holds).
    const QStringList panelNames{QStringLiteral("企业目录"), QStringLiteral("关于Velmora"),
                                 QStringLiteral("免费加入"), QStringLiteral("诚招代理"),
                                 QStringLiteral("广告征订"), QStringLiteral("商务助手"),
                                 QStringLiteral("手机查询"), QStringLiteral("地区查询")};
    for (int i = 0; i < panelNames.size(); ++i)
        ContentPanels()[i]->setAccessibleName(panelNames[i]);

    connect(Pal_1->SpeedButton4, &QToolButton::clicked, this, &TFmMainForm::SpeedButton4Click);
    connect(Pal_2_0->SpeedButton11, &QToolButton::clicked, this, &TFmMainForm::SpeedButton11Click);
}

void TFmMainForm::ConnectLinks()
{
    connect(Pal_2_1->SpBtn_IN, &QToolButton::clicked, this, &TFmMainForm::SpBtn_INClick);
    connect(Pal_2_2->lbl_dlxx, &LinkLabel::clicked, this, &TFmMainForm::lbl_dlxxClick);
    connect(Pal_2_2->lbl_jmdl, &LinkLabel::clicked, this, &TFmMainForm::lbl_jmdlClick);
    connect(Pal_2_3->lbl_zxck, &LinkLabel::clicked, this, &TFmMainForm::lbl_zxckClick);
    connect(Pal_2_3->lbl_Email, &LinkLabel::clicked, this, &TFmMainForm::lbl_EmailClick);
    connect(Pal_2_2->lbl_dlxx, &LinkLabel::mouseMoved, this, &TFmMainForm::lbl_dlxxMouseMove);
    connect(Pal_2_2->lbl_dlxx, &LinkLabel::mouseLeft, this, &TFmMainForm::lbl_dlxxMouseLeave);
    connect(Pal_2_2->lbl_jmdl, &LinkLabel::mouseMoved, this, &TFmMainForm::lbl_jmdlMouseMove);
    connect(Pal_2_2->lbl_jmdl, &LinkLabel::mouseLeft, this, &TFmMainForm::lbl_jmdlMouseLeave);
    connect(Pal_2_3->lbl_zxck, &LinkLabel::mouseMoved, this, &TFmMainForm::lbl_zxckMouseMove);
    connect(Pal_2_3->lbl_zxck, &LinkLabel::mouseLeft, this, &TFmMainForm::lbl_zxckMouseLeave);
    connect(Pal_2_3->lbl_Email, &LinkLabel::mouseMoved, this, &TFmMainForm::lbl_EmailMouseMove);
    connect(Pal_2_3->lbl_Email, &LinkLabel::mouseLeft, this, &TFmMainForm::lbl_EmailMouseLeave);

    void (TFmMainForm::*const assistant[])() = {&TFmMainForm::SpdBtn_1Click, &TFmMainForm::SpdBtn_2Click,
                                                &TFmMainForm::SpdBtn_3Click, &TFmMainForm::SpdBtn_4Click,
                                                &TFmMainForm::SpdBtn_5Click, &TFmMainForm::SpdBtn_6Click,
                                                &TFmMainForm::SpdBtn_7Click, &TFmMainForm::SpdBtn_8Click};
    for (int i = 0; i < 8; ++i)
        connect(Pal_2_4->SpdBtn[i], &QToolButton::clicked, this, assistant[i]);
}

void TFmMainForm::FormCreate()
{
    // The splash is shown once, before the main window is on screen; it
    // stays with its owner, hidden, after it closes.
    if (!Fmflash) {
        Fmflash = new TFmflash(this);
        Fmflash->ShowVersion(InstalledVersion(VersionFile));
        Fmflash->exec();
    }
    // The designed size at the first start; afterwards the size the user left.
    resize(kDesignedSize);
    if (!platform::WindowState::restore(this, QString::fromLatin1(kStateKey)) ||
        !platform::windowPositionsHonoured())
        CentreOnScreen();
    LayOutWindow();
    Pal_2->show();
    ShowContentPanel(Pal_2_0);
    ReadInstalledVersion();
    Pal_1->LoadCompanyList();
    TBrowsePanel::BuildCategoryTree(Pal_1->TreeView1);
    Pal_1->TreeView1->expandAll();
    Pal_1->TreeView1->scrollToTop();
    // A large list is still being read: the count is written when it is whole.
    connect(DMForm->ADOContAccess, &platform::db::DbConnection::loadProgressed, this,
            &TFmMainForm::ShowLoadProgress);
    // Until the reading reports again, the rows it has shown so far (those
    // read ahead of the rest) are what it has read.
    ShowLoadProgress(DMForm->ADOQryDVPack->recordCount(), DMForm->ADOContAccess->loading() ? 0 : 1,
                     !DMForm->ADOContAccess->loading(), false);
}

void TFmMainForm::ShowLoadProgress(int rows, double fraction, bool finished, bool failed)
{
    ShowStatusText(PanelACaption, TBrowsePanel::LoadCaption(rows, fraction, finished, failed));
    // The only place that writes the count, once: filters and queries leave it.
    if (finished && !failed && PanelC->text() == QStringLiteral("| 总记录数："))
        ShowStatusText(PanelC, RecordCountCaption(rows));
}

QList<QWidget *> TFmMainForm::ContentPanels() const
{
    return {Pal_1, Pal_2_0, Pal_2_1, Pal_2_2, Pal_2_3, Pal_2_4, Pal_2_5, Pal_2_6};
}

void TFmMainForm::ShowContentPanel(QWidget *panel)
{
    // Every switch sets all eight explicitly, so exactly one shows.
    for (QWidget *p : ContentPanels())
        p->setVisible(p == panel);
}

QWidget *TFmMainForm::VisibleContentPanel() const
{
    for (QWidget *p : ContentPanels())
        if (!p->isHidden())
            return p;
    return nullptr;
}

void TFmMainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayOutWindow();
    if (m_stateSaver)
        m_stateSaver->start();
}

void TFmMainForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_stateSaver)
        m_stateSaver->start();
}

void TFmMainForm::LayOutWindow()
{
    // The strip, the background and the status line span the window (the
    // background's ends as designed, its middle drawn wider); the logo and
    // the banner keep their places and sizes, "退 出" and "×" keep theirs
    // from the right edge, and Pal_2 takes what grows.
    const int w = width();
    const int h = height();
    Image2->setGeometry(0, 0, w, 21);
    SpeedButton7->move(w - 19, 3);
    Panel2->setGeometry(0, 21, w, h - 21);
    Image1->setGeometry(0, 0, w, Image1->picture().height());
    SpBtn_Exit->move(w - 80, 13);
    Pal_2->setGeometry(8, 72, w - 19, Panel2->height() - 89);
    PanelA->setGeometry(0, Panel2->height() - 18, w, 18);
    LayOutStatusLine();
    LayOutContentPanels();
    if (Edges)
        Edges->raiseGrips();
}

void TFmMainForm::LayOutContentPanels()
{
    const int left = SideBar->isHidden() ? 0 : SideBar->width();
    SideBar->setGeometry(0, 0, SideBar->width(), Pal_2->height());
    for (QWidget *p : ContentPanels())
        p->setGeometry(left, 0, Pal_2->width() - left, Pal_2->height());
}

QString TFmMainForm::ClockCaption(const QTime &time, const QLocale &locale)
{
    return QStringLiteral("| 现在时间：") +
           locale.toString(time, withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

void TFmMainForm::Timer1Timer()
{
    ShowClock(ClockCaption(QTime::currentTime(), QLocale::system()));
}

void TFmMainForm::Image2MouseDown(Qt::MouseButton button, const QPointF &globalPos)
{
    // A window that fills the screen stays where it is.
    if (isMaximized() || isFullScreen())
        return;
    platform::dragWindow(this, button, globalPos);
}

void TFmMainForm::Image2DblClick()
{
    if (isFullScreen())
        return;
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void TFmMainForm::SpeedButton4Click()
{
    QToolButton *toggle = Pal_1->SpeedButton4;
    if (toggle->text().compare(QStringLiteral("返回"), Qt::CaseInsensitive) == 0) {
        SideBar->show();
        toggle->setText(QStringLiteral("全屏"));
        // Back to the window the user had before.
        if (m_maximizedBeforeFullScreen)
            showMaximized();
        else
            showNormal();
    } else {
        SideBar->hide();
        toggle->setText(QStringLiteral("返回"));
        m_maximizedBeforeFullScreen = isMaximized();
        showFullScreen();
    }
    LayOutContentPanels();
}

void TFmMainForm::SideBarHeaders0Change()
{
    ShowContentPanel(Pal_2_0);
}

void TFmMainForm::SideBarHeaders0Buttons0Click()
{
    ShowContentPanel(Pal_1);
}

void TFmMainForm::SideBarHeaders0Buttons1Click()
{
    ShowContentPanel(Pal_2_1);
}

void TFmMainForm::SideBarHeaders0Buttons2Click()
{
    ShowContentPanel(Pal_2_2);
}

void TFmMainForm::SideBarHeaders0Buttons3Click()
{
    ShowContentPanel(Pal_2_3);
}

void TFmMainForm::SideBarHeaders0Buttons4Click()
{
    ShowContentPanel(Pal_2_4);
}

void TFmMainForm::SideBarHeaders0Buttons5Click()
{
    ShowContentPanel(Pal_2_5);
}

void TFmMainForm::SideBarHeaders0Buttons6Click()
{
    ShowContentPanel(Pal_2_6);
    Pal_2_6->FirstShow();
}

void TFmMainForm::DisconnectDatabase()
{
    // Disconnecting posts any profile text still being typed.
    try {
        DMForm->ADOContAccess->setConnected(false);
    } catch (...) {
    }
}

void TFmMainForm::SpeedButton7Click()
{
    close();
    QApplication::quit();
}

void TFmMainForm::SpBtn_ExitClick()
{
    DisconnectDatabase();
    close();
    QApplication::quit();
}

void TFmMainForm::closeEvent(QCloseEvent *event)
{
    platform::WindowState::save(this, QString::fromLatin1(kStateKey));
    DisconnectDatabase();
    event->accept();
}

void TFmMainForm::SpeedButton11Click()
{
    UpdateHook->SpeedButton11Click();
}

void TFmMainForm::ReadInstalledVersion()
{
    UpdateHook->ReadInstalledVersion(VersionFile);
    // The about page shows the version the upgrade compares with.
    Pal_2_0->ShowVersion(SoftUpdate->VersionNumber());
}

void TFmMainForm::SoftUpdateAborted()
{
    UpdateHook->SoftUpdateAborted();
}

void TFmMainForm::SoftUpdateNoUpdateAvailable()
{
    UpdateHook->SoftUpdateNoUpdateAvailable();
}

// ---- Links ----

void TFmMainForm::Image3Click()
{
    links::Open(links::Link::Home, this);
}

void TFmMainForm::Image4Click()
{
    links::Open(links::Link::Home, this);
}

void TFmMainForm::LabelBMouseDown(Qt::MouseButton)
{
    links::Open(links::Link::Home, this);
}

void TFmMainForm::LabelBMouseMove()
{
    LabelB->setCursor(Qt::PointingHandCursor);
    LabelB->setColor(Qt::blue);
}

void TFmMainForm::LabelBMouseLeave()
{
    LabelB->unsetCursor();
    LabelB->setColor(palette().color(QPalette::WindowText));
}

void TFmMainForm::SpBtn_INClick()
{
    links::Open(links::Link::MemberRegistration, this);
}

void TFmMainForm::lbl_dlxxClick()
{
    links::Open(links::Link::AgentInformation, this);
}

void TFmMainForm::lbl_jmdlClick()
{
    links::Open(links::Link::AgentApplication, this);
}

void TFmMainForm::lbl_zxckClick()
{
    links::Open(links::Link::AdvertDetails, this);
}

void TFmMainForm::lbl_EmailClick()
{
    // The address the label shows after its "EMAIL：" prefix.
    const QString caption = Pal_2_3->lbl_Email->text();
    const QString prefix = contenttext::EmailCaptionPrefix();
    const QString email = caption.startsWith(prefix) ? caption.mid(prefix.size()) : caption;
    links::OpenAddress(links::MailTo(email.trimmed()), this);
}

void TFmMainForm::SpdBtn_1Click()
{
    links::Open(links::Link::Hotel, this);
}

void TFmMainForm::SpdBtn_2Click()
{
    links::Open(links::Link::Translation, this);
}

void TFmMainForm::SpdBtn_3Click()
{
    links::Open(links::Link::Purchase, this);
}

void TFmMainForm::SpdBtn_4Click()
{
    links::Open(links::Link::Modeling, this);
}

void TFmMainForm::SpdBtn_5Click()
{
    links::Open(links::Link::Multimedia, this);
}

void TFmMainForm::SpdBtn_6Click()
{
    links::Open(links::Link::Sample, this);
}

void TFmMainForm::SpdBtn_7Click()
{
    links::Open(links::Link::SiteBuild, this);
}

void TFmMainForm::SpdBtn_8Click()
{
    links::Open(links::Link::SitePromote, this);
}

void TFmMainForm::lbl_dlxxMouseMove()
{
    Pal_2_2->lbl_dlxx->setUnderlined(true);
}

void TFmMainForm::lbl_dlxxMouseLeave()
{
    Pal_2_2->lbl_dlxx->setUnderlined(false);
}

void TFmMainForm::lbl_jmdlMouseMove()
{
    Pal_2_2->lbl_jmdl->setUnderlined(true);
}

void TFmMainForm::lbl_jmdlMouseLeave()
{
    Pal_2_2->lbl_jmdl->setUnderlined(false);
}

void TFmMainForm::lbl_zxckMouseMove()
{
    Pal_2_3->lbl_zxck->setUnderlined(true);
}

void TFmMainForm::lbl_zxckMouseLeave()
{
    Pal_2_3->lbl_zxck->setUnderlined(false);
}

void TFmMainForm::lbl_EmailMouseMove()
{
    Pal_2_3->lbl_Email->setUnderlined(true);
}

void TFmMainForm::lbl_EmailMouseLeave()
{
    Pal_2_3->lbl_Email->setUnderlined(false);
}
