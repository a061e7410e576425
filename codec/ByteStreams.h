#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

// Buffered chunk I/O for the codec. Files are always opened in binary mode:
// the text array rules (CR LF line ends, input ending at the first 0x1A) are
// applied by the codec itself, never by a C runtime's text mode.

// Sizes that keep system calls cheap beside the copying while both buffers
// stay in the processor's cache; writing into the page cache gains most
// from the larger writes.
inline constexpr std::size_t kChunkSize = 64 * 1024;
inline constexpr std::size_t kWriteBufferSize = 256 * 1024;

class CByteReader
{
public:
    enum class Mode { Binary, TextArray };

    // chunkSize: every chunk but the last holds exactly this many bytes.
    explicit CByteReader(std::size_t chunkSize = kChunkSize);
    ~CByteReader();
    CByteReader(const CByteReader&) = delete;
    CByteReader& operator=(const CByteReader&) = delete;

    // Opens the file and reads its first chunk at once, so that a source that
    // cannot be read (a directory, say) fails before any destination is touched.
    bool Open(const std::string& path, Mode mode);

    // The next chunk of input; empty at the end of input or after a read error.
    std::span<const unsigned char> NextChunk();

    bool Failed() const { return m_nError != 0; }
    int ErrorNumber() const { return m_nError; }

private:
    void Fill();

    std::FILE* m_pFile = nullptr;
    std::unique_ptr<unsigned char[]> m_pBuffer;
    std::size_t m_nCapacity;
    std::size_t m_nFilled = 0;
    bool m_bPending = false;   // m_nFilled bytes are read but not yet handed out
    bool m_bEnded = false;
    Mode m_mode = Mode::Binary;
    int m_nError = 0;
};

class CByteWriter
{
public:
    // The most that one Reserve may ask for.
    static constexpr std::size_t kMaxReserve = 256;

    CByteWriter();
    ~CByteWriter();
    CByteWriter(const CByteWriter&) = delete;
    CByteWriter& operator=(const CByteWriter&) = delete;

    // Creates the file, or truncates it if it exists.
    bool Open(const std::string& path);

    // Room for at least n (<= kMaxReserve) bytes; write them, then Commit the
    // position after the last one.
    unsigned char* Reserve(std::size_t n)
    {
        if (static_cast<std::size_t>(m_pEnd - m_pPos) < n)
            Flush();
        return m_pPos;
    }
    void Commit(unsigned char* pos) { m_pPos = pos; }

    // Writes out what is buffered and closes the file; false if any write,
    // the flush or the close failed.
    bool Close();

    bool Failed() const { return m_nError != 0; }
    int ErrorNumber() const { return m_nError; }

private:
    void Flush();

    std::FILE* m_pFile = nullptr;
    std::unique_ptr<unsigned char[]> m_pBuffer;
    unsigned char* m_pPos;
    unsigned char* m_pEnd;
    int m_nError = 0;
};
