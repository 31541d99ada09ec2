#include "upgrade/suThread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The synchronisation window: one object on the GUI thread shared by all
// workers, kept while at least one TsuEventThread exists. The lock guards
// only the pointer and the count.
std::mutex g_windowLock;
QObject *g_window = nullptr;
int g_windowReferences = 0;

thread_local TsuEventThread *t_current = nullptr;

// The code with which a wait's own wake-ups end its event loop. Any other
// end means the application ended every loop: it is quitting.
constexpr int kWakeCode = 0x5357;

void wakeLoop(QEventLoop *loop)
{
    // Queued, with the loop as context: dropped if the loop is gone.
    QMetaObject::invokeMethod(
        loop, [loop] { loop->exit(kWakeCode); }, Qt::QueuedConnection);
}

void addWindowReference()
{
    std::lock_guard lock(g_windowLock);
    if (!g_window) {
        g_window = new QObject;
        g_window->setObjectName(QStringLiteral("TsuThreadWindow"));
        QCoreApplication *app = QCoreApplication::instance();
        if (app && g_window->thread() != app->thread())
            g_window->moveToThread(app->thread());
    }
    ++g_windowReferences;
}

void releaseWindowReference()
{
    std::lock_guard lock(g_windowLock);
    if (--g_windowReferences != 0 || !g_window)
        return;
    QObject *window = g_window;
    if (!QCoreApplication::instance()) {
        g_window = nullptr;
        delete window;
        return;
    }
    // Destroyed later on its own thread, so that a thread created in between
    // still finds the window usable.
    QMetaObject::invokeMethod(
        window,
        [window] {
            std::lock_guard lock(g_windowLock);
            if (g_windowReferences == 0 && g_window == window) {
                g_window = nullptr;
                window->deleteLater();
            }
        },
        Qt::QueuedConnection);
}

int niceOf(int windowsPriority)
{
    switch (windowsPriority) {
    case -15:
        return 19;
    case -2:
        return 10;
    case -1:
        return 5;
    case 1:
        return -5;
    case 2:
        return -10;
    case 15:
        return -20;
    default:
        return 0;
    }
}

} // namespace

int suPriorityToWindows(TThreadPriority priority)
{
    static const int table[] = {-15, -2, -1, 0, 1, 2, 15};
    const int index = static_cast<int>(priority);
    return index >= 0 && index < 7 ? table[index] : 0;
}

TThreadPriority suPriorityFromWindows(int value)
{
    for (int index = tpIdle; index <= tpTimeCritical; ++index) {
        if (suPriorityToWindows(static_cast<TThreadPriority>(index)) == value)
            return static_cast<TThreadPriority>(index);
    }
    return tpNormal;
}

QObject *suThreadWindow()
{
    std::lock_guard lock(g_windowLock);
    return g_window;
}

int suThreadWindowReferences()
{
    std::lock_guard lock(g_windowLock);
    return g_windowReferences;
}

// Tells waiters that the procedure has ended; shared so that a waiter never
// depends on the thread object, which may free itself meanwhile.
struct TsuEventThread::EndSignal
{
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
    QEventLoop *loop = nullptr;

    void wake()
    {
        std::lock_guard guard(lock);
        if (loop)
            wakeLoop(loop);
    }
};

TsuEventThread::TsuEventThread(TsuCustomThread *owner)
    : m_owner(owner), m_handleExceptions(owner ? owner->HandleExceptions() : true),
      m_end(std::make_shared<EndSignal>())
{
    addWindowReference();
    m_thread = std::thread([this] { run(); });
}

TsuEventThread::~TsuEventThread()
{
    m_terminated = true;
    State state;
    {
        std::lock_guard lock(m_lock);
        state = m_state;
        if (state == State::NotStarted)
            m_cancelled = true;
        m_suspendCount = 0;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        if (m_thread.get_id() == std::this_thread::get_id()) {
            m_thread.detach();
        } else {
            if (state == State::Running)
                waitForEnd(m_end, 0, {});
            m_thread.join();
        }
    }
    releaseWindowReference();
}

TsuEventThread *TsuEventThread::Current()
{
    return t_current;
}

bool TsuEventThread::ownerDestroying() const
{
    // Only asked on the GUI thread, where owners are destroyed; an owner
    // abandons its worker before it goes, so m_owner is valid here.
    return m_abandoned || (m_owner && m_owner->Destroying());
}

void TsuEventThread::checkpoint()
{
    std::unique_lock lock(m_lock);
    m_wake.wait(lock, [this] { return m_suspendCount == 0 || m_cancelled || m_abandoned; });
}

