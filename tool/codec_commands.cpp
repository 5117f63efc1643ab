// qz2 compress and qz2 expand: one raw stream of the archive's compression
// format per file, with no header; the expanded size travels separately.
#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "archive/compress.h"
#include "archive/expand.h"
#include "tool/command.h"
#include "tool/files.h"
#include "tool/progress.h"

namespace {

const uint64_t LargestBlock = 0xFFFFFFFEu;   // sizes are 32-bit in the format's consumers

uint32_t ParseSize(const std::string& text)
{
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError("--size wants a number of bytes, not \"" + text + "\"");
    uint64_t value = std::stoull(text);
    if (value > LargestBlock)
        throw UsageError("--size " + text + " is larger than a stream can expand to");
    return (uint32_t)value;
}

void RejectOption(const std::string& word)
{
    if (word.size() > 1 && word[0] == '-')
        throw UsageError("unknown option " + word);
}

} // namespace

int CompressCommand(const Arguments& arguments)
{
    for (const std::string& word : arguments)
        RejectOption(word);
    if (arguments.size() != 2)
        throw UsageError("wants an input and an output file");
    const std::string& input = arguments[0];
    const std::string& output = arguments[1];

    std::vector<unsigned char> data = ReadWholeFile(input);
    if ((uint64_t)data.size() > LargestBlock)
        throw ToolError(input + ": too large for one stream (4 GiB and more)");
    std::vector<unsigned char> stream;
    {
        Progress progress("compressing " + input);
        stream = CompressBlock(data.data(), data.size(), Progress::Report, &progress);
    }
    WriteWholeFile(output, stream);
    printf("%s: %zu bytes -> %s: %zu bytes (%.1f%%)\n", input.c_str(), data.size(), output.c_str(),
           stream.size(), data.empty() ? 100.0 : 100.0 * stream.size() / data.size());
    return 0;
}

int ExpandCommand(const Arguments& arguments)
{
    std::vector<std::string> files;
    bool haveSize = false;
    uint32_t size = 0;
    for (size_t i = 0; i < arguments.size(); i++) {
        const std::string& word = arguments[i];
        if (word == "--size") {
            if (i + 1 == arguments.size())
                throw UsageError("--size wants a number of bytes");
            size = ParseSize(arguments[++i]);
            haveSize = true;
        } else if (word.compare(0, 7, "--size=") == 0) {
            size = ParseSize(word.substr(7));
            haveSize = true;
        } else {
            RejectOption(word);
            files.push_back(word);
        }
    }
    if (!haveSize)
        throw UsageError("wants --size N, the expanded size in bytes");
    if (files.size() != 2)
        throw UsageError("wants an input and an output file");
    const std::string& input = files[0];
    const std::string& output = files[1];

    std::vector<unsigned char> stream = ReadWholeFile(input);
    if ((uint64_t)stream.size() > LargestBlock)
        throw ToolError(input + ": too large to be a stream");
    std::vector<unsigned char> data(size);
    uint32_t consumed = 0;
    {
        Progress progress("expanding " + input);
        progress.Update(0, 1);
        if (!ExpandBlock(data.data(), size, stream.data(), (uint32_t)stream.size(), &consumed))
            throw ToolError(input + ": not a stream that expands to exactly " + std::to_string(size) +
                            " bytes (corrupt, truncated, or made for another size)");
        progress.Update(1, 1);
    }
    if (consumed != stream.size())
        throw ToolError(input + ": " + std::to_string(stream.size() - consumed) +
                        " bytes follow the end of the stream");
    WriteWholeFile(output, data);
    printf("%s: %zu bytes -> %s: %zu bytes\n", input.c_str(), stream.size(), output.c_str(), data.size());
    return 0;
}
