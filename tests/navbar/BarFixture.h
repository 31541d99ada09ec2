#pragma once

#include "navbar/nbSideBar.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTest>
#include <gtest/gtest.h>

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
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
        counter.paints = 0;
    }

    bool Repainted()
    {
        const bool came = QTest::qWaitFor([this] { return counter.paints > 0; });
        Settle();
        return came;
    }

    bool Quiet()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        const bool quiet = counter.paints == 0;
        counter.paints = 0;
        return quiet;
    }

    TnbSideBar bar;
    PaintCounter counter{&bar};
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
