#include "BarStreams.h"

#include "navbar/nbInplaceEditor.h"
#include "navbar/nbSideBar.h"
#include "platform/stream/FormReader.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/FormOwner.h"
#include "platform/ui/PopupMenu.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace platform;
using namespace platform::stream;

TEST(SideBarStream, CursorCaptionEditorAndDragEventsComeBack)
{
    QObject form;
    auto *menu = new PopupMenu(&form);
    menu->setObjectName(QStringLiteral("EditorMenu"));
    FormOwner owner(&form);
    int drops = 0;
    owner.AddMethod<void(Persistent *, QObject *, DataObject *, const std::vector<ClipFormat> &, ShiftState,
                         QPoint, std::uint32_t &, int)>(
        "SideBarDragDrop", [&](Persistent *, QObject *, DataObject *, const std::vector<ClipFormat> &,
                               ShiftState, QPoint, std::uint32_t &, int) { ++drops; });
    owner.AddMethod<void(Persistent *, TnbButton *, bool &)>("SideBarDragAllowed",
                                                             [](Persistent *, TnbButton *, bool &) {});

    TnbSideBar bar;
    FormComponent tree = Tree(bar);
    EXPECT_EQ(tree.Find("Cursor"), nullptr) << "the default cursor is not stored";
    EXPECT_EQ(*tree.Find("InplaceEditor.WordWrap"), FormValue::Boolean(true));
    EXPECT_EQ(*tree.Find("InplaceEditor.BorderColor"), FormValue::Ident("clBtnShadow"));

    bar.SetCursor(crHandPoint);
    TnbInplaceEditor *editor = bar.InplaceEditor();
    editor->SetAlignment(taCenter);
    editor->SetFlat(false);
    editor->SetBorderColor(clRed);
    editor->SetWordWrap(false);
    editor->SetFont(platform::Font(QStringLiteral("新宋体"), 9, clNavy));
    editor->SetPopupMenu(menu);
    bar.OnDragDrop = owner.Method<TnbEventDragDrop>("SideBarDragDrop");
    bar.OnDragAllowed = owner.Method<TnbEventDragAllowed>("SideBarDragAllowed");
    tree = Tree(bar);
    EXPECT_EQ(*tree.Find("Cursor"), FormValue::Ident("crHandPoint"));
    EXPECT_EQ(*tree.Find("OnDragDrop"), FormValue::Ident("SideBarDragDrop"));
    EXPECT_EQ(*tree.Find("InplaceEditor.PopupMenu"), FormValue::Ident("EditorMenu"));
    EXPECT_EQ(tree.Find("InplaceEditor.OnContextPopup"), nullptr) << "the bar's own wiring is no form method";

    TnbSideBar loaded;
    loaded.SetOwnerForm(&owner);
    QByteArray data = Saved(bar);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    loaded.LoadFromStream(buffer);
    EXPECT_EQ(loaded.Cursor(), crHandPoint);
    TnbInplaceEditor *read = loaded.InplaceEditor();
    EXPECT_EQ(read->Alignment(), taCenter);
    EXPECT_FALSE(read->Flat());
    EXPECT_EQ(read->BorderColor(), clRed);
    EXPECT_FALSE(read->WordWrap());
    EXPECT_EQ(read->Font(), editor->Font());
    EXPECT_EQ(read->PopupMenu(), menu);
    EXPECT_TRUE(read->OnContextPopup()) << "still wired to the bar";
    ASSERT_TRUE(loaded.OnDragDrop);
    std::uint32_t effect = 0;
    loaded.OnDragDrop(&loaded, nullptr, nullptr, {}, 0, QPoint(), effect, 0);
    EXPECT_EQ(drops, 1);
    EXPECT_TRUE(loaded.OnDragAllowed);

    delete menu;
    EXPECT_EQ(read->PopupMenu(), nullptr) << "a menu that goes away is forgotten";
}
