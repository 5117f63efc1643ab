// The installed game's installer settings: section [SETUP] of "SETUP.INI",
// read and validated field by field. Every fault is shown with
// ShowSettingsError before the load gives up.
#include <windows.h>
#include <string.h>

#include "config/config.h"
#include "startup/updater_state.h"

static int ListError(const char* key)
{
    char text[TextBufferSize];
    wsprintfA(text, "SETUP.INI : %s エラー", key);
    ShowSettingsError(text);
    return 0;
}

// Splits list into at most count slots of ItemSize bytes; the slot behind the
// last item is emptied. With discs, each item's disc number is stored and
// *needsDisc is set when one of them is not 0. Returns the number of items,
// or -1 when an item does not fit its slot (the list is then refused).
static int SplitList(const char* list, char (*slots)[ItemSize], int count, int32_t* discs, int32_t* needsDisc)
{
    const char* cursor = list;
    int n = 0;
    if (discs) {
        CurrentDiscNumber = 0;
        *needsDisc = 0;
    }
    while (n < count && NextListItem(slots[n], &cursor)) {
        if (discs) {
            discs[n] = CurrentDiscNumber;
            if (CurrentDiscNumber != 0)
                *needsDisc = 1;
        }
        n++;
    }
    if (n < count) {
        slots[n][0] = 0;
        if (ListItemTooLong(cursor))
            return -1;
    }
    return n;
}

// A text key with a default for a missing or empty value.
static void ReadTextKey(const char* key, char* buffer, int size, const char* fallback)
{
    if (!ReadSetupKey(key, buffer, size))
        lstrcpynA(buffer, fallback, size);
}

// InstallSize%i and InstallAddSize: at most 19 characters, 0 when missing.
static uint64_t ReadSizeKey(const char* key)
{
    char value[ShortValueSize];
    return ReadSetupKey(key, value, sizeof value) ? TextToUInt64(value) : 0;
}

// A file list of a select slot (InstallFiles%i, InstallAddFiles), required.
static int ReadFileList(const char* key, int select)
{
    InstallerSettingsValues& s = InstallerSettings;
    char value[TextBufferSize];
    if (!ReadSetupKey(key, value, sizeof value))
        return 0;
    int n = SplitList(value, s.InstallFiles[select], 40, s.InstallFilesDisc[select], &s.InstallNeedsDisc[select]);
    if (n <= 0)
        return ListError(key);
    return 1;
}

// One shortcut: two required fields and two optional ones.
static int ReadShortcut(int index)
{
    char key[32];
    char value[PathBufferSize];
    wsprintfA(key, "Shortcut%i", index);
    if (!ReadSetupKey(key, value, sizeof value))
        return 0;
    char (*fields)[ItemSize] = InstallerSettings.Shortcut[index];
    for (int f = 0; f < 4; f++)
        fields[f][0] = 0;

    const char* cursor = value;
    for (int f = 0; f < 4; f++) {
        if (NextListItem(fields[f], &cursor))
            continue;
        // The value is read into a buffer of one item's size, so no item can
        // be too long here: 0 means an empty item or the end of the list.
        if (f < 2)
            return ListError(key);
        if (*cursor == 0 || *cursor == '\n' || *cursor == '\r')
            break;
        // A run of empty items counts as one: the field stays empty and the
        // next item goes to the field after it.
        while (*cursor == ',' || *cursor == '\t' || *cursor == ' ')
            cursor++;
    }
    return 1;
}

