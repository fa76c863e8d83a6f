#pragma once
// What the progress window needs of the window it scans for: the scan run.
// The main window implements it; the progress window finds it among the
// loaded windows, so the scan layer never depends on the main window.

namespace velmaro {

class ScanRun;

class ScanHost {
public:
    virtual ~ScanHost() = default;
    virtual ScanRun& scanRun() const = 0;
};

}  // namespace velmaro
