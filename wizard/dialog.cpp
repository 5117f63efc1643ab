#include <stdarg.h>

#include "config/config.h"
#include "startup/updater_state.h"
#include "wizard/wizard.h"

int32_t WizardStep;
int32_t WizardBusy;

void SetInfoText(HWND dialog, const char* format, ...)
{
    char text[TextBufferSize];
    va_list args;
    va_start(args, format);
    wvsprintfA(text, format, args);   // writes at most 1024 bytes
    va_end(args);
    SetDlgItemTextA(dialog, InfoTextId, text);
}

static void Enable(HWND dialog, int id, BOOL on)
{
    EnableWindow(GetDlgItem(dialog, id), on);
}

static void Show(HWND dialog, int id, int how)
{
    ShowWindow(GetDlgItem(dialog, id), how);
}

void ShowStartPage(HWND dialog)
{
    WizardWindow = dialog;
    WizardBusy = 0;
    WizardStep = 0;
    SetWindowTextA(dialog, WindowTitle);

    if (AgreementTitleData)
        SetDlgItemTextA(dialog, InfoTextId, AgreementTitleData);   // shown as it is
    else
        SetInfoText(dialog, "「%s」の%sを開始します",
                    ModeIsInstall ? ScriptSetup.UpdaterTitle : ScriptSetup.GameTitle, ModeText);

    Enable(dialog, BackButtonId, FALSE);
    Enable(dialog, CancelButtonId, TRUE);

    if (AgreementTextData) {
        Enable(dialog, NextButtonId, FALSE);
        SetDlgItemTextA(dialog, AgreementTextId, AgreementTextData);
        Enable(dialog, AgreementTextId, TRUE);
        Enable(dialog, AgreeButtonId, TRUE);
        Enable(dialog, DisagreeButtonId, TRUE);
        CheckRadioButton(dialog, AgreeButtonId, DisagreeButtonId, DisagreeButtonId);
        Show(dialog, AgreementTextId, SW_SHOW);
        Show(dialog, AgreeButtonId, SW_SHOW);
        Show(dialog, DisagreeButtonId, SW_SHOW);
    } else {
        Enable(dialog, NextButtonId, TRUE);
        Show(dialog, AgreementTextId, SW_HIDE);
        Show(dialog, AgreeButtonId, SW_HIDE);
        Show(dialog, DisagreeButtonId, SW_HIDE);
    }
}

void ShowConfirmPage(HWND dialog)
{
    SetInfoText(dialog, "%sを実行します", ModeText);
    Enable(dialog, BackButtonId, FALSE);
    Enable(dialog, NextButtonId, TRUE);
    Enable(dialog, CancelButtonId, TRUE);
    Show(dialog, AgreementTextId, SW_HIDE);
    Show(dialog, AgreeButtonId, SW_HIDE);
    Show(dialog, DisagreeButtonId, SW_HIDE);
}

// Next and Back: one step of the wizard, guarded against re-entry while the
// update run's nested message loops are running.
static void Step(HWND dialog, int back)
{
    if (WizardBusy)
        return;
    WizardBusy = 1;
    SetInfoText(dialog, "");
    if (back)
        WizardStep -= 2;
    switch (WizardStep) {
    case 0:
        ShowConfirmPage(dialog);
        break;
    case 1:
        RunUpdate(dialog);
        break;
    case 2:
        EndDialog(dialog, 0);
        break;
    }
    WizardStep++;
    WizardBusy = 0;
}

static void Command(HWND dialog, int id)
{
    switch (id) {
    case NextButtonId:
        Step(dialog, 0);
        break;
    case BackButtonId:
        Step(dialog, 1);
        break;
    case CancelButtonId:
        // Escape and the close box arrive as this command too; while the
        // Cancel button is disabled (the run has completed) they must not
        // turn a finished update into an interrupted one.
        if (!WizardBusy && IsWindowEnabled(GetDlgItem(dialog, CancelButtonId)))
            EndDialog(dialog, -1);
        break;
    case AgreeButtonId:
        Enable(dialog, NextButtonId, TRUE);
        CheckRadioButton(dialog, AgreeButtonId, DisagreeButtonId, AgreeButtonId);
        break;
    case DisagreeButtonId:
        Enable(dialog, NextButtonId, FALSE);
        CheckRadioButton(dialog, AgreeButtonId, DisagreeButtonId, DisagreeButtonId);
        break;
    }
}

INT_PTR CALLBACK UpdateDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowStartPage(dialog);
        return 0;
    case WM_SETCURSOR:
        if (WizardBusy) {
            SetCursor(LoadCursorA(0, IDC_WAIT));
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
            return 1;
        }
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0)
            Command(dialog, LOWORD(wParam));
        return 0;
    }
    return 0;
}
