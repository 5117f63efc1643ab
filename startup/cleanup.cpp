#include "archive/archive.h"
#include "startup/startup.h"
#include "startup/updater_state.h"

// Handle that keeps other processes from writing or deleting the script
// while this updater uses it.
static HANDLE TempScriptHold = INVALID_HANDLE_VALUE;

int HoldTempScript(void)
{
    TempScriptHold = CreateFileA(TempScriptPath, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, 0);
    return TempScriptHold != INVALID_HANDLE_VALUE;
}

void CleanUpUpdater(void)
{
    if (OpenDirectory) {
        GlobalFree(OpenDirectory);
        OpenDirectory = 0;
    }
    if (TempScriptHold != INVALID_HANDLE_VALUE) {
        CloseHandle(TempScriptHold);
        TempScriptHold = INVALID_HANDLE_VALUE;
    }
    if (TempScriptPath[0])
        DeleteFileA(TempScriptPath);
}
