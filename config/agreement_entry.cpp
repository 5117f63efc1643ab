// The agreement texts: archive entries copied into blocks of their own.
#include <windows.h>
#include <string.h>

#include "archive/archive.h"
#include "config/config.h"
#include "startup/updater_state.h"

char* LoadAgreementEntry(const char* name)
{
    uint32_t size = 0;
    const unsigned char* contents = FindArchiveEntry(name, &size);
    if (!contents) {
        char text[TextBufferSize];
        wsprintfA(text, "'%s' not found at UPDATE.QZ3", name);
        ShowUpdaterError(text);
        return 0;
    }
    // The contents and two NULs, so that the block reads as a text whatever
    // the entry holds. A size whose block size would wrap counts as no memory.
    char* block = 0;
    if ((SIZE_T)size <= (SIZE_T)-1 - 2)
        block = (char*)GlobalAlloc(GPTR, (SIZE_T)size + 2);
    if (!block) {
        ReleaseArchiveEntry(contents);
        ShowUpdaterError("Can't Allocate Memory !!");
        return 0;
    }
    memcpy(block, contents, size);
    ReleaseArchiveEntry(contents);
    return block;
}
