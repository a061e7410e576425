#pragma once

#include "fileio/Progress.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>

// Long work of a dialog (a scan or a conversion of one source file), run off
// the interface thread while the window that asked for it stays modal. The
// work reads the source in chunks and reports each one through the callback
// it is given; the job counts the bytes and answers with the user's cancel.
class CProgressJob
{
public:
    using Work = std::function<void(const ProgressCallback& progress)>;
    // Told on the working thread after each chunk.
    using ChunkObserver = std::function<void()>;

    // Work still running after this long shows a progress window; shorter
    // work looks as if it had run on the interface thread.
    static constexpr std::chrono::milliseconds kProgressWindowDelay{500};
    // The progress bar's full length.
    static constexpr int kProgressScale = 1000;

    // The size is left unknown for what has none (a pipe, a device).
    CProgressJob(std::string sourcePath, Work work);
    ~CProgressJob();
    CProgressJob(const CProgressJob&) = delete;
    CProgressJob& operator=(const CProgressJob&) = delete;

    // Runs the work on the calling thread.
    void Run(const ChunkObserver& observer = {});
    // Runs the work on a thread of its own; Wait joins it.
    void Start();
    void Wait();
    bool Finished() const { return m_bFinished; }

    // Any thread; the work stops at its next chunk.
    void Cancel() { m_bCancelled = true; }
    bool Cancelled() const { return m_bCancelled; }

    const std::string& SourcePath() const { return m_strSourcePath; }
    bool ProgressWindowDue(std::chrono::milliseconds elapsed) const;
    // Bytes read against the source's size on a scale of kProgressScale, or
    // nothing when the size is unknown (a busy bar then).
    std::optional<int> ProgressPosition() const;

private:
    std::string m_strSourcePath;
    std::optional<std::uint64_t> m_sourceSize;
    Work m_work;
    std::atomic<std::uint64_t> m_nBytesRead = 0;
    std::atomic<bool> m_bCancelled = false;
    std::atomic<bool> m_bFinished = false;
    std::thread m_worker;
};
