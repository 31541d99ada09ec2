// The main window's side bar: loaded from its stored form, one header "Kestrune" with
// the seven buttons that switch the content panels.

#include "app/uFmMainForm.h"

#include "app/MainSideBarDesign.h"
#include "navbar/nbSideBar.h"
#include "platform/stream/StreamError.h"
#include "platform/ui/FormOwner.h"
#include "platform/ui/ImageList.h"
#include "resources/Forms.h"
#include "resources/Pictures.h"

#include <QBuffer>
#include <QDebug>
#include <utility>

using namespace platform;

void TFmMainForm::SetUpSideBar()
{
    Img32 = new ImageList(32, 32, this);
    Img32->setObjectName(QStringLiteral("Img32"));
    for (int i = 0; i < 7; ++i)
        Img32->Add(resources::barImage(i));

    // The stored bar names its event handlers; these are the ones the window offers it.
    const std::pair<const char *, void (TFmMainForm::*)()> handlers[] = {
        {"SideBarHeaders0Change", &TFmMainForm::SideBarHeaders0Change},
        {"SideBarHeaders0Buttons0Click", &TFmMainForm::SideBarHeaders0Buttons0Click},
        {"SideBarHeaders0Buttons1Click", &TFmMainForm::SideBarHeaders0Buttons1Click},
        {"SideBarHeaders0Buttons2Click", &TFmMainForm::SideBarHeaders0Buttons2Click},
        {"SideBarHeaders0Buttons3Click", &TFmMainForm::SideBarHeaders0Buttons3Click},
        {"SideBarHeaders0Buttons4Click", &TFmMainForm::SideBarHeaders0Buttons4Click},
        {"SideBarHeaders0Buttons5Click", &TFmMainForm::SideBarHeaders0Buttons5Click},
        {"SideBarHeaders0Buttons6Click", &TFmMainForm::SideBarHeaders0Buttons6Click},
    };
    SideBarOwner = std::make_unique<FormOwner>(this);
    for (const auto &[name, method] : handlers)
        SideBarOwner->AddMethod<void(Persistent *)>(name,
                                                    [this, method](Persistent *) { (this->*method)(); });
    SideBar->SetOwnerForm(SideBarOwner.get());

    LoadSideBarForm(resources::sideBarForm());
}

bool TFmMainForm::LoadSideBarForm(const QByteArray &form)
{
    QBuffer buffer;
    buffer.setData(form);
    buffer.open(QIODevice::ReadOnly);
    try {
        SideBar->LoadFromStream(buffer);
        return true;
    } catch (const stream::StreamError &error) {
        // The stored form is compiled in, so this is a fault of the build, which the tests
        // catch. The window still gets its bar, from the design the form was written from.
        qWarning("SideBar: the stored form does not load (%s); the bar is built from its design",
                 qUtf8Printable(error.message()));
    }
    // Whatever the form set before it failed goes with the bar; a new one gets the design.
    RenewSideBar();
    mainsidebar::Configure(*SideBar, *SideBarOwner);
    return false;
}

void TFmMainForm::RenewSideBar()
{
    const QRect geometry = SideBar->geometry();
    const bool hidden = SideBar->testAttribute(Qt::WA_WState_ExplicitShowHide) && SideBar->isHidden();
    delete SideBar;
    SideBar = new TnbSideBar(Pal_2);
    SideBar->setObjectName(QStringLiteral("SideBar"));
    SideBar->setGeometry(geometry);
    // Below the content panels, where the first bar was.
    SideBar->lower();
    SideBar->setVisible(!hidden);
    SideBar->SetOwnerForm(SideBarOwner.get());
}
