#pragma once
// Safe recursive deletion through descriptors. No Qt.
//
// Contract:
//  - Works relative to descriptors: openat(parent, name, O_DIRECTORY|O_NOFOLLOW),
//    unlinkat, bottom-up, with a bounded number of open descriptors and no
//    recursion-depth limit (iterative).
//  - A symlink is removed as a link and never followed. A mount point inside
//    the tree is not entered: it is reported (EXDEV) and kept, and so
//    is every folder above it.
//  - "/" is refused (kRefusedRoot, with its own German text), also when it is
//    reached through another name (a bind mount of it, "/.."-like paths).
//  - Siblings of a failed entry are still deleted; nothing is retried.
//  - Never throws.
//
// Details:
//  - The top folder is looked up by path up to its parent; the last component
//    is opened relative to the parent and never followed. A top that is a
//    symlink (with or without trailing '/') is removed as a link in
//    Everything mode with removeTop; otherwise it is left alone and the
//    result fails with ELOOP. Its target is never touched.
//  - A top that is a mount point (a drive root) is emptied; removing the top
//    itself then fails with EBUSY, so the result is not ok.
//  - Entries that vanish during the walk (removed by someone else) count as
//    gone, not as failures; a missing top fails with ENOENT.
//  - Paths handed to onEntry and failedPath: folders end in '/', other
//    entries do not. They are the raw bytes of the names (not necessarily UTF-8).
//  - Cancel fails the result with ECANCELED; folders not yet emptied stay.

#include "engine/ListedFile.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace velmaro::engine {

// DeleteResult::error when the top is the file-system root "/".
// Not an errno value; errorFromErrno() maps it to its German text.
inline constexpr int kRefusedRoot = -1000;
// Failure code of deleteListedFile(): the name no longer holds the file that
// was listed. Not an errno; errorFromErrno() gives its German text.
inline constexpr int kChangedSinceListing = -1002;

// Failure code of the ZeroByteOnly mode: lost+found directly in the root of
// a mount belongs to the file system and is kept. Not an errno;
// errorFromErrno() gives its German text.
inline constexpr int kFileSystemFolder = -1004;

struct DeleteResult {
    bool ok = true;             // everything asked for is gone
    int error = 0;              // errno of the first failure (0 when ok)
    std::string failedPath;     // path of the first failure
    uint64_t removedFiles = 0;  // non-folder entries removed
    uint64_t removedFolders = 0;
};

enum class DeleteMode {
    Everything,    // remove the whole tree
    ZeroByteOnly,  // remove only folders and regular files that are empty at
                   // the moment of removal; anything else keeps its folder
                   // and every folder above it. lost+found directly in the
                   // root of a mount is kept (kFileSystemFolder). A kept entry, or a folder
                   // that cannot be removed because it is not empty, fails
                   // the result with ENOTEMPTY (failedPath = that folder).
};

struct DeleteOptions {
    DeleteMode mode = DeleteMode::Everything;
    bool removeTop = true;  // false: empty the folder but keep it
    // Called before each entry is removed (path of the entry); may be empty.
    // Called on the deleting thread; an exception from it stops the deletion
    // (ECANCELED) and does not propagate.
    std::function<void(const std::string&)> onEntry;
    // Called after each folder this call removed (its path, ending in '/');
    // may be empty. Not called for a folder found gone.
    std::function<void(const std::string&)> onFolderRemoved;
    const std::atomic<bool>* cancel = nullptr;  // stop early when set
};

// Deletes the folder `folder` (absolute path, trailing '/' optional) and
// everything below it according to `options`.
DeleteResult deleteTree(const std::string& folder, const DeleteOptions& options = {});

// Deletes the entry `name` of the open folder `dirFd` only while it is still
// the regular file or symlink that was listed, unchanged: the same `facts`
// (inode, birth time, size, change time). A folder, a pipe, a device,
// another file under that name (also one that was given the same inode
// number) or a changed file is left alone (kChangedSinceListing). Never
// follows a link. Returns 0 or an errno value (ENOENT when it is gone).
int deleteListedFile(int dirFd, const std::string& name, const FileFacts& facts);

}  // namespace velmaro::engine
