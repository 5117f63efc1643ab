// Throughput of the decompressor and the compressor, and the compression
// ratio, on each kind of the generated corpus. Bytes processed are always
// the expanded bytes, so both report MB/s of file contents.
#include <benchmark/benchmark.h>

#include <stdint.h>

#include <vector>

#include "archive/compress.h"
#include "archive/expand.h"
#include "bench/corpus.h"

namespace {

const size_t SampleSize = 4 << 20;

struct Sample {
    std::vector<unsigned char> data;
    std::vector<unsigned char> stream;
};

const Sample& SampleOf(CorpusKind kind)
{
    static Sample samples[CorpusKindCount];
    Sample& s = samples[kind];
    if (s.data.empty()) {
        s.data = MakeCorpus(kind, SampleSize);
        s.stream = CompressBlock(s.data.data(), s.data.size());
    }
    return s;
}

void SetRatio(benchmark::State& state, const Sample& s)
{
    state.counters["ratio"] = (double)s.stream.size() / (double)s.data.size();
    state.counters["stored_bytes"] = (double)s.stream.size();
}

void Expand(benchmark::State& state)
{
    CorpusKind kind = (CorpusKind)state.range(0);
    const Sample& s = SampleOf(kind);
    std::vector<unsigned char> out(s.data.size());
    for (auto _ : state) {
        int ok = ExpandBlock(out.data(), (uint32_t)out.size(), s.stream.data(), (uint32_t)s.stream.size());
        benchmark::DoNotOptimize(ok);
        benchmark::ClobberMemory();
        if (!ok)
            state.SkipWithError("stream did not expand");
    }
    if (out != s.data)
        state.SkipWithError("expanded bytes differ");
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)s.data.size());
    state.SetLabel(CorpusName(kind));
    SetRatio(state, s);
}

void Compress(benchmark::State& state)
{
    CorpusKind kind = (CorpusKind)state.range(0);
    const Sample& s = SampleOf(kind);
    for (auto _ : state) {
        std::vector<unsigned char> stream = CompressBlock(s.data.data(), s.data.size());
        benchmark::DoNotOptimize(stream.data());
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)s.data.size());
    state.SetLabel(CorpusName(kind));
    SetRatio(state, s);
}

} // namespace

BENCHMARK(Expand)->DenseRange(0, CorpusKindCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(Compress)->DenseRange(0, CorpusKindCount - 1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
