// The configuration part of the updater state: filled once during start-up.
#include "config/config.h"

int ReportMissingKeys = 1;
int32_t CurrentDiscNumber;

ScriptSetupValues ScriptSetup;
char ModeText[260];
int ModeIsInstall;
char* AgreementTextData;
char* AgreementTitleData;
InstallRecordValues InstallRecord;

InstallerSettingsValues InstallerSettings;
