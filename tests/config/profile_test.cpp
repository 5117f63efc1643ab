#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "config/config_fixture.h"

namespace {

using ProfileReaders = ConfigTest;

struct SetupKeyCase {
    const char* lines;       // section [SETUP] of SETUP.INI
    const char* key;
    int report;              // ReportMissingKeys
    int result;
    const char* value;
    const char* box;         // UTF-8, or none
};

TEST_F(ProfileReaders, ReadSetupKeyReadsNonEmptyValuesAndReportsMissingOnes)
{
    const SetupKeyCase cases[] = {
        { "CompanyName=Tallow\r\n", "CompanyName", 1, 1, "Tallow", 0 },
        { "companyname = Tallow Soft \r\n", "CompanyName", 1, 1, "Tallow Soft", 0 },
        { "CompanyName=\"quoted\"\r\n", "CompanyName", 1, 1, "quoted", 0 },
        { "CompanyName=\r\n", "CompanyName", 1, 0, "", u8"SETUP.INI : CompanyName キーが存在しません" },
        { "GameTitle=x\r\n", "CompanyName", 1, 0, "", u8"SETUP.INI : CompanyName キーが存在しません" },
        { "CompanyName=\r\n", "CompanyName", 0, 0, "", 0 },
        { "GameTitle=x\r\n", "CompanyName", 0, 0, "", 0 },
        { "GameTitle=x\r\n[OTHER]\r\nGameDir=y\r\n", "GameDir", 1, 0, "", u8"SETUP.INI : GameDir キーが存在しません" },
    };
    for (const SetupKeyCase& c : cases) {
        SCOPED_TRACE(c.lines);
        WriteSetupIni(c.lines);
        ReportMissingKeys = c.report;
        MessageBoxRecorder boxes;
        char buffer[64];
        memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(c.result, ReadSetupKey(c.key, buffer, sizeof buffer));
        EXPECT_STREQ(c.value, buffer);
        // Everything behind the value is zero.
        for (size_t i = strlen(buffer); i < sizeof buffer; i++)
            ASSERT_EQ(0, buffer[i]) << "byte " << i;
        ExpectErrorBoxes(boxes, "INSTCMMN", c.box ? std::vector<std::string>{ c.box } : std::vector<std::string>{});
        EXPECT_EQ(c.report, ReportMissingKeys) << "the reader never changes the switch";
    }
}

TEST_F(ProfileReaders, MissingFileCountsAsMissingKey)
{
    strcpy(SetupIniPath, (folder_ + "\\NOFILE.INI").c_str());
    strcpy(TempScriptPath, (folder_ + "\\NOSCRIPT.INI").c_str());
    MessageBoxRecorder boxes;
    char buffer[32];
    EXPECT_EQ(0, ReadSetupKey("GameExe", buffer, sizeof buffer));
    EXPECT_EQ(0, ReadScriptKey("SETUP", "GameDir", buffer, sizeof buffer));
    EXPECT_STREQ("", buffer);
    ExpectErrorBoxes(boxes, "INSTCMMN",
                     { u8"SETUP.INI : GameExe キーが存在しません", u8"SETUP : GameDir キーが存在しません" });
}

TEST_F(ProfileReaders, LongValuesAreCutToTheBufferAndCountAsFound)
{
    const std::string long300(300, 'v');
    WriteSetupIni("Long=" + long300 + "\r\n");
    WriteScript("[UPDATE]\r\nLong=" + long300 + "\r\n");
    struct { int size; } sizes[] = { { 260 }, { 20 }, { 1024 } };
    MessageBoxRecorder boxes;
    for (auto s : sizes) {
        std::vector<char> buffer(s.size, 'x');
        std::string expected = long300.substr(0, s.size - 1 < 300 ? s.size - 1 : 300);
        EXPECT_EQ(1, ReadSetupKey("Long", buffer.data(), s.size)) << s.size;
        EXPECT_EQ(expected, std::string(buffer.data())) << s.size;
        buffer.assign(s.size, 'x');
        EXPECT_EQ(1, ReadScriptKey("UPDATE", "Long", buffer.data(), s.size)) << s.size;
        EXPECT_EQ(expected, std::string(buffer.data())) << s.size;
    }
    ExpectErrorBoxes(boxes, "INSTCMMN", {});
}

TEST_F(ProfileReaders, CutInsideADoubleByteCharacterLeavesNoStrayByte)
{
    // Ten times "ア" (83 41) into 12 bytes: the platform may stop before the
    // character that does not fit; whatever it leaves behind the text is 0.
    std::string value;
    for (int i = 0; i < 10; i++)
        value += "ア";
    WriteSetupIni("Kana=" + value + "\r\n");
    char buffer[12];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(1, ReadSetupKey("Kana", buffer, sizeof buffer));
    size_t length = strlen(buffer);
    EXPECT_GE(length, 10u);
    EXPECT_EQ(value.substr(0, length), std::string(buffer));
    for (size_t i = length; i < sizeof buffer; i++)
        EXPECT_EQ(0, buffer[i]) << "byte " << i;
}

TEST_F(ProfileReaders, ReadScriptKeyNamesSectionAndKeyInItsMessage)
{
    WriteScript("[SETUP]\r\nCompanyName=Tallow\r\n[UPDATE]\r\nUpdateFile00=u,data\\bgm.dat\r\nEmpty=\r\n");
    struct {
        const char* section;
        const char* key;
        int report;
        int result;
        const char* value;
        const char* box;
    } cases[] = {
        { "SETUP", "CompanyName", 1, 1, "Tallow", 0 },
        { "update", "updatefile00", 1, 1, "u,data\\bgm.dat", 0 },
        { "SETUP", "GameClass", 1, 0, "", u8"SETUP : GameClass キーが存在しません" },
        { "UPDATE", "Empty", 1, 0, "", u8"UPDATE : Empty キーが存在しません" },
        { "UPDATE", "CompanyName", 1, 0, "", u8"UPDATE : CompanyName キーが存在しません" },
        { "UPDATE", "UpdateFile01", 0, 0, "", 0 },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        ReportMissingKeys = c.report;
        MessageBoxRecorder boxes;
        char buffer[260];
        memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(c.result, ReadScriptKey(c.section, c.key, buffer, sizeof buffer));
        EXPECT_STREQ(c.value, buffer);
        ExpectErrorBoxes(boxes, "INSTCMMN", c.box ? std::vector<std::string>{ c.box } : std::vector<std::string>{});
    }
}

TEST_F(ProfileReaders, ReadIntKeyConvertsTextAndLeavesTheIntegerAloneWhenMissing)
{
    WriteSetupIni("A=12abc\r\nB=abc\r\nC= -5\r\nD=99999999999\r\nE=\r\nF=+8\r\n");
    struct {
        const char* key;
        int result;
        int32_t value;
        const char* box;
    } cases[] = {
        { "A", 1, 12, 0 },
        { "B", 1, 0, 0 },
        { "C", 1, -5, 0 },
        { "D", 1, 2147483647, 0 },
        { "F", 1, 8, 0 },
        { "E", 0, 77, u8"SETUP.INI : E キーが存在しません" },
        { "G", 0, 77, u8"SETUP.INI : G キーが存在しません" },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.key);
        MessageBoxRecorder boxes;
        int32_t value = 77;
        EXPECT_EQ(c.result, ReadIntKey(c.key, &value));
        EXPECT_EQ(c.value, value);
        ExpectErrorBoxes(boxes, "INSTCMMN", c.box ? std::vector<std::string>{ c.box } : std::vector<std::string>{});
    }
}

