#pragma once
// Reports, on stderr, what kept a scan from being complete. No Qt.
//
// A folder that cannot be opened gives no record of its own; its parent and
// every folder above carry the failure. So each failed folder with no failed
// folder below it is reported once ("contents not fully readable" with the
// reason); the folders above it are not repeated. A scan stopped by Ctrl-C
// is reported once.

#include "engine/FolderRecord.h"

#include <vector>

namespace velmaro::cli {

class ScanFailures {
public:
    // Returns true when something was reported (the exit code is then 1).
    static bool report(const std::vector<engine::FolderRecord>& records, bool cutShort);
};

}  // namespace velmaro::cli
