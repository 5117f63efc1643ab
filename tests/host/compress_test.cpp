#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "archive/compress.h"
#include "archive/expand.h"
#include "bench/corpus.h"
#include "test_data.h"
#include "token_stream.h"

namespace {

typedef std::vector<unsigned char> Bytes;

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes Text(const char* s)
{
    return Bytes(s, s + strlen(s));
}

// Random filler whose bytes stay below 0x80, so that a marker made of bytes
// from 0x80 up can only match another copy of itself.
Bytes Filler(size_t size, uint64_t seed)
{
    return RandomBytes(size, seed, 128);
}

// Filler and the marker twice, `distance` apart, each copy between bytes of
// its own so that no longer match covers it. *second gets the second's position.
Bytes MarkerAtDistance(size_t distance, const Bytes& marker, uint64_t seed, size_t* second)
{
    Bytes gap = Filler(distance - marker.size() - 2, seed + 1);
    Bytes data = Concat({ Filler(100, seed), { 0x80 }, marker, { 0x81 }, gap, { 0x82 } });
    *second = data.size();
    return Concat({ data, marker, { 0x83 }, Filler(50, seed + 2) });
}

// Random bytes with a copy of `length` of them repeated at `distance`.
Bytes RepeatOf(size_t length, size_t distance, uint64_t seed)
{
    Bytes data = RandomBytes(distance + 20, seed);
    for (size_t i = 0; i < length; i++) {
        unsigned char b = data[data.size() - distance];
        data.push_back(b);
    }
    return Concat({ data, RandomBytes(20, seed + 1) });
}

struct RoundTrip {
    std::string name;
    Bytes data;
};

std::vector<RoundTrip> RoundTripCases()
{
    std::vector<RoundTrip> cases = {
        { "empty", {} },
        { "one byte", { 0x42 } },
        { "two equal bytes", { 7, 7 } },
        { "three equal bytes", { 7, 7, 7 } },
        { "short text", Text("abcabcabcabbbbbbbb") },
        { "run of 282", Bytes(282, 0) },
        { "run of 283", Bytes(283, 1) },
        { "run of 284", Bytes(284, 2) },
        { "run of 285", Bytes(285, 3) },
        { "run of 1 MiB", Bytes(1 << 20, 0xFF) },
        { "random 64 KiB", RandomBytes(65536, 4) },
        { "text 200 KiB", MakeCorpus(CorpusText, 200 * 1024) },
        { "code 200 KiB", MakeCorpus(CorpusCode, 200 * 1024) },
        { "bitmap 200 KiB", MakeCorpus(CorpusBitmap, 200 * 1024) },
        { "audio 200 KiB", MakeCorpus(CorpusAudio, 200 * 1024) },
        { "mixed 3 MiB", MakeCorpus(CorpusMixed, 3 << 20) },
    };
    Bytes period2, period3;
    for (int i = 0; i < 100000; i++) {
        period2.push_back((unsigned char)(i % 2 ? 0xAA : 0x55));
        period3.push_back((unsigned char)(i % 3));
    }
    cases.push_back({ "period 2", period2 });
    cases.push_back({ "period 3", period3 });
    for (size_t d : { 256, 257, 511, 512, 513, 1023, 1024, 1025, 2047, 2048, 2049, 2303, 2304, 4095, 4096,
                      4097, 8191, 8192, 8193 })
        cases.push_back({ "repeat at distance " + std::to_string(d), RepeatOf(300, d, d) });
    for (size_t n : { 2, 3, 4, 5, 6, 7, 10, 11, 26, 27, 281, 282, 283, 284, 564, 565, 566 })
        cases.push_back({ "repeat of length " + std::to_string(n), RepeatOf(n, 700, n) });
    return cases;
}

TEST(CompressBlock, RoundTripsThroughExpandBlock)
{
    for (const RoundTrip& c : RoundTripCases()) {
        Bytes stream = CompressBlock(c.data.data(), c.data.size());
        Bytes out(c.data.size() + 1, 0xEE);
        uint32_t consumed = 0;
        ASSERT_EQ(1, ExpandBlock(out.data(), (uint32_t)c.data.size(), stream.data(), (uint32_t)stream.size(),
                                 &consumed))
            << c.name;
        out.pop_back();
        ASSERT_EQ(c.data, out) << c.name;
        EXPECT_EQ(stream.size(), consumed) << c.name << ": bytes behind the end marker";
    }
}

TEST(CompressBlock, EmptyInputIsTheShortestStream)
{
    EXPECT_EQ(Bytes({ 0x00, 0x00, 0x00, 0x7C, 0xFF }), CompressBlock(0, 0));
}

TEST(CompressBlock, EndsWithTheEndMarkerAndZeroBits)
{
    for (size_t n : { 1, 29, 30, 31, 32, 33, 1000 }) {
        Bytes data = RandomBytes(n, n);
        Bytes stream = CompressBlock(data.data(), data.size());
        std::vector<Token> tokens;
        size_t used = 0;
        ASSERT_TRUE(ReadTokens(stream, &tokens, &used)) << n;
        EXPECT_EQ(stream.size(), used) << n;
        // The same tokens laid out by the test's writer: the same bytes, so
        // the unused bits of the last word are 0 and nothing follows.
        TokenWriter rewritten;
        size_t at = 0;
        for (const Token& t : tokens) {
            if (t.length == 1)
                rewritten.Literal(data[at]);
            else if (t.length == 2)
                rewritten.Short(t.distance);
            else
                rewritten.Long(t.length, t.distance);
            at += t.length;
        }
        EXPECT_EQ(rewritten.End().Stream(), stream) << n;
    }
}

// Which token covers the byte at `position`.
Token TokenAt(const Bytes& stream, size_t position)
{
    std::vector<Token> tokens;
    size_t used = 0;
    EXPECT_TRUE(ReadTokens(stream, &tokens, &used));
    size_t at = 0;
    for (const Token& t : tokens) {
        if (position < at + t.length)
            return t;
        at += t.length;
    }
    return { 0, 0 };
}

TEST(CompressBlock, UsesEachMatchKindUpToItsLongestDistance)
{
    struct Case {
        size_t distance;
        Bytes marker;
        Token expected;       // the token that codes the second marker's first byte
    };
    const Bytes two = { 0xF0, 0xF1 }, three = { 0xF0, 0xF1, 0xF2 };
    const Case cases[] = {
        { 256, two, { 2, 256 } },
        { 257, two, { 2, 257 } },
        { 2303, two, { 2, 2303 } },
        { 2304, two, { 1, 0 } },          // too far for a short match: literals
        { 2304, three, { 3, 2304 } },
        { 8192, three, { 3, 8192 } },
        { 8193, three, { 1, 0 } },
    };
    for (const Case& c : cases) {
        size_t second = 0;
        Bytes data = MarkerAtDistance(c.distance, c.marker, c.distance, &second);
        ASSERT_EQ(0, memcmp(&data[second - c.distance], &data[second], c.marker.size()));
        Bytes stream = CompressBlock(data.data(), data.size());
        Token t = TokenAt(stream, second);
        EXPECT_EQ(c.expected.length, t.length) << "distance " << c.distance;
        EXPECT_EQ(c.expected.distance, t.distance) << "distance " << c.distance;
    }
}

TEST(CompressBlock, SplitsLongRepeatsIntoLongestMatches)
{
    Bytes data = Concat({ RandomBytes(10, 1), Bytes(1 + 3 * 282, 0x33) });
    Bytes stream = CompressBlock(data.data(), data.size());
    std::vector<Token> tokens;
    size_t used = 0;
    ASSERT_TRUE(ReadTokens(stream, &tokens, &used));
    ASSERT_EQ(14u, tokens.size());
    for (size_t i = 11; i < 14; i++)
        EXPECT_EQ((Token{ 282, 1 }), tokens[i]) << i;
}

TEST(CompressBlock, CompressesRedundantDataWellAndNoiseBarelyGrows)
{
    struct Case {
        const char* name;
        Bytes data;
        double largestRatio;
    };
    const Case cases[] = {
        { "zeros", Bytes(1 << 20, 0), 0.012 },   // 25 bits per 282 bytes
        { "text", MakeCorpus(CorpusText, 512 * 1024), 0.5 },
        { "code", MakeCorpus(CorpusCode, 512 * 1024), 0.65 },
        { "bitmap", MakeCorpus(CorpusBitmap, 512 * 1024), 0.6 },
        // Noise is all literals: nine bits a byte plus the end marker.
        { "noise", MakeCorpus(CorpusNoise, 512 * 1024), 9.0 / 8 + 0.001 },
    };
    for (const Case& c : cases) {
        Bytes stream = CompressBlock(c.data.data(), c.data.size());
        EXPECT_LT((double)stream.size() / c.data.size(), c.largestRatio) << c.name;
    }
}

// Inputs that put very many positions on one hash chain, or give every
// position a long match, must still go fast: the test fails by its time limit
// if the search is quadratic.
TEST(CompressBlock, HighlyRepetitiveLargeInputsRoundTrip)
{
    struct Case {
        const char* name;
        Bytes data;
    };
    std::vector<Case> cases(3);
    cases[0].name = "sparse";
    cases[0].data.assign(8 << 20, 0);
    for (size_t i = 0; i < cases[0].data.size(); i += 4099)
        cases[0].data[i] = (unsigned char)(i >> 12);
    cases[1].name = "period 8191";
    cases[1].data.resize(8 << 20);
    for (size_t i = 0; i < cases[1].data.size(); i++)
        cases[1].data[i] = (unsigned char)((i % 8191) * 7);
    cases[2].name = "two-symbol noise";
    cases[2].data = RandomBytes(4 << 20, 77, 2);
    for (const Case& c : cases) {
        Bytes stream = CompressBlock(c.data.data(), c.data.size());
        Bytes out(c.data.size());
        ASSERT_EQ(1, ExpandBlock(out.data(), (uint32_t)out.size(), stream.data(), (uint32_t)stream.size()))
            << c.name;
        EXPECT_TRUE(out == c.data) << c.name;
    }
}

void RecordProgress(size_t done, size_t total, void* context)
{
    std::vector<std::pair<size_t, size_t>>* calls = (std::vector<std::pair<size_t, size_t>>*)context;
    calls->push_back({ done, total });
}

TEST(CompressBlock, ReportsProgressUpToTheTotal)
{
    Bytes data = MakeCorpus(CorpusMixed, 1 << 20);
    std::vector<std::pair<size_t, size_t>> calls;
    Bytes stream = CompressBlock(data.data(), data.size(), RecordProgress, &calls);
    ASSERT_GE(calls.size(), 2u);
    for (size_t i = 0; i < calls.size(); i++) {
        EXPECT_EQ(data.size(), calls[i].second);
        if (i) {
            EXPECT_LE(calls[i - 1].first, calls[i].first);
        }
    }
    EXPECT_EQ(data.size(), calls.back().first);
    EXPECT_EQ(CompressBlock(data.data(), data.size()), stream);
}

} // namespace
