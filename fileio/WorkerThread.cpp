#include "fileio/WorkerThread.h"

#include <system_error>
#include <utility>

#ifdef _WIN32
#include <windows.h>

static_assert(sizeof(SRWLOCK) == sizeof(void*) && sizeof(CONDITION_VARIABLE) == sizeof(void*));

void CSlimLock::lock()
{
    AcquireSRWLockExclusive(static_cast<PSRWLOCK>(Native()));
}

void CSlimLock::unlock()
{
    ReleaseSRWLockExclusive(static_cast<PSRWLOCK>(Native()));
}

void CSlimSignal::Sleep(CSlimLock& lock)
{
    SleepConditionVariableSRW(static_cast<PCONDITION_VARIABLE>(static_cast<void*>(&m_state)),
        static_cast<PSRWLOCK>(lock.Native()), INFINITE, 0);
}

void CSlimSignal::notify_all()
{
    WakeAllConditionVariable(static_cast<PCONDITION_VARIABLE>(static_cast<void*>(&m_state)));
}
#endif

CWorkerThread::CWorkerThread()
{
    // Where no thread can start (a limit on processes, say), jobs run at once
    // on the caller's thread: slower, the same result.
    try {
        m_thread = std::thread(&CWorkerThread::Run, this);
    } catch (const std::system_error&) {
    }
}

CWorkerThread::~CWorkerThread()
{
    if (!m_thread.joinable())
        return;
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_bBusy; });
        m_bStopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

int CWorkerThread::Start(Job job)
{
    if (!m_thread.joinable()) {
        Finished(job());
        return m_nError;
    }
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_bBusy; });
        RethrowFailure();
        m_job = std::move(job);
        m_bBusy = true;
    }
    m_changed.notify_all();
    std::lock_guard lock(m_mutex);
    return m_nError;
}

int CWorkerThread::Wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_bBusy; });
    RethrowFailure();
    return m_nError;
}

void CWorkerThread::Drain() noexcept
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_bBusy; });
    m_failure = nullptr;
}

void CWorkerThread::Finished(int error)
{
    if (m_nError == 0)
        m_nError = error;
}

// An exception of a job (no memory, say) reaches the thread that waits for it.
void CWorkerThread::RethrowFailure()
{
    if (m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
}

void CWorkerThread::Run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_bBusy || m_bStopping; });
        if (!m_bBusy)
            return;
        Job job = std::move(m_job);
        lock.unlock();
        int error = 0;
        std::exception_ptr failure;
        try {
            error = job();
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        Finished(error);
        if (!m_failure)
            m_failure = failure;
        m_bBusy = false;
        m_changed.notify_all();
    }
}
