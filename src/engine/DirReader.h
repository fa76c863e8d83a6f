#pragma once
// Lists one open folder: its entries through getdents64, each entry through
// statx(AT_SYMLINK_NOFOLLOW) relative to the folder's descriptor. Files are
// summed on the spot; subfolders come back with the times read before they
// are ever listed themselves. Subfolders on another mount than the walk's
// root are left out (and make the folder not zero-byte).

#include "engine/FolderTree.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace velmaro::engine {

class DirReader {
public:
    struct Subfolder {
        std::string name;
        FolderTree::Times times;
    };
    struct Result {
        FolderTree::Listing listing;        // Incomplete when cut short by `cancel`
        std::vector<Subfolder> subfolders;  // empty when the listing failed
        uint64_t files = 0;                 // non-folder entries counted
    };
    // Running totals that every reader adds its files to.
    struct Counters {
        std::atomic<uint64_t> files{0};
        std::atomic<uint64_t> bytes{0};
    };

    DirReader(const FolderIdentity& root, const std::atomic<bool>& cancel, Counters& counters);

    // Reads the open folder `fd` (the descriptor stays open). An entry that
    // vanished meanwhile is skipped. An entry whose status cannot be read
    // makes the listing Failed with the first such errno, and the other
    // entries are still read (their subfolders are descended). A failed
    // read of the folder itself makes it Failed and drops the subfolders.
    // `out` is overwritten whole; pass the same one again to reuse its room.
    void read(int fd, Result& out);

    // statx of `name` below `dirFd` (or of dirFd itself for ""), not
    // following symlinks. Returns 0 or an errno.
    static int stat(int dirFd, const char* name, struct statx& out);
    // Times of `st`; no birth time where the file system records none or 0.
    static FolderTree::Times timesOf(const struct statx& st);

private:
    // Handles one entry.
    void take(int fd, const char* name, Result& out, uint64_t& bytes);

    FolderIdentity root_;
    const std::atomic<bool>& cancel_;
    Counters& counters_;
    // Not zero-filled: only the part a listing fills is ever touched, so a
    // worker that reads small folders keeps most of it out of memory.
    std::unique_ptr<char[]> buffer_;
};

}  // namespace velmaro::engine
