#include "config/config.h"
#include "wizard/wizard.h"

UpdateEntry UpdateEntries[16];
int32_t UpdateEntryCount;

// Interim run: goes straight to the completion page.
void RunUpdate(HWND dialog)
{
    SetInfoText(dialog, "%sは完了しました", ModeText);
    SetDlgItemTextA(dialog, NextButtonId, "完了");
    EnableWindow(GetDlgItem(dialog, NextButtonId), TRUE);
    EnableWindow(GetDlgItem(dialog, BackButtonId), FALSE);
    EnableWindow(GetDlgItem(dialog, CancelButtonId), FALSE);
    SetFocus(GetDlgItem(dialog, NextButtonId));
    SetCursor(LoadCursorA(0, IDC_ARROW));
}
