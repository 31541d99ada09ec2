#pragma once

#include "navbar/nbSideBar.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTest>
#include <gtest/gtest.h>

// The middle of a rectangle of the bar, where a click lands on what it holds.
inline QPoint Centre(const platform::Rect &r)
{
    return QPoint(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
}

// Counts the events of one type that a widget receives.
class EventCounter : public QObject
{
public:
    EventCounter(QWidget *widget, QEvent::Type type) : m_type(type) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
};

// A shown bar whose repaints can be observed: Repainted() waits until a repaint came,
// Quiet() delivers everything pending and tells whether no repaint came.
class ShownBar : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bar.resize(120, 300);
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
        Settle();
    }

    void Settle()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        counter.count = 0;
    }

    bool Repainted()
    {
        const bool came = QTest::qWaitFor([this] { return counter.count > 0; });
        Settle();
        return came;
    }

    bool Quiet()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        const bool quiet = counter.count == 0;
        counter.count = 0;
        return quiet;
    }

    TnbSideBar bar;
    EventCounter counter{&bar, QEvent::Paint};
};

// Counts the notifications of a model object.
struct NotifyCounter
{
    int count = 0;
    platform::Persistent *lastSender = nullptr;
    TNotifyEvent Handler()
    {
        return [this](platform::Persistent *sender) {
            ++count;
            lastSender = sender;
        };
    }
};
