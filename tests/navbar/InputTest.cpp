#include "BarFixture.h"

#include <QWheelEvent>
#include <vector>

using namespace platform;

namespace {

// A bar that records the body of its active header at every animation frame.
class RecordingBar : public TnbSideBar
{
public:
    std::vector<Rect> frames;

protected:
    void AnimationFrame() override
    {
        frames.push_back(ActiveHeader()->BodyRect());
        TnbSideBar::AnimationFrame();
    }
};

} // namespace

// Three headers of three buttons, the first active, laid out by a first paint.
class BarInput : public ShownBar
{
protected:
    void SetUp() override
    {
        ShownBar::SetUp();
        for (int i = 0; i < 3; ++i) {
            TnbHeader *h = bar.AddHeader();
            h->SetCaption(QStringLiteral("&%1eader").arg(QChar(u'A' + i)));
            for (int b = 0; b < 3; ++b) {
                TnbButton *button = h->AddButton();
                button->SetCaption(QStringLiteral("Button %1").arg(b));
                button->OnClick = [this](Persistent *sender) { clicks.push_back(sender); };
            }
        }
        bar.SetActiveHeader(bar.Header(0));
        bar.SetHeaderScrollType(stNone);
        Settle();
        bar.PaintImage();
        // The cursor may still rest where an earlier test left it; a move to the same
        // place would deliver nothing.
        QTest::mouseMove(&bar, QPoint(2, 2));
        QTest::mouseMove(&bar, QPoint(3, 3));
    }

    TnbButton *Button(int i) { return bar.Header(0)->Button(i); }

    void Click(const Rect &r)
    {
        QTest::mouseMove(&bar, Centre(r));
        QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, Centre(r));
        QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, Centre(r));
    }

    std::vector<Persistent *> clicks;
};

TEST_F(BarInput, PressMoveOffReleaseDoesNotClickAndMovingBackDoesNotRepress)
{
    const QPoint on = Centre(Button(0)->ButtonRect);
    const QPoint off = Centre(Button(1)->ButtonRect);
    QTest::mouseMove(&bar, on);
    EXPECT_EQ(Button(0)->ItemState(), bstHot);
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, on);
    EXPECT_EQ(Button(0)->ItemState(), bstDown);
    EXPECT_TRUE(Button(0)->Pressed());
    QTest::mouseMove(&bar, off);
    EXPECT_EQ(Button(0)->ItemState(), bstNormal);
    EXPECT_FALSE(Button(0)->Pressed());
    QTest::mouseMove(&bar, on);
    EXPECT_EQ(Button(0)->ItemState(), bstHot) << "moving back does not press it again";
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, on);
    EXPECT_TRUE(clicks.empty());
}

// The pointer may already rest on an item when the bar first hears of it: a window
// appeared under it, or a drag just ended there. The press alone must find the item.
TEST_F(BarInput, PressWithoutAPriorMoveFindsTheItemUnderIt)
{
    EventCounter moves(&bar, QEvent::MouseMove);
    const QPoint onButton = Centre(Button(1)->ButtonRect);
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, onButton);
    EXPECT_EQ(Button(1)->ItemState(), bstDown);
    EXPECT_TRUE(Button(1)->Pressed());
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, onButton);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], Button(1));

    // A right press lets the menu that follows it go to the button under it.
    Persistent *popupSender = nullptr;
    bar.OnContextPopup = [&](Persistent *sender, QPoint, bool &handled) {
        popupSender = sender;
        handled = true;
    };
    const QPoint onOther = Centre(Button(2)->ButtonRect);
    QTest::mousePress(&bar, Qt::RightButton, Qt::NoModifier, onOther);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, onOther, bar.mapToGlobal(onOther));
    QCoreApplication::sendEvent(&bar, &menu);
    QTest::mouseRelease(&bar, Qt::RightButton, Qt::NoModifier, onOther);
    EXPECT_EQ(popupSender, Button(2));
    EXPECT_EQ(clicks.size(), 1u) << "a right press clicks nothing";

    QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, Centre(bar.Header(2)->CaptionRect));
    EXPECT_EQ(bar.ActiveHeader(), bar.Header(2));
    EXPECT_EQ(moves.count, 0) << "no move reached the bar before the presses";
}

