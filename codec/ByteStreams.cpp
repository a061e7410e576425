#include "ByteStreams.h"

#include <cerrno>
#include <cstring>

namespace {

// Some C runtimes leave errno alone on a failed read or write; never report
// a failure as "Success".
int LastErrnoOr(int fallback)
{
    return errno != 0 ? errno : fallback;
}

constexpr unsigned char kEndOfTextArray = 0x1A;

} // namespace

CByteReader::CByteReader(std::size_t chunkSize)
    : m_pBuffer(new unsigned char[chunkSize])
    , m_nCapacity(chunkSize)
{
}

CByteReader::~CByteReader()
{
    if (m_pFile)
        std::fclose(m_pFile);
}

bool CByteReader::Open(const std::string& path, Mode mode)
{
    m_mode = mode;
    errno = 0;
    m_pFile = std::fopen(path.c_str(), "rb");
    if (!m_pFile) {
        m_nError = LastErrnoOr(ENOENT);
        return false;
    }
    // Our own buffer already batches the reads.
    std::setvbuf(m_pFile, nullptr, _IONBF, 0);
    Fill();
    m_bPending = true;
    return !Failed();
}

void CByteReader::Fill()
{
    m_nFilled = 0;
    if (m_bEnded || Failed())
        return;
    errno = 0;
    m_nFilled = std::fread(m_pBuffer.get(), 1, m_nCapacity, m_pFile);
    if (m_nFilled < m_nCapacity) {
        if (std::ferror(m_pFile)) {
            m_nError = LastErrnoOr(EIO);
            m_nFilled = 0;
        }
        m_bEnded = true;
    }
    if (m_mode == Mode::TextArray) {
        const void* stop = std::memchr(m_pBuffer.get(), kEndOfTextArray, m_nFilled);
        if (stop) {
            m_nFilled = static_cast<std::size_t>(static_cast<const unsigned char*>(stop) - m_pBuffer.get());
            m_bEnded = true;
        }
    }
}

std::span<const unsigned char> CByteReader::NextChunk()
{
    if (!m_bPending)
        Fill();
    m_bPending = false;
    return {m_pBuffer.get(), m_nFilled};
}

CByteWriter::CByteWriter()
    : m_pBuffer(new unsigned char[kWriteBufferSize])
    , m_pPos(m_pBuffer.get())
    , m_pEnd(m_pBuffer.get() + kWriteBufferSize)
{
}

CByteWriter::~CByteWriter()
{
    if (m_pFile && m_pFile != stdout)
        std::fclose(m_pFile);
}

bool CByteWriter::Open(const std::string& path)
{
    // "/dev/stdout" is the stream the caller already opened, often holding a
    // script's earlier output or opened for appending; reopening it by name
    // would truncate the file behind it, so write to the stream itself.
    if (path == "/dev/stdout") {
        m_pFile = stdout;
        return true;
    }
    errno = 0;
    m_pFile = std::fopen(path.c_str(), "wb");
    if (!m_pFile) {
        m_nError = LastErrnoOr(EACCES);
        return false;
    }
    std::setvbuf(m_pFile, nullptr, _IONBF, 0);
    return true;
}

void CByteWriter::Flush()
{
    const std::size_t size = static_cast<std::size_t>(m_pPos - m_pBuffer.get());
    m_pPos = m_pBuffer.get();
    if (size == 0 || Failed())
        return;
    errno = 0;
    if (std::fwrite(m_pBuffer.get(), 1, size, m_pFile) != size)
        m_nError = LastErrnoOr(EIO);
}

bool CByteWriter::Close()
{
    if (!m_pFile)
        return false;
    Flush();
    errno = 0;
    const int closed = m_pFile == stdout ? std::fflush(m_pFile) : std::fclose(m_pFile);
    if (closed != 0 && !Failed())
        m_nError = LastErrnoOr(EIO);
    m_pFile = nullptr;
    return !Failed();
}
