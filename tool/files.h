// Whole-file input and output for the publisher's tool. Output is written to
// a temporary file beside the target and renamed over it only when complete,
// so a failure never leaves a half-written or truncated target behind.
#ifndef TOOL_FILES_H
#define TOOL_FILES_H

#include <stddef.h>

#include <string>
#include <vector>

// The contents of a regular file. Throws ToolError naming the file.
std::vector<unsigned char> ReadWholeFile(const std::string& path);

// Creates or replaces path with exactly size bytes. On failure throws
// ToolError; the target is then as it was, and no temporary file remains.
void WriteWholeFile(const std::string& path, const unsigned char* data, size_t size);

inline void WriteWholeFile(const std::string& path, const std::vector<unsigned char>& data)
{
    WriteWholeFile(path, data.empty() ? 0 : data.data(), data.size());
}

#endif
