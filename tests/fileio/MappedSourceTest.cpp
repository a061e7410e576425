#include "codec/ArrayCodec.h"
#include "fileio/ByteStreams.h"
#include "fileio/FilePlatform.h"
#include "MappedWindows.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::size_t kPage = FilePlatform::ViewGranularity();

struct CReading
{
    std::vector<std::string> chunks;
    std::vector<std::uint64_t> progress;
    bool mappedAtFirstChunk = false;
};

bool IsMapped(const std::string& path)
{
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        if (line.find(path) != std::string::npos)
            return true;
    }
    return false;
}

CReading ReadAll(
    const std::string& path, std::size_t capacity, CByteReader::Access access = CByteReader::Access::MappedWindows)
{
    CReading reading;
    const ProgressCallback progress = [&](std::uint64_t read) {
        if (reading.progress.empty())
            reading.mappedAtFirstChunk = IsMapped(path);
        reading.progress.push_back(read);
        return true;
    };
    CByteReader reader(capacity, access);
    reader.WatchProgress(progress);
    EXPECT_TRUE(reader.Open(path)) << path;
    for (auto chunk = reader.NextChunk(); !chunk.empty(); chunk = reader.NextChunk())
        reading.chunks.emplace_back(chunk.begin(), chunk.end());
    EXPECT_FALSE(reader.Failed()) << path;
    return reading;
}

// The same bytes through a FIFO, which is never mapped.
CReading ReadThroughFifo(const CTempDir& dir, const std::string& content, std::size_t capacity)
{
    const std::string fifo = dir.Path("fifo");
    unlink(fifo.c_str());
    EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] {
        const int out = open(fifo.c_str(), O_WRONLY);
        for (std::size_t done = 0; done < content.size();) {
            const ssize_t written = write(out, content.data() + done, content.size() - done);
            if (written <= 0)
                break;
            done += static_cast<std::size_t>(written);
        }
        close(out);
    });
    CReading reading = ReadAll(fifo, capacity);
    writer.join();
    return reading;
}

std::vector<std::string> Split(const std::string& text, std::size_t capacity)
{
    std::vector<std::string> chunks;
    for (std::size_t at = 0; at < text.size(); at += capacity)
        chunks.push_back(text.substr(at, capacity));
    return chunks;
}

// Every byte value, the text's end mark among them: the reader hands on the
// bytes as they are.
std::string Content(std::size_t size)
{
    std::string content;
    for (std::size_t i = 0; i < size; ++i)
        content += static_cast<char>(i % 251);
    return content;
}

TEST(MappedSource, GivesTheChunksOfTheCopyingReads)
{
    // Windows of two pages, so that page boundaries fall inside them too.
    const std::size_t capacity = 2 * kPage;
    const std::size_t sizes[]
        = {0, 1, kPage - 1, kPage, kPage + 1, capacity - 1, capacity, capacity + 1, 3 * capacity + 7};
    CTempDir dir;
    for (const auto access : {CByteReader::Access::MappedWindows, CByteReader::Access::WindowsLoadedAhead}) {
        for (const std::size_t size : sizes) {
            const std::string what = std::to_string(size) + " bytes, loaded "
                + (access == CByteReader::Access::MappedWindows ? "as read" : "ahead");
            const std::string content = Content(size);
            const CReading mapped = ReadAll(dir.Write("source", content), capacity, access);
            const CReading copied = ReadThroughFifo(dir, content, capacity);
            EXPECT_EQ(mapped.chunks, Split(content, capacity)) << what;
            EXPECT_EQ(copied.chunks, mapped.chunks) << what;
            EXPECT_EQ(copied.progress, mapped.progress) << what;
            EXPECT_EQ(mapped.mappedAtFirstChunk, size > 0) << what;
        }
    }
}

TEST(MappedSource, ReadersLeftMidFileGiveBackEveryWindow)
{
    // More readers than the guard has slots, each left after its first
    // chunk, as a cancelled conversion leaves it, with the next window read ahead.
    CTempDir dir;
    const std::string source = dir.Write("source", Content(5 * kPage));
    for (const auto access : {CByteReader::Access::MappedWindows, CByteReader::Access::WindowsLoadedAhead}) {
        for (int reader = 0; reader < 40; ++reader) {
            CByteReader left(kPage, access);
            ASSERT_TRUE(left.Open(source));
            ASSERT_EQ(left.NextChunk().size(), kPage);
            ASSERT_TRUE(IsMapped(source)) << "reader " << reader;
        }
        EXPECT_FALSE(IsMapped(source));
    }
}

TEST(MappedSource, ChunksOfWholeGroupsAreWholePagesWhereTheyCanBe)
{
    for (const std::size_t group : {1, 2, 3, 5, 8, 9}) {
        const std::size_t chunk = CByteReader::ChunkOfWholeGroups(group);
        EXPECT_GT(chunk, 0u) << group;
        EXPECT_LE(chunk, kChunkSize / 2) << group;
        EXPECT_EQ(chunk % group, 0u) << group;
        EXPECT_LT(kChunkSize / 2 - chunk, std::lcm(group, kPage)) << group;
        if (kChunkSize / 2 % kPage == 0) {
            EXPECT_EQ(chunk % kPage, 0u) << group;
        }
    }
}

