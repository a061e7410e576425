// Fuzz target for the engine, with two oracles, on every scan path the
// processor has (scalar, SSE2, AVX2, AVX-512):
//  - the codec's scanner, fed the input in random chunks and split in two at
//    every place near its start, must report the same events as the literal
//    state machine (ReferenceScan), and the scan on two threads the same
//    numbers; sinks of one-byte units, which take blocks of hex numbers and
//    of short decimal ones as their low bytes, the low bytes of those
//    numbers;
//  - binary to text and back gives the input back, padded to the byte unit,
//    and so does that text read as the body of a C array (up to 8 bytes);
//    the text inverted and read back gives every byte's complement; and the
//    byte-width scan finds the byte unit the text was written with; the input
//    read as C source is refused or converted, never a crash. The fuzz
//    build reads in small chunks, so their ends fall inside these texts.
//
// Input: byte unit selector, line unit selector, chunking seed, then the data.

#include "codec/ArrayCodec.h"
#include "RecordingSink.h"
#include "ReferenceScanner.h"
#include "textarray/ScanPath.h"
#include "textarray/SplitScanner.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <span>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "oracle failed: %s\n", what);
    std::abort();
}

void Expect(bool holds, const char* what)
{
    if (!holds)
        Fail(what);
}

std::span<const unsigned char> Bytes(std::string_view text)
{
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

template <class Scanner, class Sink>
void FeedInRandomChunks(std::string_view text, unsigned seed, Sink& sink)
{
    Scanner scanner(sink);
    std::minstd_rand random(seed + 1);
    while (!text.empty()) {
        // Mostly longer than a block, sometimes a few bytes.
        const std::size_t most = random() % 2 ? 400 : 8;
        const std::size_t size = std::min<std::size_t>(text.size(), 1 + random() % most);
        scanner.Feed(Bytes(text.substr(0, size)));
        text.remove_prefix(size);
    }
    scanner.Finish();
}

std::string ScanInRandomChunks(std::string_view text, unsigned seed)
{
    CRecordingSink sink;
    FeedInRandomChunks<CNumberScanner<CRecordingSink>>(text, seed, sink);
    return sink.events;
}

std::string SplitScanInRandomChunks(std::string_view text, unsigned seed)
{
    CRecordingSink sink;
    FeedInRandomChunks<CSplitScanner<CRecordingSink>>(text, seed, sink);
    return sink.events;
}

// What sinks of one-byte units keep of the numbers, which blocks of hex
// numbers of every width, and of short decimal ones, hand them as low bytes
// when they take them so.
template <class Scanner>
std::string LowBytesInRandomChunks(std::string_view text, unsigned seed, bool takesLowBytes)
{
    CLowByteSink sink(takesLowBytes);
    FeedInRandomChunks<Scanner>(text, seed, sink);
    return sink.events;
}

std::string ScanSplitAt(std::string_view text, std::size_t split)
{
    CRecordingSink sink;
    CNumberScanner<CRecordingSink> scanner(sink);
    scanner.Feed(Bytes(text.substr(0, split)));
    scanner.Feed(Bytes(text.substr(split)));
    scanner.Finish();
    return sink.events;
}

// Splits within this distance of the start are all tried: enough for the
// blocks to start at every place relative to the split.
constexpr std::size_t kSplitsTried = 300;

void CheckScanner(std::string_view text, unsigned seed)
{
    const std::string expected = ReferenceScan(text);
    Expect(ScanInRandomChunks(text, seed) == expected, "the scanner in chunks differs from the literal state table");
    Expect(SplitScanInRandomChunks(text, seed) == expected,
        "the scan on two threads differs from the literal state table");
    if (CurrentScanPath() == ScanPath::Scalar)
        return;
    const std::string lowBytes = LowBytesInRandomChunks<CNumberScanner<CLowByteSink>>(text, seed, false);
    Expect(LowBytesInRandomChunks<CNumberScanner<CLowByteSink>>(text, seed, true) == lowBytes,
        "the low bytes of blocks of numbers differ from those of the numbers");
    Expect(LowBytesInRandomChunks<CSplitScanner<CLowByteSink>>(text, seed, true) == lowBytes,
        "the low bytes of blocks of numbers on two threads differ from those of the numbers");
    for (std::size_t split = 0; split <= std::min(text.size(), kSplitsTried); ++split)
        Expect(ScanSplitAt(text, split) == expected, "the scanner split in two differs from the literal state table");
}

// Files in memory (/dev/shm where there is one), one folder per process.
class CScratch
{
public:
    CScratch()
    {
        const std::filesystem::path base
            = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        m_folder = base / ("morvex-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
    }
    ~CScratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    std::string Path(const char* name) const { return (m_folder / name).string(); }

    static void Write(const std::string& path, std::string_view bytes)
    {
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path m_folder;
};

// Runs one conversion from file to file; the result must be a success.
template <class Convert>
std::string Convert(const CScratch& scratch, const char* from, const char* to, Convert convert)
{
    CArrayCodec codec;
    codec.SetSourcePath(scratch.Path(from));
    codec.SetDestPath(scratch.Path(to));
    Expect(static_cast<bool>(convert(codec)), "a conversion failed");
    return CScratch::Read(scratch.Path(to));
}

void CheckRoundTrips(std::string_view data, int byteUnit, int lineUnit)
{
    static const CScratch scratch;
    CScratch::Write(scratch.Path("data.bin"), data);
    const std::string text
        = Convert(scratch, "data.bin", "text.txt", [&](CArrayCodec& c) { return c.BinToText(byteUnit, lineUnit); });

    std::string padded(data);
    padded.resize((data.size() + byteUnit - 1) / byteUnit * byteUnit, '\0');
    Expect(Convert(scratch, "text.txt", "back.bin", [&](CArrayCodec& c) { return c.TextToBin(byteUnit, 1); }) == padded,
        "binary to text and back changed the bytes");

    // The writers' text is also the body of a C array, one element a number,
    // up to the 8 bytes of C's widest integers.
    if (byteUnit <= 8)
        Expect(Convert(scratch, "text.txt", "c.bin", [&](CArrayCodec& c) { return c.CSourceToBin(byteUnit, 1); })
                == padded,
            "reading the text as C changed the bytes");

    Convert(scratch, "text.txt", "inverted.txt", [&](CArrayCodec& c) { return c.InvertText(byteUnit, lineUnit); });
    std::string complement
        = Convert(scratch, "inverted.txt", "back.bin", [&](CArrayCodec& c) { return c.TextToBin(byteUnit, 1); });
    Expect(complement.size() == padded.size(), "the inverted text holds a different count of numbers");
    // The short last item was widened to the byte unit before inverting.
    for (std::size_t k = 0; k < data.size(); ++k)
        complement[k] = static_cast<char>(~complement[k]);
    complement.resize(data.size());
    Expect(complement == data, "inverting the text did not complement every byte");

    // Any bytes read as C, for any platform: a refusal or bytes, never a crash.
    CArrayCodec asC;
    CSourceOptions options;
    options.abi = static_cast<CAbiName>(static_cast<unsigned>(lineUnit) % 3);
    asC.SetCSourceOptions(options);
    asC.SetSourcePath(scratch.Path("data.bin"));
    asC.SetDestPath(scratch.Path("c.bin"));
    asC.CSourceToBin(0, 1);

    CArrayCodec scan;
    scan.SetSourcePath(scratch.Path("text.txt"));
    const int width = static_cast<int>(std::min<std::size_t>(data.size(), static_cast<std::size_t>(byteUnit)));
    Expect(scan.ScanByteUnit().byteUnit == width, "the byte-width scan missed the byte unit");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size < 3)
        return 0;
    const int byteUnit = 1 + bytes[0] % 9;
    const int lineUnit = 1 + bytes[1] % 16;
    const unsigned seed = bytes[2];
    const std::string_view data(reinterpret_cast<const char*>(bytes + 3), size - 3);

    for (ScanPath path : kEveryScanPath) {
        if (!UseScanPath(path))
            continue;
        CheckScanner(data, seed);
        CheckRoundTrips(data, byteUnit, lineUnit);
    }
    UseScanPath(BestScanPath());
    return 0;
}
