#include "tool/progress.h"

#include <stdio.h>

#ifdef _WIN32
#include <io.h>
#define StderrIsTerminal() (_isatty(_fileno(stderr)) != 0)
#else
#include <unistd.h>
#define StderrIsTerminal() (isatty(fileno(stderr)) != 0)
#endif

namespace {

typedef std::chrono::steady_clock Clock;

// Quick work shows nothing; after this the line appears and is redrawn at
// most every RedrawInterval.
const std::chrono::milliseconds ShowAfter(400);
const std::chrono::milliseconds RedrawInterval(100);

} // namespace

Progress::Progress(const std::string& label)
    : label_(label), terminal_(StderrIsTerminal()), shown_(false), lastPercent_(0), start_(Clock::now()),
      lastDraw_(start_)
{
}

Progress::~Progress()
{
    if (shown_) {
        Draw(lastPercent_);
        fputc('\n', stderr);
        fflush(stderr);
    }
}

void Progress::Update(uint64_t done, uint64_t total)
{
    if (!terminal_)
        return;
    unsigned percent = total ? (unsigned)(done * 100 / total) : 100;
    lastPercent_ = percent;
    Clock::time_point now = Clock::now();
    if (now - start_ < ShowAfter || (shown_ && now - lastDraw_ < RedrawInterval && percent < 100))
        return;
    lastDraw_ = now;
    shown_ = true;
    Draw(percent);
}

void Progress::Report(size_t done, size_t total, void* progress)
{
    ((Progress*)progress)->Update(done, total);
}

void Progress::Draw(unsigned percent)
{
    const int width = 30;
    int filled = (int)(percent * width / 100);
    fprintf(stderr, "\r%s [%.*s%*s] %3u%%", label_.c_str(), filled, "##############################",
            width - filled, "", percent);
    fflush(stderr);
}
