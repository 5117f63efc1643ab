#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <vector>

#include "archive/format.h"
#include "archive/scramble.h"
#include "test_data.h"

namespace {

uint32_t RotateRight(uint32_t v, unsigned n)
{
    n &= 31;
    return n ? (v >> n) | (v << (32 - n)) : v;
}

uint32_t RotateLeft(uint32_t v, unsigned n)
{
    return RotateRight(v, 32 - (n & 31));
}

unsigned Ones(uint32_t v)
{
    unsigned n = 0;
    for (; v; v >>= 1)
        n += v & 1;
    return n;
}

// The keystream for a length: what scrambling zeros gives, as words.
std::vector<uint32_t> Keystream(uint32_t length)
{
    std::vector<unsigned char> block(length, 0);
    ScrambleBlock(block.data(), length);
    std::vector<uint32_t> words;
    for (uint32_t i = 0; i + 4 <= length; i += 4)
        words.push_back(ReadLE32(&block[i]));
    return words;
}

// The rotation that turns each key word into the next; -1 when the words are
// not all related by one and the same rotation.
int ObservedStep(const std::vector<uint32_t>& keys)
{
    for (int s = 0; s < 32; s++) {
        bool all = true;
        for (size_t i = 0; i + 1 < keys.size() && all; i++)
            all = RotateLeft(keys[i], s) == keys[i + 1];
        if (all)
            return s;
    }
    return -1;
}

TEST(ScrambleBlock, LeavesBlocksShorterThanAWordUnchanged)
{
    for (uint32_t length = 0; length < 4; length++) {
        unsigned char block[8] = { 1, 2, 3, 4, 5, 6, 7, 8 };
        ScrambleBlock(block, length);
        const unsigned char expected[8] = { 1, 2, 3, 4, 5, 6, 7, 8 };
        EXPECT_EQ(0, memcmp(block, expected, 8)) << "length " << length;
    }
}

TEST(ScrambleBlock, FourBytesAreOneWordCombinedWithTheInitialKey)
{
    unsigned char block[8] = { 0x10, 0x32, 0x54, 0x76, 0xAA, 0xBB, 0xCC, 0xDD };
    ScrambleBlock(block, 4);
    uint32_t key = RotateRight(4u ^ ScrambleConstant, 4);
    EXPECT_EQ(0x76543210u ^ key, ReadLE32(block));
    EXPECT_EQ(0xDDCCBBAAu, ReadLE32(block + 4)) << "bytes behind the block";
}

TEST(ScrambleBlock, SevenBytesChangeTheWordAndKeepTheTail)
{
    unsigned char block[7] = { 'a', 'b', 'c', 'd', 'e', 'f', 'g' };
    ScrambleBlock(block, 7);
    uint32_t key = RotateRight(7u ^ ScrambleConstant, 7);
    EXPECT_EQ(ReadLE32((const unsigned char*)"abcd") ^ key, ReadLE32(block));
    for (int i = 0; i < 4; i++)
        EXPECT_NE("abcd"[i], block[i]) << "byte " << i;
    EXPECT_EQ(0, memcmp(block + 4, "efg", 3));
}

TEST(ScrambleBlock, TwiceWithTheSameLengthRestoresEveryLength)
{
    for (uint32_t length = 0; length <= 300; length++) {
        std::vector<unsigned char> original = RandomBytes(length, length + 1);
        std::vector<unsigned char> block = original;
        ScrambleBlock(block.data(), length);
        if (length >= 4) {
            EXPECT_NE(original, block) << "length " << length;
        }
        ScrambleBlock(block.data(), length);
        EXPECT_EQ(original, block) << "length " << length;
    }
}

TEST(ScrambleBlock, KeystreamDependsOnTheLengthAloneNotOnContentsOrAddress)
{
    for (uint32_t length : { 4u, 5u, 8u, 63u, 280u, 281u, 4096u + 3u }) {
        std::vector<unsigned char> a = RandomBytes(length, 11);
        std::vector<unsigned char> b(length + 3);
        unsigned char* odd = b.data() + 3;                 // not word aligned
        memcpy(odd, RandomBytes(length, 12).data(), length);
        std::vector<unsigned char> a0 = a, b0(odd, odd + length);
        ScrambleBlock(a.data(), length);
        ScrambleBlock(odd, length);
        for (uint32_t i = 0; i < length; i++)
            ASSERT_EQ(a[i] ^ a0[i], odd[i] ^ b0[i]) << "length " << length << " byte " << i;
    }
}

TEST(ScrambleBlock, KeyWordsFollowOneRotationStepPerLength)
{
    for (uint32_t length : { 8u, 12u, 100u, 280u, 1023u, 5600u }) {
        std::vector<uint32_t> keys = Keystream(length);
        ASSERT_EQ(RotateRight(length ^ ScrambleConstant, length % 32), keys[0]) << length;
        EXPECT_EQ((int)(ScrambleRotations[Ones(length) % 8] % 32), ObservedStep(keys)) << length;
    }
}

TEST(ScrambleBlock, LengthsWhoseOneBitsDifferByEightShareTheStep)
{
    struct Pair {
        uint32_t a, b;    // the second has eight more 1 bits than the first
    };
    const Pair pairs[] = {
        { 0x100, 0x1FF },          // 1 and 9 bits
        { 0x1000, 0xFF00 + 0x10000 },
        { 0x300, 0x3FF00 },        // 2 and 10 bits
        { 0x707, 0x3FFF },         // 6 and 14 bits
    };
    for (const Pair& p : pairs) {
        ASSERT_EQ(Ones(p.a) + 8, Ones(p.b));
        int stepA = ObservedStep(Keystream(p.a));
        EXPECT_NE(-1, stepA);
        EXPECT_EQ(stepA, ObservedStep(Keystream(p.b))) << std::hex << p.a << " " << p.b;
    }
    // And lengths of different classes do not all share one step.
    EXPECT_NE(ObservedStep(Keystream(0x100)), ObservedStep(Keystream(0x300)));
}

TEST(ScrambleBlock, KeyMaterialIsNotTrivial)
{
    unsigned ones = Ones(ScrambleConstant);
    EXPECT_GE(ones, 8u);
    EXPECT_LE(ones, 24u);
    for (int i = 0; i < 8; i++) {
        EXPECT_NE(0, ScrambleRotations[i] % 32) << "a step of 0 repeats one key word";
        for (int j = 0; j < i; j++)
            EXPECT_NE(ScrambleRotations[i] % 32, ScrambleRotations[j] % 32) << i << " " << j;
    }
    // A block of zeros, such as the unused part of a name, does not stay zero.
    std::vector<uint32_t> keys = Keystream(280);
    for (size_t i = 0; i < keys.size(); i++)
        EXPECT_NE(0u, keys[i]) << "word " << i;
}

} // namespace
