// Configuration state and readers: the profile readers and value lists, the
// updater script's [SETUP] section, the registry install record and the
// installed game's "SETUP.INI".
#ifndef CONFIG_CONFIG_H
#define CONFIG_CONFIG_H

#include <stdint.h>

enum {
    ItemSize = 260,          // one list item, 259 characters and a NUL
    ShortValueSize = 20      // InstallSize%i, InstallAddSize
};

// ---- Profile readers and value lists --------------------------------------

extern int ReportMissingKeys;     // true at start: a missing key is reported
extern int32_t CurrentDiscNumber; // disc number of the last item with an "N:" prefix

// Key of section [SETUP] of SetupIniPath. 1 when the value is not empty.
int ReadSetupKey(const char* key, char* buffer, int size);
// Key of any section of TempScriptPath. 1 when the value is not empty.
int ReadScriptKey(const char* section, const char* key, char* buffer, int size);
// Integer key of [SETUP] of SetupIniPath; *value untouched on failure.
int ReadIntKey(const char* key, int32_t* value);
// Next item of a value list into item (ItemSize bytes). 1 and the item, or 0
// when the list has no further item. An item longer than ItemSize - 1 bytes is
// refused, never cut: the call returns 0 with item untouched and the cursor on
// the item, and so does every later call on that list.
int NextListItem(char* item, const char** cursor);
// After NextListItem has returned 0: 1 when it refused an item that is too
// long, 0 when the list simply ended.
int ListItemTooLong(const char* cursor);
// Decimal texts: leading white space, an optional sign, digits up to the
// first other character; no digits give 0. TextToInt32 gives the nearest
// limit beyond the 32-bit range; TextToUInt64 gives the two's complement of
// the magnitude for a minus sign.
int32_t TextToInt32(const char* text);
uint64_t TextToUInt64(const char* text);
// Modal box owned by WizardWindow, caption "INSTCMMN", error icon, OK.
void ShowSettingsError(const char* text);

// ---- Updater script [SETUP] and install record ----------------------------

struct ScriptSetupValues {
    // CompanyName, GameTitle, GameClass and GameDir come from the script and
    // are replaced by the installed game's values in LoadInstallerSettings.
    char CompanyName[260];
    char GameTitle[260];
    char GameClass[260];
    char GameDir[260];
    char GameTitleA[260];
    char UpdaterVersion[260];
    char UpdaterTitle[260];
    char DataFolder[260];
    char UpdateMessage[1024];
};

struct InstallRecordValues {
    char InstPath[260];
    char DataPath[260];
    int32_t InstMode;
};

extern ScriptSetupValues ScriptSetup;
extern char ModeText[260];           // "アップデート" or "インストール"
extern int ModeIsInstall;
extern char* AgreementTextData;      // entry contents and two NULs, or none
extern char* AgreementTitleData;
extern InstallRecordValues InstallRecord;

int ReadScriptSetup(void);
char* LoadAgreementEntry(const char* name);
int ReadInstallRecord(void);

// ---- Installer settings ("SETUP.INI") --------------------------------------

struct InstallerSettingsValues {
    // CompanyName, GameTitle, GameDir and GameClass are stored in ScriptSetup.
    char GameExe[260];
    char UninstExe[260];
    char SetupBmp[20][ItemSize];
    int32_t InstallSelects;
    char InstallTitle[4][260];
    char InstallFiles[4][40][ItemSize];
    int32_t InstallFilesDisc[4][40];
    int32_t InstallNeedsDisc[4];
    int32_t Shortcuts;
    char Shortcut[10][4][ItemSize];
    int32_t DefaultSelect;
    uint64_t InstallSize[4];
    char DiskCheckFile[10][260];
    char ExecApp[2][ItemSize];
    char SelectSetupMessage[1024];
    char SaveDataFolderNameInInstall[260];
    char SaveDataFolderName[260];
    char StrKeyInstPath[260];
    char ShortcutFolder[260];
    int32_t InstallAfterAdd;
    char UninstTitle[260];
    int32_t InstPathMode;
    char GameExe64[260];
};

extern InstallerSettingsValues InstallerSettings;

int LoadInstallerSettings(void);

#endif
