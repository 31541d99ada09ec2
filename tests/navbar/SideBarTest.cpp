#include "BarFixture.h"

#include "navbar/nbSideBar.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/PopupMenu.h"

#include <gtest/gtest.h>
#include <memory>

TEST(SideBarModel, NewBar)
{
    TnbSideBar bar;
    EXPECT_EQ(bar.HeaderCount(), 0);
    EXPECT_EQ(bar.ActiveHeader(), nullptr);
    EXPECT_EQ(bar.ActiveIndex(), -1);
    EXPECT_EQ(bar.Version(), "2.13");
    bar.SetVersion("9.9");
    EXPECT_EQ(bar.Version(), "2.13");

    EXPECT_EQ(bar.AlertColor(), 255u);
    EXPECT_EQ(bar.AlertInterval(), 500u);
    EXPECT_EQ(bar.AutoButtonScrollDelay(), 600u);
    EXPECT_EQ(bar.AutoScrollDelay(), 500u);
    EXPECT_EQ(bar.AutoChangeDelay(), 100u);
    EXPECT_EQ(bar.Background()->Style(), btSolid);
    EXPECT_EQ(bar.Background()->Color(), platform::clBtnFace);
    EXPECT_EQ(bar.BevelInner(), platform::bvNone);
    EXPECT_EQ(bar.BevelOuter(), platform::bvLowered);
    EXPECT_EQ(bar.BevelWidth(), 1);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(bar.Border()->Value(i), 5);
    EXPECT_EQ(bar.BorderStyle(), platform::bsNone);
    EXPECT_EQ(bar.BorderWidth(), 0);
    EXPECT_TRUE(bar.CommonStyle());
    EXPECT_FALSE(bar.CloseButton()->Visible());
    EXPECT_EQ(bar.CloseButton()->Caption(), "Favorites");
    EXPECT_EQ(bar.DropMarkColor(), 0u);
    EXPECT_FALSE(bar.EachHeaderSelection());
    EXPECT_EQ(bar.ExplorerMethod(), emCloseUp);
    EXPECT_TRUE(bar.Flat());
    EXPECT_EQ(bar.HeaderImages()->NormalList(), nullptr);
    EXPECT_EQ(bar.HeaderScrollAcceleration(), 5);
    EXPECT_EQ(bar.ScrollChange(), 50);
    EXPECT_EQ(bar.HeaderScrollType(), stAccelerated);
    EXPECT_EQ(bar.HeaderScrollValue(), 20);
    EXPECT_EQ(bar.PreSet(), psOfficeXP);
    EXPECT_EQ(bar.ScrollBoxSize(), 15);
    EXPECT_EQ(bar.ScrollView(), ssNormal);
    EXPECT_EQ(bar.Options(), TnbBarOptions({boAcceptOLEDrop, boAutoScroll, boAutoChangeHeader,
                                            boFocusOnMouseEnter, boHeaderFrame, boInternalDrop}));
    EXPECT_EQ(bar.ViewStyle(), vsOutlook);
    EXPECT_EQ(bar.Align(), platform::alLeft);
    EXPECT_EQ(bar.Color(), platform::clBtnFace);
    EXPECT_EQ(bar.width(), 120);
    EXPECT_TRUE(bar.acceptDrops());
    EXPECT_EQ(bar.ScrollOffset(), 0);
}

TEST(SideBarModel, ClampedValues)
{
    TnbSideBar bar;
    bar.SetHeaderScrollValue(0);
    bar.SetHeaderScrollAcceleration(0);
    bar.SetBevelWidth(0);
    EXPECT_EQ(bar.HeaderScrollValue(), 1);
    EXPECT_EQ(bar.HeaderScrollAcceleration(), 1);
    EXPECT_EQ(bar.BevelWidth(), 1);
    bar.SetHeaderScrollValue(7);
    EXPECT_EQ(bar.HeaderScrollValue(), 7);
}

TEST(SideBarModel, ViewStyleAsksFirstAndResetsTheScrollOffset)
{
    TnbSideBar bar;
    bool allow = false;
    int asked = 0;
    bar.OnChangeViewStyle = [&](platform::Persistent *sender, TnbViewStyle oldStyle, TnbViewStyle newStyle,
                                bool &canChange) {
        ++asked;
        EXPECT_EQ(sender, &bar);
        EXPECT_EQ(oldStyle, vsOutlook);
        EXPECT_EQ(newStyle, vsExplorerBar);
        EXPECT_TRUE(canChange);
        canChange = allow;
    };
    bar.SetViewStyle(vsExplorerBar);
    EXPECT_EQ(bar.ViewStyle(), vsOutlook);
    EXPECT_EQ(asked, 1);

    allow = true;
    bar.SetViewStyle(vsExplorerBar);
    EXPECT_EQ(bar.ViewStyle(), vsExplorerBar);
    bar.ScrollViewDown();
    bar.ScrollViewDown();
    EXPECT_EQ(bar.ScrollOffset(), 100);
    bar.ScrollViewUp();
    EXPECT_EQ(bar.ScrollOffset(), 50);
    bar.SetScrollChange(80);
    bar.ScrollViewUp();
    EXPECT_EQ(bar.ScrollOffset(), 0) << "never above the top";

    bar.ScrollViewDown();
    bar.OnChangeViewStyle = nullptr;
    bar.SetViewStyle(vsOutlook);
    EXPECT_EQ(bar.ScrollOffset(), 0);
}

