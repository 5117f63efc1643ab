// The publisher's tool: what every command shares. A command is one row of
// the table in qz2.cpp and one function; it reports failures by throwing.
#ifndef TOOL_COMMAND_H
#define TOOL_COMMAND_H

#include <stdexcept>
#include <string>
#include <vector>

// A failure of the work itself (unreadable input, invalid stream, ...):
// its text goes to stderr and qz2 exits with 1.
struct ToolError : std::runtime_error {
    explicit ToolError(const std::string& what) : std::runtime_error(what) {}
};

// A command line that the command cannot take: the text and the command's
// usage go to stderr and qz2 exits with 2.
struct UsageError : std::runtime_error {
    explicit UsageError(const std::string& what) : std::runtime_error(what) {}
};

typedef std::vector<std::string> Arguments;     // the words after the command's name

// Runs a command; returns the exit code (0 on success).
typedef int (*CommandFunction)(const Arguments& arguments);

struct Command {
    const char* name;
    const char* synopsis;       // the arguments, for the usage line
    const char* summary;        // one line for the command list
    const char* details;        // more lines for "qz2 help NAME", or 0
    CommandFunction run;
};

// Commands, one function each.
int CompressCommand(const Arguments& arguments);
int ExpandCommand(const Arguments& arguments);
int PackCommand(const Arguments& arguments);
int ListCommand(const Arguments& arguments);
int ExtractCommand(const Arguments& arguments);
int VerifyCommand(const Arguments& arguments);
int BindCommand(const Arguments& arguments);

#endif
