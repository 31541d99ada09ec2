#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include <QObject>

class TsuCustomThread;

// Thread priorities; the numbers beside them are the Windows thread
// priorities the design stores.
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// tpIdle -15, tpLowest -2, tpLower -1, tpNormal 0, tpHigher 1, tpHighest 2, tpTimeCritical 15.
int suPriorityToWindows(TThreadPriority priority);
// The reverse; a value that is not in the table reads as tpNormal.
TThreadPriority suPriorityFromWindows(int value);

// The object on the GUI thread through which workers run routines there
// (the synchronisation window); null while no TsuEventThread exists and
// the last one's release has been processed.
QObject *suThreadWindow();
// The number of TsuEventThread objects alive (the window's reference count).
int suThreadWindowReferences();

// A worker thread with its own thread procedure. It is created suspended and
// runs its execute handler once resumed; Synchronize runs a routine on the
// GUI thread while the worker waits.
//
// Suspension is cooperative: a suspended worker stops before its procedure
// starts and at its next Synchronize, never at an arbitrary point.
//
// A worker is never killed. Abandon() cuts it loose from its owner: it runs
// no more synchronised routines, and frees itself when its procedure ends.
class TsuEventThread
{
public:
    explicit TsuEventThread(TsuCustomThread *owner);
    // Waits for a running procedure (handling GUI events meanwhile, so that
    // a worker inside Synchronize can finish); a never-started one is
    // dismissed without running.
    ~TsuEventThread();
    TsuEventThread(const TsuEventThread &) = delete;
    TsuEventThread &operator=(const TsuEventThread &) = delete;

    // The work of the thread.
    std::function<void()> OnExecute;
    // Runs on the GUI thread when the execute handler (or the finish handler)
    // raised and HandleExceptions is on.
    std::function<void()> OnException;
    // Runs on the GUI thread after the work.
    std::function<void()> OnFinish;

    // Runs the routine on the GUI thread and waits for it. Skipped when the
    // worker was abandoned or its owner is being destroyed. An exception of
    // the routine is captured; it is raised again here on the worker only
    // when the owner's HandleExceptions is off.
    void Synchronize(const std::function<void()> &routine);

    void Suspend();
    void Resume();
    bool Suspended() const;
    void SetSuspended(bool value);

    bool Terminated() const { return m_terminated.load(); }
    void Terminate() { m_terminated = true; }
    bool Executing() const { return m_executing.load(); }
    bool FreeOnTerminate() const;
    void SetFreeOnTerminate(bool value);
    int ReturnValue() const { return m_returnValue.load(); }
    void SetReturnValue(int value) { m_returnValue = value; }

    TThreadPriority Priority() const { return suPriorityFromWindows(m_priority.load()); }
    void SetPriority(TThreadPriority priority);

    // The owner whose options apply; null once abandoned.
    TsuCustomThread *Owner() const { return m_abandoned ? nullptr : m_owner; }
    bool Abandoned() const { return m_abandoned.load(); }

    // The thread object of the calling worker thread; null elsewhere.
    static TsuEventThread *Current();

    // Cuts the worker loose from its owner (see the class comment) and
    // disposes of the object: at once when it is not running, otherwise by
    // the worker itself when its procedure ends. The pointer must not be
    // used afterwards.
    void Abandon();

    // Waits until the procedure has ended, handling GUI events meanwhile.
    // timeoutMs 0 waits without limit. stopWaiting, when given, is asked
    // after every event and ends the wait early. Returns whether it ended.
    bool WaitFor(unsigned timeoutMs = 0, const std::function<bool()> &stopWaiting = {});

private:
    friend class TsuCustomThread;
    enum class State { NotStarted, Running, Done };
    struct EndSignal;
    enum class WaitResult { Ended, Stopped, TimedOut };
    static WaitResult waitForEnd(const std::shared_ptr<EndSignal> &end, unsigned timeoutMs,
                                 const std::function<bool()> &stopWaiting);

    void run();
    void checkpoint();
    bool ownerDestroying() const;
    void applyPriority();

    TsuCustomThread *m_owner;
    bool m_handleExceptions = true;
    std::thread m_thread;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    int m_suspendCount = 1;
    bool m_cancelled = false;
    State m_state = State::NotStarted;
    bool m_freeOnTerminate = false;
    std::atomic<bool> m_terminated{false};
    std::atomic<bool> m_executing{false};
    std::atomic<bool> m_abandoned{false};
    std::atomic<int> m_returnValue{0};
    std::atomic<int> m_priority{0};
    std::atomic<int> m_tid{0};
    std::exception_ptr m_exception;
    std::shared_ptr<EndSignal> m_end;
};

// A component owning one worker thread. Every Start runs the handlers on a
// fresh worker; a worker that must be given up (RestartThread, destruction)
// is abandoned, never killed.
class TsuCustomThread : public QObject
{
    Q_OBJECT

public:
    explicit TsuCustomThread(QObject *parent = nullptr);
    ~TsuCustomThread() override;

    // Handlers given to every worker (see TsuEventThread).
    std::function<void()> OnExecute;
    std::function<void()> OnException;
    std::function<void()> OnFinish;
    // The wait of Start ran out; the worker has been replaced.
    std::function<void(QObject *Sender)> OnWaitTimeout;

    // Replaces the worker by a fresh one and resumes it. Without
    // WaitForFinish it returns true at once. With it, it waits (handling GUI
    // events) and returns true when the worker ended, the component is being
    // destroyed or the application is quitting; when WaitTimeout ran out
    // first, it restarts the worker, raises OnWaitTimeout and returns false.
    bool Start();
    // Abandons the current worker and makes a fresh suspended one with the
    // same priority and handlers current at once.
    void RestartThread();
    // Runs the routine on the GUI thread and waits for it: a worker calls
    // through its own object (an abandoned worker's call returns without
    // running it), any other thread through the current worker. Does
    // nothing while this component is being destroyed.
    void Synchronize(const std::function<void()> &routine);

    void Suspend();
    void Resume();
    bool Suspended() const { return m_suspended; }
    void SetSuspended(bool value);
    bool HandleExceptions() const { return m_handleExceptions; }
    void SetHandleExceptions(bool value) { m_handleExceptions = value; }
    bool WaitForFinish() const { return m_waitForFinish; }
    void SetWaitForFinish(bool value) { m_waitForFinish = value; }
    unsigned WaitTimeout() const { return m_waitTimeout; }
    void SetWaitTimeout(unsigned ms) { m_waitTimeout = ms; }
    TThreadPriority ThreadPriority() const { return m_priority; }
    void SetThreadPriority(TThreadPriority priority);

    // Whether the current worker's procedure runs.
    bool Executing() const;
    TsuEventThread *Thread() const { return m_thread; }
    bool Destroying() const { return m_destroying; }
    // Applies the stored Suspended option to the worker, as after loading
    // from a form: a component stored with Suspended false starts its worker.
    void Loaded();

private:
    TsuEventThread *newThread();

    std::weak_ptr<TsuEventThread::EndSignal> m_activeWait;

    TsuEventThread *m_thread = nullptr;
    bool m_suspended = true;
    bool m_handleExceptions = true;
    bool m_waitForFinish = false;
    unsigned m_waitTimeout = 0;
    TThreadPriority m_priority = tpNormal;
    bool m_destroying = false;
    std::shared_ptr<bool> m_alive;
};
