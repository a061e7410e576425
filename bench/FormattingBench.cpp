#include "BenchData.h"
#include "ByteStreams.h"
#include "TextArrayWriter.h"

#include <benchmark/benchmark.h>

namespace {

// Formats in-memory bytes as items of the given byte unit into /dev/null,
// through the writer's buffer, as the binary-to-text conversion does.
void FormatHexItems(benchmark::State& state)
{
    const auto unit = static_cast<std::size_t>(state.range(0));
    const std::string bytes = bench_data::ReadWhole(bench_data::RandomBinaryFile());
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (auto _ : state) {
        CByteWriter out;
        if (!out.Open("/dev/null")) {
            state.SkipWithError("cannot open /dev/null");
            return;
        }
        CTextArrayWriter text(out, 10);
        for (std::size_t at = 0; at + unit <= bytes.size(); at += unit) {
            unsigned char* pos = CTextArrayWriter::PutHexLittleEndian(text.BeginItem(), data + at, unit);
            *pos++ = ',';
            text.EndItem(pos);
        }
        out.Close();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(FormatHexItems)->ArgName("byteUnit")->Arg(1)->Arg(4)->Arg(9);

// The complements of bytes as decimal items, as inverting decimal text with
// byte unit 1 writes them.
void FormatDecimalByteItems(benchmark::State& state)
{
    const std::string bytes = bench_data::ReadWhole(bench_data::RandomBinaryFile());
    for (auto _ : state) {
        CByteWriter out;
        if (!out.Open("/dev/null")) {
            state.SkipWithError("cannot open /dev/null");
            return;
        }
        CTextArrayWriter text(out, 10);
        text.WriteDecimalByteItems(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0xFF);
        out.Close();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(FormatDecimalByteItems);

} // namespace
