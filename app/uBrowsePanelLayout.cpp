// Construction of the browsing panel's controls.

#include "app/uBrowsePanel.h"

#include "app/WindowLook.h"
#include "platform/db/Database.h"
#include "platform/db/DbEdit.h"
#include "platform/db/DbGrid.h"
#include "platform/db/DbMemo.h"
#include "platform/ui/TextLines.h"
#include "resources/Glyphs.h"

#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace platform::db;
using resources::Glyph;

namespace {

QToolButton *makeButton(QWidget *parent, const char *name, const QString &caption, const QString &tip,
                        Glyph glyph)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setToolTip(tip);
    b->setIcon(QIcon(resources::glyph(glyph)));
    b->setText(caption);
    b->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    // A picture alone is named by its tooltip.
    if (caption.isEmpty())
        b->setAccessibleName(tip);
    return b;
}

QToolButton *makeGlyphHolder(QWidget *parent, const char *name, Glyph glyph)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(QIcon(resources::glyph(glyph)));
    b->hide();
    return b;
}

} // namespace

TBrowsePanel::TBrowsePanel(DbQuery *companies, DataSource *source, QWidget *parent)
    : QWidget(parent), m_companies(companies), m_source(source)
{
    setObjectName(QStringLiteral("Pal_1"));
    look::setBackground(this, QColor(241, 241, 241));

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildToolbar();
    buildDetailStrip();
    buildTreeAndGrid();
    column->addWidget(findChild<QWidget *>(QStringLiteral("Toolbar")));
    column->addWidget(PanelD);
    column->addWidget(Splitter1, 1);
}

void TBrowsePanel::buildToolbar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("Toolbar"));
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(2);

    SpeedButton3 =
        makeButton(bar, "SpeedButton3", QString(), QStringLiteral("分屏显示Velmora内容"), Glyph::TreeHide);
    SpeedButton8 =
        makeButton(bar, "SpeedButton8", QString(), QStringLiteral("切换是否显示详细内容"), Glyph::DetailShow);
    SpBtn_OFind = makeButton(bar, "SpBtn_OFind", QStringLiteral("复合查询"),
                             QStringLiteral("多功能复合查询Velmora数据"), Glyph::Query);
    SpeedButton2 = makeButton(bar, "SpeedButton2", QStringLiteral("刷新"),
                              QStringLiteral("刷新列出所有相关的包装企业目录内容"), Glyph::Refresh);
    SpeedButton1 = makeButton(bar, "SpeedButton1", QStringLiteral("查找"), QStringLiteral("快速检索企业数据"),
                              Glyph::Search);
    SpeedButton5 = makeButton(bar, "SpeedButton5", QStringLiteral("进入企业网站"),
                              QStringLiteral("链接当前该企业的网站"), Glyph::Web);
    SpeedButton6 = makeButton(bar, "SpeedButton6", QStringLiteral("诚信企业"),
                              QStringLiteral("提供更多的帮助"), Glyph::Credible);
    // Pressed while the list keeps only credible enterprises.
    SpeedButton6->setCheckable(true);
    SpBtn_Export = makeButton(bar, "SpBtn_Export", QStringLiteral("导出"),
                              QStringLiteral("将当前列出的企业导出为 CSV 或 Excel 文件"), Glyph::Export);
    SpeedButton4 = makeButton(bar, "SpeedButton4", QStringLiteral("全屏"), QStringLiteral("退出Velmora目录"),
                              Glyph::FullScreen);
    SpdBtn_A = makeGlyphHolder(bar, "SpdBtn_A", Glyph::TreeShow);
    SpdBtn_B = makeGlyphHolder(bar, "SpdBtn_B", Glyph::TreeHide);
    SpeedButtonA = makeGlyphHolder(bar, "SpeedButtonA", Glyph::DetailShow);
    SpeedButtonB = makeGlyphHolder(bar, "SpeedButtonB", Glyph::DetailHide);

    for (QToolButton *b : {SpeedButton3, SpeedButton8, SpBtn_OFind, SpeedButton2, SpeedButton1, SpeedButton5,
                           SpeedButton6, SpBtn_Export, SpeedButton4})
        row->addWidget(b);
    row->addStretch(1);

    connect(SpeedButton3, &QToolButton::clicked, this, &TBrowsePanel::SpeedButton3Click);
    connect(SpeedButton8, &QToolButton::clicked, this, &TBrowsePanel::SpeedButton8Click);
    connect(SpBtn_OFind, &QToolButton::clicked, this, &TBrowsePanel::SpBtn_OFindClick);
    connect(SpeedButton2, &QToolButton::clicked, this, &TBrowsePanel::SpeedButton2Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TBrowsePanel::SpeedButton1Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &TBrowsePanel::SpeedButton5Click);
    connect(SpeedButton6, &QToolButton::clicked, this, &TBrowsePanel::SpeedButton6Click);
    connect(SpBtn_Export, &QToolButton::clicked, this, &TBrowsePanel::SpBtn_ExportClick);
}

