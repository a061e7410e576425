#pragma once

#include "fileio/DestinationFile.h"
#include "fileio/FilePlatform.h"
#include "fileio/WorkerThread.h"
#include "fileio/Progress.h"

#include <cstddef>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <utility>

// Buffered chunk I/O for the codec. Files are always opened in binary mode:
// the text array rules (CR LF line ends, input ending at the first 0x1A) are
// applied by the codec itself, never by a C runtime's text mode.
//
// Reading and writing each run on a worker thread, double-buffered, so that
// the system calls overlap the conversion. Memory stays at two buffers each,
// zeroed when they are made so that every page is in use from the start: the
// footprint is the same whatever the file size. A regular file read in chunks
// of whole pages is not copied at all: its chunks are mapped windows of the
// file, one or two at a time.

// Large enough that system calls and hand-overs between the threads cost
// little beside the copying. The fuzz build and a second build of the engine
// tests make them small, so that chunk boundaries fall inside short inputs.
#ifndef MORVEX_IO_BUFFER_SIZE
#define MORVEX_IO_BUFFER_SIZE (1024 * 1024)
#endif
inline constexpr std::size_t kChunkSize = MORVEX_IO_BUFFER_SIZE;
inline constexpr std::size_t kWriteBufferSize = MORVEX_IO_BUFFER_SIZE;

class CByteReader
{
public:
    // When a window's pages come in (as measured). Scanners of text take
    // them as they first touch them, on whichever thread scans there, which
    // costs the system less than loading them at once. The writers of text
    // from binary lose more to those page faults than a copy would cost
    // them: the worker maps and loads their next window while they work on
    // the current one, as it reads ahead a copy. Copies never maps: the
    // baseline that shows what the windows give.
    enum class Access { MappedWindows, WindowsLoadedAhead, Copies };

    // The chunk size for reading groups of groupSize bytes: the most whole
    // groups, and whole pages too where a group allows, in half of
    // kChunkSize. Two windows loaded ahead then hold what one chunk would,
    // and memory stays the same whether a file fills one window or many.
    static std::size_t ChunkOfWholeGroups(std::size_t groupSize);

    // chunkSize: every chunk but the last holds exactly this many bytes.
    explicit CByteReader(std::size_t chunkSize = kChunkSize, Access access = Access::MappedWindows);
    ~CByteReader();
    CByteReader(const CByteReader&) = delete;
    CByteReader& operator=(const CByteReader&) = delete;

    // Opens the file and reads its first chunk at once, so that a source that
    // cannot be read (a directory, say) fails before any destination is touched.
    bool Open(const std::string& path);

    // Told of every chunk handed out; may cancel. Empty is none.
    void WatchProgress(ProgressCallback progress) { m_progress = std::move(progress); }

    // The next chunk of input; empty at the end of input, after a read error
    // or once cancelled. It stays valid until the next call, while the one
    // after it is read in the background.
    std::span<const unsigned char> NextChunk();

    bool Cancelled() const { return m_bCancelled; }
    bool Failed() const { return m_nError != 0; }
    int ErrorNumber() const { return m_nError; }

    // Whether a regular file, or the file its name names, differs now from
    // when it was opened: another file, size or modification time. A change
    // that keeps size and time is not seen.
    bool Changed() const;

private:
    struct CChunk
    {
        const unsigned char* data = nullptr;
        std::size_t size = 0;
        bool last = false;   // nothing follows: end of input or an error
        int error = 0;
        FilePlatform::CFileView view;   // the window data lies in; none when it was copied
    };

    bool WindowsFit() const;
    bool ReadsAhead() const { return !m_bMapped || m_access == Access::WindowsLoadedAhead; }
    CChunk Read(unsigned char* buffer) const;
    CChunk MapNext();
    CChunk Completed(CChunk chunk) const;
    void Release(CChunk& chunk);
    unsigned char* SpareBuffer() const;
    void StartReadAhead();
    CChunk ReadAhead();

    std::FILE* m_pFile = nullptr;
    std::string m_strPath;
    FilePlatform::CFileStamp m_stamp;   // as it was opened
    std::unique_ptr<unsigned char[]> m_pBuffers;   // two of m_nCapacity, unless mapped
    std::size_t m_nCapacity;
    Access m_access;
    bool m_bMapped = false;
    std::uint64_t m_nMapOffset = 0;   // where the next window starts; the worker's while it reads ahead
    CChunk m_current;            // read, and not yet handed out when m_bPending
    CChunk m_ahead;              // written by the worker while it reads
    bool m_bPending = false;
    int m_nError = 0;
    ProgressCallback m_progress;
    std::uint64_t m_nBytesRead = 0;
    bool m_bCancelled = false;
    CWorkerThread m_worker;   // last: it stops before the buffers go
};

class CByteWriter
{
public:
    // The most that one Reserve may ask for.
    static constexpr std::size_t kMaxReserve = 512;

    CByteWriter();
    ~CByteWriter();
    CByteWriter(const CByteWriter&) = delete;
    CByteWriter& operator=(const CByteWriter&) = delete;

    // Opens the destination; its old content stays until Close succeeds.
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

    // Writes out what is buffered, closes the file and puts it in the
    // destination's place; false, leaving the old destination, if any write,
    // the flush or the close failed.
    bool Close();

    // Drops what was written: the old destination stays as it was.
    void Discard();

    bool Failed() const { return m_nError != 0; }
    int ErrorNumber() const { return m_nError; }

    // Whether Close failed because another file took the destination's name meanwhile.
    bool Moved() const { return m_file.Moved(); }

private:
    // Hands the filled buffer to the worker and goes on in the other one.
    void Flush();

    CDestinationFile m_file;
    std::unique_ptr<unsigned char[]> m_pBuffers;   // two of kWriteBufferSize
    unsigned char* m_pBase;                        // the one being filled
    unsigned char* m_pPos;
    unsigned char* m_pEnd;
    int m_nError = 0;
    CWorkerThread m_worker;   // last: it stops before the buffers go
};

static_assert(kWriteBufferSize >= CByteWriter::kMaxReserve, "a Reserve must fit into an empty buffer");
