#include "BarFixture.h"

#include "navbar/nbSideBar.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

QStringList HeaderNames(const TnbSideBar &bar)
{
    QStringList names;
    for (int i = 0; i < bar.HeaderCount(); ++i)
        names << bar.Header(i)->Name();
    return names;
}

QStringList ButtonNames(const TnbHeader &header)
{
    QStringList names;
    for (int i = 0; i < header.ButtonCount(); ++i)
        names << header.Button(i)->Name();
    return names;
}

} // namespace

TEST(HeaderNames, NewHeadersTakeTheSmallestFreeNumber)
{
    TnbSideBar bar;
    bar.AddHeader();
    bar.AddHeader();
    bar.AddHeader();
    EXPECT_EQ(HeaderNames(bar), QStringList({"nbHeader1", "nbHeader2", "nbHeader3"}));

    bar.DeleteHeader(1);
    EXPECT_EQ(bar.AddHeader()->Name(), "nbHeader2");

    // A taken number is recognised whatever its case.
    bar.Header(0)->SetName("NBHEADER4");
    bar.Header(1)->SetName("Other");
    bar.Header(2)->SetName("Third");
    EXPECT_EQ(bar.AddHeader()->Name(), "nbHeader1");
    EXPECT_EQ(bar.AddHeader()->Name(), "nbHeader2");
    EXPECT_EQ(bar.AddHeader()->Name(), "nbHeader3");
    EXPECT_EQ(bar.AddHeader()->Name(), "nbHeader5");
}

TEST(HeaderNames, ButtonNumbersCountPerHeader)
{
    TnbSideBar bar;
    TnbHeader *first = bar.AddHeader();
    TnbHeader *second = bar.AddHeader();
    first->AddButton();
    first->AddButton();
    second->AddButton();
    EXPECT_EQ(ButtonNames(*first), QStringList({"nbButton1", "nbButton2"}));
    EXPECT_EQ(ButtonNames(*second), QStringList({"nbButton1"}));
    // Inserted buttons are named the same way.
    EXPECT_EQ(first->Buttons()->Insert(0)->Name(), "nbButton3");
    EXPECT_EQ(first->Button(0)->Name(), "nbButton3");
}

TEST(HeaderNames, RenamingChecksTheOtherItemsWithoutCase)
{
    TnbSideBar bar;
    TnbHeader *a = bar.AddHeader();
    TnbHeader *b = bar.AddHeader();

    try {
        b->SetName("NBHEADER1");
        FAIL() << "a duplicate header name was accepted";
    } catch (const TnbError &e) {
        EXPECT_EQ(e.Message(),
                  QString::fromUtf8("该控件已经包含了模块名称 NBHEADER1\n\r请设置其它名称继续."));
    }
    EXPECT_EQ(b->Name(), "nbHeader2");

    // Its own name in another case is no change at all.
    a->SetName("NBHEADER1");
    EXPECT_EQ(a->Name(), "nbHeader1");
    a->SetName("Mail");
    EXPECT_EQ(a->Name(), "Mail");

    TnbButton *x = a->AddButton();
    TnbButton *y = a->AddButton();
    try {
        y->SetName("nbbutton1");
        FAIL() << "a duplicate button name was accepted";
    } catch (const TnbError &e) {
        EXPECT_EQ(e.Message(),
                  QString::fromUtf8("该控件模块已经包含了功能名称 nbbutton1\n\r请设置其它名称继续."));
    }
    EXPECT_EQ(y->Name(), "nbButton2");
    x->SetName("NBBUTTON1");
    EXPECT_EQ(x->Name(), "nbButton1");
    // Button names only clash within their own header.
    b->AddButton()->SetName("Inbox");
    EXPECT_NO_THROW(x->SetName("Inbox"));
    EXPECT_EQ(x->Name(), "Inbox");
}

TEST(HeaderCollection, LookupsOutsideTheRangeGiveNone)
{
    TnbSideBar bar;
    TnbHeader *h = bar.AddHeader();
    h->AddButton();
    EXPECT_EQ(bar.Header(-1), nullptr);
    EXPECT_EQ(bar.Header(1), nullptr);
    EXPECT_EQ(bar.Header(0), h);
    EXPECT_EQ(h->Button(1), nullptr);
    EXPECT_EQ(h->Button(-1), nullptr);
    bar.DeleteHeader(5); // ignored
    h->DeleteButton(3);  // ignored
    EXPECT_EQ(bar.HeaderCount(), 1);
    EXPECT_EQ(h->ButtonCount(), 1);
}

