// Deterministic sample data resembling what game updates carry, for the
// codec's benchmarks and round-trip tests.
#ifndef BENCH_CORPUS_H
#define BENCH_CORPUS_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

enum CorpusKind {
    CorpusText,            // prose and script-like lines from a skewed vocabulary
    CorpusCode,            // x86-like machine code: prologues, calls, short jumps
    CorpusBitmap,          // 24-bit pixels: gradients, flat shapes, dithered areas
    CorpusAudio,           // 16-bit stereo samples: tones with envelope and noise
    CorpusNoise,           // incompressible bytes
    CorpusMixed,           // all of the above in 64 KiB pieces, in turn
    CorpusKindCount
};

const char* CorpusName(CorpusKind kind);

// size bytes of the kind; the same bytes for the same arguments everywhere.
std::vector<unsigned char> MakeCorpus(CorpusKind kind, size_t size, uint64_t seed = 1);

#endif
