// qz2 pack: builds an archive from files and from the files directly inside
// folders.
#include <stdio.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/archive_writer.h"
#include "tool/command.h"
#include "tool/files.h"
#include "tool/host_files.h"
#include "tool/names.h"
#include "tool/progress.h"

namespace fs = std::filesystem;

namespace {

struct PackInput {
    fs::path File;
    std::string Name;        // code page 932
};

// The files named on the command line, folders replaced by the files
// directly inside them, each with its entry name.
std::vector<PackInput> CollectInputs(const std::vector<std::string>& words)
{
    std::vector<PackInput> inputs;
    std::string problems;
    for (const std::string& word : words) {
        fs::path path = fs::u8path(word);
        std::error_code ec;
        fs::file_status status = fs::status(path, ec);
        std::vector<fs::path> files;
        if (fs::is_directory(status)) {
            files = FilesInFolder(path);
        } else if (fs::is_regular_file(status)) {
            files.push_back(path);
        } else if (!fs::exists(status)) {
            throw ToolError(word + ": no such file or folder");
        } else {
            throw ToolError(word + ": neither a file nor a folder");
        }
        for (const fs::path& f : files) {
            try {
                inputs.push_back({ f, ArchiveNameOf(f) });
            } catch (const ToolError& e) {
                problems += std::string(problems.empty() ? "" : "\n") + e.what();
            }
        }
    }
    if (!problems.empty())
        throw ToolError(problems);
    return inputs;
}

// Two names that the updater's case-insensitive look-up cannot tell apart.
void RefuseEqualNames(const std::vector<PackInput>& inputs)
{
    std::map<std::u32string, size_t> seen;
    std::string problems;
    for (size_t i = 0; i < inputs.size(); i++) {
        auto inserted = seen.insert({ NameKey(inputs[i].Name), i });
        if (inserted.second)
            continue;
        const PackInput& first = inputs[inserted.first->second];
        problems += std::string(problems.empty() ? "" : "\n") + "the names \"" + DisplayName(first.Name) + "\" (" +
                    first.File.u8string() + ") and \"" + DisplayName(inputs[i].Name) + "\" (" + inputs[i].File.u8string() +
                    ") are the same without regard to case; the updater would only ever find the first";
    }
    if (!problems.empty())
        throw ToolError(problems);
}

void ReportProgress(uint64_t done, uint64_t total, void* progress)
{
    static_cast<Progress*>(progress)->Update(done, total);
}

} // namespace

int PackCommand(const Arguments& arguments)
{
    WriterOptions options;
    std::string output;
    std::vector<std::string> inputs;
    for (size_t i = 0; i < arguments.size(); i++) {
        const std::string& word = arguments[i];
        if (word == "-o" || word == "--output") {
            if (i + 1 == arguments.size())
                throw UsageError(word + " wants the archive to write");
            output = arguments[++i];
        } else if (word == "--store") {
            options.CompressEntries = false;
        } else if (word == "--compress") {
            options.CompressEntries = true;
        } else if (word == "--scramble") {
            options.ScrambleEntries = true;
        } else if (word == "--plain-directory") {
            options.CompressDirectory = false;
        } else if (word == "--compressed-directory") {
            options.CompressDirectory = true;
        } else if (word == "--scramble-directory") {
            options.ScrambleDirectory = true;
        } else if (word.size() > 1 && word[0] == '-') {
            throw UsageError("unknown option " + word);
        } else {
            inputs.push_back(word);
        }
    }
    if (output.empty())
        throw UsageError("wants -o OUT.qz2, the archive to write");
    if (inputs.empty())
        throw UsageError("wants at least one file or folder to pack");

    std::vector<PackInput> files = CollectInputs(inputs);
    RefuseEqualNames(files);

    std::vector<WriterEntry> entries(files.size());
    uint64_t total = 0;
    for (size_t i = 0; i < files.size(); i++) {
        entries[i].Name = files[i].Name;
        entries[i].Timestamp = LastWriteTime(files[i].File);
        entries[i].Contents = ReadWholeFile(files[i].File.u8string());
        if (entries[i].Contents.size() >= 0xFFFFFFFFu)
            throw ToolError(files[i].File.u8string() + ": too large for an entry (4 GiB and more)");
        total += entries[i].Contents.size();
    }

    std::vector<unsigned char> image;
    try {
        Progress progress("packing " + output);
        image = BuildArchive(entries, options, ReportProgress, &progress);
    } catch (const std::length_error& e) {
        throw ToolError(e.what());
    } catch (const std::invalid_argument& e) {
        throw ToolError(e.what());
    }
    WriteWholeFile(output, image);
    printf("%s: %zu entr%s, %llu bytes packed into %zu bytes\n", output.c_str(), entries.size(),
           entries.size() == 1 ? "y" : "ies", (unsigned long long)total, image.size());
    return 0;
}
