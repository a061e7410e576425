#include "ProgressJob.h"

#include "fileio/Utf8Path.h"

#include <algorithm>
#include <filesystem>

namespace {

std::optional<std::uint64_t> RegularFileSize(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path location = PathFromUtf8(path);
    if (!std::filesystem::is_regular_file(location, error))
        return std::nullopt;
    const auto size = std::filesystem::file_size(location, error);
    if (error)
        return std::nullopt;
    return size;
}

} // namespace

CProgressJob::CProgressJob(std::string sourcePath, Work work)
    : m_strSourcePath(std::move(sourcePath))
    , m_sourceSize(RegularFileSize(m_strSourcePath))
    , m_work(std::move(work))
{
}

CProgressJob::~CProgressJob()
{
    Cancel();
    Wait();
}

void CProgressJob::Run(const ChunkObserver& observer)
{
    m_work([this, &observer](std::uint64_t bytesRead) {
        m_nBytesRead = bytesRead;
        if (observer)
            observer();
        return !m_bCancelled;
    });
    m_bFinished = true;
}

void CProgressJob::Start()
{
    m_worker = std::thread([this] { Run(); });
}

void CProgressJob::Wait()
{
    if (m_worker.joinable())
        m_worker.join();
}

bool CProgressJob::ProgressWindowDue(std::chrono::milliseconds elapsed) const
{
    return !m_bFinished && elapsed >= kProgressWindowDelay;
}

std::optional<int> CProgressJob::ProgressPosition() const
{
    if (!m_sourceSize)
        return std::nullopt;
    if (*m_sourceSize == 0)
        return kProgressScale;
    // A file that grows while it is read fills the bar and stays there.
    const std::uint64_t done = std::min<std::uint64_t>(m_nBytesRead, *m_sourceSize);
    return static_cast<int>(done * kProgressScale / *m_sourceSize);
}
