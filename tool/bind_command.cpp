// qz2 bind: a copy of the updater with an archive as its payload resource
// "UPDATE" 102, language Japanese (1041), replacing any payload already there.
// The resource update is a Windows service; elsewhere the Windows build of
// qz2 does the work under Wine.
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tool/archive_file.h"
#include "tool/command.h"
#include "tool/files.h"
#include "tool/pe_resource.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <limits.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

struct BindRequest {
    std::string stub, payload, output;
};

BindRequest ParseBind(const Arguments& arguments)
{
    BindRequest r;
    for (size_t i = 0; i < arguments.size(); i++) {
        const std::string& word = arguments[i];
        std::string* value = word == "--stub" ? &r.stub : word == "--payload" ? &r.payload
                           : word == "-o" || word == "--output" ? &r.output : 0;
        if (!value)
            throw UsageError(word.size() > 1 && word[0] == '-' ? "unknown option " + word
                                                                : "unexpected \"" + word + "\"");
        if (i + 1 == arguments.size())
            throw UsageError(word + " wants a file");
        *value = arguments[++i];
    }
    if (r.stub.empty() || r.payload.empty() || r.output.empty())
        throw UsageError("wants --stub UPDATE.exe, --payload PATCH.qz2 and -o PATCH.exe");
    return r;
}

#ifdef _WIN32

std::wstring Wide(const std::string& utf8)
{
    return fs::u8path(utf8).wstring();
}

// A name beside the output for the copy that is being updated.
std::string WorkingCopyName(const std::string& output)
{
    for (unsigned n = 0; n < 1000; n++) {
        std::string candidate = output + ".bind-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(n) + ".tmp";
        if (GetFileAttributesW(Wide(candidate).c_str()) == INVALID_FILE_ATTRIBUTES)
            return candidate;
    }
    throw ToolError(output + ": cannot find a free temporary name beside it");
}

// The copy that is being updated: removed unless it was put in place.
struct WorkingCopy {
    std::string path;
    bool keep = false;
    ~WorkingCopy()
    {
        if (!keep)
            DeleteFileW(Wide(path).c_str());
    }
};

std::string LastError()
{
    return "error " + std::to_string(GetLastError());
}

void Bind(const BindRequest& r)
{
    // The payload must be an archive that the updater can read, whole.
    ArchiveView archive = LoadArchive(r.payload);
    if (!archive.Source.empty())
        throw ToolError(r.payload + ": an executable; the payload must be an archive file");
    for (size_t i = 0; i < archive.Entries.size(); i++)
        EntryContents(archive, i);

    std::vector<unsigned char> stub = ReadWholeFile(r.stub);
    if (!IsPeFile(stub))
        throw ToolError(r.stub + ": not an executable (PE file)");
    if (HasSymbolTable(stub))
        throw ToolError(r.stub + ": not stripped; a resource update would damage its symbol table (strip it first)");
    std::vector<PeResource> resources = ListResources(stub, r.stub);

    // The copy starts without resources and gets every resource of the stub
    // but its payloads, then the new payload: so a payload of any language
    // goes (deleting single resources of a file is not reliable everywhere).
    // Paths go to the wide forms of BeginUpdateResourceA & co, so that any
    // file name works.
    WorkingCopy copy;
    copy.path = WorkingCopyName(r.output);
    if (!CopyFileW(Wide(r.stub).c_str(), Wide(copy.path).c_str(), TRUE))
        throw ToolError(r.output + ": cannot write a copy of the stub beside it (" + LastError() + ")");
    SetFileAttributesW(Wide(copy.path).c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE update = BeginUpdateResourceW(Wide(copy.path).c_str(), TRUE);
    if (!update)
        throw ToolError(r.stub + ": cannot update its resources (" + LastError() + ")");
    BOOL ok = TRUE;
    for (const PeResource& p : resources) {
        if (IsPayloadResource(p))
            continue;
        std::wstring type(p.Type.Name.begin(), p.Type.Name.end()), name(p.Name.Name.begin(), p.Name.Name.end());
        ok = ok && UpdateResourceW(update, type.empty() ? MAKEINTRESOURCEW(p.Type.Id) : type.c_str(),
                                   name.empty() ? MAKEINTRESOURCEW(p.Name.Id) : name.c_str(), p.Language,
                                   stub.data() + p.Offset, (DWORD)p.Size);
    }
    ok = ok && UpdateResourceW(update, L"UPDATE", MAKEINTRESOURCEW(PayloadResourceId), PayloadLanguage,
                               archive.Image.data(), (DWORD)archive.Image.size());
    if (!EndUpdateResourceW(update, !ok) || !ok)
        throw ToolError(r.output + ": the resource update failed (" + LastError() + ")");

    // Read back: the stub's other resources, and exactly one payload, byte for
    // byte the archive.
    std::vector<unsigned char> bound = ReadWholeFile(copy.path);
    size_t others = 0;
    for (const PeResource& p : resources)
        others += !IsPayloadResource(p);
    std::vector<PeResource> now = FindPayloadResources(bound, r.output);
    if (ListResources(bound, r.output).size() != others + 1)
        throw ToolError(r.output + ": the stub's other resources did not read back");
    if (now.size() != 1 || now[0].Language != PayloadLanguage || now[0].Size != archive.Image.size() ||
        !std::equal(archive.Image.begin(), archive.Image.end(), bound.begin() + now[0].Offset))
        throw ToolError(r.output + ": the payload did not read back as written (" + std::to_string(now.size()) +
                        " payloads found" + (now.empty() ? "" : ", the first in language " +
                        std::to_string(now[0].Language) + " with " + std::to_string(now[0].Size) + " bytes") + ")");

    if (!MoveFileExW(Wide(copy.path).c_str(), Wide(r.output).c_str(), MOVEFILE_REPLACE_EXISTING))
        throw ToolError(r.output + ": cannot put the file in place (" + LastError() + ")");
    copy.keep = true;
    printf("%s: %s with a payload of %zu bytes, %zu entries\n", r.output.c_str(), r.stub.c_str(),
           archive.Image.size(), archive.Entries.size());
}

#else

// The Windows build of qz2 beside this one: build/host/qz2 and
// build/win64/qz2.exe live in sibling trees.
std::string WindowsTool()
{
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return "";
    self[n] = 0;
    fs::path tree = fs::path(self).parent_path().parent_path();
    for (const char* name : { "win64", "win32" }) {
        fs::path candidate = tree / name / "qz2.exe";
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec))
            return candidate.string();
    }
    return "";
}

#endif

} // namespace

int BindCommand(const Arguments& arguments)
{
    BindRequest request = ParseBind(arguments);
#ifdef _WIN32
    Bind(request);
    return 0;
#else
    const std::string runner = QZ2_SOURCE_DIR "/scripts/wine-run.sh";
    std::string tool = WindowsTool();
    if (tool.empty())
        throw ToolError("binding needs the Windows build of qz2 under Wine; build it (cmake --preset win64 && "
                        "cmake --build build/win64) and run\n  " + runner + " build/win64/qz2.exe bind --stub " +
                        request.stub + " --payload " + request.payload + " -o " + request.output);
    std::vector<std::string> words = { "bash", runner, tool, "bind" };
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(&w[0]);
    argv.push_back(0);
    fflush(stdout);
    execvp("bash", argv.data());
    throw ToolError("cannot run " + runner + ": " + strerror(errno));
#endif
}
