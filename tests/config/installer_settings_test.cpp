#include <gtest/gtest.h>

#include <string.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "config/config_fixture.h"

namespace {

// A small valid SETUP.INI: one select, one shortcut, nothing optional.
const ProfileKeys BaseKeys = {
    { "CompanyName", "Tallow" },
    { "GameTitle", "テストゲーム" },
    { "GameDir", "TestGame" },
    { "GameExe", "game.exe" },
    { "UninstExe", "uninst.exe" },
    { "SetupBmp", "a.bmp,b.bmp" },
    { "InstallSelects", "1" },
    { "InstallTitle0", "標準" },
    { "InstallFiles0", "data.pak" },
    { "Shortcuts", "1" },
    { "Shortcut0", "Game,game.exe" },
};

std::string Items(const char* prefix, int count)
{
    std::string list;
    for (int i = 0; i < count; i++)
        list += (i ? "," : "") + std::string(prefix) + std::to_string(i);
    return list;
}

std::vector<std::string> Boxes(const char* text)
{
    return text ? std::vector<std::string>{ text } : std::vector<std::string>{};
}

class InstallerSettingsTest : public ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        // The updater script's values, which the load replaces.
        strcpy(ScriptSetup.CompanyName, "ScriptCompany");
        strcpy(ScriptSetup.GameTitle, "ScriptTitle");
        strcpy(ScriptSetup.GameClass, "ScriptClass");
        strcpy(ScriptSetup.GameDir, "ScriptDir");
    }

    // Writes the base file with the overrides applied (in place, or appended).
    void Write(const Overrides& overrides)
    {
        std::string lines = ProfileLines(BaseKeys, overrides);
        WriteSetupIni(lines);
    }

    // Loads the file with the given overrides and checks the result and the
    // boxes shown. ReportMissingKeys is false, as the updater leaves it.
    void Load(const Overrides& overrides, int result, const char* box = 0, int report = 0)
    {
        Write(overrides);
        ReportMissingKeys = report;
        MessageBoxRecorder boxes;
        EXPECT_EQ(result, LoadInstallerSettings());
        ExpectErrorBoxes(boxes, "INSTCMMN", Boxes(box));
    }
};

