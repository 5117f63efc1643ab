#include "startup/updater_state.h"

void ShowUpdaterError(const char* text)
{
    // The wizard's window is recorded once and never cleared; a box after the
    // wizard has closed has no owner.
    HWND owner = WizardWindow && IsWindow(WizardWindow) ? WizardWindow : 0;
    MessageBoxA(owner, text, WindowTitle, MB_OK | MB_ICONERROR);
}