void TBrowsePanel::buildDetailStrip()
{
    PanelD = new QFrame(this);
    PanelD->setObjectName(QStringLiteral("PanelD"));
    PanelD->setFrameShape(QFrame::StyledPanel);
    PanelD->setFixedHeight(193);

    auto *grid = new QGridLayout(PanelD);
    grid->setContentsMargins(6, 3, 6, 2);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);

    QPalette blue;
    blue.setColor(QPalette::Text, Qt::blue);
    QFont font = this->font();
    font.setPixelSize(12);
    // The one-line edits are a line of text high with a little air around it
    // (frame included), not the taller default: the strip's height is fixed,
    // and what the six rows leave goes to the profile memo. Noto CJK's lines
    // are tall (17 pixels at 12), so the rows stand close and the memo keeps
    // whole lines: its text area is sized to them and no line shows cut.
    const int editHeight = QFontMetrics(font).height() + 4;

    // Six columns of caption/edit pairs; a span of 0 means "to the end of the row".
    struct Cell
    {
        const char *caption;
        const char *field;
        int span;
    };
    const std::vector<std::vector<Cell>> rows = {
        {{"省    份", "cProvince", 1}, {"地区编号", "cAreaNo", 1}, {"地区名称", "cArea", 1}},
        {{"公司名称", "cCorpCName", 3}, {"法人、联 系 人", "cManager", 1}},
        {{"中文地址", "cCAdd", 0}},
        {{"电    话", "cTel", 1}, {"传    真", "cFax", 1}, {"邮    编", "cZip", 1}},
        {{"类别名称", "cTypeName", 1}, {"网    址", "cHttp", 1}, {"邮    箱", "cEmail", 1}},
        {{"主营产品", "cMainProd", 0}},
    };
    for (int r = 0; r < int(rows.size()); ++r) {
        int col = 0;
        for (const Cell &cell : rows[r]) {
            auto *label = new QLabel(QString::fromUtf8(cell.caption), PanelD);
            grid->addWidget(label, r, col++);
            auto *edit = new DbEdit(PanelD);
            // A screen reader names the box by its caption.
            label->setBuddy(edit);
            edit->setObjectName(QStringLiteral("DBEdit_") + QLatin1String(cell.field));
            edit->setReadOnly(true);
            edit->setFont(font);
            edit->setFixedHeight(editHeight);
            edit->setPalette(blue);
            edit->setDataSource(m_source);
            edit->setDataField(QLatin1String(cell.field));
            const int span = cell.span == 0 ? 5 : cell.span;
            grid->addWidget(edit, r, col, 1, span);
            col += span;
            m_detailEdits.insert(QLatin1String(cell.field), edit);
        }
    }
    auto *memoCaption = new QLabel(QStringLiteral("公司简介"), PanelD);
    grid->addWidget(memoCaption, 6, 0, Qt::AlignTop);
    DBMemo_cCorpMemo = new DbMemo(PanelD);
    memoCaption->setBuddy(DBMemo_cCorpMemo);
    DBMemo_cCorpMemo->setObjectName(QStringLiteral("DBMemo_cCorpMemo"));
    DBMemo_cCorpMemo->setFont(font);
    DBMemo_cCorpMemo->setPalette(blue);
    DBMemo_cCorpMemo->setDataSource(m_source);
    DBMemo_cCorpMemo->setDataField(QStringLiteral("cCorpMemo"));
    // A narrow top margin leaves room for a third whole line.
    DBMemo_cCorpMemo->document()->setDocumentMargin(1);
    DBMemo_cCorpMemo->setFixedHeight(platform::heightForWholeLines(DBMemo_cCorpMemo, 3));
    grid->addWidget(DBMemo_cCorpMemo, 6, 1, 1, 5, Qt::AlignTop);
    grid->setRowStretch(6, 1);
    for (int c : {1, 3, 5})
        grid->setColumnStretch(c, 1);
    PanelD->hide();
}

