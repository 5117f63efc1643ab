// The look-up shared by FindArchiveEntry and ExtractArchiveEntry: the walk
// over the open directory and the decoding of an entry's stored bytes.
#ifndef ARCHIVE_ENTRY_LOOKUP_H
#define ARCHIVE_ENTRY_LOOKUP_H

#include "archive/archive.h"

enum { EntryFound = 1, EntryMissing = 0, EntryDamaged = -1 };

struct LocatedEntry {
    const ArchiveEntry* Entry;
    const unsigned char* Stored;     // its stored bytes inside the payload image
};

// Walks OpenDirectory in order with the running DataOffset from 16 and takes
// the first entry whose Name equals name under lstrcmpiA. EntryFound: *found
// is filled and the stored bytes lie within the payload image with sizes
// that agree with the entry's form. EntryDamaged: the entry is there but its
// bytes do not lie within the image (or its sizes cannot be right).
// EntryMissing: no such entry, or no open directory. Shows nothing.
int LocateArchiveEntry(const char* name, LocatedEntry* found);

// Shows the look-up failure of LocateArchiveEntry's result: "Can't Find File
// in Resource !!" for a missing entry, "RESOURCE READ ERROR" for a damaged one.
void ShowLookupFailure(int result);

// The contents of a located entry: the stored bytes in place for a plain
// entry; an unscrambled copy when ScrambleMark is 1; the expanded bytes in a
// new block when it is compressed. 1 and *contents, with *owned the block
// that holds them (to be released with GlobalFree) or 0 when they lie in the
// image. On failure shows "Can't Allocate Memory !!" or, for a stream that
// does not expand to exactly ExpandedSize bytes, "RESOURCE READ ERROR", frees
// what it allocated and returns 0. The payload image is never changed.
int ReadEntryContents(const LocatedEntry* found, const unsigned char** contents, unsigned char** owned);

#endif
