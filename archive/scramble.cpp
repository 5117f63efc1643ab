#include "archive/scramble.h"

#include "archive/format.h"

static uint32_t RotateLeft(uint32_t v, unsigned n)
{
    n &= 31;
    return n ? (v << n) | (v >> (32 - n)) : v;
}

static uint32_t RotateRight(uint32_t v, unsigned n)
{
    n &= 31;
    return n ? (v >> n) | (v << (32 - n)) : v;
}

static unsigned CountBits(uint32_t v)
{
    unsigned n = 0;
    for (; v; v &= v - 1)
        n++;
    return n;
}

void ScrambleBlock(unsigned char* block, uint32_t length)
{
    if (length < 4)
        return;
    uint32_t words = length / 4;
    unsigned step = ScrambleRotations[CountBits(length) % 8];
    uint32_t key = RotateRight(length ^ ScrambleConstant, length % 32);
    unsigned char* p = block;
    for (uint32_t i = 0; i < words; i++, p += 4) {
        WriteLE32(p, ReadLE32(p) ^ key);
        key = RotateLeft(key, step);
    }
}