void TBrowsePanel::buildTreeAndGrid()
{
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(1);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->setStyleSheet(QStringLiteral("QSplitter::handle { background-color: rgb(200,186,89); }"));

    TreeView1 = new QTreeWidget(Splitter1);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setAccessibleName(QStringLiteral("省市目录"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setIndentation(19);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setMouseTracking(true); // hot tracking
    TreeView1->setAttribute(Qt::WA_Hover);
    TreeView1->setMinimumWidth(60);
    // The selection stays visible when the tree loses the focus.
    QPalette pal = TreeView1->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    TreeView1->setPalette(pal);

    // The grid with the count of the companies it shows under it: the
    // toolbar has no room left for a count of millions, and the grid is
    // there whether the tree and the detail strip show or not.
    auto *gridColumn = new QWidget(Splitter1);
    gridColumn->setObjectName(QStringLiteral("GridColumn"));
    auto *stack = new QVBoxLayout(gridColumn);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    // The search box on a line of its own above the grid: the toolbar is
    // full, and here it is as wide as the grid, growing with it (a hidden
    // tree, a wider window).
    auto *searchRow = new QWidget(gridColumn);
    searchRow->setObjectName(QStringLiteral("SearchRow"));
    auto *searchLine = new QHBoxLayout(searchRow);
    searchLine->setContentsMargins(2, 2, 2, 2);
    searchLine->setSpacing(4);
    auto *searchIcon = new QLabel(searchRow);
    searchIcon->setPixmap(resources::glyph(Glyph::Search));
    searchIcon->setAccessibleName(QStringLiteral("查找"));
    searchLine->addWidget(searchIcon);
    EdtSearch = new QLineEdit(searchRow);
    EdtSearch->setObjectName(QStringLiteral("EdtSearch"));
    EdtSearch->setPlaceholderText(QStringLiteral("名称、拼音、首字母、地址、电话…"));
    // A screen reader does not read a placeholder as the box's name.
    EdtSearch->setAccessibleName(QStringLiteral("查找企业"));
    EdtSearch->setToolTip(
        QStringLiteral("输入即查：名称、拼音（全拼或首字母）、地址、主营产品、简介、电话、邮编…；"
                       "多个词用空格分开，都要找到；\"词\"按原样查找；-词 排除"));
    EdtSearch->setClearButtonEnabled(true);
    EdtSearch->installEventFilter(this);
    searchLine->addWidget(EdtSearch, 1);
    stack->addWidget(searchRow);

    DBGrid1 = new DbGrid(gridColumn);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("企业列表"));
    DBGrid1->setTitleColor(QColor(0, 0, 128));
    DBGrid1->setFixedColor(QColor(241, 241, 241));
    DBGrid1->setDataSource(m_source);
    DBGrid1->setEmptyText(QStringLiteral("没有找到符合条件的企业"));
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    DBGrid1->installEventFilter(this);
    stack->addWidget(DBGrid1, 1);

    LabelCount = new QLabel(gridColumn);
    LabelCount->setObjectName(QStringLiteral("LabelCount"));
    LabelCount->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LabelCount->setContentsMargins(4, 2, 4, 2);
    QPalette navy = LabelCount->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    LabelCount->setPalette(navy);
    LabelCount->setText(ShownCountText(0));
    stack->addWidget(LabelCount);

    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({220, 560});

    connect(TreeView1, &QTreeWidget::currentItemChanged, this, &TBrowsePanel::TreeView1Change);
    connect(EdtSearch, &QLineEdit::textChanged, this, &TBrowsePanel::EdtSearchChange);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &TBrowsePanel::DBGrid1DblClick);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QMenu *menu = GridContextMenu(pos);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(DBGrid1->viewport()->mapToGlobal(pos));
    });
    // Every change of the list: a load, a filter, a sort, a statement.
    connect(m_companies, &DbQuery::dataReset, this, &TBrowsePanel::ShowListState);
    connect(m_companies, &DbQuery::rowsReordered, this, &TBrowsePanel::ShowListState);
    // A list still being read grows as it comes.
    connect(m_companies, &DbQuery::rowsAppended, this,
            [this] { LabelCount->setText(ShownCountText(m_companies->recordCount())); });
}