// Every field of a full file, read in one load.
TEST_F(InstallerSettingsTest, ReadsEveryFieldOfAFullFile)
{
    const std::string long300(300, 'L');
    const std::string message1100(1100, 'm');
    Load({ { "GameExe", long300.c_str() },
           { "SetupBmp", " top.bmp , side.bmp,3:disc.bmp" },
           { "InstallSelects", "2" },
           { "InstallTitle1", "フル" },
           { "InstallFiles1", "1:a.pak,b.pak" },
           { "Shortcuts", "2" },
           { "Shortcut1", "Readme,readme.txt,,docs" },
           { "GameClass", "TestGameWindow" },
           { "DefaultSelect", "7" },
           { "InstallSize0", "123456789012" },
           { "InstallSize1", "5" },
           { "DiskCheckFile0", "disc0.chk" },
           { "DiskCheckFile9", "disc9.chk" },
           { "ExecApp", "setup.exe,/s,ignored" },
           { "SelectSetupMessage", message1100.c_str() },
           { "SaveDataFolderNameInInstall", "sv" },
           { "SaveDataFolderName", "Saves" },
           { "StrKeyInstPath", "Path" },
           { "ShortcutFolder", "Tallow\\Test" },
           { "UninstTitle", "Remove" },
           { "InstPathMode", "-2" },
           { "GameExe64", "game64.exe" },
           { "UseCompanyNameForShortcutGroup", "1" } },
         1, 0, 1);

    const InstallerSettingsValues& s = InstallerSettings;
    EXPECT_STREQ("Tallow", ScriptSetup.CompanyName);
    EXPECT_STREQ("テストゲーム", ScriptSetup.GameTitle);
    EXPECT_STREQ("TestGame", ScriptSetup.GameDir);
    EXPECT_STREQ("TestGameWindow", ScriptSetup.GameClass);
    EXPECT_EQ(long300.substr(0, 259), s.GameExe);
    EXPECT_STREQ("uninst.exe", s.UninstExe);
    EXPECT_STREQ("top.bmp ", s.SetupBmp[0]);
    EXPECT_STREQ("side.bmp", s.SetupBmp[1]);
    EXPECT_STREQ("disc.bmp", s.SetupBmp[2]);
    EXPECT_STREQ("", s.SetupBmp[3]);
    EXPECT_EQ(2, s.InstallSelects);
    EXPECT_STREQ("標準", s.InstallTitle[0]);
    EXPECT_STREQ("フル", s.InstallTitle[1]);
    EXPECT_STREQ("data.pak", s.InstallFiles[0][0]);
    EXPECT_STREQ("", s.InstallFiles[0][1]);
    EXPECT_STREQ("a.pak", s.InstallFiles[1][0]);
    EXPECT_STREQ("b.pak", s.InstallFiles[1][1]);
    EXPECT_EQ(1, s.InstallFilesDisc[1][0]);
    EXPECT_EQ(1, s.InstallFilesDisc[1][1]);
    EXPECT_EQ(0, s.InstallNeedsDisc[0]);
    EXPECT_EQ(1, s.InstallNeedsDisc[1]);
    EXPECT_EQ(2, s.Shortcuts);
    EXPECT_STREQ("Game", s.Shortcut[0][0]);
    EXPECT_STREQ("game.exe", s.Shortcut[0][1]);
    EXPECT_STREQ("Readme", s.Shortcut[1][0]);
    EXPECT_STREQ("readme.txt", s.Shortcut[1][1]);
    EXPECT_STREQ("", s.Shortcut[1][2]);
    EXPECT_STREQ("docs", s.Shortcut[1][3]);
    EXPECT_EQ(7, s.DefaultSelect);
    EXPECT_EQ(123456789012ull, s.InstallSize[0]);
    EXPECT_EQ(5u, s.InstallSize[1]);
    EXPECT_STREQ("disc0.chk", s.DiskCheckFile[0]);
    for (int i = 1; i < 9; i++)
        EXPECT_STREQ("", s.DiskCheckFile[i]) << i;
    EXPECT_STREQ("disc9.chk", s.DiskCheckFile[9]);
    EXPECT_STREQ("setup.exe", s.ExecApp[0]);
    EXPECT_STREQ("/s", s.ExecApp[1]);
    EXPECT_EQ(message1100.substr(0, 1023), s.SelectSetupMessage);
    EXPECT_STREQ("sv", s.SaveDataFolderNameInInstall);
    EXPECT_STREQ("Saves", s.SaveDataFolderName);
    EXPECT_STREQ("Path", s.StrKeyInstPath);
    EXPECT_STREQ("Tallow\\Test", s.ShortcutFolder);
    EXPECT_EQ(0, s.InstallAfterAdd);
    EXPECT_STREQ("Remove", s.UninstTitle);
    EXPECT_EQ(-2, s.InstPathMode);
    EXPECT_STREQ("game64.exe", s.GameExe64);
    EXPECT_EQ(0, ReportMissingKeys);
}

TEST_F(InstallerSettingsTest, OptionalKeysTakeTheirDefaultsSilently)
{
    // Earlier values everywhere, to see that each default is written.
    InstallerSettingsValues& s = InstallerSettings;
    s.DefaultSelect = 9;
    s.InstallSize[0] = 99;
    strcpy(s.DiskCheckFile[3], "stale");
    strcpy(s.ExecApp[0], "stale");
    strcpy(s.ExecApp[1], "stale");
    strcpy(s.SelectSetupMessage, "stale");
    strcpy(s.SaveDataFolderNameInInstall, "stale");
    strcpy(s.SaveDataFolderName, "stale");
    strcpy(s.StrKeyInstPath, "stale");
    strcpy(s.ShortcutFolder, "stale");
    s.InstallAfterAdd = 1;
    strcpy(s.UninstTitle, "stale");
    s.InstPathMode = 9;
    strcpy(s.GameExe64, "stale");

    // Missing and empty alike; reported as missing only before the shortcuts.
    const Overrides emptyValues[] = {
        {},
        { { "GameClass", "" }, { "DefaultSelect", "" }, { "InstallSize0", "" }, { "DiskCheckFile3", "" },
          { "ExecApp", "" }, { "SelectSetupMessage", "" }, { "SaveDataFolderNameInInstall", "" },
          { "SaveDataFolderName", "" }, { "StrKeyInstPath", "" }, { "ShortcutFolder", "" },
          { "InstallAfterAdd", "" }, { "UninstTitle", "" }, { "InstPathMode", "" }, { "GameExe64", "" } },
    };
    for (const Overrides& o : emptyValues) {
        SCOPED_TRACE(o.empty() ? "missing" : "empty");
        Load(o, 1, 0, 1);
        // GameClass falls back to this file's title, not the script's.
        EXPECT_STREQ("テストゲーム", ScriptSetup.GameClass);
        EXPECT_EQ(0, s.DefaultSelect);
        EXPECT_EQ(0u, s.InstallSize[0]);
        EXPECT_STREQ("", s.DiskCheckFile[3]);
        EXPECT_STREQ("", s.ExecApp[0]);
        EXPECT_STREQ("", s.ExecApp[1]);
        EXPECT_STREQ("インストール方法を選択して下さい", s.SelectSetupMessage);
        EXPECT_STREQ("savedata", s.SaveDataFolderNameInInstall);
        EXPECT_STREQ("TestGame", s.SaveDataFolderName);
        EXPECT_STREQ("InstPath", s.StrKeyInstPath);
        EXPECT_STREQ("", s.ShortcutFolder);
        EXPECT_EQ(0, s.InstallAfterAdd);
        EXPECT_STREQ("テストゲーム", s.UninstTitle);
        EXPECT_EQ(0, s.InstPathMode);
        EXPECT_STREQ("", s.GameExe64);
        EXPECT_EQ(0, ReportMissingKeys);
    }
}

