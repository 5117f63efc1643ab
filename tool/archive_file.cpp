#include "tool/archive_file.h"

#include <string.h>

#include <map>

#include "archive/expand.h"
#include "archive/layout.h"
#include "archive/scramble.h"
#include "tool/command.h"
#include "tool/files.h"
#include "tool/names.h"
#include "tool/pe_resource.h"

namespace {

// The payload of a bound updater: Japanese when there are several.
void TakePayloadResource(ArchiveView& a)
{
    std::vector<PeResource> found = FindPayloadResources(a.Image, a.Path);
    if (found.empty())
        throw ToolError(a.Path + ": an executable without a payload (no resource \"UPDATE\" 102)");
    const PeResource* chosen = &found[0];
    for (const PeResource& r : found)
        if (r.Language == PayloadLanguage)
            chosen = &r;
    a.Source = "resource \"UPDATE\" 102, language " + std::to_string(chosen->Language);
    a.Image = std::vector<unsigned char>(a.Image.begin() + chosen->Offset,
                                         a.Image.begin() + chosen->Offset + chosen->Size);
}

} // namespace

ArchiveView LoadArchive(const std::string& path)
{
    ArchiveView a;
    a.Path = path;
    a.Image = ReadWholeFile(path);
    if (IsPeFile(a.Image))
        TakePayloadResource(a);
    const std::string what = a.Source.empty() ? path : path + " (" + a.Source + ")";
    if (a.Image.size() > 0xFFFFFFFFu)
        throw ToolError(what + ": larger than an archive can be (4 GiB)");
    const uint32_t size = (uint32_t)a.Image.size();
    if (size < ArchiveHeaderSize)
        throw ToolError(what + ": too short for an archive header (" + std::to_string(size) + " bytes)");
    const ArchiveHeader* header = reinterpret_cast<const ArchiveHeader*>(a.Image.data());
    if (!HasArchiveMagic(header))
        throw ToolError(what + ": not an archive (it does not begin with \"QZ2\" and a NUL)");
    a.Flags = HeaderFlags(header);
    a.DirectoryOffset = HeaderDirectoryOffset(header);
    const uint32_t count = HeaderEntryCount(header);
    uint32_t blockSize;
    if (!DirectoryBlockSize(count, &blockSize))
        throw ToolError(what + ": damaged header: " + std::to_string(count) + " entries cannot be");

    std::vector<unsigned char> stored;
    if (a.Flags & ArchiveFlagCompressed) {
        uint32_t length;
        if (!CompressedDirectoryLength(a.DirectoryOffset, size, &length))
            throw ToolError(what + ": damaged header: the directory would begin behind the end of the file");
        if (!ExpansionPossible(length, (uint64_t)count * ArchiveEntrySize))
            throw ToolError(what + ": damaged directory: " + std::to_string(length) + " bytes of stream cannot hold " +
                            std::to_string(count) + " entries");
        stored.assign(a.Image.begin() + a.DirectoryOffset, a.Image.end());
    } else {
        if (!PlainDirectoryFits(a.DirectoryOffset, count, size))
            throw ToolError(what + ": damaged header: " + std::to_string(count) + " entries at offset " +
                            std::to_string(a.DirectoryOffset) + " run past the end of the file");
        stored.assign(a.Image.begin() + a.DirectoryOffset,
                      a.Image.begin() + a.DirectoryOffset + (size_t)count * ArchiveEntrySize);
    }
    a.Entries.resize(count);
    if (!DecodeDirectory(a.Flags, count, stored.data(), (uint32_t)stored.size(), a.Entries.data()))
        throw ToolError(what + ": damaged directory: it does not decode to " + std::to_string(count) +
                        " entries with proper names");
    uint64_t offset = ArchiveHeaderSize;
    for (const ArchiveEntry& e : a.Entries) {
        a.DataOffsets.push_back(offset);
        offset = NextDataOffset(offset, EntryStoredSize(&e));
    }
    return a;
}

std::string EntryBoundsProblem(const ArchiveView& a, size_t index)
{
    const ArchiveEntry* e = &a.Entries[index];
    uint64_t offset = a.DataOffsets[index];
    if (offset + EntryStoredSize(e) > a.Image.size())
        return "its " + std::to_string(EntryStoredSize(e)) + " stored bytes at offset " + std::to_string(offset) +
               " run past the end of the archive (" + std::to_string(a.Image.size()) + " bytes)";
    if (!EntryFitsImage(e, offset, (uint32_t)a.Image.size())) {
        if (!IsEntryCompressed(e))
            return "it is not compressed, yet its expanded size " + std::to_string(EntryExpandedSize(e)) +
                   " differs from its stored size " + std::to_string(EntryStoredSize(e));
        return "its stored size " + std::to_string(EntryStoredSize(e)) + " cannot expand to " +
               std::to_string(EntryExpandedSize(e)) + " bytes";
    }
    return "";
}

std::vector<unsigned char> EntryContents(const ArchiveView& a, size_t index)
{
    const ArchiveEntry* e = &a.Entries[index];
    std::string problem = EntryBoundsProblem(a, index);
    if (!problem.empty())
        throw ToolError("entry \"" + DisplayName(e->Name) + "\": " + problem);
    const unsigned char* begin = a.Image.data() + a.DataOffsets[index];
    std::vector<unsigned char> stored(begin, begin + EntryStoredSize(e));
    if (IsEntryScrambled(e))
        ScrambleBlock(stored.data(), (uint32_t)stored.size());
    if (!IsEntryCompressed(e))
        return stored;
    std::vector<unsigned char> contents(EntryExpandedSize(e));
    if (!ExpandBlock(contents.data(), (uint32_t)contents.size(), stored.data(), (uint32_t)stored.size()))
        throw ToolError("entry \"" + DisplayName(e->Name) + "\": its stream does not expand to exactly " +
                        std::to_string(contents.size()) + " bytes");
    return contents;
}

std::vector<long> ShadowingEntries(const ArchiveView& a)
{
    std::vector<long> shadow(a.Entries.size(), -1);
    std::map<std::u32string, long> first;
    for (size_t i = 0; i < a.Entries.size(); i++) {
        auto inserted = first.insert({ NameKey(a.Entries[i].Name), (long)i });
        if (!inserted.second)
            shadow[i] = inserted.first->second;
    }
    return shadow;
}
