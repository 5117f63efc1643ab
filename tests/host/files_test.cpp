#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tool/command.h"
#include "tool/files.h"

namespace fs = std::filesystem;

namespace {

typedef std::vector<unsigned char> Bytes;

class WholeFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("qz2-files-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const char* name) const { return (dir_ / name).string(); }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& e : fs::directory_iterator(dir_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static Bytes Contents(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path dir_;
};

TEST_F(WholeFiles, WriteCreatesAndReplacesAndReadGivesTheBytesBack)
{
    const Bytes cases[] = { {}, { 0 }, Bytes(70000, 0x5A), { 1, 2, 3, 0, 255, '\r', '\n', 26 } };
    for (const Bytes& data : cases) {
        WriteWholeFile(Path("out.bin"), data);
        EXPECT_EQ(data, Contents(Path("out.bin")));
        EXPECT_EQ(data, ReadWholeFile(Path("out.bin")));
        EXPECT_EQ(std::vector<std::string>{ "out.bin" }, Names()) << "nothing but the target";
    }
}

TEST_F(WholeFiles, FailedWritesLeaveTheTargetAsItWasAndNoTemporaryFile)
{
    WriteWholeFile(Path("keep.bin"), Bytes{ 'o', 'l', 'd' });
    fs::create_directory(dir_ / "folder");
    const std::string targets[] = { Path("folder"), Path("missing/out.bin") };
    for (const std::string& target : targets) {
        EXPECT_THROW(WriteWholeFile(target, Bytes(10, 1)), ToolError) << target;
        EXPECT_TRUE(fs::is_empty(dir_ / "folder"));
        EXPECT_EQ((std::vector<std::string>{ "folder", "keep.bin" }), Names());
    }
    EXPECT_EQ((Bytes{ 'o', 'l', 'd' }), Contents(Path("keep.bin")));
}

TEST_F(WholeFiles, ReadFailuresNameTheFile)
{
    fs::create_directory(dir_ / "folder");
    for (const char* name : { "absent.bin", "folder" }) {
        try {
            ReadWholeFile(Path(name));
            ADD_FAILURE() << name << " was read";
        } catch (const ToolError& e) {
            EXPECT_NE(std::string::npos, std::string(e.what()).find(name)) << e.what();
        }
    }
}

} // namespace
