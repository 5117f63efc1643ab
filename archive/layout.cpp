#include "archive/layout.h"

#include <string.h>

#include "archive/expand.h"
#include "archive/scramble.h"

int HasArchiveMagic(const ArchiveHeader* header)
{
    return memcmp(header->Magic, ArchiveMagic, sizeof ArchiveMagic) == 0;
}

int DirectoryBlockSize(uint32_t entryCount, uint32_t* size)
{
    uint64_t total = (uint64_t)ArchiveHeaderSize + (uint64_t)ArchiveEntrySize * entryCount;
    if (total > 0xFFFFFFFFu)
        return 0;
    *size = (uint32_t)total;
    return 1;
}

int PlainDirectoryFits(uint32_t directoryOffset, uint32_t entryCount, uint32_t imageSize)
{
    return (uint64_t)directoryOffset + (uint64_t)ArchiveEntrySize * entryCount <= imageSize;
}

int CompressedDirectoryLength(uint32_t directoryOffset, uint32_t imageSize, uint32_t* length)
{
    if (directoryOffset >= imageSize)
        return 0;
    *length = imageSize - directoryOffset;
    return 1;
}

int ExpansionPossible(uint32_t streamLength, uint64_t expandedSize)
{
    return expandedSize <= (uint64_t)streamLength * 91;
}

int EntryNamesTerminated(const ArchiveEntry* entries, uint32_t entryCount)
{
    for (uint32_t i = 0; i < entryCount; i++)
        if (!memchr(entries[i].Name, 0, ArchiveNameSize))
            return 0;
    return 1;
}

int DecodeDirectory(uint32_t flags, uint32_t entryCount, unsigned char* stored,
                    uint32_t storedLength, ArchiveEntry* entries)
{
    uint32_t blockSize;
    if (!DirectoryBlockSize(entryCount, &blockSize))
        return 0;
    uint32_t recordsSize = blockSize - ArchiveHeaderSize;
    unsigned char* records = reinterpret_cast<unsigned char*>(entries);
    if (flags & ArchiveFlagCompressed) {
        if (!ExpansionPossible(storedLength, recordsSize))
            return 0;
        if (flags & ArchiveFlagScrambled)
            ScrambleBlock(stored, storedLength);
        if (!ExpandBlock(records, recordsSize, stored, storedLength))
            return 0;
    } else {
        if (storedLength != recordsSize)
            return 0;
        if (stored != records && recordsSize)
            memcpy(records, stored, recordsSize);
        if (flags & ArchiveFlagScrambled)
            ScrambleBlock(records, recordsSize);
    }
    return EntryNamesTerminated(entries, entryCount);
}

int EntryFitsImage(const ArchiveEntry* entry, uint64_t dataOffset, uint32_t imageSize)
{
    uint32_t stored = EntryStoredSize(entry);
    if (dataOffset + stored > imageSize)
        return 0;
    if (IsEntryCompressed(entry))
        return ExpansionPossible(stored, EntryExpandedSize(entry));
    return EntryExpandedSize(entry) == stored;
}