TEST(MappedSource, AFileCutShortUnderItsWindowIsAChangedSourceAndKeepsTheDestination)
{
    if (kChunkSize % kPage != 0)
        GTEST_SKIP() << "chunks of " << kChunkSize << " bytes are copied, not mapped";
    struct Cut
    {
        std::uint64_t atChunk;   // told of by the progress callback, while the caller holds it
        std::size_t toSize;
    };
    // All of the window gone, its first page left in part, only its last page
    // cut (which faults nowhere), and the second window cut.
    const Cut cuts[] = {{1, 0}, {1, 100}, {1, kChunkSize - 100}, {2, kChunkSize + 100}};
    using Conversion = CConversionResult (*)(CArrayCodec&);
    const Conversion runs[] = {
        [](CArrayCodec& c) { return c.TextToBin(1, 10); },
        [](CArrayCodec& c) { return c.InvertText(1, 10); },
        [](CArrayCodec& c) -> CConversionResult { return c.ScanByteUnit(); },
        [](CArrayCodec& c) { return c.BinToText(1, 10); },
        [](CArrayCodec& c) { return c.BinToText(5, 10); },
    };
    std::string text;
    while (text.size() < 4 * kChunkSize)
        text += "0x41,";
    for (const Cut& cut : cuts) {
        for (const Conversion run : runs) {
            const std::string what
                = "cut to " + std::to_string(cut.toSize) + " at chunk " + std::to_string(cut.atChunk);
            CTempDir dir;
            const std::string source = dir.Write("source", text);
            const std::string dest = dir.Write("dest", "keep me");
            CArrayCodec codec;
            codec.SetSourcePath(source);
            codec.SetDestPath(dest);
            std::uint64_t chunks = 0;
            codec.SetProgress([&](std::uint64_t) {
                if (++chunks == cut.atChunk) {
                    EXPECT_EQ(truncate(source.c_str(), static_cast<off_t>(cut.toSize)), 0);
                }
                return true;
            });
            const CConversionResult result = run(codec);
            EXPECT_EQ(result.failure, EFailure::SourceChanged) << what;
            EXPECT_EQ(result.message, "source file '" + source + "' changed while it was read") << what;
            EXPECT_EQ(CTempDir::Read(dest), "keep me") << what;
        }
    }
}

struct FileSystemRow
{
    const char* name;
    std::uint32_t type;   // as statfs gives it
    bool mapped;
};

// Disks are mapped; memory, FUSE and networks are read, so that a failing
// page there is reported as what failed instead of a bus fault.
constexpr FileSystemRow kFileSystems[] = {
    {"ext4", 0xEF53, true},
    {"xfs", 0x58465342, true},
    {"btrfs", 0x9123683E, true},
    {"f2fs", 0xF2F52010, true},
    {"overlayfs", 0x794C7630, true},
    {"tmpfs", 0x01021994, false},
    {"FUSE", 0x65735546, false},
    {"NFS", 0x6969, false},
    {"CIFS", 0xFF534D42, false},
    {"SMB2", 0xFE534D42, false},
    {"Ceph", 0x00C36400, false},
    {"9p", 0x01021997, false},
    {"AFS", 0x5346414F, false},
};

TEST(MappedSource, OnlyDiskFileSystemsAreMapped)
{
    for (const FileSystemRow& row : kFileSystems)
        EXPECT_EQ(MapsFilesOf(row.type), row.mapped) << row.name;
}

// A fault outside the reader's windows, with the guard in place.
void TouchAShortenedFileMappedElsewhere()
{
    std::FILE* guarded = std::tmpfile();
    std::fputs("0x41,", guarded);
    std::fflush(guarded);
    FilePlatform::CFileView view;
    int error = 0;
    if (!FilePlatform::MapView(guarded, 0, kPage, false, view, error))
        return;
    std::FILE* other = std::tmpfile();
    std::fputs(std::string(2 * kPage, 'x').c_str(), other);
    std::fflush(other);
    auto* pages
        = static_cast<volatile unsigned char*>(mmap(nullptr, 2 * kPage, PROT_READ, MAP_SHARED, fileno(other), 0));
    if (pages == MAP_FAILED || ftruncate(fileno(other), 0) != 0)
        return;
    std::printf("%d", pages[kPage]);
}

TEST(MappedSourceDeathTest, AFaultElsewhereGoesToTheHandlerThatWasThereOrEndsTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(TouchAShortenedFileMappedElsewhere(), "");
    EXPECT_EXIT(
        {
            struct sigaction previous{};
            previous.sa_handler = [](int) { _exit(42); };
            sigaction(SIGBUS, &previous, nullptr);
            TouchAShortenedFileMappedElsewhere();
        },
        ::testing::ExitedWithCode(42), "");
}

} // namespace
