// The layout checks that every reader of an archive asks first, and the
// directory decoding shared by the updater and qz2: native, on crafted images.
#include <gtest/gtest.h>

#include <string.h>

#include "archive/compress.h"
#include "archive/expand.h"
#include "archive/layout.h"
#include "support/archive_images.h"

namespace {

TEST(Layout, DirectoryBlockSizeRefusesWhatDoesNotFitIn32Bits)
{
    struct Case {
        uint32_t count;
        bool fits;
        uint32_t size;
    } cases[] = {
        { 0, true, 16 },
        { 1, true, 296 },
        { 2, true, 576 },
        { 15339168, true, 4294967056u },     // the largest count that fits
        { 15339169, false, 0 },
        { 0x80000000u, false, 0 },
        { 0xFFFFFFFFu, false, 0 },
    };
    for (const Case& c : cases) {
        uint32_t size = 0;
        EXPECT_EQ(c.fits ? 1 : 0, DirectoryBlockSize(c.count, &size)) << c.count;
        if (c.fits) {
            EXPECT_EQ(c.size, size) << c.count;
        }
    }
}

TEST(Layout, DirectoriesWithinTheImage)
{
    struct Plain {
        uint32_t offset, count, imageSize;
        bool fits;
    } plain[] = {
        { 16, 0, 16, true },
        { 16, 1, 296, true },
        { 16, 1, 295, false },
        { 297, 0, 296, false },                 // the offset itself lies behind the image
        { 0xFFFFFFF0u, 1, 0xFFFFFFFFu, false },  // no wrap past 4 GiB
        { 16, 15339168, 0xFFFFFFFFu, true },
        { 17, 15339168, 0xFFFFFFFFu, true },
        { 256, 15339168, 0xFFFFFFFFu, false },
    };
    for (const Plain& c : plain)
        EXPECT_EQ(c.fits ? 1 : 0, PlainDirectoryFits(c.offset, c.count, c.imageSize)) << c.offset << " " << c.count;

    struct Compressed {
        uint32_t offset, imageSize;
        bool fits;
        uint32_t length;
    } compressed[] = {
        { 16, 21, true, 5 },
        { 16, 17, true, 1 },
        { 16, 16, false, 0 },
        { 100, 16, false, 0 },
    };
    for (const Compressed& c : compressed) {
        uint32_t length = 0;
        EXPECT_EQ(c.fits ? 1 : 0, CompressedDirectoryLength(c.offset, c.imageSize, &length)) << c.offset;
        if (c.fits) {
            EXPECT_EQ(c.length, length);
        }
    }
}

// The running offset: raised to multiples of 16, never wrapping.
TEST(Layout, NextDataOffset)
{
    struct Case {
        uint64_t offset;
        uint32_t stored;
        uint64_t next;
    } cases[] = {
        { 16, 0, 16 }, { 16, 1, 32 }, { 16, 16, 32 }, { 16, 17, 48 }, { 32, 31, 64 },
        { 16, 0xFFFFFFFFu, 16 + 0x100000000ull },
        { 0xFFFFFFF0u, 0xFFFFFFF1u, 0xFFFFFFF0ull + 0x100000000ull },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.next, NextDataOffset(c.offset, c.stored)) << c.offset << " + " << c.stored;
}

TEST(Layout, EntryFitsImage)
{
    struct Case {
        const char* label;
        unsigned char compression;
        uint32_t expanded, stored;
        uint64_t offset;
        uint32_t imageSize;
        bool fits;
    } cases[] = {
        { "plain, ends at the image's end", 0, 10, 10, 16, 26, true },
        { "plain, one byte past", 0, 10, 10, 16, 25, false },
        { "plain, empty at the end", 0, 0, 0, 26, 26, true },
        { "plain, offset past the end", 0, 0, 0, 27, 26, false },
        { "plain, sizes differ", 0, 11, 10, 16, 100, false },
        { "plain, other compression bits", 0xFD, 10, 10, 16, 100, true },
        { "compressed, offset beyond 4 GiB", EntryCompressedBit, 10, 5, 0x100000010ull, 0xFFFFFFFFu, false },
        { "compressed, smaller", EntryCompressedBit, 5, 10, 16, 100, true },
        { "compressed, 91 times its stream", EntryCompressedBit, 910, 10, 16, 100, true },
        { "compressed, more than 91 times", EntryCompressedBit, 911, 10, 16, 100, false },
        { "compressed, empty stream", EntryCompressedBit, 0, 0, 16, 100, true },
    };
    for (const Case& c : cases) {
        ArchiveEntry e = MakeRecord("x", c.compression, 0, 0, c.expanded, c.stored);
        EXPECT_EQ(c.fits ? 1 : 0, EntryFitsImage(&e, c.offset, c.imageSize)) << c.label;
    }
}

// No stream of the format expands beyond 91 times its length, so the bound
// never refuses a valid one: the densest streams that the compressor makes
// stay well inside it.
TEST(Layout, ExpansionBoundHoldsForTheDensestStreams)
{
    for (size_t size : { (size_t)282 * 4, (size_t)1 << 20, (size_t)8 << 20 }) {
        Bytes zeros(size, 0);
        Bytes stream = CompressBlock(zeros.data(), zeros.size());
        EXPECT_EQ(1, ExpansionPossible((uint32_t)stream.size(), size)) << size << " from " << stream.size();
    }
    // The bound itself: 91 bytes for each byte of stream.
    EXPECT_EQ(0, ExpansionPossible(5, 456));
    EXPECT_EQ(1, ExpansionPossible(5, 455));
}

struct Form {
    const char* label;
    uint32_t flags;
};

const Form Forms[] = {
    { "plain", 0 },
    { "compressed", ArchiveFlagCompressed },
    { "scrambled", ArchiveFlagScrambled },
    { "compressed and scrambled", ArchiveFlagCompressed | ArchiveFlagScrambled },
};

std::vector<FixtureEntry> SomeEntries()
{
    std::vector<FixtureEntry> e(3);
    e[0].Name = "UPDATE.INI";
    e[0].Contents = TextBytes("[SETUP]\r\n");
    e[1].Name = "a.dat";
    e[1].Contents = Bytes(1000, 7);
    e[1].Compress = true;
    e[2].Name = "\x95\x5C.txt";
    e[2].Contents = NoiseBytes(50, 1);
    e[2].Scramble = true;
    return e;
}

// The directory's stored bytes as a reader gets them from an image.
Bytes StoredDirectory(const Bytes& image)
{
    uint32_t offset = ReadLE32(&image[DirectoryOffsetField]);
    return Bytes(image.begin() + offset, image.end());
}

TEST(DecodeDirectory, EveryFormGivesTheRecords)
{
    for (const Form& form : Forms) {
        for (size_t count : { (size_t)0, (size_t)3 }) {
            std::vector<FixtureEntry> entries = SomeEntries();
            entries.resize(count);
            ArchiveParts parts = BuildParts(entries);
            Bytes image = AssembleImage(parts, form.flags);
            Bytes stored = StoredDirectory(image);
            std::vector<ArchiveEntry> records(count + 1);
            ASSERT_EQ(1, DecodeDirectory(form.flags, (uint32_t)count, stored.data(), (uint32_t)stored.size(),
                                         records.data()))
                << form.label << ", " << count;
            if (count) {
                EXPECT_EQ(0, memcmp(records.data(), parts.Records.data(), count * ArchiveEntrySize)) << form.label;
            }
        }
    }
}

TEST(DecodeDirectory, PlainDirectoryDecodesInPlace)
{
    ArchiveParts parts = BuildParts(SomeEntries());
    Bytes stored = StoredDirectory(AssembleImage(parts, ArchiveFlagScrambled));
    ArchiveEntry* records = reinterpret_cast<ArchiveEntry*>(stored.data());
    ASSERT_EQ(1, DecodeDirectory(ArchiveFlagScrambled, 3, stored.data(), (uint32_t)stored.size(), records));
    EXPECT_EQ(0, memcmp(stored.data(), parts.Records.data(), stored.size()));
}

// Crafted directories: each one refused, and nothing written beyond the
// records' room (the guard bytes behind it stay).
TEST(DecodeDirectory, CraftedDirectoriesAreRefused)
{
    struct Case {
        const char* label;
        uint32_t flags;
        int countChange;
        void (*craft)(ArchiveParts& parts, Bytes& stored);
    } cases[] = {
        { "plain, one byte short", 0, 0, [](ArchiveParts&, Bytes& s) { s.pop_back(); } },
        { "plain, one byte over", 0, 0, [](ArchiveParts&, Bytes& s) { s.push_back(0); } },
        { "compressed, one record more in the stream", ArchiveFlagCompressed, -1, 0 },
        { "compressed, one record less in the stream", ArchiveFlagCompressed, +1, 0 },
        { "compressed, cut before the end marker", ArchiveFlagCompressed, 0,
          [](ArchiveParts&, Bytes& s) { s.resize(s.size() - 1); } },
        { "compressed and scrambled, one byte appended", ArchiveFlagCompressed | ArchiveFlagScrambled, 0,
          [](ArchiveParts&, Bytes& s) { s.push_back(0); } },
        { "compressed, stream of noise", ArchiveFlagCompressed, 0,
          [](ArchiveParts&, Bytes& s) { s = NoiseBytes(s.size(), 5); } },
        { "compressed, empty stream", ArchiveFlagCompressed, 0, [](ArchiveParts&, Bytes& s) { s.clear(); } },
        { "name without NUL", ArchiveFlagCompressed | ArchiveFlagScrambled, 0,
          [](ArchiveParts& p, Bytes& s) {
              memset(p.Records[2].Name, 'N', ArchiveNameSize);
              Bytes image = AssembleImage(p, ArchiveFlagCompressed | ArchiveFlagScrambled);
              s = StoredDirectory(image);
          } },
        { "name without NUL, plain", 0, 0,
          [](ArchiveParts& p, Bytes& s) {
              memset(p.Records[0].Name, 'N', ArchiveNameSize);
              s = StoredDirectory(AssembleImage(p, 0));
          } },
    };
    for (const Case& c : cases) {
        ArchiveParts parts = BuildParts(SomeEntries());
        Bytes stored = StoredDirectory(AssembleImage(parts, c.flags));
        if (c.craft)
            c.craft(parts, stored);
        uint32_t count = (uint32_t)(parts.Records.size() + c.countChange);
        Bytes room(count * ArchiveEntrySize + 64, 0xA5);
        EXPECT_EQ(0, DecodeDirectory(c.flags, count, stored.data(), (uint32_t)stored.size(),
                                     reinterpret_cast<ArchiveEntry*>(room.data())))
            << c.label;
        for (size_t i = count * ArchiveEntrySize; i < room.size(); i++)
            ASSERT_EQ(0xA5, room[i]) << c.label << ": written at " << i;
    }
}

} // namespace
