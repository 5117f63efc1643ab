// Archive images for tests, built field by field so that a test can also
// craft damaged ones: parts (data area and directory records) that a test may
// change, then assembled with the directory plain, compressed and/or scrambled.
#ifndef TESTS_SUPPORT_ARCHIVE_IMAGES_H
#define TESTS_SUPPORT_ARCHIVE_IMAGES_H

#include <stdint.h>

#include <string>
#include <vector>

#include "archive/format.h"

typedef std::vector<unsigned char> Bytes;

// 2020-01-02 03:04:05 UTC as a FILETIME count.
const uint64_t FixtureTime = 132224078450000000ull;

struct FixtureEntry {
    std::string Name;          // bytes as stored (code page 932)
    Bytes Contents;
    bool Compress = false;
    bool Scramble = false;
    uint64_t Timestamp = FixtureTime;
};

struct ArchiveParts {
    Bytes Data;                          // the data area, from offset 16 on
    std::vector<ArchiveEntry> Records;   // the directory, plain
};

// A directory record with every field given.
ArchiveEntry MakeRecord(const std::string& name, unsigned char compression, unsigned char scrambleMark,
                        uint64_t timestamp, uint32_t expandedSize, uint32_t storedSize);

// Stored bytes (compressed, then scrambled, as asked) of each entry, each
// followed by fill up to a multiple of 16, and the records that describe them.
ArchiveParts BuildParts(const std::vector<FixtureEntry>& entries);

// Header, data area and directory; flags as the header's Flags. The
// directory lies right behind the data area.
Bytes AssembleImage(const ArchiveParts& parts, uint32_t flags);

Bytes BuildImage(const std::vector<FixtureEntry>& entries, uint32_t flags);

Bytes TextBytes(const std::string& text);

// Bytes that do not compress, from a fixed seed.
Bytes NoiseBytes(size_t size, uint32_t seed);

// Offsets of the header fields, for patching a built image.
enum { FlagsField = 4, DirectoryOffsetField = 8, EntryCountField = 12 };

#endif
