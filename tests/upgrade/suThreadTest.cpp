#include "upgrade/suThread.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <condition_variable>
#include <mutex>
#include <stdexcept>

namespace {

// A gate a worker waits at until the test opens it.
struct Gate
{
    std::mutex lock;
    std::condition_variable changed;
    bool open = false;
    bool waiting = false;

    void pass()
    {
        std::unique_lock guard(lock);
        waiting = true;
        changed.wait(guard, [this] { return open; });
    }
    void release()
    {
        {
            std::lock_guard guard(lock);
            open = true;
        }
        changed.notify_all();
    }
    bool isWaiting()
    {
        std::lock_guard guard(lock);
        return waiting;
    }
};

bool onGuiThread()
{
    return QThread::currentThread() == qApp->thread();
}

bool allThreadsGone()
{
    return QTest::qWaitFor([] { return suThreadWindowReferences() == 0; }, 10000);
}

} // namespace

TEST(SuThread, SynchronizeRunsOnTheGuiThreadWhileTheWorkerWaits)
{
    {
        TsuCustomThread thread;
        std::atomic<bool> executeOnWorker{false}, routineOnGui{false}, finishOnGui{false};
        std::vector<int> order;
        thread.OnExecute = [&] {
            executeOnWorker = !onGuiThread();
            order.push_back(1);
            TsuEventThread::Current()->Synchronize([&] {
                routineOnGui = onGuiThread();
                order.push_back(2);
            });
            order.push_back(3);
        };
        thread.OnFinish = [&] {
            finishOnGui = onGuiThread();
            order.push_back(4);
        };
        EXPECT_TRUE(thread.Suspended());
        ASSERT_TRUE(thread.Start());
        ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 4; }, 10000));
        EXPECT_TRUE(executeOnWorker);
        EXPECT_TRUE(routineOnGui);
        EXPECT_TRUE(finishOnGui);
        EXPECT_EQ(order, std::vector<int>({1, 2, 3, 4}));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !thread.Executing(); }, 10000));
    }
    EXPECT_TRUE(allThreadsGone());
}

TEST(SuThread, ExceptionsGoToTheHookOrBackToTheWorker)
{
    TsuCustomThread thread;
    std::atomic<int> hooked{0}, finished{0};
    std::atomic<bool> hookOnGui{false};
    thread.OnExecute = [] { throw std::runtime_error("work failed"); };
    thread.OnException = [&] {
        hookOnGui = onGuiThread();
        ++hooked;
    };
    thread.OnFinish = [&] { ++finished; };
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished == 1; }, 10000));
    EXPECT_EQ(hooked, 1);
    EXPECT_TRUE(hookOnGui);

    // A routine that raises: dropped with HandleExceptions on, raised again
    // on the worker with it off.
    std::atomic<int> caught{0};
    std::atomic<bool> done{false};
    thread.OnException = nullptr;
    thread.OnFinish = [&] { done = true; };
    thread.OnExecute = [&] {
        try {
            TsuEventThread::Current()->Synchronize([] { throw std::logic_error("routine failed"); });
        } catch (const std::logic_error &) {
            ++caught;
        }
    };
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
    EXPECT_EQ(caught, 0);

    done = false;
    thread.SetHandleExceptions(false);
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
    EXPECT_EQ(caught, 1);
}

TEST(SuThread, StartCanWaitForTheWorker)
{
    TsuCustomThread thread;
    std::atomic<bool> synced{false}, finished{false};
    thread.OnExecute = [&] { TsuEventThread::Current()->Synchronize([&] { synced = true; }); };
    thread.OnFinish = [&] { finished = true; };
    thread.SetWaitForFinish(true);
    EXPECT_TRUE(thread.Start());
    EXPECT_TRUE(synced) << "the wait handled the worker's synchronised call";
    EXPECT_TRUE(finished) << "Start returned after the finish handler";
}

TEST(SuThread, WaitTimeoutAbandonsTheWorkerAndMakesAFreshOneCurrent)
{
    Gate gate;
    std::atomic<bool> oldFinished{false}, afterGate{false};
    int timeouts = 0;
    {
        TsuCustomThread thread;
        std::atomic<TsuEventThread *> running{nullptr};
        thread.OnExecute = [&] {
            running = TsuEventThread::Current();
            gate.pass();
            afterGate = true;
            // An abandoned worker runs no more routines on the GUI thread.
            TsuEventThread::Current()->Synchronize([&] { oldFinished = true; });
        };
        thread.OnFinish = [&] { oldFinished = true; };
        thread.OnWaitTimeout = [&](QObject *sender) {
            EXPECT_EQ(sender, &thread);
            ++timeouts;
        };
        thread.SetWaitForFinish(true);
        thread.SetWaitTimeout(50);
        EXPECT_FALSE(thread.Start());
        EXPECT_EQ(timeouts, 1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return gate.isWaiting(); }, 10000));
        EXPECT_NE(thread.Thread(), running.load()) << "the blocked worker is no longer current";
        EXPECT_TRUE(thread.Thread()->Suspended()) << "the fresh worker waits to be started";
        EXPECT_FALSE(thread.Executing());
        EXPECT_EQ(suThreadWindowReferences(), 2) << "the abandoned worker is still blocked";
    }
    gate.release();
    ASSERT_TRUE(allThreadsGone());
    EXPECT_TRUE(afterGate);
    EXPECT_FALSE(oldFinished);
}

