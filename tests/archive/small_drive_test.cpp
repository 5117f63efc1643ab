// A real full disk: drive Q: is a file system of 64 KiB (a tmpfs mounted by
// the test fixture, small_drive.sh). A write that runs out of room leaves an
// existing file byte for byte and no other file on the drive.
#include "archive/archive_fixture.h"
#include "startup/updater_state.h"

namespace {

const char Drive[] = "Q:";
const uint64_t DriveSize = 64 * 1024;

class SmallDriveTest : public ArchiveTest {
protected:
    void SetUp() override
    {
        ArchiveTest::SetUp();
        ULARGE_INTEGER available, total, free;
        if (!GetDiskFreeSpaceExA("Q:\\", &available, &total, &free) || total.QuadPart != DriveSize)
            GTEST_SKIP() << "drive Q: is not the 64 KiB test drive: mounting a tmpfs there needs root "
                            "(tests/archive/small_drive.sh; see its output in the ctest log)";
        RemoveTree("Q:\\files");
        ASSERT_TRUE(CreateDirectoryA("Q:\\files", 0));
        ASSERT_TRUE(WriteBytes(Old(), old_));
    }
    void TearDown() override
    {
        RemoveTree("Q:\\files");
        ArchiveTest::TearDown();
    }
    static std::string Old() { return "Q:\\files\\game.dat"; }
    static uint64_t FreeBytes()
    {
        ULARGE_INTEGER available, total, free;
        GetDiskFreeSpaceExA("Q:\\", &available, &total, &free);
        return available.QuadPart;
    }
    const Bytes old_ = NoiseBytes(8 * 1024, 1);
};

TEST_F(SmallDriveTest, FailedWriteLeavesTheOldFile)
{
    const Bytes big = NoiseBytes(128 * 1024, 2);
    FILETIME stamp = TimeOf(FixtureTime);
    EXPECT_EQ(0, WriteWholeFile(Old().c_str(), big.data(), (uint32_t)big.size(), &stamp));
    EXPECT_EQ(old_, ReadBytes(Old()));
    EXPECT_EQ(std::vector<std::string>{ "game.dat" }, FolderNames("Q:\\files"));

    // With no old file, a failed write leaves no file.
    EXPECT_EQ(0, WriteWholeFile("Q:\\files\\new.dat", big.data(), (uint32_t)big.size(), &stamp));
    EXPECT_EQ(std::vector<std::string>{ "game.dat" }, FolderNames("Q:\\files"));
}

// The extraction asks the drive's real free space: too little gives the
// message with the shortfall; room enough replaces the old file.
TEST_F(SmallDriveTest, ExtractionMeasuresTheDrive)
{
    std::vector<FixtureEntry> entries(2);
    entries[0].Name = "big.dat";
    entries[0].Contents = NoiseBytes(100 * 1024, 3);
    entries[1].Name = "small.dat";
    entries[1].Contents = NoiseBytes(20 * 1024, 4);
    OpenPayload(BuildImage(entries, ArchiveFlagCompressed));

    uint64_t free = FreeBytes();
    ASSERT_LT(free, entries[0].Contents.size());
    MessageBoxRecorder boxes;
    EXPECT_EQ(0, ExtractArchiveEntry("big.dat", Old().c_str(), 0));
    ExpectUpdaterErrors(boxes, { AnsiToUtf8("ディスク容量が足りません。Q: ドライブに " +
                                            std::to_string(entries[0].Contents.size() - free) +
                                            " バイトの空き容量が必要です") });
    EXPECT_EQ(old_, ReadBytes(Old()));

    boxes.Clear();
    EXPECT_EQ(1, ExtractArchiveEntry("small.dat", Old().c_str(), 0));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(entries[1].Contents, ReadBytes(Old()));
    EXPECT_EQ(std::vector<std::string>{ "game.dat" }, FolderNames("Q:\\files"));
}

// When the free space cannot be had, the extraction goes on and the write
// itself runs out of room: 0, no message, the old file as it was.
int UnknownSpace(const char*, uint64_t*)
{
    return 0;
}

TEST_F(SmallDriveTest, UnknownFreeSpaceAndAFullDisk)
{
    std::vector<FixtureEntry> entries(1);
    entries[0].Name = "big.dat";
    entries[0].Contents = Bytes(100 * 1024, 'b');
    entries[0].Compress = true;
    OpenPayload(BuildImage(entries, ArchiveFlagCompressed));
    FreeSpaceQueryFunction saved = QueryFreeSpace;
    QueryFreeSpace = UnknownSpace;
    MessageBoxRecorder boxes;
    int result = ExtractArchiveEntry("big.dat", Old().c_str(), 0);
    QueryFreeSpace = saved;
    EXPECT_EQ(0, result);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(old_, ReadBytes(Old()));
    EXPECT_EQ(std::vector<std::string>{ "game.dat" }, FolderNames("Q:\\files"));
}

} // namespace
