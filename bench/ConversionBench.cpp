#include "codec/ArrayCodec.h"
#include "BenchData.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

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
BENCHMARK(BinToText)->ArgName("byteUnit")->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

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

// The random file as the xxd tool's -i option writes it: 12 items a line,
// indented by two spaces, lower-case hex.
std::string IncludeHeaderFile()
{
    const std::string file = (bench_data::Folder() / "random.h").string();
    if (!std::filesystem::exists(file)) {
        static const char kHex[] = "0123456789abcdef";
        const std::string bytes = bench_data::ReadWhole(bench_data::RandomBinaryFile());
        std::string text = "unsigned char random_bin[] = {";
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            const auto byte = static_cast<unsigned char>(bytes[k]);
            text += k % 12 == 0 ? "\n  0x" : " 0x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xF];
            if (k + 1 < bytes.size())
                text += ',';
        }
        text += "\n};\nunsigned int random_bin_len = " + std::to_string(bytes.size()) + ";\n";
        std::ofstream(file, std::ios::binary) << text;
    }
    return file;
}

void CSourceToBin(benchmark::State& state)
{
    ConvertIntoNull(state, IncludeHeaderFile(), [](CArrayCodec& c) { return c.CSourceToBin(0, 10); });
}
BENCHMARK(CSourceToBin)->Unit(benchmark::kMillisecond);

// The engine's own text read as the inside of a C array.
void CSourceTextToBin(benchmark::State& state)
{
    ConvertIntoNull(state, bench_data::TextArrayFile(1), [](CArrayCodec& c) { return c.CSourceToBin(0, 10); });
}
BENCHMARK(CSourceTextToBin)->Unit(benchmark::kMillisecond);

void ScanByteUnit(benchmark::State& state)
{
    ConvertIntoNull(
        state, bench_data::TextArrayFile(1), [](CArrayCodec& c) -> CConversionResult { return c.ScanByteUnit(); });
}
BENCHMARK(ScanByteUnit)->Unit(benchmark::kMillisecond);

} // namespace
