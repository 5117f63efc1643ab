// Entry names: an archive stores them in code page 932 (Shift-JIS), the host
// names its files in its own encoding (UTF-8 on Linux, UTF-16 on Windows).
// Conversions are exact both ways or refused.
#ifndef TOOL_NAMES_H
#define TOOL_NAMES_H

#include <filesystem>
#include <string>

// The archive name of a file: the last component of its path in code page
// 932. Throws ToolError naming the file when the name has a character that
// code page 932 cannot represent, takes 260 bytes or more, or could not be a
// Windows file name.
std::string ArchiveNameOf(const std::filesystem::path& file);

// An entry name given on the command line (host encoding), in code page 932.
// Throws ToolError when it cannot be represented.
std::string ArchiveNameFromArgument(const std::string& word);

// The name for people to read: UTF-8, with any byte that is not code page
// 932 shown as \xNN.
std::string DisplayName(const std::string& archiveName);

// Where an entry is written when extracted into folder. Throws ToolError when
// the name cannot be a file name of its own there: empty, "." or "..", with a
// path separator, drive colon, wildcard or control character, a device name,
// or bytes that are not code page 932.
std::filesystem::path ExtractPathFor(const std::filesystem::path& folder, const std::string& archiveName);

// The name with letter case folded, for comparing names as the updater's
// lstrcmpiA does: Latin, full-width Latin, Greek, Cyrillic and Roman-numeral
// letters of code page 932 compare equal in either case. Bytes that are not
// code page 932 stay as they are.
std::u32string NameKey(const std::string& archiveName);

#endif
