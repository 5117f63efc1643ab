#include <string.h>

#include "config/config.h"
#include "startup/system_functions.h"
#include "startup/updater_state.h"
#include "wizard/wizard.h"

CopyEntry CopyEntries[16];
int32_t CopyEntryCount;

enum { CopyPathSize = 1024 };

static void RefuseEntry(const char* key, const char* why)
{
    char text[TextBufferSize];
    wsprintfA(text, "UPDATE.INI : %s %s", key, why);
    ShowUpdaterError(text);
}

int ReadCopyEntries(void)
{
    CopyEntryCount = 0;
    int present = 0;
    for (int i = 0; i < 16; i++) {
        char key[32], value[TextBufferSize];
        wsprintfA(key, "CopyFile%02i", i);
        if (!ReadScriptKey("UPDATE", key, value, sizeof value))
            break;
        if (i == 0)
            present = 1;
        const char* p = value;
        if (p[0] && p[1] == ',') {
            int mode = (unsigned char)p[0] - '0';
            p += 2;
            if (mode != InstallRecord.InstMode)
                continue;
        }
        int32_t disc = 0;
        if (p[0] && p[1] == ':') {
            disc = (unsigned char)p[0] - '0';
            p += 2;
            // Only discs 0 to 9 have a check file.
            if (disc < 0 || disc > 9) {
                RefuseEntry(key, "のディスク番号が正しくありません");
                return -1;
            }
        }
        // A path that does not fit is refused, never cut to another name.
        if (strlen(p) > sizeof CopyEntries[0].Path - 1) {
            RefuseEntry(key, "のパスが長すぎます");
            return -1;
        }
        CopyEntry& e = CopyEntries[CopyEntryCount++];
        e.DiscNumber = disc;
        lstrcpyA(e.Path, p);
    }
    return present;
}

// Finds the CD-ROM drive holding the disc, asking for it until it is there.
// 1 and root set ("E:"), or 0 when the user gave up.
static int FindDisc(HWND dialog, int32_t disc, char* root)
{
    for (;;) {
        for (char letter = 'A'; letter <= 'Z'; letter++) {
            char drive[4] = { letter, ':', '\\', 0 };
            if (GetDriveTypeA(drive) != DRIVE_CDROM)
                continue;
            char check[CopyPathSize] = { letter, ':', 0 };
            if (!JoinPath(check, sizeof check, InstallerSettings.DiskCheckFile[disc]))
                continue;
            if (SystemFunctions.GetFileAttributesA(check) != INVALID_FILE_ATTRIBUTES) {
                root[0] = letter;
                root[1] = ':';
                root[2] = 0;
                return 1;
            }
        }
        char text[TextBufferSize];
        wsprintfA(text, "ＣＤ－ＲＯＭドライブに「%s」ディスク %i を入れて下さい", ScriptSetup.GameTitle, disc);
        if (MessageBoxA(dialog, text, WindowTitle, MB_OKCANCEL) != IDOK)
            return 0;
    }
}

static int CopyFailed(HWND dialog, const char* path)
{
    char text[TextBufferSize];
    wsprintfA(text, "SETUP.INI : \"%s\" のコピーに失敗しました", path);
    MessageBoxA(dialog, text, WindowTitle, MB_ICONERROR);
    EndDialog(dialog, -1);
    return 0;
}

int CopyFromDisc(HWND dialog)
{
    char root[3] = "";
    for (int i = 0; i < CopyEntryCount; i++) {
        const CopyEntry& e = CopyEntries[i];
        // An entry without a disc number takes the drive of the entry before
        // it; the first such entry of a run looks for disc 1.
        if (e.DiscNumber != 0 || !root[0]) {
            if (!FindDisc(dialog, e.DiscNumber != 0 ? e.DiscNumber : 1, root)) {
                EndDialog(dialog, -1);
                return 0;
            }
        }

        char source[CopyPathSize], target[CopyPathSize];
        lstrcpyA(source, root);
        lstrcpyA(target, InstallRecord.InstPath);
        if (!JoinPath(source, sizeof source, e.Path))
            return CopyFailed(dialog, e.Path);
        DWORD attributes = SystemFunctions.GetFileAttributesA(source);
        int fileCopy = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        // A file goes to the same relative path below the install folder; a
        // folder (or a source that cannot be seen) into the install folder.
        if (fileCopy && !JoinPath(target, sizeof target, e.Path))
            return CopyFailed(dialog, e.Path);
        target[strlen(target) + 1] = 0;   // a list of one name

        SetInfoText(dialog, "%s をコピーしています", e.Path);

        SHFILEOPSTRUCTA op;
        memset(&op, 0, sizeof op);
        op.hwnd = dialog;
        op.wFunc = FO_COPY;
        op.pFrom = source;
        op.pTo = target;
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | (fileCopy ? 0 : FOF_NOERRORUI);
        int result = SystemFunctions.SHFileOperationA(&op);
        if (op.fAnyOperationsAborted) {
            EndDialog(dialog, -1);
            return 0;
        }
        if (result != 0)
            return CopyFailed(dialog, e.Path);
        SystemFunctions.SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    }
    return 1;
}
