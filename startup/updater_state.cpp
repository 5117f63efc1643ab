#include "startup/updater_state.h"

HINSTANCE UpdaterInstance;
char TempScriptPath[PathBufferSize];
char SetupIniPath[PathBufferSize];
char WindowTitle[TextBufferSize] = "UPDATE";
HWND WizardWindow;