TEST_F(InstallerSettingsTest, RequiredKeyMissingOrEmptyEndsTheLoad)
{
    const char* required[] = { "CompanyName", "GameTitle", "GameDir", "GameExe", "UninstExe", "SetupBmp",
                               "InstallSelects", "InstallTitle0", "InstallFiles0", "Shortcuts", "Shortcut0" };
    for (const char* key : required) {
        SCOPED_TRACE(key);
        const std::string message = std::string("SETUP.INI : ") + key + u8" キーが存在しません";
        struct {
            const char* value;
            int report;
            const char* box;
        } cases[] = {
            { Absent, 1, message.c_str() },
            { Absent, 0, 0 },
            { "", 0, 0 },
        };
        for (auto& c : cases) {
            strcpy(ScriptSetup.GameClass, "ScriptClass");
            Load({ { key, c.value } }, 0, c.box, c.report);
            // The switch is left as the caller set it, and the load stopped
            // before GameClass was replaced.
            EXPECT_EQ(c.report, ReportMissingKeys);
            EXPECT_STREQ("ScriptClass", ScriptSetup.GameClass);
        }
    }
    // An empty value is reported exactly like a missing key.
    Load({ { "Shortcut0", "" } }, 0, u8"SETUP.INI : Shortcut0 キーが存在しません", 1);
}

// ReportMissingKeys after a failed load: as the caller left it (faults up to
// the shortcuts), false (later faults) or true (the add-on set's list).
enum { AsCallerLeftIt = -1 };

struct FaultCase {
    Overrides overrides;
    const char* box;        // UTF-8
    int reportAfter;
};

