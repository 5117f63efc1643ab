// The Windows build of qz2 on Windows names and times: pack and extract keep
// bytes, names (code page 932) and times; names equal without regard to case
// are refused.
#include "archive/archive_fixture.h"
#include "support/programs.h"

namespace {

int RunQz2(const std::string& arguments)
{
    return RunProgram(WindowsPath(QZ2_EXE_PATH), arguments);
}

class Qz2WindowsTest : public ArchiveTest {};

TEST_F(Qz2WindowsTest, PackAndExtractKeepBytesNamesAndTimes)
{
    std::string in = Path("in");
    ASSERT_TRUE(CreateDirectoryA(in.c_str(), 0));
    struct File {
        std::string name;
        Bytes contents;
        uint64_t time;
    } files[] = {
        { "UPDATE.INI", TextBytes("[SETUP]\r\n"), FixtureTime },
        { "\x83\x66\x81\x5B\x83\x5E.txt", NoiseBytes(5000, 1), FixtureTime + 1234567 },   // "データ.txt"
        { "\x8E\x9A\x8E\x9A\x8E\x9A\x8E\x9A\x8E\x9A\x95\x5C.dat", Bytes(300, 'r'), 116444736000000000ull },
    };
    for (const File& f : files) {
        ASSERT_TRUE(WriteBytes(in + "\\" + f.name, f.contents)) << f.name;
        ASSERT_TRUE(SetAllTimes(in + "\\" + f.name, f.time)) << f.name;
    }
    ASSERT_EQ(0, RunQz2("pack -o " + Quoted(Path("a.qz2")) + " " + Quoted(in)));
    ASSERT_EQ(0, RunQz2("verify " + Quoted(Path("a.qz2"))));
    std::string out = Path("out");
    ASSERT_EQ(0, RunQz2("extract " + Quoted(Path("a.qz2")) + " -C " + Quoted(out)));
    EXPECT_EQ(3u, FolderNames(out).size());
    for (const File& f : files) {
        uint64_t created, accessed, written;
        ASSERT_TRUE(FileTimes(out + "\\" + f.name, &created, &accessed, &written)) << f.name;
        EXPECT_EQ(f.time, written) << f.name;
        EXPECT_EQ(f.time, created) << f.name;
        EXPECT_EQ(f.contents, ReadBytes(out + "\\" + f.name)) << f.name;
    }
}

// Two files in two folders whose names differ only in case: the updater
// would only ever find the first, so pack refuses and writes nothing.
TEST_F(Qz2WindowsTest, PackRefusesNamesEqualWithoutRegardToCase)
{
    for (const char* folder : { "a", "b" })
        ASSERT_TRUE(CreateDirectoryA(Path(folder).c_str(), 0));
    ASSERT_TRUE(WriteBytes(Path("a\\Readme.txt"), TextBytes("1")));
    ASSERT_TRUE(WriteBytes(Path("b\\README.TXT"), TextBytes("2")));
    EXPECT_EQ(1, RunQz2("pack -o " + Quoted(Path("a.qz2")) + " " + Quoted(Path("a")) + " " + Quoted(Path("b"))));
    EXPECT_FALSE(FileExists(Path("a.qz2")));
}

} // namespace
