#include "archive/archive.h"
#include "archive/entry_lookup.h"
#include "archive/layout.h"

const unsigned char* FindArchiveEntry(const char* name, uint32_t* size)
{
    LocatedEntry found;
    int result = LocateArchiveEntry(name, &found);
    if (result != EntryFound) {
        ShowLookupFailure(result);
        return 0;
    }
    // A scrambled entry is unscrambled in a copy of its own, like a
    // compressed one is expanded into a block of its own.
    const unsigned char* contents;
    unsigned char* owned;
    if (!ReadEntryContents(&found, &contents, &owned))
        return 0;
    if (size)
        *size = EntryExpandedSize(found.Entry);
    return contents;
}

void ReleaseArchiveEntry(const unsigned char* contents)
{
    // Contents inside the payload image belong to the executable's resources;
    // anything else is a block that FindArchiveEntry allocated.
    if (!contents)
        return;
    uintptr_t address = reinterpret_cast<uintptr_t>(contents);
    uintptr_t start = reinterpret_cast<uintptr_t>(Payload.Address);
    if (Payload.Size != 0 && address >= start && address <= start + Payload.Size)
        return;
    GlobalFree(const_cast<unsigned char*>(contents));
}
