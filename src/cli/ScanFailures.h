#pragma once
// Reports, on stderr, what kept a scan from being complete. No Qt.
//
// A folder that cannot be opened gives no record of its own; its parent and
// every folder above carry the failure. So for each failed folder with no
// failed folder below it, its subfolders without a record that still cannot
// be opened are reported with their own reason; where there is none (the
// folder's own listing failed), the folder itself with its reason. The
// folders above are not repeated. A scan stopped by Ctrl-C is reported once.

#include "cli/RecordList.h"
#include "engine/FolderRecord.h"

#include <vector>

namespace velmaro::cli {

class ScanFailures {
public:
    // Returns true when something was reported (the exit code is then 1).
    static bool report(const RecordList& records, bool cutShort);
};

}  // namespace velmaro::cli
