// A scenario's world: an installed game (folder, "SETUP.INI", registry
// record) and an updater bound with a payload, as the publisher's tool makes it.
#ifndef TESTS_E2E_WORKSPACE_H
#define TESTS_E2E_WORKSPACE_H

#include <windows.h>

#include "support/files.h"

#include <string>
#include <utility>
#include <vector>

struct PayloadFile {
    std::string Name;      // UTF-8
    std::string Contents;  // bytes as stored (texts: convert with Utf8ToAnsi)
    uint64_t Time = 0;     // time given to the packed file; 0: the default
};

struct InstalledGame {
    bool Registered = true;
    bool HasInstMode = true;
    DWORD InstMode = 0;
    bool HasDataPath = true;
    std::string SetupIni;          // UTF-8 text; empty: no "SETUP.INI"
    bool SetupIniIsFolder = false;
    std::string Drive;             // install folder on this drive ("Q:"); empty: in the workspace
};

class Workspace {
public:
    // A fresh folder below the temporary folder, named after the scenario.
    explicit Workspace(const std::string& name);
    ~Workspace();

    std::string Root() const { return root_; }
    std::string InstallFolder() const { return install_; }
    std::string DataFolder() const { return root_ + "\\data"; }
    std::string Company() const { return "RobotSoft"; }
    std::string GameDir() const { return gameDir_; }

    // Creates the install folder, "SETUP.INI" and the registry record.
    void Install(const InstalledGame& game);

    // Packs files (UPDATE.INI among them) with qz2 and binds the archive to a
    // copy of UPDATE.exe; returns the copy's path, or "" on failure.
    std::string BuildUpdater(const std::vector<PayloadFile>& files, const std::vector<std::string>& packOptions = {});
    // Binds the given bytes as the payload as they are (for broken archives).
    std::string BindRawPayload(const std::string& bytes);
    // A copy of UPDATE.exe without any payload.
    std::string UnboundUpdater();

private:
    std::string root_;
    std::string gameDir_;
    std::string install_;
};

// Writes bytes to a file; creates no folders.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool ReadFileBytes(const std::string& path, std::string* bytes);
bool FileExists(const std::string& path);

std::string UpdaterExe();      // the build's UPDATE.exe
std::string Qz2Exe();          // the build's qz2.exe
std::string ScreenshotFolder();
std::string TempFolder();      // with a trailing backslash
std::string CdromFolder();     // the folder behind the CD-ROM drive R:


#endif
