#include "archive/archive_writer.h"

#include <string.h>

#include <stdexcept>

#include "archive/compress.h"
#include "archive/format.h"
#include "archive/scramble.h"

namespace {

const uint64_t LargestImage = 0xFFFFFFFFu;

struct ProgressSpan {
    WriterProgressFunction progress;
    void* context;
    uint64_t before;      // bytes of the entries before this one
    uint64_t total;
};

void ReportEntry(size_t done, size_t, void* span)
{
    ProgressSpan* s = static_cast<ProgressSpan*>(span);
    s->progress(s->before + done, s->total, s->context);
}

void CheckName(const std::string& name)
{
    if (name.empty())
        throw std::invalid_argument("an entry name is empty");
    if (name.size() >= ArchiveNameSize)
        throw std::invalid_argument("the entry name \"" + name + "\" has " + std::to_string(name.size()) +
                                    " bytes; at most " + std::to_string(ArchiveNameSize - 1) + " fit");
    if (name.find('\0') != std::string::npos)
        throw std::invalid_argument("an entry name holds a NUL byte");
}

} // namespace

std::vector<unsigned char> BuildArchive(const std::vector<WriterEntry>& entries, const WriterOptions& options,
                                        WriterProgressFunction progress, void* context)
{
    uint64_t total = 0;
    for (const WriterEntry& e : entries) {
        CheckName(e.Name);
        if (e.Contents.size() >= LargestImage)
            throw std::length_error("the entry \"" + e.Name + "\" is 4 GiB or larger");
        total += e.Contents.size();
    }

    std::vector<unsigned char> image(ArchiveHeaderSize);
    std::vector<ArchiveEntry> records(entries.size());
    ProgressSpan span = { progress, context, 0, total };
    for (size_t i = 0; i < entries.size(); i++) {
        const WriterEntry& e = entries[i];
        std::vector<unsigned char> stored;
        bool compressed = false;
        if (options.CompressEntries) {
            stored = progress ? CompressBlock(e.Contents.data(), e.Contents.size(), ReportEntry, &span)
                              : CompressBlock(e.Contents.data(), e.Contents.size());
            compressed = stored.size() < e.Contents.size();
        }
        if (!compressed)
            stored = e.Contents;
        if (options.ScrambleEntries)
            ScrambleBlock(stored.data(), (uint32_t)stored.size());
        span.before += e.Contents.size();
        if (progress)
            progress(span.before, total, context);

        ArchiveEntry& r = records[i];
        memset(&r, 0, sizeof r);
        memcpy(r.Name, e.Name.data(), e.Name.size());
        r.Compression = compressed ? EntryCompressedBit : 0;
        r.ScrambleMark = options.ScrambleEntries ? EntryScrambledMark : 0;
        WriteLE64(r.Timestamp, e.Timestamp);
        WriteLE32(r.ExpandedSize, (uint32_t)e.Contents.size());
        WriteLE32(r.StoredSize, (uint32_t)stored.size());

        // The stored bytes, then zero fill up to a multiple of 16.
        size_t padded = (stored.size() + ArchiveDataAlignment - 1) / ArchiveDataAlignment * ArchiveDataAlignment;
        if (image.size() + padded > LargestImage)
            throw std::length_error("the archive would be 4 GiB or larger");
        size_t at = image.size();
        image.resize(at + padded);
        if (!stored.empty())
            memcpy(&image[at], stored.data(), stored.size());
    }

    const unsigned char* raw = reinterpret_cast<const unsigned char*>(records.data());
    std::vector<unsigned char> directory(raw, raw + records.size() * sizeof(ArchiveEntry));
    if (options.CompressDirectory)
        directory = CompressBlock(directory.data(), directory.size());
    if (options.ScrambleDirectory)
        ScrambleBlock(directory.data(), (uint32_t)directory.size());
    if (image.size() + directory.size() > LargestImage)
        throw std::length_error("the archive would be 4 GiB or larger");

    uint32_t flags = (options.CompressDirectory ? ArchiveFlagCompressed : 0) |
                     (options.ScrambleDirectory ? ArchiveFlagScrambled : 0);
    const uint32_t directoryOffset = (uint32_t)image.size();
    memcpy(&image[0], ArchiveMagic, sizeof ArchiveMagic);
    WriteLE32(&image[4], flags);
    WriteLE32(&image[8], directoryOffset);
    WriteLE32(&image[12], (uint32_t)records.size());
    image.resize(directoryOffset + directory.size());
    if (!directory.empty())
        memcpy(&image[directoryOffset], directory.data(), directory.size());
    return image;
}