int LoadInstallerSettings(void)
{
    InstallerSettingsValues& s = InstallerSettings;
    char key[32];
    char value[TextBufferSize];

    // Up to the shortcuts, a missing key is reported as the caller left
    // ReportMissingKeys.
    if (!ReadSetupKey("CompanyName", ScriptSetup.CompanyName, sizeof ScriptSetup.CompanyName) ||
        !ReadSetupKey("GameTitle", ScriptSetup.GameTitle, sizeof ScriptSetup.GameTitle) ||
        !ReadSetupKey("GameDir", ScriptSetup.GameDir, sizeof ScriptSetup.GameDir) ||
        !ReadSetupKey("GameExe", s.GameExe, sizeof s.GameExe) ||
        !ReadSetupKey("UninstExe", s.UninstExe, sizeof s.UninstExe))
        return 0;

    if (!ReadSetupKey("SetupBmp", value, sizeof value))
        return 0;
    if (SplitList(value, s.SetupBmp, 20, 0, 0) <= 0) {
        ShowSettingsError("SETUP.INI : SetupBmps エラー");
        return 0;
    }

    if (!ReadIntKey("InstallSelects", &s.InstallSelects))
        return 0;
    if (s.InstallSelects > 4) {
        ShowSettingsError("SETUP.INI : InstallSelect オーバー");
        return 0;
    }
    for (int k = 0; k < s.InstallSelects; k++) {
        wsprintfA(key, "InstallTitle%i", k);
        if (!ReadSetupKey(key, s.InstallTitle[k], sizeof s.InstallTitle[k]))
            return 0;
        wsprintfA(key, "InstallFiles%i", k);
        if (!ReadFileList(key, k))
            return 0;
    }

    if (!ReadIntKey("Shortcuts", &s.Shortcuts))
        return 0;
    if (s.Shortcuts > 10) {
        ShowSettingsError("SETUP.INI : Shortcuts オーバー");
        return 0;
    }
    for (int i = 0; i < s.Shortcuts; i++)
        if (!ReadShortcut(i))
            return 0;

    // From here on every key is optional and missing keys pass silently.
    ReportMissingKeys = 0;

    ReadTextKey("GameClass", ScriptSetup.GameClass, sizeof ScriptSetup.GameClass, ScriptSetup.GameTitle);
    s.DefaultSelect = 0;
    ReadIntKey("DefaultSelect", &s.DefaultSelect);
    for (int k = 0; k < s.InstallSelects; k++) {
        wsprintfA(key, "InstallSize%i", k);
        s.InstallSize[k] = ReadSizeKey(key);
    }
    for (int i = 0; i < 10; i++) {
        wsprintfA(key, "DiskCheckFile%i", i);
        ReadSetupKey(key, s.DiskCheckFile[i], sizeof s.DiskCheckFile[i]);
    }

    s.ExecApp[0][0] = 0;
    s.ExecApp[1][0] = 0;
    if (ReadSetupKey("ExecApp", value, PathBufferSize)) {
        const char* cursor = value;
        if (!NextListItem(s.ExecApp[0], &cursor) || !NextListItem(s.ExecApp[1], &cursor))
            return ListError("ExecApp");
    }

    ReadTextKey("SelectSetupMessage", s.SelectSetupMessage, sizeof s.SelectSetupMessage,
                "インストール方法を選択して下さい");
    ReadTextKey("SaveDataFolderNameInInstall", s.SaveDataFolderNameInInstall,
                sizeof s.SaveDataFolderNameInInstall, "savedata");
    ReadTextKey("SaveDataFolderName", s.SaveDataFolderName, sizeof s.SaveDataFolderName, ScriptSetup.GameDir);
    ReadTextKey("StrKeyInstPath", s.StrKeyInstPath, sizeof s.StrKeyInstPath, "InstPath");
    ReadTextKey("ShortcutFolder", s.ShortcutFolder, sizeof s.ShortcutFolder, "");

    int32_t addOn = 0;
    s.InstallAfterAdd = ReadIntKey("InstallAfterAdd", &addOn) && addOn != 0;
    if (s.InstallAfterAdd) {
        // The add-on set occupies select slot 3. Its list is required and
        // reported; after a failure here the flag is left true.
        ReportMissingKeys = 1;
        if (!ReadFileList("InstallAddFiles", 3))
            return 0;
        ReportMissingKeys = 0;
        s.InstallSize[3] = ReadSizeKey("InstallAddSize");
    }

    ReadTextKey("UninstTitle", s.UninstTitle, sizeof s.UninstTitle, ScriptSetup.GameTitle);
    s.InstPathMode = 0;
    ReadIntKey("InstPathMode", &s.InstPathMode);
    ReadTextKey("GameExe64", s.GameExe64, sizeof s.GameExe64, "");
    return 1;
}
