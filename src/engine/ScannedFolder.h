#pragma once
// Reaching a folder that a scan listed, by identity rather than by a path
// looked up again. No Qt.
//
// Contract:
//  - The scanned root is opened by the path the user named and must still be
//    the folder the scan saw (device, inode, mount, birth time). From there the folder is
//    reached below the root without following any symlink and without
//    crossing a mount (openat2 RESOLVE_NO_SYMLINKS | RESOLVE_NO_XDEV |
//    RESOLVE_BENEATH; an O_NOFOLLOW walk on kernels without openat2), and it
//    must have the identity the scan recorded (FolderIdentity::sameAs; for
//    a delete FolderIdentity::unchangedSince: where the file system has no
//    birth time, a folder changed since the scan is refused too). Anything else refuses with
//    kChangedSinceScan. A folder that is gone gives ENOENT.
//  - No path-length limit: the path below the root is resolved in pieces.
//  - Never throws.

#include "engine/FolderIdentity.h"
#include "engine/SafeDelete.h"

#include <string>

namespace velmaro::engine {

// A folder as one scan saw it.
struct ScannedFolder {
    std::string root;       // the scanned root, absolute, ends in '/'
    FolderIdentity rootId;  // the root's identity at scan time
    std::string path;       // the folder's absolute path, starts with `root`, ends in '/'
    FolderIdentity id;      // the folder's identity at scan time
};

// Failure code: the folder (or the root above it) is no longer the one the
// scan listed. Not an errno; errorFromErrno() gives its German text.
inline constexpr int kChangedSinceScan = -1001;
// Failure code of a pass over scanned folders: the folder is no longer
// where the scan saw it (removed or moved away by someone else, or its
// root moved). Not an errno; errorFromErrno() gives its German text.
inline constexpr int kGoneSinceScan = -1003;

// Opens the scanned folder for listing (O_RDONLY|O_DIRECTORY, no atime
// update where allowed). Returns the descriptor (the caller closes it), or
// -1 with `error` set to an errno value or kChangedSinceScan.
int openScannedFolder(const ScannedFolder& folder, int& error);

// Deletes the scanned folder according to `options` (Everything: the whole
// tree; ZeroByteOnly: what is empty at the moment of removal). "/" is refused
// (kRefusedRoot), a changed folder is refused (kChangedSinceScan).
DeleteResult deleteScannedTree(const ScannedFolder& folder, const DeleteOptions& options = {});

}  // namespace velmaro::engine
