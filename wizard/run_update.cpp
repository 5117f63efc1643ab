#include <string.h>

#include "archive/archive.h"
#include "config/config.h"
#include "startup/system_functions.h"
#include "startup/updater_state.h"
#include "wizard/wizard.h"

UpdateEntry UpdateEntries[16];
int32_t UpdateEntryCount;

enum { RunPathSize = 1024 };

static void Enable(HWND dialog, int id, BOOL on)
{
    EnableWindow(GetDlgItem(dialog, id), on);
}

static void Abort(HWND dialog, const char* message)
{
    ShowUpdaterError(message);
    EndDialog(dialog, -1);
}

// "RequiredDiskSpace": 1 when the drive of InstPath has room or its free
// space cannot be told (the writes then report a lack of room themselves);
// 0 after the shortfall has been shown.
static int CheckFreeSpace(HWND dialog)
{
    char value[260];
    if (!ReadScriptKey("UPDATE", "RequiredDiskSpace", value, sizeof value))
        return 1;
    uint32_t required = (uint32_t)TextToInt32(value);
    if (required == 0)
        return 1;
    char drive[3];
    lstrcpynA(drive, InstallRecord.InstPath, sizeof drive);
    uint64_t available = 0;
    if (!QueryFreeSpace(drive, &available) || available >= required)
        return 1;
    char text[TextBufferSize];
    wsprintfA(text, "ディスク容量が足りません。\r%s ドライブに %lu バイトの空き容量が必要です", drive,
              (unsigned long)(required - available));
    SetDlgItemTextA(dialog, InfoTextId, text);
    Enable(dialog, BackButtonId, TRUE);
    Enable(dialog, NextButtonId, FALSE);
    Enable(dialog, CancelButtonId, TRUE);
    return 0;
}

static int IsModeLetter(const char* item, char letter)
{
    return (item[0] == letter || item[0] == letter - 'a' + 'A') && item[1] == 0;
}

static int32_t FileNameOffset(const char* path)
{
    int32_t offset = 0;
    for (int32_t i = 0; path[i]; i++) {
        if (IsDBCSLeadByte((BYTE)path[i])) {
            if (!path[i + 1])
                break;
            i++;
        } else if (path[i] == '\\') {
            offset = i + 1;
        }
    }
    return offset;
}

int ReadUpdateEntries(void)
{
    UpdateEntryCount = 0;
    int present = 0;
    for (int i = 0; i < 16; i++) {
        char key[32], value[TextBufferSize];
        wsprintfA(key, "UpdateFile%02i", i);
        if (!ReadScriptKey("UPDATE", key, value, sizeof value))
            break;
        present = 1;
        char items[3][ItemSize];
        const char* cursor = value;
        int n = 0;
        while (n < 3 && NextListItem(items[n], &cursor))
            n++;
        // A value cut by its buffer or an item longer than a path: refused
        // before anything is written, rather than writing to a cut-off name.
        if ((n < 3 && ListItemTooLong(cursor)) || strlen(value) >= sizeof value - 1) {
            char text[TextBufferSize];
            wsprintfA(text, "UPDATE.INI : %s のパスが長すぎます", key);
            ShowUpdaterError(text);
            return -1;
        }
        for (int k = n; k < 3; k++)
            items[k][0] = 0;

        int accepted = 1, mode = 0;
        if (items[0][0] >= '0' && items[0][0] <= '9' && items[0][1] == 0) {
            accepted = items[0][0] - '0' == InstallRecord.InstMode;
            mode = 1;
        }
        UpdateEntry& e = UpdateEntries[UpdateEntryCount];
        e.Mode = Plain;
        lstrcpyA(e.Path, items[mode]);
        const char letters[3] = { 'd', 'u', 'o' };
        const int32_t modes[3] = { Data, Newer, Existing };
        for (int k = 0; k < 3; k++) {
            if (IsModeLetter(items[mode], letters[k])) {
                e.Mode = modes[k];
                lstrcpyA(e.Path, items[mode + 1]);
            }
        }
        if (accepted) {
            e.NameOffset = FileNameOffset(e.Path);
            UpdateEntryCount++;
        }
    }
    return present;
}

