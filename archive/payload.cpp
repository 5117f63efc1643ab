#include "archive/archive.h"

#include "startup/system_functions.h"
#include "startup/updater_state.h"

PayloadImage Payload;
ArchiveDirectory* OpenDirectory;

enum { PayloadResourceId = 102 };

int LocatePayload(PayloadImage* image)
{
    // The four resource functions are bound here, from KERNEL32.DLL. One that
    // cannot be bound ends the search like a missing resource.
    if (!BindResourceFunctions())
        return 0;
    HRSRC found = SystemFunctions.FindResourceA(UpdaterInstance, MAKEINTRESOURCEA(PayloadResourceId), "UPDATE");
    if (!found)
        return 0;
    DWORD size = SystemFunctions.SizeofResource(UpdaterInstance, found);
    if (size == 0)
        return 0;
    HGLOBAL loaded = SystemFunctions.LoadResource(UpdaterInstance, found);
    if (!loaded)
        return 0;
    const unsigned char* address = static_cast<const unsigned char*>(SystemFunctions.LockResource(loaded));
    if (!address)
        return 0;
    image->Address = address;
    image->Size = size;
    return 1;
}
