#include "app/uBrowsePanel.h"

#include "app/VendorLinks.h"
#include "app/uFmMainForm.h"

#include "platform/db/Database.h"
#include "platform/db/DbEdit.h"
#include "platform/db/DbGrid.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/MessageBox.h"
#include "query/CompanySearch.h"
#include "query/FieldWidths.h"
#include "query/uFindCheckSet.h"
#include "query/uFmPackContent.h"
#include "query/uFmSearchs.h"
#include "resources/Glyphs.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPointer>
#include <QSignalBlocker>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>

using namespace platform::db;

const char *const TBrowsePanel::kCompanyListSql =
    "select cTypeName,cCorpCName,cCAdd,cZip,cTel,cFax,cHttp,cEmail,cCorpEName,cEAdd,cAreaNo,cTypeNo,"
    "cArea,cProvince,cManager,cMainProd,cCorpMemo,iFlag,cRemark from Dorvak";

namespace {

const char kRootText[] = "Velmora目录";
const char kCredibleFilter[] = "iFlag=1";

// Column names and their display labels, in the order they are assigned.
const std::pair<const char *, const char *> kFieldCatalogue[] = {
    {"cProvince", "省份"},      {"cAreaNo", "地区号"},      {"cArea", "地区名称"},
    {"cCorpCName", "公司名称"}, {"cCorpEName", "英文名称"}, {"cCAdd", "中文地址"},
    {"cEAdd", "英文地址"},      {"cZip", "邮编"},           {"cTel", "电话"},
    {"cFax", "传真"},           {"cHttp", "网址"},          {"cEmail", "E_mail"},
    {"cTypeName", "类别名称"},  {"cTypeNo", "类别编号"},    {"cManager", "法人、联系人"},
    {"cMainProd", "主营产品"},  {"cCorpMemo", "公司简介"},  {"iFlag", "诚信企业"},
    {"cRemark", "备注"},
};

} // namespace

