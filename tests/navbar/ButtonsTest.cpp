#include "BarFixture.h"

#include "navbar/nbSideBar.h"
#include "platform/ui/Action.h"
#include "platform/ui/ImageList.h"

#include <QImage>
#include <gtest/gtest.h>
#include <memory>

using platform::Action;
using platform::ImageList;

namespace {

struct BarWithButton : ::testing::Test
{
    TnbSideBar bar;
    TnbHeader *header = bar.AddHeader();
    TnbButton *button = header->AddButton();
};

std::unique_ptr<ImageList> ListOf(int count)
{
    auto list = std::make_unique<ImageList>(16, 16);
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::red);
    for (int i = 0; i < count; ++i)
        list->Add(image);
    return list;
}

} // namespace

using ButtonModel = BarWithButton;

TEST_F(ButtonModel, InitialValues)
{
    EXPECT_EQ(button->Action(), nullptr);
    EXPECT_FALSE(button->AutoSize());
    EXPECT_EQ(button->Alignment(), platform::taCenter);
    EXPECT_FALSE(button->AllowGrayed());
    EXPECT_EQ(button->ButtonIndex(), 0);
    EXPECT_EQ(button->ButtonKind(), bkButton);
    EXPECT_EQ(button->ButtonStyle(), bsLarge);
    EXPECT_EQ(button->ButtonView(), bvNormal);
    EXPECT_FALSE(button->Checked());
    EXPECT_EQ(button->CheckState(), platform::cbUnchecked);
    EXPECT_EQ(button->Color(), platform::clBtnFace);
    EXPECT_TRUE(button->Enabled());
    EXPECT_EQ(button->Height(), 60);
    EXPECT_EQ(button->Width(), 100);
    EXPECT_EQ(button->ImageIndex(), -1);
    EXPECT_EQ(button->Margin(), 4);
    EXPECT_TRUE(button->ShowAccelChar());
    EXPECT_FALSE(button->ParentBiDiMode());
    EXPECT_TRUE(button->Transparent());
    EXPECT_EQ(button->Options(), TnbButtonOptions({boAutoWidthLabel, boUnderlineFont}));
    EXPECT_TRUE(button->Visible());
    EXPECT_FALSE(button->WordWrap());
    EXPECT_EQ(button->Font(), platform::Font());
}

TEST_F(ButtonModel, CheckedAndCheckStateFollowEachOther)
{
    button->SetChecked(true);
    EXPECT_EQ(button->CheckState(), platform::cbChecked);
    button->SetCheckState(platform::cbGrayed);
    EXPECT_TRUE(button->Checked()) << "grayed leaves Checked as it was";
    button->SetCheckState(platform::cbUnchecked);
    EXPECT_FALSE(button->Checked());
    button->SetCheckState(platform::cbGrayed);
    EXPECT_FALSE(button->Checked());
    button->SetChecked(false);
    EXPECT_EQ(button->CheckState(), platform::cbUnchecked) << "unchecking a grayed button clears it";
    button->SetCheckState(platform::cbChecked);
    EXPECT_TRUE(button->Checked());
}

