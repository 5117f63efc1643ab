// The update run's rules, in process: the free-space figures (through the
// replaceable query), the busy guard, and how script entries are read.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include "archive/archive.h"
#include "config/config.h"
#include "startup/system_functions.h"
#include "startup/updater_state.h"
#include "support/message_boxes.h"
#include "wizard/wizard.h"

namespace {

uint64_t FreeBytes;
int FreeKnown;
int Queries;
char QueriedDrive[8];

int FakeFreeSpace(const char* drive, uint64_t* free)
{
    Queries++;
    lstrcpynA(QueriedDrive, drive, sizeof QueriedDrive);
    *free = FreeBytes;
    return FreeKnown;
}

class UpdateRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(1, BindSystemFunctions());
        TempScriptPath[0] = 0;
        strcpy(InstallRecord.InstPath, "C:\\Game");
        InstallRecord.InstMode = 0;
        strcpy(ModeText, Utf8ToAnsi("アップデート").c_str());
        strcpy(WindowTitle, "UPDATE");
        ReportMissingKeys = 0;
        QueryFreeSpace = FakeFreeSpace;
        FreeKnown = 1;
        Queries = 0;
        dialog = CreateDialogParamA(GetModuleHandleA(0), MAKEINTRESOURCEA(PlainTemplateId), 0, UpdateDlgProc, 0);
        ASSERT_NE(nullptr, dialog);
    }
    void TearDown() override
    {
        DestroyWindow(dialog);
        DeleteFileA(TempScriptPath);
    }
    // Each script gets a name of its own: the profile reader caches files by
    // name and time, and a rewrite within the same second could go unseen.
    void Script(const std::string& update)
    {
        static int count;
        DeleteFileA(TempScriptPath);
        GetTempPathA(MAX_PATH, TempScriptPath);
        sprintf(TempScriptPath + strlen(TempScriptPath), "update-run-test-%lu-%d.ini", GetCurrentProcessId(), ++count);
        FILE* f = fopen(TempScriptPath, "wb");
        std::string text = Utf8ToAnsi("[UPDATE]\r\n" + update);
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    }
    std::string Info()
    {
        char text[1024];
        GetDlgItemTextA(dialog, InfoTextId, text, sizeof text);
        return AnsiToUtf8(text);
    }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }
    void Press(int id) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    HWND dialog = 0;
};

// Every entry of another install mode: the run ends on its completion page
// after the "nothing to do" box, without touching the archive.
const char* const NothingToDo = "UpdateFile00=1,a.dat\r\n";

TEST_F(UpdateRunTest, FreeSpaceEqualPassesOneByteShortShowsTheShortfall)
{
    Script(std::string("RequiredDiskSpace=5000\r\n") + NothingToDo);
    MessageBoxRecorder boxes;
    FreeBytes = 4999;
    Press(NextButtonId);                       // start -> confirmation
    Press(NextButtonId);                       // run
    EXPECT_STREQ("C:", QueriedDrive);
    EXPECT_EQ("ディスク容量が足りません。\rC: ドライブに 1 バイトの空き容量が必要です", Info());
    EXPECT_TRUE(Enabled(BackButtonId));
    EXPECT_FALSE(Enabled(NextButtonId));
    EXPECT_TRUE(Enabled(CancelButtonId));
    EXPECT_EQ(2, WizardStep);
    EXPECT_TRUE(boxes.Boxes().empty());

    Press(BackButtonId);                       // back to the confirmation page
    EXPECT_EQ("アップデートを実行します", Info());
    EXPECT_EQ(1, WizardStep);
    FreeBytes = 5000;                          // room has been made
    Press(NextButtonId);
    EXPECT_EQ(2, Queries);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("アップデートする必要のあるファイルはありません", boxes.Boxes()[0].Text);
    EXPECT_EQ("アップデートは完了しました", Info());
    char caption[32];
    GetDlgItemTextA(dialog, NextButtonId, caption, sizeof caption);
    EXPECT_EQ("完了", AnsiToUtf8(caption));
    EXPECT_TRUE(Enabled(NextButtonId));
    EXPECT_FALSE(Enabled(BackButtonId));
    EXPECT_FALSE(Enabled(CancelButtonId));
}

struct SpaceCase {
    const char* required;   // the script's value; nullptr: no key
    uint64_t free;
    int known;
    const char* info;       // nullptr: the run goes on
};

