#pragma once

#include <QWidget>

#include <array>

class LinkLabel;
class PictureBox;
class QLabel;
class QToolButton;

// The main window's fixed content panels beside the side bar: the about
// page and the pages on getting listed, the agent programme, advertising
// and the business assistant. Each panel only builds its controls; the main
// window connects the links and buttons to its handlers.

// Size of the space right of the bar, which every content panel fills.
inline constexpr QSize kContentPanelSize(661, 490);

// A grey content panel with a blue heading at its top.
class TContentPanel : public QWidget
{
    Q_OBJECT
public:
    TContentPanel(const QString &objectName, const QString &heading, QWidget *parent);

    QLabel *Heading;

protected:
    // A block of fixed rich text, wrapped to the width of `geometry`.
    QLabel *AddText(const QString &objectName, const QString &html, const QRect &geometry);
    // The red bold slogan of the directory.
    QLabel *AddSlogan(const QPoint &topLeft);
    // A link in red (or the given colour), 12-pixel "新宋体", hand cursor.
    LinkLabel *AddLink(const QString &objectName, const QString &text, const QPoint &topLeft,
                       const QColor &color);
    PictureBox *AddPicture(const QString &objectName, const QImage &picture, const QPoint &topLeft);
};

// Pal_2_0: what Velmora is, its fact sheet, and the online upgrade.
class TAboutPanel : public TContentPanel
{
    Q_OBJECT
public:
    explicit TAboutPanel(QWidget *parent);

    // Writes the installed version into the fact sheet.
    void ShowVersion(const QString &installed);

    QLabel *Description;
    QLabel *Facts;
    PictureBox *Image5;
    QLabel *Slogan;
    // "在线升级": 161 × 65 at (440, 384).
    QToolButton *SpeedButton11;
};

// Pal_2_1: how a company gets listed, and the online registration.
class TJoinPanel : public TContentPanel
{
    Q_OBJECT
public:
    explicit TJoinPanel(QWidget *parent);

    QLabel *Steps;
    QLabel *Slogan;
    QLabel *PostalAddress;
    // The picture button that opens the online registration.
    QToolButton *SpBtn_IN;
};

// Pal_2_2: the agent programme.
class TAgentPanel : public TContentPanel
{
    Q_OBJECT
public:
    explicit TAgentPanel(QWidget *parent);

    QLabel *Introduction;
    QLabel *Terms;
    PictureBox *Image6;
    LinkLabel *lbl_dlxx; // "在线代理信息查看"
    LinkLabel *lbl_jmdl; // "在线申请加盟"
};

// Pal_2_3: advertising, with the price list and the contacts.
class TAdvertPanel : public TContentPanel
{
    Q_OBJECT
public:
    explicit TAdvertPanel(QWidget *parent);

    QLabel *Introduction;
    QLabel *PriceList;
    QLabel *Contact;
    PictureBox *Image7;
    LinkLabel *lbl_zxck;  // "在线详细查看"
    LinkLabel *lbl_Email; // "EMAIL：" and the vendor's address
};

// Pal_2_4: the business assistant's eight picture buttons.
class TAssistantPanel : public TContentPanel
{
    Q_OBJECT
public:
    explicit TAssistantPanel(QWidget *parent);

    // SpdBtn_1 … SpdBtn_8 in order: hotel booking, translation, purchasing,
    // product modelling, company multimedia, electronic samples, web-site
    // building, web-site promotion.
    std::array<QToolButton *, 8> SpdBtn;
};
