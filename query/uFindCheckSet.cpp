#include "query/uFindCheckSet.h"

#include "platform/db/Database.h"
#include "platform/ui/DropDownBelow.h"
#include "platform/ui/MessageBox.h"
#include "query/StringGrid.h"
#include "query/ToolTitleStrip.h"
#include "query/uFindCheckSetModel.h"
#include "resources/Glyphs.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidgetItem>
#include <QToolButton>
#include <QVBoxLayout>

using namespace findquery;

TFmFindCheckSet *FmFindCheckSet = nullptr;

namespace {

const QColor kPanelColor(241, 241, 241); // 15856113

QToolButton *makeButton(QWidget *parent, const char *name, const QString &caption, resources::Glyph glyph,
                        int top)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(caption);
    b->setIcon(QIcon(resources::glyph(glyph)));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(6, top, 89, 30);
    return b;
}

QGroupBox *makeGroup(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *g = new QGroupBox(parent);
    g->setObjectName(QLatin1String(name));
    g->setGeometry(geometry);
    return g;
}

QComboBox *makeChooser(QWidget *parent, const char *name, const QStringList &items)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->addItems(items);
    c->setMinimumSize(0, 0);
    // The list opens under the cell the chooser stands over.
    platform::openListBelow(c);
    c->hide();
    return c;
}

} // namespace

TFmFindCheckSet::TFmFindCheckSet(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), FFromText(QStringLiteral(" FROM  Dorvak "))
{
    ToolTitleStrip::setUpToolWindow(this, QStringLiteral("FmFindCheckSet"), QStringLiteral("查询条件设置"),
                                    QSize(478, 276));

    buildControls();
    FormCreate();
    nameForScreenReaders();
}

void TFmFindCheckSet::nameForScreenReaders()
{
    Sgrd_Find->setAccessibleName(QStringLiteral("查询条件"));
    // The number column shows no title; a screen reader still hears one.
    if (QTableWidgetItem *numbers = Sgrd_Find->horizontalHeaderItem(0))
        numbers->setData(Qt::AccessibleTextRole, QStringLiteral("序号"));
    // Each editor by the title of the column it serves.
    Cbo_Fields->setAccessibleName(QStringLiteral("搜索主题"));
    Cbo_Compare->setAccessibleName(QStringLiteral("搜索条件"));
    Edt_Value->setAccessibleName(QStringLiteral("搜索内容"));
    DateTP_Value->setAccessibleName(QStringLiteral("搜索内容"));
    Cbo_Connection->setAccessibleName(QStringLiteral("条件关系"));
    MemoSQl->setAccessibleName(QStringLiteral("SQL语法"));
    Sgrd_Check->setAccessibleName(QStringLiteral("显示项目"));
}

TFmFindCheckSet::~TFmFindCheckSet()
{
    for (QWidget *e : editors())
        e->removeEventFilter(this);
    for (QComboBox *chooser : {Cbo_Fields, Cbo_Compare, Cbo_Connection})
        chooser->view()->removeEventFilter(this);
    Sgrd_Find->OnSelectCell = nullptr;
    Sgrd_Find->OnDrawCell = nullptr;
    Sgrd_Check->OnDrawCell = nullptr;
    Sgrd_Check->OnHeaderMouseDown = nullptr;
    Sgrd_Check->OnHeaderMouseUp = nullptr;
    if (FmFindCheckSet == this)
        FmFindCheckSet = nullptr;
}

