#include "DragFixture.h"

#include <QtEndian>

using namespace platform;

namespace {

// Moves over a header's caption and waits until the drag has opened it and a paint has
// laid out its first button (or its body, when it has none).
bool OpenByResting(TnbSideBar &bar, TnbHeader *header, const std::function<void(QPoint)> &move)
{
    move(Centre(header->CaptionRect));
    const bool opened = QTest::qWaitFor([&] {
        if (bar.ActiveHeader() != header)
            return false;
        const Rect r = header->ButtonCount() ? header->Button(0)->ButtonRect : header->BodyRect();
        return r != HiddenRect && !r.IsEmpty();
    });
    // A drag that cannot go on is cancelled so that the loop ends.
    if (!opened)
        QTest::keyClick(&bar, Qt::Key_Escape);
    return opened;
}

} // namespace

TEST_F(BarDrag, MoveWithinTheHeaderPutsTheButtonAtTheTargetIndex)
{
    TnbButton *dragged = A->Button(0);
    ASSERT_TRUE(DragButton(dragged, [&] {
        MoveTo(LowerPart(A->Button(2)->ButtonRect));
        Release(LowerPart(A->Button(2)->ButtonRect));
    }));
    EXPECT_EQ(Captions(A), "A1 A2 A0 A3");
    EXPECT_EQ(A->Button(2), dragged) << "moved, not copied";
    EXPECT_EQ(bar.DragSourceButton(), nullptr);
    EXPECT_TRUE(clicks.empty()) << "a drag is no click";
}

// After a drop the pointer rests on the dropped button; the next press there comes with no
// move before it and must still pick that button up.
TEST_F(BarDrag, ASecondDragStartsWhereTheFirstDroppedWithoutAMoveBetween)
{
    const QPoint rest = LowerPart(A->Button(2)->ButtonRect);
    ASSERT_TRUE(DragButton(A->Button(0), [&] {
        MoveTo(rest);
        Release(rest);
    }));
    ASSERT_EQ(Captions(A), "A1 A2 A0 A3");
    bar.PaintImage(); // lays the new order out
    ASSERT_TRUE(A->Button(2)->ButtonRect.Contains(rest));

    TnbButton *source = nullptr;
    EXPECT_TRUE(PressAndDrag(rest, [&] {
        source = bar.DragSourceButton();
        MoveTo(UpperPart(A->Button(0)->ButtonRect));
        Release(UpperPart(A->Button(0)->ButtonRect));
    }));
    EXPECT_EQ(source, A->Button(0));
    EXPECT_EQ(Captions(A), "A0 A1 A2 A3");
}

TEST_F(BarDrag, CtrlCopiesBeforeTheFirstButtonOrAfterTheTargetAndTheCopyStillClicks)
{
    ASSERT_TRUE(DragButton(A->Button(2), [&] {
        MoveTo(UpperPart(A->Button(0)->ButtonRect), Qt::ControlModifier);
        Release(UpperPart(A->Button(0)->ButtonRect), Qt::ControlModifier);
    }));
    EXPECT_EQ(Captions(A), "A2 A0 A1 A2 A3");
    TnbButton *copy = A->Button(0);
    EXPECT_NE(copy->Name(), A->Button(3)->Name());
    copy->Click();
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], copy);

    ASSERT_TRUE(LaidOut(A->Button(4)));
    ASSERT_TRUE(DragButton(A->Button(1), [&] {
        MoveTo(Centre(A->Button(2)->ButtonRect), Qt::ControlModifier);
        Release(Centre(A->Button(2)->ButtonRect), Qt::ControlModifier);
    }));
    EXPECT_EQ(Captions(A), "A2 A0 A1 A0 A2 A3") << "a middle button takes it after itself";
}

TEST_F(BarDrag, DropOnAnotherHeaderCopiesThereAndDeletesTheOriginal)
{
    ASSERT_TRUE(DragButton(A->Button(1), [&] {
        if (!OpenByResting(bar, B, [&](QPoint p) { MoveTo(p); })) {
            ADD_FAILURE() << "the header did not open under the drag";
            return;
        }
        MoveTo(LowerPart(B->Button(0)->ButtonRect));
        Release(LowerPart(B->Button(0)->ButtonRect));
    }));
    EXPECT_EQ(Captions(B), "B0 A1 B1");
    EXPECT_EQ(Captions(A), "A0 A2 A3");
    B->Button(1)->Click();
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], B->Button(1)) << "the copy kept the click handler";

    // With Ctrl the original stays.
    bar.SetActiveHeader(A);
    bar.PaintImage(); // lays A out again
    ASSERT_TRUE(DragButton(A->Button(0), [&] {
        if (!OpenByResting(bar, B, [&](QPoint p) { MoveTo(p, Qt::ControlModifier); })) {
            ADD_FAILURE() << "the header did not open under the drag";
            return;
        }
        MoveTo(UpperPart(B->Button(0)->ButtonRect), Qt::ControlModifier);
        Release(UpperPart(B->Button(0)->ButtonRect), Qt::ControlModifier);
    }));
    EXPECT_EQ(Captions(B), "A0 B0 A1 B1");
    EXPECT_EQ(Captions(A), "A0 A2 A3");
}

