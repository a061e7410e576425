#include "ArrayCodec.h"
#include "BenchData.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

// A whole conversion of a file in memory (/dev/shm) into /dev/null: the
// engine's own cost, with the reads and writes but without any disk.
template <class Convert>
void ConvertIntoNull(benchmark::State& state, const std::string& source, Convert convert)
{
    CArrayCodec codec;
    codec.SetSourcePath(source);
    codec.SetDestPath("/dev/null");
    for (auto _ : state) {
        if (const CConversionResult result = convert(codec); !result) {
            state.SkipWithError(result.message.c_str());
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(source)));
}

void BinToText(benchmark::State& state)
{
    const int unit = static_cast<int>(state.range(0));
    ConvertIntoNull(state, bench_data::RandomBinaryFile(), [unit](CArrayCodec& c) { return c.BinToText(unit, 10); });
}
BENCHMARK(BinToText)->ArgName("byteUnit")->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

void TextToBin(benchmark::State& state)
{
    const int unit = static_cast<int>(state.range(0));
    ConvertIntoNull(state, bench_data::TextArrayFile(unit), [unit](CArrayCodec& c) { return c.TextToBin(unit, 10); });
}
BENCHMARK(TextToBin)->ArgName("byteUnit")->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

void InvertText(benchmark::State& state)
{
    const int unit = static_cast<int>(state.range(0));
    ConvertIntoNull(state, bench_data::TextArrayFile(unit), [unit](CArrayCodec& c) { return c.InvertText(unit, 10); });
}
BENCHMARK(InvertText)->ArgName("byteUnit")->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

void InvertDecimalText(benchmark::State& state)
{
    ConvertIntoNull(state, bench_data::DecimalTextFile(), [](CArrayCodec& c) { return c.InvertText(1, 10); });
}
BENCHMARK(InvertDecimalText)->Unit(benchmark::kMillisecond);

void ScanByteUnit(benchmark::State& state)
{
    ConvertIntoNull(
        state, bench_data::TextArrayFile(1), [](CArrayCodec& c) -> CConversionResult { return c.ScanByteUnit(); });
}
BENCHMARK(ScanByteUnit)->Unit(benchmark::kMillisecond);

} // namespace
