// The archive format: header and directory record layout, flag bits and the
// scrambler's key constants. Everything here is plain bytes, read
// little-endian byte by byte, so that 32- and 64-bit builds agree.
#ifndef ARCHIVE_FORMAT_H
#define ARCHIVE_FORMAT_H

#include <stdint.h>

enum {
    ArchiveHeaderSize = 16,
    ArchiveEntrySize = 280,
    ArchiveNameSize = 260,
    ArchiveDataAlignment = 16,

    ArchiveFlagCompressed = 1,   // Flags bit 0: the directory is a compressed stream
    ArchiveFlagScrambled = 2,    // Flags bit 1: the directory is scrambled
    EntryCompressedBit = 2,      // Compression bit 1: the stored bytes are a compressed stream
    EntryScrambledMark = 1       // ScrambleMark exactly 1: the stored bytes are scrambled
};

// "QZ2" and a NUL.
static const unsigned char ArchiveMagic[4] = { 0x51, 0x5A, 0x32, 0x00 };

// Key material of ScrambleBlock. The archive writer and the updater share
// these values; an archive scrambled with other values does not read back.
static const uint32_t ScrambleConstant = 0x6A3D95C7u;
static const unsigned char ScrambleRotations[8] = { 5, 11, 3, 19, 7, 13, 29, 9 };

struct ArchiveHeader {
    unsigned char Magic[4];
    unsigned char Flags[4];
    unsigned char DirectoryOffset[4];
    unsigned char EntryCount[4];
};

struct ArchiveEntry {
    char Name[ArchiveNameSize];
    unsigned char Compression;
    unsigned char Reserved1;
    unsigned char ScrambleMark;
    unsigned char Reserved2;
    unsigned char Timestamp[8];      // FILETIME, low 32 bits first
    unsigned char ExpandedSize[4];
    unsigned char StoredSize[4];
};

// The directory block in memory: the header as read, then the records.
struct ArchiveDirectory {
    ArchiveHeader Header;
    ArchiveEntry Entries[1];         // EntryCount records
};

static_assert(sizeof(ArchiveHeader) == ArchiveHeaderSize, "header layout");
static_assert(sizeof(ArchiveEntry) == ArchiveEntrySize, "entry layout");
static_assert(sizeof(ArchiveDirectory) == ArchiveHeaderSize + ArchiveEntrySize, "directory layout");

inline uint32_t ReadLE32(const unsigned char* p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

inline uint64_t ReadLE64(const unsigned char* p)
{
    return (uint64_t)ReadLE32(p) | ((uint64_t)ReadLE32(p + 4) << 32);
}

inline void WriteLE32(unsigned char* p, uint32_t v)
{
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
    p[2] = (unsigned char)(v >> 16);
    p[3] = (unsigned char)(v >> 24);
}

inline void WriteLE64(unsigned char* p, uint64_t v)
{
    WriteLE32(p, (uint32_t)v);
    WriteLE32(p + 4, (uint32_t)(v >> 32));
}

#endif
