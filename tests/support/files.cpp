#include "support/files.h"

uint64_t TimeValue(const FILETIME& t)
{
    return (uint64_t)t.dwHighDateTime << 32 | t.dwLowDateTime;
}

FILETIME TimeOf(uint64_t value)
{
    FILETIME t;
    t.dwLowDateTime = (DWORD)value;
    t.dwHighDateTime = (DWORD)(value >> 32);
    return t;
}

static bool SetTimes(const std::string& path, uint64_t time, bool all)
{
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, 0, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, 0);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FILETIME t = TimeOf(time);
    BOOL ok = all ? SetFileTime(h, &t, &t, &t) : SetFileTime(h, 0, 0, &t);
    CloseHandle(h);
    return ok != 0;
}

bool SetWriteTime(const std::string& path, uint64_t time)
{
    return SetTimes(path, time, false);
}

bool SetAllTimes(const std::string& path, uint64_t time)
{
    return SetTimes(path, time, true);
}

bool FileTimes(const std::string& path, uint64_t* created, uint64_t* accessed, uint64_t* written)
{
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d))
        return false;
    *created = TimeValue(d.ftCreationTime);
    *accessed = TimeValue(d.ftLastAccessTime);
    *written = TimeValue(d.ftLastWriteTime);
    return true;
}

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(folder.c_str());
}
