#include "query/uFmSearchs.h"

#include "platform/db/Database.h"
#include "platform/db/DbGrid.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/WindowStacking.h"
#include "query/FieldWidths.h"
#include "query/ToolTitleStrip.h"
#include "query/uFindCheckSetModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using namespace platform::db;

TFmSearchs *FmSearchs = nullptr;

namespace {

QToolButton *makeButton(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(caption);
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(geometry);
    return b;
}

} // namespace

TFmSearchs::TFmSearchs(DbGrid *grid, QWidget *owner)
    : QWidget(owner, platform::kOwnedToolWindowFlags), m_grid(grid)
{
    ToolTitleStrip::setUpToolWindow(this, QStringLiteral("FmSearchs"), QStringLiteral("快速检索"),
                                    QSize(311, 131));

    Image1 = new ToolTitleStrip(QStringLiteral("快速查询"), this);
    Image1->setGeometry(0, 0, width(), ToolTitleStrip::kHeight);
    SpeedButton2 = Image1->closeButton();
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));

    auto *fieldCaption = new QLabel(QStringLiteral("查找字段"), this);
    fieldCaption->setGeometry(12, 34, 56, 16);
    FCboBoxField = new QComboBox(this);
    fieldCaption->setBuddy(FCboBoxField);
    FCboBoxField->setObjectName(QStringLiteral("FCboBoxField"));
    FCboBoxField->setGeometry(72, 31, 140, 22);
    auto *textCaption = new QLabel(QStringLiteral("搜索内容"), this);
    textCaption->setGeometry(12, 64, 56, 16);
    FFieldText = new QLineEdit(this);
    textCaption->setBuddy(FFieldText);
    FFieldText->setObjectName(QStringLiteral("FFieldText"));
    FFieldText->setGeometry(72, 61, 140, 22);
    QPalette blue = FFieldText->palette();
    blue.setColor(QPalette::Text, Qt::blue);
    FFieldText->setPalette(blue);

    CheckBoxFind = new QCheckBox(QStringLiteral("模糊查询"), this);
    CheckBoxFind->setObjectName(QStringLiteral("CheckBoxFind"));
    CheckBoxFind->setGeometry(222, 33, 84, 18);
    CheckBoxFind->setChecked(true);
    CheckBox1 = new QCheckBox(QStringLiteral("匹配查询"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(222, 63, 84, 18);
    CheckBox1->setToolTip(QStringLiteral("当匹配查询选择打钩时模糊查询则没有起作用"));

    SpeedButton1 = makeButton(this, "SpeedButton1", QStringLiteral("查找"), QRect(72, 96, 64, 24));
    SpeedButton4 = makeButton(this, "SpeedButton4", QStringLiteral("关闭"), QRect(148, 96, 64, 24));

    connect(SpeedButton1, &QToolButton::clicked, this, &TFmSearchs::SpeedButton1Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TFmSearchs::SpeedButton4Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TFmSearchs::SpeedButton4Click);
    connect(FFieldText, &QLineEdit::textChanged, this, &TFmSearchs::FFieldTextChange);
    // Another kind of match is another search: its result shows at once.
    for (QCheckBox *mode : {CheckBoxFind, CheckBox1})
        connect(mode, &QCheckBox::toggled, this, [this] {
            if (!FFieldText->text().trimmed().isEmpty())
                RunQuickSearch();
        });
    connect(Image1, &ToolTitleStrip::pressed, this, &TFmSearchs::Image1MouseDown);

    FormCreate();
}

TFmSearchs::~TFmSearchs()
{
    if (FmSearchs == this)
        FmSearchs = nullptr;
}

DbQuery *TFmSearchs::companies() const
{
    return m_grid && m_grid->dataSource() ? m_grid->dataSource()->dataSet() : nullptr;
}

void TFmSearchs::FormCreate()
{
    FillSearchFields();
}

void TFmSearchs::FillSearchFields()
{
    FCboBoxField->clear();
    if (DbQuery *query = companies()) {
        for (int i = 0; i < query->fieldCount(); ++i) {
            const DbField *f = query->field(i);
            if (f->fieldKind() == DbField::Kind::Data)
                FCboBoxField->addItem(f->displayLabel());
        }
    }
    FCboBoxField->setCurrentIndex(FCboBoxField->count() > 0 ? 0 : -1);
}

QString TFmSearchs::SearchClause(const QString &field, const QString &text, bool exact, bool contains)
{
    const QString value = findquery::escapeQuotes(text);
    if (exact)
        return QStringLiteral(" WHERE (") + field + QStringLiteral(" = '") + value + QStringLiteral("')");
    if (contains)
        return QStringLiteral(" WHERE (") + field + QStringLiteral(" LIKE '%") + value +
               QStringLiteral("%')");
    return QStringLiteral(" WHERE (") + field + QStringLiteral(" LIKE '") + value + QStringLiteral("%')");
}

void TFmSearchs::RunQuickSearch()
{
    DbQuery *query = companies();
    if (!query)
        return;

    QString field;
    const QString label = FCboBoxField->currentText().trimmed();
    for (int i = 0; i < query->fieldCount(); ++i) {
        if (findquery::sameText(query->field(i)->displayLabel().trimmed(), label)) {
            field = query->field(i)->fieldName().trimmed();
            break;
        }
    }
    const QString text = FFieldText->text().trimmed();
    QString statement = ListSql ? ListSql() : QString();
    if (!text.isEmpty())
        statement += SearchClause(field, text, CheckBox1->isChecked(), CheckBoxFind->isChecked());

    // Most searches are answered from the loaded rows at once; one the
    // database itself must run can take a while.
    const platform::BusyCursor busy;
    try {
        query->setSqlText(statement);
        query->open();
    } catch (const DbError &) {
        // The list stays closed until the next search or list load.
    }

    // The query made new fields: the labels captured at creation come back.
    for (int i = 0; i < query->fieldCount() && i < FCboBoxField->count(); ++i)
        query->field(i)->setDisplayLabel(FCboBoxField->itemText(i));
    SizeFieldsToFirstRows(query, m_grid->rowsOnScreen());
}

void TFmSearchs::SpeedButton1Click()
{
    RunQuickSearch();
}

void TFmSearchs::FFieldTextChange()
{
    RunQuickSearch();
}

void TFmSearchs::SpeedButton4Click()
{
    close();
}

void TFmSearchs::Image1MouseDown(Qt::MouseButton button, const QPointF &globalPos)
{
    ToolTitleStrip::moveWindow(this, button, globalPos);
}

void TFmSearchs::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFmSearchs::setVisible(bool visible)
{
    if (visible && isHidden())
        ToolTitleStrip::placeForShowing(this, m_placed);
    QWidget::setVisible(visible);
}
