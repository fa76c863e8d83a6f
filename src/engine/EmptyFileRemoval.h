#pragma once
// Removal of one entry only if it is an empty regular file at the moment of
// removal (the zero-byte cleanup). No Qt.
//
// Contract:
//  - A symlink, pipe, socket, device or a regular file with content is kept.
//  - A file that someone else has open for writing (or opens while it is
//    being checked) is kept, and so is every file on which no write lease
//    can be taken: without the lease nothing proves it is unused.
//  - A file that gets content before the removal's final check is kept
//    under its own name. The remaining window is described in the .cpp.
//  - Never follows a symlink; never removes a folder.

#include <string>

namespace velmaro::engine::deletion {

enum class EmptyFileOutcome {
    Removed,   // it was an empty regular file and is gone
    Kept,      // not an empty regular file (or in use): left in place
    IsFolder,  // `name` is a folder: the caller walks into it
    Gone,      // it vanished before it could be checked
    Failed,    // the removal failed; see the errno value
};

struct EmptyFileResult {
    EmptyFileOutcome outcome = EmptyFileOutcome::Kept;
    int error = 0;  // errno for Failed
};

// Checks and removes `name` in the open folder `dirFd`.
EmptyFileResult removeIfEmpty(int dirFd, const std::string& name);

}  // namespace velmaro::engine::deletion