TEST(SideBarModel, ExplorerMethodResetsScrollingAndActivatesTheFirstHeader)
{
    TnbSideBar bar;
    TnbHeader *a = bar.AddHeader();
    TnbHeader *b = bar.AddHeader();
    a->SetTopIndex(2);
    b->SetTopIndex(1);
    bar.SetActiveHeader(b);
    bar.SetExplorerMethod(emStandard);
    EXPECT_EQ(a->TopIndex(), 0);
    EXPECT_EQ(b->TopIndex(), 0);
    EXPECT_EQ(bar.ActiveHeader(), a);

    // While loading the active header is left alone.
    bar.SetActiveHeader(b);
    bar.Loading();
    bar.SetExplorerMethod(emCloseUp);
    EXPECT_EQ(bar.ActiveHeader(), b);
    bar.Loaded();
}

TEST(SideBarModel, LoadedAppliesTheStoredActiveIndex)
{
    TnbSideBar bar;
    bar.Loading();
    bar.AddHeader();
    bar.AddHeader();
    bar.ReadActiveIndex(1);
    bar.Loaded();
    EXPECT_EQ(bar.ActiveIndex(), 1);

    TnbSideBar other;
    other.Loading();
    other.AddHeader();
    other.ReadActiveIndex(3);
    other.Loaded();
    EXPECT_EQ(other.ActiveHeader(), nullptr);
}

TEST(SideBarModel, OptionsRegisterAndRevokeTheDropTarget)
{
    TnbSideBar bar;
    EXPECT_NE(platform::RegisteredDropTarget(&bar), nullptr);
    bar.SetOptions(bar.Options() - TnbBarOptions{boAcceptOLEDrop});
    EXPECT_NE(platform::RegisteredDropTarget(&bar), nullptr) << "internal drops still need the target";
    bar.SetOptions(bar.Options() - TnbBarOptions{boInternalDrop});
    EXPECT_EQ(platform::RegisteredDropTarget(&bar), nullptr);
    EXPECT_TRUE(bar.acceptDrops()) << "other widgets' drags still reach the bar";
    bar.SetOptions(bar.Options() + TnbBarOptions{boInternalDrop});
    EXPECT_NE(platform::RegisteredDropTarget(&bar), nullptr);
}

TEST(SideBarModel, CloseStripEventsLiveInThePrivateHeader)
{
    TnbSideBar bar;
    int closes = 0;
    bar.SetOnClose([&](platform::Persistent *) { ++closes; });
    ASSERT_TRUE(bar.CloseButton()->OnClose);
    bar.CloseButton()->OnClose(&bar);
    EXPECT_EQ(closes, 1);

    bar.SetOnDrawCloseHeader([](platform::Persistent *, platform::Canvas &, const platform::Rect &) {});
    EXPECT_TRUE(bar.CloseButton()->Header()->OnDrawHeaderButton);
    EXPECT_FALSE(bar.CloseButton()->Header()->OnAfterDrawHeaderButton);
    bar.CloseButton()->Header()->OnAfterDrawHeaderButton = [](platform::Persistent *, platform::Canvas &,
                                                              const platform::Rect &) {};
    EXPECT_TRUE(bar.OnAfterDrawCloseHeader());
}

TEST(SideBarModel, ShowAndHideEvents)
{
    TnbSideBar bar;
    int shown = 0, hidden = 0;
    bar.OnShow = [&](platform::Persistent *) { ++shown; };
    bar.OnHide = [&](platform::Persistent *) { ++hidden; };
    bar.show();
    bar.show();
    EXPECT_EQ(shown, 1);
    bar.hide();
    EXPECT_EQ(hidden, 1);
}

