// qz2 list: the directory of an archive or of a bound updater's payload.
#include <stdio.h>

#include "archive/layout.h"
#include "tool/archive_file.h"
#include "tool/command.h"
#include "tool/host_files.h"
#include "tool/names.h"

namespace {

std::string DirectoryForm(uint32_t flags)
{
    std::string form = flags & ArchiveFlagCompressed ? "compressed" : "plain";
    return form + (flags & ArchiveFlagScrambled ? ", scrambled" : ", not scrambled");
}

} // namespace

int ListCommand(const Arguments& arguments)
{
    for (const std::string& word : arguments)
        if (word.size() > 1 && word[0] == '-')
            throw UsageError("unknown option " + word);
    if (arguments.size() != 1)
        throw UsageError("wants one archive");
    ArchiveView archive = LoadArchive(arguments[0]);
    std::vector<long> shadow = ShadowingEntries(archive);

    printf("%s%s: directory %s; %zu entr%s\n", archive.Path.c_str(),
           archive.Source.empty() ? "" : (" (" + archive.Source + ")").c_str(), DirectoryForm(archive.Flags).c_str(),
           archive.Entries.size(), archive.Entries.size() == 1 ? "y" : "ies");
    printf("%12s %12s %7s %-5s %-28s  %s\n", "expanded", "stored", "ratio", "form", "last written (UTC)", "name");
    for (size_t i = 0; i < archive.Entries.size(); i++) {
        const ArchiveEntry* e = &archive.Entries[i];
        uint32_t expanded = EntryExpandedSize(e), stored = EntryStoredSize(e);
        char ratio[16];
        if (expanded)
            snprintf(ratio, sizeof ratio, "%.1f%%", 100.0 * stored / expanded);
        else
            snprintf(ratio, sizeof ratio, "-");
        std::string form = std::string(IsEntryCompressed(e) ? "C" : "-") + (IsEntryScrambled(e) ? "S" : "-");
        std::string note;
        if (shadow[i] >= 0)
            note = "  (hidden by entry " + std::to_string(shadow[i] + 1) + ")";
        printf("%12u %12u %7s %-5s %-28s  %s%s\n", expanded, stored, ratio, form.c_str(),
               IsoTime(EntryTimestamp(e)).c_str(), DisplayName(e->Name).c_str(), note.c_str());
    }
    return 0;
}