TEST(HeaderCollection, HeaderIndexMovesAndClamps)
{
    TnbSideBar bar;
    TnbHeader *a = bar.AddHeader();
    TnbHeader *b = bar.AddHeader();
    TnbHeader *c = bar.AddHeader();
    a->SetHeaderIndex(99);
    EXPECT_EQ(HeaderNames(bar), QStringList({"nbHeader2", "nbHeader3", "nbHeader1"}));
    EXPECT_EQ(a->HeaderIndex(), 2);
    c->SetHeaderIndex(-5);
    EXPECT_EQ(HeaderNames(bar), QStringList({"nbHeader3", "nbHeader2", "nbHeader1"}));
    EXPECT_EQ(b->HeaderIndex(), 1);

    TnbButton *x = a->AddButton();
    a->AddButton();
    a->AddButton();
    x->SetButtonIndex(10);
    EXPECT_EQ(ButtonNames(*a), QStringList({"nbButton2", "nbButton3", "nbButton1"}));
    x->SetButtonIndex(1);
    EXPECT_EQ(ButtonNames(*a), QStringList({"nbButton2", "nbButton1", "nbButton3"}));
}

TEST(HeaderCollection, VisibleHeadersAndActiveIndex)
{
    TnbSideBar bar;
    EXPECT_EQ(bar.ActiveIndex(), -1);
    TnbHeader *a = bar.AddHeader();
    TnbHeader *b = bar.AddHeader();
    TnbHeader *c = bar.AddHeader();
    b->SetVisible(false);
    EXPECT_EQ(bar.VisibleHeaderCount(), 2);
    EXPECT_EQ(bar.NextVisibleHeader(0), 2);
    EXPECT_EQ(bar.NextVisibleHeader(-1), 0);
    EXPECT_EQ(bar.NextVisibleHeader(2), -1);

    bar.SetActiveHeader(b); // invisible: ignored
    EXPECT_EQ(bar.ActiveHeader(), nullptr);
    bar.SetActiveHeader(c);
    EXPECT_EQ(bar.ActiveIndex(), 2);
    c->SetHeaderIndex(0);
    EXPECT_EQ(bar.ActiveIndex(), 0);

    // Hiding the active header leaves none active.
    c->SetVisible(false);
    EXPECT_EQ(bar.ActiveHeader(), nullptr);
    EXPECT_EQ(bar.ActiveIndex(), -1);

    // Deleting the active header leaves none active.
    bar.SetActiveHeader(a);
    bar.DeleteHeader(a);
    EXPECT_EQ(bar.ActiveHeader(), nullptr);
    EXPECT_EQ(bar.HeaderCount(), 2);

    bar.DeleteAllHeaders();
    EXPECT_EQ(bar.HeaderCount(), 0);
}

TEST(HeaderCollection, ARenameReportedForTheActiveHeaderDeactivatesIt)
{
    TnbSideBar bar;
    TnbHeader *a = bar.AddHeader();
    TnbHeader *b = bar.AddHeader();
    bar.SetActiveHeader(a);
    b->SetName("Other");
    EXPECT_EQ(bar.ActiveHeader(), a);
    a->SetName("Mine");
    EXPECT_EQ(bar.ActiveHeader(), nullptr);
}

TEST(Selection, WithoutAllowSelectedNothingIsSelected)
{
    TnbSideBar bar;
    TnbHeader *h = bar.AddHeader();
    h->AddButton();
    h->AddButton();
    h->SetSelectedIndex(1);
    EXPECT_EQ(h->SelectedIndex(), -1);
}

TEST(Selection, ValuesAreClampedToTheButtons)
{
    TnbSideBar bar;
    TnbHeader *h = bar.AddHeader();
    h->SetAllowSelected(true);
    h->SetSelectedIndex(0);
    EXPECT_EQ(h->SelectedIndex(), -1) << "no buttons: nothing to select";
    h->AddButton();
    h->AddButton();
    h->AddButton();
    h->SetSelectedIndex(7);
    EXPECT_EQ(h->SelectedIndex(), 2);
    h->SetSelectedIndex(-9);
    EXPECT_EQ(h->SelectedIndex(), -1);
    h->SetSelectedIndex(1);
    EXPECT_EQ(h->SelectedIndex(), 1);
    // Changing AllowSelected clears the selection.
    h->SetAllowSelected(false);
    EXPECT_EQ(h->SelectedIndex(), -1);
}