TEST(SideBarAlert, TimerFlashesTheAlertButtonUntilItEnds)
{
    TnbSideBar bar;
    TnbHeader *h = bar.AddHeader();
    TnbButton *a = h->AddButton();
    TnbButton *b = h->AddButton();
    bar.SetAlertInterval(10);
    bar.SetAlertButton(a);
    EXPECT_TRUE(a->Alerting());
    EXPECT_FALSE(a->AlertPhase());
    ASSERT_TRUE(QTest::qWaitFor([&] { return a->AlertPhase(); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !a->AlertPhase(); }));

    // A new alert button ends the old one's alert.
    bar.SetAlertButton(b);
    EXPECT_FALSE(a->Alerting());
    EXPECT_FALSE(a->AlertPhase());
    EXPECT_TRUE(b->Alerting());

    // Deleting the alert button ends the alert.
    h->DeleteButton(b);
    EXPECT_EQ(bar.AlertButton(), nullptr);
}

TEST(SideBarAlert, RecreatingTheWindowEndsTheAlert)
{
    TnbSideBar bar;
    TnbButton *a = bar.AddHeader()->AddButton();
    bar.SetAlertButton(a);
    bar.SetFlat(false); // an ordinary change keeps it
    EXPECT_EQ(bar.AlertButton(), a);
    bar.SetColor(platform::clWhite);
    EXPECT_EQ(bar.AlertButton(), nullptr);
    EXPECT_FALSE(a->Alerting());

    bar.SetAlertButton(a);
    bar.SetBorderStyle(platform::bsSingle);
    EXPECT_EQ(bar.AlertButton(), nullptr);
}

TEST(SideBarReferences, DestroyedComponentsAreClearedEverywhere)
{
    TnbSideBar bar;
    TnbHeader *h1 = bar.AddHeader();
    TnbHeader *h2 = bar.AddHeader();
    TnbButton *button = h2->AddButton();
    auto list = std::make_unique<platform::ImageList>();
    auto keep = std::make_unique<platform::ImageList>();
    auto menu = std::make_unique<platform::PopupMenu>();

    h1->Images()->SetNormal(list.get());
    h1->Images()->SetDisabledSmall(list.get());
    h2->Images()->SetHot(list.get());
    h2->Images()->SetNormal(keep.get());
    bar.HeaderImages()->SetHot(list.get());
    bar.HeaderImages()->SetNormal(keep.get());
    bar.CloseButton()->Header()->Images()->SetSmall(list.get());
    bar.SetPopupMenu(menu.get());
    h1->SetPopupMenu(menu.get());
    button->SetPopupMenu(menu.get());

    list.reset();
    EXPECT_EQ(h1->Images()->NormalList(), nullptr);
    EXPECT_EQ(h1->Images()->DisabledSmallList(), nullptr);
    EXPECT_EQ(h2->Images()->HotList(), nullptr);
    EXPECT_EQ(bar.HeaderImages()->HotList(), nullptr);
    EXPECT_EQ(bar.CloseButton()->Header()->Images()->SmallList(), nullptr);
    EXPECT_EQ(h2->Images()->NormalList(), keep.get());
    EXPECT_EQ(bar.HeaderImages()->NormalList(), keep.get());

    menu.reset();
    EXPECT_EQ(bar.PopupMenu(), nullptr);
    EXPECT_EQ(h1->PopupMenu(), nullptr);
    EXPECT_EQ(button->PopupMenu(), nullptr);
}

TEST(SideBarReferences, ABarDestroyedFirstLeavesTheListsUsable)
{
    platform::ImageList list;
    {
        TnbSideBar bar;
        bar.AddHeader()->Images()->SetNormal(&list);
        bar.HeaderImages()->SetNormal(&list);
    }
    // No change link may be left behind in the list.
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    EXPECT_EQ(list.Add(image), 0);
}

TEST(SideBarReferences, ImageListOwnedByTheBarGoesAfterTheBarsParts)
{
    auto *bar = new TnbSideBar;
    auto *list = new platform::ImageList(16, 16, bar);
    bool listGone = false;
    QObject::connect(list, &QObject::destroyed, [&] { listGone = true; });
    bar->AddHeader()->Images()->SetNormal(list);
    bar->HeaderImages()->SetNormal(list);
    // The list dies among the widget's children, when the headers are already gone; the
    // bar must neither be notified then nor leave a link in the list.
    delete bar;
    EXPECT_TRUE(listGone);
}

// ---- The change path, observed through real repaints --------------------------------

using ChangePath = ShownBar;

