#include "fileio/ByteStreams.h"

#include "FaultSeams.h"
#include "fileio/Utf8Path.h"

#include <atomic>
#include <cerrno>
#include <numeric>
#include <utility>

namespace {

// Some C runtimes leave errno alone on a failed read or write; never report
// a failure as "Success".
int LastErrnoOr(int fallback)
{
    return errno != 0 ? errno : fallback;
}

// Where the file's descriptor stands: standard input may stand past a header
// that the caller read. Windows files are never mapped, and their reads start
// there by themselves.
std::uint64_t PositionOf(std::FILE* file)
{
#ifdef _WIN32
    (void)file;
    return 0;
#else
    const off_t at = ftello(file);
    return at > 0 ? static_cast<std::uint64_t>(at) : 0;
#endif
}

// Leaves a shared descriptor after what was read through windows, as reading
// would have, for whoever reads standard input next.
void MoveTo(std::FILE* file, std::uint64_t offset)
{
#ifdef _WIN32
    (void)file;
    (void)offset;
#else
    fseeko(file, static_cast<off_t>(offset), SEEK_SET);
#endif
}

} // namespace

CByteReader::CByteReader(std::size_t chunkSize, Access access)
    : m_nCapacity(chunkSize)
    , m_access(access)
{
}

CByteReader::~CByteReader()
{
    m_worker.Drain();
    Release(m_ahead);
    Release(m_current);
    if (m_pFile && m_bMapped)
        MoveTo(m_pFile, m_nMapOffset);
    // Nothing was written through it: a failed close loses nothing.
    if (m_pFile)
        (void)std::fclose(m_pFile);
}

bool CByteReader::Open(const std::string& path)
{
    errno = 0;
    m_pFile = OpenFile(path, "rb");
    if (!m_pFile) {
        m_nError = LastErrnoOr(ENOENT);
        return false;
    }
    m_strPath = path;
    m_nMapOffset = PositionOf(m_pFile);
    FilePlatform::StampOf(m_pFile, m_stamp);
    CChunk first;
    if (WindowsFit()) {
        first = MapNext();
        // An empty file (or one that only claims to be, as under /proc) and
        // one the system cannot map are read instead.
        m_bMapped = first.view.data != nullptr;
    }
    if (!m_bMapped) {
        // Our own buffers already batch the reads; were the stream to keep
        // its own buffer, reads would only be copied once more.
        (void)std::setvbuf(m_pFile, nullptr, _IONBF, 0);
        m_pBuffers.reset(new unsigned char[2 * m_nCapacity]());
        first = Read(m_pBuffers.get());
    }
    m_current = Completed(first);
    m_nError = m_current.error;
    m_bPending = true;
    return !Failed();
}

bool CByteReader::Changed() const
{
    if (!m_stamp.regular)
        return false;
    FilePlatform::CFileStamp now;
    FilePlatform::CFileStamp named;
    // A file removed since was still read whole; another file under its name
    // is not the one the user meant.
    return !FilePlatform::StampOf(m_pFile, now) || now != m_stamp
        || (FilePlatform::StampOf(m_strPath, named) && named != m_stamp);
}

std::size_t CByteReader::ChunkOfWholeGroups(std::size_t groupSize)
{
    const std::size_t granularity = FilePlatform::ViewGranularity();
    const std::size_t windowGroups = granularity != 0 ? std::lcm(groupSize, granularity) : groupSize;
    constexpr std::size_t kMost = kChunkSize / 2;
    const std::size_t step = windowGroups <= kMost ? windowGroups : groupSize;
    return kMost - kMost % step;
}

// Windows start at whole pages.
bool CByteReader::WindowsFit() const
{
    if (m_access == Access::Copies)
        return false;
    const std::size_t granularity = FilePlatform::ViewGranularity();
    return granularity != 0 && m_nCapacity % granularity == 0 && m_nMapOffset % granularity == 0;
}

CByteReader::CChunk CByteReader::Read(unsigned char* buffer) const
{
    CChunk chunk;
    chunk.data = buffer;
    errno = 0;
    chunk.size = std::fread(buffer, 1, m_nCapacity, m_pFile);
    if (chunk.size < m_nCapacity) {
        chunk.last = true;
        if (std::ferror(m_pFile)) {
            chunk.error = LastErrnoOr(EIO);
            chunk.size = 0;
        }
    }
    return chunk;
}