TEST_F(UpdateRunTest, FreeSpaceFigures)
{
    const SpaceCase cases[] = {
        // The shortfall is the full unsigned number of bytes.
        { "-1", 0, 1, "ディスク容量が足りません。\rC: ドライブに 4294967295 バイトの空き容量が必要です" },
        { "-1294967296", 1, 1, "ディスク容量が足りません。\rC: ドライブに 2999999999 バイトの空き容量が必要です" },
        { "99999999999", 0, 1, "ディスク容量が足りません。\rC: ドライブに 2147483647 バイトの空き容量が必要です" },
        { "4294967295", 5000000000ULL, 1, nullptr },
        // Free space that cannot be told does not stop a player with room.
        { "5000", 0, 0, nullptr },
        // No number: no check.
        { "0", 0, 1, nullptr },
        { "abc", 0, 1, nullptr },
        { nullptr, 0, 1, nullptr },
    };
    for (const SpaceCase& c : cases) {
        SCOPED_TRACE(c.required ? c.required : "(none)");
        Script((c.required ? std::string("RequiredDiskSpace=") + c.required + "\r\n" : std::string()) + NothingToDo);
        MessageBoxRecorder boxes;
        FreeBytes = c.free;
        FreeKnown = c.known;
        WizardStep = 1;
        Press(NextButtonId);
        if (c.info) {
            EXPECT_EQ(c.info, Info());
            EXPECT_TRUE(boxes.Boxes().empty());
        } else {
            EXPECT_EQ("アップデートは完了しました", Info());
        }
    }
}

