// The updater state that the start-up driver owns: filled once during
// start-up and read by the rest of the program.
#ifndef STARTUP_UPDATER_STATE_H
#define STARTUP_UPDATER_STATE_H

#include <windows.h>
#include <stddef.h>

enum {
    PathBufferSize = 260,    // the platform's path limit
    TextBufferSize = 1024    // formatted messages and long values
};

extern HINSTANCE UpdaterInstance;
extern char TempScriptPath[PathBufferSize];   // temporary folder + "UPDATE.INI"
extern char SetupIniPath[PathBufferSize];     // InstPath + "SETUP.INI"
extern char WindowTitle[TextBufferSize];      // "UPDATE" until the driver forms it
extern HWND WizardWindow;                     // the wizard's window, once it is open

// Appends "\" (unless path is empty or ends in "\" or "/", tested as a byte)
// and component, then a second NUL, so that the buffer also reads as a
// one-name list ended by two NULs. Returns 1, or 0 without touching path when
// the result and both NULs do not fit in size bytes.
int JoinPath(char* path, size_t size, const char* component);

// A modal box owned by WizardWindow: text, caption WindowTitle, error icon, OK.
void ShowUpdaterError(const char* text);

#endif
