// qz2 extract: writes entries of an archive (all, or those named) as files
// with their timestamps.
#include <stdio.h>

#include <filesystem>
#include <system_error>

#include "archive/layout.h"
#include "tool/archive_file.h"
#include "tool/command.h"
#include "tool/files.h"
#include "tool/host_files.h"
#include "tool/names.h"
#include "tool/progress.h"

namespace fs = std::filesystem;

namespace {

struct Chosen {
    size_t index;
    fs::path target;
};

// The entries to write: the ones named, each found as the updater finds it
// (the first entry of that name without regard to case), or all of them but
// those that an earlier entry of the same name hides.
std::vector<Chosen> ChooseEntries(const ArchiveView& archive, const std::vector<std::string>& names,
                                  const fs::path& folder)
{
    std::vector<long> shadow = ShadowingEntries(archive);
    std::vector<size_t> indexes;
    if (names.empty()) {
        for (size_t i = 0; i < archive.Entries.size(); i++)
            if (shadow[i] < 0)
                indexes.push_back(i);
    } else {
        std::string missing;
        for (const std::string& word : names) {
            std::u32string key = NameKey(ArchiveNameFromArgument(word));
            size_t i = 0;
            while (i < archive.Entries.size() && NameKey(archive.Entries[i].Name) != key)
                i++;
            if (i == archive.Entries.size())
                missing += std::string(missing.empty() ? "" : ", ") + "\"" + word + "\"";
            else
                indexes.push_back(i);
        }
        if (!missing.empty())
            throw ToolError(archive.Path + ": no entry " + missing);
    }
    std::vector<Chosen> chosen;
    for (size_t i : indexes)
        chosen.push_back({ i, ExtractPathFor(folder, archive.Entries[i].Name) });
    return chosen;
}

} // namespace

int ExtractCommand(const Arguments& arguments)
{
    std::string archivePath;
    fs::path folder = ".";
    std::vector<std::string> names;
    for (size_t i = 0; i < arguments.size(); i++) {
        const std::string& word = arguments[i];
        if (word == "-C" || word == "--directory") {
            if (i + 1 == arguments.size())
                throw UsageError(word + " wants a folder");
            folder = fs::u8path(arguments[++i]);
        } else if (word.size() > 1 && word[0] == '-') {
            throw UsageError("unknown option " + word);
        } else if (archivePath.empty()) {
            archivePath = word;
        } else {
            names.push_back(word);
        }
    }
    if (archivePath.empty())
        throw UsageError("wants an archive");

    ArchiveView archive = LoadArchive(archivePath);
    std::vector<Chosen> chosen = ChooseEntries(archive, names, folder);

    // Every entry is expanded before the first file is written: a damaged
    // entry writes nothing at all.
    std::vector<std::vector<unsigned char>> contents;
    {
        Progress progress("reading " + archivePath);
        for (size_t k = 0; k < chosen.size(); k++) {
            contents.push_back(EntryContents(archive, chosen[k].index));
            progress.Update(k + 1, chosen.size());
        }
    }
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        fs::create_directories(folder, ec);
        if (ec)
            throw ToolError(folder.u8string() + ": cannot create the folder: " + ec.message());
    }
    for (size_t k = 0; k < chosen.size(); k++) {
        const ArchiveEntry* e = &archive.Entries[chosen[k].index];
        WriteWholeFile(chosen[k].target.u8string(), contents[k]);
        SetFileTimes(chosen[k].target, EntryTimestamp(e));
        printf("%s\n", DisplayName(e->Name).c_str());
    }
    return 0;
}