QString TBrowsePanel::DisplayLabelOf(const QString &field)
{
    for (const auto &[name, label] : kFieldCatalogue)
        if (field.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QString::fromUtf8(label);
    return field;
}

QStringList TBrowsePanel::CategoryNodeTexts()
{
    return {QString::fromUtf8(kRootText),
            // The ten cities listed on their own, with their area codes.
            QStringLiteral("(010)北京市"), QStringLiteral("(020)广州市"), QStringLiteral("(021)上海市"),
            QStringLiteral("(022)天津市"), QStringLiteral("(023)重庆市"), QStringLiteral("(024)沈阳市"),
            QStringLiteral("(025)南京市"), QStringLiteral("(027)武汉市"), QStringLiteral("(028)成都市"),
            QStringLiteral("(029)西安市"),
            // The twenty-nine province-level regions.
            QStringLiteral("安徽省"), QStringLiteral("福建省"), QStringLiteral("甘肃省"),
            QStringLiteral("广东省"), QStringLiteral("广西壮族自治区"), QStringLiteral("贵州省"),
            QStringLiteral("河南省"), QStringLiteral("河北省"), QStringLiteral("黑龙江省"),
            QStringLiteral("湖南省"), QStringLiteral("湖北省"), QStringLiteral("海南省"),
            QStringLiteral("吉林省"), QStringLiteral("江苏省"), QStringLiteral("江西省"),
            QStringLiteral("辽宁省"), QStringLiteral("内蒙古自治区"), QStringLiteral("宁夏回族自治区"),
            QStringLiteral("青海省"), QStringLiteral("山东省"), QStringLiteral("山西省"),
            QStringLiteral("陕西省"), QStringLiteral("四川省"), QStringLiteral("西藏自治区"),
            QStringLiteral("新疆维吾尔自治区"), QStringLiteral("云南省"), QStringLiteral("浙江省"),
            QStringLiteral("香港自治区"), QStringLiteral("台湾省")};
}

void TBrowsePanel::BuildCategoryTree(QTreeWidget *tree)
{
    // The selected node shows image 0 of the list, every other node image 1.
    QIcon nodeIcon;
    nodeIcon.addPixmap(resources::glyph(resources::Glyph::FolderClosed), QIcon::Normal);
    nodeIcon.addPixmap(resources::glyph(resources::Glyph::FolderOpen), QIcon::Selected);

    const QStringList texts = CategoryNodeTexts();
    auto *root = new QTreeWidgetItem(tree, QStringList{texts.first()});
    root->setIcon(0, nodeIcon);
    for (qsizetype i = 1; i < texts.size(); ++i)
        new QTreeWidgetItem(root, QStringList{texts[i]});
    for (int i = 0; i < root->childCount(); ++i)
        root->child(i)->setIcon(0, nodeIcon);
}

void TBrowsePanel::LoadCompanyList()
{
    // Reading the list through the engine (a refresh after the file changed) takes a while.
    const platform::BusyCursor busy;
    // The full list is the whole list: no search either.
    if (!EdtSearch->text().isEmpty()) {
        const QSignalBlocker quiet(EdtSearch);
        EdtSearch->clear();
    }
    try {
        if (m_companies->search())
            m_companies->setSearch(nullptr, {});
        m_companies->setFilter(QString());
        m_companies->setFiltered(false);
        // The full list comes back in the table's order, as at the start.
        m_companies->setSort(QString());
        m_companies->setSqlText(QString::fromUtf8(kCompanyListSql));
        FListSql = m_companies->sqlText();
        if (!m_companies->active())
            m_companies->open();
        for (const auto &[name, label] : kFieldCatalogue)
            m_companies->fieldByName(QString::fromUtf8(name))->setDisplayLabel(QString::fromUtf8(label));
        SizeColumnsToFirstScreen();
    } catch (const DbError &) {
        // The grid shows whatever state the query reached.
    }
}

QString TBrowsePanel::LoadCaption(int rows, double fraction, bool finished, bool failed)
{
    if (failed)
        return QStringLiteral("企业数据未能全部载入，请按“刷新”重新载入");
    if (finished)
        return QStringLiteral("准备就绪... ...");
    return QStringLiteral("正在载入：已载入 %1 条（%2%），查询结果随载入补全")
        .arg(rows)
        .arg(int(fraction * 100));
}

void TBrowsePanel::SizeColumnsToFirstScreen()
{
    SizeFieldsToFirstRows(m_companies, DBGrid1->rowsOnScreen());
}

QString TBrowsePanel::ShownCountText(int count)
{
    return QStringLiteral("当前显示 %1 家企业")
        .arg(QLocale(QLocale::Chinese, QLocale::China).toString(count));
}

void TBrowsePanel::ShowListState()
{
    LabelCount->setText(ShownCountText(m_companies->recordCount()));

    const QString active = m_companies->filtered() ? m_companies->filter().trimmed() : QString();
    SpeedButton6->setChecked(active == QLatin1String(kCredibleFilter));

    // The tree names what the list follows, or nothing.
    QTreeWidgetItem *root = TreeView1->topLevelItem(0);
    QTreeWidgetItem *node = TreeView1->currentItem();
    QString claimed;
    if (node && node != root) {
        QString text = node->text(0);
        if (text.contains(QLatin1Char('(')))
            text = text.mid(5);
        claimed = QStringLiteral("cProvince='") + text + QLatin1Char('\'');
    }
    if (!root || (node && claimed == active))
        return;
    const QSignalBlocker quiet(TreeView1);
    if (active.isEmpty()) {
        TreeView1->setCurrentItem(root);
    } else {
        TreeView1->setCurrentItem(nullptr);
        TreeView1->clearSelection();
    }
}

void TBrowsePanel::TreeView1Change()
{
    QTreeWidgetItem *node = TreeView1->currentItem();
    if (!node)
        return;
    QString text = node->text(0);
    try {
        if (text.compare(QString::fromUtf8(kRootText), Qt::CaseInsensitive) == 0) {
            m_companies->setFilter(QString());
            m_companies->setFiltered(false);
            return;
        }
        if (text.contains(QLatin1Char('(')))
            text = text.mid(5); // "(010)北京市" -> "北京市"
        m_companies->setFilter(QStringLiteral("cProvince='") + text + QLatin1Char('\''));
        m_companies->setFiltered(true);
    } catch (const DbError &) {
        platform::showMessage(QStringLiteral("出现异常！"), this);
    }
}

void TBrowsePanel::EdtSearchChange()
{
    try {
        ApplyCompanySearch(m_companies, EdtSearch->text());
    } catch (const DbError &) {
        // Typed profile text that cannot be posted keeps the list as it was.
        platform::showMessage(QStringLiteral("出现异常！"), this);
    }
}

void TBrowsePanel::SpeedButton6Click()
{
    const bool on =
        m_companies->filtered() && m_companies->filter().trimmed() == QLatin1String(kCredibleFilter);
    try {
        // A second press turns the filter off: every loaded row shows again.
        m_companies->setFilter(on ? QString() : QString::fromLatin1(kCredibleFilter));
        m_companies->setFiltered(!on);
    } catch (const DbError &) {
        platform::showMessage(QStringLiteral("出现异常！"), this);
    }
    ShowListState();
}

void TBrowsePanel::SpeedButton2Click()
{
    LoadCompanyList();
}

void TBrowsePanel::SpeedButton3Click()
{
    if (!TreeView1->isHidden()) {
        TreeView1->hide();
        SpeedButton3->setIcon(SpdBtn_A->icon());
    } else {
        TreeView1->show();
        SpeedButton3->setIcon(SpdBtn_B->icon());
    }
}

void TBrowsePanel::SpeedButton8Click()
{
    if (!PanelD->isHidden()) {
        PanelD->hide();
        SpeedButton8->setIcon(SpeedButtonA->icon());
    } else {
        PanelD->show();
        SpeedButton8->setIcon(SpeedButtonB->icon());
    }
}

QString TBrowsePanel::CompanySiteAddress(const QString &http)
{
    if (http.isEmpty())
        return QString();
    if (http.left(7).toUpper().contains(QLatin1String("HTTP://")))
        return http;
    return QStringLiteral("http://") + http;
}

void TBrowsePanel::SpeedButton5Click()
{
    const QString address = CompanySiteAddress(DetailEdit(QStringLiteral("cHttp"))->text());
    if (!address.isEmpty())
        links::OpenAddress(address, window());
}

// The query tools belong to the main window.
static QWidget *toolOwner(QWidget *panel)
{
    return FmMainForm ? static_cast<QWidget *>(FmMainForm) : panel->window();
}

void TBrowsePanel::SpBtn_OFindClick()
{
    // A dialog is already running.
    if (FmFindCheckSet)
        return;
    QPointer<TFmFindCheckSet> dialog = new TFmFindCheckSet(toolOwner(this));
    FmFindCheckSet = dialog;
    // The dialog is freed on every way out, an error included.
    struct Release
    {
        QPointer<TFmFindCheckSet> &dialog;
        ~Release()
        {
            delete dialog.data();
            FmFindCheckSet = nullptr;
        }
    } release{dialog};

    dialog->ADOQryFind = m_companies;
    dialog->SourceDataSet = m_companies;
    if (dialog->exec() != platform::mrYes || !dialog)
        return;
    const QString text = dialog->MemoSQlText();
    if (text.trimmed().isEmpty())
        return;
    // A statement the database cannot run is not run: the list stays as it
    // was, with its column titles, and the user hears why nothing changed.
    try {
        if (DbConnection *connection = m_companies->connection())
            connection->checkStatement(text);
    } catch (const DbError &) {
        platform::showMessage(QStringLiteral("查询条件不完整或有误，无法查询，企业列表保持不变，请核实！"),
                              this);
        return;
    }
    const platform::BusyCursor busy;
    try {
        // Profile text that cannot be posted keeps the old statement.
        m_companies->setSqlText(text);
        m_companies->open();
    } catch (const DbError &) {
        // A statement that failed while it ran leaves the list closed.
    }
    const QStringList labels = dialog->ChosenLabels;
    for (int i = 0; i < m_companies->fieldCount() && i < labels.size(); ++i)
        m_companies->field(i)->setDisplayLabel(labels[i]);
    SizeColumnsToFirstScreen();
}

void TBrowsePanel::SpeedButton1Click()
{
    if (!FmSearchs) {
        FmSearchs = new TFmSearchs(DBGrid1, toolOwner(this));
        FmSearchs->ListSql = [panel = QPointer<TBrowsePanel>(this)] {
            return panel ? panel->FListSql : QString();
        };
    }
    FmSearchs->show();
    FmSearchs->raise();
    // The window is there to be typed into.
    FmSearchs->activateWindow();
    FmSearchs->FFieldText->setFocus();
}

void TBrowsePanel::DBGrid1DblClick()
{
    if (!FmPackContent) {
        FmPackContent = new TFmPackContent(m_source, toolOwner(this));
        // The strip's read-only edits offer no menu either, from now on.
        for (DbEdit *edit : std::as_const(m_detailEdits))
            FmPackContent->UsePopupMenu(edit);
    }
    FmPackContent->show();
    FmPackContent->raise();
}

bool TBrowsePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == EdtSearch && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape && !EdtSearch->text().isEmpty()) {
        EdtSearch->clear();
        return true;
    }
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_companies->currentRow() >= 0) {
            DBGrid1DblClick();
            return true;
        }
        // The tool windows show without taking the keyboard; Esc in the grid
        // closes the one the user looks at, the card before the quick search.
        if (key == Qt::Key_Escape) {
            if (FmPackContent && FmPackContent->isVisible()) {
                FmPackContent->close();
                return true;
            }
            if (FmSearchs && FmSearchs->isVisible()) {
                FmSearchs->close();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

QMenu *TBrowsePanel::GridContextMenu(const QPoint &pos)
{
    const QModelIndex index = DBGrid1->indexAt(pos);
    if (index.isValid() && !DBGrid1->selectionModel()->isRowSelected(index.row(), {}))
        DBGrid1->setCurrentIndex(index);

    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("GridMenu"));
    if (index.isValid()) {
        connect(menu->addAction(QStringLiteral("复制单元格")), &QAction::triggered, this,
                [this, index] { DBGrid1->copyCell(index); });
        connect(menu->addAction(QStringLiteral("复制整行")), &QAction::triggered, DBGrid1,
                &DbGrid::copySelectedRows);
        if (!DetailEdit(QStringLiteral("cHttp"))->text().trimmed().isEmpty())
            connect(menu->addAction(QStringLiteral("打开企业网站")), &QAction::triggered, this,
                    &TBrowsePanel::SpeedButton5Click);
        connect(menu->addAction(QStringLiteral("查看详细资料")), &QAction::triggered, this,
                &TBrowsePanel::DBGrid1DblClick);
        menu->addSeparator();
    }
    QAction *exportAction = menu->addAction(QStringLiteral("导出…"));
    exportAction->setEnabled(m_companies->recordCount() > 0);
    connect(exportAction, &QAction::triggered, this, &TBrowsePanel::SpBtn_ExportClick);
    return menu;
}

DbEdit *TBrowsePanel::DetailEdit(const QString &field) const
{
    return m_detailEdits.value(field, nullptr);
}
