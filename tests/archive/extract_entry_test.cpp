// ExtractArchiveEntry: the free-space test, the stored forms, the folder,
// read-only and newer tests, the written times, and its messages.
#include <string.h>

#include "archive/archive_fixture.h"
#include "archive/layout.h"
#include "startup/updater_state.h"

namespace {

const char NotFound[] = "Can't Find File in Resource !!";

// The free-space figure that the tests set, and the drive that was asked.
struct FakeDrive {
    int known = 1;
    uint64_t freeBytes = 0;
    std::string asked;
    int queries = 0;
} fake;

int FakeQuery(const char* drive, uint64_t* freeBytes)
{
    fake.asked = drive;
    fake.queries++;
    if (!fake.known)
        return 0;
    *freeBytes = fake.freeBytes;
    return 1;
}

std::string NoRoom(const std::string& drive, const std::string& shortfall)
{
    return AnsiToUtf8("ディスク容量が足りません。" + drive + " ドライブに " + shortfall + " バイトの空き容量が必要です");
}

const Bytes Contents = TextBytes("new contents of the game file, new contents of the game file\r\n");
const uint64_t Stamp = FixtureTime;

class ExtractTest : public ArchiveTest {
protected:
    void SetUp() override
    {
        ArchiveTest::SetUp();
        fake = FakeDrive();
        fake.freeBytes = 1ull << 40;
        saved_ = QueryFreeSpace;
        QueryFreeSpace = FakeQuery;
        std::vector<FixtureEntry> entries(6);
        const char* names[] = { "plain.dat", "packed.dat", "hidden.dat", "both.dat", "empty.dat", "UPDATE.INI" };
        for (int i = 0; i < 6; i++) {
            entries[i].Name = names[i];
            entries[i].Contents = Contents;
        }
        entries[1].Compress = true;
        entries[2].Scramble = true;
        entries[3].Compress = entries[3].Scramble = true;
        entries[4].Contents.clear();
        OpenPayload(BuildImage(entries, ArchiveFlagCompressed | ArchiveFlagScrambled));
    }
    void TearDown() override
    {
        QueryFreeSpace = saved_;
        ArchiveTest::TearDown();
    }
    // An existing target with old contents and the given last-write time.
    void PlaceOld(const std::string& path, uint64_t written)
    {
        ASSERT_TRUE(WriteBytes(path, TextBytes("old")));
        ASSERT_TRUE(SetWriteTime(path, written));
    }
    FreeSpaceQueryFunction saved_;
};

TEST_F(ExtractTest, EveryStoredFormIsWrittenWithTheEntrysTimes)
{
    MessageBoxRecorder boxes;
    for (const char* name : { "plain.dat", "packed.dat", "hidden.dat", "both.dat" }) {
        std::string target = Path(name);
        ASSERT_EQ(1, ExtractArchiveEntry(name, target.c_str(), 0)) << name;
        // The times first: reading the file may move its last-access time.
        uint64_t created, accessed, written;
        ASSERT_TRUE(FileTimes(target, &created, &accessed, &written));
        EXPECT_EQ(Stamp, created) << name;
        EXPECT_EQ(Stamp, accessed) << name;
        EXPECT_EQ(Stamp, written) << name;
        EXPECT_EQ(Contents, ReadBytes(target)) << name;
    }
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ((std::vector<std::string>{ "both.dat", "hidden.dat", "packed.dat", "plain.dat" }), FolderNames(folder_));
}

TEST_F(ExtractTest, EmptyEntryGivesAnEmptyFileWithItsTimes)
{
    std::string target = Path("empty.dat");
    ASSERT_EQ(1, ExtractArchiveEntry("EMPTY.DAT", target.c_str(), 0));
    uint64_t created, accessed, written;
    ASSERT_TRUE(FileTimes(target, &created, &accessed, &written));
    EXPECT_EQ(Stamp, created);
    EXPECT_EQ(Stamp, accessed);
    EXPECT_EQ(Stamp, written);
    EXPECT_TRUE(ReadBytes(target).empty());
}

// The drive name is the target's first two characters; equal counts pass,
// one byte more fails with the shortfall in the message.
TEST_F(ExtractTest, FreeSpaceTest)
{
    const uint32_t size = (uint32_t)Contents.size();
    struct Case {
        uint64_t freeBytes;
        int result;
        std::string shortfall;
    } cases[] = {
        { size, 1, "" },
        { (uint64_t)size + 1, 1, "" },
        { size - 1u, 0, "1" },
        { 0, 0, std::to_string(size) },
    };
    for (const Case& c : cases) {
        std::string target = Path("packed.dat");
        DeleteFileA(target.c_str());
        fake.freeBytes = c.freeBytes;
        MessageBoxRecorder boxes;
        EXPECT_EQ(c.result, ExtractArchiveEntry("packed.dat", target.c_str(), 0)) << c.freeBytes;
        EXPECT_EQ(target.substr(0, 2), fake.asked);
        if (c.result) {
            ExpectUpdaterErrors(boxes, {});
            EXPECT_EQ(Contents, ReadBytes(target));
        } else {
            ExpectUpdaterErrors(boxes, { NoRoom(target.substr(0, 2), c.shortfall) });
            EXPECT_FALSE(FileExists(target));
        }
    }
}

// The shortfall is the full unsigned count, never a negative 32-bit figure.
TEST_F(ExtractTest, LargeShortfallIsPrintedInFull)
{
    // A compressed entry of 4 GiB - 1 bytes whose (unused) stored bytes could
    // hold that much: the space test comes before the entry is expanded.
    ArchiveParts parts;
    parts.Data = Bytes(48u << 20, 0);
    parts.Records.push_back(MakeRecord("huge.dat", EntryCompressedBit, 0, Stamp, 0xFFFFFFFFu, 48u << 20));
    if (OpenDirectory)
        GlobalFree(OpenDirectory);
    OpenDirectory = 0;
    OpenPayload(AssembleImage(parts, 0));
    struct Case {
        uint64_t freeBytes;
        const char* shortfall;
    } cases[] = { { 0, "4294967295" }, { 5, "4294967290" }, { 0x7FFFFFFF, "2147483648" } };
    for (const Case& c : cases) {
        fake.freeBytes = c.freeBytes;
        MessageBoxRecorder boxes;
        EXPECT_EQ(0, ExtractArchiveEntry("huge.dat", "D:\\game\\huge.dat", 0));
        ExpectUpdaterErrors(boxes, { NoRoom("D:", c.shortfall) });
    }
}

// Free space that cannot be had does not stop the extraction: the query
// fails, or the path has no drive letter and the query is not asked.
TEST_F(ExtractTest, UnknownFreeSpaceDoesNotStopTheExtraction)
{
    fake.known = 0;
    MessageBoxRecorder boxes;
    ASSERT_EQ(1, ExtractArchiveEntry("plain.dat", Path("a.dat").c_str(), 0));
    EXPECT_EQ(1, fake.queries);
    EXPECT_EQ(Contents, ReadBytes(Path("a.dat")));

    fake.known = 1;
    fake.freeBytes = 0;
    fake.queries = 0;
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
    int relative = ExtractArchiveEntry("plain.dat", "relative.dat", 0);
    SetCurrentDirectoryA(current);
    EXPECT_EQ(1, relative);
    EXPECT_EQ(0, fake.queries);
    EXPECT_EQ(Contents, ReadBytes(Path("relative.dat")));
    EXPECT_TRUE(boxes.Boxes().empty());
}

// With too little room the message comes first, even where the newer test
// would have left the file alone or a folder stands in the target's place.
TEST_F(ExtractTest, SpaceIsTestedBeforeTheNewerAndFolderTests)
{
    fake.freeBytes = 0;
    PlaceOld(Path("later.dat"), Stamp + 1);
    ASSERT_TRUE(CreateDirectoryA(Path("folder.dat").c_str(), 0));
    for (const char* name : { "later.dat", "folder.dat" }) {
        MessageBoxRecorder boxes;
        EXPECT_EQ(0, ExtractArchiveEntry("plain.dat", Path(name).c_str(), 1)) << name;
        ExpectUpdaterErrors(boxes, { NoRoom(folder_.substr(0, 2), std::to_string(Contents.size())) });
    }
    EXPECT_EQ(TextBytes("old"), ReadBytes(Path("later.dat")));
}

TEST_F(ExtractTest, NewerTest)
{
    struct Case {
        const char* label;
        int newerOnly;
        int64_t existing;      // last-write time relative to the entry's; no file when absent
        bool exists;
        bool written;
    } cases[] = {
        { "no file, newer only", 1, 0, false, true },
        { "equal time, newer only", 1, 0, true, true },
        { "later by one unit, newer only", 1, 1, true, false },
        { "earlier by one unit, newer only", 1, -1, true, true },
        { "later by a year, newer only", 1, 315360000000000LL, true, false },
        { "later, always", 0, 1, true, true },
        { "later by a year, always", 0, 315360000000000LL, true, true },
    };
    for (const Case& c : cases) {
        std::string target = Path("game.dat");
        DeleteFileA(target.c_str());
        if (c.exists)
            PlaceOld(target, Stamp + c.existing);
        MessageBoxRecorder boxes;
        EXPECT_EQ(1, ExtractArchiveEntry("packed.dat", target.c_str(), c.newerOnly)) << c.label;
        EXPECT_TRUE(boxes.Boxes().empty()) << c.label;
        uint64_t created, accessed, written;
        ASSERT_TRUE(FileTimes(target, &created, &accessed, &written)) << c.label;
        if (c.written) {
            EXPECT_EQ(Contents, ReadBytes(target)) << c.label;
            EXPECT_EQ(Stamp, written) << c.label;
        } else {
            EXPECT_EQ(TextBytes("old"), ReadBytes(target)) << c.label;
            EXPECT_EQ(Stamp + c.existing, written) << c.label;
        }
    }
}

// After the first write the file's time equals the entry's: a second
// extraction with NewerOnly writes again.
TEST_F(ExtractTest, NewerOnlyTwiceWritesBothTimes)
{
    std::string target = Path("twice.dat");
    ASSERT_EQ(1, ExtractArchiveEntry("plain.dat", target.c_str(), 1));
    // Change the contents behind the updater's back, keeping the time.
    ASSERT_TRUE(WriteBytes(target, TextBytes("changed")));
    ASSERT_TRUE(SetWriteTime(target, Stamp));
    ASSERT_EQ(1, ExtractArchiveEntry("plain.dat", target.c_str(), 1));
    EXPECT_EQ(Contents, ReadBytes(target));
}

// Read-only goes, and hidden and system with it, even when the newer test
// then leaves the file alone; a file without read-only keeps its attributes.
TEST_F(ExtractTest, ReadOnlyTargetIsCleared)
{
    struct Case {
        const char* label;
        DWORD attributes;
        int newerOnly;
        int64_t existing;
        bool written;
    } cases[] = {
        { "read-only, replaced", FILE_ATTRIBUTE_READONLY, 0, 0, true },
        { "read-only hidden system, left alone", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM,
          1, 1, false },
        { "read-only hidden, replaced", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, 1, -1, true },
    };
    for (const Case& c : cases) {
        std::string target = Path("locked.dat");
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(target.c_str());
        PlaceOld(target, Stamp + c.existing);
        ASSERT_TRUE(SetFileAttributesA(target.c_str(), c.attributes)) << c.label;
        ASSERT_EQ(c.attributes, GetFileAttributesA(target.c_str()) & c.attributes) << c.label;
        EXPECT_EQ(1, ExtractArchiveEntry("plain.dat", target.c_str(), c.newerOnly)) << c.label;
        DWORD after = GetFileAttributesA(target.c_str());
        EXPECT_EQ(0u, after & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) << c.label;
        EXPECT_EQ(c.written ? Contents : TextBytes("old"), ReadBytes(target)) << c.label;
    }
}

TEST_F(ExtractTest, FolderInTheTargetsPlaceFailsWithoutAMessage)
{
    std::string target = Path("folder.dat");
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), 0));
    ASSERT_TRUE(WriteBytes(target + "\\inside.txt", TextBytes("kept")));
    MessageBoxRecorder boxes;
    for (int newerOnly = 0; newerOnly < 2; newerOnly++)
        EXPECT_EQ(0, ExtractArchiveEntry("packed.dat", target.c_str(), newerOnly));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(TextBytes("kept"), ReadBytes(target + "\\inside.txt"));
    EXPECT_EQ(std::vector<std::string>{ "folder.dat" }, FolderNames(folder_));
}

TEST_F(ExtractTest, FailuresAndTheirMessages)
{
    struct Case {
        const char* label;
        const char* name;
        std::string target;
        std::vector<std::string> boxes;
    } cases[] = {
        { "no such entry", "missing.dat", Path("missing.dat"), { NotFound } },
        { "folder of the target missing", "plain.dat", Path("no-folder\\plain.dat"), {} },
        { "name with a character that files cannot have", "plain.dat", Path("bad?name.dat"), {} },
    };
    for (const Case& c : cases) {
        MessageBoxRecorder boxes;
        EXPECT_EQ(0, ExtractArchiveEntry(c.name, c.target.c_str(), 0)) << c.label;
        ExpectUpdaterErrors(boxes, c.boxes);
    }
    EXPECT_TRUE(FolderNames(folder_).empty());
}

} // namespace