TEST_F(ChangePath, EveryKindOfChangeRepaints)
{
    TnbHeader *h = bar.AddHeader();
    ASSERT_TRUE(Repainted());
    TnbButton *b = h->AddButton();
    ASSERT_TRUE(Repainted());

    bar.SetFlat(false);
    EXPECT_TRUE(Repainted()) << "bar property";
    bar.Settings()->SetHeight(30);
    EXPECT_TRUE(Repainted()) << "bar settings";
    bar.Settings()->ButtonDown()->Gradient()->SetEndColor(platform::clRed);
    EXPECT_TRUE(Repainted()) << "gradient of a state background";
    bar.Settings()->XPColors()->SetShadowColor(platform::clGray);
    EXPECT_TRUE(Repainted()) << "XP colours";
    bar.Border()->SetLeft(9);
    EXPECT_TRUE(Repainted()) << "border";
    bar.Background()->SetColor(platform::clWhite);
    EXPECT_TRUE(Repainted()) << "background";
    h->SetCaption("Mail");
    EXPECT_TRUE(Repainted()) << "header";
    h->Settings()->StatusButton()->SetArrowColor(platform::clRed);
    EXPECT_TRUE(Repainted()) << "header settings";
    h->Background()->Gradient()->SetDrawStyle(gtEllipse);
    EXPECT_TRUE(Repainted()) << "header gradient";
    h->Glyph()->SetVisible(false);
    EXPECT_TRUE(Repainted()) << "glyph";
    b->SetCaption("Inbox");
    EXPECT_TRUE(Repainted()) << "button";
    bar.CloseButton()->SetVisible(true);
    EXPECT_TRUE(Repainted()) << "close strip";
    h->SetHeaderIndex(0);
    EXPECT_TRUE(Quiet()) << "no move, no change";

    auto list = std::make_unique<platform::ImageList>();
    h->Images()->SetNormal(list.get());
    EXPECT_TRUE(Repainted()) << "image set";
    list->Add(QImage(16, 16, QImage::Format_ARGB32));
    EXPECT_TRUE(Repainted()) << "change inside a referenced list";
    list.reset();
    EXPECT_TRUE(Repainted()) << "a referenced list went away";
    b->SetButtonIndex(0);
    EXPECT_TRUE(Quiet());
    h->AddButton();
    Settle();
    b->SetButtonIndex(1);
    EXPECT_TRUE(Repainted()) << "a moved button";
    h->DeleteButton(b);
    EXPECT_TRUE(Repainted()) << "a deleted button";
}

TEST_F(ChangePath, ChangesWithoutVisibleEffectDoNotRepaint)
{
    TnbHeader *h = bar.AddHeader();
    Settle();
    bar.SetHeaderScrollType(stLinear);
    EXPECT_TRUE(Quiet()) << "HeaderScrollType";
    bar.SetFlat(true);
    EXPECT_TRUE(Quiet()) << "an equal value";
    bar.Settings()->SetCaptionPen(platform::Pen(platform::clRed, 3));
    bar.Settings()->SetHeaderPen(platform::Pen(platform::clRed, 3));
    EXPECT_TRUE(Quiet()) << "pens are copied quietly";
    EXPECT_EQ(bar.Settings()->CaptionPen().width(), 3);
    h->SetOpened(false);
    EXPECT_TRUE(Quiet()) << "header state in the outlook view";
    bar.SetViewStyle(vsExplorerBar);
    ASSERT_TRUE(Repainted());
    h->SetOpened(true);
    EXPECT_TRUE(Repainted()) << "header state in the explorer-bar view";
}

TEST_F(ChangePath, UpdateLockRepaintsOnceAtTheEnd)
{
    TnbHeader *h = bar.AddHeader();
    Settle();
    bar.BeginUpdate();
    bar.BeginUpdate();
    EXPECT_TRUE(bar.ChangePending());
    h->SetCaption("one");
    bar.Settings()->SetColor(platform::clWhite);
    // Invalidations still happen, but painting holds still while the change is pending.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    bar.EndUpdate();
    EXPECT_TRUE(bar.ChangePending());
    bar.EndUpdate();
    EXPECT_FALSE(bar.ChangePending());
    EXPECT_TRUE(Repainted());
    // A surplus EndUpdate does nothing.
    bar.EndUpdate();
    EXPECT_FALSE(bar.ChangePending());
    EXPECT_TRUE(Quiet());
}

TEST_F(ChangePath, NothingRepaintsWhileLoading)
{
    TnbHeader *h = bar.AddHeader();
    Settle();
    bar.Loading();
    h->SetCaption("loaded");
    bar.Settings()->SetHeight(40);
    bar.SetFlat(false);
    EXPECT_TRUE(Quiet());
    bar.Loaded();
    EXPECT_TRUE(Repainted());
}

TEST_F(ChangePath, SettingsAssignmentIsOneChangeAndKeepsKeySupport)
{
    TnbBarSettings source;
    source.SetHeight(31);
    source.SetKeySupport(false);
    source.ButtonUp()->SetColor(platform::clRed);
    NotifyCounter changes;
    bar.Settings()->SetOnChangeParameter(changes.Handler());
    bar.SetSettings(source);
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(changes.lastSender, bar.Settings());
    EXPECT_EQ(bar.Settings()->Height(), 31);
    EXPECT_EQ(bar.Settings()->ButtonUp()->Color(), platform::clRed);
    EXPECT_TRUE(bar.Settings()->KeySupport());
}
