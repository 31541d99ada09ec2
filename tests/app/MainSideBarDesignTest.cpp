#include "navbar/nbSideBar.h"
#include "platform/ui/FormOwner.h"
#include "platform/ui/ImageList.h"
#include "resources/Forms.h"
#include "tools/sidebarform/MainSideBarForm.h"

#include <QBuffer>
#include <gtest/gtest.h>

TEST(SideBarForm, StoredResourceIsTheCurrentDesign)
{
    EXPECT_EQ(resources::sideBarForm(), tools::mainSideBarForm())
        << "regenerate it: build/tools/sidebarform/make_sidebar_form resources/forms/SideBar.frm";
}

// The bar the main window loads at start-up is the one its design describes: one header
// "Kestrune" with seven large buttons, each bound to its handler.
TEST(SideBarForm, StoredBarIsTheMainWindowsBar)
{
    QObject form;
    auto *images = new platform::ImageList(32, 32, &form);
    images->setObjectName(QStringLiteral("Img32"));
    QList<QByteArray> calls;
    platform::FormOwner owner(&form);
    for (const QByteArray &name : tools::mainSideBarHandlers())
        owner.AddMethod<void(platform::Persistent *)>(
            name, [&calls, name](platform::Persistent *) { calls << name; });

    TnbSideBar bar;
    bar.SetAlign(platform::alNone);
    bar.SetOwnerForm(&owner);
    QByteArray data = resources::sideBarForm();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    bar.LoadFromStream(buffer);

    EXPECT_EQ(bar.width(), 120);
    EXPECT_EQ(bar.Align(), platform::alLeft);
    EXPECT_EQ(bar.BorderStyle(), platform::bsNone);
    EXPECT_EQ(bar.BevelOuter(), platform::bvLowered);
    for (int side = 1; side <= 4; ++side)
        EXPECT_EQ(bar.Border()->Value(side), 5);
    EXPECT_EQ(bar.Options(), TnbBarOptions({boAcceptOLEDrop, boAutoScroll, boAutoChangeHeader,
                                            boFocusOnMouseEnter, boHeaderFrame, boInternalDrop}));
    EXPECT_EQ(bar.Settings()->ButtonView(), bvWindows2000);
    EXPECT_EQ(bar.Settings()->LargeWidth(), 60);
    EXPECT_EQ(bar.Settings()->LargeHeight(), 60);

    ASSERT_EQ(bar.HeaderCount(), 1);
    TnbHeader *header = bar.Header(0);
    EXPECT_EQ(bar.ActiveHeader(), header);
    EXPECT_EQ(header->Caption(), QStringLiteral("Kestrune"));
    EXPECT_TRUE(header->Opened());
    EXPECT_EQ(header->Options(), TnbHeaderOptions({hoActivateOnSelect, hoButtonDown}));
    EXPECT_EQ(header->FirstButtonTop(), 10);
    EXPECT_EQ(header->Images()->NormalList(), images);

    const QString captions[] = {QStringLiteral("Velmora"),  QStringLiteral("免费加入"),
                                QStringLiteral("诚招代理"), QStringLiteral("广告征订"),
                                QStringLiteral("商务助手"), QStringLiteral("手机查询"),
                                QStringLiteral("地区查询")};
    ASSERT_EQ(header->ButtonCount(), 7);
    for (int i = 0; i < 7; ++i) {
        const TnbButton *b = header->Button(i);
        EXPECT_EQ(b->Caption(), captions[i]);
        EXPECT_EQ(b->ImageIndex(), i);
        EXPECT_EQ(b->EffectiveStyle(), bsLarge);
        EXPECT_EQ(b->Width(), 100);
        EXPECT_EQ(b->Cursor(), -21); // the hand
        EXPECT_EQ(b->Options(), TnbButtonOptions({boAutoWidthLabel, boUnderlineFont}));
        header->Button(i)->Click();
    }
    bar.SetActiveHeader(nullptr);
    bar.SetActiveHeader(header);
    const QList<QByteArray> handlers = tools::mainSideBarHandlers();
    EXPECT_EQ(calls, handlers.mid(1) + handlers.mid(0, 1));
}
