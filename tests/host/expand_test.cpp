#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <vector>

#include "archive/expand.h"
#include "test_data.h"
#include "token_stream.h"

namespace {

typedef std::vector<unsigned char> Bytes;

const size_t GuardSize = 64;
const unsigned char GuardByte = 0xE7;

struct Expansion {
    int result;
    Bytes output;          // the outSize bytes between the guards
    bool guardsIntact;
    uint32_t consumed;
};

// Expands into a buffer of exactly outSize bytes with guard bytes on both
// sides; the stream sits in a block of exactly its own length.
Expansion Expand(const Bytes& stream, size_t outSize)
{
    Bytes buffer(outSize + 2 * GuardSize, GuardByte);
    Bytes input(stream);
    Expansion e;
    e.consumed = 0xDEADBEEF;
    e.result = ExpandBlock(buffer.data() + GuardSize, (uint32_t)outSize, input.empty() ? 0 : input.data(),
                           (uint32_t)input.size(), &e.consumed);
    e.output.assign(buffer.begin() + GuardSize, buffer.begin() + GuardSize + outSize);
    e.guardsIntact = true;
    for (size_t i = 0; i < GuardSize; i++)
        if (buffer[i] != GuardByte || buffer[GuardSize + outSize + i] != GuardByte)
            e.guardsIntact = false;
    return e;
}

// The plain forward copy that every match must equal.
void ReferenceCopy(Bytes& out, unsigned distance, unsigned length)
{
    for (unsigned i = 0; i < length; i++)
        out.push_back(out[out.size() - distance]);
}

void ExpectExpandsTo(const Bytes& stream, const Bytes& expected, const char* what)
{
    Expansion e = Expand(stream, expected.size());
    ASSERT_EQ(1, e.result) << what;
    EXPECT_EQ(expected, e.output) << what;
    EXPECT_EQ(stream.size(), e.consumed) << what;
    EXPECT_TRUE(e.guardsIntact) << what;
}

void ExpectRejected(const Bytes& stream, size_t outSize, const char* what)
{
    Expansion e = Expand(stream, outSize);
    EXPECT_EQ(0, e.result) << what;
    EXPECT_TRUE(e.guardsIntact) << what;
}

// A writer that keeps the expected output beside the stream.
struct Script {
    TokenWriter writer;
    Bytes output;

