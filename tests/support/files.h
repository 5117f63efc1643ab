// Files and their times for the Windows tests.
#ifndef TESTS_SUPPORT_FILES_H
#define TESTS_SUPPORT_FILES_H

#include <windows.h>
#include <stdint.h>

#include <string>

uint64_t TimeValue(const FILETIME& t);
FILETIME TimeOf(uint64_t value);

// Sets the last-write time only, or all three times.
bool SetWriteTime(const std::string& path, uint64_t time);
bool SetAllTimes(const std::string& path, uint64_t time);
// Creation, last-access and last-write time.
bool FileTimes(const std::string& path, uint64_t* created, uint64_t* accessed, uint64_t* written);

// Deletes a folder and everything below it, read-only files included.
void RemoveTree(const std::string& folder);

#endif
