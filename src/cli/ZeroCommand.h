#pragma once
// `velmaro zero [--delete] [--json] [--workers N] FOLDER`.
//
// Without --delete: the zero-byte folders of FOLDER (subtree holds exactly
// 0 bytes and only folders and empty regular files, as the window counts
// them), one escaped path per line in path order, or the JSON form of
// ListPrinter.
// With --delete: the zero-byte pass of ZeroPass over those folders; every
// folder removed is printed, every folder kept is reported on stderr with
// its reason. "/" is refused; after a scan stopped by Ctrl-C nothing is
// deleted.
// Returns the exit code: 0 done, 1 some folders unreadable or kept or the
// scan stopped, 2 bad usage or the folder cannot be scanned.

#include "cli/CliOptions.h"

namespace velmaro::cli {

class ZeroCommand {
public:
    static int run(const CliOptions& options);
};

}  // namespace velmaro::cli