    Script& Literals(const Bytes& bytes)
    {
        for (unsigned char b : bytes) {
            writer.Literal(b);
            output.push_back(b);
        }
        return *this;
    }
    Script& Copy(unsigned length, unsigned distance)
    {
        if (length == 2)
            writer.Short(distance);
        else
            writer.Long(length, distance);
        ReferenceCopy(output, distance, length);
        return *this;
    }
    Bytes Stream()
    {
        TokenWriter ended = writer;
        return ended.End().Stream();
    }
};

TEST(ExpandBlock, WorkedExamplesByteForByte)
{
    struct Example {
        Bytes stream;
        Bytes output;
    };
    Bytes thirtyTwo;
    Bytes third = { 0xFF, 0xFF, 0xFF, 0xFF };
    for (int i = 0; i < 32; i++) {
        thirtyTwo.push_back((unsigned char)(0x40 + i));
        third.push_back((unsigned char)(0x40 + i));
    }
    third.insert(third.end(), { 0x00, 0x00, 0x00, 0x7C, 0xFF });
    const Example examples[] = {
        { { 0x00, 0x00, 0x00, 0x7C, 0xFF }, {} },
        { { 0x7C, 0x22, 0x2A, 0xE4, 0x61, 0x62, 0x63, 0x01, 0x00, 0x00, 0xFF },
          { 0x61, 0x62, 0x63, 0x61, 0x62, 0x63, 0x61, 0x62, 0x63, 0x61, 0x62, 0x62, 0x62, 0x62, 0x62, 0x62,
            0x62, 0x62 } },
        { third, thirtyTwo },
    };
    for (const Example& x : examples) {
        ASSERT_NO_FATAL_FAILURE(ExpectExpandsTo(x.stream, x.output, "example"));
    }
    ASSERT_EQ(41u, third.size());

    // The test's own writer lays the tokens of the examples out the same way.
    Script second;
    second.Literals({ 0x61, 0x62, 0x63 }).Copy(8, 3).Copy(2, 1).Copy(5, 1);
    EXPECT_EQ(examples[1].stream, second.Stream());
    Script literals;
    literals.Literals(thirtyTwo);
    EXPECT_EQ(third, literals.Stream());
}

TEST(ExpandBlock, SmallTokenCases)
{
    struct Case {
        const char* what;
        Script script;
    };
    Case cases[] = {
        { "literal then the longest match at distance 1", Script() },
        { "short match 0 0 repeats the last byte twice", Script() },
        { "short matches at the edges of their two codes", Script() },
        { "long match straddling a control word", Script() },
    };
    cases[0].script.Literals({ 0x5A }).Copy(282, 1);
    cases[1].script.Literals({ 1, 2, 3 }).Copy(2, 1);
    cases[2].script.Literals(RandomBytes(300, 1)).Copy(2, 256).Copy(2, 257).Copy(2, 1);
    cases[3].script.Literals(RandomBytes(29, 2)).Copy(30, 17).Literals({ 9 }).Copy(282, 60);
    for (Case& c : cases)
        ASSERT_NO_FATAL_FAILURE(ExpectExpandsTo(c.script.Stream(), c.script.output, c.what));
    EXPECT_EQ(Bytes(283, 0x5A), cases[0].script.output);
    EXPECT_EQ(Bytes({ 1, 2, 3, 3, 3 }), cases[1].script.output);
}

// Every length from 3 to 282 at distances of each offset class.
TEST(ExpandBlock, EveryLongMatchLength)
{
    for (unsigned distance : { 1u, 2u, 3u, 4u, 5u, 77u, 600u, 1500u, 3000u, 8192u }) {
        Bytes prefix = RandomBytes(distance, distance);
        for (unsigned length = 3; length <= 282; length++) {
            Script s;
            s.Literals(prefix).Copy(length, distance).Literals({ 0xAB });
            Expansion e = Expand(s.Stream(), s.output.size());
            ASSERT_EQ(1, e.result) << "length " << length << " distance " << distance;
            ASSERT_EQ(s.output, e.output) << "length " << length << " distance " << distance;
        }
    }
}

// Both sides of every boundary of the offset and length codes.
TEST(ExpandBlock, EveryOffsetAndLengthClassBoundary)
{
    const unsigned distances[] = { 1, 2, 511, 512, 513, 514, 1023, 1024, 1025, 1026, 2047, 2048, 2049, 2050,
                                   4095, 4096, 4097, 4098, 8191, 8192 };
    const unsigned lengths[] = { 3, 4, 5, 6, 7, 10, 11, 26, 27, 282 };
    Bytes prefix = RandomBytes(8192, 99);
    for (unsigned distance : distances) {
        for (unsigned length : lengths) {
            Script s;
            s.Literals(prefix).Copy(length, distance).Copy(length, distance);
            Expansion e = Expand(s.Stream(), s.output.size());
            ASSERT_EQ(1, e.result) << "length " << length << " distance " << distance;
            ASSERT_EQ(s.output, e.output) << "length " << length << " distance " << distance;
            ASSERT_TRUE(e.guardsIntact);
        }
    }
}

// Copies that read what they have just written, including the pattern fills.
TEST(ExpandBlock, OverlappingCopiesEqualTheByteByByteCopy)
{
    for (unsigned distance = 1; distance <= 12; distance++) {
        for (unsigned length = 2; length <= 282; length++) {
            Script s;
            s.Literals(RandomBytes(distance + 3, length)).Copy(length, distance).Copy(length, distance);
            Expansion e = Expand(s.Stream(), s.output.size());
            ASSERT_EQ(1, e.result) << "length " << length << " distance " << distance;
            ASSERT_EQ(s.output, e.output) << "length " << length << " distance " << distance;
            ASSERT_TRUE(e.guardsIntact) << "length " << length << " distance " << distance;
        }
    }
}

// Long chains of random tokens: every kind of token at every bit position of
// the control words, and matches over the output of earlier matches.
TEST(ExpandBlock, RandomTokenSequencesEqualTheReference)
{
    for (uint64_t seed = 1; seed <= 30; seed++) {
        Bytes dice = RandomBytes(4000, seed);
        size_t d = 0;
        auto roll = [&](unsigned n) {
            unsigned v = dice[d % dice.size()] | (dice[(d + 1) % dice.size()] << 8);
            d += 2;
            return v % n;
        };
        Script s;
        s.Literals({ (unsigned char)seed });
        for (int t = 0; t < 600; t++) {
            unsigned kind = roll(4);
            unsigned limit = (unsigned)s.output.size();
            if (kind == 0) {
                s.Literals({ (unsigned char)roll(256) });
            } else if (kind == 1 && limit >= 1) {
                unsigned max = limit < 2303 ? limit : 2303;
                s.Copy(2, 1 + roll(max));
            } else {
                unsigned max = limit < 8192 ? limit : 8192;
                unsigned distance = roll(3) == 0 ? 1 + roll(max < 4 ? max : 4) : 1 + roll(max);
                s.Copy(3 + roll(280), distance);
            }
        }
        ASSERT_NO_FATAL_FAILURE(ExpectExpandsTo(s.Stream(), s.output, "random tokens"));
    }
}

TEST(ExpandBlock, ShortMatchAtDistance2303AndTheEndMarkerShareACode)
{
    Bytes prefix = RandomBytes(2303, 5);
    TokenWriter body;
    for (unsigned char b : prefix)
        body.Literal(b);

    TokenWriter copy = body;
    copy.Code("011").Byte(255).Code("110").End();
    Bytes expected = prefix;
    ReferenceCopy(expected, 2303, 2);
    ExpectExpandsTo(copy.Stream(), expected, "distance 2303");

    TokenWriter end = body;
    end.Code("011").Byte(255).Code("111");
    ExpectExpandsTo(end.Stream(), prefix, "end marker");
    ExpectRejected(end.Stream(), prefix.size() + 2, "end marker where a copy was expected");
}

TEST(ExpandBlock, LeftoverBitsOfTheLastControlWordAreIgnored)
{
    Bytes second = { 0x7C, 0x22, 0x2A, 0xE4, 0x61, 0x62, 0x63, 0x01, 0x00, 0x00, 0xFF };
    Bytes secondWithOnes = second;
    secondWithOnes[0] = 0x7F;
    Expansion a = Expand(second, 18), b = Expand(secondWithOnes, 18);
    ASSERT_EQ(1, b.result);
    EXPECT_EQ(a.output, b.output);

    for (unsigned n : { 0u, 1u, 5u, 20u, 31u, 32u, 33u, 100u }) {
        Script s;
        s.Literals(RandomBytes(n + 1, n)).Copy(4, 1);
        s.writer.End();
        Expansion zeros = Expand(s.writer.Stream(), s.output.size());
        Expansion ones = Expand(s.writer.StreamWithOnes(), s.output.size());
        ASSERT_EQ(1, zeros.result) << n;
        ASSERT_EQ(1, ones.result) << n;
        EXPECT_EQ(s.output, ones.output) << n;
    }
}

TEST(ExpandBlock, ReportsTheBytesUpToTheEndMarkerWhenMoreFollow)
{
    Bytes stream = { 0x7C, 0x22, 0x2A, 0xE4, 0x61, 0x62, 0x63, 0x01, 0x00, 0x00, 0xFF, 0x12, 0x34, 0x56, 0x78, 0x9A };
    Expansion e = Expand(stream, 18);
    ASSERT_EQ(1, e.result);
    EXPECT_EQ(11u, e.consumed);
}

TEST(ExpandBlock, RejectsMatchesReachingBeforeTheStart)
{
    struct Case {
        const char* what;
        Script script;
        size_t outSize;
    };
    Case cases[] = {
        { "long match as the first token", Script(), 3 },
        { "short match as the first token", Script(), 2 },
        { "short match one byte too far", Script(), 3 },
        { "long match one byte too far", Script(), 8 },
        { "distance 8192 after 8191 bytes", Script(), 8194 },
        { "far short match", Script(), 302 },
    };
    cases[0].script.writer.Long(3, 1);
    cases[1].script.writer.Short(1);
    cases[2].script.Literals({ 7 }).writer.Short(2);
    cases[3].script.Literals({ 1, 2, 3, 4 }).writer.Long(4, 5);
    cases[4].script.Literals(RandomBytes(8191, 3)).writer.Long(3, 8192);
    cases[5].script.Literals(RandomBytes(300, 4)).writer.Short(2000);
    for (Case& c : cases)
        ExpectRejected(c.script.Stream(), c.outSize, c.what);
}

// A valid stream cut anywhere before its end lacks bytes that the decoder needs.
TEST(ExpandBlock, RejectsEveryTruncationOfAValidStream)
{
    Script small;
    small.Literals({ 0x61, 0x62, 0x63 }).Copy(8, 3).Copy(2, 1).Copy(5, 1);
    Script mixed;
    mixed.Literals(RandomBytes(40, 8)).Copy(2, 300 % 40 + 1).Copy(282, 3).Literals(RandomBytes(70, 9));
    mixed.Copy(100, 50).Copy(2, 1).Copy(27, 110);
    Bytes tailWord;
    {
        // The last three bits of the end marker start a control word of their own.
        Script s;
        s.Literals(RandomBytes(29, 10));
        s.writer.Code("011").Byte(255).Code("111");
        tailWord = s.writer.Stream();
        ASSERT_EQ(1, Expand(tailWord, 29).result);
        ASSERT_EQ(4u + 29 + 1 + 4, tailWord.size());
    }
    struct Case {
        Bytes stream;
        size_t outSize;
    };
    const Case cases[] = {
        { small.Stream(), small.output.size() },
        { mixed.Stream(), mixed.output.size() },
        { tailWord, 29 },
    };
    for (const Case& c : cases) {
        ASSERT_EQ(1, Expand(c.stream, c.outSize).result);
        for (size_t cut = 0; cut < c.stream.size(); cut++) {
            Bytes part(c.stream.begin(), c.stream.begin() + cut);
            Expansion e = Expand(part, c.outSize);
            EXPECT_EQ(0, e.result) << "cut at " << cut << " of " << c.stream.size();
            EXPECT_TRUE(e.guardsIntact) << "cut at " << cut;
        }
    }
}

TEST(ExpandBlock, RejectsOutputBeyondTheExpectedSize)
{
    Script literals;
    literals.Literals(RandomBytes(50, 1));
    Script endsWithMatch;
    endsWithMatch.Literals(RandomBytes(10, 2)).Copy(200, 3);
    Script endsWithShort;
    endsWithShort.Literals(RandomBytes(10, 3)).Copy(2, 10);
    for (Script* s : { &literals, &endsWithMatch, &endsWithShort }) {
        Bytes stream = s->Stream();
        size_t n = s->output.size();
        for (size_t outSize : { (size_t)0, (size_t)1, n / 2, n - 2, n - 1 })
            ExpectRejected(stream, outSize, "too small a buffer");
    }
}

TEST(ExpandBlock, RejectsAnEndMarkerBeforeTheOutputIsFull)
{
    Script s;
    s.Literals(RandomBytes(10, 6)).Copy(20, 1);
    Bytes stream = s.Stream();
    for (size_t extra : { 1, 2, 4096 })
        ExpectRejected(stream, s.output.size() + extra, "short output");
    ExpectRejected({ 0x00, 0x00, 0x00, 0x7C, 0xFF }, 1, "empty stream for one byte");
}

TEST(ExpandBlock, RejectsStreamsTooShortForAControlWord)
{
    for (size_t n = 0; n < 4; n++)
        ExpectRejected(Bytes(n, 0xFF), 0, "no control word");
}

// Arbitrary bytes either expand or are refused, and never write outside the buffer.
TEST(ExpandBlock, ArbitraryBytesNeverWriteOutsideTheBuffer)
{
    for (uint64_t seed = 1; seed <= 3000; seed++) {
        Bytes dice = RandomBytes(2, seed + 100000);
        Bytes stream = RandomBytes(4 + dice[0] % 64, seed);
        // Sprinkle in literal-heavy words so that some streams write a while.
        if (seed % 3 == 0)
            stream[0] = stream[1] = stream[2] = stream[3] = 0xFF;
        Expansion e = Expand(stream, dice[1] % 40);
        ASSERT_TRUE(e.guardsIntact) << "seed " << seed;
        if (e.result) {
            EXPECT_LE(e.consumed, stream.size());
        }
    }
}

} // namespace
