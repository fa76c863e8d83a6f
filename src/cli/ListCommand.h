#pragma once
// `velmaro list [OPTIONS] FOLDER`: scans FOLDER and prints one line per
// folder (ListPrinter), failures on stderr (ScanFailures).
// Returns the exit code: 0 complete, 1 some folders unreadable or the scan
// stopped by Ctrl-C, 2 the folder cannot be scanned.

#include "cli/CliOptions.h"

namespace velmaro::cli {

class ListCommand {
public:
    static int run(const CliOptions& options);
};

}  // namespace velmaro::cli
