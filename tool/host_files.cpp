#include "tool/host_files.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <system_error>

#include "tool/command.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
const int64_t UnixEpochSeconds = 11644473600LL;
const int64_t TicksPerSecond = 10000000;

} // namespace

#ifdef _WIN32
uint64_t LastWriteTime(const fs::path& file)
{
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExW(file.wstring().c_str(), GetFileExInfoStandard, &d))
        throw ToolError(file.u8string() + ": cannot read its time");
    return (uint64_t)d.ftLastWriteTime.dwHighDateTime << 32 | d.ftLastWriteTime.dwLowDateTime;
}

void SetFileTimes(const fs::path& file, uint64_t time)
{
    HANDLE h = CreateFileW(file.wstring().c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, 0,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
    if (h == INVALID_HANDLE_VALUE)
        throw ToolError(file.u8string() + ": cannot set its time");
    FILETIME t;
    t.dwLowDateTime = (DWORD)time;
    t.dwHighDateTime = (DWORD)(time >> 32);
    BOOL ok = SetFileTime(h, &t, &t, &t);
    CloseHandle(h);
    if (!ok)
        throw ToolError(file.u8string() + ": cannot set its time");
}
#else
uint64_t LastWriteTime(const fs::path& file)
{
    struct stat st;
    if (stat(file.c_str(), &st) != 0)
        throw ToolError(file.u8string() + ": cannot read its time: " + strerror(errno));
    int64_t seconds = (int64_t)st.st_mtim.tv_sec + UnixEpochSeconds;
    if (seconds < 0)
        throw ToolError(file.u8string() + ": its time lies before 1601");
    return (uint64_t)seconds * TicksPerSecond + (uint64_t)st.st_mtim.tv_nsec / 100;
}

void SetFileTimes(const fs::path& file, uint64_t time)
{
    struct timespec times[2];
    times[0].tv_sec = (time_t)((int64_t)(time / TicksPerSecond) - UnixEpochSeconds);
    times[0].tv_nsec = (long)(time % TicksPerSecond) * 100;
    times[1] = times[0];
    if (utimensat(AT_FDCWD, file.c_str(), times, 0) != 0)
        throw ToolError(file.u8string() + ": cannot set its time: " + strerror(errno));
}
#endif

std::vector<fs::path> FilesInFolder(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    if (ec)
        throw ToolError(folder.u8string() + ": cannot list the folder: " + ec.message());
    for (; it != end; it.increment(ec)) {
        if (ec)
            throw ToolError(folder.u8string() + ": cannot list the folder: " + ec.message());
        std::error_code kind;
        if (it->is_regular_file(kind))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename().native() < b.filename().native(); });
    return files;
}

std::string IsoTime(uint64_t time)
{
    // Days to a civil date (proleptic Gregorian), from 1601-01-01.
    uint64_t seconds = time / TicksPerSecond;
    unsigned fraction = (unsigned)(time % TicksPerSecond);
    int64_t days = (int64_t)(seconds / 86400) - UnixEpochSeconds / 86400;    // days since 1970-01-01
    unsigned secondOfDay = (unsigned)(seconds % 86400);
    int64_t z = days + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    unsigned doe = (unsigned)(z - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t year = (int64_t)yoe + era * 400;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    unsigned day = doy - (153 * mp + 2) / 5 + 1;
    unsigned month = mp < 10 ? mp + 3 : mp - 9;
    if (month <= 2)
        year++;
    char text[48];
    int n = snprintf(text, sizeof text, "%04lld-%02u-%02uT%02u:%02u:%02u", (long long)year, month, day,
                     secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60);
    if (fraction)
        snprintf(text + n, sizeof text - n, ".%07u", fraction);
    return std::string(text) + "Z";
}
