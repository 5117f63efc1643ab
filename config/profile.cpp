// The profile readers: keys of "SETUP.INI" (section [SETUP]) and of the
// temporary "UPDATE.INI" (any section), read through the platform's profile
// functions into caller-owned buffers.
#include <windows.h>
#include <string.h>

#include "config/config.h"
#include "startup/updater_state.h"

// Zero-fills the buffer, then reads the key. 1 when the value is not empty.
// A value longer than the buffer is cut to size - 1 bytes and still counts.
static int ReadProfileKey(const char* section, const char* key, char* buffer, int size, const char* path)
{
    if (size <= 0)
        return 0;
    memset(buffer, 0, (size_t)size);
    DWORD copied = GetPrivateProfileStringA(section, key, "", buffer, (DWORD)size, path);
    // The platform terminates the value; the last byte is made sure of all the same.
    buffer[size - 1] = 0;
    if (copied != 0 && buffer[0] != 0)
        return 1;
    memset(buffer, 0, (size_t)size);
    return 0;
}

int ReadSetupKey(const char* key, char* buffer, int size)
{
    if (ReadProfileKey("SETUP", key, buffer, size, SetupIniPath))
        return 1;
    if (ReportMissingKeys) {
        char text[TextBufferSize];
        wsprintfA(text, "SETUP.INI : %s キーが存在しません", key);
        ShowSettingsError(text);
    }
    return 0;
}

int ReadScriptKey(const char* section, const char* key, char* buffer, int size)
{
    if (ReadProfileKey(section, key, buffer, size, TempScriptPath))
        return 1;
    if (ReportMissingKeys) {
        char text[TextBufferSize];
        wsprintfA(text, "%s : %s キーが存在しません", section, key);
        ShowSettingsError(text);
    }
    return 0;
}

int ReadIntKey(const char* key, int32_t* value)
{
    char text[PathBufferSize];
    if (!ReadSetupKey(key, text, sizeof text))
        return 0;
    *value = TextToInt32(text);
    return 1;
}
