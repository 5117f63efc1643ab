// qz2, the publisher's tool for the updater's archive format. Each command is
// a row of the table below and a function declared in tool/command.h.
#include <stdio.h>
#include <string.h>

#include <exception>
#include <new>
#include <string>

#include "tool/command.h"

namespace {

const Command Commands[] = {
    { "compress", "IN OUT", "compress a file into one raw stream",
      "Writes the stream only: no header and no size. Keep the input's size;\n"
      "'expand' needs it.\n",
      CompressCommand },
    { "expand", "--size N IN OUT", "expand a raw stream into exactly N bytes",
      "Fails, and writes nothing, when the stream is invalid, does not come to\n"
      "exactly N bytes, or has bytes after its end.\n",
      ExpandCommand },
};

const Command* FindCommand(const std::string& name)
{
    for (const Command& c : Commands)
        if (name == c.name)
            return &c;
    return 0;
}

void PrintOverview(FILE* to)
{
    fprintf(to, "usage: qz2 COMMAND ARGUMENTS...\n\ncommands:\n");
    for (const Command& c : Commands)
        fprintf(to, "  %-10s %s\n", c.name, c.summary);
    fprintf(to, "  %-10s %s\n", "help", "show this list, or the usage of one command (qz2 help COMMAND)");
    fprintf(to, "\nFiles are replaced only when a command succeeds. Exit code: 0 success,\n"
                "1 failure, 2 wrong command line.\n");
}

void PrintUsage(FILE* to, const Command& c)
{
    fprintf(to, "usage: qz2 %s %s\n", c.name, c.synopsis);
}

void PrintHelp(FILE* to, const Command& c)
{
    PrintUsage(to, c);
    fprintf(to, "\n%s.\n", c.summary);
    if (c.details)
        fprintf(to, "%s", c.details);
}

bool IsHelpWord(const char* word)
{
    return !strcmp(word, "--help") || !strcmp(word, "-h");
}

int Help(int argc, char** argv)
{
    if (argc < 3) {
        PrintOverview(stdout);
        return 0;
    }
    const Command* c = FindCommand(argv[2]);
    if (!c) {
        fprintf(stderr, "qz2: no command \"%s\"; \"qz2 --help\" lists them\n", argv[2]);
        return 2;
    }
    PrintHelp(stdout, *c);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        PrintOverview(stderr);
        return 2;
    }
    if (IsHelpWord(argv[1]) || !strcmp(argv[1], "help"))
        return Help(argc, argv);
    const Command* c = FindCommand(argv[1]);
    if (!c) {
        fprintf(stderr, "qz2: no command \"%s\"; \"qz2 --help\" lists them\n", argv[1]);
        return 2;
    }
    Arguments arguments(argv + 2, argv + argc);
    for (const std::string& word : arguments) {
        if (IsHelpWord(word.c_str())) {
            PrintHelp(stdout, *c);
            return 0;
        }
    }
    try {
        return c->run(arguments);
    } catch (const UsageError& e) {
        fprintf(stderr, "qz2 %s: %s\n", c->name, e.what());
        PrintUsage(stderr, *c);
        return 2;
    } catch (const ToolError& e) {
        fprintf(stderr, "qz2 %s: %s\n", c->name, e.what());
    } catch (const std::bad_alloc&) {
        fprintf(stderr, "qz2 %s: out of memory\n", c->name);
    } catch (const std::exception& e) {
        fprintf(stderr, "qz2 %s: %s\n", c->name, e.what());
    }
    return 1;
}
