// FindArchiveEntry: look-up by name, the running data offset, the three
// stored forms, its messages, and damaged entries.
#include <string.h>

#include "archive/archive_fixture.h"
#include "archive/layout.h"
#include "startup/updater_state.h"

namespace {

const char NotFound[] = "Can't Find File in Resource !!";
const char Damaged[] = "RESOURCE READ ERROR";

class FindEntryTest : public ArchiveTest {};

FixtureEntry Entry(const std::string& name, const Bytes& contents, bool compress = false, bool scramble = false)
{
    FixtureEntry e;
    e.Name = name;
    e.Contents = contents;
    e.Compress = compress;
    e.Scramble = scramble;
    return e;
}

TEST_F(FindEntryTest, NamesCompareWithoutRegardToCaseAndTheFirstWins)
{
    OpenPayload(BuildImage({ Entry("UPDATE.INI", TextBytes("script")),
                             Entry("Readme.txt", TextBytes("first")),
                             Entry("README.TXT", TextBytes("second")),
                             Entry("\x83\x5C\x83\x74\x83\x67.txt", TextBytes("soft")) },
                           ArchiveFlagCompressed));
    struct Case {
        const char* asked;
        const char* contents;
    } cases[] = {
        { "UPDATE.INI", "script" },
        { "update.ini", "script" },
        { "Update.Ini", "script" },
        { "readme.txt", "first" },
        { "README.TXT", "first" },
        { "\x83\x5C\x83\x74\x83\x67.TXT", "soft" },
    };
    MessageBoxRecorder boxes;
    for (const Case& c : cases) {
        uint32_t size = 0xDEAD;
        const unsigned char* found = FindArchiveEntry(c.asked, &size);
        ASSERT_NE(nullptr, found) << c.asked;
        EXPECT_EQ(std::string(c.contents), std::string((const char*)found, size)) << c.asked;
        ReleaseArchiveEntry(found);
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Each entry starts where the one before started plus its StoredSize raised
// to a multiple of 16; plain entries are read in place.
TEST_F(FindEntryTest, DataOffsetRunsInStepsOfSixteen)
{
    struct Case {
        uint32_t storedSize;
        uint32_t step;
    } cases[] = { { 0, 0 }, { 1, 16 }, { 15, 16 }, { 16, 16 }, { 17, 32 }, { 32, 32 }, { 33, 48 } };
    for (const Case& c : cases) {
        Bytes image = BuildImage({ Entry("a", NoiseBytes(c.storedSize, c.storedSize)), Entry("b", TextBytes("bee")) }, 0);
        Payload.Address = image.data();
        Payload.Size = (uint32_t)image.size();
        OpenDirectory = OpenArchive(&Payload);
        ASSERT_NE(nullptr, OpenDirectory);
        const unsigned char* a = FindArchiveEntry("a", 0);
        const unsigned char* b = FindArchiveEntry("b", 0);
        EXPECT_EQ(image.data() + 16, a) << c.storedSize;
        EXPECT_EQ(image.data() + 16 + c.step, b) << c.storedSize;
        ReleaseArchiveEntry(a);
        ReleaseArchiveEntry(b);
        GlobalFree(OpenDirectory);
        OpenDirectory = 0;
    }
}

// Every stored form reads back as its contents, with the size output; a plain
// entry in place, the others each time in a new block; the image unchanged.
TEST_F(FindEntryTest, EveryStoredFormReadsBack)
{
    const Bytes text = TextBytes("The quick brown fox jumps over the lazy dog. The quick brown fox.");
    struct Case {
        const char* name;
        bool compress;
        bool scramble;
        bool inPlace;
    } cases[] = {
        { "plain", false, false, true },
        { "compressed", true, false, false },
        { "scrambled", false, true, false },
        { "compressed and scrambled", true, true, false },
    };
    std::vector<FixtureEntry> entries;
    for (const Case& c : cases)
        entries.push_back(Entry(c.name, text, c.compress, c.scramble));
    entries.push_back(Entry("empty compressed", Bytes(), true));
    entries.push_back(Entry("empty scrambled", Bytes(), false, true));
    OpenPayload(BuildImage(entries, ArchiveFlagScrambled));
    const Bytes before = image_;

    MessageBoxRecorder boxes;
    for (const Case& c : cases) {
        uint32_t size1 = 0, size2 = 0;
        const unsigned char* first = FindArchiveEntry(c.name, &size1);
        const unsigned char* second = FindArchiveEntry(c.name, &size2);
        ASSERT_NE(nullptr, first) << c.name;
        ASSERT_NE(nullptr, second) << c.name;
        EXPECT_EQ(text, Bytes(first, first + size1)) << c.name;
        EXPECT_EQ(text, Bytes(second, second + size2)) << c.name;
        bool inImage = first >= image_.data() && first < image_.data() + image_.size();
        EXPECT_EQ(c.inPlace, inImage) << c.name;
        EXPECT_EQ(c.inPlace, first == second) << c.name;
        ReleaseArchiveEntry(first);
        ReleaseArchiveEntry(second);
    }
    for (const char* name : { "empty compressed", "empty scrambled" }) {
        uint32_t size = 1;
        const unsigned char* found = FindArchiveEntry(name, &size);
        EXPECT_NE(nullptr, found) << name;
        EXPECT_EQ(0u, size) << name;
        ReleaseArchiveEntry(found);
    }
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(before, image_) << "the payload image is never changed";
}

TEST_F(FindEntryTest, MissingNameShowsItsMessage)
{
    struct Case {
        const char* label;
        std::vector<FixtureEntry> entries;
        const char* asked;
    } cases[] = {
        { "empty directory", {}, "UPDATE.INI" },
        { "other names", { Entry("UPDATE.INI", TextBytes("x")) }, "UPDATE.IN" },
        { "longer name", { Entry("UPDATE.INI", TextBytes("x")) }, "UPDATE.INI2" },
        { "empty name", { Entry("UPDATE.INI", TextBytes("x")) }, "" },
    };
    lstrcpyA(WindowTitle, "ロボットクエスト アップデータ 1.01");
    for (const Case& c : cases) {
        Bytes image = BuildImage(c.entries, ArchiveFlagCompressed);
        Payload.Address = image.data();
        Payload.Size = (uint32_t)image.size();
        OpenDirectory = OpenArchive(&Payload);
        ASSERT_NE(nullptr, OpenDirectory) << c.label;
        MessageBoxRecorder boxes;
        uint32_t size = 77;
        EXPECT_EQ(nullptr, FindArchiveEntry(c.asked, &size)) << c.label;
        EXPECT_EQ(77u, size) << c.label;
        ExpectUpdaterErrors(boxes, { NotFound });
        GlobalFree(OpenDirectory);
        OpenDirectory = 0;
    }
}

// Entries whose bytes the directory places outside the image, whose sizes
// cannot be right, or whose stream does not give ExpandedSize bytes: a failed
// look-up with the resource error, never a read outside the image.
TEST_F(FindEntryTest, DamagedEntriesFailTheLookUp)
{
    struct Case {
        const char* label;
        const char* asked;
        void (*craft)(std::vector<ArchiveEntry>& records);
    } cases[] = {
        { "stored bytes run past the image", "target",
          [](std::vector<ArchiveEntry>& r) { WriteLE32(r[1].StoredSize, EntryStoredSize(&r[1]) + 100000); } },
        { "earlier entries push the data past the image", "target",
          [](std::vector<ArchiveEntry>& r) { WriteLE32(r[0].StoredSize, 0xFFFFFFFFu); } },
        { "plain entry whose ExpandedSize exceeds its StoredSize", "plain",
          [](std::vector<ArchiveEntry>& r) { WriteLE32(r[2].ExpandedSize, EntryStoredSize(&r[2]) + 1); } },
        { "compressed entry one byte longer than its stream gives", "target",
          [](std::vector<ArchiveEntry>& r) { WriteLE32(r[1].ExpandedSize, EntryExpandedSize(&r[1]) + 1); } },
        { "compressed entry one byte shorter than its stream gives", "target",
          [](std::vector<ArchiveEntry>& r) { WriteLE32(r[1].ExpandedSize, EntryExpandedSize(&r[1]) - 1); } },
        { "compressed entry of 4 GiB", "target",
          [](std::vector<ArchiveEntry>& r) { WriteLE32(r[1].ExpandedSize, 0xFFFFFFFFu); } },
        { "stream cut before its end marker", "target",
          [](std::vector<ArchiveEntry>& r) { WriteLE32(r[1].StoredSize, EntryStoredSize(&r[1]) - 2); } },
        { "plain bytes taken for a stream", "plain",
          [](std::vector<ArchiveEntry>& r) { r[2].Compression = EntryCompressedBit; } },
    };
    const Bytes big(3000, 'z');
    for (const auto& c : cases) {
        ArchiveParts parts = BuildParts({ Entry("first", TextBytes("1")), Entry("target", big, true),
                                          Entry("plain", NoiseBytes(40, 1)) });
        c.craft(parts.Records);
        Bytes image = AssembleImage(parts, 0);
        Payload.Address = image.data();
        Payload.Size = (uint32_t)image.size();
        OpenDirectory = OpenArchive(&Payload);
        ASSERT_NE(nullptr, OpenDirectory) << c.label;
        MessageBoxRecorder boxes;
        EXPECT_EQ(nullptr, FindArchiveEntry(c.asked, 0)) << c.label;
        ExpectUpdaterErrors(boxes, { Damaged });
        GlobalFree(OpenDirectory);
        OpenDirectory = 0;
    }
}

// Look-ups address entries in a memory image: a payload given in file mode
// (a path, size 0) gives a failed look-up, and its path is never read as data.
TEST_F(FindEntryTest, FileModePayloadFailsTheLookUp)
{
    std::string path = Path("payload.qz2");
    ASSERT_TRUE(WriteBytes(path, BuildImage({ Entry("UPDATE.INI", TextBytes("x")) }, ArchiveFlagCompressed)));
    Payload.Address = reinterpret_cast<const unsigned char*>(path.c_str());
    Payload.Size = 0;
    OpenDirectory = OpenArchive(&Payload);
    ASSERT_NE(nullptr, OpenDirectory);
    MessageBoxRecorder boxes;
    EXPECT_EQ(nullptr, FindArchiveEntry("UPDATE.INI", 0));
    EXPECT_EQ(0, ExtractArchiveEntry("UPDATE.INI", Path("UPDATE.INI").c_str(), 0));
    ExpectUpdaterErrors(boxes, { Damaged, Damaged });
    EXPECT_FALSE(FileExists(Path("UPDATE.INI")));
}

TEST_F(FindEntryTest, NoOpenArchiveFindsNothing)
{
    MessageBoxRecorder boxes;
    EXPECT_EQ(nullptr, FindArchiveEntry("UPDATE.INI", 0));
    ExpectUpdaterErrors(boxes, { NotFound });
}

} // namespace