TEST(Selection, OneSelectionInTheBarUnlessEachHeaderSelection)
{
    TnbSideBar bar;
    TnbHeader *a = bar.AddHeader();
    TnbHeader *b = bar.AddHeader();
    for (TnbHeader *h : {a, b}) {
        h->SetAllowSelected(true);
        h->AddButton();
        h->AddButton();
    }
    a->SetSelectedIndex(1);
    b->SetSelectedIndex(0);
    EXPECT_EQ(a->SelectedIndex(), -1);
    EXPECT_EQ(b->SelectedIndex(), 0);

    bar.SetEachHeaderSelection(true);
    EXPECT_EQ(b->SelectedIndex(), -1) << "switching the mode clears every selection";
    a->SetSelectedIndex(1);
    b->SetSelectedIndex(1);
    EXPECT_EQ(a->SelectedIndex(), 1);
    EXPECT_EQ(b->SelectedIndex(), 1);

    bar.SetEachHeaderSelection(false);
    EXPECT_EQ(a->SelectedIndex(), -1);
    EXPECT_EQ(b->SelectedIndex(), -1);
}

TEST(HeaderModel, InitialValues)
{
    TnbSideBar bar;
    TnbHeader *h = bar.AddHeader();
    EXPECT_FALSE(h->AllowSelected());
    EXPECT_EQ(h->Background()->Style(), btSolid);
    EXPECT_EQ(h->Background()->Color(), platform::clGray);
    EXPECT_EQ(h->Glyph()->Position(), gpBottomRight);
    EXPECT_TRUE(h->Glyph()->Bitmap().isNull());
    EXPECT_EQ(h->Images()->NormalList(), nullptr);
    EXPECT_EQ(h->BiDiMode(), platform::bdLeftToRight);
    EXPECT_EQ(h->Caption(), "");
    EXPECT_TRUE(h->Enabled());
    EXPECT_EQ(h->FirstButtonTop(), 10);
    EXPECT_EQ(h->HeaderIndex(), 0);
    EXPECT_EQ(h->HeaderState(), hsOpened);
    EXPECT_TRUE(h->Opened());
    EXPECT_EQ(h->ImageIndex(), -1);
    EXPECT_EQ(h->Margin(), 4);
    EXPECT_EQ(h->Options(),
              TnbHeaderOptions({hoButtonDown, hoDrawCaptionBorder, hoDrawDisabledButton, hoDrawDownButton,
                                hoDrawFocusedButton, hoShowStatusButton, hoUseHighlightFont}));
    EXPECT_EQ(h->Options().Bits(), 0x000000001u << hoButtonDown | 1u << hoDrawCaptionBorder |
                                       1u << hoDrawDisabledButton | 1u << hoDrawDownButton |
                                       1u << hoDrawFocusedButton | 1u << hoShowStatusButton |
                                       1u << hoUseHighlightFont);
    EXPECT_EQ(h->PopupMenu(), nullptr);
    EXPECT_EQ(h->Tag(), 0);
    EXPECT_FALSE(h->Transparent());
    EXPECT_EQ(h->SelectedIndex(), -1);
    EXPECT_EQ(h->Spacing(), 2);
    EXPECT_TRUE(h->Visible());
    EXPECT_EQ(h->TopIndex(), 0);
    EXPECT_EQ(h->LastVisibleIndex(), -1);
}

TEST(HeaderModel, EffectiveSettingsFollowCommonStyleAndCustomSettings)
{
    TnbSideBar bar;
    TnbHeader *h = bar.AddHeader();
    EXPECT_EQ(h->EffectiveSettings(), bar.Settings());
    // Its own block changes nothing while the bar's governs.
    h->Settings()->SetHeight(40);
    EXPECT_EQ(h->CaptionHeight(), 22);

    h->SetOptions(h->Options() + TnbHeaderOptions{hoCustomSettings});
    EXPECT_EQ(h->EffectiveSettings(), h->Settings());
    EXPECT_EQ(h->CaptionHeight(), 40);

    h->SetOptions(h->Options() - TnbHeaderOptions{hoCustomSettings});
    bar.SetCommonStyle(false);
    EXPECT_EQ(h->EffectiveSettings(), h->Settings());

    // The explorer-bar view adds the block's ExplorerAddOn to the caption.
    bar.SetViewStyle(vsExplorerBar);
    EXPECT_EQ(h->CaptionHeight(), 40 + 12);

    // The close strip's private header always uses its own block.
    bar.SetCommonStyle(true);
    TnbHeader *close = bar.CloseButton()->Header();
    close->SetOptions({});
    EXPECT_EQ(close->EffectiveSettings(), close->Settings());
}

