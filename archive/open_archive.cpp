#include <string.h>

#include "archive/archive.h"
#include "archive/layout.h"
#include "startup/system_functions.h"

namespace {

// One ReadFile of exactly length bytes; a failed or short read is a failure.
int ReadExactly(HANDLE file, void* buffer, uint32_t length)
{
    if (length == 0)
        return 1;
    DWORD read = 0;
    return SystemFunctions.ReadFile(file, buffer, length, &read, 0) && read == length;
}

// File mode: opens the archive file, reads and checks its header and moves
// to the directory. INVALID_HANDLE_VALUE on failure, the file closed.
HANDLE OpenArchiveFile(const char* path, ArchiveHeader* header)
{
    HANDLE file = SystemFunctions.CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return file;
    int ok = ReadExactly(file, header, ArchiveHeaderSize) && HasArchiveMagic(header);
    if (ok) {
        // The offset is unsigned 32-bit: the high part 0 keeps offsets from
        // 2 GiB up from being taken as negative.
        LONG high = 0;
        SetLastError(NO_ERROR);
        DWORD low = SystemFunctions.SetFilePointer(file, (LONG)HeaderDirectoryOffset(header), &high, FILE_BEGIN);
        if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
            ok = 0;
    }
    if (!ok) {
        SystemFunctions.CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

// The image size of file mode: the file's size, which must fit in 32 bits.
int ArchiveFileSize(HANDLE file, uint32_t* size)
{
    DWORD high = 0;
    SetLastError(NO_ERROR);
    DWORD low = SystemFunctions.GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return 0;
    if (high != 0)
        return 0;
    *size = low;
    return 1;
}

} // namespace

ArchiveDirectory* OpenArchive(const PayloadImage* image)
{
    const int fileMode = image->Size == 0;
    ArchiveHeader header;
    HANDLE file = INVALID_HANDLE_VALUE;
    ArchiveDirectory* directory = 0;
    unsigned char* temporary = 0;
    int ok = 0;

    if (fileMode) {
        file = OpenArchiveFile(reinterpret_cast<const char*>(image->Address), &header);
        if (file == INVALID_HANDLE_VALUE)
            return 0;
    } else {
        // The magic is not looked at in memory mode.
        if (image->Size < ArchiveHeaderSize)
            return 0;
        memcpy(&header, image->Address, ArchiveHeaderSize);
    }

    const uint32_t flags = HeaderFlags(&header);
    const uint32_t offset = HeaderDirectoryOffset(&header);
    const uint32_t count = HeaderEntryCount(&header);
    const uint32_t recordsSize = count * ArchiveEntrySize;
    uint32_t blockSize;
    uint32_t storedLength = recordsSize;

    if (!DirectoryBlockSize(count, &blockSize))
        goto done;
    if (!fileMode && !(flags & ArchiveFlagCompressed) && !PlainDirectoryFits(offset, count, image->Size))
        goto done;

    directory = static_cast<ArchiveDirectory*>(GlobalAlloc(GMEM_FIXED, blockSize));
    if (!directory)
        goto done;

    if (flags & ArchiveFlagCompressed) {
        // The stream runs from the directory to the end of the image.
        uint32_t imageSize = image->Size;
        if (fileMode && !ArchiveFileSize(file, &imageSize))
            goto done;
        if (!CompressedDirectoryLength(offset, imageSize, &storedLength))
            goto done;
        if (!ExpansionPossible(storedLength, recordsSize))
            goto done;
        temporary = static_cast<unsigned char*>(GlobalAlloc(GMEM_FIXED, storedLength));
        if (!temporary)
            goto done;
        if (fileMode) {
            if (!ReadExactly(file, temporary, storedLength))
                goto done;
        } else {
            memcpy(temporary, image->Address + offset, storedLength);
        }
        if (!DecodeDirectory(flags, count, temporary, storedLength, directory->Entries))
            goto done;
    } else {
        unsigned char* records = reinterpret_cast<unsigned char*>(directory->Entries);
        if (fileMode) {
            if (!ReadExactly(file, records, recordsSize))
                goto done;
        } else if (recordsSize) {
            memcpy(records, image->Address + offset, recordsSize);
        }
        if (!DecodeDirectory(flags, count, records, recordsSize, directory->Entries))
            goto done;
    }

    memcpy(&directory->Header, &header, ArchiveHeaderSize);
    ok = 1;

done:
    if (temporary)
        GlobalFree(temporary);
    if (file != INVALID_HANDLE_VALUE)
        SystemFunctions.CloseHandle(file);
    if (!ok && directory) {
        GlobalFree(directory);
        directory = 0;
    }
    return directory;
}
