#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#ifdef _WIN32
// The C++ library's mutexes and condition variables wait on kernel events
// there: a system call for each of the thousands of hand-overs of a large
// file. The system's slim locks wait in user space first.
class CSlimLock
{
public:
    void lock();
    void unlock();
    void* Native() { return &m_state; }

private:
    void* m_state = nullptr;   // an SRWLOCK
};

class CSlimSignal
{
public:
    template <class Predicate>
    void wait(std::unique_lock<CSlimLock>& lock, Predicate ready)
    {
        while (!ready())
            Sleep(*lock.mutex());
    }
    void notify_all();

private:
    void Sleep(CSlimLock& lock);
    void* m_state = nullptr;   // a CONDITION_VARIABLE
};
#endif

// Runs one job at a time on a thread of its own: the byte streams' reads and
// writes, so that the system calls for one buffer overlap the work on the
// next, and the split scanner's second part of a chunk. Jobs run in the
// order they are started. An exception a job throws is thrown again by the
// next Start or Wait.
class CWorkerThread
{
public:
    // A job returns 0, or the error number of its failure.
    using Job = std::function<int()>;

    CWorkerThread();
    ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Waits for the job under way, then starts this one. Returns the first
    // error of the jobs finished so far, or 0.
    int Start(Job job);

    // Waits until no job is under way; returns as Start does.
    int Wait();

    // Waits as Wait does, dropping an exception: for destructors.
    void Drain() noexcept;

private:
    void Run();
    void Finished(int error);
    void RethrowFailure();

#ifdef _WIN32
    CSlimLock m_mutex;
    CSlimSignal m_changed;
#else
    std::mutex m_mutex;
    std::condition_variable m_changed;
#endif
    Job m_job;
    bool m_bBusy = false;
    bool m_bStopping = false;
    int m_nError = 0;
    std::exception_ptr m_failure;
    std::thread m_thread;   // last: it starts once everything above is ready
};
