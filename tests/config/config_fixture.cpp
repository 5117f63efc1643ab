#include "config/config_fixture.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

void ConfigTest::SetUp()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char name[64];
    wsprintfA(name, "config_test_%lu", GetCurrentProcessId());
    folder_ = std::string(temp) + name;
    CreateDirectoryA(folder_.c_str(), 0);

    memset(SetupIniPath, 0, sizeof SetupIniPath);
    memset(TempScriptPath, 0, sizeof TempScriptPath);
    strcpy(WindowTitle, "UPDATE");
    WizardWindow = 0;
    ReportMissingKeys = 1;
    CurrentDiscNumber = 0;
    memset(&ScriptSetup, 0, sizeof ScriptSetup);
    memset(&InstallRecord, 0, sizeof InstallRecord);
    memset(&InstallerSettings, 0, sizeof InstallerSettings);
    memset(ModeText, 0, sizeof ModeText);
    ModeIsInstall = 0;
    AgreementTextData = 0;
    AgreementTitleData = 0;
}

void ConfigTest::TearDown()
{
    for (const std::string& f : files_)
        DeleteFileA(f.c_str());
    RemoveDirectoryA(folder_.c_str());
}

std::string ConfigTest::WriteFile(const std::string& name, const std::string& bytes)
{
    std::string path = folder_ + "\\" + name;
    FILE* f = fopen(path.c_str(), "wb");
    EXPECT_TRUE(f != 0) << path;
    if (f) {
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    files_.push_back(path);
    return path;
}

void ConfigTest::WriteSetupIni(const std::string& lines)
{
    std::string path = WriteFile("SETUP" + std::to_string(++serial_) + ".INI", "[SETUP]\r\n" + lines);
    ASSERT_LT(path.size(), sizeof SetupIniPath);
    strcpy(SetupIniPath, path.c_str());
}

void ConfigTest::WriteScript(const std::string& text)
{
    std::string path = WriteFile("UPDATE" + std::to_string(++serial_) + ".INI", text);
    ASSERT_LT(path.size(), sizeof TempScriptPath);
    strcpy(TempScriptPath, path.c_str());
}

void ExpectErrorBoxes(const MessageBoxRecorder& boxes, const char* caption, const std::vector<std::string>& texts)
{
    std::vector<std::string> seen;
    for (const SeenBox& box : boxes.Boxes()) {
        seen.push_back(box.Text);
        EXPECT_EQ(caption, box.Caption) << box.Text;
        EXPECT_EQ(BoxIcon::Error, box.Icon) << box.Text;
        EXPECT_EQ(std::vector<int>{ IDOK }, box.Buttons) << box.Text;
        EXPECT_EQ(nullptr, box.Owner) << box.Text;
    }
    EXPECT_EQ(texts, seen);
}

std::string ProfileLines(const ProfileKeys& base, const Overrides& overrides)
{
    Overrides keys;
    for (auto& k : base)
        keys.push_back({ k.first, k.second.c_str() });
    for (auto& o : overrides) {
        bool found = false;
        for (auto& k : keys)
            if (k.first == o.first) {
                k.second = o.second;
                found = true;
            }
        if (!found)
            keys.push_back(o);
    }
    std::string lines;
    for (auto& k : keys)
        if (k.second != Absent)
            lines += k.first + "=" + k.second + "\r\n";
    return lines;
}
