// The writer of the updater's archive format (the publisher's side): an image
// with header, data area and directory, each entry compressed and scrambled
// as asked. Portable.
#ifndef ARCHIVE_ARCHIVE_WRITER_H
#define ARCHIVE_ARCHIVE_WRITER_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

struct WriterEntry {
    std::string Name;                     // bytes as stored: code page 932, 1 to 259 bytes
    uint64_t Timestamp = 0;               // FILETIME count
    std::vector<unsigned char> Contents;
};

struct WriterOptions {
    bool CompressEntries = true;          // compressed where that is smaller, else stored
    bool ScrambleEntries = false;
    bool CompressDirectory = true;
    bool ScrambleDirectory = false;
};

// Called now and then with the input bytes done so far and their total.
typedef void (*WriterProgressFunction)(uint64_t done, uint64_t total, void* context);

// The archive image of the entries, in their order. Throws
// std::invalid_argument for a name that is empty, of 260 bytes or more, or
// holds a NUL, and std::length_error for an entry or an image of 4 GiB or
// more. Names are not compared: the caller refuses duplicates.
std::vector<unsigned char> BuildArchive(const std::vector<WriterEntry>& entries, const WriterOptions& options,
                                        WriterProgressFunction progress = 0, void* context = 0);

#endif
