#include "tool/pe_resource.h"

#include "archive/format.h"
#include "tool/command.h"

namespace {

struct PeFile {
    const std::vector<unsigned char>& bytes;
    std::string what;
    size_t coff;             // the COFF header, behind "PE\0\0"
    size_t sections;         // the section table
    unsigned sectionCount;

    void Need(size_t offset, size_t size) const
    {
        if (offset > bytes.size() || size > bytes.size() - offset)
            throw ToolError(what + ": damaged PE file (a header points outside the file)");
    }
    uint16_t U16(size_t offset) const
    {
        Need(offset, 2);
        return (uint16_t)(bytes[offset] | bytes[offset + 1] << 8);
    }
    uint32_t U32(size_t offset) const
    {
        Need(offset, 4);
        return ReadLE32(&bytes[offset]);
    }
    // The file offset of size bytes at a relative virtual address.
    size_t At(uint32_t rva, size_t size) const
    {
        for (unsigned i = 0; i < sectionCount; i++) {
            size_t s = sections + 40 * (size_t)i;
            uint32_t virtualSize = U32(s + 8), address = U32(s + 12), rawSize = U32(s + 16), raw = U32(s + 20);
            uint32_t span = virtualSize > rawSize ? virtualSize : rawSize;
            if (rva >= address && rva - address < span) {
                uint64_t inSection = rva - address;
                if (inSection + size > rawSize)
                    break;
                size_t offset = (size_t)raw + (size_t)inSection;
                Need(offset, size);
                return offset;
            }
        }
        throw ToolError(what + ": damaged PE file (a resource lies outside its section)");
    }
};

uint32_t PeHeader(const std::vector<unsigned char>& file)
{
    if (file.size() < 0x40 || file[0] != 'M' || file[1] != 'Z')
        return 0;
    uint32_t pe = ReadLE32(&file[0x3C]);
    if (pe < 0x40 || (uint64_t)pe + 24 > file.size())
        return 0;
    if (file[pe] != 'P' || file[pe + 1] != 'E' || file[pe + 2] != 0 || file[pe + 3] != 0)
        return 0;
    return pe;
}

// A directory entry's key: its number, or its name (UTF-16).
PeResourceKey EntryKey(const PeFile& f, uint32_t rootRva, uint32_t nameField)
{
    PeResourceKey key;
    if (!(nameField & 0x80000000)) {
        key.Id = nameField;
        return key;
    }
    uint32_t rva = rootRva + (nameField & 0x7FFFFFFF);
    size_t at = f.At(rva, 2);
    unsigned length = f.U16(at);
    at = f.At(rva, 2 + 2 * (size_t)length);
    for (unsigned i = 0; i < length; i++)
        key.Name.push_back((char16_t)f.U16(at + 2 + 2 * i));
    return key;
}

struct DirectoryEntry {
    uint32_t name;
    uint32_t target;
};

std::vector<DirectoryEntry> Directory(const PeFile& f, uint32_t rootRva, uint32_t offset)
{
    size_t at = f.At(rootRva + offset, 16);
    unsigned count = (unsigned)f.U16(at + 12) + f.U16(at + 14);
    at = f.At(rootRva + offset, 16 + 8 * (size_t)count);
    std::vector<DirectoryEntry> entries;
    for (unsigned i = 0; i < count; i++)
        entries.push_back({ f.U32(at + 16 + 8 * i), f.U32(at + 20 + 8 * i) });
    return entries;
}

} // namespace

bool IsPeFile(const std::vector<unsigned char>& file)
{
    return PeHeader(file) != 0;
}

bool HasSymbolTable(const std::vector<unsigned char>& file)
{
    uint32_t pe = PeHeader(file);
    return pe && (ReadLE32(&file[pe + 12]) != 0 || ReadLE32(&file[pe + 16]) != 0);
}

std::vector<PeResource> ListResources(const std::vector<unsigned char>& file, const std::string& what)
{
    uint32_t pe = PeHeader(file);
    if (!pe)
        throw ToolError(what + ": not a PE file");
    PeFile f = { file, what, pe + 4, 0, 0 };
    f.sectionCount = f.U16(f.coff + 2);
    unsigned optionalSize = f.U16(f.coff + 16);
    size_t optional = f.coff + 20;
    f.sections = optional + optionalSize;
    f.Need(f.sections, 40 * (size_t)f.sectionCount);

    uint16_t magic = f.U16(optional);
    size_t directories;
    uint32_t directoryCount;
    if (magic == 0x10B) {
        directoryCount = f.U32(optional + 92);
        directories = optional + 96;
    } else if (magic == 0x20B) {
        directoryCount = f.U32(optional + 108);
        directories = optional + 112;
    } else {
        throw ToolError(what + ": not a PE file of a kind known here");
    }
    std::vector<PeResource> found;
    if (directoryCount <= 2 || directories + 24 > f.sections)
        return found;
    uint32_t rootRva = f.U32(directories + 16);
    if (rootRva == 0 || f.U32(directories + 20) == 0)
        return found;

    // Three levels: type, name, language; each level's entries point at the
    // next level's directory, the last at a data entry.
    for (const DirectoryEntry& type : Directory(f, rootRva, 0)) {
        if (!(type.target & 0x80000000))
            throw ToolError(what + ": damaged resource directory");
        for (const DirectoryEntry& name : Directory(f, rootRva, type.target & 0x7FFFFFFF)) {
            if (!(name.target & 0x80000000))
                throw ToolError(what + ": damaged resource directory");
            for (const DirectoryEntry& language : Directory(f, rootRva, name.target & 0x7FFFFFFF)) {
                if (language.target & 0x80000000)
                    throw ToolError(what + ": damaged resource directory");
                size_t data = f.At(rootRva + language.target, 16);
                uint32_t rva = f.U32(data), size = f.U32(data + 4);
                PeResource r;
                r.Type = EntryKey(f, rootRva, type.name);
                r.Name = EntryKey(f, rootRva, name.name);
                r.Language = (uint16_t)language.name;
                r.Offset = f.At(rva, size);
                r.Size = size;
                found.push_back(r);
            }
        }
    }
    return found;
}

bool IsPayloadResource(const PeResource& r)
{
    if (!r.Name.Name.empty() || r.Name.Id != PayloadResourceId || r.Type.Name.size() != 6)
        return false;
    const char* type = "UPDATE";
    for (int i = 0; i < 6; i++) {
        char16_t c = r.Type.Name[i];
        if ((c >= u'a' && c <= u'z' ? c - 32 : c) != (char16_t)type[i])
            return false;
    }
    return true;
}

std::vector<PeResource> FindPayloadResources(const std::vector<unsigned char>& file, const std::string& what)
{
    std::vector<PeResource> payloads;
    for (const PeResource& r : ListResources(file, what))
        if (IsPayloadResource(r))
            payloads.push_back(r);
    return payloads;
}
