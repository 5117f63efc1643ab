#include "support/archive_images.h"

#include <string.h>

#include "archive/compress.h"
#include "archive/scramble.h"

ArchiveEntry MakeRecord(const std::string& name, unsigned char compression, unsigned char scrambleMark,
                        uint64_t timestamp, uint32_t expandedSize, uint32_t storedSize)
{
    ArchiveEntry e;
    memset(&e, 0, sizeof e);
    memcpy(e.Name, name.data(), name.size() < sizeof e.Name ? name.size() : sizeof e.Name);
    e.Compression = compression;
    e.ScrambleMark = scrambleMark;
    WriteLE64(e.Timestamp, timestamp);
    WriteLE32(e.ExpandedSize, expandedSize);
    WriteLE32(e.StoredSize, storedSize);
    return e;
}

ArchiveParts BuildParts(const std::vector<FixtureEntry>& entries)
{
    ArchiveParts parts;
    for (const FixtureEntry& f : entries) {
        Bytes stored = f.Compress ? CompressBlock(f.Contents.data(), f.Contents.size()) : f.Contents;
        if (f.Scramble)
            ScrambleBlock(stored.data(), (uint32_t)stored.size());
        parts.Records.push_back(MakeRecord(f.Name, f.Compress ? EntryCompressedBit : 0,
                                           f.Scramble ? EntryScrambledMark : 0, f.Timestamp,
                                           (uint32_t)f.Contents.size(), (uint32_t)stored.size()));
        parts.Data.insert(parts.Data.end(), stored.begin(), stored.end());
        // Fill that is not zero, so that a reader that used it would show.
        while (parts.Data.size() % ArchiveDataAlignment)
            parts.Data.push_back(0xEE);
    }
    return parts;
}

Bytes AssembleImage(const ArchiveParts& parts, uint32_t flags)
{
    const unsigned char* records = reinterpret_cast<const unsigned char*>(parts.Records.data());
    Bytes directory(records, records + parts.Records.size() * sizeof(ArchiveEntry));
    if (flags & ArchiveFlagCompressed)
        directory = CompressBlock(directory.data(), directory.size());
    if (flags & ArchiveFlagScrambled)
        ScrambleBlock(directory.data(), (uint32_t)directory.size());

    const size_t directoryOffset = ArchiveHeaderSize + parts.Data.size();
    Bytes image(directoryOffset + directory.size());
    memcpy(image.data(), ArchiveMagic, 4);
    WriteLE32(&image[FlagsField], flags);
    WriteLE32(&image[DirectoryOffsetField], (uint32_t)directoryOffset);
    WriteLE32(&image[EntryCountField], (uint32_t)parts.Records.size());
    if (!parts.Data.empty())
        memcpy(&image[ArchiveHeaderSize], parts.Data.data(), parts.Data.size());
    if (!directory.empty())
        memcpy(&image[directoryOffset], directory.data(), directory.size());
    return image;
}

Bytes BuildImage(const std::vector<FixtureEntry>& entries, uint32_t flags)
{
    return AssembleImage(BuildParts(entries), flags);
}

Bytes TextBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes NoiseBytes(size_t size, uint32_t seed)
{
    Bytes out(size);
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; i++) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out[i] = (unsigned char)(x >> 24);
    }
    return out;
}
