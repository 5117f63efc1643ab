// The updater's archive: its payload resource, the directory loaded at
// start-up, look-up of entries and their extraction to disk.
#ifndef ARCHIVE_ARCHIVE_H
#define ARCHIVE_ARCHIVE_H

#include <windows.h>
#include <stdint.h>

#include "archive/format.h"

// Where the archive's bytes come from. Memory mode: Address and a Size that
// is not 0. File mode: Size 0 and Address holds a NUL-terminated file path.
struct PayloadImage {
    const unsigned char* Address;
    uint32_t Size;
};

extern PayloadImage Payload;              // the locked resource, never released
extern ArchiveDirectory* OpenDirectory;   // global heap block, released by the clean-up

// Binds the resource functions, then finds, sizes, loads and locks resource
// "UPDATE" 102 of the updater's own module. 1 and *image filled, or 0.
int LocatePayload(PayloadImage* image);

// Loads the directory of the image into a new fixed global heap block.
// Returns the block, or 0. Shows no message.
ArchiveDirectory* OpenArchive(const PayloadImage* image);

// Contents of the named entry of OpenDirectory/Payload, expanded; *size gets
// ExpandedSize. Returns 0 after its own message. Release the result with
// ReleaseArchiveEntry.
const unsigned char* FindArchiveEntry(const char* name, uint32_t* size);
void ReleaseArchiveEntry(const unsigned char* contents);

// Writes the named entry to target with its timestamp. 1 when written (or left
// alone under newerOnly because the existing file is later), 0 on failure.
int ExtractArchiveEntry(const char* name, const char* target, int newerOnly);

// Creates or replaces path with exactly length bytes of data and, when time
// is given, that creation, last-access and last-write time. 1 on success; on
// failure an existing file keeps its old contents.
int WriteWholeFile(const char* path, const void* data, uint32_t length, const FILETIME* time);

// Free bytes available to the caller on a drive ("C:"). 1 and *freeBytes, or 0
// when the number cannot be had. Replaceable so that tests can set the figure.
typedef int (*FreeSpaceQueryFunction)(const char* drive, uint64_t* freeBytes);
extern FreeSpaceQueryFunction QueryFreeSpace;

#endif