TEST_F(BarDrag, DropOnTheBodyOfAnEmptyHoveredHeaderAppendsThere)
{
    ASSERT_TRUE(DragButton(A->Button(3), [&] {
        if (!OpenByResting(bar, C, [&](QPoint p) { MoveTo(p); })) {
            ADD_FAILURE() << "the header did not open under the drag";
            return;
        }
        MoveTo(Centre(C->BodyRect()));
        Release(Centre(C->BodyRect()));
    }));
    EXPECT_EQ(Captions(C), "A3");
    EXPECT_EQ(Captions(A), "A0 A1 A2");
}

TEST_F(BarDrag, ReleaseBeforeTheThresholdClicksAndStartsNoDrag)
{
    int enters = 0;
    bar.OnDragEnter = [&](Persistent *, DataObject *, QObject *, ShiftState, DragState, QPoint, int,
                          std::uint32_t &, bool &) { ++enters; };
    const QPoint from = Centre(A->Button(1)->ButtonRect);
    Hover(from);
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, from);
    EXPECT_TRUE(bar.DragPending());
    const int nearly = QGuiApplication::styleHints()->startDragDistance() - 1;
    MoveTo(from + QPoint(nearly, nearly));
    Release(from + QPoint(nearly, nearly));
    EXPECT_FALSE(bar.DragPending());
    EXPECT_EQ(enters, 0);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], A->Button(1));
    EXPECT_EQ(Captions(A), "A0 A1 A2 A3");
}

TEST_F(BarDrag, ShiftOrCtrlAtThePressOrARefusalArmsNoDrag)
{
    std::vector<TnbButton *> asked;
    bool allow = true;
    bar.OnDragAllowed = [&](Persistent *sender, TnbButton *button, bool &allowed) {
        EXPECT_EQ(sender, &bar);
        EXPECT_TRUE(allowed);
        asked.push_back(button);
        allowed = allow;
    };
    const QPoint from = Centre(A->Button(0)->ButtonRect);
    const QPoint far = Centre(A->Button(2)->ButtonRect);
    for (Qt::KeyboardModifier held : {Qt::ShiftModifier, Qt::ControlModifier}) {
        Hover(from);
        QTest::mousePress(&bar, Qt::LeftButton, held, from);
        EXPECT_FALSE(bar.DragPending());
        MoveTo(far, held);
        EXPECT_EQ(bar.DragSourceButton(), nullptr);
        Release(far, held);
    }
    allow = false;
    Hover(from);
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, from);
    EXPECT_FALSE(bar.DragPending());
    Release(from);
    EXPECT_EQ(asked, (std::vector<TnbButton *>(3, A->Button(0))));
    EXPECT_EQ(Captions(A), "A0 A1 A2 A3");
}

