#include "app/uFmMainForm.h"

#include "app/AppTitle.h"
#include "app/uBrowsePanel.h"
#include "app/uDMForm.h"
#include "platform/ui/MessageBox.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

TFmMainForm *FmMainForm = nullptr;

TFmMainForm::TFmMainForm(QWidget *parent) : QWidget(parent)
{
    FmMainForm = this;
    setObjectName(QStringLiteral("FmMainForm"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    Pal_1 = new TBrowsePanel(DMForm->ADOQryDVPack, DMForm->DSQryDVPack, this);
    column->addWidget(Pal_1, 1);

    auto *status = new QWidget(this);
    status->setObjectName(QStringLiteral("PanelA"));
    status->setFixedHeight(18);
    auto *row = new QHBoxLayout(status);
    row->setContentsMargins(4, 0, 4, 0);
    row->addWidget(new QLabel(QStringLiteral("准备就绪... ..."), status), 1);
    PanelC = new QLabel(status);
    PanelC->setObjectName(QStringLiteral("PanelC"));
    PanelC->setMinimumWidth(120);
    row->addWidget(PanelC);
    column->addWidget(status);

    resize(800, 600);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFmMainForm::FormCreate()
{
    Pal_1->LoadCompanyList();
    TBrowsePanel::BuildCategoryTree(Pal_1->TreeView1);
    Pal_1->TreeView1->expandAll();
    Pal_1->TreeView1->scrollToTop();
    PanelC->setText(QStringLiteral("| 总记录数：") + QString::number(DMForm->ADOQryDVPack->recordCount()) +
                    QStringLiteral(" 条"));
}

void TFmMainForm::closeEvent(QCloseEvent *event)
{
    // Closing the window disconnects the database, which posts any profile
    // text still being typed; a failure to disconnect is ignored.
    try {
        DMForm->ADOContAccess->setConnected(false);
    } catch (...) {
    }
    event->accept();
}
