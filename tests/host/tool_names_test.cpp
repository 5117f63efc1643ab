// The publisher's tool: entry names between the host's encoding and code
// page 932, case folding as the updater compares, times, and payloads found
// in executables.
#include <gtest/gtest.h>

#include "host/pe_image.h"
#include "tool/command.h"
#include "tool/host_files.h"
#include "tool/names.h"
#include "tool/pe_resource.h"

namespace fs = std::filesystem;

namespace {

TEST(ArchiveNameOf, ConvertsToCodePage932)
{
    struct Case {
        std::string file;        // UTF-8 path
        std::string name;        // code page 932
    } cases[] = {
        { "dir/UPDATE.INI", "UPDATE.INI" },
        { "bgm.dat", "bgm.dat" },
        { "x/ソフト.txt", "\x83\x5C\x83\x74\x83\x67.txt" },
        { "表示.txt", "\x95\x5C\x8E\xA6.txt" },
        { "ｶﾀｶﾅ", "\xB6\xC0\xB6\xC5" },
        { "～波.txt", "\x81\x60\x94\x67.txt" },
        { "①Ⅰ.txt", "\x87\x40\x87\x54.txt" },
        { std::string(259, 'a'), std::string(259, 'a') },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.name, ArchiveNameOf(fs::u8path(c.file))) << c.file;
}

TEST(ArchiveNameOf, RefusesWhatAnEntryCannotBe)
{
    struct Case {
        const char* file;
        const char* message;
    } cases[] = {
        { "x/smile\xF0\x9F\x98\x80.txt", "cannot represent" },
        { "x/\xC3\xA9t\xC3\xA9.txt", "cannot represent" },                 // é: not in code page 932
        { "x/a:b", "Windows file names cannot hold" },
        { "x/a?b", "Windows file names cannot hold" },
        { "x/a\\b", "path separator" },
        { "x/tab\there", "control character" },
        { "x/name.", "dot at its end" },
        { "x/name ", "blank or dot at its end" },
        { "x/CON", "device" },
        { "x/nul.txt", "device" },
        { "x/com1.dat", "device" },
        { "x/\xFF\xFE", "not valid UTF-8" },
    };
    // 130 kanji: 260 bytes in code page 932 (a Windows name can be that long).
    std::string kanji;
    for (int i = 0; i < 130; i++)
        kanji += "字";
    try {
        ArchiveNameOf(fs::u8path("x/" + kanji));
        ADD_FAILURE() << "a name of 260 bytes was taken";
    } catch (const ToolError& e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find("takes 260 bytes in code page 932; an entry name holds "
                                                                "at most 259"))
            << e.what();
    }
    EXPECT_EQ(258u, ArchiveNameOf(fs::u8path("x/" + kanji.substr(3))).size());
    for (const Case& c : cases) {
        try {
            ArchiveNameOf(fs::u8path(c.file));
            ADD_FAILURE() << c.file << " was taken";
        } catch (const ToolError& e) {
            EXPECT_NE(std::string::npos, std::string(e.what()).find(c.message)) << e.what();
            EXPECT_NE(std::string::npos, std::string(e.what()).find("x/")) << "names the file: " << e.what();
        }
    }
}

TEST(NameKey, EqualWithoutRegardToCaseAsTheUpdaterCompares)
{
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        { "UPDATE.INI", "update.ini", true },
        { "Readme.txt", "README.TXT", true },
        { "ｒｅａｄ", "ＲＥＡＤ", true },               // full-width Latin
        { "αβγ", "ΑΒΓ", true },                           // Greek
        { "файл", "ФАЙЛ", true },                        // Cyrillic
        { "ⅰⅱ", "ⅠⅡ", true },                             // Roman numerals
        { "read", "ｒｅａｄ", false },                    // width matters
        { "あ", "ア", false },                            // kana type matters
        { "ｱ", "ア", false },
        { "a.txt", "a.txt ", false },
    };
    for (const Case& c : cases) {
        std::string a = ArchiveNameFromArgument(c.a), b = ArchiveNameFromArgument(c.b);
        EXPECT_EQ(c.equal, NameKey(a) == NameKey(b)) << c.a << " / " << c.b;
    }
}