TEST_F(BarInput, ClickFiresOnceTogglesChecksAndSelects)
{
    bar.Header(0)->SetAllowSelected(true);
    Click(Button(1)->ButtonRect);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], Button(1));
    EXPECT_EQ(Button(1)->CheckState(), cbChecked) << "a plain button toggles its check state too";
    EXPECT_EQ(Button(1)->ItemState(), bstNormal);
    EXPECT_EQ(bar.Header(0)->SelectedIndex(), 1);
    Click(Button(1)->ButtonRect);
    EXPECT_EQ(clicks.size(), 2u);
    EXPECT_EQ(Button(1)->CheckState(), cbUnchecked);

    Button(2)->SetAllowGrayed(true);
    Button(2)->SetButtonKind(bkCheckBox);
    bar.PaintImage();
    Click(Button(2)->ButtonRect);
    Click(Button(2)->ButtonRect);
    EXPECT_EQ(Button(2)->CheckState(), cbGrayed) << "with grayed allowed a click walks all three states";
}

TEST_F(BarInput, RadioButtonsCheckOnlyThemselvesAndDisabledButtonsIgnoreClicks)
{
    for (int i = 0; i < 3; ++i)
        Button(i)->SetButtonKind(bkRadioButton);
    Button(0)->SetChecked(true);
    bar.PaintImage();
    Click(Button(2)->ButtonRect);
    EXPECT_FALSE(Button(0)->Checked());
    EXPECT_TRUE(Button(2)->Checked());
    Click(Button(2)->ButtonRect);
    EXPECT_TRUE(Button(2)->Checked()) << "clicking a checked radio button keeps it checked";

    Button(1)->SetEnabled(false);
    bar.PaintImage();
    clicks.clear();
    const QPoint p = Centre(Button(1)->ButtonRect);
    QTest::mouseMove(&bar, p);
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_NE(Button(1)->ItemState(), bstDown) << "no pressed state";
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_TRUE(clicks.empty());
    EXPECT_FALSE(Button(1)->Checked());
}

TEST_F(BarInput, CloseBoxFiresOnCloseAfterTheReleaseWithTheBarAsSender)
{
    bar.CloseButton()->SetVisible(true);
    bar.CloseButton()->SetCaption("X");
    bar.PaintImage();
    Persistent *sender = nullptr;
    int closes = 0;
    bar.SetOnClose([&](Persistent *s) {
        sender = s;
        ++closes;
    });
    const Rect box = bar.CloseButton()->BoxRect;
    ASSERT_NE(box, HiddenRect);
    QTest::mouseMove(&bar, Centre(box));
    EXPECT_EQ(bar.CloseButton()->State, 2);
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, Centre(box));
    EXPECT_EQ(bar.CloseButton()->State, 1);
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, Centre(box));
    EXPECT_EQ(closes, 0) << "deferred";
    EXPECT_TRUE(QTest::qWaitFor([&] { return closes == 1; }));
    EXPECT_EQ(sender, &bar);

    // Leaving the box before releasing closes nothing.
    QTest::mouseMove(&bar, Centre(box));
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, Centre(box));
    QTest::mouseMove(&bar, Centre(Button(0)->ButtonRect));
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, Centre(Button(0)->ButtonRect));
    EXPECT_FALSE(QTest::qWaitFor([&] { return closes == 2; }, 400));
}

TEST_F(BarInput, CaptionClickSwitchesHeadersWithEventsInOrder)
{
    std::vector<QString> log;
    bar.OnCanChange = [&](Persistent *, TnbHeader *h, bool &) { log.push_back("can " + h->Caption()); };
    bar.OnChange = [&](Persistent *, int oldIndex, int newIndex) {
        log.push_back(
            QStringLiteral("change %1 %2 active %3").arg(oldIndex).arg(newIndex).arg(bar.ActiveIndex()));
    };
    bar.Header(2)->OnChange = [&](Persistent *) { log.push_back("header"); };
    Click(bar.Header(2)->CaptionRect);
    EXPECT_EQ(bar.ActiveHeader(), bar.Header(2));
    EXPECT_EQ(bar.Header(2)->ItemState(), bstHot);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "can &Ceader");
    EXPECT_EQ(log[1], "change 0 2 active 0") << "before the switch is visible";
    EXPECT_EQ(log[2], "header");

    bar.OnCanChange = [](Persistent *, TnbHeader *, bool &can) { can = false; };
    bar.PaintImage();
    Click(bar.Header(0)->CaptionRect);
    EXPECT_EQ(bar.ActiveHeader(), bar.Header(2)) << "refused";

    bar.OnCanChange = nullptr;
    bar.Header(1)->SetEnabled(false);
    bar.SetActiveHeader(bar.Header(1));
    EXPECT_EQ(bar.ActiveHeader(), bar.Header(2)) << "disabled headers stay closed";
    bar.SetOptions(bar.Options().Include(boChangeToDisabled));
    bar.SetActiveHeader(bar.Header(1));
    EXPECT_EQ(bar.ActiveHeader(), bar.Header(1));
}