TEST(SuThread, RestartAndDestroyNeverWaitForABlockedWorker)
{
    Gate gate;
    std::atomic<int> synced{0};
    {
        TsuCustomThread thread;
        thread.OnExecute = [&] {
            gate.pass();
            TsuEventThread::Current()->Synchronize([&] { ++synced; });
        };
        thread.OnFinish = [&] { ++synced; };
        ASSERT_TRUE(thread.Start());
        ASSERT_TRUE(QTest::qWaitFor([&] { return gate.isWaiting(); }, 10000));
        EXPECT_TRUE(thread.Executing());
        TsuEventThread *blocked = thread.Thread();
        thread.RestartThread();
        EXPECT_NE(thread.Thread(), blocked);
        EXPECT_FALSE(thread.Executing());
    } // destroyed while the old worker is still blocked
    gate.release();
    ASSERT_TRUE(allThreadsGone());
    EXPECT_EQ(synced, 0) << "routines of an abandoned worker are skipped";
}

TEST(SuThread, SuspendCountsAndPriorities)
{
    TsuEventThread thread(nullptr);
    EXPECT_TRUE(thread.Suspended());
    thread.Suspend();
    thread.Resume();
    EXPECT_TRUE(thread.Suspended()) << "two suspends need two resumes";
    thread.SetSuspended(true);
    thread.Resume();
    EXPECT_FALSE(thread.Suspended()) << "setting the current value added no suspension";

    thread.SetPriority(tpLowest);
    EXPECT_EQ(thread.Priority(), tpLowest);
    const int expected[] = {-15, -2, -1, 0, 1, 2, 15};
    for (int p = tpIdle; p <= tpTimeCritical; ++p) {
        EXPECT_EQ(suPriorityToWindows(static_cast<TThreadPriority>(p)), expected[p]);
        EXPECT_EQ(suPriorityFromWindows(expected[p]), p);
    }
    EXPECT_EQ(suPriorityFromWindows(7), tpNormal);

    TsuCustomThread component;
    component.SetThreadPriority(tpLower);
    component.RestartThread();
    EXPECT_EQ(component.Thread()->Priority(), tpLower) << "a fresh worker keeps the priority";
}

TEST(SuThread, LoadedStartsAWorkerStoredAsNotSuspended)
{
    TsuCustomThread thread;
    std::atomic<bool> ran{false};
    thread.OnExecute = [&] { ran = true; };
    thread.RestartThread();
    thread.Loaded();
    EXPECT_TRUE(thread.Thread()->Suspended());
    thread.SetSuspended(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran.load(); }, 10000));
}

TEST(SuThread, TheWindowOutlivesTheLastThreadUntilEventsRun)
{
    ASSERT_TRUE(allThreadsGone());
    ASSERT_TRUE(QTest::qWaitFor([] { return suThreadWindow() == nullptr; }, 10000));
    auto *first = new TsuEventThread(nullptr);
    QObject *window = suThreadWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->thread(), qApp->thread());
    delete first;
    EXPECT_EQ(suThreadWindowReferences(), 0);
    EXPECT_EQ(suThreadWindow(), window) << "released later, not at once";
    TsuEventThread second(nullptr);
    EXPECT_EQ(suThreadWindow(), window) << "a thread created in between reuses it";
    QCoreApplication::processEvents();
    EXPECT_EQ(suThreadWindow(), window) << "still referenced";
}

TEST(SuThread, WaitForFinishEndsWhenTheApplicationQuits)
{
    Gate gate;
    TsuCustomThread thread;
    thread.OnExecute = [&] { gate.pass(); };
    thread.SetWaitForFinish(true);
    bool started = false, returned = false;
    // The wait runs inside the application's loop, as a handler's would; the
    // application is told to quit while the worker is still blocked.
    QTimer::singleShot(0, qApp, [&] {
        QTimer::singleShot(50, qApp, &QCoreApplication::quit);
        started = thread.Start();
        returned = true;
    });
    QCoreApplication::exec();
    EXPECT_TRUE(returned) << "the wait ended with the application's loop";
    EXPECT_TRUE(started) << "a terminating application ends the wait with true";
    gate.release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !thread.Executing(); }, 10000));
}

TEST(SuThread, AnAbandonedWorkerSynchronizesThroughItselfAndReturns)
{
    Gate gate;
    std::atomic<int> calls{0}, routines{0};
    {
        TsuCustomThread thread;
        thread.OnExecute = [&] {
            gate.pass();
            thread.Synchronize([&] { ++routines; });
            ++calls;
        };
        ASSERT_TRUE(thread.Start());
        ASSERT_TRUE(QTest::qWaitFor([&] { return gate.isWaiting(); }, 10000));
        // The running worker is given up while it is about to synchronise;
        // its successor stays suspended.
        thread.RestartThread();
        gate.release();
        ASSERT_TRUE(QTest::qWaitFor([&] { return calls == 1; }, 10000))
            << "the abandoned worker's call returned instead of waiting on its successor";
        EXPECT_EQ(routines, 0) << "an abandoned worker runs nothing on the GUI thread";

        // Starting again replaces (and frees) that successor; the new worker
        // synchronises normally.
        ASSERT_TRUE(thread.Start());
        ASSERT_TRUE(QTest::qWaitFor([&] { return calls == 2; }, 10000));
        EXPECT_EQ(routines, 1);
    }
    EXPECT_TRUE(allThreadsGone());
}