TEST_F(ProfileReaders, SettingsErrorIsOwnedByTheWizardWhileItsWindowExists)
{
    HWND wizard = CreateWindowExA(0, "STATIC", "wizard", WS_OVERLAPPED, 0, 0, 100, 100, 0, 0, 0, 0);
    ASSERT_TRUE(wizard != 0);
    WizardWindow = wizard;
    {
        MessageBoxRecorder boxes;
        ShowSettingsError("SETUP.INI : SetupBmps エラー");
        ASSERT_EQ(1u, boxes.Boxes().size());
        const SeenBox& box = boxes.Boxes()[0];
        EXPECT_EQ("INSTCMMN", box.Caption);
        EXPECT_EQ(u8"SETUP.INI : SetupBmps エラー", box.Text);
        EXPECT_EQ(BoxIcon::Error, box.Icon);
        EXPECT_EQ(std::vector<int>{ IDOK }, box.Buttons);
        EXPECT_EQ(wizard, box.Owner);
    }
    // A closed wizard owns nothing: the box still appears, without an owner.
    DestroyWindow(wizard);
    MessageBoxRecorder boxes;
    ShowSettingsError("SETUP.INI : Shortcuts オーバー");
    ExpectErrorBoxes(boxes, "INSTCMMN", { u8"SETUP.INI : Shortcuts オーバー" });
    WizardWindow = 0;
}

} // namespace
