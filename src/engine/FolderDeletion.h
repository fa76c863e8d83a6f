#pragma once
// The common last step of every folder deletion: the folder `base` in the
// open folder `parentFd` is checked and handed to the TreeDeleter. No Qt.
//
//  - `base` is never followed: a symlink is removed as a link only in
//    Everything mode with removeTop and when no identity is expected;
//    otherwise it fails (ELOOP, or kChangedSinceScan when `expected` is set).
//  - With `expected`, the folder must have that identity (device, inode,
//    mount, birth time; the change time too where the file system has no
//    birth time), else kChangedSinceScan and nothing is touched.
//  - "/" (by identity, whatever the name) is refused with kRefusedRoot.
//  - `display` is the folder's path as reported in failures, ending in '/'.
//  - Records the first failure in `result`; never throws on its own
//    (onEntry may throw, the caller catches).

#include "engine/FolderIdentity.h"
#include "engine/SafeDelete.h"

#include <cerrno>
#include <new>
#include <string>

namespace velmaro::engine::deletion {

void deleteFolderAt(int parentFd, const std::string& base, const std::string& display,
                    const FolderIdentity* expected, const DeleteOptions& options, DeleteResult& result);

// Opens `path` (absolute) with `flags` like open(2), also where the path is
// longer than PATH_MAX (then in pieces, following symlinks as open would).
// Returns the descriptor or -1 with errno set.
int openLongPath(const std::string& path, int flags);

// Records a failure in `result` unless one is recorded already.
void failResult(DeleteResult& result, int err, const std::string& path);

// Runs `work(result)` and turns any exception into a failed result.
template <typename Work>
DeleteResult guarded(const std::string& path, Work work)
{
    DeleteResult result;
    try {
        work(result);
    } catch (const std::bad_alloc&) {
        failResult(result, ENOMEM, path);
    } catch (...) {
        failResult(result, ECANCELED, path);
    }
    return result;
}

}  // namespace velmaro::engine::deletion
