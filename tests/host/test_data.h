// Deterministic test inputs.
#ifndef TESTS_HOST_TEST_DATA_H
#define TESTS_HOST_TEST_DATA_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

// xorshift64*: the same bytes for the same seed on every machine.
inline std::vector<unsigned char> RandomBytes(size_t size, uint64_t seed, unsigned range = 256)
{
    std::vector<unsigned char> bytes(size);
    uint64_t x = seed * 0x9E3779B97F4A7C15ull + 1;
    for (size_t i = 0; i < size; i++) {
        x ^= x >> 12;
        x ^= x << 25;
        x ^= x >> 27;
        bytes[i] = (unsigned char)(((x * 0x2545F4914F6CDD1Dull) >> 56) % range);
    }
    return bytes;
}

#endif
