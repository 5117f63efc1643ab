// A minimal PE32 file with one resource section, for reading payloads from
// "executables" in native tests: resource "UPDATE" 102 in the languages given.
#ifndef TESTS_HOST_PE_IMAGE_H
#define TESTS_HOST_PE_IMAGE_H

#include <string.h>

#include <utility>
#include <vector>

#include "archive/format.h"

typedef std::vector<std::pair<uint16_t, std::vector<unsigned char>>> LanguagePayloads;

inline std::vector<unsigned char> BuildPeFile(const LanguagePayloads& payloads, bool withSymbols = false)
{
    const uint32_t sectionRva = 0x1000, rawOffset = 0x200;
    const size_t n = payloads.size();
    // The resource section: three directory levels, data entries, the type
    // name, then the data.
    const uint32_t idDir = 0x18, languageDir = 0x30, dataEntries = languageDir + 16 + 8 * (uint32_t)n;
    const uint32_t name = dataEntries + 16 * (uint32_t)n;
    uint32_t data = (name + 2 + 12 + 15) & ~15u;
    std::vector<unsigned char> rsrc(data);
    auto u16 = [&](uint32_t at, uint16_t v) { rsrc[at] = (unsigned char)v; rsrc[at + 1] = (unsigned char)(v >> 8); };
    u16(12, 1);                                          // root: one named entry
    WriteLE32(&rsrc[16], 0x80000000u | name);
    WriteLE32(&rsrc[20], 0x80000000u | idDir);
    u16(idDir + 14, 1);                                  // one id entry: 102
    WriteLE32(&rsrc[idDir + 16], 102);
    WriteLE32(&rsrc[idDir + 20], 0x80000000u | languageDir);
    u16(languageDir + 14, (uint16_t)n);
    for (size_t i = 0; i < n; i++) {
        WriteLE32(&rsrc[languageDir + 16 + 8 * i], payloads[i].first);
        WriteLE32(&rsrc[languageDir + 20 + 8 * i], dataEntries + 16 * (uint32_t)i);
        uint32_t at = (uint32_t)rsrc.size();
        WriteLE32(&rsrc[dataEntries + 16 * i], sectionRva + at);
        WriteLE32(&rsrc[dataEntries + 16 * i + 4], (uint32_t)payloads[i].second.size());
        rsrc.insert(rsrc.end(), payloads[i].second.begin(), payloads[i].second.end());
        while (rsrc.size() % 8)
            rsrc.push_back(0);
    }
    u16(name, 6);
    const char* type = "UPDATE";
    for (int i = 0; i < 6; i++)
        u16(name + 2 + 2 * i, (uint16_t)type[i]);

    std::vector<unsigned char> file(rawOffset);
    file[0] = 'M';
    file[1] = 'Z';
    WriteLE32(&file[0x3C], 0x40);
    memcpy(&file[0x40], "PE\0\0", 4);
    const size_t coff = 0x44, optional = coff + 20;
    file[coff] = 0x4C;                                   // i386
    file[coff + 1] = 0x01;
    file[coff + 2] = 1;                                  // one section
    if (withSymbols) {
        WriteLE32(&file[coff + 8], 0x100);
        WriteLE32(&file[coff + 12], 3);
    }
    file[coff + 16] = 224;                               // optional header size
    file[optional] = 0x0B;                               // PE32
    file[optional + 1] = 0x01;
    WriteLE32(&file[optional + 92], 16);
    WriteLE32(&file[optional + 96 + 16], sectionRva);    // resource directory
    WriteLE32(&file[optional + 96 + 20], (uint32_t)rsrc.size());
    const size_t section = optional + 224;
    memcpy(&file[section], ".rsrc", 5);
    WriteLE32(&file[section + 8], (uint32_t)rsrc.size());
    WriteLE32(&file[section + 12], sectionRva);
    WriteLE32(&file[section + 16], (uint32_t)rsrc.size());
    WriteLE32(&file[section + 20], rawOffset);
    file.resize(rawOffset + rsrc.size());
    memcpy(&file[rawOffset], rsrc.data(), rsrc.size());
    return file;
}

#endif
