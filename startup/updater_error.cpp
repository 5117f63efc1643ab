#include "startup/updater_state.h"

void ShowUpdaterError(const char* text)
{
    MessageBoxA(WizardWindow, text, WindowTitle, MB_OK | MB_ICONERROR);
}