void TFmFindCheckSet::buildControls()
{
    using resources::Glyph;

    Image1 = new ToolTitleStrip(windowTitle(), this);
    Image1->setGeometry(0, 0, width(), ToolTitleStrip::kHeight);
    SpeedButton9 = Image1->closeButton();
    SpeedButton9->setObjectName(QStringLiteral("SpeedButton9"));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(true);
    PageControl1->setGeometry(2, ToolTitleStrip::kHeight, 371, 253);

    auto *page0 = new QWidget;
    page0->setObjectName(QStringLiteral("TabSheet1"));
    Sgrd_Find = new StringGrid(7, page0);
    Sgrd_Find->setObjectName(QStringLiteral("Sgrd_Find"));
    (new QVBoxLayout(page0))->addWidget(Sgrd_Find);
    page0->layout()->setContentsMargins(0, 0, 0, 0);

    Cbo_Fields = makeChooser(page0, "Cbo_Fields", {});
    Cbo_Compare = makeChooser(page0, "Cbo_Compare", comparisonWords());
    Edt_Value = new QLineEdit(page0);
    Edt_Value->setObjectName(QStringLiteral("Edt_Value"));
    Edt_Value->hide();
    DateTP_Value = new QDateEdit(QDate(2003, 6, 18), page0);
    DateTP_Value->setObjectName(QStringLiteral("DateTP_Value"));
    DateTP_Value->setCalendarPopup(true);
    DateTP_Value->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    DateTP_Value->hide();
    Cbo_Connection = makeChooser(page0, "Cbo_Connection", connectorItems());
    for (QWidget *e : editors())
        e->installEventFilter(this);
    // Esc in a chooser's open list ends the edit too, not only the list.
    for (QComboBox *chooser : {Cbo_Fields, Cbo_Compare, Cbo_Connection})
        chooser->view()->installEventFilter(this);

    auto *page1 = new QWidget;
    page1->setObjectName(QStringLiteral("TabSheet2"));
    MemoSQl = new QPlainTextEdit(page1);
    MemoSQl->setObjectName(QStringLiteral("MemoSQl"));
    MemoSQl->setLineWrapMode(QPlainTextEdit::NoWrap);
    (new QVBoxLayout(page1))->addWidget(MemoSQl);
    page1->layout()->setContentsMargins(0, 0, 0, 0);

    auto *page2 = new QWidget;
    page2->setObjectName(QStringLiteral("TabSheet3"));
    Sgrd_Check = new StringGrid(5, page2);
    Sgrd_Check->setObjectName(QStringLiteral("Sgrd_Check"));
    (new QVBoxLayout(page2))->addWidget(Sgrd_Check);
    page2->layout()->setContentsMargins(0, 0, 0, 0);

    PageControl1->addTab(page0, QStringLiteral("查询条件"));
    PageControl1->addTab(page1, QStringLiteral("SQL语法"));
    PageControl1->addTab(page2, QStringLiteral("显示项目"));
    PageControl1->setTabVisible(1, false);
    PageControl1->setTabVisible(2, false);
    // The tab bar's arrow keys and Ctrl+Tab step over disabled tabs only,
    // not over hidden ones: without this a key would turn to a page whose
    // tab the user cannot see, with no way back by mouse. The pages stay
    // enabled, for OK shows the statement's page itself.
    PageControl1->tabBar()->setTabEnabled(1, false);
    PageControl1->tabBar()->setTabEnabled(2, false);

    const int right = 2 + 371 + 2;
    GroupBox1 = makeGroup(this, "GroupBox1", QRect(right, 24, 101, 118));
    SpeedButton1 = makeButton(GroupBox1, "SpeedButton1", QStringLiteral("新增条件"), Glyph::AddRow, 10);
    SpeedButton2 = makeButton(GroupBox1, "SpeedButton2", QStringLiteral("删除条件"), Glyph::DeleteRow, 44);
    SpeedButton3 = makeButton(GroupBox1, "SpeedButton3", QStringLiteral("清除条件"), Glyph::ClearRows, 78);
    GroupBox2 = makeGroup(this, "GroupBox2", QRect(right, 144, 101, 46));
    SpeedButton4 = makeButton(GroupBox2, "SpeedButton4", QStringLiteral("语法检查"), Glyph::Search, 10);
    GroupBox3 = makeGroup(this, "GroupBox3", QRect(right, 144, 101, 80));
    SpeedButton5 = makeButton(GroupBox3, "SpeedButton5", QStringLiteral("全部选中"), Glyph::CheckAll, 10);
    SpeedButton6 = makeButton(GroupBox3, "SpeedButton6", QStringLiteral("全部删除"), Glyph::UncheckAll, 44);
    GroupBox2->hide();
    GroupBox3->hide();
    GroupBox4 = makeGroup(this, "GroupBox4", QRect(right, 196, 101, 78));
    SpeedButton7 = makeButton(GroupBox4, "SpeedButton7", QStringLiteral("确  定"), Glyph::Accept, 10);
    SpeedButton8 = makeButton(GroupBox4, "SpeedButton8", QStringLiteral("取  消"), Glyph::Reject, 42);

    connect(SpeedButton1, &QToolButton::clicked, this, &TFmFindCheckSet::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TFmFindCheckSet::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TFmFindCheckSet::SpeedButton3Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TFmFindCheckSet::SpeedButton4Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &TFmFindCheckSet::SpeedButton5Click);
    connect(SpeedButton6, &QToolButton::clicked, this, &TFmFindCheckSet::SpeedButton6Click);
    connect(SpeedButton7, &QToolButton::clicked, this, &TFmFindCheckSet::SpeedButton7Click);
    connect(SpeedButton8, &QToolButton::clicked, this, &TFmFindCheckSet::SpeedButton8Click);
    connect(SpeedButton9, &QToolButton::clicked, this, &TFmFindCheckSet::SpeedButton9Click);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TFmFindCheckSet::PageControl1Change);
    connect(Image1, &ToolTitleStrip::pressed, this, &TFmFindCheckSet::Image1MouseDown);
    connect(Sgrd_Check, &QTableWidget::cellClicked, this, &TFmFindCheckSet::Sgrd_CheckClick);

    Sgrd_Find->OnSelectCell = [this](int col, int row, bool &canSelect) {
        Sgrd_FindSelectCell(col, row, canSelect);
    };
    Sgrd_Find->OnDrawCell = [this](QPainter &canvas, int col, int row, const QRect &rect, unsigned state) {
        Sgrd_FindDrawCell(canvas, col, row, rect, state);
    };
    Sgrd_Check->OnDrawCell = [this](QPainter &canvas, int col, int row, const QRect &rect, unsigned state) {
        Sgrd_CheckDrawCell(canvas, col, row, rect, state);
    };
    Sgrd_Check->OnHeaderMouseDown = [this](Qt::MouseButton button, int col) {
        Sgrd_CheckMouseDown(button, col, 0);
    };
    Sgrd_Check->OnHeaderMouseUp = [this](Qt::MouseButton button, int col) {
        Sgrd_CheckMouseUp(button, col, 0);
    };

    // The editors stay over their cell when the grid scrolls.
    auto follow = [this] {
        const int row = Sgrd_Find->Row();
        const std::pair<QWidget *, int> placed[] = {
            {Cbo_Fields, 1}, {Cbo_Compare, 2}, {Edt_Value, 3}, {DateTP_Value, 3}, {Cbo_Connection, 4}};
        for (const auto &[editor, col] : placed)
            if (editor->isVisibleTo(editor->parentWidget()) && row >= 1)
                placeEditor(editor, col, row);
    };
    connect(Sgrd_Find->verticalScrollBar(), &QScrollBar::valueChanged, this, follow);
    connect(Sgrd_Find->horizontalScrollBar(), &QScrollBar::valueChanged, this, follow);
}

