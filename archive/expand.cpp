#include "archive/expand.h"

#include <string.h>

#include "archive/format.h"

namespace {

struct BitReader {
    const unsigned char* in;
    const unsigned char* end;
    uint32_t word;       // current control word, used bits shifted out to the left
    unsigned left;       // bits of it not yet used
    int broken;          // set once the stream ran out
};

inline unsigned Bit(BitReader& r)
{
    if (r.left == 0) {
        if (r.end - r.in < 4) {
            r.broken = 1;
            return 0;
        }
        r.word = ReadLE32(r.in);
        r.in += 4;
        r.left = 32;
    }
    unsigned b = r.word >> 31;
    r.word <<= 1;
    r.left--;
    return b;
}

inline unsigned Bits(BitReader& r, unsigned n)
{
    unsigned v = 0;
    while (n--)
        v = (v << 1) | Bit(r);
    return v;
}

inline unsigned Byte(BitReader& r)
{
    if (r.in >= r.end) {
        r.broken = 1;
        return 0;
    }
    return *r.in++;
}

// Offset code of a long match: the prefix says how many extra bits follow the byte.
inline unsigned LongOffset(BitReader& r)
{
    if (Bit(r)) {
        unsigned b = Byte(r);
        return b * 2 + Bit(r);
    }
    if (Bit(r)) {
        unsigned b = Byte(r);
        return 512 + b * 2 + Bit(r);
    }
    if (Bit(r)) {
        unsigned b = Byte(r);
        return 1024 + b * 4 + Bits(r, 2);
    }
    if (Bit(r)) {
        unsigned b = Byte(r);
        return 2048 + b * 8 + Bits(r, 3);
    }
    unsigned b = Byte(r);
    return 4096 + b * 16 + Bits(r, 4);
}

inline unsigned LongLength(BitReader& r)
{
    if (Bit(r))
        return 3;
    if (Bit(r))
        return 4;
    if (Bit(r))
        return 5 + Bit(r);
    if (Bit(r))
        return 7 + Bits(r, 2);
    if (Bit(r))
        return 11 + Bits(r, 4);
    return 27 + Byte(r);
}

// Copies n bytes from distance d behind op; the same bytes as a forward
// byte-by-byte copy. Distances from 4 go in 4-byte units, each read wholly
// behind the write position; 1 to 3 are pattern fills. Never writes past n.
inline void CopyMatch(unsigned char* op, unsigned d, unsigned n)
{
    const unsigned char* from = op - d;   // never op[i - d]: unsigned i - d wraps
    unsigned i = 0;
    if (d >= 4) {
        for (; i + 4 <= n; i += 4)
            memcpy(op + i, from + i, 4);
    } else if (d == 1) {
        memset(op, op[-1], n);
        return;
    } else {
        unsigned char unit[4];
        for (unsigned k = 0; k < 4; k++)
            unit[k] = from[k % d];
        unsigned step = d == 2 ? 4 : 3;
        for (; i + 4 <= n; i += step)
            memcpy(op + i, unit, 4);
    }
    for (; i < n; i++)
        op[i] = from[i];
}

} // namespace

int ExpandBlock(unsigned char* out, uint32_t outSize, const unsigned char* stream,
                uint32_t streamLength, uint32_t* consumed)
{
    if (streamLength < 4)
        return 0;
    BitReader r;
    r.in = stream + 4;
    r.end = stream + streamLength;
    r.word = ReadLE32(stream);
    r.left = 32;
    r.broken = 0;
    uint32_t pos = 0;

    for (;;) {
        if (Bit(r)) {
            unsigned b = Byte(r);
            if (r.broken || pos >= outSize)
                return 0;
            out[pos++] = (unsigned char)b;
            continue;
        }
        unsigned v, n;
        if (Bit(r)) {
            unsigned e = Bit(r);
            unsigned b = Byte(r);
            if (!e) {
                v = b;
            } else {
                v = 256 + b * 8 + Bits(r, 3);
                if (v == 2303 && !r.broken)
                    break;
            }
            n = 2;
        } else {
            v = LongOffset(r);
            n = LongLength(r);
        }
        if (r.broken || v + 1 > pos || n > outSize - pos)
            return 0;
        CopyMatch(out + pos, v + 1, n);
        pos += n;
    }
    if (pos != outSize)
        return 0;
    if (consumed)
        *consumed = (uint32_t)(r.in - stream);
    return 1;
}