// A data file that exists keeps its content: it is read whole and written
// back through the same safe write as every other file. 1 when that was
// done (whatever the write-back gave), 0 when the entry is to be extracted.
static int RewriteDataFile(const char* target)
{
    HANDLE h = SystemFunctions.CreateFileA(target, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, 0);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int done = 0;
    void* block = 0;
    DWORD size = SystemFunctions.GetFileSize(h, 0);
    if (size != INVALID_FILE_SIZE) {
        block = GlobalAlloc(GMEM_FIXED, size ? size : 1);
        if (block) {
            DWORD read = 0;
            done = SystemFunctions.ReadFile(h, block, size, &read, 0) && read == size;
        }
    }
    SystemFunctions.CloseHandle(h);
    if (done)
        WriteWholeFile(target, block, size, 0);
    if (block)
        GlobalFree(block);
    return done;
}

// Applies one entry; 0 when it could not be written.
static int ApplyEntry(const UpdateEntry& e, int overwriteOnly)
{
    char target[RunPathSize];
    lstrcpyA(target, e.Mode == Data ? InstallRecord.DataPath : InstallRecord.InstPath);
    if (!JoinPath(target, sizeof target, ScriptSetup.DataFolder))
        return 0;
    CreateDirectoryA(target, 0);
    if (!JoinPath(target, sizeof target, e.Path))
        return 0;

    if (overwriteOnly || e.Mode == Existing) {
        DWORD attributes = SystemFunctions.GetFileAttributesA(target);
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return 1;
    }
    if (e.Mode == Data && RewriteDataFile(target))
        return 1;
    return ExtractArchiveEntry(e.Path + e.NameOffset, target, e.Mode == Newer);
}

static void ShowCompletion(HWND dialog)
{
    SetInfoText(dialog, "%sは完了しました", ModeText);
    SetDlgItemTextA(dialog, NextButtonId, "完了");
    Enable(dialog, NextButtonId, TRUE);
    SetFocus(GetDlgItem(dialog, NextButtonId));
    SetCursor(LoadCursorA(0, IDC_ARROW));
}

void RunUpdate(HWND dialog)
{
    if (!CheckFreeSpace(dialog))
        return;

    SetInfoText(dialog, "%sを実行しています", ModeText);
    Enable(dialog, BackButtonId, FALSE);
    Enable(dialog, NextButtonId, FALSE);
    Enable(dialog, CancelButtonId, FALSE);
    SetCursor(LoadCursorA(0, IDC_WAIT));

    char value[260];
    int overwriteOnly = ReadScriptKey("UPDATE", "OverwriteOnly", value, sizeof value) && TextToInt32(value) != 0;

    int updateListed = ReadUpdateEntries();
    if (updateListed < 0) {
        EndDialog(dialog, -1);
        return;
    }
    int copyListed = ReadCopyEntries();
    if (copyListed < 0) {
        EndDialog(dialog, -1);
        return;
    }

    if (!updateListed && !copyListed) {
        Abort(dialog, "No 'UpdateFileXX' and 'CopyFileXX'");
        return;
    }
    if (UpdateEntryCount == 0 && CopyEntryCount == 0) {
        ShowUpdaterError("アップデートする必要のあるファイルはありません");
        ShowCompletion(dialog);
        return;
    }

    for (int i = 0; i < UpdateEntryCount; i++) {
        if (!ApplyEntry(UpdateEntries[i], overwriteOnly)) {
            Abort(dialog, "ファイルの書き込みに失敗しました");
            return;
        }
    }
    if (CopyEntryCount != 0 && !CopyFromDisc(dialog))
        return;
    ShowCompletion(dialog);
}