void TsuEventThread::run()
{
    t_current = this;
    {
        std::unique_lock lock(m_lock);
        m_wake.wait(lock, [this] { return m_suspendCount == 0 || m_cancelled; });
        if (m_cancelled) {
            m_state = State::Done;
            lock.unlock();
            std::lock_guard guard(m_end->lock);
            m_end->done = true;
            m_end->ended.notify_all();
            return;
        }
        m_state = State::Running;
    }
    m_tid = static_cast<int>(::syscall(SYS_gettid));
    applyPriority();

    m_executing = true;
    if (OnExecute && !m_abandoned) {
        try {
            OnExecute();
        } catch (...) {
            // With HandleExceptions off the design lets the exception end the
            // process; it is dropped here instead, without the hook.
            if (m_handleExceptions && OnException && !m_abandoned) {
                try {
                    Synchronize(OnException);
                } catch (...) {
                }
            }
        }
    }
    m_executing = false;

    if (OnFinish && !m_abandoned) {
        try {
            Synchronize([this] {
                try {
                    OnFinish();
                } catch (...) {
                    if (OnException)
                        OnException();
                    else
                        throw;
                }
            });
        } catch (...) {
        }
    }

    const std::shared_ptr<EndSignal> end = m_end;
    bool freeSelf;
    {
        std::lock_guard lock(m_lock);
        m_state = State::Done;
        freeSelf = m_freeOnTerminate;
    }
    t_current = nullptr;
    if (freeSelf)
        delete this;
    std::lock_guard guard(end->lock);
    end->done = true;
    end->ended.notify_all();
    if (end->loop)
        wakeLoop(end->loop);
}

void TsuEventThread::Synchronize(const std::function<void()> &routine)
{
    // Suspension holds the worker itself, never another thread calling in.
    if (t_current == this)
        checkpoint();
    if (m_abandoned || !routine)
        return;
    m_exception = nullptr;
    const auto call = [this, &routine] {
        if (ownerDestroying())
            return;
        try {
            routine();
        } catch (...) {
            m_exception = std::current_exception();
        }
    };
    QObject *window = suThreadWindow();
    if (!window || !QCoreApplication::instance() || QThread::currentThread() == window->thread())
        call();
    else
        QMetaObject::invokeMethod(window, call, Qt::BlockingQueuedConnection);
    if (m_exception && !m_handleExceptions && !m_abandoned) {
        std::exception_ptr raised = m_exception;
        m_exception = nullptr;
        std::rethrow_exception(raised);
    }
    m_exception = nullptr;
}

void TsuEventThread::Suspend()
{
    std::lock_guard lock(m_lock);
    ++m_suspendCount;
}

void TsuEventThread::Resume()
{
    {
        std::lock_guard lock(m_lock);
        if (m_suspendCount > 0)
            --m_suspendCount;
    }
    m_wake.notify_all();
}

bool TsuEventThread::Suspended() const
{
    std::lock_guard lock(m_lock);
    return m_suspendCount > 0;
}

void TsuEventThread::SetSuspended(bool value)
{
    if (value == Suspended())
        return;
    if (value)
        Suspend();
    else
        Resume();
}

bool TsuEventThread::FreeOnTerminate() const
{
    std::lock_guard lock(m_lock);
    return m_freeOnTerminate;
}

void TsuEventThread::SetFreeOnTerminate(bool value)
{
    std::lock_guard lock(m_lock);
    m_freeOnTerminate = value;
}

void TsuEventThread::SetPriority(TThreadPriority priority)
{
    m_priority = suPriorityToWindows(priority);
    applyPriority();
}

void TsuEventThread::applyPriority()
{
    const int tid = m_tid.load();
    if (tid == 0)
        return;
    // Raising a priority needs privileges; without them the thread keeps
    // its priority, as the design ignores a refused change.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), niceOf(m_priority.load()));
}

void TsuEventThread::Abandon()
{
    m_abandoned = true;
    bool running;
    {
        std::lock_guard lock(m_lock);
        running = m_state == State::Running;
        if (running) {
            // The worker frees the object when its procedure ends; detached
            // under the lock so that it cannot have done so already.
            m_freeOnTerminate = true;
            m_suspendCount = 0;
            if (m_thread.joinable())
                m_thread.detach();
        } else if (m_state == State::NotStarted) {
            m_cancelled = true;
        }
    }
    m_wake.notify_all();
    if (!running)
        delete this;
}

