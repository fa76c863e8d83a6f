#include "cli/ProgressLine.h"

#include <cstdio>
#include <unistd.h>

namespace velmaro::cli {

ProgressLine::ProgressLine()
    : terminal_(::isatty(STDERR_FILENO) == 1)
    , begin_(std::chrono::steady_clock::now())
{}

void ProgressLine::update(const engine::ScanProgress& progress)
{
    const auto now = std::chrono::steady_clock::now();
    if (!terminal_ || now - begin_ < std::chrono::seconds(1) ||
        now - lastShown_ < std::chrono::milliseconds(200))
        return;
    lastShown_ = now;
    std::fprintf(stderr, "\r\033[KDurchsucht: %llu Ordner, %llu Dateien ...",
                 static_cast<unsigned long long>(progress.folders),
                 static_cast<unsigned long long>(progress.files));
    std::fflush(stderr);
    shown_ = true;
}

void ProgressLine::finish()
{
    if (!shown_)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
}

}  // namespace velmaro::cli
