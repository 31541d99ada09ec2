#include "query/uFmPackContent.h"

#include "platform/db/DbEdit.h"
#include "platform/db/DbMemo.h"
#include "platform/ui/PopupMenu.h"
#include "platform/ui/TextLines.h"
#include "platform/ui/WindowStacking.h"
#include "query/ToolTitleStrip.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include <algorithm>

using namespace platform::db;

TFmPackContent *FmPackContent = nullptr;

namespace {

constexpr int kFirstRowTop = 30;
constexpr int kRowStep = 24;
// At least a line of text and the box's frame; Noto CJK needs 21 at 12 pixels.
constexpr int kMinimumBoxHeight = 20;

struct BoxPlace
{
    int row;
    bool right;
    bool fullWidth;
    const char *caption;
    const char *field;
};

// The card's rows, top to bottom, left before right.
constexpr BoxPlace kBoxes[] = {
    {1, false, false, "地区编号", "cAreaNo"},   {1, true, false, "地区名称", "cArea"},
    {2, false, true, "公司名称", "cCorpCName"}, {3, false, true, "英文名称", "cCorpEName"},
    {4, false, true, "中文地址", "cCAdd"},      {5, false, true, "英文地址", "cEAdd"},
    {6, false, false, "邮    编", "cZip"},      {6, true, false, "联 系 人", "cManager"},
    {7, false, false, "电    话", "cTel"},      {7, true, false, "传    真", "cFax"},
    {8, false, false, "网    址", "cHttp"},     {8, true, false, "邮    箱", "cEmail"},
    {9, false, false, "省    份", "cProvince"}, {9, true, false, "类别名称", "cTypeName"},
    {10, false, true, "主营产品", "cMainProd"},
};

} // namespace

TFmPackContent::TFmPackContent(DataSource *source, QWidget *owner)
    : QWidget(owner, platform::kOwnedToolWindowFlags)
{
    ToolTitleStrip::setUpToolWindow(this, QStringLiteral("FmPackContent"), QStringLiteral("企业信息"),
                                    QSize(507, 322));

    PopupMenu1 = new platform::PopupMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));

    Image1 = new ToolTitleStrip(QStringLiteral("企业信息"), this);
    Image1->setGeometry(0, 0, width(), ToolTitleStrip::kHeight);
    SpeedButton4 = Image1->closeButton();
    SpeedButton4->setObjectName(QStringLiteral("SpeedButton4"));

    QPalette blue;
    blue.setColor(QPalette::Text, Qt::blue);
    const int boxHeight = std::max(kMinimumBoxHeight, fontMetrics().height() + 4);
    auto place = [this, boxHeight](QWidget *box, const char *caption, int row, bool right, int width,
                                   int height) {
        const int top = kFirstRowTop + (row - 1) * kRowStep;
        auto *label = new QLabel(QString::fromUtf8(caption), this);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setGeometry(right ? 257 : 9, top, 54, boxHeight);
        box->setGeometry(right ? 312 : 64, top, width, height);
        // A screen reader names the box by its caption.
        label->setBuddy(box);
    };
    for (const BoxPlace &b : kBoxes) {
        auto *box = new DbEdit(this);
        box->setObjectName(QLatin1String(b.field));
        box->setFont(font());
        box->setPalette(blue);
        box->setReadOnly(true);
        box->setDataSource(source);
        box->setDataField(QLatin1String(b.field));
        place(box, b.caption, b.row, b.right, b.fullWidth ? 433 : 185, boxHeight);
        UsePopupMenu(box);
        m_boxes.insert(QLatin1String(b.field), box);
        if (qstrcmp(b.field, "cMainProd") != 0)
            box->installEventFilter(this); // cAreaNoKeyPress
    }

    cCorpMemo = new DbMemo(this);
    cCorpMemo->setObjectName(QStringLiteral("cCorpMemo"));
    cCorpMemo->setFont(font());
    cCorpMemo->setPalette(blue);
    cCorpMemo->setDataSource(source);
    cCorpMemo->setDataField(QStringLiteral("cCorpMemo"));
    // Two whole lines high.
    place(cCorpMemo, "公司简介", 11, false, 433, platform::heightForWholeLines(cCorpMemo, 2));

    connect(SpeedButton4, &QToolButton::clicked, this, &TFmPackContent::SpeedButton4Click);
    connect(Image1, &ToolTitleStrip::pressed, this, &TFmPackContent::Image1MouseDown);
}

TFmPackContent::~TFmPackContent()
{
    for (DbEdit *box : std::as_const(m_boxes))
        box->removeEventFilter(this);
    if (FmPackContent == this)
        FmPackContent = nullptr;
}

void TFmPackContent::UsePopupMenu(QWidget *control)
{
    control->setContextMenuPolicy(Qt::CustomContextMenu);
    platform::PopupMenu *menu = PopupMenu1;
    connect(control, &QWidget::customContextMenuRequested, menu, [menu, control](const QPoint &pos) {
        if (!menu->Menu()->actions().isEmpty())
            menu->Popup(control->mapToGlobal(pos));
    });
    connect(menu, &QObject::destroyed, control,
            [control] { control->setContextMenuPolicy(Qt::DefaultContextMenu); });
}

bool TFmPackContent::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (!text.isEmpty() && text[0] != QChar(0x7f) && key->key() != Qt::Key_Tab &&
            key->key() != Qt::Key_Backtab && key->key() != Qt::Key_Escape) {
            QChar ch = text[0];
            cAreaNoKeyPress(ch);
            if (ch.isNull())
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFmPackContent::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFmPackContent::cAreaNoKeyPress(QChar &key)
{
    key = QChar();
}

void TFmPackContent::SpeedButton4Click()
{
    close();
}

void TFmPackContent::Image1MouseDown(Qt::MouseButton button, const QPointF &globalPos)
{
    ToolTitleStrip::moveWindow(this, button, globalPos);
}

void TFmPackContent::setVisible(bool visible)
{
    if (visible && isHidden())
        ToolTitleStrip::placeForShowing(this, m_placed);
    QWidget::setVisible(visible);
}
