// The payload resource of a bound updater: a portable reader of a PE file's
// resource directory, enough to find resource "UPDATE" 102.
#ifndef TOOL_PE_RESOURCE_H
#define TOOL_PE_RESOURCE_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

enum { PayloadResourceId = 102, PayloadLanguage = 1041 };

// A resource type or name: a number, or (when Name is not empty) a name.
struct PeResourceKey {
    uint32_t Id = 0;
    std::u16string Name;
};

struct PeResource {
    PeResourceKey Type;
    PeResourceKey Name;
    uint16_t Language = 0;
    size_t Offset = 0;      // of its bytes in the file
    size_t Size = 0;
};

// True for bytes that begin like a PE file ("MZ", and "PE\0\0" where the
// DOS header points).
bool IsPeFile(const std::vector<unsigned char>& file);

// Every resource of the file, in the order of the resource directory. Throws
// ToolError (with the text "what") when the PE headers or the resource
// directory point outside the file.
std::vector<PeResource> ListResources(const std::vector<unsigned char>& file, const std::string& what);

// True for the payload: type "UPDATE" (without regard to case) and id 102.
bool IsPayloadResource(const PeResource& resource);

// Every language of the resource of type "UPDATE" and id 102, in the order of
// the resource directory; empty when there is none. Throws ToolError (with
// the text "what") when the PE headers or the resource directory point
// outside the file.
std::vector<PeResource> FindPayloadResources(const std::vector<unsigned char>& file, const std::string& what);

// True when the file still has a COFF symbol table, which a resource update
// would leave pointing at the wrong bytes.
bool HasSymbolTable(const std::vector<unsigned char>& file);

#endif
