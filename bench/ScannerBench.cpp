#include "BenchData.h"
#include "fileio/ByteStreams.h"
#include "textarray/ConversionSinks.h"
#include "textarray/NumberScanner.h"
#include "textarray/ScanPath.h"
#include "textarray/SplitScanner.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <span>
#include <utility>

namespace {

// Adds up what it is told, so that the scanner's work cannot be optimised away.
class CSummingSink
{
public:
    void OnNumberCompleted(const CScannedNumber& number) { m_nSum += number.low + number.high; }
    void OnByteItems(const unsigned char* values, std::size_t count) { CompleteEach(*this, values, count); }

protected:
    std::uint64_t m_nSum = 0;
};

// Takes runs of one-byte items whole, as the conversions' sinks do.
class CRunSink : public CSummingSink
{
public:
    void OnByteItems(const unsigned char* values, std::size_t count)
    {
        m_nSum += count > 0 ? count + values[0] + values[count - 1] : 0;
    }

    // Its own part on the helper thread: sums add up in any order.
    CRunSink MakePart() const { return {}; }
    std::size_t Size() const { return 0; }
    void HandTo(CRunSink& sink) const { sink.m_nSum += m_nSum; }
    void Clear() { m_nSum = 0; }
    void Swap(CRunSink& other) noexcept { std::swap(m_nSum, other.m_nSum); }
};

// Scans the text in memory, in chunks of the size the codec reads, on the
// scan path given as the benchmark's first argument.
template <class Sink, template <class> class Scanner = CNumberScanner>
void Scan(benchmark::State& state, const std::string& text)
{
    const auto path = static_cast<ScanPath>(state.range(0));
    if (!UseScanPath(path)) {
        state.SkipWithError("this processor lacks the scan path");
        return;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    for (auto _ : state) {
        Sink sink;
        Scanner<Sink> scanner(sink);
        for (std::size_t at = 0; at < text.size(); at += kChunkSize)
            scanner.Feed(std::span(data + at, std::min(kChunkSize, text.size() - at)));
        scanner.Finish();
        benchmark::DoNotOptimize(sink);
    }
    UseScanPath(BestScanPath());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void ScanHexItems(benchmark::State& state)
{
    const std::string text = bench_data::ReadWhole(bench_data::TextArrayFile(static_cast<int>(state.range(1))));
    Scan<CSummingSink>(state, text);
}
// Every path: scalar (0), SSE2 (1), AVX2 (2), AVX-512 (3).
void EveryPath(benchmark::internal::Benchmark* bench)
{
    for (auto path : kEveryScanPath)
        bench->Arg(static_cast<std::int64_t>(path));
}

void EveryPathAndUnit(benchmark::internal::Benchmark* bench)
{
    bench->ArgNames({"path", "byteUnit"});
    for (auto path : kEveryScanPath)
        for (int unit : {1, 2, 4, 8, 9})
            bench->Args({static_cast<std::int64_t>(path), unit});
}

BENCHMARK(ScanHexItems)->Apply(EveryPathAndUnit);

// As b and i at byte unit 1 scan: hex numbers of every width, and blocks of
// short decimal ones, as their low bytes.
class CLowByteRunSink : public CRunSink
{
public:
    bool TakesLowBytes() const { return true; }
    void OnDecimalLowBytes(const unsigned char* values, std::size_t count) { OnByteItems(values, count); }
};

void ScanLowBytesOfHexItems(benchmark::State& state)
{
    const std::string text = bench_data::ReadWhole(bench_data::TextArrayFile(static_cast<int>(state.range(1))));
    Scan<CLowByteRunSink>(state, text);
}
BENCHMARK(ScanLowBytesOfHexItems)->Apply(EveryPathAndUnit);

void ScanByteItemRuns(benchmark::State& state)
{
    const std::string text = bench_data::ReadWhole(bench_data::TextArrayFile(1));
    Scan<CRunSink>(state, text);
}
BENCHMARK(ScanByteItemRuns)->ArgName("path")->Apply(EveryPath);

// As b and i scan: on this thread and a helper. Wall time, as two threads work.
void ScanByteItemRunsOnTwoThreads(benchmark::State& state)
{
    const std::string text = bench_data::ReadWhole(bench_data::TextArrayFile(1));
    Scan<CRunSink, CSplitScanner>(state, text);
}
BENCHMARK(ScanByteItemRunsOnTwoThreads)->ArgName("path")->Apply(EveryPath)->UseRealTime();

void ScanDecimalItems(benchmark::State& state)
{
    const std::string text = bench_data::ReadWhole(bench_data::DecimalTextFile());
    Scan<CSummingSink>(state, text);
}
BENCHMARK(ScanDecimalItems)->ArgName("path")->Apply(EveryPath);

void ScanLowBytesOfDecimalItems(benchmark::State& state)
{
    const std::string text = bench_data::ReadWhole(bench_data::DecimalTextFile());
    Scan<CLowByteRunSink>(state, text);
}
BENCHMARK(ScanLowBytesOfDecimalItems)->ArgName("path")->Apply(EveryPath);

} // namespace