TEST_F(BarInput, KeysWalkTheHeadersAndPageUpOnTheFirstFiresEqualIndexes)
{
    std::vector<std::pair<int, int>> changes;
    int asked = 0;
    bar.OnCanChange = [&](Persistent *, TnbHeader *, bool &) { ++asked; };
    bar.OnChange = [&](Persistent *, int o, int n) { changes.push_back({o, n}); };
    QTest::keyClick(&bar, Qt::Key_PageUp);
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], std::make_pair(0, 0));
    EXPECT_EQ(bar.ActiveIndex(), 0);

    QTest::keyClick(&bar, Qt::Key_PageDown);
    EXPECT_EQ(bar.ActiveIndex(), 1);
    bar.Header(2)->SetVisible(false);
    QTest::keyClick(&bar, Qt::Key_End);
    EXPECT_EQ(bar.ActiveIndex(), 1) << "the last visible header";
    QTest::keyClick(&bar, Qt::Key_Home);
    EXPECT_EQ(bar.ActiveIndex(), 0);
}

TEST_F(BarInput, AcceleratorsActivateHeadersAndClickButtonsUnlessKeySupportIsOff)
{
    bar.Header(0)->Button(1)->SetCaption("&Open");
    bar.Header(0)->Button(1)->SetButtonKind(bkCheckBox);
    EXPECT_TRUE(bar.DialogChar(u'b'));
    EXPECT_EQ(bar.ActiveIndex(), 1);
    EXPECT_FALSE(bar.DialogChar(u'o')) << "buttons answer only in the active header";
    bar.SetActiveHeader(bar.Header(0));
    EXPECT_TRUE(bar.DialogChar(u'o'));
    EXPECT_EQ(clicks.size(), 1u);
    EXPECT_EQ(bar.Header(0)->Button(1)->CheckState(), cbChecked);
    QTest::keyClick(&bar, Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(bar.ActiveIndex(), 2);

    bar.Header(0)->Settings()->SetKeySupport(false);
    bar.Settings()->SetKeySupport(false);
    EXPECT_FALSE(bar.DialogChar(u'a'));
    bar.Settings()->SetKeySupport(true);
    bar.Header(0)->Settings()->SetKeySupport(false);
    EXPECT_FALSE(bar.DialogChar(u'a')) << "a header whose own settings refuse is skipped";
    EXPECT_TRUE(bar.DialogChar(u'b'));
}

TEST_F(BarInput, OneWheelNotchScrollsExactlyOneButton)
{
    bar.resize(120, 160);
    Settle();
    bar.PaintImage();
    TnbHeader *h = bar.Header(0);
    ASSERT_LT(h->LastVisibleIndex(), 2) << "not every button fits";
    const auto wheel = [this](int delta) {
        QWheelEvent event(QPointF(60, 60), bar.mapToGlobal(QPointF(60, 60)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&bar, &event);
        bar.PaintImage();
    };
    wheel(-360);
    EXPECT_EQ(h->TopIndex(), 1) << "three notches at once still scroll one button";
    wheel(120);
    EXPECT_EQ(h->TopIndex(), 0);
    wheel(120);
    EXPECT_EQ(h->TopIndex(), 0) << "nothing above";
}

TEST_F(BarInput, ButtonScrollArrowsScrollOnRelease)
{
    bar.resize(120, 160);
    Settle();
    bar.PaintImage();
    const Rect down = bar.ArrowRect(TnbSideBar::saButtonDown);
    ASSERT_FALSE(down.IsEmpty());
    QTest::mouseMove(&bar, Centre(down));
    EXPECT_EQ(bar.ArrowStateOf(TnbSideBar::saButtonDown), TnbSideBar::asHot);
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, Centre(down));
    EXPECT_EQ(bar.Header(0)->TopIndex(), 0);
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, Centre(down));
    EXPECT_EQ(bar.Header(0)->TopIndex(), 1);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(BarInput, ExplorerCaptionClickTogglesTheHeader)
{
    bar.SetViewStyle(vsExplorerBar);
    Settle();
    bar.PaintImage();
    ASSERT_TRUE(bar.Header(1)->Opened());
    Click(bar.Header(1)->CaptionRect);
    EXPECT_FALSE(bar.Header(1)->Opened());
    EXPECT_EQ(bar.ActiveHeader(), bar.Header(1));
    bar.PaintImage();
    Click(bar.Header(1)->CaptionRect);
    EXPECT_TRUE(bar.Header(1)->Opened());
}

TEST_F(BarInput, ContextMenuGoesToTheItemUnderTheMouse)
{
    std::vector<Persistent *> senders;
    bar.OnContextPopup = [&](Persistent *sender, QPoint, bool &handled) {
        senders.push_back(sender);
        handled = true;
    };
    const auto rightClick = [this](QPoint p) {
        QTest::mouseMove(&bar, p);
        QContextMenuEvent event(QContextMenuEvent::Mouse, p, bar.mapToGlobal(p));
        QCoreApplication::sendEvent(&bar, &event);
    };
    rightClick(Centre(Button(0)->ButtonRect));
    rightClick(Centre(bar.Header(1)->CaptionRect));
    rightClick(QPoint(3, Button(2)->ButtonRect.Bottom + 30));
    ASSERT_EQ(senders.size(), 3u);
    EXPECT_EQ(senders[0], Button(0));
    EXPECT_EQ(senders[1], bar.Header(1));
    EXPECT_EQ(senders[2], bar.Header(0)) << "the body of the active header";
}

class BarAnimation : public ::testing::Test
{
protected:
    // Three headers in a bar whose first body is 300 pixels tall; switching to the second
    // slides its caption up over that body.
    void SetUp() override
    {
        bar.resize(120, 369);
        for (int i = 0; i < 3; ++i)
            bar.AddHeader()->AddButton();
        bar.SetActiveHeader(bar.Header(0));
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
        bar.PaintImage();
        ASSERT_EQ(bar.Header(0)->BodyRect().Height(), 300);
    }

    // The distances the old body's bottom moved between the frames of the slide.
    std::vector<int> Steps()
    {
        std::vector<int> steps;
        for (std::size_t i = 2; i < bar.frames.size(); ++i)
            steps.push_back(bar.frames[i - 1].Bottom - bar.frames[i].Bottom);
        return steps;
    }

    RecordingBar bar;
};

TEST_F(BarAnimation, LinearStepsAreEqualAndNoMoreThanTheBodyAllows)
{
    bar.SetHeaderScrollType(stLinear);
    bar.SetActiveHeader(bar.Header(1));
    EXPECT_EQ(bar.ActiveHeader(), bar.Header(1));
    const std::vector<int> steps = Steps();
    EXPECT_EQ(steps, std::vector<int>(steps.size(), 20));
    EXPECT_LE(steps.size() + 1, std::size_t(300 / 20 + 1)) << "the step that arrives is not painted";
    EXPECT_EQ(steps.size(), 15u);
    EXPECT_TRUE(bar.PaintImage().isNull() == false);
    EXPECT_EQ(bar.Header(1)->CaptionRect.Top, 23) << "a fresh layout after the slide";
}

TEST_F(BarAnimation, AcceleratedStepsGrowByTheStepValue)
{
    bar.SetHeaderScrollType(stAccelerated);
    bar.SetActiveHeader(bar.Header(1));
    EXPECT_EQ(Steps(), (std::vector<int>{20, 40, 60, 80, 100}));
}

TEST_F(BarAnimation, NoAnimationWithoutScrollTypeOrPreviousHeader)
{
    bar.SetHeaderScrollType(stNone);
    bar.SetActiveHeader(bar.Header(2));
    EXPECT_TRUE(bar.frames.empty());
    bar.SetHeaderScrollType(stLinear);
    bar.SetActiveHeader(nullptr);
    bar.SetActiveHeader(bar.Header(0));
    EXPECT_TRUE(bar.frames.empty()) << "no previously active header";
    EXPECT_EQ(bar.ActiveHeader(), bar.Header(0));
}