TEST_F(InstallerSettingsTest, FaultsAreShownWhateverTheReportSwitch)
{
    const std::string tooLong(260, 'x');
    const std::string fits(259, 'x');
    const std::string bmpsTooLong = "a.bmp," + tooLong;
    const std::string filesTooLong = "a.pak,2:" + tooLong + ",c.pak";
    const int Keep = AsCallerLeftIt;
    const FaultCase cases[] = {
        { { { "SetupBmp", "," } }, u8"SETUP.INI : SetupBmps エラー", Keep },
        { { { "SetupBmp", " ,a.bmp" } }, u8"SETUP.INI : SetupBmps エラー", Keep },
        { { { "InstallSelects", "5" } }, u8"SETUP.INI : InstallSelect オーバー", Keep },
        { { { "InstallSelects", "99999999999" } }, u8"SETUP.INI : InstallSelect オーバー", Keep },
        { { { "InstallFiles0", ",data.pak" } }, u8"SETUP.INI : InstallFiles0 エラー", Keep },
        { { { "Shortcuts", "11" } }, u8"SETUP.INI : Shortcuts オーバー", Keep },
        { { { "Shortcut0", "one,,three" } }, u8"SETUP.INI : Shortcut0 エラー", Keep },
        { { { "Shortcut0", "one" } }, u8"SETUP.INI : Shortcut0 エラー", Keep },
        { { { "Shortcut0", ",two" } }, u8"SETUP.INI : Shortcut0 エラー", Keep },
        { { { "ExecApp", "setup.exe" } }, u8"SETUP.INI : ExecApp エラー", 0 },
        { { { "ExecApp", "setup.exe,,x" } }, u8"SETUP.INI : ExecApp エラー", 0 },
        { { { "InstallAfterAdd", "1" } }, u8"SETUP.INI : InstallAddFiles キーが存在しません", 1 },
        { { { "InstallAfterAdd", "1" }, { "InstallAddFiles", "" } },
          u8"SETUP.INI : InstallAddFiles キーが存在しません", 1 },
        { { { "InstallAfterAdd", "1" }, { "InstallAddFiles", " ,add.pak" } },
          u8"SETUP.INI : InstallAddFiles エラー", 1 },
        // Items longer than their 259-byte slot refuse the whole list.
        { { { "SetupBmp", bmpsTooLong.c_str() } }, u8"SETUP.INI : SetupBmps エラー", Keep },
        { { { "InstallFiles0", filesTooLong.c_str() } }, u8"SETUP.INI : InstallFiles0 エラー", Keep },
        { { { "InstallAfterAdd", "1" }, { "InstallAddFiles", tooLong.c_str() } },
          u8"SETUP.INI : InstallAddFiles エラー", 1 },
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.box);
        for (int report = 0; report <= 1; report++) {
            Load(c.overrides, 0, c.box, report);
            EXPECT_EQ(c.reportAfter == AsCallerLeftIt ? report : c.reportAfter, ReportMissingKeys);
        }
    }
    // A 259-byte item fits its slot.
    const std::string filesFit = "a.pak," + fits;
    Load({ { "InstallFiles0", filesFit.c_str() } }, 1);
    EXPECT_EQ(fits, InstallerSettings.InstallFiles[0][1]);
}

TEST_F(InstallerSettingsTest, CountsAtAndBeyondTheirLimits)
{
    // Four selects and ten shortcuts, every indexed key present.
    Overrides full;
    std::vector<std::string> keep;
    keep.reserve(64);
    for (int k = 0; k < 5; k++) {
        keep.push_back("T" + std::to_string(k));
        full.push_back({ "InstallTitle" + std::to_string(k), keep.back().c_str() });
        keep.push_back("f" + std::to_string(k) + ".pak");
        full.push_back({ "InstallFiles" + std::to_string(k), keep.back().c_str() });
        full.push_back({ "InstallSize" + std::to_string(k), "100" });
    }
    for (int i = 0; i < 11; i++) {
        keep.push_back("S" + std::to_string(i) + ",s.exe");
        full.push_back({ "Shortcut" + std::to_string(i), keep.back().c_str() });
    }
    full.push_back({ "DiskCheckFile4", "d4.chk" });

    struct {
        const char* selects;
        const char* shortcuts;
        int result;
        const char* box;
        int titles;          // InstallTitle slots that were read
        int shortcutsRead;
    } cases[] = {
        { "4", "10", 1, 0, 4, 10 },
        { "5", "10", 0, u8"SETUP.INI : InstallSelect オーバー", 0, 0 },
        { "4", "11", 0, u8"SETUP.INI : Shortcuts オーバー", 4, 0 },
        { "0", "0", 1, 0, 0, 0 },
        { "-1", "-3", 1, 0, 0, 0 },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(std::string(c.selects) + "/" + c.shortcuts);
        memset(&InstallerSettings, 0, sizeof InstallerSettings);
        Overrides o = full;
        o.push_back({ "InstallSelects", c.selects });
        o.push_back({ "Shortcuts", c.shortcuts });
        Load(o, c.result, c.box);
        const InstallerSettingsValues& s = InstallerSettings;
        for (int k = 0; k < 4; k++) {
            std::string title = k < c.titles ? "T" + std::to_string(k) : "";
            EXPECT_EQ(title, s.InstallTitle[k]) << k;
            EXPECT_EQ(k < c.titles && c.result ? 100u : 0u, s.InstallSize[k]) << k;
        }
        for (int i = 0; i < 10; i++)
            EXPECT_EQ(i < c.shortcutsRead ? "S" + std::to_string(i) : "", s.Shortcut[i][0]) << i;
        // The disc check files are read whatever the number of selects.
        EXPECT_STREQ(c.result ? "d4.chk" : "", s.DiskCheckFile[4]);
    }
}

