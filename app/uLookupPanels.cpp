#include "app/uLookupPanels.h"

#include "app/uDMForm.h"
#include "platform/db/Database.h"
#include "platform/db/DbGrid.h"
#include "platform/ui/MessageBox.h"
#include "resources/Glyphs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

using namespace platform::db;

namespace {

const QColor kPanelGrey(213, 213, 213);
const QColor kHeadingBlue(0, 102, 255);
const QColor kInputBlue(0, 0, 255);
constexpr int kPanelWidth = 661;
constexpr int kPanelHeight = 490;
constexpr int kMargin = 16;

const QString kSearchFailed = QStringLiteral("搜索失败！");

QFont songFont(const QString &family, int pixels, bool bold = false)
{
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

void setTextColor(QWidget *w, QPalette::ColorRole role, const QColor &color)
{
    QPalette pal = w->palette();
    pal.setColor(role, color);
    w->setPalette(pal);
}

// The grey page with its blue heading and a rule beneath, as every content
// panel of the main window has.
void setUpPage(QWidget *page, const char *name, const QString &heading)
{
    page->setObjectName(QLatin1String(name));
    page->resize(kPanelWidth, kPanelHeight);
    page->setAutoFillBackground(true);
    setTextColor(page, QPalette::Window, kPanelGrey);

    auto *title = new QLabel(heading, page);
    title->setObjectName(QLatin1String(name) + QStringLiteral("_Heading"));
    title->setFont(songFont(QStringLiteral("新宋体"), 16, true));
    setTextColor(title, QPalette::WindowText, kHeadingBlue);
    title->setGeometry(kMargin, 10, kPanelWidth - 2 * kMargin, 24);

    auto *rule = new QFrame(page);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(kMargin, 36, kPanelWidth - 2 * kMargin, 2);
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    if (name)
        label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QLineEdit *makeEdit(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(geometry);
    return edit;
}

// "查找": a flat button with the lookup glyph beside its caption.
QToolButton *makeLookupButton(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setIcon(QIcon(resources::glyph(resources::Glyph::Lookup, 16)));
    b->setText(QStringLiteral("查找"));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setGeometry(geometry);
    return b;
}

bool isAsciiDigits(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

} // namespace

// --- Mobile-number lookup ---------------------------------------------------

TMobileLookupPanel::TMobileLookupPanel(QWidget *parent) : QWidget(parent)
{
    setUpPage(this, "Pal_2_5", QStringLiteral("手机号码查询"));

    Label18 = makeLabel(this, "Label18", QStringLiteral("手机号码"), QRect(40, 64, 64, 24));
    Cardtext = makeEdit(this, "Cardtext", QRect(110, 62, 200, 26));
    Label18->setBuddy(Cardtext);
    Cardtext->setFont(songFont(QStringLiteral("宋体"), 13));
    setTextColor(Cardtext, QPalette::Text, kInputBlue);
    // Only typed digits get in; an input method would bypass the key filter.
    Cardtext->setAttribute(Qt::WA_InputMethodEnabled, false);
    Cardtext->installEventFilter(this);
    SpeedButton10 = makeLookupButton(this, "SpeedButton10", QRect(320, 61, 72, 28));

    GroupBox1 = new QGroupBox(QStringLiteral("查询信息"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(40, 108, 580, 150);
    const struct
    {
        const char *label;
        QLineEdit **edit;
        const char *name;
        QPoint at;
    } results[] = {
        {"所属省份", &edt_1, "edt_1", {20, 26}},
        {"所属城市", &edt_2, "edt_2", {300, 26}},
        {"当地区号", &edt_3, "edt_3", {20, 84}},
        {"此手机的类型", &edt_4, "edt_4", {300, 84}},
    };
    for (const auto &r : results) {
        QLabel *caption =
            makeLabel(GroupBox1, nullptr, QString::fromUtf8(r.label), QRect(r.at, QSize(240, 20)));
        *r.edit = makeEdit(GroupBox1, r.name, QRect(r.at + QPoint(0, 22), QSize(260, 24)));
        caption->setBuddy(*r.edit);
    }

    connect(SpeedButton10, &QToolButton::clicked, this, &TMobileLookupPanel::SpeedButton10Click);
}

bool TMobileLookupPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Cardtext && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (text.size() == 1)
            return CardtextKeyPress(text.front());
    }
    return QWidget::eventFilter(watched, event);
}

bool TMobileLookupPanel::CardtextKeyPress(QChar key)
{
    const char16_t c = key.unicode();
    if (c == u'\r') {
        LookupMobile();
        return true;
    }
    // Other control codes are editing commands (Ctrl+V pastes, Delete),
    // not characters.
    if (c < 0x20 || c == 0x7F)
        return false;
    return !(c >= u'0' && c <= u'9');
}

void TMobileLookupPanel::LookupMobile()
{
    // Whatever this lookup ends in, the answer of an earlier number does not
    // stay beside it.
    for (QLineEdit *result : {edt_1, edt_2, edt_3, edt_4})
        result->clear();
    const QString number = Cardtext->text().trimmed();
    if (number.size() != 11) {
        platform::showMessage(QStringLiteral("对不起，手机输入有误！"), this);
        Cardtext->setFocus();
        return;
    }
    const QString prefix = number.left(7);
    // The prefix stands unquoted in the statement: only digits may get there.
    if (!isAsciiDigits(prefix)) {
        platform::showMessage(kSearchFailed, this);
        return;
    }
    try {
        DbQuery *card = DMForm->ADOQryCard;
        card->setSqlText(
            QStringLiteral("select province,city,code,cardtype from GM_Card WHERE (startnum <=") + prefix +
            QStringLiteral(" and endnum >=") + prefix + QStringLiteral(")"));
        card->open();
        if (card->isEmpty()) {
            platform::showMessage(QStringLiteral("没有找到相关的手机号码，请确认手机号码输入是否有误！"),
                                  this);
            Cardtext->setFocus();
            return;
        }
        card->first();
        edt_1->setText(card->fieldByName(QStringLiteral("province"))->asString());
        edt_2->setText(card->fieldByName(QStringLiteral("city"))->asString());
        edt_3->setText(card->fieldByName(QStringLiteral("code"))->asString());
        edt_4->setText(card->fieldByName(QStringLiteral("cardtype"))->asString());
    } catch (const DbError &) {
        platform::showMessage(kSearchFailed, this);
    }
}

// --- Area-code lookup -------------------------------------------------------

TAreaLookupPanel::TAreaLookupPanel(QWidget *parent) : QWidget(parent)
{
    setUpPage(this, "Pal_2_6", QStringLiteral("地区区号查询"));

    constexpr int row = 52;
    Label6 = makeLabel(this, "Label6", QStringLiteral("匹配字段"), QRect(kMargin, row, 56, 24));
    FCboBoxField = new QComboBox(this);
    FCboBoxField->setObjectName(QStringLiteral("FCboBoxField"));
    FCboBoxField->setEditable(false);
    FCboBoxField->setFont(songFont(QStringLiteral("宋体"), 12));
    setTextColor(FCboBoxField, QPalette::ButtonText, kInputBlue);
    setTextColor(FCboBoxField, QPalette::Text, kInputBlue);
    FCboBoxField->setGeometry(76, row, 110, 24);
    Label6->setBuddy(FCboBoxField);

    CheckBoxFind = new QCheckBox(QStringLiteral("模糊查询"), this);
    CheckBoxFind->setObjectName(QStringLiteral("CheckBoxFind"));
    CheckBoxFind->setChecked(true);
    CheckBoxFind->setGeometry(200, row, 84, 24);

    Label17 = makeLabel(this, "Label17", QStringLiteral("搜索内容"), QRect(296, row, 56, 24));
    FFieldText = makeEdit(this, "FFieldText", QRect(356, row, 180, 24));
    Label17->setBuddy(FFieldText);
    SpeedButton9 = makeLookupButton(this, "SpeedButton9", QRect(548, row - 2, 72, 28));

    DBGrid_Area = new DbGrid(this);
    DBGrid_Area->setObjectName(QStringLiteral("DBGrid_Area"));
    DBGrid_Area->setAccessibleName(QStringLiteral("地区查询结果"));
    DBGrid_Area->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    DBGrid_Area->setColumns({{QStringLiteral("areanumber"), 95},
                             {QStringLiteral("keyw"), 147},
                             {QStringLiteral("province"), 154},
                             {QStringLiteral("zipcode"), 114}});
    if (DMForm)
        DBGrid_Area->setDataSource(DMForm->FDataSource);

    DBGrid_Area->setEmptyText(QStringLiteral("没有找到符合条件的地区"));
    connect(SpeedButton9, &QToolButton::clicked, this, &TAreaLookupPanel::SpeedButton9Click);
    // Enter in the search text searches, as Enter in the mobile number looks up.
    connect(FFieldText, &QLineEdit::returnPressed, this, &TAreaLookupPanel::SpeedButton9Click);
}

void TAreaLookupPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    constexpr int top = 88;
    DBGrid_Area->setGeometry(kMargin, top, width() - 2 * kMargin, std::max(0, height() - top - 12));
}

void TAreaLookupPanel::FirstShow()
{
    DbQuery *area = DMForm->ADOAreaQuery;
    if (area->active())
        return;
    try {
        area->open();
    } catch (const DbError &) {
        // Left closed, so that the next show tries again.
        platform::showMessage(QStringLiteral("出现异常！"), this);
        return;
    }
    FillAreaFieldList();
    FAreaSql = area->sqlText();
}

void TAreaLookupPanel::FillAreaFieldList()
{
    for (int c = 0; c < DBGrid_Area->model()->columnCount(); ++c) {
        const DbField *field = DBGrid_Area->columnField(c);
        if (field && field->fieldKind() == DbField::Kind::Data)
            FCboBoxField->addItem(field->displayLabel());
    }
    FCboBoxField->setCurrentIndex(0);
}

void TAreaLookupPanel::SearchArea()
{
    DbQuery *area = DMForm->ADOAreaQuery;
    const QString chosen = FCboBoxField->currentText().trimmed();
    for (int f = 0; f < area->fieldCount(); ++f) {
        const DbField *field = area->field(f);
        if (field->displayLabel().trimmed().compare(chosen, Qt::CaseInsensitive) == 0) {
            FAreaField = field->fieldName().trimmed();
            break;
        }
    }

    const QString value = FFieldText->text().trimmed();
    // The engine would end the statement at a NUL and drop what follows.
    if (value.contains(QChar(0))) {
        platform::showMessage(kSearchFailed, this);
        return;
    }
    QString sql = FAreaSql;
    if (!value.isEmpty()) {
        QString literal = value;
        literal.replace(QLatin1Char('\''), QLatin1String("''"));
        const QString pattern = CheckBoxFind->isChecked()
                                    ? QStringLiteral("%") + literal + QStringLiteral("%")
                                    : literal + QStringLiteral("%");
        sql += QStringLiteral(" WHERE (") + FAreaField + QStringLiteral(" LIKE ") + QStringLiteral("'") +
               pattern + QStringLiteral("'") + QStringLiteral(")");
    }
    try {
        area->setSqlText(sql);
        area->open();
    } catch (const DbError &) {
        platform::showMessage(kSearchFailed, this);
    }
}