TsuEventThread::WaitResult TsuEventThread::waitForEnd(const std::shared_ptr<EndSignal> &end,
                                                      unsigned timeoutMs,
                                                      const std::function<bool()> &stopWaiting)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        std::unique_lock lock(end->lock);
        if (timeoutMs == 0) {
            end->ended.wait(lock, [&] { return end->done; });
            return WaitResult::Ended;
        }
        return end->ended.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return end->done; })
                   ? WaitResult::Ended
                   : WaitResult::TimedOut;
    }

    // On the GUI thread the wait must go on handling events: the worker may
    // be waiting there for a synchronised routine.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&loop] { loop.exit(kWakeCode); });
    bool quitting = false;
    const QMetaObject::Connection onQuit = QObject::connect(app, &QCoreApplication::aboutToQuit, &loop, [&] {
        quitting = true;
        loop.exit(kWakeCode);
    });
    {
        std::lock_guard lock(end->lock);
        if (end->done) {
            QObject::disconnect(onQuit);
            return WaitResult::Ended;
        }
        end->loop = &loop;
    }
    if (timeoutMs)
        timer.start(static_cast<int>(std::min<unsigned>(timeoutMs, INT_MAX)));

    WaitResult result = WaitResult::TimedOut;
    while (true) {
        {
            std::lock_guard lock(end->lock);
            if (end->done) {
                result = WaitResult::Ended;
                break;
            }
        }
        if (quitting || QCoreApplication::closingDown() || (stopWaiting && stopWaiting())) {
            result = WaitResult::Stopped;
            break;
        }
        if (timeoutMs && !timer.isActive()) {
            result = WaitResult::TimedOut;
            break;
        }
        // QCoreApplication::exit() ends every loop of the thread, this one
        // too, and every later exec() returns at once until the outermost
        // loop has returned: so any end but our own means the application
        // is terminating (aboutToQuit only comes after that outermost loop).
        if (loop.exec() != kWakeCode) {
            result = WaitResult::Stopped;
            break;
        }
    }
    {
        std::lock_guard lock(end->lock);
        end->loop = nullptr;
    }
    QObject::disconnect(onQuit);
    return result;
}

bool TsuEventThread::WaitFor(unsigned timeoutMs, const std::function<bool()> &stopWaiting)
{
    if (m_thread.get_id() == std::this_thread::get_id())
        return false;
    return waitForEnd(m_end, timeoutMs, stopWaiting) == WaitResult::Ended;
}

TsuCustomThread::TsuCustomThread(QObject *parent) : QObject(parent), m_alive(std::make_shared<bool>(true))
{
    m_thread = newThread();
}

TsuCustomThread::~TsuCustomThread()
{
    m_destroying = true;
    *m_alive = false;
    if (const auto wait = m_activeWait.lock())
        wait->wake();
    if (m_thread)
        m_thread->Abandon();
    m_thread = nullptr;
}

TsuEventThread *TsuCustomThread::newThread()
{
    auto *thread = new TsuEventThread(this);
    thread->OnExecute = OnExecute;
    thread->OnException = OnException;
    thread->OnFinish = OnFinish;
    thread->SetPriority(m_priority);
    return thread;
}

void TsuCustomThread::RestartThread()
{
    TsuEventThread *old = m_thread;
    m_thread = newThread();
    if (old)
        old->Abandon();
}

bool TsuCustomThread::Start()
{
    RestartThread();
    TsuEventThread *worker = m_thread;
    const std::shared_ptr<TsuEventThread::EndSignal> end = worker->m_end;
    worker->Resume();
    if (!m_waitForFinish)
        return true;

    const std::shared_ptr<bool> alive = m_alive;
    m_activeWait = end;
    const TsuEventThread::WaitResult result =
        TsuEventThread::waitForEnd(end, m_waitTimeout, [alive] { return !*alive; });
    if (!*alive)
        return true; // destroyed while waiting: touch nothing
    m_activeWait.reset();
    if (result != TsuEventThread::WaitResult::TimedOut)
        return true;
    RestartThread();
    if (OnWaitTimeout)
        OnWaitTimeout(this);
    return false;
}

void TsuCustomThread::Synchronize(const std::function<void()> &routine)
{
    if (m_destroying)
        return;
    // A worker calls through its own object: one that has been abandoned
    // returns at once instead of waiting on (or, after another restart,
    // touching a freed) successor.
    if (TsuEventThread *caller = TsuEventThread::Current()) {
        caller->Synchronize(routine);
        return;
    }
    if (m_thread)
        m_thread->Synchronize(routine);
}

void TsuCustomThread::Suspend()
{
    if (m_thread)
        m_thread->Suspend();
}

void TsuCustomThread::Resume()
{
    if (m_thread)
        m_thread->Resume();
}

void TsuCustomThread::SetSuspended(bool value)
{
    m_suspended = value;
    if (m_thread)
        m_thread->SetSuspended(value);
}

void TsuCustomThread::SetThreadPriority(TThreadPriority priority)
{
    m_priority = priority;
    if (m_thread)
        m_thread->SetPriority(priority);
}

bool TsuCustomThread::Executing() const
{
    return m_thread && m_thread->Executing();
}

void TsuCustomThread::Loaded()
{
    if (m_thread)
        m_thread->SetSuspended(m_suspended);
}