TEST_F(InstallerSettingsTest, ListsFillTheirSlotsUpToTheTableSize)
{
    struct {
        int setupBmps;
        int installFiles;
    } cases[] = { { 1, 1 }, { 19, 39 }, { 20, 40 }, { 25, 41 } };
    for (auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.setupBmps) + "/" + std::to_string(c.installFiles));
        // Earlier contents in every slot.
        InstallerSettingsValues& s = InstallerSettings;
        for (int i = 0; i < 20; i++)
            strcpy(s.SetupBmp[i], "stale");
        for (int i = 0; i < 40; i++)
            strcpy(s.InstallFiles[0][i], "stale");
        std::string bmps = Items("b", c.setupBmps);
        std::string files = Items("f", c.installFiles);
        Load({ { "SetupBmp", bmps.c_str() }, { "InstallFiles0", files.c_str() } }, 1);
        for (int i = 0; i < 20 && i < c.setupBmps; i++)
            EXPECT_EQ("b" + std::to_string(i), s.SetupBmp[i]) << i;
        if (c.setupBmps < 20) {
            EXPECT_STREQ("", s.SetupBmp[c.setupBmps]);
        }
        for (int i = 0; i < 40 && i < c.installFiles; i++)
            EXPECT_EQ("f" + std::to_string(i), s.InstallFiles[0][i]) << i;
        if (c.installFiles < 40) {
            EXPECT_STREQ("", s.InstallFiles[0][c.installFiles]);
        }
    }
}

struct DiscCase {
    const char* list;
    std::vector<std::string> items;
    std::vector<int32_t> discs;
    int32_t needsDisc;
};

TEST_F(InstallerSettingsTest, FileListItemsCarryInheritedDiscNumbers)
{
    const DiscCase cases[] = {
        { "a,2:b,c,0:d", { "a", "b", "c", "d" }, { 0, 2, 2, 0 }, 1 },
        { "a,b", { "a", "b" }, { 0, 0 }, 0 },
        { "0:a,b", { "a", "b" }, { 0, 0 }, 0 },
        { "C:\\x,y", { "\\x", "y" }, { 0, 0 }, 0 },
        { "3:a , b", { "a ", "b" }, { 3, 3 }, 1 },
        // A bare prefix gives an empty slot inside the list and passes the
        // first-item test.
        { "2:,b", { "", "b" }, { 2, 2 }, 1 },
        { "x,3:,z", { "x", "", "z" }, { 0, 3, 3 }, 1 },
    };
    for (const DiscCase& c : cases) {
        SCOPED_TRACE(c.list);
        // The second select starts over at disc 0 and clears its flag.
        InstallerSettings.InstallNeedsDisc[1] = 1;
        Load({ { "InstallSelects", "2" }, { "InstallTitle1", "B" }, { "InstallFiles0", c.list },
               { "InstallFiles1", "p,q" } },
             1);
        const InstallerSettingsValues& s = InstallerSettings;
        for (size_t i = 0; i < c.items.size(); i++) {
            EXPECT_EQ(c.items[i], s.InstallFiles[0][i]) << i;
            EXPECT_EQ(c.discs[i], s.InstallFilesDisc[0][i]) << i;
        }
        EXPECT_STREQ("", s.InstallFiles[0][c.items.size()]);
        EXPECT_EQ(c.needsDisc, s.InstallNeedsDisc[0]);
        EXPECT_EQ(0, s.InstallFilesDisc[1][0]);
        EXPECT_EQ(0, s.InstallFilesDisc[1][1]);
        EXPECT_EQ(0, s.InstallNeedsDisc[1]);
    }
}

struct ShortcutCase {
    const char* value;
    const char* fields[4];
};

TEST_F(InstallerSettingsTest, ShortcutFieldsTwoRequiredTwoOptional)
{
    const ShortcutCase cases[] = {
        { "one,two,,four", { "one", "two", "", "four" } },
        { "one,two,,,four", { "one", "two", "", "four" } },
        { "one,two, , four", { "one", "two", "", "four" } },
        { "one,two", { "one", "two", "", "" } },
        { "one,two,", { "one", "two", "", "" } },
        { "one,two,\t", { "one", "two", "", "" } },
        { "one,two,three,,five", { "one", "two", "three", "" } },
        { "one,two,three,four,five", { "one", "two", "three", "four" } },
        { " one , two", { "one ", "two", "", "" } },
        { "1:one,two,C:\\x", { "one", "two", "\\x", "" } },
    };
    for (const ShortcutCase& c : cases) {
        SCOPED_TRACE(c.value);
        for (int f = 0; f < 4; f++)
            strcpy(InstallerSettings.Shortcut[0][f], "stale");
        Load({ { "Shortcut0", c.value } }, 1);
        for (int f = 0; f < 4; f++)
            EXPECT_STREQ(c.fields[f], InstallerSettings.Shortcut[0][f]) << "field " << f;
    }
}

