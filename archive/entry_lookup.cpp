#include "archive/entry_lookup.h"

#include <string.h>

#include "archive/expand.h"
#include "archive/layout.h"
#include "archive/scramble.h"
#include "startup/updater_state.h"

static const char EntryMissingText[] = "Can't Find File in Resource !!";
static const char EntryDamagedText[] = "RESOURCE READ ERROR";
static const char NoMemoryText[] = "Can't Allocate Memory !!";

int LocateArchiveEntry(const char* name, LocatedEntry* found)
{
    if (!OpenDirectory)
        return EntryMissing;
    const uint32_t count = HeaderEntryCount(&OpenDirectory->Header);
    uint64_t dataOffset = ArchiveHeaderSize;
    for (uint32_t i = 0; i < count; i++) {
        const ArchiveEntry* entry = &OpenDirectory->Entries[i];
        if (lstrcmpiA(entry->Name, name) == 0) {
            if (!EntryFitsImage(entry, dataOffset, Payload.Size))
                return EntryDamaged;
            found->Entry = entry;
            found->Stored = Payload.Address + dataOffset;
            return EntryFound;
        }
        dataOffset = NextDataOffset(dataOffset, EntryStoredSize(entry));
    }
    return EntryMissing;
}

void ShowLookupFailure(int result)
{
    ShowUpdaterError(result == EntryDamaged ? EntryDamagedText : EntryMissingText);
}

// A fixed block of size bytes; a block of 0 bytes is asked for as 1 byte, so
// that an empty entry still has an address of its own.
static unsigned char* AllocateBlock(uint32_t size)
{
    return static_cast<unsigned char*>(GlobalAlloc(GMEM_FIXED, size ? size : 1));
}

int ReadEntryContents(const LocatedEntry* found, const unsigned char** contents, unsigned char** owned)
{
    const ArchiveEntry* entry = found->Entry;
    const uint32_t storedSize = EntryStoredSize(entry);
    const uint32_t expandedSize = EntryExpandedSize(entry);
    const unsigned char* stored = found->Stored;
    unsigned char* copy = 0;

    if (IsEntryScrambled(entry)) {
        copy = AllocateBlock(storedSize);
        if (!copy) {
            ShowUpdaterError(NoMemoryText);
            return 0;
        }
        memcpy(copy, stored, storedSize);
        ScrambleBlock(copy, storedSize);
        stored = copy;
    }

    if (!IsEntryCompressed(entry)) {
        *contents = stored;
        *owned = copy;
        return 1;
    }

    unsigned char* expanded = AllocateBlock(expandedSize);
    if (!expanded) {
        if (copy)
            GlobalFree(copy);
        ShowUpdaterError(NoMemoryText);
        return 0;
    }
    int ok = ExpandBlock(expanded, expandedSize, stored, storedSize);
    if (copy)
        GlobalFree(copy);
    if (!ok) {
        GlobalFree(expanded);
        ShowUpdaterError(EntryDamagedText);
        return 0;
    }
    *contents = expanded;
    *owned = expanded;
    return 1;
}
