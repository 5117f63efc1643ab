// The payload resource of a bound updater: a portable reader of a PE file's
// resource directory, enough to find resource "UPDATE" 102.
#ifndef TOOL_PE_RESOURCE_H
#define TOOL_PE_RESOURCE_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

enum { PayloadResourceId = 102, PayloadLanguage = 1041 };

struct PeResource {
    uint16_t Language;
    size_t Offset;          // of its bytes in the file
    size_t Size;
};

// True for bytes that begin like a PE file ("MZ", and "PE\0\0" where the
// DOS header points).
bool IsPeFile(const std::vector<unsigned char>& file);

// Every language of the resource of type "UPDATE" and id 102, in the order of
// the resource directory; empty when there is none. Throws ToolError (with
// the text "what") when the PE headers or the resource directory point
// outside the file.
std::vector<PeResource> FindPayloadResources(const std::vector<unsigned char>& file, const std::string& what);

// True when the file still has a COFF symbol table, which a resource update
// would leave pointing at the wrong bytes.
bool HasSymbolTable(const std::vector<unsigned char>& file);

#endif
