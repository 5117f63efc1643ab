// An archive as the publisher's tool reads it: from a .qz2 file or from the
// payload resource of a bound updater, with every bound checked.
#ifndef TOOL_ARCHIVE_FILE_H
#define TOOL_ARCHIVE_FILE_H

#include <stdint.h>

#include <string>
#include <vector>

#include "archive/format.h"

struct ArchiveView {
    std::string Path;                    // the file named on the command line
    std::string Source;                  // "" or how the archive was found in the file
    std::vector<unsigned char> Image;    // the archive's bytes
    uint32_t Flags = 0;
    uint32_t DirectoryOffset = 0;
    std::vector<ArchiveEntry> Entries;   // unscrambled and expanded
    std::vector<uint64_t> DataOffsets;   // where each entry's stored bytes begin
};

// Reads an archive file or a bound updater and decodes its directory.
// Throws ToolError saying what is wrong: no payload resource, no "QZ2"
// magic, a directory outside the file, an invalid directory stream, a name
// without its NUL.
ArchiveView LoadArchive(const std::string& path);

// What is wrong with an entry's stored bytes, without expanding them (outside
// the image, sizes that do not fit its form), or "".
std::string EntryBoundsProblem(const ArchiveView& archive, size_t index);

// The entry's contents: unscrambled and expanded. Throws ToolError when its
// bytes lie outside the image or do not expand to exactly ExpandedSize.
std::vector<unsigned char> EntryContents(const ArchiveView& archive, size_t index);

// For each entry, the index of an earlier entry whose name is the same
// without regard to case (the updater always finds that one), or -1.
std::vector<long> ShadowingEntries(const ArchiveView& archive);

#endif