QList<QWidget *> TFmFindCheckSet::editors() const
{
    return {Cbo_Fields, Cbo_Compare, Edt_Value, DateTP_Value, Cbo_Connection};
}

// ---- creation and showing

void TFmFindCheckSet::FormCreate()
{
    InitGrids();
    PageControl1Change();
}

void TFmFindCheckSet::InitGrids()
{
    Sgrd_Check->SetRowCount(2);
    Sgrd_Check->ClearRow(1);
    const QStringList checkHeaders{QStringLiteral("选项"), QStringLiteral("字段名"), QStringLiteral("选项"),
                                   QStringLiteral("字段名"), QStringLiteral("字段索引名")};
    for (int c = 0; c < 5; ++c)
        Sgrd_Check->SetCells(c, 0, checkHeaders[c]);
    const int checkWidths[] = {32, 130, 33, 129};
    for (int c = 0; c < 4; ++c)
        Sgrd_Check->SetColWidth(c, checkWidths[c]);
    Sgrd_Check->setColumnHidden(4, true);
    Sgrd_Check->SetFixedColor(kPanelColor);

    Sgrd_Find->SetRowCount(2);
    Sgrd_Find->ClearRow(1);
    const QStringList findHeaders{QString(),
                                  QStringLiteral("搜索主题"),
                                  QStringLiteral("搜索条件"),
                                  QStringLiteral("搜索内容"),
                                  QStringLiteral("条件关系"),
                                  QStringLiteral("类型"),
                                  QStringLiteral("字段索引")};
    for (int c = 0; c < 7; ++c)
        Sgrd_Find->SetCells(c, 0, findHeaders[c]);
    const int findWidths[] = {16, 112, 49, 114, 48};
    for (int c = 0; c < 5; ++c)
        Sgrd_Find->SetColWidth(c, findWidths[c]);
    Sgrd_Find->setColumnHidden(5, true);
    Sgrd_Find->setColumnHidden(6, true);
    Sgrd_Find->SetFixedColor(kPanelColor);
    Sgrd_Find->SetCells(0, 1, QStringLiteral("1"));
    Sgrd_Find->SetCurrentCellQuietly(0, 1);
    Sgrd_Check->SetCurrentCellQuietly(0, 1);
}

