#pragma once

#include "navbar/nbSideBar.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

inline QPoint Centre(const platform::Rect &r)
{
    return QPoint(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
}

inline QPoint UpperPart(const platform::Rect &r)
{
    return QPoint(r.Left + r.Width() / 2, r.Top + 3);
}

inline QPoint LowerPart(const platform::Rect &r)
{
    return QPoint(r.Left + r.Width() / 2, r.Bottom - 3);
}

// A shown bar with three headers, driven by mouse events through Qt's own drag loop:
// A (active) with buttons A0..A3, B with B0..B1 and C without buttons. Headers switch
// without animation.
class BarDrag : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(QGuiApplication::platformName(), QStringLiteral("offscreen"))
            << "dragging needs a platform that runs Qt's drag loop (QT_QPA_PLATFORM=minimal)";
        bar.resize(140, 420);
        bar.SetHeaderScrollType(stNone);
        A = AddHeader(QStringLiteral("A"), 4);
        B = AddHeader(QStringLiteral("B"), 2);
        C = AddHeader(QStringLiteral("C"), 0);
        bar.SetActiveHeader(A);
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
        ASSERT_TRUE(LaidOut(A->Button(0)));
        Hover(QPoint(1, 1));
    }

    TnbHeader *AddHeader(const QString &caption, int buttons)
    {
        TnbHeader *header = bar.AddHeader();
        header->SetCaption(caption);
        for (int i = 0; i < buttons; ++i) {
            TnbButton *button = header->AddButton();
            button->SetCaption(caption + QString::number(i));
            button->SetHeight(40);
            button->OnClick = [this](platform::Persistent *sender) { clicks.push_back(sender); };
        }
        return header;
    }

    // Waits until a paint has laid `button` out.
    bool LaidOut(TnbButton *button)
    {
        return QTest::qWaitFor(
            [button] { return button->ButtonRect != HiddenRect && !button->ButtonRect.IsEmpty(); });
    }

    // The button captions of a header, separated by spaces.
    std::string Captions(TnbHeader *header) const
    {
        QStringList captions;
        for (int i = 0; i < header->ButtonCount(); ++i)
            captions << header->Button(i)->Caption();
        return captions.join(u' ').toStdString();
    }

    // A mouse move with no button held, delivered as the window system would.
    void Hover(QPoint p)
    {
        QMouseEvent move(QEvent::MouseMove, p, bar.mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(&bar, &move);
    }

    // Moves with the left button held (inside a drag the drag loop takes it).
    void MoveTo(QPoint p, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseEvent(QTest::MouseMove, &bar, Qt::NoButton, modifiers, p);
    }

    void Release(QPoint p, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseRelease(&bar, Qt::LeftButton, modifiers, p);
    }

    // Presses on `button`, moves past the drag threshold and runs `during` inside the
    // drag loop, which must end it (Release or Escape). False when no drag ran.
    bool DragButton(TnbButton *button, const std::function<void()> &during)
    {
        Hover(Centre(button->ButtonRect));
        return PressAndDrag(Centre(button->ButtonRect), during);
    }

    // As DragButton, from a press at `from` with whatever hover came before it.
    bool PressAndDrag(QPoint from, const std::function<void()> &during)
    {
        QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, from);
        bool ran = false;
        QTimer::singleShot(0, &bar, [&] {
            ran = bar.DragSourceButton() != nullptr;
            if (ran)
                during();
        });
        MoveTo(from + QPoint(0, QGuiApplication::styleHints()->startDragDistance() + 2));
        QCoreApplication::processEvents();
        return ran;
    }

    TnbSideBar bar;
    TnbHeader *A = nullptr;
    TnbHeader *B = nullptr;
    TnbHeader *C = nullptr;
    std::vector<platform::Persistent *> clicks;
};