TEST_F(BarDrag, EventsSeeTheBarsOwnDataAndARefusalStopsTheDrop)
{
    std::vector<DragState> states;
    QByteArray resource;
    QObject *enterSource = nullptr;
    bool refuse = false;
    int drops = 0;
    bar.OnDragEnter = [&](Persistent *, DataObject *data, QObject *source, ShiftState, DragState state,
                          QPoint, int mode, std::uint32_t &effect, bool &) {
        enterSource = source;
        EXPECT_EQ(state, dsDragEnter);
        EXPECT_EQ(mode, 1) << "the bar's own drag starts over a button";
        EXPECT_EQ(effect, DROPEFFECT_MOVE);
        Medium medium;
        EXPECT_EQ(data->GetData(NbFormatEtc(CF_NBRESOURCE()), medium), S_OK);
        resource = medium.hGlobal;
    };
    bar.OnDragOver = [&](Persistent *, QObject *, ShiftState, DragState state, QPoint, int, std::uint32_t &,
                         bool &accept) {
        states.push_back(state);
        if (refuse && state == dsDragMove)
            accept = false;
    };
    bar.OnDragDrop = [&](Persistent *, QObject *, DataObject *, const std::vector<ClipFormat> &, ShiftState,
                         QPoint, std::uint32_t &, int) { ++drops; };

    ASSERT_TRUE(DragButton(A->Button(1), [&] {
        MoveTo(LowerPart(A->Button(3)->ButtonRect));
        Release(LowerPart(A->Button(3)->ButtonRect));
    }));
    EXPECT_EQ(enterSource, &bar);
    ASSERT_GE(states.size(), 2u);
    EXPECT_EQ(states.front(), dsDragEnter);
    EXPECT_EQ(states.back(), dsDragMove);
    // Length, then the buttons record round the record of header 0, button 1.
    const std::vector<std::int32_t> words{24, 1, 16, 2, 8, 0, 1};
    ASSERT_EQ(resource.size(), qsizetype(words.size() * 4));
    for (std::size_t i = 0; i < words.size(); ++i)
        EXPECT_EQ(qFromLittleEndian<std::int32_t>(resource.constData() + i * 4), words[i]) << "word " << i;
    EXPECT_EQ(drops, 0) << "a drop the bar handles itself does not reach its owner";
    EXPECT_EQ(Captions(A), "A0 A2 A3 A1");

    refuse = true;
    states.clear();
    ASSERT_TRUE(LaidOut(A->Button(3)));
    ASSERT_TRUE(DragButton(A->Button(0), [&] {
        MoveTo(LowerPart(A->Button(3)->ButtonRect));
        Release(LowerPart(A->Button(3)->ButtonRect));
    }));
    EXPECT_EQ(Captions(A), "A0 A2 A3 A1");
    EXPECT_EQ(states.back(), dsDragLeave) << "a refused drop leaves instead";
}

TEST_F(BarDrag, EscapeAndASecondButtonCancel)
{
    ASSERT_TRUE(DragButton(A->Button(0), [&] {
        MoveTo(LowerPart(A->Button(3)->ButtonRect));
        QTest::keyClick(&bar, Qt::Key_Escape);
    }));
    ASSERT_TRUE(DragButton(A->Button(0), [&] {
        MoveTo(LowerPart(A->Button(3)->ButtonRect));
        QTest::mousePress(&bar, Qt::RightButton, Qt::NoModifier, LowerPart(A->Button(3)->ButtonRect));
    }));
    QTest::mouseRelease(&bar, Qt::RightButton);
    Release(QPoint(1, 1));
    EXPECT_EQ(Captions(A), "A0 A1 A2 A3");
}

TEST_F(BarDrag, TheDropMarkShowsWhereTheButtonGoesAndGoesAway)
{
    bar.SetDropMarkColor(clRed);
    const QRgb red = qRgb(255, 0, 0);
    const Rect target = A->Button(1)->ButtonRect;
    const Rect body = A->BodyRect();
    QImage during;
    ASSERT_TRUE(DragButton(A->Button(3), [&] {
        MoveTo(LowerPart(target));
        during = bar.PaintImage();
        QTest::keyClick(&bar, Qt::Key_Escape);
    }));
    ASSERT_FALSE(during.isNull());
    // Across the bottom edge: insert after it.
    EXPECT_EQ(during.pixel(body.Left + 10, target.Bottom + 1), red);
    EXPECT_EQ(during.pixel(body.Right - 10, target.Bottom + 1), red);
    EXPECT_EQ(during.pixel(body.Left + 2, target.Bottom + 3), red) << "the ends reach down";
    EXPECT_NE(during.pixel(body.Left + 10, target.Top), red);
    const QImage after = bar.PaintImage();
    EXPECT_NE(after.pixel(body.Left + 10, target.Bottom + 1), red);
}

TEST_F(BarDrag, RestingOnTheScrollArrowScrollsTheButtons)
{
    bar.resize(140, 220);
    bar.SetAutoButtonScrollDelay(20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bar.ArrowRect(TnbSideBar::saButtonDown).IsEmpty(); }));
    ASSERT_EQ(A->TopIndex(), 0);
    ASSERT_TRUE(DragButton(A->Button(0), [&] {
        MoveTo(Centre(bar.ArrowRect(TnbSideBar::saButtonDown)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return A->TopIndex() >= 1; }));
        QTest::keyClick(&bar, Qt::Key_Escape);
    }));
    EXPECT_NE(bar.ArrowStateOf(TnbSideBar::saButtonDown), TnbSideBar::asPressed)
        << "the arrow is let go when the drag ends";
}
