// A one-line progress display on stderr for work that takes more than a
// moment; shown only when stderr is a terminal.
#ifndef TOOL_PROGRESS_H
#define TOOL_PROGRESS_H

#include <stddef.h>
#include <stdint.h>

#include <chrono>
#include <string>

class Progress {
public:
    explicit Progress(const std::string& label);
    ~Progress();                       // ends the line if one was shown

    void Update(uint64_t done, uint64_t total);

    // For callbacks that take a context pointer (CompressBlock's).
    static void Report(size_t done, size_t total, void* progress);

private:
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    void Draw(unsigned percent);

    std::string label_;
    bool terminal_;
    bool shown_;
    unsigned lastPercent_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
};

#endif
