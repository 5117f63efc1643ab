// File times and folder listings of the host, for the archive commands.
#ifndef TOOL_HOST_FILES_H
#define TOOL_HOST_FILES_H

#include <stdint.h>

#include <filesystem>
#include <vector>

// The file's last-write time as a FILETIME count (100 ns units since
// 1601-01-01 UTC). Throws ToolError.
uint64_t LastWriteTime(const std::filesystem::path& file);

// Sets the file's times to a FILETIME count: creation (where the host keeps
// one), last-access and last-write. Throws ToolError.
void SetFileTimes(const std::filesystem::path& file, uint64_t time);

// The regular files directly inside a folder (not in its subfolders), in
// the order of their names. Throws ToolError.
std::vector<std::filesystem::path> FilesInFolder(const std::filesystem::path& folder);

// FILETIME count as ISO 8601 UTC: "2020-01-02T03:04:05Z", with the 100 ns
// fraction (".1234567") when it is not zero.
std::string IsoTime(uint64_t time);

#endif
