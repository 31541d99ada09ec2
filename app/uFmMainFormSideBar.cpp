// The main window's side bar: one header "Kestrune" with the seven buttons
// that switch the content panels.

#include "app/uFmMainForm.h"

#include "navbar/nbSideBar.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/ImageList.h"
#include "resources/Pictures.h"

using namespace platform;

namespace {

// The bar's text: the program's "新宋体" at 12 pixels (9 points).
Font songFont(unsigned style = 0, TColor color = clWindowText)
{
    return Font(QStringLiteral("新宋体"), 9, color, style);
}

} // namespace

void TFmMainForm::SetUpSideBar()
{
    Img32 = new ImageList(32, 32, this);
    Img32->setObjectName(QStringLiteral("Img32"));
    for (int i = 0; i < 7; ++i)
        Img32->Add(resources::barImage(i));

    SideBar->Loading();
    SideBar->SetAlign(alLeft);
    SideBar->SetBorderStyle(bsNone);
    SideBar->SetBevelOuter(bvLowered);
    for (int side = 1; side <= 4; ++side)
        SideBar->Border()->SetValue(side, 5);
    SideBar->SetOptions(TnbBarOptions{boAcceptOLEDrop, boAutoScroll, boAutoChangeHeader, boFocusOnMouseEnter,
                                      boHeaderFrame, boInternalDrop});

    TnbBarSettings *settings = SideBar->Settings();
    settings->SetButtonView(bvWindows2000);
    settings->SetButtonStyle(bsLarge);
    settings->SetLargeWidth(60);
    settings->SetLargeHeight(60);
    // The icon sits high and the label close under it, so that a 12-pixel
    // Chinese label gets the 21 pixels it needs inside the 60-pixel button
    // (with the initial distances only 9 are left and the text is cut off).
    settings->SetGlyphTop(4);
    settings->SetPicLabDistance(2);
    settings->SetFont(songFont(Font::Bold));
    settings->SetHighlightFont(songFont(Font::Bold, clNavy));
    settings->SetButtonFont(songFont());
    settings->SetButtonHighlightFont(songFont(0, clNavy));

    TnbHeader *header = SideBar->AddHeader();
    header->SetCaption(QStringLiteral("Kestrune"));
    header->SetOpened(true);
    header->SetOptions(TnbHeaderOptions{hoActivateOnSelect, hoButtonDown});
    header->SetFirstButtonTop(10);
    header->Images()->SetNormal(Img32);

    const char *const captions[] = {"Velmora",  "免费加入", "诚招代理", "广告征订",
                                    "商务助手", "手机查询", "地区查询"};
    void (TFmMainForm::*const handlers[])() = {
        &TFmMainForm::SideBarHeaders0Buttons0Click, &TFmMainForm::SideBarHeaders0Buttons1Click,
        &TFmMainForm::SideBarHeaders0Buttons2Click, &TFmMainForm::SideBarHeaders0Buttons3Click,
        &TFmMainForm::SideBarHeaders0Buttons4Click, &TFmMainForm::SideBarHeaders0Buttons5Click,
        &TFmMainForm::SideBarHeaders0Buttons6Click};
    for (int i = 0; i < 7; ++i) {
        TnbButton *button = header->AddButton();
        button->SetCaption(QString::fromUtf8(captions[i]));
        button->SetImageIndex(i);
        button->SetButtonStyle(bsLarge);
        button->SetWidth(100);
        button->SetHeight(60);
        button->SetCursor(crHandPoint);
        button->SetOptions(TnbButtonOptions{boAutoWidthLabel, boUnderlineFont});
        button->OnClick = [this, handler = handlers[i]](Persistent *) { (this->*handler)(); };
    }
    header->OnChange = [this](Persistent *) { SideBarHeaders0Change(); };

    // The first header is active from the start, as a stored bar would load.
    SideBar->ReadActiveIndex(0);
    SideBar->Loaded();
}
