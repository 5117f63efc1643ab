#include "archive/archive.h"
#include "archive/entry_lookup.h"
#include "archive/layout.h"
#include "startup/system_functions.h"
#include "startup/updater_state.h"

static const char NoRoomFormat[] = "ディスク容量が足りません。%s ドライブに %i バイトの空き容量が必要です";

static int QueryFreeSpaceOfDrive(const char* drive, uint64_t* freeBytes)
{
    ULARGE_INTEGER available, total, totalFree;
    if (!GetDiskFreeSpaceExA(drive, &available, &total, &totalFree))
        return 0;
    *freeBytes = available.QuadPart;
    return 1;
}

FreeSpaceQueryFunction QueryFreeSpace = QueryFreeSpaceOfDrive;

namespace {

// Decimal digits of a 64-bit count.
void FormatUnsigned(char* out, uint64_t value)
{
    char digits[24];
    int n = 0;
    do {
        digits[n++] = (char)('0' + value % 10);
        value /= 10;
    } while (value);
    while (n)
        *out++ = digits[--n];
    *out = 0;
}

// The no-room message: the format with %s the drive name and %i the shortfall.
// The shortfall is a 64-bit count, written in full rather than through the
// 32-bit %i of wsprintfA. No byte of a Shift-JIS character is a '%'.
void FormatNoRoomMessage(char* out, size_t size, const char* drive, uint64_t shortfall)
{
    char number[24];
    FormatUnsigned(number, shortfall);
    size_t n = 0;
    for (const char* f = NoRoomFormat; *f && n + 1 < size; f++) {
        const char* insert = 0;
        if (f[0] == '%' && f[1] == 's')
            insert = drive;
        else if (f[0] == '%' && f[1] == 'i')
            insert = number;
        if (insert) {
            for (; *insert && n + 1 < size; insert++)
                out[n++] = *insert;
            f++;
        } else {
            out[n++] = *f;
        }
    }
    out[n] = 0;
}

// 1 when the target's drive has room for size bytes, or when its free space
// cannot be had (no drive letter, or the query fails): then the write itself
// reports a lack of room. 0 after the no-room message.
int DriveHasRoom(const char* target, uint32_t size)
{
    char drive[3];
    lstrcpynA(drive, target, sizeof drive);       // the first two characters
    char letter = drive[0];
    if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')) || drive[1] != ':')
        return 1;
    uint64_t freeBytes;
    if (!QueryFreeSpace(drive, &freeBytes))
        return 1;
    if (size <= freeBytes)
        return 1;
    char message[TextBufferSize];
    FormatNoRoomMessage(message, sizeof message, drive, size - freeBytes);
    ShowUpdaterError(message);
    return 0;
}

// With newerOnly: 1 when the existing target's last-write time is later than
// the entry's timestamp. A target that cannot be opened or whose time cannot
// be read counts as not later.
int TargetIsLater(const char* target, uint64_t timestamp)
{
    HANDLE file = SystemFunctions.CreateFileA(target, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    FILETIME written;
    int later = 0;
    if (GetFileTime(file, 0, 0, &written))
        later = ((uint64_t)written.dwHighDateTime << 32 | written.dwLowDateTime) > timestamp;
    SystemFunctions.CloseHandle(file);
    return later;
}

} // namespace

int ExtractArchiveEntry(const char* name, const char* target, int newerOnly)
{
    LocatedEntry found;
    int located = LocateArchiveEntry(name, &found);
    if (located != EntryFound) {
        ShowLookupFailure(located);
        return 0;
    }
    const ArchiveEntry* entry = found.Entry;
    const uint32_t size = EntryExpandedSize(entry);
    const uint64_t timestamp = EntryTimestamp(entry);

    // The space test comes first, before the newer and folder tests. It
    // looks at this entry's size alone.
    if (!DriveHasRoom(target, size))
        return 0;

    const unsigned char* contents;
    unsigned char* owned;
    if (!ReadEntryContents(&found, &contents, &owned))
        return 0;

    int result = 0;
    DWORD attributes = SystemFunctions.GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            goto done;
        // Normal attributes: read-only goes, and hidden, system and archive
        // with it. The outcome is not looked at.
        if (attributes & FILE_ATTRIBUTE_READONLY)
            SystemFunctions.SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
        if (newerOnly && TargetIsLater(target, timestamp)) {
            result = 1;
            goto done;
        }
    }

    {
        FILETIME time;
        time.dwLowDateTime = (DWORD)timestamp;
        time.dwHighDateTime = (DWORD)(timestamp >> 32);
        result = WriteWholeFile(target, contents, size, &time);
    }

done:
    if (owned)
        GlobalFree(owned);
    return result;
}
