// Section [SETUP] of the updater script.
#include <windows.h>
#include <string.h>

#include "config/config.h"
#include "startup/updater_state.h"

int ReadScriptSetup(void)
{
    // Required keys, reported as missing while ReportMissingKeys is still
    // true; the first one missing ends the read.
    if (!ReadScriptKey("SETUP", "CompanyName", ScriptSetup.CompanyName, sizeof ScriptSetup.CompanyName) ||
        !ReadScriptKey("SETUP", "GameTitle", ScriptSetup.GameTitle, sizeof ScriptSetup.GameTitle) ||
        !ReadScriptKey("SETUP", "GameClass", ScriptSetup.GameClass, sizeof ScriptSetup.GameClass) ||
        !ReadScriptKey("SETUP", "GameDir", ScriptSetup.GameDir, sizeof ScriptSetup.GameDir))
        return 0;

    // Everything after this is optional and missing keys pass silently.
    ReportMissingKeys = 0;
    ReadScriptKey("SETUP", "GameTitleA", ScriptSetup.GameTitleA, sizeof ScriptSetup.GameTitleA);
    ReadScriptKey("SETUP", "UpdaterVersion", ScriptSetup.UpdaterVersion, sizeof ScriptSetup.UpdaterVersion);
    ReadScriptKey("SETUP", "UpdaterTitle", ScriptSetup.UpdaterTitle, sizeof ScriptSetup.UpdaterTitle);
    ReadScriptKey("SETUP", "DataFolder", ScriptSetup.DataFolder, sizeof ScriptSetup.DataFolder);
    ReadScriptKey("SETUP", "UpdateMessage", ScriptSetup.UpdateMessage, sizeof ScriptSetup.UpdateMessage);

    char value[PathBufferSize];
    ModeIsInstall = ReadScriptKey("SETUP", "ModeTextUpdateOrInstall", value, sizeof value) && TextToInt32(value) != 0;
    strcpy(ModeText, ModeIsInstall ? "インストール" : "アップデート");

    if (ReadScriptKey("SETUP", "AgreementText", value, sizeof value)) {
        AgreementTextData = LoadAgreementEntry(value);
        if (!AgreementTextData)
            return 0;
    }
    if (ReadScriptKey("SETUP", "AgreementTitle", value, sizeof value)) {
        AgreementTitleData = LoadAgreementEntry(value);
        if (!AgreementTitleData)
            return 0;
    }
    return 1;
}
