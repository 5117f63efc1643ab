// WriteWholeFile: creates or replaces a file with exactly the given bytes
// and times; on failure an existing file keeps its contents and no other
// file is left in the folder.
#include "archive/archive_fixture.h"

namespace {

class WriteFileTest : public ArchiveTest {};

TEST_F(WriteFileTest, CreatesAndReplacesWithExactBytesAndTimes)
{
    const Bytes first = NoiseBytes(100000, 1);
    const Bytes second = TextBytes("short");
    FILETIME stamp = TimeOf(FixtureTime);
    std::string target = Path("file.bin");
    ASSERT_EQ(1, WriteWholeFile(target.c_str(), first.data(), (uint32_t)first.size(), &stamp));
    EXPECT_EQ(first, ReadBytes(target));
    ASSERT_EQ(1, WriteWholeFile(target.c_str(), second.data(), (uint32_t)second.size(), &stamp));
    // The times first: reading the file may move its last-access time.
    uint64_t created, accessed, written;
    ASSERT_TRUE(FileTimes(target, &created, &accessed, &written));
    EXPECT_EQ(FixtureTime, created);
    EXPECT_EQ(FixtureTime, accessed);
    EXPECT_EQ(FixtureTime, written);
    EXPECT_EQ(second, ReadBytes(target));
    ASSERT_EQ(1, WriteWholeFile(target.c_str(), "", 0, &stamp));
    EXPECT_TRUE(ReadBytes(target).empty());
    EXPECT_EQ(std::vector<std::string>{ "file.bin" }, FolderNames(folder_));
}

// Without a time the platform's own times stay: the file is not stamped
// with anything old.
TEST_F(WriteFileTest, WithoutTimeTheWriteTimeIsTheCurrentOne)
{
    std::string target = Path("now.bin");
    FILETIME before;
    GetSystemTimeAsFileTime(&before);
    ASSERT_EQ(1, WriteWholeFile(target.c_str(), "abc", 3, 0));
    uint64_t created, accessed, written;
    ASSERT_TRUE(FileTimes(target, &created, &accessed, &written));
    // File systems keep times at a coarser grain than the clock: allow 2 s.
    EXPECT_GE(written + 20000000, TimeValue(before));
    EXPECT_EQ(TextBytes("abc"), ReadBytes(target));
}

// A path with a double-byte name whose second byte is a backslash: the
// folder part is found by characters, not bytes.
TEST_F(WriteFileTest, DoubleByteNames)
{
    std::string folder = Path("\x83\x5C\x83\x74\x83\x67");     // "ソフト"
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), 0));
    std::string target = folder + "\\\x95\x5C.txt";            // "表.txt", second byte 5C
    ASSERT_EQ(1, WriteWholeFile(target.c_str(), "x", 1, 0));
    EXPECT_EQ(TextBytes("x"), ReadBytes(target));
    EXPECT_EQ(std::vector<std::string>{ "\x95\x5C.txt" }, FolderNames(folder));
}

// Every failure leaves the folder as it was: the old file byte for byte,
// no new file, no temporary file.
TEST_F(WriteFileTest, FailureLeavesTheOldFileAndNoOtherFile)
{
    const Bytes old = TextBytes("old contents");
    const Bytes fresh = NoiseBytes(5000, 2);
    FILETIME stamp = TimeOf(FixtureTime);
    struct Case {
        const char* label;
        bool oldFile;
        bool readOnly;
        bool heldOpen;          // opened elsewhere without sharing
        bool folder;            // a folder in the target's place
        const char* name;
    } cases[] = {
        { "target held open elsewhere", true, false, true, false, "held.dat" },
        { "read-only target", true, true, false, false, "readonly.dat" },
        { "folder in the target's place", false, false, false, true, "folder.dat" },
        { "folder of the target missing", false, false, false, false, "missing\\file.dat" },
    };
    for (const Case& c : cases) {
        RemoveTree(folder_);
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), 0));
        std::string target = Path(c.name);
        if (c.oldFile) {
            ASSERT_TRUE(WriteBytes(target, old)) << c.label;
        }
        if (c.readOnly) {
            ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY)) << c.label;
        }
        if (c.folder) {
            ASSERT_TRUE(CreateDirectoryA(target.c_str(), 0)) << c.label;
        }
        std::vector<std::string> before = FolderNames(folder_);
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.heldOpen)
            held = CreateFileA(target.c_str(), GENERIC_READ, 0, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
        EXPECT_EQ(0, WriteWholeFile(target.c_str(), fresh.data(), (uint32_t)fresh.size(), &stamp)) << c.label;
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_EQ(before, FolderNames(folder_)) << c.label;
        if (c.oldFile) {
            EXPECT_EQ(old, ReadBytes(target)) << c.label;
        }
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

} // namespace
