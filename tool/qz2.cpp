// qz2, the publisher's tool for the updater's archive format. Each command is
// a row of the table below and a function declared in tool/command.h.
#include <stdio.h>
#include <string.h>

#include <exception>
#include <new>
#include <string>

#include "tool/command.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include <vector>
#endif

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
    { "pack", "[OPTIONS] -o OUT.qz2 FILE_OR_FOLDER...", "build an archive from files (a folder adds the files inside it)",
      "Each file becomes an entry named by its file name in code page 932 (Shift-JIS),\n"
      "stamped with its last-write time. Names that code page 932 cannot hold,\n"
      "names of 260 bytes or more, names that Windows files cannot have, and two\n"
      "names equal without regard to case are refused. Options:\n"
      "  --compress              compress each entry where that makes it smaller (default)\n"
      "  --store                 store the entries as they are\n"
      "  --scramble              scramble the entries\n"
      "  --compressed-directory  compress the directory (default)\n"
      "  --plain-directory       leave the directory uncompressed\n"
      "  --scramble-directory    scramble the directory\n",
      PackCommand },
    { "list", "ARCHIVE", "list the entries of an archive or of a bound updater",
      "One line an entry: expanded and stored size, ratio, form (C compressed,\n"
      "S scrambled), last-write time in UTC and name (UTF-8).\n",
      ListCommand },
    { "extract", "ARCHIVE [-C DIR] [NAME...]", "write entries (all, or those named) as files with their times",
      "Names are found as the updater finds them, without regard to case. Every\n"
      "entry is read and checked before the first file is written.\n",
      ExtractCommand },
    { "verify", "ARCHIVE", "check an archive: header, bounds, every entry expanded",
      "Exit code 0 only when every entry expands to exactly its size.\n", VerifyCommand },
    { "bind", "--stub UPDATE.exe --payload PATCH.qz2 -o PATCH.exe", "make an updater that carries an archive",
      "Writes a copy of the stub with the archive as its resource \"UPDATE\" 102,\n"
      "language Japanese (1041), replacing any payload there. The stub must be\n"
      "stripped. The resource update needs Windows: on Linux this runs the\n"
      "Windows build of qz2 (build/win64/qz2.exe) under Wine.\n",
      BindCommand },
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

static int Run(int argc, char** argv)
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

#ifdef _WIN32
// Windows hands a program its command line in the ANSI code page, while the
// commands and std::filesystem take paths in UTF-8 here: the words are taken
// from the wide command line instead.
int main()
{
    int argc = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!wide) {
        fprintf(stderr, "qz2: cannot read the command line\n");
        return 2;
    }
    std::vector<std::string> words(argc);
    for (int i = 0; i < argc; i++) {
        int n = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, 0, 0, 0, 0);
        std::string word(n > 0 ? n : 1, '\0');
        if (n > 0)
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &word[0], n, 0, 0);
        word.resize(strlen(word.c_str()));
        words[i] = word;
    }
    LocalFree(wide);
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(&w[0]);
    argv.push_back(0);
    return Run(argc, argv.data());
}
#else
int main(int argc, char** argv)
{
    return Run(argc, argv);
}
#endif