TEST_F(ButtonModel, CheckRadioLeavesOneCheckedButton)
{
    TnbButton *b = header->AddButton();
    TnbButton *c = header->AddButton();
    button->SetChecked(true);
    c->SetCheckState(platform::cbGrayed);
    header->CheckRadio(b);
    EXPECT_FALSE(button->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_EQ(c->CheckState(), platform::cbUnchecked);
    EXPECT_FALSE(bar.ChangePending()) << "the update lock is released";
}

TEST_F(ButtonModel, BiDiModeTurnsParentBiDiModeOff)
{
    button->SetParentBiDiMode(true);
    header->SetBiDiMode(platform::bdRightToLeft);
    EXPECT_EQ(button->BiDiMode(), platform::bdRightToLeft);
    button->SetBiDiMode(platform::bdLeftToRight);
    EXPECT_FALSE(button->ParentBiDiMode());
    header->SetBiDiMode(platform::bdRightToLeftNoAlign);
    EXPECT_EQ(button->BiDiMode(), platform::bdLeftToRight);
}

TEST_F(ButtonModel, NotificationRules)
{
    NotifyCounter changes;
    button->SetOnChangeParameter(changes.Handler());

    button->SetCaption("Inbox");
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(changes.lastSender, button);
    button->SetCaption("Inbox");
    EXPECT_EQ(changes.count, 1) << "an equal value is no change";

    button->SetColor(platform::clRed);
    EXPECT_EQ(changes.count, 1) << "a transparent button does not show its colour";
    button->SetTransparent(false);
    button->SetColor(platform::clBlue);
    EXPECT_EQ(changes.count, 3);

    button->SetAutoSize(true);
    changes.count = 0;
    button->SetWidth(30);
    button->SetHeight(30);
    EXPECT_EQ(changes.count, 0) << "sizes are not reported while AutoSize";
    EXPECT_EQ(button->Width(), 30);
    button->SetAutoSize(false);
    button->SetWidth(40);
    EXPECT_EQ(changes.count, 2);

    changes.count = 0;
    button->SetUserString("note");
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ(button->UserString(), "note");
}

using ButtonClick = BarWithButton;

TEST_F(ButtonClick, DisabledButtonsDoNothingAndClickEndsTheAlert)
{
    int clicks = 0;
    button->OnClick = [&](platform::Persistent *sender) {
        ++clicks;
        EXPECT_EQ(sender, button);
    };
    bar.SetAlertButton(button);
    button->SetEnabled(false);
    button->Click();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(bar.AlertButton(), button) << "a disabled button keeps flashing";

    button->SetEnabled(true);
    button->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(bar.AlertButton(), nullptr);
    EXPECT_FALSE(button->Alerting());
}

TEST_F(ButtonClick, ActionOrOwnHandler)
{
    Action action;
    int executed = 0, clicked = 0;
    platform::Persistent *actionComponent = nullptr;
    action.SetOnExecute([&](platform::Persistent *) {
        ++executed;
        actionComponent = action.ActionComponent();
    });

    // A linked button without its own handler takes the action's and runs the action.
    button->SetAction(&action);
    ASSERT_TRUE(button->OnClick);
    EXPECT_TRUE(button->OnClick == action.OnExecute());
    button->Click();
    EXPECT_EQ(executed, 1);
    EXPECT_EQ(actionComponent, button);

    // A handler of its own wins over the action.
    button->OnClick = [&](platform::Persistent *) { ++clicked; };
    button->Click();
    EXPECT_EQ(clicked, 1);
    EXPECT_EQ(executed, 1);

    // Without the action the button's handler runs.
    button->SetAction(nullptr);
    EXPECT_EQ(button->ActionLink(), nullptr);
    button->Click();
    EXPECT_EQ(clicked, 2);
}

using ButtonActionLink = BarWithButton;

TEST_F(ButtonActionLink, ActionChangeFillsOnlyDefaultsOnARuntimeBar)
{
    Action action;
    action.SetCaption("Send");
    action.SetEnabled(false);
    action.SetHelpContext(12);
    action.SetHint("Send mail");
    action.SetImageIndex(3);
    action.SetVisible(false);

    button->SetHint("mine");
    button->SetImageIndex(1);
    button->SetAction(&action);
    EXPECT_EQ(button->Caption(), "Send") << "an empty caption is a default";
    EXPECT_FALSE(button->Enabled());
    EXPECT_EQ(button->HelpContext(), 12);
    EXPECT_EQ(button->Hint(), "mine") << "a hint of its own is kept";
    EXPECT_EQ(button->ImageIndex(), 1);
    EXPECT_FALSE(button->Visible());

    // A caption equal to the button's name also counts as a default.
    TnbButton *other = header->AddButton();
    other->SetCaption(other->Name());
    other->SetAction(&action);
    EXPECT_EQ(other->Caption(), "Send");
}

TEST_F(ButtonActionLink, AfterLoadingEverythingIsCopied)
{
    bar.Loading();
    bar.Loaded();
    Action action;
    action.SetHint("from action");
    action.SetImageIndex(4);
    button->SetHint("mine");
    button->SetImageIndex(1);
    button->SetAction(&action);
    EXPECT_EQ(button->Hint(), "from action");
    EXPECT_EQ(button->ImageIndex(), 4);
}

TEST_F(ButtonActionLink, ActionChangesReachOnlyLinkedProperties)
{
    Action action;
    action.SetCaption("Send");
    action.SetHint("old");
    button->SetAction(&action);
    EXPECT_EQ(button->Hint(), "old");

    action.SetCaption("Send now");
    EXPECT_EQ(button->Caption(), "Send now");

    button->SetHint("changed on the button");
    action.SetHint("new");
    EXPECT_EQ(button->Hint(), "changed on the button") << "no longer linked";

    action.SetEnabled(false);
    EXPECT_FALSE(button->Enabled());

    const platform::NotifyEvent newHandler = [](platform::Persistent *) {};
    action.SetOnExecute(newHandler);
    EXPECT_TRUE(button->OnClick == newHandler) << "the shared handler follows the action";
}

TEST_F(ButtonActionLink, ADestroyedActionLeavesNoLink)
{
    auto action = std::make_unique<Action>();
    int clicks = 0;
    action->SetOnExecute([&](platform::Persistent *) { ++clicks; });
    button->SetAction(action.get());
    action.reset();
    EXPECT_EQ(button->Action(), nullptr);
    EXPECT_EQ(button->ActionLink(), nullptr);
    // The handler it took from the action is its own now.
    button->Click();
    EXPECT_EQ(clicks, 1);
}

using ButtonImages = BarWithButton;

TEST_F(ButtonImages, ListChosenByStateAndStyle)
{
    auto normal = ListOf(3), hot = ListOf(3), disabled = ListOf(3);
    auto small = ListOf(3), hotSmall = ListOf(3), disabledSmall = ListOf(3);
    TnbButtonImages *images = header->Images();
    images->SetNormal(normal.get());
    images->SetSmall(small.get());
    button->SetImageIndex(0);

    // Without the state lists the normal list serves every state.
    EXPECT_EQ(button->ImageListFor(bstHot), normal.get());
    EXPECT_EQ(button->ImageListFor(bstDisabled), normal.get());

    images->SetHot(hot.get());
    images->SetDisabled(disabled.get());
    images->SetHotSmall(hotSmall.get());
    images->SetDisabledSmall(disabledSmall.get());
    EXPECT_EQ(button->ImageListFor(bstNormal), normal.get());
    EXPECT_EQ(button->ImageListFor(bstHot), hot.get());
    EXPECT_EQ(button->ImageListFor(bstDown), hot.get());
    EXPECT_EQ(button->ImageListFor(bstDisabled), disabled.get());
    button->SetEnabled(false);
    EXPECT_EQ(button->ImageListFor(bstHot), disabled.get()) << "a disabled button counts as disabled";
    button->SetEnabled(true);

    // The settings' style decides unless the button has its own.
    bar.Settings()->SetButtonStyle(bsSmall);
    EXPECT_EQ(button->ImageListFor(bstNormal), small.get());
    EXPECT_EQ(button->ImageListFor(bstDown), hotSmall.get());
    EXPECT_EQ(button->ImageListFor(bstDisabled), disabledSmall.get());
    button->SetOptions(button->Options() + TnbButtonOptions{boCustomStyle});
    EXPECT_EQ(button->ImageListFor(bstNormal), normal.get());
}

TEST_F(ButtonImages, AShortStateListGivesNoImage)
{
    auto normal = ListOf(5), hot = ListOf(2);
    header->Images()->SetNormal(normal.get());
    header->Images()->SetHot(hot.get());
    button->SetImageIndex(3);
    EXPECT_EQ(button->ImageListFor(bstNormal), normal.get());
    EXPECT_EQ(button->ImageListFor(bstHot), nullptr);
    button->SetImageIndex(5);
    EXPECT_EQ(button->ImageListFor(bstNormal), nullptr);
    button->SetImageIndex(-1);
    EXPECT_EQ(button->ImageListFor(bstNormal), nullptr);
}

TEST_F(ButtonImages, AssignCopiesPropertiesAndEventsButNotTheName)
{
    int clicks = 0;
    button->SetCaption("Inbox");
    button->SetButtonKind(bkCheckBox);
    button->SetCheckState(platform::cbGrayed);
    button->SetAutoSize(true);
    button->SetWidth(70);
    button->OnClick = [&](platform::Persistent *) { ++clicks; };
    TnbHeader *other = bar.AddHeader();
    TnbButton *copy = other->AddButton();
    copy->Assign(*button);
    EXPECT_EQ(copy->Name(), "nbButton1");
    EXPECT_EQ(copy->Caption(), "Inbox");
    EXPECT_EQ(copy->ButtonKind(), bkCheckBox);
    EXPECT_EQ(copy->CheckState(), platform::cbGrayed);
    EXPECT_TRUE(copy->AutoSize());
    EXPECT_EQ(copy->Width(), 70);
    copy->Click();
    EXPECT_EQ(clicks, 1);
    // Copying within the same header works too.
    EXPECT_NO_THROW(header->AddButton()->Assign(*button));
}