void TFmFindCheckSet::FormShow()
{
    LoadFieldCatalogue();
    FillDisplayItems();
    BuildSelectList();

    // The field and connector choosers wait over the first row, nothing chosen.
    for (QWidget *e : editors())
        e->hide();
    placeEditor(Cbo_Fields, 1, 1);
    placeEditor(Cbo_Connection, 4, 1);
    Cbo_Fields->setCurrentIndex(-1);
    Cbo_Connection->setCurrentIndex(-1);
}

void TFmFindCheckSet::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFmFindCheckSet::reject()
{
    done(platform::mrCancel);
}

// ---- the model

void TFmFindCheckSet::LoadFieldCatalogue()
{
    Cbo_Fields->clear();
    FFieldNames.clear();
    FFieldLabels.clear();
    FFieldTypes.clear();
    const int n = SourceDataSet ? SourceDataSet->fieldCount() : 0;
    for (int i = 0; i < n; ++i) {
        const platform::db::DbField *f = SourceDataSet->field(i);
        FFieldNames << f->fieldName();
        FFieldLabels << f->displayLabel();
        FFieldTypes << QString::number(int(f->dataType()));
        Cbo_Fields->addItem(f->displayLabel());
    }
}

void TFmFindCheckSet::FillDisplayItems()
{
    const std::vector<DisplayRow> rows = displayRowsFor(FFieldLabels);
    Sgrd_Check->SetRowCount(1 + int(rows.size()));
    for (int r = 1; r <= int(rows.size()); ++r)
        for (int c = 0; c < 5; ++c)
            Sgrd_Check->SetCells(c, r, rows[r - 1][c]);
}

void TFmFindCheckSet::BuildSelectList()
{
    std::vector<DisplayRow> rows(Sgrd_Check->RowCount() - 1);
    for (int r = 1; r < Sgrd_Check->RowCount(); ++r)
        for (int c = 0; c < 5; ++c)
            rows[r - 1][c] = Sgrd_Check->Cells(c, r);
    chooseItems(rows, FFieldNames, FChosenFields, ChosenLabels);
    FSelectList = FChosenFields.join(QLatin1Char(','));
}

std::vector<ConditionRow> TFmFindCheckSet::conditionRows() const
{
    std::vector<ConditionRow> rows(Sgrd_Find->RowCount() - 1);
    for (int r = 1; r < Sgrd_Find->RowCount(); ++r)
        for (int c = 0; c < 7; ++c)
            rows[r - 1][c] = Sgrd_Find->Cells(c, r);
    return rows;
}

void TFmFindCheckSet::BuildWhereClause()
{
    std::vector<ConditionRow> rows = conditionRows();
    FWhereText = buildWhereText(rows, FFieldNames);
    // The builder fills in missing connectors; the grid shows them too.
    for (int r = 1; r < Sgrd_Find->RowCount(); ++r)
        if (Sgrd_Find->Cells(ccConnector, r) != rows[r - 1][ccConnector])
            Sgrd_Find->SetCells(ccConnector, r, rows[r - 1][ccConnector]);
}

void TFmFindCheckSet::ComposeSqlText()
{
    MemoSQl->setPlainText(composeSqlLines(FSelectList, FFromText, FWhereText).join(QLatin1Char('\n')));
}

QString TFmFindCheckSet::MemoSQlText() const
{
    const QString text = MemoSQl->toPlainText();
    if (text.isEmpty())
        return QString();
    QString lines;
    for (const QString &line : text.split(QLatin1Char('\n')))
        lines += line + QLatin1String("\r\n");
    return lines;
}

// ---- the overlay editors

void TFmFindCheckSet::placeEditor(QWidget *editor, int col, int row)
{
    const QRect cell = Sgrd_Find->CellRect(col, row);
    const QPoint at = Sgrd_Find->mapTo(editor->parentWidget(), cell.topLeft());
    const int height = editor == DateTP_Value ? DateTP_Value->height() : cell.height();
    editor->setGeometry(at.x() + 1, at.y() + 1, cell.width(), height);
    editor->show();
    editor->raise();
}

