#include "MainFormFixture.h"

#include "app/MainSideBarDesign.h"
#include "resources/Forms.h"

#include <QBuffer>
#include <QTest>

namespace {

QByteArray saved(TnbSideBar &bar)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bar.SaveToStream(buffer);
    return buffer.data();
}

} // namespace

// The compiled-in form is written from the design; after a change of the design (or of
// what the bar stores) it must be written again.
TEST(MainSideBarDesign, StoredResourceIsTheCurrentDesign)
{
    EXPECT_EQ(resources::sideBarForm(), mainsidebar::StoredForm())
        << "regenerate it: build/tools/sidebarform/make_sidebar_form resources/forms/SideBar.frm";
}

using MainSideBarTest = MainFormFixture;

// The window loads the stored form with every event bound to its handler of that name,
// and loses nothing: saved again, its bar is the stored form byte for byte.
TEST_F(MainSideBarTest, WindowLoadsTheStoredFormWhole)
{
    const QByteArray stored = resources::sideBarForm();
    ASSERT_FALSE(stored.isEmpty());
    EXPECT_EQ(saved(*bar), stored);
    EXPECT_TRUE(form->LoadSideBarForm(stored));
    EXPECT_EQ(saved(*bar), stored);
}

// A form that does not load (damaged, another component's, or naming a handler the
// window lacks, which fails halfway through the buttons) still leaves the designed bar,
// and its buttons switch the panels.
TEST_F(MainSideBarTest, FormThatDoesNotLoadLeavesTheDesignedBar)
{
    const QByteArray stored = resources::sideBarForm();
    QByteArray foreign = stored;
    foreign.replace("TnbSideBar", "TnbToolBar");
    QByteArray unknownHandler = stored;
    unknownHandler.replace("SideBarHeaders0Buttons3Click", "SideBarHeaders0Buttons3Press");
    ASSERT_NE(foreign, stored);
    ASSERT_NE(unknownHandler, stored);
    const std::pair<const char *, QByteArray> forms[] = {
        {"empty", QByteArray()},
        {"truncated", stored.left(stored.size() / 2)},
        {"foreign", foreign},
        {"unknown handler", unknownHandler},
    };
    const QStringList panels = {"Pal_1", "Pal_2_1", "Pal_2_2", "Pal_2_3", "Pal_2_4", "Pal_2_5", "Pal_2_6"};
    for (const auto &[what, data] : forms) {
        SCOPED_TRACE(what);
        EXPECT_FALSE(form->LoadSideBarForm(data));
        bar = form->SideBar;
        EXPECT_EQ(bar->parentWidget(), form->Pal_2);
        EXPECT_TRUE(bar->isVisible());
        EXPECT_EQ(bar->geometry(), QRect(0, 0, 120, 490));
        EXPECT_EQ(saved(*bar), stored);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !bar->Header(0)->Button(6)->ButtonRect.IsEmpty(); }));
        for (int i = 0; i < 7; ++i) {
            clickBarButton(i);
            EXPECT_EQ(visiblePanels(), QStringList{panels[i]}) << "button " << i;
        }
        clickBar(centre(bar->Header(0)->CaptionRect));
        EXPECT_EQ(visiblePanels(), QStringList{QStringLiteral("Pal_2_0")});
    }
}
