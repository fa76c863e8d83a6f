#pragma once
// Safe recursive deletion through descriptors. No Qt.
//
// Contract:
//  - Works relative to descriptors: openat(parent, name, O_DIRECTORY|O_NOFOLLOW),
//    unlinkat, bottom-up, with a bounded number of open descriptors and no
//    recursion-depth limit (iterative).
//  - A symlink is removed as a link and never followed. A mount point inside
//    the tree is not entered: it is reported (EBUSY/EXDEV) and kept, and so
//    is every folder above it.
//  - "/" is refused (EPERM-like failure with its own German text).
//  - Siblings of a failed entry are still deleted; nothing is retried.
//  - Never throws.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace velmaro::engine {

struct DeleteResult {
    bool ok = true;             // everything asked for is gone
    int error = 0;              // errno of the first failure (0 when ok)
    std::string failedPath;     // path of the first failure
    uint64_t removedFiles = 0;  // non-folder entries removed
    uint64_t removedFolders = 0;
};

enum class DeleteMode {
    Everything,   // remove the whole tree
    ZeroByteOnly, // remove only folders and regular files that are empty at
                  // the moment of removal; anything else keeps its folder
};

struct DeleteOptions {
    DeleteMode mode = DeleteMode::Everything;
    bool removeTop = true;  // false: empty the folder but keep it
    // Called before each entry is removed (path of the entry); may be empty.
    std::function<void(const std::string&)> onEntry;
    const std::atomic<bool>* cancel = nullptr;  // stop early when set
};

// Deletes the folder `folder` (absolute path, trailing '/' optional) and
// everything below it according to `options`.
DeleteResult deleteTree(const std::string& folder, const DeleteOptions& options = {});

// Deletes one non-folder entry (file, symlink, ...). A folder is refused (EISDIR).
DeleteResult deleteFile(const std::string& path);

}  // namespace velmaro::engine
