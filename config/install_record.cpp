// The install record: the installed game's folders and install mode, read
// from HKEY_CURRENT_USER\Software\<CompanyName>\<GameDir>. Read only.
#include <windows.h>
#include <string.h>

#include "config/config.h"
#include "startup/system_functions.h"
#include "startup/updater_state.h"

// Reads a value into a buffer of exactly size bytes. A value larger than the
// buffer fails, and so does one that fills it without a terminating NUL, so
// the buffer always ends up holding a text; after a failure it is empty.
static int QueryText(HKEY key, const char* name, char* buffer, DWORD size)
{
    memset(buffer, 0, size);
    DWORD length = size;
    LONG result = SystemFunctions.RegQueryValueExA(key, name, 0, 0, (LPBYTE)buffer, &length);
    if (result == ERROR_SUCCESS && length <= size && buffer[size - 1] == 0)
        return 1;
    memset(buffer, 0, size);
    return 0;
}

static int QueryInt32(HKEY key, const char* name, int32_t* value)
{
    unsigned char bytes[4] = { 0, 0, 0, 0 };
    DWORD length = sizeof bytes;
    if (SystemFunctions.RegQueryValueExA(key, name, 0, 0, bytes, &length) != ERROR_SUCCESS)
        return 0;
    *value = (int32_t)((uint32_t)bytes[0] | ((uint32_t)bytes[1] << 8) | ((uint32_t)bytes[2] << 16) |
                       ((uint32_t)bytes[3] << 24));
    return 1;
}

int ReadInstallRecord(void)
{
    char text[TextBufferSize];
    wsprintfA(text, "Software\\%s\\%s", ScriptSetup.CompanyName, ScriptSetup.GameDir);

    int installed = 0;
    HKEY key;
    if (SystemFunctions.RegOpenKeyExA(HKEY_CURRENT_USER, text, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        if (QueryText(key, "InstPath", InstallRecord.InstPath, sizeof InstallRecord.InstPath)) {
            // No data folder is no fault: it stays empty.
            QueryText(key, "DataPath", InstallRecord.DataPath, sizeof InstallRecord.DataPath);
            if (QueryInt32(key, "InstMode", &InstallRecord.InstMode))
                installed = 1;
        }
        SystemFunctions.RegCloseKey(key);
    }
    if (installed)
        return 1;
    wsprintfA(text, "「%s」がインストールされていません", ScriptSetup.GameTitle);
    ShowUpdaterError(text);
    return 0;
}
