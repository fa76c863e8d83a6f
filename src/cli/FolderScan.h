#pragma once
// One scan for the command line: runs the engine's parallel walk to its end
// on the calling thread's behalf, with Ctrl-C and the progress line. No Qt.
//
// Contract:
//  - Returns every record of the walk (post-order of the walk's batches).
//  - `onRecord` (may be empty) sees every record on the calling thread while
//    the walk goes on, in the order of ScanOutcome::records, so work on the
//    records can overlap the walk.
//  - With `recordPaths` false the records carry no path but the root's
//    (FolderScanner::Options::recordPaths), unless some folder failed: then
//    every record gets its path after the walk, for the failures' report.
//  - Ctrl-C during the walk cancels it (FolderScanner::cancel): the records
//    found so far are returned, subtrees cut short are Incomplete, and
//    cutShort is true.

#include "cli/RecordList.h"
#include "engine/FolderRecord.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmaro::cli {

class InterruptWatch;

struct ScanOutcome {
    std::string root;  // the scanned folder, absolute, ends in '/'
    RecordList records;
    bool cutShort = false;
    std::size_t failed = 0;  // records whose size failed (SizeState::Failed)

    // Keeps `outcome` until the process ends, without ever freeing it: for
    // a command that is done with its records and about to exit, where
    // freeing them one by one would only delay the exit (30 ms for 100,000
    // folders). It stays reachable, so leak checkers do not count it.
    static void keepUntilExit(ScanOutcome&& outcome);
};

class FolderScan {
public:
    using RecordSink = std::function<void(const engine::FolderRecord&)>;

    static ScanOutcome run(const std::string& root, unsigned workers, InterruptWatch& interrupts,
                           const RecordSink& onRecord = {}, bool recordPaths = true);
    // The folder as named on the command line (RootFolder rules), scanned.
    // A folder that cannot be scanned (missing, not a folder, unreadable, a
    // pseudo file system) is reported on stderr and gives no outcome.
    static std::optional<ScanOutcome> runNamed(const std::string& given, unsigned workers,
                                               InterruptWatch& interrupts, const RecordSink& onRecord = {},
                                               bool recordPaths = true);
};

}  // namespace velmaro::cli
