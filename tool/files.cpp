#include "tool/files.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "tool/command.h"

namespace fs = std::filesystem;

namespace {

// A temporary file that is removed unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const fs::path& path) : path_(path), keep_(false) {}
    ~TemporaryFile()
    {
        if (!keep_) {
            std::error_code ec;
            fs::remove(path_, ec);
        }
    }
    void Keep() { keep_ = true; }

private:
    fs::path path_;
    bool keep_;
};

// A name beside the target that is not in use: "OUT.qz2-XXXXXXXX.tmp".
fs::path TemporaryNameFor(const fs::path& target)
{
    static unsigned counter = 0;
    unsigned seed = (unsigned)std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; attempt++) {
        char suffix[32];
        snprintf(suffix, sizeof suffix, ".qz2-%08x.tmp", (seed + 0x9E3779B9u * ++counter) & 0xFFFFFFFFu);
        fs::path candidate = target;
        candidate += suffix;
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(candidate, ec)))
            return candidate;
    }
    throw ToolError(target.string() + ": cannot find a free temporary name beside it");
}

} // namespace

std::vector<unsigned char> ReadWholeFile(const std::string& name)
{
    // Names are UTF-8 (on Windows too, see qz2.cpp): u8path, as a plain
    // path from a narrow string takes its bytes as Latin-1 there.
    fs::path path = fs::u8path(name);
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status))
        throw ToolError(name + ": no such file");
    if (fs::is_directory(status))
        throw ToolError(name + ": is a folder, not a file");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ToolError(name + ": cannot open: " + strerror(errno));
    std::vector<unsigned char> data;
    uintmax_t size = fs::is_regular_file(status) ? fs::file_size(path, ec) : 0;
    if (!ec && size > 0) {
        if (size > (uintmax_t)data.max_size())
            throw ToolError(name + ": too large");
        data.resize((size_t)size);
        in.read((char*)data.data(), (std::streamsize)data.size());
        if ((uintmax_t)in.gcount() != size)
            throw ToolError(name + ": read failed or the file changed while it was read");
    }
    // Whatever else there is (a file that grew, or a device without a size).
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        data.insert(data.end(), chunk, chunk + in.gcount());
    if (in.bad())
        throw ToolError(name + ": read failed");
    return data;
}

void WriteWholeFile(const std::string& name, const unsigned char* data, size_t size)
{
    fs::path target = fs::u8path(name);
    std::error_code ec;
    if (fs::is_directory(target, ec))
        throw ToolError(name + ": is a folder, not a file");
    fs::path temporary = TemporaryNameFor(target);
    TemporaryFile guard(temporary);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            throw ToolError(name + ": cannot create a file there: " + strerror(errno));
        if (size)
            out.write((const char*)data, (std::streamsize)size);
        out.flush();
        if (!out)
            throw ToolError(name + ": write failed (disk full?)");
        out.close();
        if (out.fail())
            throw ToolError(name + ": write failed (disk full?)");
    }
    fs::rename(temporary, target, ec);
    if (ec)
        throw ToolError(name + ": cannot put the file in place: " + ec.message());
    guard.Keep();
}
