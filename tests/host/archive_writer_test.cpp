// The archive writer: every option reads back through the layout checks and
// the decoder; its refusals.
#include <gtest/gtest.h>

#include <string.h>

#include <stdexcept>

#include "archive/archive_writer.h"
#include "archive/expand.h"
#include "archive/layout.h"
#include "archive/scramble.h"
#include "support/archive_images.h"

namespace {

std::vector<WriterEntry> Inputs()
{
    std::vector<WriterEntry> e(4);
    e[0].Name = "UPDATE.INI";
    e[0].Timestamp = FixtureTime;
    e[0].Contents = TextBytes("[SETUP]\r\nGameTitle=Game\r\n[UPDATE]\r\nUpdateFile00=a.dat\r\n");
    e[1].Name = "text.txt";
    e[1].Timestamp = FixtureTime + 1;
    for (int i = 0; i < 300; i++)
        e[1].Contents.insert(e[1].Contents.end(), { 'l', 'i', 'n', 'e', (unsigned char)('0' + i % 10), '\n' });
    e[2].Name = "noise.bin";
    e[2].Timestamp = 0xFFFFFFFFFFFFFFFFull;
    e[2].Contents = NoiseBytes(999, 4);
    e[3].Name = "\x83\x5C\x83\x74\x83\x67\x95\x5C.txt";
    e[3].Contents = Bytes();
    return e;
}

// Reads an image the way the updater does, entry by entry.
void ExpectReadsBack(const Bytes& image, const std::vector<WriterEntry>& inputs, const WriterOptions& o,
                     const std::string& label)
{
    const ArchiveHeader* h = reinterpret_cast<const ArchiveHeader*>(image.data());
    ASSERT_TRUE(HasArchiveMagic(h)) << label;
    uint32_t flags = HeaderFlags(h);
    EXPECT_EQ((o.CompressDirectory ? (uint32_t)ArchiveFlagCompressed : 0u) | (o.ScrambleDirectory ? (uint32_t)ArchiveFlagScrambled : 0u),
              flags)
        << label;
    uint32_t count = HeaderEntryCount(h), offset = HeaderDirectoryOffset(h);
    ASSERT_EQ(inputs.size(), count) << label;
    uint32_t length;
    if (o.CompressDirectory) {
        ASSERT_EQ(1, CompressedDirectoryLength(offset, (uint32_t)image.size(), &length)) << label;
    } else {
        ASSERT_EQ(1, PlainDirectoryFits(offset, count, (uint32_t)image.size())) << label;
        length = count * ArchiveEntrySize;
        EXPECT_EQ(image.size(), offset + length) << label << ": the directory is the last thing";
    }
    Bytes stored(image.begin() + offset, image.begin() + offset + length);
    std::vector<ArchiveEntry> records(count);
    ASSERT_EQ(1, DecodeDirectory(flags, count, stored.data(), length, records.data())) << label;

    uint64_t dataOffset = ArchiveHeaderSize;
    for (uint32_t i = 0; i < count; i++) {
        const ArchiveEntry* e = &records[i];
        const WriterEntry& in = inputs[i];
        std::string what = label + ", " + in.Name;
        EXPECT_STREQ(in.Name.c_str(), e->Name) << what;
        EXPECT_EQ(in.Timestamp, EntryTimestamp(e)) << what;
        EXPECT_EQ(in.Contents.size(), EntryExpandedSize(e)) << what;
        EXPECT_EQ(o.ScrambleEntries, IsEntryScrambled(e)) << what;
        if (!o.CompressEntries) {
            EXPECT_FALSE(IsEntryCompressed(e)) << what;
        }
        ASSERT_EQ(1, EntryFitsImage(e, dataOffset, (uint32_t)image.size())) << what;
        EXPECT_EQ(0u, dataOffset % 16) << what;
        Bytes bytes(image.begin() + dataOffset, image.begin() + dataOffset + EntryStoredSize(e));
        if (IsEntryScrambled(e))
            ScrambleBlock(bytes.data(), (uint32_t)bytes.size());
        if (IsEntryCompressed(e)) {
            EXPECT_LT(EntryStoredSize(e), EntryExpandedSize(e)) << what << ": compressed only when smaller";
            Bytes out(EntryExpandedSize(e));
            ASSERT_EQ(1, ExpandBlock(out.data(), (uint32_t)out.size(), bytes.data(), (uint32_t)bytes.size())) << what;
            bytes = out;
        }
        EXPECT_EQ(in.Contents, bytes) << what;
        // Fill bytes are zero.
        uint64_t next = NextDataOffset(dataOffset, EntryStoredSize(e));
        for (uint64_t k = dataOffset + EntryStoredSize(e); k < next; k++)
            ASSERT_EQ(0, image[k]) << what;
        dataOffset = next;
    }
    EXPECT_EQ(offset, dataOffset) << label << ": the directory follows the data area";
}

TEST(BuildArchive, EveryOptionReadsBack)
{
    struct Case {
        const char* label;
        bool compress, scramble, compressDirectory, scrambleDirectory;
    } cases[] = {
        { "defaults", true, false, true, false },
        { "stored", false, false, true, false },
        { "scrambled entries", true, true, true, false },
        { "plain directory", true, false, false, false },
        { "scrambled directory", true, false, true, true },
        { "plain scrambled directory", false, true, false, true },
        { "everything scrambled", true, true, true, true },
    };
    for (const Case& c : cases) {
        WriterOptions o;
        o.CompressEntries = c.compress;
        o.ScrambleEntries = c.scramble;
        o.CompressDirectory = c.compressDirectory;
        o.ScrambleDirectory = c.scrambleDirectory;
        ExpectReadsBack(BuildArchive(Inputs(), o), Inputs(), o, c.label);
    }
}

TEST(BuildArchive, DefaultsCompressOnlyWhatGetsSmaller)
{
    Bytes image = BuildArchive(Inputs(), WriterOptions());
    const ArchiveHeader* h = reinterpret_cast<const ArchiveHeader*>(image.data());
    uint32_t offset = HeaderDirectoryOffset(h);
    Bytes stored(image.begin() + offset, image.end());
    std::vector<ArchiveEntry> records(4);
    ASSERT_EQ(1, DecodeDirectory(HeaderFlags(h), 4, stored.data(), (uint32_t)stored.size(), records.data()));
    EXPECT_TRUE(IsEntryCompressed(&records[1])) << "text";
    EXPECT_FALSE(IsEntryCompressed(&records[2])) << "noise is stored";
    EXPECT_FALSE(IsEntryCompressed(&records[3])) << "empty is stored";
    EXPECT_FALSE(IsEntryScrambled(&records[0]));
}

TEST(BuildArchive, EmptyArchive)
{
    WriterOptions plain;
    plain.CompressDirectory = false;
    Bytes image = BuildArchive({}, plain);
    EXPECT_EQ(Bytes({ 'Q', 'Z', '2', 0, 0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0 }), image);
    ExpectReadsBack(BuildArchive({}, WriterOptions()), {}, WriterOptions(), "compressed empty directory");
}

TEST(BuildArchive, RefusesNamesThatDoNotFit)
{
    struct Case {
        const char* label;
        std::string name;
    } cases[] = {
        { "empty", "" },
        { "260 bytes", std::string(260, 'n') },
        { "a NUL inside", std::string("a\0b", 3) },
    };
    for (const Case& c : cases) {
        std::vector<WriterEntry> e(1);
        e[0].Name = c.name;
        EXPECT_THROW(BuildArchive(e, WriterOptions()), std::invalid_argument) << c.label;
    }
    std::vector<WriterEntry> longest(1);
    longest[0].Name = std::string(259, 'n');
    ExpectReadsBack(BuildArchive(longest, WriterOptions()), longest, WriterOptions(), "259 bytes");
}

} // namespace
