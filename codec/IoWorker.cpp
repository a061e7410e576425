#include "IoWorker.h"

CIoWorker::CIoWorker()
    : m_thread(&CIoWorker::Run, this)
{
}

CIoWorker::~CIoWorker()
{
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_bBusy; });
        m_bStopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

int CIoWorker::Start(Job job)
{
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_bBusy; });
        m_job = std::move(job);
        m_bBusy = true;
    }
    m_changed.notify_all();
    std::lock_guard lock(m_mutex);
    return m_nError;
}

int CIoWorker::Wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_bBusy; });
    return m_nError;
}

void CIoWorker::Run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_bBusy || m_bStopping; });
        if (!m_bBusy)
            return;
        Job job = std::move(m_job);
        lock.unlock();
        const int error = job();
        lock.lock();
        if (m_nError == 0)
            m_nError = error;
        m_bBusy = false;
        m_changed.notify_all();
    }
}
