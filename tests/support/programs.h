// Running other programs of the build from a test under Wine.
#ifndef TESTS_SUPPORT_PROGRAMS_H
#define TESTS_SUPPORT_PROGRAMS_H

#include <string>

// "/unix/path" as Wine's Windows path "Z:\unix\path".
std::string WindowsPath(const std::string& unixPath);

// The text in double quotes, for a command line.
std::string Quoted(const std::string& text);

// Runs a program with the arguments to its end; its exit code, or -1 when it
// cannot be started.
int RunProgram(const std::string& exe, const std::string& arguments);

#endif
