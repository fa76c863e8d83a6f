#pragma once
// The progress line of a long scan on stderr. No Qt.
//
// Shown only when stderr is a terminal and the scan has run for more than a
// second; then rewritten in place ("\r"), at most five times a second.
// finish() erases it, so the terminal keeps only the real output and
// messages.

#include "engine/FolderScanner.h"

#include <chrono>

namespace velmaro::cli {

class ProgressLine {
public:
    ProgressLine();
    void update(const engine::ScanProgress& progress);
    void finish();

private:
    const bool terminal_;
    const std::chrono::steady_clock::time_point begin_;
    std::chrono::steady_clock::time_point lastShown_;
    bool shown_ = false;
};

}  // namespace velmaro::cli
