#include "e2e/workspace.h"

#include <stdio.h>

#include "e2e/robot.h"
#include "support/message_boxes.h"

std::string UpdaterExe()
{
    return WindowsPath(UPDATER_EXE_PATH);
}

std::string Qz2Exe()
{
    return WindowsPath(QZ2_EXE_PATH);
}

std::string ScreenshotFolder()
{
    std::string folder = WindowsPath(SCREENSHOT_PATH);
    CreateDirectoryA(folder.c_str(), 0);
    return folder;
}

std::string TempFolder()
{
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    return path;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

bool ReadFileBytes(const std::string& path, std::string* bytes)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bytes->clear();
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes->append(buffer, n);
    fclose(f);
    return true;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string CdromFolder()
{
    return WindowsPath(CDROM_PATH);
}

Workspace::Workspace(const std::string& name)
{
    root_ = TempFolder() + "e2e-" + name;
    gameDir_ = "Game-" + name;
    install_ = root_ + "\\game";
    RemoveTree(root_);
    CreateDirectoryA(root_.c_str(), 0);
}

Workspace::~Workspace()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\" + Company() + "\\" + gameDir_).c_str());
    RemoveTree(root_);
    if (install_.compare(0, root_.size(), root_) != 0)
        RemoveTree(install_);
}

void Workspace::Install(const InstalledGame& game)
{
    if (!game.Drive.empty()) {
        install_ = game.Drive + "\\" + gameDir_;
        RemoveTree(install_);
    }
    CreateDirectoryA(InstallFolder().c_str(), 0);
    CreateDirectoryA(DataFolder().c_str(), 0);
    std::string setup = InstallFolder() + "\\SETUP.INI";
    if (game.SetupIniIsFolder)
        CreateDirectoryA(setup.c_str(), 0);
    else if (!game.SetupIni.empty())
        WriteFileBytes(setup, Utf8ToAnsi(game.SetupIni));
    if (!game.Registered)
        return;
    HKEY key;
    std::string path = "Software\\" + Company() + "\\" + gameDir_;
    RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, 0, 0, KEY_WRITE, 0, &key, 0);
    std::string inst = InstallFolder();
    RegSetValueExA(key, "InstPath", 0, REG_SZ, (const BYTE*)inst.c_str(), (DWORD)inst.size() + 1);
    if (game.HasDataPath) {
        std::string data = DataFolder();
        RegSetValueExA(key, "DataPath", 0, REG_SZ, (const BYTE*)data.c_str(), (DWORD)data.size() + 1);
    }
    if (game.HasInstMode)
        RegSetValueExA(key, "InstMode", 0, REG_DWORD, (const BYTE*)&game.InstMode, 4);
    RegCloseKey(key);
}

std::string Workspace::BuildUpdater(const std::vector<PayloadFile>& files, const std::vector<std::string>& packOptions)
{
    std::string staging = root_ + "\\payload";
    CreateDirectoryA(staging.c_str(), 0);
    std::string arguments = "pack";
    for (const std::string& o : packOptions)
        arguments += " " + o;
    arguments += " -o \"" + root_ + "\\payload.qz2\"";
    for (const PayloadFile& f : files) {
        std::string path = staging + "\\" + Utf8ToAnsi(f.Name);
        if (!WriteFileBytes(path, f.Contents) || !SetAllTimes(path, f.Time ? f.Time : 132223104000000000ULL))
            return "";
        arguments += " \"" + path + "\"";
    }
    if (RunProgram(Qz2Exe(), arguments) != 0)
        return "";
    std::string exe = root_ + "\\UPDATE.exe";
    if (RunProgram(Qz2Exe(), "bind --stub \"" + UpdaterExe() + "\" --payload \"" + root_ + "\\payload.qz2\" -o \"" + exe + "\"") != 0)
        return "";
    return exe;
}

std::string Workspace::BindRawPayload(const std::string& bytes)
{
    std::string exe = root_ + "\\UPDATE.exe";
    if (!CopyFileA(UpdaterExe().c_str(), exe.c_str(), FALSE))
        return "";
    HANDLE update = BeginUpdateResourceA(exe.c_str(), FALSE);
    if (!update)
        return "";
    UpdateResourceA(update, "UPDATE", MAKEINTRESOURCEA(102), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT),
                    (void*)bytes.data(), (DWORD)bytes.size());
    return EndUpdateResourceA(update, FALSE) ? exe : "";
}

std::string Workspace::UnboundUpdater()
{
    std::string exe = root_ + "\\UPDATE.exe";
    return CopyFileA(UpdaterExe().c_str(), exe.c_str(), FALSE) ? exe : "";
}
