#include "app/uContentPanels.h"

#include "app/LinkLabel.h"
#include "app/PictureBox.h"
#include "app/VendorLinks.h"
#include "app/WindowLook.h"
#include "app/uContentTexts.h"
#include "resources/Glyphs.h"
#include "resources/Pictures.h"

#include <QFrame>
#include <QLabel>
#include <QToolButton>

using resources::Glyph;
using resources::Picture;

namespace {

const QColor kPanelGrey(213, 213, 213);
const QColor kHeadingBlue(0, 102, 255);
const QColor kLinkRed(Qt::red);

using look::songFont;

// A flat button with its glyph above the caption and the hand cursor.
QToolButton *makeGlyphButton(QWidget *parent, const QString &name, const QString &caption, Glyph glyph,
                             int glyphSize, const QRect &geometry)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setIcon(QIcon(resources::glyph(glyph, glyphSize)));
    b->setIconSize(QSize(glyphSize, glyphSize));
    b->setText(caption);
    b->setGeometry(geometry);
    return b;
}

} // namespace

TContentPanel::TContentPanel(const QString &objectName, const QString &heading, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(objectName);
    resize(kContentPanelSize);
    look::setBackground(this, kPanelGrey);

    Heading = new QLabel(heading, this);
    Heading->setObjectName(objectName + QStringLiteral("_Heading"));
    Heading->setFont(songFont(16, true));
    look::setTextColor(Heading, kHeadingBlue);
    Heading->setGeometry(16, 10, 629, 24);

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(16, 36, 629, 2);
}

QLabel *TContentPanel::AddText(const QString &objectName, const QString &html, const QRect &geometry)
{
    auto *text = new QLabel(this);
    text->setObjectName(objectName);
    text->setTextFormat(Qt::RichText);
    text->setText(html);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setGeometry(geometry);
    return text;
}

QLabel *TContentPanel::AddSlogan(const QPoint &topLeft)
{
    auto *slogan = new QLabel(contenttext::Slogan(), this);
    slogan->setObjectName(QStringLiteral("Slogan"));
    slogan->setFont(songFont(14, true));
    look::setTextColor(slogan, kLinkRed);
    slogan->move(topLeft);
    slogan->resize(slogan->sizeHint());
    return slogan;
}

LinkLabel *TContentPanel::AddLink(const QString &objectName, const QString &text, const QPoint &topLeft,
                                  const QColor &color)
{
    auto *link = new LinkLabel(text, this);
    link->setObjectName(objectName);
    link->setFont(songFont(12));
    link->setColor(color);
    link->setCursor(Qt::PointingHandCursor);
    link->move(topLeft);
    link->resize(link->sizeHint());
    return link;
}

PictureBox *TContentPanel::AddPicture(const QString &objectName, const QImage &picture, const QPoint &topLeft)
{
    auto *box = new PictureBox(picture, this);
    box->setObjectName(objectName);
    box->move(topLeft);
    return box;
}

TAboutPanel::TAboutPanel(QWidget *parent)
    : TContentPanel(QStringLiteral("Pal_2_0"), QStringLiteral("关于Velmora"), parent)
{
    Description =
        AddText(QStringLiteral("Description"), contenttext::AboutDescription(), QRect(16, 48, 372, 170));
    Image5 = AddPicture(QStringLiteral("Image5"), resources::picture(Picture::About), QPoint(405, 52));
    Image5->setAccessibleName(QStringLiteral("Velmora中国企业名录图片"));
    Facts = AddText(QStringLiteral("Facts"), contenttext::AboutFacts(QString()), QRect(16, 226, 372, 160));
    Slogan = AddSlogan(QPoint(16, 406));
    SpeedButton11 = makeGlyphButton(this, QStringLiteral("SpeedButton11"), QStringLiteral("在线升级"),
                                    Glyph::Upgrade, 32, QRect(440, 384, 161, 65));
    SpeedButton11->setFont(songFont(14, true));
}

void TAboutPanel::ShowVersion(const QString &installed)
{
    Facts->setText(contenttext::AboutFacts(installed));
}

