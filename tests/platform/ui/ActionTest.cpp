#include "platform/ui/Action.h"

#include <gtest/gtest.h>
#include <memory>

using namespace platform;

namespace {

// Records what the action passes on and sees the client value at that moment.
class RecordingLink : public ActionLink
{
public:
    QString clientCaption;
    QString seenActionCaption;
    int calls = 0;
    void SetCaption(const QString &value) override
    {
        ++calls;
        seenActionCaption = GetAction()->Caption();
        clientCaption = value;
    }
};

} // namespace

TEST(NotifyEvent, CopiesCompareEqualSeparateHandlersDoNot)
{
    NotifyEvent empty;
    EXPECT_FALSE(empty);
    const auto body = [](Persistent *) {};
    NotifyEvent a = body;
    NotifyEvent b = a;
    NotifyEvent c = body;
    EXPECT_TRUE(a);
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == c);
    EXPECT_TRUE(empty == NotifyEvent());
    EXPECT_FALSE(NotifyEvent(std::function<void(Persistent *)>()));
}

TEST(Action, LinksHearChangesBeforeTheActionStoresThem)
{
    Action action;
    action.SetCaption("old");
    RecordingLink link;
    link.SetAction(&action);
    action.SetCaption("new");
    EXPECT_EQ(link.calls, 1);
    EXPECT_EQ(link.seenActionCaption, "old");
    EXPECT_EQ(link.clientCaption, "new");
    action.SetCaption("new");
    EXPECT_EQ(link.calls, 1) << "an equal value is no change";
    link.SetAction(nullptr);
    action.SetCaption("again");
    EXPECT_EQ(link.calls, 1);
}

TEST(Action, ExecuteRunsTheHandlerForTheComponent)
{
    Action action;
    ActionLink link;
    link.SetAction(&action);
    EXPECT_FALSE(link.Execute()) << "no handler";
    Persistent component;
    Persistent *seenComponent = nullptr;
    Persistent *seenSender = nullptr;
    action.SetOnExecute([&](Persistent *sender) {
        seenSender = sender;
        seenComponent = action.ActionComponent();
    });
    EXPECT_TRUE(link.Execute(&component));
    EXPECT_EQ(seenSender, &action);
    EXPECT_EQ(seenComponent, &component);
    EXPECT_EQ(action.ActionComponent(), nullptr);
}

TEST(Action, DestroyedActionDetachesItsLinks)
{
    ActionLink link;
    {
        Action action;
        link.SetAction(&action);
        EXPECT_EQ(link.GetAction(), &action);
    }
    EXPECT_EQ(link.GetAction(), nullptr);
    EXPECT_FALSE(link.Execute());
}

TEST(Persistent, UnrelatedAssignmentRaises)
{
    Persistent a, b;
    try {
        a.Assign(b);
        FAIL();
    } catch (const AssignError &e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TPersistent to a TPersistent");
    }
}