void TFmFindCheckSet::Sgrd_FindSelectCell(int col, int row, bool &canSelect)
{
    canSelect = true;
    leaveEditor();
    for (QWidget *e : editors())
        e->hide();

    QWidget *editor = nullptr;
    switch (col) {
    case ccLabel: {
        Cbo_Fields->setCurrentIndex(Cbo_Fields->count() > 0 ? 0 : -1);
        const QString text = Sgrd_Find->Cells(col, row);
        // With repeated labels the last matching item wins.
        for (int i = Cbo_Fields->count() - 1; i >= 0; --i) {
            if (sameText(Cbo_Fields->itemText(i), text)) {
                Cbo_Fields->setCurrentIndex(i);
                break;
            }
        }
        editor = Cbo_Fields;
        break;
    }
    case ccCompare:
        Cbo_Compare->setCurrentIndex(0);
        editor = Cbo_Compare;
        break;
    case ccValue:
        // Neither editor is loaded from the cell: each keeps its last value.
        editor = isDateCode(Sgrd_Find->Cells(ccType, row)) ? static_cast<QWidget *>(DateTP_Value) : Edt_Value;
        break;
    case ccConnector:
        Cbo_Connection->setCurrentIndex(0);
        editor = Cbo_Connection;
        break;
    default:
        return;
    }
    placeEditor(editor, col, row);
    if (editor->isEnabled() && editor->focusPolicy() != Qt::NoFocus)
        editor->setFocus(Qt::MouseFocusReason);
}

void TFmFindCheckSet::leaveEditor()
{
    QWidget *focused = focusWidget();
    for (QWidget *e : editors()) {
        if (focused && (focused == e || e->isAncestorOf(focused))) {
            commit(e);
            m_leaving = true;
            Sgrd_Find->setFocus(Qt::OtherFocusReason);
            if (focusWidget() == focused)
                focused->clearFocus();
            m_leaving = false;
            return;
        }
    }
}

void TFmFindCheckSet::commit(QWidget *editor)
{
    if (editor == Cbo_Fields)
        Cbo_FieldsExit();
    else if (editor == Cbo_Compare)
        Cbo_CompareExit();
    else if (editor == Edt_Value)
        Edt_ValueExit();
    else if (editor == DateTP_Value)
        DateTP_ValueExit();
    else if (editor == Cbo_Connection)
        Cbo_ConnectionExit();
}

void TFmFindCheckSet::cancelEditor()
{
    // The focus goes back to the grid first, so that no editor commits on its way out.
    m_leaving = true;
    Sgrd_Find->setFocus(Qt::OtherFocusReason);
    for (QWidget *e : editors())
        e->hide();
    m_leaving = false;
}

bool TFmFindCheckSet::eventFilter(QObject *watched, QEvent *event)
{
    // Esc ends the edit of the cell, as in-place editors do, and goes no
    // further: the window closes only on an Esc with no editor open.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape &&
        static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
        for (QComboBox *chooser : {Cbo_Fields, Cbo_Compare, Cbo_Connection})
            if (watched == chooser->view())
                chooser->hidePopup();
        cancelEditor();
        return true;
    }
    if (event->type() == QEvent::FocusOut && !m_leaving) {
        // Opening a drop-down or switching to another program is no exit.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            commit(qobject_cast<QWidget *>(watched));
    } else if (event->type() == QEvent::KeyPress && watched == Edt_Value) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        // Only typed characters are filtered; Tab, arrows and Delete move or edit.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || text.isEmpty() ||
            text[0] == QChar(0x7f))
            return false;
        QChar ch = text[0];
        Edt_ValueKeyPress(ch);
        return ch.isNull();
    }
    return QDialog::eventFilter(watched, event);
}

bool TFmFindCheckSet::currentRowIsNumeric() const
{
    return isNumericCode(Sgrd_Find->Cells(ccType, Sgrd_Find->Row()));
}

void TFmFindCheckSet::Cbo_FieldsExit()
{
    const int row = Sgrd_Find->Row();
    if (row < 1)
        return;
    Sgrd_Find->SetCells(ccLabel, row, Cbo_Fields->currentText());
    const int i = Cbo_Fields->currentIndex();
    if (i >= 0 && i < FFieldTypes.size()) {
        Sgrd_Find->SetCells(ccType, row, FFieldTypes[i]);
        Sgrd_Find->SetCells(ccFieldIndex, row, QString::number(i));
    }
}

void TFmFindCheckSet::Cbo_CompareExit()
{
    if (const int row = Sgrd_Find->Row(); row >= 1)
        Sgrd_Find->SetCells(ccCompare, row, Cbo_Compare->currentText());
}