TEST(HeaderModel, HeaderStateEmptiesTheLayout)
{
    TnbSideBar bar;
    TnbHeader *h = bar.AddHeader();
    TnbButton *b = h->AddButton();
    h->CaptionRect = {0, 0, 100, 22};
    h->SetBodyRect({0, 23, 100, 200});
    b->ButtonRect = {4, 30, 90, 90};
    b->LabelRect = {4, 70, 90, 90};
    h->SetOpened(false);
    EXPECT_EQ(h->HeaderState(), hsClosed);
    EXPECT_FALSE(h->Opened());
    EXPECT_EQ(h->CaptionRect, platform::Rect());
    EXPECT_EQ(b->ButtonRect, platform::Rect());
    EXPECT_EQ(b->LabelRect, platform::Rect());
    bar.SetActiveHeader(h);
    EXPECT_EQ(h->BodyRect(), platform::Rect());
}

TEST(HeaderModel, BodyRectReadsEmptyForInactiveHeadersInTheOutlookView)
{
    TnbSideBar bar;
    TnbHeader *a = bar.AddHeader();
    TnbHeader *b = bar.AddHeader();
    a->SetBodyRect({0, 23, 100, 200});
    b->SetBodyRect({0, 230, 100, 260});
    bar.SetActiveHeader(a);
    EXPECT_EQ(a->BodyRect(), platform::Rect(0, 23, 100, 200));
    EXPECT_EQ(b->BodyRect(), platform::Rect());
    bar.SetViewStyle(vsExplorerBar);
    EXPECT_EQ(b->BodyRect(), platform::Rect(0, 230, 100, 260));
}

TEST(HeaderModel, ButtonScrollingStaysInRange)
{
    TnbSideBar bar;
    TnbHeader *h = bar.AddHeader();
    for (int i = 0; i < 3; ++i)
        h->AddButton();
    h->ScrollUp();
    EXPECT_EQ(h->TopIndex(), 0);
    h->SetLastVisibleIndex(0);
    h->ScrollDown();
    EXPECT_EQ(h->TopIndex(), 1);
    h->SetLastVisibleIndex(2); // everything shown: no further scrolling
    h->ScrollDown();
    EXPECT_EQ(h->TopIndex(), 1);
    h->ScrollUp();
    EXPECT_EQ(h->TopIndex(), 0);

    EXPECT_EQ(h->FirstVisibleButton(), h->Button(0));
    h->Button(0)->SetVisible(false);
    h->Button(2)->SetVisible(false);
    EXPECT_EQ(h->FirstVisibleButton(), h->Button(1));
    EXPECT_EQ(h->LastVisibleButton(), h->Button(1));
}

TEST(HeaderModel, AssignCopiesPropertiesAndButtonsThenFiresOnChange)
{
    TnbSideBar bar;
    TnbHeader *source = bar.AddHeader();
    source->SetCaption("Mail");
    source->SetMargin(9);
    source->SetAllowSelected(true);
    source->Background()->SetColor(platform::clNavy);
    source->AddButton()->SetCaption("Inbox");
    source->AddButton()->SetCaption("Sent");
    source->SetSelectedIndex(1);
    int changes = 0;
    source->OnChange = [&](platform::Persistent *) { ++changes; };

    TnbHeader *copy = bar.AddHeader();
    copy->Assign(*source);
    EXPECT_EQ(copy->Name(), "nbHeader2") << "names are not copied";
    EXPECT_EQ(copy->Caption(), "Mail");
    EXPECT_EQ(copy->Margin(), 9);
    EXPECT_EQ(copy->Background()->Color(), platform::clNavy);
    ASSERT_EQ(copy->ButtonCount(), 2);
    EXPECT_EQ(copy->Button(1)->Caption(), "Sent");
    EXPECT_EQ(copy->Button(1)->Name(), "nbButton2");
    EXPECT_EQ(copy->SelectedIndex(), 1);
    EXPECT_EQ(source->SelectedIndex(), -1) << "still one selection in the bar";
    EXPECT_EQ(changes, 1) << "the copied OnChange fires after the assignment";

    TnbBorder border;
    EXPECT_THROW(copy->Assign(border), platform::AssignError);
}