TJoinPanel::TJoinPanel(QWidget *parent)
    : TContentPanel(QStringLiteral("Pal_2_1"), QStringLiteral("加入Velmora"), parent)
{
    Steps = AddText(QStringLiteral("Steps"), contenttext::JoinSteps(), QRect(16, 48, 629, 240));
    Slogan = AddSlogan(QPoint(16, 300));
    PostalAddress = new QLabel(contenttext::VendorPostalAddress(), this);
    PostalAddress->setObjectName(QStringLiteral("PostalAddress"));
    PostalAddress->setGeometry(16, 332, 629, 18);

    const QImage join = resources::picture(Picture::Join);
    SpBtn_IN = new QToolButton(this);
    SpBtn_IN->setObjectName(QStringLiteral("SpBtn_IN"));
    SpBtn_IN->setAutoRaise(true);
    SpBtn_IN->setCursor(Qt::PointingHandCursor);
    SpBtn_IN->setToolTip(QStringLiteral("在线注册，免费加入Velmora"));
    SpBtn_IN->setAccessibleName(SpBtn_IN->toolTip());
    SpBtn_IN->setIcon(QIcon(QPixmap::fromImage(join)));
    SpBtn_IN->setIconSize(join.size());
    // The picture and the flat frame the style draws around it, centred.
    const QSize size = SpBtn_IN->sizeHint();
    SpBtn_IN->setGeometry((width() - size.width()) / 2, 376, size.width(), size.height());
}

TAgentPanel::TAgentPanel(QWidget *parent)
    : TContentPanel(QStringLiteral("Pal_2_2"), QStringLiteral("加 盟 代 理"), parent)
{
    Introduction =
        AddText(QStringLiteral("Introduction"), contenttext::AgentIntroduction(), QRect(16, 48, 629, 60));
    Terms = AddText(QStringLiteral("Terms"), contenttext::AgentTerms(), QRect(16, 112, 400, 260));
    Image6 = AddPicture(QStringLiteral("Image6"), resources::picture(Picture::Agent), QPoint(440, 118));
    Image6->setAccessibleName(QStringLiteral("加盟代理图片"));
    lbl_dlxx =
        AddLink(QStringLiteral("lbl_dlxx"), QStringLiteral("在线代理信息查看"), QPoint(440, 290), kLinkRed);
    lbl_jmdl =
        AddLink(QStringLiteral("lbl_jmdl"), QStringLiteral("在线申请加盟"), QPoint(440, 318), kLinkRed);
}

TAdvertPanel::TAdvertPanel(QWidget *parent)
    : TContentPanel(QStringLiteral("Pal_2_3"), QStringLiteral("广告征订"), parent)
{
    Introduction =
        AddText(QStringLiteral("Introduction"), contenttext::AdvertIntroduction(), QRect(16, 48, 629, 60));
    PriceList =
        AddText(QStringLiteral("PriceList"), contenttext::AdvertPriceList(), QRect(16, 116, 400, 150));
    Image7 = AddPicture(QStringLiteral("Image7"), resources::picture(Picture::Advert), QPoint(440, 118));
    Image7->setAccessibleName(QStringLiteral("广告征订图片"));
    Contact = AddText(QStringLiteral("Contact"), contenttext::AdvertContact(), QRect(16, 284, 629, 44));
    lbl_zxck = AddLink(QStringLiteral("lbl_zxck"), QStringLiteral("在线详细查看"), QPoint(16, 340), kLinkRed);
    lbl_Email = AddLink(QStringLiteral("lbl_Email"), contenttext::EmailCaptionPrefix() + links::VendorEmail(),
                        QPoint(16, 368), QColor(Qt::blue));
}

TAssistantPanel::TAssistantPanel(QWidget *parent)
    : TContentPanel(QStringLiteral("Pal_2_4"), QStringLiteral("商务助手"), parent)
{
    struct Place
    {
        const char *caption;
        Glyph glyph;
        int x;
        int y;
    };
    const Place places[] = {
        {"酒店预订", Glyph::Hotel, 64, 48},          {"商务翻译", Glyph::Translation, 248, 48},
        {"在线采购", Glyph::Purchase, 432, 48},      {"产品建模", Glyph::Modeling, 64, 192},
        {"企业多媒体", Glyph::Multimedia, 248, 192}, {"电子样本", Glyph::Sample, 432, 192},
        {"网站建设", Glyph::SiteBuild, 152, 336},    {"网站推广", Glyph::SitePromote, 344, 336},
    };
    for (int i = 0; i < 8; ++i) {
        const Place &p = places[i];
        SpdBtn[i] = makeGlyphButton(this, QStringLiteral("SpdBtn_%1").arg(i + 1),
                                    QString::fromUtf8(p.caption), p.glyph, 48, QRect(p.x, p.y, 121, 97));
        SpdBtn[i]->setFont(songFont(13, true));
    }
}
