#include <windows.h>

#include "config/config.h"
#include "startup/updater_state.h"

void ShowSettingsError(const char* text)
{
    // Before the wizard opens there is no owner; a window that has been
    // destroyed since is no owner either.
    HWND owner = WizardWindow && IsWindow(WizardWindow) ? WizardWindow : 0;
    MessageBoxA(owner, text, "INSTCMMN", MB_OK | MB_ICONERROR);
}
