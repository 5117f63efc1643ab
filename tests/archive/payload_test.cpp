// The payload resource: an executable bound with qz2 bind finds its archive
// through LocatePayload; bind replaces a payload and refuses what would not
// work; qz2 reads the payload of a real executable back.
#include <string.h>

#include "archive/archive_fixture.h"
#include "support/programs.h"
#include "startup/system_functions.h"
#include "startup/updater_state.h"

namespace {

class PayloadTest : public ArchiveTest {
protected:
    void SetUp() override
    {
        ArchiveTest::SetUp();
        stub_ = WindowsPath(PAYLOAD_STUB_PATH);
        qz2_ = WindowsPath(QZ2_EXE_PATH);
    }
    std::string Payload(const std::string& name, const std::vector<FixtureEntry>& entries, uint32_t flags)
    {
        std::string path = Path(name);
        EXPECT_TRUE(WriteBytes(path, BuildImage(entries, flags)));
        return path;
    }
    int Bind(const std::string& stub, const std::string& payload, const std::string& output)
    {
        return RunProgram(qz2_, "bind --stub " + Quoted(stub) + " --payload " + Quoted(payload) + " -o " +
                                    Quoted(output));
    }
    std::string stub_, qz2_;
};

std::vector<FixtureEntry> Entries(const std::string& text)
{
    std::vector<FixtureEntry> e(2);
    e[0].Name = "UPDATE.INI";
    e[0].Contents = TextBytes("[SETUP]\r\n");
    e[1].Name = "\x83\x66\x81\x5B\x83\x5E.txt";      // "データ.txt"
    e[1].Contents = TextBytes(text);
    e[1].Compress = e[1].Scramble = true;
    return e;
}

TEST_F(PayloadTest, BoundExecutableFindsItsPayload)
{
    std::string bound = Path("PATCH.exe");
    ASSERT_EQ(0, Bind(stub_, Payload("a.qz2", Entries("first payload, first payload"), 3), bound));
    std::string target = Path("out.txt");
    ASSERT_EQ(0, RunProgram(bound, Quoted("\x83\x66\x81\x5B\x83\x5E.TXT") + " " + Quoted(target)));
    uint64_t created, accessed, written;
    ASSERT_TRUE(FileTimes(target, &created, &accessed, &written));
    EXPECT_EQ(FixtureTime, written);
    EXPECT_EQ(TextBytes("first payload, first payload"), ReadBytes(target));

    // Bound again: the new payload replaces the old one.
    std::string rebound = Path("PATCH2.exe");
    ASSERT_EQ(0, Bind(bound, Payload("b.qz2", Entries("second"), 1), rebound));
    ASSERT_EQ(0, RunProgram(rebound, Quoted("\x83\x66\x81\x5B\x83\x5E.txt") + " " + Quoted(target)));
    EXPECT_EQ(TextBytes("second"), ReadBytes(target));
}

TEST_F(PayloadTest, WithoutPayloadTheStubFindsNone)
{
    EXPECT_EQ(2, RunProgram(stub_, ""));
}

// A payload in another language goes: the executable carries one payload,
// the Japanese one.
TEST_F(PayloadTest, BindReplacesPayloadsOfEveryLanguage)
{
    std::string stub = Path("stub.exe");
    ASSERT_TRUE(CopyFileA(stub_.c_str(), stub.c_str(), FALSE));
    Bytes old = BuildImage(Entries("english"), 0);
    HANDLE update = BeginUpdateResourceA(stub.c_str(), FALSE);
    ASSERT_NE(nullptr, update);
    ASSERT_TRUE(UpdateResourceA(update, "UPDATE", MAKEINTRESOURCEA(102), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                old.data(), (DWORD)old.size()));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));

    std::string bound = Path("PATCH.exe");
    ASSERT_EQ(0, Bind(stub, Payload("a.qz2", Entries("japanese"), 0), bound));
    HMODULE image = LoadLibraryExA(bound.c_str(), 0, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(nullptr, FindResourceExA(image, "UPDATE", MAKEINTRESOURCEA(102), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)));
    EXPECT_NE(nullptr, FindResourceExA(image, "UPDATE", MAKEINTRESOURCEA(102), 1041));
    FreeLibrary(image);
    std::string target = Path("out.txt");
    ASSERT_EQ(0, RunProgram(bound, Quoted("\x83\x66\x81\x5B\x83\x5E.txt") + " " + Quoted(target)));
    EXPECT_EQ(TextBytes("japanese"), ReadBytes(target));
}

// qz2 reads the payload of a real executable: list, verify, extract.
TEST_F(PayloadTest, Qz2ReadsTheBoundExecutable)
{
    std::string bound = Path("PATCH.exe");
    ASSERT_EQ(0, Bind(stub_, Payload("a.qz2", Entries("contents"), 2), bound));
    EXPECT_EQ(0, RunProgram(qz2_, "verify " + Quoted(bound)));
    EXPECT_EQ(0, RunProgram(qz2_, "list " + Quoted(bound)));
    std::string out = Path("out");
    ASSERT_EQ(0, RunProgram(qz2_, "extract " + Quoted(bound) + " -C " + Quoted(out)));
    EXPECT_EQ(TextBytes("contents"), ReadBytes(out + "\\\x83\x66\x81\x5B\x83\x5E.txt"));
    EXPECT_EQ(TextBytes("[SETUP]\r\n"), ReadBytes(out + "\\UPDATE.INI"));
}

// Refusals leave no output behind: a stub with its symbol table, a damaged
// payload, a payload that is an executable.
TEST_F(PayloadTest, BindRefusals)
{
    std::string good = Payload("a.qz2", Entries("x"), 0);
    Bytes damaged = BuildImage(Entries("x"), 0);
    damaged.resize(damaged.size() - 1);
    ASSERT_TRUE(WriteBytes(Path("damaged.qz2"), damaged));
    std::string bound = Path("PATCH.exe");
    ASSERT_EQ(0, Bind(stub_, good, bound));
    struct Case {
        const char* label;
        std::string stub, payload;
    } cases[] = {
        { "stub not stripped", WindowsPath(UNSTRIPPED_PATH), good },
        { "damaged payload", stub_, Path("damaged.qz2") },
        { "executable as payload", stub_, bound },
        { "missing stub", Path("none.exe"), good },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(1, Bind(c.stub, c.payload, Path("out.exe"))) << c.label;
        EXPECT_FALSE(FileExists(Path("out.exe"))) << c.label;
    }
    EXPECT_EQ((std::vector<std::string>{ "PATCH.exe", "a.qz2", "damaged.qz2" }), FolderNames(folder_));
}

// In the test program itself: no resource, and resource functions that
// cannot be bound, both end as no payload.
TEST_F(PayloadTest, LocatePayloadFailsQuietly)
{
    PayloadImage image = { 0, 0 };
    UpdaterInstance = GetModuleHandleA(0);
    EXPECT_EQ(0, LocatePayload(&image));
    EXPECT_EQ(nullptr, image.Address);

    FunctionRecipe recipes[SystemFunctionCount];
    memcpy(recipes, DefaultFunctionRecipes, sizeof recipes);
    recipes[BoundAtStartCount + 2].Pieces[0] = "Unload";       // "UnloadResource" does not exist
    FunctionRecipes = recipes;
    EXPECT_EQ(0, LocatePayload(&image));
    FunctionRecipes = DefaultFunctionRecipes;
    EXPECT_EQ(nullptr, image.Address);
}

} // namespace