void TFmFindCheckSet::Edt_ValueExit()
{
    const int row = Sgrd_Find->Row();
    if (row < 1)
        return;
    if (currentRowIsNumeric()) {
        const QString number = normaliseNumber(Edt_Value->text());
        if (number != Edt_Value->text().trimmed())
            Edt_Value->setText(number);
    }
    Sgrd_Find->SetCells(ccValue, row, Edt_Value->text().trimmed());
}

void TFmFindCheckSet::DateTP_ValueExit()
{
    if (const int row = Sgrd_Find->Row(); row >= 1)
        Sgrd_Find->SetCells(ccValue, row, DateTP_Value->date().toString(QStringLiteral("yyyy-MM-dd")));
}

void TFmFindCheckSet::Cbo_ConnectionExit()
{
    if (const int row = Sgrd_Find->Row(); row >= 1)
        Sgrd_Find->SetCells(ccConnector, row, Cbo_Connection->currentText());
}

void TFmFindCheckSet::Edt_ValueKeyPress(QChar &key)
{
    if (!currentRowIsNumeric())
        return;
    const char16_t c = key.unicode();
    if (c == 13 || c == 27 || c == u'.' || (c >= u'0' && c <= u'9'))
        return;
    key = QChar();
}

// ---- the buttons

void TFmFindCheckSet::SpeedButton1Click()
{
    const int n = Sgrd_Find->RowCount();
    Sgrd_Find->SetRowCount(n + 1);
    Sgrd_Find->SetCells(ccNumber, n,
                        QString::number(Sgrd_Find->Cells(ccNumber, n - 1).trimmed().toInt() + 1));
    Sgrd_Find->SelectCell(ccLabel, n);
}

void TFmFindCheckSet::SpeedButton2Click()
{
    Sgrd_Find->ClearRow(Sgrd_Find->RowCount() - 1);
    Sgrd_Find->SetCells(ccNumber, 1, QStringLiteral("1"));
    if (Sgrd_Find->RowCount() > 2)
        Sgrd_Find->SetRowCount(Sgrd_Find->RowCount() - 1);
}

void TFmFindCheckSet::SpeedButton3Click()
{
    for (int r = 1; r < Sgrd_Find->RowCount(); ++r)
        Sgrd_Find->ClearRow(r);
    Sgrd_Find->SetCells(ccNumber, 1, QStringLiteral("1"));
    Sgrd_Find->SetRowCount(2);
}

void TFmFindCheckSet::SpeedButton4Click()
{
    try {
        if (!ADOQryFind)
            throw platform::db::DbError(QStringLiteral("no query"));
        platform::db::DbQuery scratch;
        scratch.setConnection(ADOQryFind->connection());
        scratch.setSqlText(MemoSQlText());
        scratch.open();
        platform::showMessage(QStringLiteral("语法通过！"), this);
    } catch (const std::exception &) {
        platform::showMessage(QStringLiteral("语法错误！"), this);
    }
}

void TFmFindCheckSet::SpeedButton7Click()
{
    // The open editor commits before the statement is built.
    leaveEditor();
    // Conditions that make no statement are not run as one: the user hears
    // which row is wrong and keeps every condition to mend it.
    if (const std::optional<ConditionProblem> problem = findConditionProblem(conditionRows())) {
        Sgrd_Find->SetCurrentCellQuietly(ccNumber, problem->row);
        Sgrd_Find->viewport()->update();
        platform::showMessage(problem->message, this);
        return;
    }
    {
        const QSignalBlocker quiet(PageControl1);
        PageControl1->setCurrentIndex(1);
    }
    PageControl1Change();
    done(platform::mrYes);
}

void TFmFindCheckSet::SpeedButton8Click()
{
    done(platform::mrCancel);
}

void TFmFindCheckSet::SpeedButton9Click()
{
    done(platform::mrCancel);
}

void TFmFindCheckSet::PageControl1Change()
{
    const int page = PageControl1->currentIndex();
    GroupBox1->setEnabled(page == 0);
    GroupBox2->setEnabled(page == 1);
    GroupBox3->setEnabled(page == 2);
    for (QToolButton *b : {SpeedButton1, SpeedButton2, SpeedButton3})
        b->setEnabled(page == 0);
    SpeedButton4->setEnabled(page == 1);
    SpeedButton5->setEnabled(page == 2);
    SpeedButton6->setEnabled(page == 2);
    if (page == 1) {
        BuildSelectList();
        BuildWhereClause();
        ComposeSqlText();
    }
}

void TFmFindCheckSet::Image1MouseDown(Qt::MouseButton button, const QPointF &globalPos)
{
    ToolTitleStrip::moveWindow(this, button, globalPos);
}
