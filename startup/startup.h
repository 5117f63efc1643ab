// The updater's life from start to exit code.
#ifndef STARTUP_STARTUP_H
#define STARTUP_STARTUP_H

#include <windows.h>

// Runs every start-up step, the wizard and the clean-up; returns the process
// exit code: 1 when the wizard ran to its end, 0 otherwise.
int RunUpdater(HINSTANCE instance);

// Releases the directory block and deletes the temporary script.
void CleanUpUpdater(void);

// Converts each backslash + "n" of a single-byte character into a carriage
// return; double-byte characters are copied whole. out holds at least
// strlen(text) + 1 bytes.
void ConvertLineBreaks(const char* text, char* out);

// The temporary script: created by the start-up and held open against writes
// by other processes until the clean-up.
int HoldTempScript(void);

#endif
