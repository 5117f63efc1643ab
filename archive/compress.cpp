#include "archive/compress.h"

#include <stdint.h>
#include <string.h>

#include <stdexcept>

#include "archive/format.h"

namespace {

const uint32_t NoPosition = 0xFFFFFFFFu;

const unsigned LongMatchMin = 3;
const unsigned LongMatchMax = 282;
const uint32_t LongDistanceMax = 8192;
const uint32_t ShortDistanceMax = 2303;   // distance 2304 would be the end marker's code
const int LiteralBits = 9;

// Search effort. The window is small, so a modest chain finds nearly every
// useful match; a match this good shortens the rest of the search, and one
// this long is taken without looking a byte ahead.
const unsigned HashBits = 16;
const unsigned ChainMax = 96;
const unsigned GoodLength = 32;
const unsigned LazyLimit = 64;

// Chain links are kept for more positions than the window spans, so a link
// reached from inside the window is never one overwritten by a newer position.
const uint32_t LinkMask = 16383;
static_assert(LinkMask + 1 > LongDistanceMax, "links must outlive the window");

const size_t ProgressStep = 1u << 16;

// Code lengths in bits, literal bytes included: what each token costs.
unsigned OffsetCodeBits(uint32_t v)
{
    if (v < 512)
        return 1 + 8 + 1;
    if (v < 1024)
        return 2 + 8 + 1;
    if (v < 2048)
        return 3 + 8 + 2;
    if (v < 4096)
        return 4 + 8 + 3;
    return 4 + 8 + 4;
}

unsigned LengthCodeBits(unsigned n)
{
    if (n == 3)
        return 1;
    if (n == 4)
        return 2;
    if (n <= 6)
        return 3 + 1;
    if (n <= 10)
        return 4 + 2;
    if (n <= 26)
        return 5 + 4;
    return 5 + 8;
}

int LongMatchBits(unsigned length, uint32_t distance)
{
    return (int)(2 + OffsetCodeBits(distance - 1) + LengthCodeBits(length));
}

int ShortMatchBits(uint32_t distance)
{
    return distance <= 256 ? 3 + 8 : 3 + 8 + 3;
}

// A candidate token: length 0 means none; gain is the bits saved against
// coding the same bytes as literals.
struct Match {
    unsigned length;
    uint32_t distance;
    int gain;
};

// Code bits go into the current control word, most significant first; a new
// word is reserved at the end of the stream when a bit finds the current one
// full, which is exactly where the decoder fetches it.
class StreamWriter {
public:
    explicit StreamWriter(std::vector<unsigned char>& out) : out_(out), wordAt_(0), word_(0), used_(0)
    {
        out_.assign(4, 0);
    }

    void Bit(unsigned b)
    {
        if (used_ == 32) {
            WriteLE32(&out_[wordAt_], word_);
            wordAt_ = out_.size();
            out_.insert(out_.end(), 4, 0);
            word_ = 0;
            used_ = 0;
        }
        word_ |= (uint32_t)(b & 1) << (31 - used_);
        used_++;
    }

    void Bits(unsigned value, unsigned count)
    {
        while (count--)
            Bit(value >> count);
    }

    void Byte(unsigned value) { out_.push_back((unsigned char)value); }

    void Literal(unsigned char b)
    {
        Bit(1);
        Byte(b);
    }

    void ShortMatch(uint32_t distance)
    {
        uint32_t v = distance - 1;
        Bits(1, 2);                       // 0 1
        if (v < 256) {
            Bit(0);
            Byte(v);
        } else {
            Bit(1);
            Byte((v - 256) >> 3);
            Bits(v - 256, 3);
        }
    }

    void LongMatch(unsigned length, uint32_t distance)
    {
        uint32_t v = distance - 1;
        Bits(0, 2);
        if (v < 512) {
            Bit(1);
            Byte(v >> 1);
            Bits(v, 1);
        } else if (v < 1024) {
            Bits(1, 2);
            Byte((v - 512) >> 1);
            Bits(v, 1);
        } else if (v < 2048) {
            Bits(1, 3);
            Byte((v - 1024) >> 2);
            Bits(v, 2);
        } else if (v < 4096) {
            Bits(1, 4);
            Byte((v - 2048) >> 3);
            Bits(v, 3);
        } else {
            Bits(0, 4);
            Byte((v - 4096) >> 4);
            Bits(v, 4);
        }

        if (length == 3) {
            Bit(1);
        } else if (length == 4) {
            Bits(1, 2);
        } else if (length <= 6) {
            Bits(1, 3);
            Bits(length - 5, 1);
        } else if (length <= 10) {
            Bits(1, 4);
            Bits(length - 7, 2);
        } else if (length <= 26) {
            Bits(1, 5);
            Bits(length - 11, 4);
        } else {
            Bits(0, 5);
            Byte(length - 27);
        }
    }

    // The end marker, then the unused low bits of the last word stay 0.
    void Finish()
    {
        Bits(3, 3);                       // 0 1 1
        Byte(255);
        Bits(7, 3);                       // 1 1 1
        WriteLE32(&out_[wordAt_], word_);
    }

private:
    std::vector<unsigned char>& out_;
    size_t wordAt_;
    uint32_t word_;
    unsigned used_;
};

// Hash chains over 3-byte prefixes for long matches, and the latest position
// of every byte pair for short matches. Positions are inserted in order;
// Find(pos) sees every position before pos.
class MatchFinder {
public:
    MatchFinder(const unsigned char* data, uint32_t size)
        : data_(data), size_(size), head_(1u << HashBits, NoPosition),
          link_(LinkMask + 1, NoPosition), pair_(1u << 16, NoPosition)
    {
    }

