// Checks of an archive's layout against the image that holds it, shared by the
// updater and the publisher's tool. The format itself carries no check that
// its offsets and sizes lie within the image; every reader asks these first,
// so that a damaged or crafted archive fails instead of being read out of
// bounds. Portable: no Win32.
#ifndef ARCHIVE_LAYOUT_H
#define ARCHIVE_LAYOUT_H

#include <stdint.h>

#include "archive/format.h"

// Field readers of the byte layouts.
inline uint32_t HeaderFlags(const ArchiveHeader* h) { return ReadLE32(h->Flags); }
inline uint32_t HeaderDirectoryOffset(const ArchiveHeader* h) { return ReadLE32(h->DirectoryOffset); }
inline uint32_t HeaderEntryCount(const ArchiveHeader* h) { return ReadLE32(h->EntryCount); }
inline uint32_t EntryExpandedSize(const ArchiveEntry* e) { return ReadLE32(e->ExpandedSize); }
inline uint32_t EntryStoredSize(const ArchiveEntry* e) { return ReadLE32(e->StoredSize); }
inline uint64_t EntryTimestamp(const ArchiveEntry* e) { return ReadLE64(e->Timestamp); }
inline int IsEntryCompressed(const ArchiveEntry* e) { return (e->Compression & EntryCompressedBit) != 0; }
inline int IsEntryScrambled(const ArchiveEntry* e) { return e->ScrambleMark == EntryScrambledMark; }

// 1 when the first four bytes are "QZ2" and a NUL.
int HasArchiveMagic(const ArchiveHeader* header);

// 16 + 280 × entryCount into *size; 0 when that does not fit in 32 bits.
int DirectoryBlockSize(uint32_t entryCount, uint32_t* size);

// A plain directory: 1 when its entryCount × 280 bytes at directoryOffset lie
// within an image of imageSize bytes.
int PlainDirectoryFits(uint32_t directoryOffset, uint32_t entryCount, uint32_t imageSize);

// A compressed directory runs from directoryOffset to the end of the image.
// 1 and its length, or 0 when it begins at or behind the end of the image.
int CompressedDirectoryLength(uint32_t directoryOffset, uint32_t imageSize, uint32_t* length);

// 1 when a stream of streamLength bytes can possibly expand to expandedSize
// bytes. The densest token (a long match of 282 bytes) costs 25 bits, so no
// stream expands beyond 91 times its length; a size beyond that is refused
// before any block of that size is allocated.
int ExpansionPossible(uint32_t streamLength, uint64_t expandedSize);

// 1 when every record's Name has its NUL within its 260 bytes.
int EntryNamesTerminated(const ArchiveEntry* entries, uint32_t entryCount);

// Turns the directory's stored bytes into its records: for a compressed
// directory (Flags bit 0) stored holds the stream, which is unscrambled in
// place when Flags bit 1 is set and then expanded into entries; for a plain
// one stored holds entryCount × 280 bytes (it may be entries itself), which
// are unscrambled in place into entries' place. Fails for an invalid stream,
// an expansion of another size than entryCount × 280, and a Name without its
// NUL. entries must hold entryCount × 280 bytes.
int DecodeDirectory(uint32_t flags, uint32_t entryCount, unsigned char* stored,
                    uint32_t storedLength, ArchiveEntry* entries);

// Where the next entry's stored bytes begin: dataOffset plus storedSize raised
// to a multiple of 16. 64-bit, so that a running offset never wraps.
inline uint64_t NextDataOffset(uint64_t dataOffset, uint32_t storedSize)
{
    return dataOffset + (((uint64_t)storedSize + (ArchiveDataAlignment - 1)) & ~(uint64_t)(ArchiveDataAlignment - 1));
}

// 1 when an entry's stored bytes at dataOffset lie within the image and its
// sizes agree with its form: a plain entry's ExpandedSize equals its
// StoredSize, a compressed entry's ExpandedSize is one that its stream can
// reach (see ExpansionPossible).
int EntryFitsImage(const ArchiveEntry* entry, uint64_t dataOffset, uint32_t imageSize);

#endif
