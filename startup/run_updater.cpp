#include <objbase.h>
#include <string.h>

#include "archive/archive.h"
#include "config/config.h"
#include "startup/startup.h"
#include "startup/system_functions.h"
#include "startup/updater_state.h"
#include "wizard/wizard.h"

// The system's dialog class, by which another updater's wizard is found.
static const LPCSTR DialogClass = MAKEINTATOM(0x8002);

static int EndWith(int code)
{
    CleanUpUpdater();
    return code;
}

// Each process writes its own copy of the script, so that a second updater
// never rewrites or deletes the one that a first updater is still using.
static int FormTempScriptPath(void)
{
    char folder[PathBufferSize];
    char name[32];
    DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder)
        return 0;
    wsprintfA(name, "UPDATE%lu.INI", GetCurrentProcessId());
    lstrcpyA(TempScriptPath, folder);
    return JoinPath(TempScriptPath, sizeof TempScriptPath, name);
}

// Asks until no window of the game is left; 0 when the user gives up.
static int WaitForGameToClose(const char* title)
{
    HWND game;
    while ((game = FindWindowA(ScriptSetup.GameClass, title)) != 0) {
        char text[TextBufferSize];
        wsprintfA(text,
                  "「%s」が実行中です。アップデートを続行する場合はゲームを終了してから [OK] を、"
                  "アップデートを中止する場合は [キャンセル] を押して下さい",
                  title);
        if (MessageBoxA(0, text, WindowTitle, MB_OKCANCEL) != IDOK) {
            ShowWindow(game, SW_SHOW);
            SetForegroundWindow(game);
            return 0;
        }
    }
    return 1;
}

int RunUpdater(HINSTANCE instance)
{
    if (!BindSystemFunctions()) {
        ShowUpdaterError("COULD NOT MAP SOME FUNCTIONS");
        return EndWith(0);
    }
    CoInitialize(0);
    UpdaterInstance = instance;

    if (!LocatePayload(&Payload))
        return EndWith(0);
    OpenDirectory = OpenArchive(&Payload);
    if (!OpenDirectory) {
        ShowUpdaterError("RESOURCE READ ERROR");
        return EndWith(0);
    }

    if (!FormTempScriptPath()) {
        ShowUpdaterError("一時フォルダのパスが長すぎます");
        return EndWith(0);
    }
    if (!ExtractArchiveEntry("UPDATE.INI", TempScriptPath, 0))
        return EndWith(0);
    HoldTempScript();

    if (!ReadScriptSetup())
        return EndWith(0);
    if (!ReadInstallRecord())
        return EndWith(0);

    if (ScriptSetup.UpdateMessage[0]) {
        char message[TextBufferSize];
        ConvertLineBreaks(ScriptSetup.UpdateMessage, message);
        ShowUpdaterError(message);
    }

    lstrcpyA(SetupIniPath, InstallRecord.InstPath);
    if (!JoinPath(SetupIniPath, sizeof SetupIniPath, "SETUP.INI")) {
        SetupIniPath[0] = 0;
        ShowUpdaterError("インストール先のパスが長すぎます");
        return EndWith(0);
    }
    if (SystemFunctions.GetFileAttributesA(SetupIniPath) == INVALID_FILE_ATTRIBUTES) {
        ShowUpdaterError("インストール先に \"SETUP.INI\" ファイルが見つかりません");
        return EndWith(0);
    }
    if (!LoadInstallerSettings())
        return EndWith(0);

    if (ScriptSetup.UpdaterTitle[0])
        wsprintfA(WindowTitle, "%s", ScriptSetup.UpdaterTitle);
    else
        wsprintfA(WindowTitle, "%s アップデータ %s", ScriptSetup.GameTitle, ScriptSetup.UpdaterVersion);

    HWND other = FindWindowA(DialogClass, WindowTitle);
    if (other) {
        ShowWindow(other, SW_SHOW);
        SetForegroundWindow(other);
        return EndWith(0);
    }

    if (!WaitForGameToClose(ScriptSetup.GameTitle))
        return EndWith(0);
    if (ScriptSetup.GameTitleA[0] && !WaitForGameToClose(ScriptSetup.GameTitleA))
        return EndWith(0);

    int templateId = AgreementTextData ? AgreementTemplateId : PlainTemplateId;
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), 0, UpdateDlgProc, 0);
    if (result == 0)
        return EndWith(1);
    ShowUpdaterError("アップデートが中断されました");
    return EndWith(0);
}