    void Insert(uint32_t pos)
    {
        if (size_ - pos >= 3) {
            uint32_t& head = head_[Hash3(data_ + pos)];
            link_[pos & LinkMask] = head;
            head = pos;
        }
        if (size_ - pos >= 2)
            pair_[Pair(data_ + pos)] = pos;
    }

    Match Find(uint32_t pos) const
    {
        Match best = { 0, 0, 0 };
        uint32_t avail = size_ - pos;
        if (avail >= LongMatchMin)
            best = FindLong(pos, avail < LongMatchMax ? avail : LongMatchMax);
        // A 3-byte long match saves more than any short match can.
        if (best.length == 0 && avail >= 2) {
            uint32_t candidate = pair_[Pair(data_ + pos)];
            if (candidate != NoPosition && pos - candidate <= ShortDistanceMax) {
                uint32_t distance = pos - candidate;
                best.length = 2;
                best.distance = distance;
                best.gain = 2 * LiteralBits - ShortMatchBits(distance);
            }
        }
        return best;
    }

private:
    static uint32_t Hash3(const unsigned char* p)
    {
        uint32_t v = (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16);
        return (v * 2654435761u) >> (32 - HashBits);
    }

    static uint32_t Pair(const unsigned char* p) { return (uint32_t)p[0] | ((uint32_t)p[1] << 8); }

    // Walks the chain from the nearest candidate outwards. Costs only grow
    // with distance, so a farther candidate can win only by being longer:
    // one whose byte at the current best length differs is skipped at once.
    Match FindLong(uint32_t pos, unsigned limit) const
    {
        Match best = { 0, 0, 0 };
        const unsigned char* here = data_ + pos;
        unsigned chain = ChainMax;
        uint32_t candidate = head_[Hash3(here)];
        while (candidate != NoPosition) {
            uint32_t distance = pos - candidate;
            if (distance > LongDistanceMax)
                break;
            const unsigned char* there = data_ + candidate;
            if (there[best.length] == here[best.length]) {
                unsigned length = CommonLength(there, here, limit);
                if (length >= LongMatchMin) {
                    int gain = (int)length * LiteralBits - LongMatchBits(length, distance);
                    if (gain > best.gain) {
                        best.length = length;
                        best.distance = distance;
                        best.gain = gain;
                        if (length == limit)
                            break;
                        if (length >= GoodLength && chain > ChainMax / 4)
                            chain = ChainMax / 4;
                    }
                }
            }
            if (--chain == 0)
                break;
            uint32_t next = link_[candidate & LinkMask];
            if (next >= candidate)        // NoPosition, or a link from before the window
                break;
            candidate = next;
        }
        return best;
    }

    static unsigned CommonLength(const unsigned char* a, const unsigned char* b, unsigned limit)
    {
        unsigned n = 0;
        while (n + 8 <= limit) {
            uint64_t x, y;
            memcpy(&x, a + n, 8);
            memcpy(&y, b + n, 8);
            if (x != y)
                break;
            n += 8;
        }
        while (n < limit && a[n] == b[n])
            n++;
        return n;
    }

    const unsigned char* data_;
    uint32_t size_;
    std::vector<uint32_t> head_;
    std::vector<uint32_t> link_;
    std::vector<uint32_t> pair_;
};

} // namespace

std::vector<unsigned char> CompressBlock(const unsigned char* data, size_t size)
{
    return CompressBlock(data, size, 0, 0);
}

std::vector<unsigned char> CompressBlock(const unsigned char* data, size_t size,
                                         CompressProgressFunction progress, void* context)
{
    if ((uint64_t)size >= NoPosition)
        throw std::length_error("CompressBlock: input of 4 GiB or more");
    std::vector<unsigned char> out;
    out.reserve(size + size / 8 + 16);
    StreamWriter writer(out);

    uint32_t total = (uint32_t)size;
    MatchFinder finder(data, total);
    uint32_t pos = 0;
    size_t reported = 0;
    Match current = finder.Find(0);

    // Lazy matching: before a match is taken, the match one byte later is
    // tried; when it saves more, the byte goes out as a literal instead.
    while (pos < total) {
        if (progress && pos - reported >= ProgressStep) {
            reported = pos;
            progress(pos, size, context);
        }
        finder.Insert(pos);
        if (current.length == 0) {
            writer.Literal(data[pos]);
            pos++;
            current = finder.Find(pos);
            continue;
        }
        if (current.length < LazyLimit) {
            Match next = finder.Find(pos + 1);
            if (next.gain > current.gain) {
                writer.Literal(data[pos]);
                pos++;
                current = next;
                continue;
            }
        }
        if (current.length == 2)
            writer.ShortMatch(current.distance);
        else
            writer.LongMatch(current.length, current.distance);
        for (unsigned i = 1; i < current.length; i++)
            finder.Insert(pos + i);
        pos += current.length;
        current = finder.Find(pos);
    }
    writer.Finish();
    if (progress)
        progress(size, size, context);
    return out;
}