CByteReader::CChunk CByteReader::MapNext()
{
    CChunk chunk;
    const bool loadNow = m_access == Access::WindowsLoadedAhead;
    if (!FilePlatform::MapView(m_pFile, m_nMapOffset, m_nCapacity, loadNow, chunk.view, chunk.error)) {
        chunk.last = true;
        return chunk;
    }
    chunk.data = chunk.view.data;
    chunk.size = chunk.view.size;
    chunk.last = chunk.size < m_nCapacity;
    m_nMapOffset += chunk.size;
    return chunk;
}

// The injected fault when this read is the one it was meant for.
CByteReader::CChunk CByteReader::Completed(CChunk chunk) const
{
    if (const int injected = TakeReadFault()) {
        chunk.size = 0;
        chunk.last = true;
        chunk.error = injected;
    }
    return chunk;
}

// Unmaps the chunk's window; one whose file was cut short under it gave the
// caller zeros, so the read failed.
void CByteReader::Release(CChunk& chunk)
{
    if (!FilePlatform::UnmapView(m_pFile, chunk.view) && !Failed())
        m_nError = EIO;
    chunk.view = {};
}

// The buffer not holding the current chunk; none when the chunks are windows.
unsigned char* CByteReader::SpareBuffer() const
{
    if (!m_pBuffers)
        return nullptr;
    return m_current.data == m_pBuffers.get() ? m_pBuffers.get() + m_nCapacity : m_pBuffers.get();
}

void CByteReader::StartReadAhead()
{
    unsigned char* const buffer = SpareBuffer();
    m_worker.Start([this, buffer] {
        m_ahead = Completed(buffer ? Read(buffer) : MapNext());
        return 0;
    });
}

CByteReader::CChunk CByteReader::ReadAhead()
{
    m_worker.Wait();
    return std::exchange(m_ahead, CChunk{});
}

std::span<const unsigned char> CByteReader::NextChunk()
{
    if (!m_bPending) {
        // The caller is done with the current chunk.
        Release(m_current);
        if (m_current.last || Failed())
            return {};
        m_current = ReadsAhead() ? ReadAhead() : Completed(MapNext());
        m_nError = m_current.error;
        if (Failed())
            return {};
    }
    m_bPending = false;
    if (m_progress) {
        m_nBytesRead += m_current.size;
        if (!m_progress(m_nBytesRead)) {
            m_bCancelled = true;
            m_current.last = true;
            return {};
        }
    }
    // The caller works on this chunk while the worker reads the next one. A
    // window whose pages come in as they are read is mapped when it is asked
    // for: that takes no time worth a hand-over between threads.
    if (!m_current.last && ReadsAhead())
        StartReadAhead();
    return {m_current.data, m_current.size};
}

CByteWriter::CByteWriter()
    : m_pBuffers(new unsigned char[2 * kWriteBufferSize]())
    , m_pBase(m_pBuffers.get())
    , m_pPos(m_pBase)
    , m_pEnd(m_pBase + kWriteBufferSize)
{
}

CByteWriter::~CByteWriter()
{
    m_worker.Drain();
}

bool CByteWriter::Open(const std::string& path)
{
    if (m_file.Open(path))
        return true;
    m_nError = m_file.ErrorNumber();
    return false;
}

void CByteWriter::Flush()
{
    const unsigned char* data = m_pBase;
    const std::size_t size = static_cast<std::size_t>(m_pPos - m_pBase);
    if (size > 0 && !Failed()) {
        m_nError = m_worker.Start([this, data, size] {
            if (const int injected = TakeWriteFault())
                return injected;
            return m_file.Write(data, size);
        });
        // The worker has finished with the other buffer before it started.
        m_pBase = m_pBase == m_pBuffers.get() ? m_pBuffers.get() + kWriteBufferSize : m_pBuffers.get();
        m_pEnd = m_pBase + kWriteBufferSize;
    }
    m_pPos = m_pBase;
}

bool CByteWriter::Close()
{
    if (!m_file.IsOpen())
        return false;
    Flush();
    m_nError = m_worker.Wait();
    if (Failed()) {
        m_file.Discard();
        return false;
    }
    if (!m_file.Commit()) {
        m_nError = m_file.ErrorNumber();
        return false;
    }
    return true;
}

void CByteWriter::Discard()
{
    m_worker.Wait();
    m_file.Discard();
}