TEST_F(UpdateRunTest, ButtonsAreInertWhileTheRunShowsABox)
{
    Script(NothingToDo);
    MessageBoxRecorder boxes;
    int stepDuringBox = -1;
    LRESULT cursorHandled = 0;
    boxes.WhileShown = [&](const SeenBox&) {
        stepDuringBox = WizardStep;
        Press(NextButtonId);
        Press(BackButtonId);
        Press(CancelButtonId);
        cursorHandled = SendMessageA(dialog, WM_SETCURSOR, (WPARAM)dialog, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    WizardStep = 1;
    Press(NextButtonId);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(1, stepDuringBox);
    EXPECT_EQ(1, cursorHandled) << "wait cursor while busy";
    EXPECT_EQ(2, WizardStep);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Cancel did not end the wizard";
    EXPECT_EQ("アップデートは完了しました", Info());
    EXPECT_EQ(0, SendMessageA(dialog, WM_SETCURSOR, (WPARAM)dialog, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
}

struct EntryCase {
    const char* value;
    int32_t instMode;
    int accepted;
    int32_t mode;
    const char* path;
    int32_t nameOffset;
};

TEST_F(UpdateRunTest, UpdateFileEntries)
{
    const EntryCase cases[] = {
        { "readme.txt", 0, 1, Plain, "readme.txt", 0 },
        { "u,data\\bgm.dat", 0, 1, Newer, "data\\bgm.dat", 5 },
        { "2,d,save\\system.dat", 2, 1, Data, "save\\system.dat", 5 },
        { "2,d,save\\system.dat", 1, 0, 0, "", 0 },
        { "12,a.dat", 0, 1, Plain, "12", 0 },
        { "U,a.dat", 0, 1, Newer, "a.dat", 0 },
        { "u ,a.dat", 0, 1, Plain, "u ", 0 },
        { "O,a.dat", 0, 1, Existing, "a.dat", 0 },
        { "d", 0, 1, Data, "", 0 },
        { "data/a.dat", 0, 1, Plain, "data/a.dat", 0 },
        // "ソ" ends in the byte of a backslash; it is no separator.
        { "ソフト\\a.dat", 0, 1, Plain, "ソフト\\a.dat", 7 },
        { "表\\ソ", 0, 1, Plain, "表\\ソ", 3 },
        { "C:\\a.dat", 0, 1, Plain, "\\a.dat", 1 },
        { "  a.dat ,ignored", 0, 1, Plain, "a.dat ", 0 },
        { "0,u,a.dat,more", 0, 1, Newer, "a.dat", 0 },
    };
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.value);
        Script("UpdateFile00=" + std::string(c.value) + "\r\n");
        InstallRecord.InstMode = c.instMode;
        ASSERT_EQ(1, ReadUpdateEntries());
        ASSERT_EQ(c.accepted, UpdateEntryCount);
        if (c.accepted) {
            EXPECT_EQ(c.mode, UpdateEntries[0].Mode);
            EXPECT_EQ(c.path, AnsiToUtf8(UpdateEntries[0].Path));
            EXPECT_EQ(c.nameOffset, UpdateEntries[0].NameOffset);
        }
    }
}

TEST_F(UpdateRunTest, UpdateFileListEndsAtTheFirstMissingKey)
{
    std::string keys;
    for (int i : { 0, 1, 3, 16 })
        keys += "UpdateFile" + std::string(i < 10 ? "0" : "") + std::to_string(i) + "=f" + std::to_string(i) + "\r\n";
    Script(keys + "UpdateFile02=\r\n");
    EXPECT_EQ(1, ReadUpdateEntries());
    ASSERT_EQ(2, UpdateEntryCount);
    EXPECT_STREQ("f1", UpdateEntries[1].Path);

    // A dropped entry takes no place in the table.
    Script("UpdateFile00=1,x.dat\r\nUpdateFile01=y.dat\r\n");
    EXPECT_EQ(1, ReadUpdateEntries());
    ASSERT_EQ(1, UpdateEntryCount);
    EXPECT_STREQ("y.dat", UpdateEntries[0].Path);

    Script("UpdateFile01=y.dat\r\n");
    EXPECT_EQ(0, ReadUpdateEntries());
    EXPECT_EQ(0, UpdateEntryCount);
}

TEST_F(UpdateRunTest, OverlongItemsAreRefusedNotCut)
{
    MessageBoxRecorder boxes;
    Script("UpdateFile00=u," + std::string(260, 'a') + "\r\n");
    EXPECT_EQ(-1, ReadUpdateEntries());
    Script("UpdateFile00=" + std::string(259, 'a') + "\r\n");
    EXPECT_EQ(1, ReadUpdateEntries());
    EXPECT_EQ(259u, strlen(UpdateEntries[0].Path));
    Script("CopyFile00=1:" + std::string(260, 'a') + "\r\n");
    EXPECT_EQ(-1, ReadCopyEntries());
    ASSERT_EQ(2u, boxes.Boxes().size());
    EXPECT_EQ("UPDATE.INI : UpdateFile00 のパスが長すぎます", boxes.Boxes()[0].Text);
    EXPECT_EQ("UPDATE.INI : CopyFile00 のパスが長すぎます", boxes.Boxes()[1].Text);
    EXPECT_EQ(BoxIcon::Error, boxes.Boxes()[1].Icon);
}

struct CopyCase {
    const char* value;
    int32_t instMode;
    int taken;
    int32_t disc;
    const char* path;
};

TEST_F(UpdateRunTest, CopyFileEntries)
{
    const CopyCase cases[] = {
        { "voice.dat", 1, 1, 0, "voice.dat" },
        { "2:voice.dat", 1, 1, 2, "voice.dat" },
        { "1,2:voice.dat", 1, 1, 2, "voice.dat" },
        { "1,2:voice.dat", 0, 0, 0, "" },
        { "1,voice.dat", 1, 1, 0, "voice.dat" },
        { "12,voice.dat", 1, 1, 0, "12,voice.dat" },
        { "2:", 0, 1, 2, "" },
        { "3: a,b:c", 0, 1, 3, " a,b:c" },
    };
    for (const CopyCase& c : cases) {
        SCOPED_TRACE(c.value);
        Script("CopyFile00=" + std::string(c.value) + "\r\n");
        InstallRecord.InstMode = c.instMode;
        EXPECT_EQ(1, ReadCopyEntries());
        ASSERT_EQ(c.taken, CopyEntryCount);
        if (c.taken) {
            EXPECT_EQ(c.disc, CopyEntries[0].DiscNumber);
            EXPECT_EQ(c.path, std::string(CopyEntries[0].Path));
        }
    }
}

TEST_F(UpdateRunTest, CopyFileListRules)
{
    // A skipped entry lets the list go on; CopyFile16 is never read.
    InstallRecord.InstMode = 1;
    std::string keys = "CopyFile00=2,a\r\nCopyFile01=1,b\r\n";
    for (int i = 2; i <= 16; i++)
        keys += "CopyFile" + std::string(i < 10 ? "0" : "") + std::to_string(i) + "=f\r\n";
    Script(keys);
    EXPECT_EQ(1, ReadCopyEntries());
    EXPECT_EQ(15, CopyEntryCount);
    EXPECT_STREQ("b", CopyEntries[0].Path);

    Script("CopyFile01=b\r\n");
    EXPECT_EQ(0, ReadCopyEntries());
    EXPECT_EQ(0, CopyEntryCount);

    MessageBoxRecorder boxes;
    Script("CopyFile00=x:voice.dat\r\n");
    EXPECT_EQ(-1, ReadCopyEntries());
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("UPDATE.INI : CopyFile00 のディスク番号が正しくありません", boxes.Boxes()[0].Text);
}

} // namespace