TEST(DisplayName, ShowsUtf8OrEscapes)
{
    EXPECT_EQ("ソフト.txt", DisplayName("\x83\x5C\x83\x74\x83\x67.txt"));
    EXPECT_EQ("a\\x81", DisplayName("a\x81"));                      // a lead byte alone
    EXPECT_EQ("line\\x0Abreak", DisplayName("line\nbreak"));
}

TEST(ExtractPathFor, RefusesNamesThatLeaveTheFolder)
{
    const char* refused[] = { "..", ".", "..\\evil.txt", "../evil.txt", "/etc/x", "C:x.txt", "sub\\a", "", "a\x81",
                              "a\tb", "aux", "a*" };
    for (const char* name : refused) {
        EXPECT_THROW(ExtractPathFor("out", name), ToolError) << DisplayName(name);
    }
    EXPECT_EQ(fs::u8path("out") / fs::u8path("ソフト.txt"), ExtractPathFor("out", "\x83\x5C\x83\x74\x83\x67.txt"));
    EXPECT_EQ(fs::u8path("out") / "..a", ExtractPathFor("out", "..a"));
}

TEST(IsoTime, FileTimeCountsInUtc)
{
    struct Case {
        uint64_t time;
        const char* text;
    } cases[] = {
        { 0, "1601-01-01T00:00:00Z" },
        { 116444736000000000ull, "1970-01-01T00:00:00Z" },
        { 132224078450000000ull, "2020-01-02T03:04:05Z" },
        { 132224078450000001ull, "2020-01-02T03:04:05.0000001Z" },
        { 125911584000000000ull, "2000-01-01T00:00:00Z" },
        { 125963423999999999ull, "2000-02-29T23:59:59.9999999Z" },
        { 0xFFFFFFFFFFFFFFFFull, "60056-05-28T05:36:10.9551615Z" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, IsoTime(c.time)) << c.time;
}

TEST(PeResource, FindsThePayloadInEveryLanguage)
{
    std::vector<unsigned char> a = { 'Q', 'Z', '2', 0, 1, 2, 3 }, b = { 9, 8, 7 };
    std::vector<unsigned char> file = BuildPeFile({ { 1033, b }, { 1041, a } });
    ASSERT_TRUE(IsPeFile(file));
    EXPECT_FALSE(HasSymbolTable(file));
    std::vector<PeResource> found = FindPayloadResources(file, "x.exe");
    ASSERT_EQ(2u, found.size());
    EXPECT_EQ(1033, found[0].Language);
    EXPECT_EQ(b, std::vector<unsigned char>(file.begin() + found[0].Offset, file.begin() + found[0].Offset + found[0].Size));
    EXPECT_EQ(1041, found[1].Language);
    EXPECT_EQ(a, std::vector<unsigned char>(file.begin() + found[1].Offset, file.begin() + found[1].Offset + found[1].Size));
    EXPECT_TRUE(HasSymbolTable(BuildPeFile({}, true)));
    EXPECT_TRUE(FindPayloadResources(BuildPeFile({}), "x.exe").empty());
}

// Damaged headers and directories: refused, never read outside the file.
TEST(PeResource, DamagedFilesAreRefused)
{
    std::vector<unsigned char> good = BuildPeFile({ { 1041, std::vector<unsigned char>(100, 1) } });
    struct Case {
        const char* label;
        size_t at;
        uint32_t value;
    } cases[] = {
        { "section beyond the file", 0x44 + 20 + 224 + 20, 0x7FFFFFF0 },
        { "section count huge", 0x44 + 2, 0xFFFF },
        { "payload size beyond the section", 0x200 + 0x30 + 16 + 8 + 4, 0x10000 },
        { "type name beyond the section", 0x200 + 16, 0x80FFFFF0u },
        { "subdirectory beyond the section", 0x200 + 20, 0x8FFFFFF0u },
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> file = good;
        if (c.value > 0xFFFF || c.at != 0x44 + 2) {
            WriteLE32(&file[c.at], c.value);
        } else {
            file[c.at] = 0xFF;
            file[c.at + 1] = 0xFF;
        }
        EXPECT_THROW(FindPayloadResources(file, "x.exe"), ToolError) << c.label;
    }
    std::vector<unsigned char> cut(good.begin(), good.begin() + 0x250);
    EXPECT_THROW(FindPayloadResources(cut, "x.exe"), ToolError) << "cut short";
    EXPECT_FALSE(IsPeFile(std::vector<unsigned char>(good.begin(), good.begin() + 0x30)));
}

} // namespace