TEST_F(InstallerSettingsTest, AddOnSetTakesSelectSlotThree)
{
    const Overrides fourSelects = {
        { "InstallSelects", "4" },
        { "InstallTitle1", "B" }, { "InstallFiles1", "b.pak" },
        { "InstallTitle2", "C" }, { "InstallFiles2", "c.pak" },
        { "InstallTitle3", "D" }, { "InstallFiles3", "d1.pak,d2.pak,3:d3.pak" }, { "InstallSize3", "300" },
        { "InstallAddFiles", "add1.pak,2:add2.pak" }, { "InstallAddSize", "4096" },
    };
    struct {
        const char* flag;            // InstallAfterAdd
        int32_t installAfterAdd;
        std::vector<std::string> slot3;
        std::vector<int32_t> discs;
        int32_t needsDisc;
        uint64_t size;
    } cases[] = {
        { "1", 1, { "add1.pak", "add2.pak" }, { 0, 2 }, 1, 4096 },
        { "2", 1, { "add1.pak", "add2.pak" }, { 0, 2 }, 1, 4096 },
        { "0", 0, { "d1.pak", "d2.pak", "d3.pak" }, { 0, 0, 3 }, 1, 300 },
        { "abc", 0, { "d1.pak", "d2.pak", "d3.pak" }, { 0, 0, 3 }, 1, 300 },
        { Absent, 0, { "d1.pak", "d2.pak", "d3.pak" }, { 0, 0, 3 }, 1, 300 },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.flag ? c.flag : "(missing)");
        Overrides o = fourSelects;
        o.push_back({ "InstallAfterAdd", c.flag });
        Load(o, 1);
        const InstallerSettingsValues& s = InstallerSettings;
        EXPECT_EQ(c.installAfterAdd, s.InstallAfterAdd);
        for (size_t i = 0; i < c.slot3.size(); i++) {
            EXPECT_EQ(c.slot3[i], s.InstallFiles[3][i]) << i;
            EXPECT_EQ(c.discs[i], s.InstallFilesDisc[3][i]) << i;
        }
        EXPECT_STREQ("", s.InstallFiles[3][c.slot3.size()]);
        EXPECT_EQ(c.needsDisc, s.InstallNeedsDisc[3]);
        EXPECT_EQ(c.size, s.InstallSize[3]);
        EXPECT_STREQ("D", s.InstallTitle[3]);
        EXPECT_STREQ("c.pak", s.InstallFiles[2][0]);
        EXPECT_EQ(0, ReportMissingKeys);
    }

    // With one select the add-on set still goes to slot 3; without a size it is 0.
    InstallerSettings.InstallSize[3] = 77;
    Load({ { "InstallAfterAdd", "1" }, { "InstallAddFiles", "x.pak" } }, 1);
    EXPECT_STREQ("x.pak", InstallerSettings.InstallFiles[3][0]);
    EXPECT_EQ(0, InstallerSettings.InstallNeedsDisc[3]);
    EXPECT_EQ(0u, InstallerSettings.InstallSize[3]);
    EXPECT_STREQ("data.pak", InstallerSettings.InstallFiles[0][0]);
}

TEST_F(InstallerSettingsTest, InstallSizesConvertAtMostNineteenCharacters)
{
    struct {
        const char* text;
        uint64_t size;
    } cases[] = {
        { "12345678901234567890", 1234567890123456789ull },
        { "-1", UINT64_MAX },
        { " 42kb", 42 },
        { "abc", 0 },
        { "", 0 },
        { Absent, 0 },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(missing)");
        InstallerSettings.InstallSize[0] = 77;
        InstallerSettings.InstallSize[3] = 77;
        Load({ { "InstallSize0", c.text }, { "InstallAfterAdd", "1" }, { "InstallAddFiles", "x" },
               { "InstallAddSize", c.text } },
             1);
        EXPECT_EQ(c.size, InstallerSettings.InstallSize[0]);
        EXPECT_EQ(c.size, InstallerSettings.InstallSize[3]);
    }
}

} // namespace
