#include <string.h>

#include "archive/archive.h"
#include "startup/system_functions.h"

namespace {

enum { TemporaryAttempts = 64 };

// Length of the folder part of path, up to and including its last "\" or "/"
// (or the colon of a bare drive name); 0 when path names no folder. The scan
// steps over double-byte characters, whose second byte may be a backslash.
size_t FolderLength(const char* path)
{
    size_t folder = 0;
    for (size_t i = 0; path[i]; i++) {
        if (IsDBCSLeadByte((BYTE)path[i]) && path[i + 1]) {
            i++;
            continue;
        }
        if (path[i] == '\\' || path[i] == '/' || (i == 1 && path[i] == ':'))
            folder = i + 1;
    }
    return folder;
}

// Creates a new, empty file in target's folder, under a name of its own
// that no other file has. The handle (generic write, no sharing) and its
// name, or INVALID_HANDLE_VALUE.
HANDLE CreateTemporaryBeside(const char* target, char* name)
{
    size_t folder = FolderLength(target);
    const size_t suffix = 12;                      // "~qz" + 5 hex digits + ".tmp"
    if (folder + suffix + 1 > MAX_PATH)
        return INVALID_HANDLE_VALUE;
    memcpy(name, target, folder);
    DWORD seed = GetCurrentProcessId() * 2654435761u ^ GetTickCount();
    for (int attempt = 0; attempt < TemporaryAttempts; attempt++) {
        wsprintfA(name + folder, "~qz%05X.tmp", (unsigned)((seed + attempt * 40503u) & 0xFFFFF));
        HANDLE file = SystemFunctions.CreateFileA(name, GENERIC_WRITE, 0, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, 0);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    return INVALID_HANDLE_VALUE;
}

int StampTimes(HANDLE file, const FILETIME* time)
{
    return SetFileTime(file, time, time, time) != 0;
}

} // namespace

int WriteWholeFile(const char* path, const void* data, uint32_t length, const FILETIME* time)
{
    // The new contents go to a file of their own beside the target, which
    // takes the target's place only once every byte and time is in place: a
    // failed or short write leaves an existing target as it was.
    // A read-only file or a folder is not replaced: the target could not be
    // created over it either.
    DWORD attributes = SystemFunctions.GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return 0;
    char temporary[MAX_PATH];
    HANDLE file = CreateTemporaryBeside(path, temporary);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    int ok = SystemFunctions.WriteFile(file, data, length, &written, 0) && written == length;
    if (ok && time)
        ok = StampTimes(file, time);
    if (!SystemFunctions.CloseHandle(file))
        ok = 0;
    if (ok)
        ok = MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok) {
        DeleteFileA(temporary);
        return 0;
    }
    if (time) {
        // A file system that keeps a replaced file's creation time for the
        // name ("tunnelling") would hand the old one on: stamp once more.
        HANDLE placed = SystemFunctions.CreateFileA(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                    0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
        if (placed == INVALID_HANDLE_VALUE)
            return 0;
        ok = StampTimes(placed, time);
        SystemFunctions.CloseHandle(placed);
    }
    return ok;
}
