// qz2 verify: the header, every bound, and every entry expanded to exactly
// its size. Exit code 0 only when all is well.
#include <stdio.h>

#include "archive/layout.h"
#include "tool/archive_file.h"
#include "tool/command.h"
#include "tool/names.h"
#include "tool/progress.h"

int VerifyCommand(const Arguments& arguments)
{
    for (const std::string& word : arguments)
        if (word.size() > 1 && word[0] == '-')
            throw UsageError("unknown option " + word);
    if (arguments.size() != 1)
        throw UsageError("wants one archive");
    const std::string& path = arguments[0];
    ArchiveView archive;
    try {
        archive = LoadArchive(path);
    } catch (const ToolError& e) {
        printf("%s\n%s: damaged\n", e.what(), path.c_str());
        return 1;
    }

    size_t problems = 0;
    uint64_t total = 0, done = 0;
    for (const ArchiveEntry& e : archive.Entries)
        total += EntryExpandedSize(&e);
    {
        Progress progress("verifying " + path);
        for (size_t i = 0; i < archive.Entries.size(); i++) {
            try {
                EntryContents(archive, i);
            } catch (const ToolError& e) {
                printf("%s\n", e.what());
                problems++;
            }
            done += EntryExpandedSize(&archive.Entries[i]);
            progress.Update(done, total);
        }
    }
    std::vector<long> shadow = ShadowingEntries(archive);
    for (size_t i = 0; i < shadow.size(); i++)
        if (shadow[i] >= 0)
            printf("note: entry %zu \"%s\" has the name of entry %ld without regard to case; the updater finds "
                   "only that one\n",
                   i + 1, DisplayName(archive.Entries[i].Name).c_str(), shadow[i] + 1);
    if (problems) {
        printf("%s: %zu of %zu entries damaged\n", path.c_str(), problems, archive.Entries.size());
        return 1;
    }
    printf("%s: ok, %zu entr%s\n", path.c_str(), archive.Entries.size(), archive.Entries.size() == 1 ? "y" : "ies");
    return 0;
}
