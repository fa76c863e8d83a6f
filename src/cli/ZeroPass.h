#pragma once
// The zero-byte cleanup of the command line, the same race-safe pass as the
// window's "0 Byte Ordner löschen". No Qt.
//
// Contract:
//  - One deleteScannedTree() call per zero-byte folder of the scan, in path
//    order (a folder before the folders below it), in ZeroByteOnly mode: a
//    folder is reached from the scanned root by identity, and only what is
//    still empty at the moment of removal goes. A folder that gained a file
//    since the scan, or holds one that is open, is kept with the folders
//    above it.
//  - A folder counts as removed only when this pass removed it: by its own
//    call, or inside the call of a zero-byte folder above it. One found gone
//    otherwise (removed or moved away by someone else, or its root moved)
//    is kept with kGoneSinceScan.
//  - Ctrl-C (through the cancel flag) stops the pass: the folder being
//    worked on fails with ECANCELED, the folders not yet reached are
//    counted in `notReached`.

#include "engine/FolderRecord.h"

#include <atomic>
#include <string>
#include <vector>

namespace velmaro::cli {

struct KeptFolder {
    std::string path;        // the zero-byte folder that was kept
    int error = 0;           // errno or an engine failure code
    std::string failedPath;  // where the failure lies (this folder or below it)
};

struct ZeroPassResult {
    std::vector<std::string> removed;  // paths, in path order
    std::vector<KeptFolder> kept;
    std::size_t notReached = 0;
};

class ZeroPass {
public:
    // `root` is the scan's root record; `folders` the zero-byte records in
    // path order.
    static ZeroPassResult run(const std::string& rootPath, const engine::FolderRecord& root,
                              const std::vector<const engine::FolderRecord*>& folders,
                              const std::atomic<bool>& cancel);
};

}  // namespace velmaro::cli
