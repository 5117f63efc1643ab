// The update wizard: the dialog and its pages, the update run and the disc
// copy phase.
#ifndef WIZARD_WIZARD_H
#define WIZARD_WIZARD_H

#include <windows.h>
#include <stdint.h>

// Dialog templates and control ids.
enum {
    PlainTemplateId = 100,       // no agreement text
    AgreementTemplateId = 101,   // with agreement text and radio buttons
    NextButtonId = 1,
    CancelButtonId = 2,
    BackButtonId = 4,
    AgreementTextId = 1000,
    InfoTextId = 1001,
    AgreeButtonId = 1002,
    DisagreeButtonId = 1003
};

extern int32_t WizardStep;   // 0 start page, 1 confirmation, 2 after the run
extern int32_t WizardBusy;   // set while Next or Back is being carried out

INT_PTR CALLBACK UpdateDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowStartPage(HWND dialog);
void ShowConfirmPage(HWND dialog);
// Formats into 1024 bytes (cut to fit) and sets the info control 1001.
void SetInfoText(HWND dialog, const char* format, ...);

// ---- Update run -------------------------------------------------------------

enum UpdateMode { Plain = 0, Newer = 1, Data = 2, Existing = 3 };

struct UpdateEntry {
    int32_t Mode;
    char Path[260];
    int32_t NameOffset;   // index in Path where the file name begins
};

extern UpdateEntry UpdateEntries[16];
extern int32_t UpdateEntryCount;

void RunUpdate(HWND dialog);

// Reads UpdateFile00..15 into UpdateEntries: 1 when UpdateFile00 has a
// value, 0 when not, -1 after an entry that cannot be taken has been shown.
int ReadUpdateEntries(void);

// ---- Disc copy phase ----------------------------------------------------------

struct CopyEntry {
    int32_t DiscNumber;
    char Path[260];
};

extern CopyEntry CopyEntries[16];
extern int32_t CopyEntryCount;

// Reads CopyFile00..15 into CopyEntries: 1 when CopyFile00 has a value, 0
// when not, -1 after an entry that cannot be taken has been shown.
int ReadCopyEntries(void);
int CopyFromDisc(HWND dialog);

#endif
