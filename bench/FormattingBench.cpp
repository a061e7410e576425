#include "BenchData.h"
#include "fileio/ByteStreams.h"
#include "textarray/TextArrayWriter.h"

#include <benchmark/benchmark.h>

namespace {

// Formats the random bytes with write(text, bytes, size) into /dev/null,
// through the writer's buffer, as the conversions do, ten items a line.
template <typename Write>
void FormatIntoNull(benchmark::State& state, Write write)
{
    const std::string bytes = bench_data::ReadWhole(bench_data::RandomBinaryFile());
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (auto _ : state) {
        CByteWriter out;
        if (!out.Open("/dev/null")) {
            state.SkipWithError("cannot open /dev/null");
            return;
        }
        CTextArrayWriter text(out, 10);
        write(text, data, bytes.size());
        out.Close();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// Items of the given byte unit, one by one, as binary to text writes them.
void FormatHexItems(benchmark::State& state)
{
    const auto unit = static_cast<std::size_t>(state.range(0));
    FormatIntoNull(state, [unit](CTextArrayWriter& text, const unsigned char* data, std::size_t size) {
        for (std::size_t at = 0; at + unit <= size; at += unit) {
            unsigned char* pos = CTextArrayWriter::PutHexLittleEndian(text.BeginItem(), data + at, unit);
            *pos++ = ',';
            text.EndItem(pos);
        }
    });
}
BENCHMARK(FormatHexItems)->ArgName("byteUnit")->Arg(1)->Arg(4)->Arg(9);

// The complements of bytes as decimal items, as inverting decimal text with
// byte unit 1 writes them.
void FormatDecimalByteItems(benchmark::State& state)
{
    FormatIntoNull(state, [](CTextArrayWriter& text, const unsigned char* data, std::size_t size) {
        text.WriteDecimalComplements(data, size);
    });
}
BENCHMARK(FormatDecimalByteItems);

} // namespace
