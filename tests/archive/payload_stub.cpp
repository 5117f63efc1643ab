// A small program that carries a payload the way the updater does: it binds
// the system functions, locates its own resource "UPDATE" 102, opens it and
// writes one entry to a file.
// Usage: payload_stub [NAME TARGET]
// Exit code: 0 done, 2 no payload, 3 the archive does not open, 4 the entry
// was not written, 5 the system functions were not bound.
#include "archive/archive.h"
#include "startup/system_functions.h"
#include "startup/updater_state.h"

int main(int argc, char** argv)
{
    if (!BindSystemFunctions())
        return 5;
    UpdaterInstance = GetModuleHandleA(0);
    if (!LocatePayload(&Payload))
        return 2;
    OpenDirectory = OpenArchive(&Payload);
    if (!OpenDirectory)
        return 3;
    if (argc >= 3 && !ExtractArchiveEntry(argv[1], argv[2], 0))
        return 4;
    return 0;
}
